#include "acm_decoder.h"

#include <string.h>

bool AcmDecoder::Open(const WaveHeader& header)
{
    Close();
    // The stored fmt chunk, with a cbSize that never claims more than the chunk holds.
    union {
        WAVEFORMATEX format;
        unsigned char bytes[kMaxFormatBytes + sizeof(WAVEFORMATEX)];
    } source = {};
    memcpy(source.bytes, header.format, header.formatBytes);
    const uint32_t extra = header.formatBytes > sizeof(WAVEFORMATEX) ? header.formatBytes - sizeof(WAVEFORMATEX) : 0;
    if (header.formatBytes < sizeof(WAVEFORMATEX) || source.format.cbSize > extra)
        source.format.cbSize = static_cast<WORD>(extra);
    WAVEFORMATEX pcm = {};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = static_cast<WORD>(header.channels);
    pcm.nSamplesPerSec = static_cast<DWORD>(header.sampleRate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(header.channels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    // Taken only on success: a failed open may leave anything in the slot.
    HACMSTREAM opened = nullptr;
    if (acmStreamOpen(&opened, nullptr, &source.format, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
        return false;
    stream_.Reset(opened);
    DWORD output = 0;
    if (acmStreamSize(stream_.Get(), static_cast<DWORD>(header.blockAlign), &output, ACM_STREAMSIZEF_SOURCE) != 0 ||
        output == 0 || output > 16 * 1024 * 1024) {
        Close();
        return false;
    }
    blockOutput_ = static_cast<int32_t>(output);
    return true;
}

void AcmDecoder::Close()
{
    stream_.Reset();
    blockOutput_ = 0;
}

int32_t AcmDecoder::Convert(unsigned char* source, int32_t bytes, unsigned char* target, int32_t room)
{
    if (!stream_) return -1;
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = source;
    header.cbSrcLength = static_cast<DWORD>(bytes);
    header.pbDst = target;
    header.cbDstLength = static_cast<DWORD>(room);
    if (acmStreamPrepareHeader(stream_.Get(), &header, 0) != 0) return -1;
    const MMRESULT converted = acmStreamConvert(stream_.Get(), &header, ACM_STREAMCONVERTF_BLOCKALIGN);
    acmStreamUnprepareHeader(stream_.Get(), &header, 0);
    return converted == 0 ? static_cast<int32_t>(header.cbDstLengthUsed) : -1;
}
