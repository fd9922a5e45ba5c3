// out_pq2.dll: the output the control falls back to where no sound device opens. It writes the
// PCM it is given to a WAVE file and paces itself like a device, so that positions, events and
// play limits behave as they would with one. Settings in out_pq2.ini beside the module,
// section [output], read at every open:
//   file=     the WAVE file to write; a %d in it becomes a counter that starts at 1 and grows
//             with each open. Empty or missing: nothing is written, the output only paces.
//   realtime= 1 (the default): output time follows real time; 0: as fast as the input decodes.
//   maxbytes= the largest file to write, in bytes; missing, 0 or past what a WAVE file's 32-bit
//             sizes hold (4 GiB): that. At the limit the file stops growing and stays a valid
//             WAVE file; the output goes on pacing as before.
#include <windows.h>

#include "win/locked.h"
#include "module_folder.h"
#include "pace_clock.h"
#include "pcm_gain.h"
#include "tunara_plugin.h"
#include "wave_file_writer.h"
#include "win/ansi_text.h"

namespace {

// How far written data may run ahead of real time when pacing: about a device's buffer.
constexpr int64_t kLeadMs = 500;
// What canWrite offers when not pacing.
constexpr int32_t kUnpacedChunk = 1 << 20;
// Scratch for applying volume and pan without touching the caller's data.
constexpr int32_t kScratchBytes = 64 * 1024;

struct Pq2State {
    Lock lock;
    WaveFileWriter file;
    PaceClock clock;
    PcmGain gain;
    bool open = false;
    bool realtime = true;
    int32_t bitsPerSample = 16;
    int32_t channels = 2;
    int32_t blockAlign = 4;
    int64_t bytesPerSecond = 176400;
    int64_t writtenBytes = 0;  // since open or the last flush
    uint64_t fileBase = 0;     // the file's samples at the last flush
    int32_t baseMs = 0;        // the last flush position
    int32_t openCount = 0;
    char scratch[kScratchBytes];
};

Pq2State state;
OutputPluginRecord record;

int64_t WrittenMs() { return state.writtenBytes * 1000 / state.bytesPerSecond; }

int64_t HeardBytes()
{
    if (!state.realtime) return state.writtenBytes;
    int64_t elapsed = state.clock.ElapsedMs() * state.bytesPerSecond / 1000;
    elapsed -= elapsed % state.blockAlign;
    return elapsed < state.writtenBytes ? elapsed : state.writtenBytes;
}

int64_t HeardMs() { return HeardBytes() * 1000 / state.bytesPerSecond; }

// Like a device that is closed or flushed, the file keeps only what a listener has heard.
void DropUnheard() { state.file.Truncate(state.fileBase + static_cast<uint64_t>(HeardBytes())); }

// Output times stay within 32 bits: at the end of the range they stand still.
int32_t TimeMs(int64_t sinceBase)
{
    const int64_t ms = state.baseMs + sinceBase;
    return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
}

// The file name from the settings with its first %d replaced by the open counter.
bool TrackFileName(const char* pattern, int32_t counter, char* path)
{
    const char* mark = pattern;
    while (*mark && !(mark[0] == '%' && mark[1] == 'd')) ++mark;
    if (!*mark) return CopyBounded(path, MAX_PATH, pattern);
    char number[16];
    int32_t length = 0;
    char digits[16];
    do {
        digits[length++] = static_cast<char>('0' + counter % 10);
        counter /= 10;
    } while (counter > 0);
    for (int32_t i = 0; i < length; ++i) number[i] = digits[length - 1 - i];
    number[length] = '\0';
    char head[MAX_PATH];
    const size_t headLength = static_cast<size_t>(mark - pattern);
    if (headLength >= MAX_PATH) return false;
    for (size_t i = 0; i < headLength; ++i) head[i] = pattern[i];
    head[headLength] = '\0';
    return CopyBounded(path, MAX_PATH, head) && AppendBounded(path, MAX_PATH, number) &&
           AppendBounded(path, MAX_PATH, mark + 2);
}

void TUNARA_CDECL Init() {}

void CloseLocked()
{
    if (state.open) DropUnheard();
    state.file.Close();
    state.open = false;
}

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
    char ini[MAX_PATH];
    char pattern[MAX_PATH] = "";
    int realtime = 1;
    uint64_t maxBytes = WaveFileWriter::kMaxFileBytes;
    if (PathBesideModule("out_pq2.ini", ini)) {
        GetPrivateProfileStringA("output", "file", "", pattern, MAX_PATH, ini);
        realtime = static_cast<int>(GetPrivateProfileIntA("output", "realtime", 1, ini));
        const UINT limit = GetPrivateProfileIntA("output", "maxbytes", 0, ini);
        if (limit > 0) maxBytes = limit;
    }
    ++state.openCount;
    if (pattern[0]) {
        char path[MAX_PATH];
        if (!TrackFileName(pattern, state.openCount, path) ||
            !state.file.Open(path, sampleRate, channels, bitsPerSample, maxBytes))
            return -1;
    }
    state.realtime = realtime != 0;
    state.bitsPerSample = bitsPerSample;
    state.channels = channels;
    state.blockAlign = channels * (bitsPerSample / 8);
    state.bytesPerSecond = static_cast<int64_t>(sampleRate) * state.blockAlign;
    state.writtenBytes = 0;
    state.fileBase = 0;
    state.baseMs = 0;
    state.clock.Restart();
    state.clock.Pause(false);
    state.open = true;
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
    if (!state.open) return 1;
    bytes -= bytes % state.blockAlign;
    // Samples that pass unchanged go to the file as they are given; others through the scratch.
    if (state.gain.Unity()) {
        state.file.Append(data, static_cast<uint32_t>(bytes));
    } else {
        for (int32_t done = 0; done < bytes;) {
            int32_t part = bytes - done;
            if (part > kScratchBytes) part = kScratchBytes - kScratchBytes % state.blockAlign;
            if (state.file.IsOpen() && !state.file.Full()) {
                CopyMemory(state.scratch, data + done, static_cast<SIZE_T>(part));
                ApplyGain(state.gain, state.scratch, part, state.bitsPerSample, state.channels);
                state.file.Append(state.scratch, static_cast<uint32_t>(part));
            }
            done += part;
        }
    }
    state.writtenBytes += bytes;
    return 0;
}

