#pragma once
// A file read through its Win32 handle, opened by its ANSI name as the host hands it over.
#include <windows.h>

#include "byte_source.h"
#include "win/unique_resource.h"

class FileSource final : public ByteSource {
public:
    FileSource() = default;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Opens the file for reading from its start (closing the one open before); false when it
    // cannot be opened or its size cannot be had.
    bool Open(const char* path);
    void Close();

    int32_t Read(void* buffer, int32_t bytes) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() const override { return position_; }
    int64_t Size() const override { return size_; }

private:
    UniqueFile file_;
    int64_t position_ = 0;
    int64_t size_ = -1;
};
