#include "mf_reader.h"

#include <mfapi.h>

namespace {

constexpr LONGLONG kUnitsPerMs = 10000;
constexpr LONGLONG kUnitsPerSecond = 10000000;

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// The name in UTF-16 from the ANSI code page; empty when it does not convert.
bool WidePath(const char* path, wchar_t* wide, int size)
{
    return path && MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, size) > 0;
}

}  // namespace

bool MfReader::Open(const MediaFoundation& platform, const char* path)
{
    Close();
    wchar_t wide[MAX_PATH];
    if (!WidePath(path, wide, MAX_PATH)) return false;
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    return OpenReader(platform, wide, &opened_);
}

void MfReader::Release()
{
    if (buffer_) buffer_->Unlock();
    buffer_.Reset();
    pendingData_ = nullptr;
    pendingBytes_ = 0;
}

void MfReader::Close()
{
    Release();
    opened_ = OpenedReader();
    dropBefore_ = -1;
}

void MfReader::Consume(int32_t bytes)
{
    pendingData_ += bytes;
    pendingBytes_ -= bytes;
    if (pendingBytes_ <= 0) Release();
}

bool MfReader::ReadNext()
{
    Release();
    DWORD flags = 0;
    LONGLONG stamp = 0;
    ComPtr<IMFSample> sample;
    if (FAILED(opened_.reader->ReadSample(kAudio, 0, nullptr, &flags, &stamp, sample.Out()))) return false;
    if (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)) return false;
    // A gap or a tick of the stream carries no samples: the next call reads on.
    if (!sample) return true;
    BYTE* data = nullptr;
    DWORD bytes = 0;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer_.Out())) || FAILED(buffer_->Lock(&data, nullptr, &bytes))) {
        buffer_.Reset();
        return false;
    }
    const int32_t frame = opened_.channels * 2;
    int64_t skip = 0;
    if (dropBefore_ > stamp) skip = (dropBefore_ - stamp) * opened_.rate / kUnitsPerSecond * frame;
    dropBefore_ = -1;
    const int64_t whole = bytes / frame * frame;
    if (skip > whole) skip = whole;
    pendingData_ = reinterpret_cast<const char*>(data) + skip;
    pendingBytes_ = static_cast<int32_t>(whole - skip);
    if (pendingBytes_ == 0) Release();
    return true;
}

bool MfReader::Seek(int32_t positionMs)
{
    Release();
    PROPVARIANT at;
    PropVariantInit(&at);
    at.vt = VT_I8;
    at.hVal.QuadPart = static_cast<LONGLONG>(positionMs) * kUnitsPerMs;
    dropBefore_ = at.hVal.QuadPart;
    return SUCCEEDED(opened_.reader->SetCurrentPosition(GUID_NULL, at));
}
