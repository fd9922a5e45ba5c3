// out_kv.dll: output to the sound device through the platform's wave output. The control prefers
// it and tests it with one open at start; where that open fails it falls back to out_pq2.dll.
// Volume and pan are applied to the samples, as the file writer applies them, so that both give
// the same sound and the device's own mixer level is left alone.
#include <windows.h>
#include <mmsystem.h>

#include "win/locked.h"
#include "pcm_gain.h"
#include "tunara_plugin.h"

namespace {

// Eight blocks of about 1/8 s each: a second of queued sound at most.
constexpr int kBlocks = 8;
constexpr int32_t kMaxBlockBytes = 64 * 1024;

struct DeviceState {
    Lock lock;
    HWAVEOUT device = nullptr;
    WAVEHDR headers[kBlocks] = {};
    char blocks[kBlocks][kMaxBlockBytes];
    bool queued[kBlocks] = {};
    int next = 0;            // the block being filled
    int32_t filled = 0;      // bytes in it
    int32_t blockBytes = 0;
    PcmGain gain;
    bool paused = false;
    int32_t bitsPerSample = 16;
    int32_t channels = 2;
    int64_t bytesPerSecond = 176400;
    int64_t writtenBytes = 0;    // since open or the last flush
    int64_t positionBase = 0;    // device position (bytes) at the last flush
    int32_t baseMs = 0;          // the last flush position
};

DeviceState state;
OutputPluginRecord record;

bool Done(int block) { return !state.queued[block] || (state.headers[block].dwFlags & WHDR_DONE); }

// Hands the block being filled to the device and moves on to the next one.
void Submit()
{
    if (state.filled == 0) return;
    WAVEHDR& header = state.headers[state.next];
    if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(state.device, &header, sizeof header);
    ApplyGain(state.gain, state.blocks[state.next], state.filled, state.bitsPerSample, state.channels);
    header = WAVEHDR();
    header.lpData = state.blocks[state.next];
    header.dwBufferLength = static_cast<DWORD>(state.filled);
    if (waveOutPrepareHeader(state.device, &header, sizeof header) == MMSYSERR_NOERROR &&
        waveOutWrite(state.device, &header, sizeof header) == MMSYSERR_NOERROR)
        state.queued[state.next] = true;
    state.next = (state.next + 1) % kBlocks;
    state.filled = 0;
}

int64_t DeviceBytes()
{
    MMTIME time = {};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(state.device, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) return 0;
    return static_cast<int64_t>(time.u.cb);
}

void ResetLocked()
{
    waveOutReset(state.device);
    for (int i = 0; i < kBlocks; ++i) {
        if (state.headers[i].dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(state.device, &state.headers[i], sizeof state.headers[i]);
        state.headers[i] = WAVEHDR();
        state.queued[i] = false;
    }
    state.next = 0;
    state.filled = 0;
    state.writtenBytes = 0;
    state.positionBase = DeviceBytes();
}

void CloseLocked()
{
    if (!state.device) return;
    ResetLocked();
    waveOutClose(state.device);
    state.device = nullptr;
}

void TUNARA_CDECL Init() {}

void TUNARA_CDECL Quit()
{
    Locked hold(state.lock);
    CloseLocked();
}

int32_t TUNARA_CDECL Open(int32_t sampleRate, int32_t channels, int32_t bitsPerSample, int32_t, int32_t)
{
    if (sampleRate <= 0 || channels <= 0 || channels > 8 || bitsPerSample <= 0 || bitsPerSample > 32 ||
        bitsPerSample % 8 != 0)
        return -1;
    Locked hold(state.lock);
    CloseLocked();
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    if (waveOutOpen(&state.device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        state.device = nullptr;
        return -1;
    }
    state.bitsPerSample = bitsPerSample;
    state.channels = channels;
    state.bytesPerSecond = format.nAvgBytesPerSec;
    int32_t block = static_cast<int32_t>(format.nAvgBytesPerSec / kBlocks);
    if (block > kMaxBlockBytes) block = kMaxBlockBytes;
    block -= block % format.nBlockAlign;
    state.blockBytes = block > 0 ? block : format.nBlockAlign;
    state.paused = false;
    state.baseMs = 0;
    ResetLocked();
    return 0;
}

void TUNARA_CDECL Close()
{
    Locked hold(state.lock);
    CloseLocked();
}

int32_t TUNARA_CDECL Write(const char* data, int32_t bytes)
{
    if (!data || bytes < 0) return 1;
    Locked hold(state.lock);
    if (!state.device) return 1;
    for (int32_t done = 0; done < bytes;) {
        if (!Done(state.next)) break;  // more than canWrite offered: the rest is dropped
        int32_t part = state.blockBytes - state.filled;
        if (part > bytes - done) part = bytes - done;
        CopyMemory(state.blocks[state.next] + state.filled, data + done, static_cast<SIZE_T>(part));
        state.filled += part;
        done += part;
        state.writtenBytes += part;
        if (state.filled == state.blockBytes) Submit();
    }
    return 0;
}

int32_t TUNARA_CDECL CanWrite()
{
    Locked hold(state.lock);
    if (!state.device || state.paused) return 0;
    int32_t room = 0;
    for (int i = 0; i < kBlocks; ++i) {
        const int block = (state.next + i) % kBlocks;
        if (!Done(block)) break;
        room += state.blockBytes - (i == 0 ? state.filled : 0);
    }
    return room;
}

int32_t TUNARA_CDECL IsPlaying()
{
    Locked hold(state.lock);
    if (!state.device) return 0;
    // Asked whether everything was heard: the last, partly filled block must be heard too.
    Submit();
    for (int i = 0; i < kBlocks; ++i)
        if (!Done(i)) return 1;
    return 0;
}

int32_t TUNARA_CDECL Pause(int32_t pause)
{
    Locked hold(state.lock);
    const int32_t was = state.paused ? 1 : 0;
    if (state.device && (pause != 0) != state.paused) {
        if (pause) waveOutPause(state.device);
        else waveOutRestart(state.device);
    }
    state.paused = pause != 0;
    return was;
}

void TUNARA_CDECL SetVolume(int32_t volume)
{
    Locked hold(state.lock);
    state.gain.SetVolume(volume);
}

void TUNARA_CDECL SetPan(int32_t pan)
{
    Locked hold(state.lock);
    state.gain.SetPan(pan);
}

void TUNARA_CDECL Flush(int32_t positionMs)
{
    Locked hold(state.lock);
    if (!state.device) return;
    ResetLocked();
    // A reset device stays paused when it was paused.
    if (state.paused) waveOutPause(state.device);
    state.baseMs = positionMs;
}

int32_t TUNARA_CDECL GetOutputTime()
{
    Locked hold(state.lock);
    if (!state.device) return state.baseMs;
    int64_t heard = DeviceBytes() - state.positionBase;
    if (heard < 0) heard = 0;
    if (heard > state.writtenBytes) heard = state.writtenBytes;
    return state.baseMs + static_cast<int32_t>(heard * 1000 / state.bytesPerSecond);
}

int32_t TUNARA_CDECL GetWrittenTime()
{
    Locked hold(state.lock);
    return state.baseMs + static_cast<int32_t>(state.writtenBytes * 1000 / state.bytesPerSecond);
}

}  // namespace

extern "C" OutputPluginRecord* TUNARA_CDECL tunaraGetOutModule(void)
{
    record.version = TUNARA_OUTPUT_VERSION;
    record.init = Init;
    record.quit = Quit;
    record.open = Open;
    record.close = Close;
    record.write = Write;
    record.canWrite = CanWrite;
    record.isPlaying = IsPlaying;
    record.pause = Pause;
    record.setVolume = SetVolume;
    record.setPan = SetPan;
    record.flush = Flush;
    record.getOutputTime = GetOutputTime;
    record.getWrittenTime = GetWrittenTime;
    return &record;
}
