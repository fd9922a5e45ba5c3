#include "ogg_source_callbacks.h"

#include <limits.h>
#include <stdio.h>

#include "byte_source.h"

namespace {

int32_t ReadSome(void* source, void* buffer, size_t bytes)
{
    const int32_t want = bytes < 0x40000000u ? static_cast<int32_t>(bytes) : 0x40000000;
    return static_cast<ByteSource*>(source)->Read(buffer, want);
}

// 0 when moved; -1 when the source cannot seek or the place lies outside it.
int SeekTo(void* data, int64_t offset, int whence)
{
    ByteSource* source = static_cast<ByteSource*>(data);
    const int64_t size = source->Size();
    if (size < 0 || (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)) return -1;
    const int64_t base = whence == SEEK_CUR ? source->Tell() : whence == SEEK_END ? size : 0;
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
    return source->Seek(base + offset) ? 0 : -1;
}

size_t VorbisRead(void* buffer, size_t size, size_t count, void* source)
{
    if (size == 0 || count > SIZE_MAX / size) return 0;
    // An error reads as the end: the decoder then plays what it has.
    const int32_t read = ReadSome(source, buffer, size * count);
    return read > 0 ? static_cast<size_t>(read) / size : 0;
}

int VorbisSeek(void* source, ogg_int64_t offset, int whence) { return SeekTo(source, offset, whence); }

long VorbisTell(void* source)
{
    const int64_t at = static_cast<ByteSource*>(source)->Tell();
    return at < LONG_MAX ? static_cast<long>(at) : LONG_MAX;
}

int OpusRead(void* source, unsigned char* buffer, int bytes)
{
    return bytes > 0 ? ReadSome(source, buffer, static_cast<size_t>(bytes)) : 0;
}

int OpusSeek(void* source, opus_int64 offset, int whence) { return SeekTo(source, offset, whence); }

opus_int64 OpusTell(void* source) { return static_cast<ByteSource*>(source)->Tell(); }

}  // namespace

const ov_callbacks kVorbisSourceCallbacks = {VorbisRead, VorbisSeek, nullptr, VorbisTell};
const OpusFileCallbacks kOpusSourceCallbacks = {OpusRead, OpusSeek, OpusTell, nullptr};
