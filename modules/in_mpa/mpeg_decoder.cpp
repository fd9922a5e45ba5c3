#include "mpeg_decoder.h"

bool MpegDecoder::Open(const FrameHeader& h)
{
    Close();
    WAVEFORMATEX pcm = {};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = static_cast<WORD>(h.channels);
    pcm.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(h.channels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    // Taken only on success: a failed open may leave anything in the slot.
    HACMSTREAM opened = nullptr;
    MMRESULT result;
    if (h.layer == 3) {
        MPEGLAYER3WAVEFORMAT mp3 = {};
        mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        mp3.wfx.nChannels = static_cast<WORD>(h.channels);
        mp3.wfx.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
        mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.bitrateKbps * 125);
        mp3.wfx.nBlockAlign = 1;
        mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        mp3.wID = MPEGLAYER3_ID_MPEG;
        mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
        mp3.nBlockSize = static_cast<WORD>(h.frameBytes);
        mp3.nFramesPerBlock = 1;
        result = acmStreamOpen(&opened, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    } else {
        MPEG1WAVEFORMAT mpeg = {};
        mpeg.wfx.wFormatTag = WAVE_FORMAT_MPEG;
        mpeg.wfx.nChannels = static_cast<WORD>(h.channels);
        mpeg.wfx.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
        mpeg.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.bitrateKbps * 125);
        mpeg.wfx.nBlockAlign = 1;
        mpeg.wfx.cbSize = sizeof mpeg - sizeof mpeg.wfx;
        mpeg.fwHeadLayer = static_cast<WORD>(h.layer == 1 ? ACM_MPEG_LAYER1 : ACM_MPEG_LAYER2);
        mpeg.dwHeadBitrate = static_cast<DWORD>(h.bitrateKbps * 1000);
        mpeg.fwHeadMode = static_cast<WORD>(h.channels == 1 ? ACM_MPEG_SINGLECHANNEL : ACM_MPEG_STEREO);
        mpeg.fwHeadFlags = ACM_MPEG_ID_MPEG1;
        result = acmStreamOpen(&opened, nullptr, &mpeg.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    }
    if (result != 0) return false;
    stream_.Reset(opened);
    return true;
}

void MpegDecoder::Close()
{
    stream_.Reset();
}

int32_t MpegDecoder::Convert(unsigned char* source, int32_t bytes, unsigned char* target, int32_t room, DWORD flags)
{
    static unsigned char none[1];
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = bytes ? source : none;
    header.cbSrcLength = static_cast<DWORD>(bytes);
    header.pbDst = target;
    header.cbDstLength = static_cast<DWORD>(room);
    if (acmStreamPrepareHeader(stream_.Get(), &header, 0) != 0) return -1;
    const MMRESULT converted = acmStreamConvert(stream_.Get(), &header, flags);
    acmStreamUnprepareHeader(stream_.Get(), &header, 0);
    return converted == 0 ? static_cast<int32_t>(header.cbDstLengthUsed) : -1;
}

int32_t MpegDecoder::Decode(unsigned char* frames, int32_t bytes, unsigned char* target, int32_t room, bool restart)
{
    if (!stream_) return -1;
    int32_t total = Convert(frames, bytes, target, room, restart ? ACM_STREAMCONVERTF_START : 0);
    // What did not fit stays in the codec: drain while a convert fills the room it had.
    int32_t last = total;
    while (last > 0 && total < room) {
        last = Convert(nullptr, 0, target + total, room - total, 0);
        if (last > 0) total += last;
    }
    return total;
}