int32_t TUNARA_CDECL CanWrite()
{
    Locked hold(state.lock);
    if (!state.open || state.clock.Paused()) return 0;
    if (!state.realtime) return kUnpacedChunk - kUnpacedChunk % state.blockAlign;
    const int64_t allowed = (state.clock.ElapsedMs() + kLeadMs) * state.bytesPerSecond / 1000 - state.writtenBytes;
    if (allowed <= 0) return 0;
    const int64_t capped = allowed > kUnpacedChunk ? kUnpacedChunk : allowed;
    return static_cast<int32_t>(capped - capped % state.blockAlign);
}

int32_t TUNARA_CDECL IsPlaying()
{
    Locked hold(state.lock);
    return state.open && HeardMs() < WrittenMs() ? 1 : 0;
}

int32_t TUNARA_CDECL Pause(int32_t pause)
{
    Locked hold(state.lock);
    const int32_t was = state.clock.Paused() ? 1 : 0;
    state.clock.Pause(pause != 0);
    // A paused file is whole as it stands, whatever happens to the process meanwhile.
    if (pause) state.file.Commit();
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
    if (!state.open) return;
    DropUnheard();
    state.fileBase = state.file.DataBytes();
    state.baseMs = positionMs;
    state.writtenBytes = 0;
    const bool paused = state.clock.Paused();
    state.clock.Restart();
    if (paused) state.clock.Pause(true);
}

int32_t TUNARA_CDECL GetOutputTime()
{
    Locked hold(state.lock);
    return TimeMs(HeardMs());
}

int32_t TUNARA_CDECL GetWrittenTime()
{
    Locked hold(state.lock);
    return TimeMs(WrittenMs());
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
