#pragma once
// Where a decoder reads its stream's bytes from: a file here; a source that cannot seek (a stream
// of bytes as it arrives) answers false to Seek and -1 to Size. Called on whichever thread drives
// the decoder that reads it.
#include <stdint.h>

class ByteSource {
public:
    // Up to bytes into buffer: the bytes read, 0 at the end, -1 on a read error.
    virtual int32_t Read(void* buffer, int32_t bytes) = 0;
    // Moves to offset bytes from the start; false when the source cannot seek or the move fails.
    virtual bool Seek(int64_t offset) = 0;
    virtual int64_t Tell() const = 0;
    // The whole size in bytes; -1 when unknown.
    virtual int64_t Size() const = 0;

protected:
    ~ByteSource() = default;
};
