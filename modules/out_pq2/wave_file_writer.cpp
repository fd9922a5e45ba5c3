#include "wave_file_writer.h"

namespace {

constexpr uint32_t kRiffSizeOffset = 4;
constexpr uint32_t kDataSizeOffset = 40;

void Put16(unsigned char* at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

}  // namespace

bool WaveFileWriter::WriteAt(uint64_t offset, const void* data, uint32_t bytes)
{
    // The samples of a full file end past 4 GiB: the offset takes both words.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    return WriteFile(file_.Get(), data, bytes, &written, &at) && written == bytes;
}

bool WaveFileWriter::PatchSizes()
{
    Put32(header_ + kRiffSizeOffset, kHeaderBytes - 8 + dataBytes_);
    Put32(header_ + kDataSizeOffset, dataBytes_);
    patchedBytes_ = dataBytes_;
    const bool patched = WriteAt(kRiffSizeOffset, header_ + kRiffSizeOffset, kHeaderBytes - kRiffSizeOffset);
    return SeekToEnd() && patched;
}

bool WaveFileWriter::SeekToEnd()
{
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(kHeaderBytes) + dataBytes_;
    return SetFilePointerEx(file_.Get(), end, nullptr, FILE_BEGIN) != FALSE;
}

bool WaveFileWriter::Open(const char* path, int32_t sampleRate, int32_t channels, int32_t bitsPerSample,
                          uint64_t maxFileBytes)
{
    Close();
    file_.Reset(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return false;
    const uint32_t blockAlign = static_cast<uint32_t>(channels) * static_cast<uint32_t>(bitsPerSample / 8);
    if (maxFileBytes > kMaxFileBytes) maxFileBytes = kMaxFileBytes;
    const uint64_t room = maxFileBytes > kHeaderBytes ? maxFileBytes - kHeaderBytes : 0;
    maxDataBytes_ = static_cast<uint32_t>(room - room % blockAlign);
    static const unsigned char kStart[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    unsigned char* header = header_;
    ZeroMemory(header, kHeaderBytes);
    CopyMemory(header, kStart, sizeof kStart);
    Put32(header + 4, kHeaderBytes - 8);
    Put32(header + 16, 16);
    Put16(header + 20, 1);  // integer PCM
    Put16(header + 22, static_cast<uint32_t>(channels));
    Put32(header + 24, static_cast<uint32_t>(sampleRate));
    Put32(header + 28, static_cast<uint32_t>(sampleRate) * blockAlign);
    Put16(header + 32, blockAlign);
    Put16(header + 34, static_cast<uint32_t>(bitsPerSample));
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    dataBytes_ = 0;
    patchedBytes_ = 0;
    if (!WriteAt(0, header, kHeaderBytes)) {
        Close();
        return false;
    }
    return true;
}

bool WaveFileWriter::Append(const char* data, uint32_t bytes)
{
    if (!IsOpen()) return false;
    if (bytes > maxDataBytes_ - dataBytes_) bytes = maxDataBytes_ - dataBytes_;
    if (bytes == 0) return true;
    // At the file pointer, which stays at the end of the samples: a write at an offset costs the
    // system far more.
    DWORD written = 0;
    if (!WriteFile(file_.Get(), data, bytes, &written, nullptr) || written != bytes) {
        SeekToEnd();
        return false;
    }
    dataBytes_ += bytes;
    return dataBytes_ - patchedBytes_ < kPatchEveryBytes && !Full() ? true : PatchSizes();
}

void WaveFileWriter::Commit()
{
    if (IsOpen() && patchedBytes_ != dataBytes_) PatchSizes();
}

void WaveFileWriter::Close()
{
    Commit();
    file_.Reset();
}

void WaveFileWriter::Truncate(uint64_t dataBytes)
{
    if (!IsOpen() || dataBytes >= dataBytes_) return;
    dataBytes_ = static_cast<uint32_t>(dataBytes);
    if (PatchSizes()) SetEndOfFile(file_.Get());
}
