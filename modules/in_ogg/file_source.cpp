#include "file_source.h"

bool FileSource::Open(const char* path)
{
    Close();
    file_.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file_ || !GetFileSizeEx(file_.Get(), &size)) {
        Close();
        return false;
    }
    size_ = size.QuadPart;
    return true;
}

void FileSource::Close()
{
    file_.Reset();
    position_ = 0;
    size_ = -1;
}

int32_t FileSource::Read(void* buffer, int32_t bytes)
{
    DWORD read = 0;
    if (!file_ || bytes < 0 || !ReadFile(file_.Get(), buffer, static_cast<DWORD>(bytes), &read, nullptr)) return -1;
    position_ += read;
    return static_cast<int32_t>(read);
}

bool FileSource::Seek(int64_t offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!file_ || offset < 0 || !SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN)) return false;
    position_ = offset;
    return true;
}
