// out_kv.dll: output to the sound device through the platform's wave output. The control prefers
// it and tests it with one open at start; where that open fails it falls back to out_pq2.dll.
// Volume and pan are applied to the samples, as the file writer applies them, so that both give
// the same sound and the device's own mixer level is left alone.
#include <windows.h>
#include <mmsystem.h>

#include "device_clock.h"
#include "pcm_gain.h"
#include "tunara_plugin.h"
#include "wave_out.h"
#include "win/locked.h"

namespace {

// Eight blocks of about 1/8 s each: a second of queued sound at most.
constexpr int kBlocks = 8;
constexpr int32_t kMaxBlockBytes = 64 * 1024;

struct DeviceState {
    Lock lock;
    UniqueWaveOut device;
    WAVEHDR headers[kBlocks] = {};
    UniquePreparedBlock prepared[kBlocks];  // after the device: unprepared before it closes
    char blocks[kBlocks][kMaxBlockBytes];
    bool queued[kBlocks] = {};
    int next = 0;            // the block being filled
    int32_t filled = 0;      // bytes in it
    int32_t blockBytes = 0;
    PcmGain gain;
    bool paused = false;
    int32_t bitsPerSample = 16;
    int32_t channels = 2;
    DeviceClock clock;
};

DeviceState state;
OutputPluginRecord record;

bool Done(int block) { return !state.queued[block] || (state.headers[block].dwFlags & WHDR_DONE); }

// Hands the block being filled to the device and moves on to the next one.
void Submit()
{
    if (state.filled == 0) return;
    WAVEHDR& header = state.headers[state.next];
    state.prepared[state.next].Reset();
    ApplyGain(state.gain, state.blocks[state.next], state.filled, state.bitsPerSample, state.channels);
    header = WAVEHDR();
    header.lpData = state.blocks[state.next];
    header.dwBufferLength = static_cast<DWORD>(state.filled);
    const HWAVEOUT device = state.device.Get();
    if (waveOutPrepareHeader(device, &header, sizeof header) == MMSYSERR_NOERROR) {
        state.prepared[state.next].Reset(PreparedBlock{device, &header});
        if (waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR) state.queued[state.next] = true;
    }
    state.next = (state.next + 1) % kBlocks;
    state.filled = 0;
}

// The device's position in bytes, as the platform counts it (32 bits); false when unknown.
bool DeviceBytes(uint32_t* bytes)
{
    MMTIME time = {};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(state.device.Get(), &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES)
        return false;
    *bytes = time.u.cb;
    return true;
}

// Brings the clock up to the device's position.
void ObserveDevice()
{
    uint32_t bytes = 0;
    if (DeviceBytes(&bytes)) state.clock.Observe(bytes);
}

// Drops everything queued; the next byte written plays at baseMs.
void ResetLocked(int32_t baseMs)
{
    waveOutReset(state.device.Get());
    for (int i = 0; i < kBlocks; ++i) {
        state.prepared[i].Reset();
        state.headers[i] = WAVEHDR();
        state.queued[i] = false;
    }
    state.next = 0;
    state.filled = 0;
    uint32_t bytes = 0;
    state.clock.Restart(DeviceBytes(&bytes) ? bytes : 0, baseMs);
}

void CloseLocked()
{
    if (!state.device) return;
    ResetLocked(state.clock.BaseMs());
    state.device.Reset();
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
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return -1;
    state.device.Reset(device);
    state.bitsPerSample = bitsPerSample;
    state.channels = channels;
    state.clock.Open(format.nAvgBytesPerSec);
    int32_t block = static_cast<int32_t>(format.nAvgBytesPerSec / kBlocks);
    if (block > kMaxBlockBytes) block = kMaxBlockBytes;
    block -= block % format.nBlockAlign;
    state.blockBytes = block > 0 ? block : format.nBlockAlign;
    state.paused = false;
    ResetLocked(0);
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
        state.clock.Wrote(part);
        if (state.filled == state.blockBytes) Submit();
    }
    return 0;
}

int32_t TUNARA_CDECL CanWrite()
{
    Locked hold(state.lock);
    if (!state.device || state.paused) return 0;
    // Asked all the time while a stream plays: the clock sees every wrap of the device's count.
    ObserveDevice();
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
        if (pause) waveOutPause(state.device.Get());
        else waveOutRestart(state.device.Get());
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
    ResetLocked(positionMs);
    // A reset device stays paused when it was paused.
    if (state.paused) waveOutPause(state.device.Get());
}

int32_t TUNARA_CDECL GetOutputTime()
{
    Locked hold(state.lock);
    if (!state.device) return state.clock.BaseMs();
    ObserveDevice();
    return state.clock.OutputMs();
}

int32_t TUNARA_CDECL GetWrittenTime()
{
    Locked hold(state.lock);
    return state.clock.WrittenMs();
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
