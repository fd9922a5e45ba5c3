#include "wave_file_writer.h"

namespace {

constexpr uint32_t kHeaderBytes = 44;
constexpr uint32_t kRiffSizeOffset = 4;
constexpr uint32_t kDataSizeOffset = 40;
// The RIFF size field counts everything after its own 8 bytes and must fit 32 bits.
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFFu - (kHeaderBytes - 8);

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

bool WaveFileWriter::WriteAt(uint32_t offset, const void* data, uint32_t bytes)
{
    OVERLAPPED at = {};
    at.Offset = offset;
    DWORD written = 0;
    return WriteFile(file_, data, bytes, &written, &at) && written == bytes;
}

bool WaveFileWriter::Open(const char* path, int32_t sampleRate, int32_t channels, int32_t bitsPerSample)
{
    Close();
    file_ = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    const uint32_t blockAlign = static_cast<uint32_t>(channels) * static_cast<uint32_t>(bitsPerSample / 8);
    unsigned char header[kHeaderBytes] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
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
    if (!WriteAt(0, header, kHeaderBytes)) {
        Close();
        return false;
    }
    return true;
}

bool WaveFileWriter::Append(const char* data, uint32_t bytes)
{
    if (!IsOpen()) return false;
    if (bytes > kMaxDataBytes - dataBytes_) bytes = kMaxDataBytes - dataBytes_;
    if (bytes == 0) return true;
    if (!WriteAt(kHeaderBytes + dataBytes_, data, bytes)) return false;
    dataBytes_ += bytes;
    unsigned char size[4];
    Put32(size, kHeaderBytes - 8 + dataBytes_);
    bool patched = WriteAt(kRiffSizeOffset, size, 4);
    Put32(size, dataBytes_);
    return WriteAt(kDataSizeOffset, size, 4) && patched;
}

void WaveFileWriter::Truncate(uint32_t dataBytes)
{
    if (!IsOpen() || dataBytes >= dataBytes_) return;
    dataBytes_ = dataBytes;
    unsigned char size[4];
    Put32(size, kHeaderBytes - 8 + dataBytes_);
    WriteAt(kRiffSizeOffset, size, 4);
    Put32(size, dataBytes_);
    WriteAt(kDataSizeOffset, size, 4);
    LARGE_INTEGER end;
    end.QuadPart = kHeaderBytes + dataBytes_;
    if (SetFilePointerEx(file_, end, nullptr, FILE_BEGIN)) SetEndOfFile(file_);
}

void WaveFileWriter::Close()
{
    if (!IsOpen()) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}
