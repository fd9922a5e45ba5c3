// Decoding a 10-minute FLAC file (44.1 kHz stereo, 16 bits) and a 10-minute Opus file (48 kHz
// stereo, 128 kbit/s), made by scripts/bench.sh with sox, flac and opusenc in bin/bench_ogg/,
// through the control, IN_OGG.DLL and out_pq2.dll into a WAVE file, unpaced (realtime=0), from
// Play until the engine has stopped. The floor of each, measured in the same run, is the same
// library (libFLAC, libopusfile, linked as the module links them) decoding the file alone to
// 16-bit PCM written to a file; the goal is at least 0.8 of its speed.
#include <windows.h>

#include <stdio.h>

#include <FLAC/stream_decoder.h>
#include <opusfile.h>

#include <string>
#include <vector>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"
#include "win/unique_resource.h"

namespace {

constexpr double kGoal = 0.8;
constexpr int kSeconds = 600;

struct FlacFloor {
    HANDLE out = nullptr;
    std::vector<int16_t> pcm;
};

FLAC__StreamDecoderWriteStatus WriteFlac(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                         const FLAC__int32* const buffer[], void* data)
{
    FlacFloor* floor = static_cast<FlacFloor*>(data);
    const unsigned channels = frame->header.channels;
    const unsigned samples = frame->header.blocksize;
    floor->pcm.resize(static_cast<size_t>(samples) * channels);
    for (unsigned i = 0; i < samples; ++i)
        for (unsigned c = 0; c < channels; ++c) floor->pcm[i * channels + c] = static_cast<int16_t>(buffer[c][i]);
    DWORD written = 0;
    WriteFile(floor->out, floor->pcm.data(), static_cast<DWORD>(floor->pcm.size() * 2), &written, nullptr);
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

// -1 when the library cannot decode the file.
double FlacFloorMs(const std::wstring& source, const std::wstring& target)
{
    BenchClock clock;
    FlacFloor floor;
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    floor.out = out.Get();
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    if (!decoder) return -1;
    const std::string name(source.begin(), source.end());
    bool done = FLAC__stream_decoder_init_file(decoder, name.c_str(), WriteFlac, nullptr, FlacError, &floor) ==
                    FLAC__STREAM_DECODER_INIT_STATUS_OK &&
                FLAC__stream_decoder_process_until_end_of_stream(decoder);
    FLAC__stream_decoder_delete(decoder);
    return done ? clock.Milliseconds() : -1;
}

double OpusFloorMs(const std::wstring& source, const std::wstring& target)
{
    BenchClock clock;
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string name(source.begin(), source.end());
    int error = 0;
    OggOpusFile* file = op_open_file(name.c_str(), &error);
    if (!file) return -1;
    // As the module decodes: without dither, at the stream's channels (two here).
    op_set_dither_enabled(file, 0);
    std::vector<opus_int16> pcm(120 * 48 * 2 * 8);
    int samples = 0;
    DWORD written = 0;
    while ((samples = op_read(file, pcm.data(), static_cast<int>(pcm.size()), nullptr)) > 0)
        WriteFile(out.Get(), pcm.data(), static_cast<DWORD>(samples * 4), &written, nullptr);
    op_free(file);
    return samples == 0 ? clock.Milliseconds() : -1;
}

// Renders the file through the control; false when it did not complete with the expected bytes.
bool RenderMs(const wchar_t* caseName, const std::wstring& source, int rate, double* renderMs)
{
    auto player = StartModuleCase(caseName, L"", false);
    if (!player) return false;
    const std::wstring render = player->Layout().Directory() + L"\\render.wav";
    player->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + std::string(render.begin(), render.end()), "realtime=0"});
    player->Append(source);
    BenchClock clock;
    player->Call().Method(L"Play");
    const bool ended = player->PumpUntil([&] { return player->Call().GetLong(L"Status") == 0; }, 600000);
    *renderMs = clock.Milliseconds();
    return ended && FileBytes(render) == static_cast<long long>(kSeconds) * rate * 4 + 44;
}

bool Report(const char* what, const char* library, double floorMs, bool rendered, double renderMs)
{
    printf("ogg_render_bench: %s, 600 s, unpaced, to a WAVE file\n", what);
    if (!rendered || floorMs < 0) {
        printf("  the render did not complete (floor %.1f ms)\n", floorMs);
        return false;
    }
    printf("  floor (%s decoding the file alone): %.1f ms\n", library, floorMs);
    printf("  render through the control and the modules: %.1f ms (%.0f times real time)\n", renderMs,
           kSeconds * 1000.0 / renderMs);
    printf("  speed against the floor: %.2f (goal: at least %.1f)\n", floorMs / renderMs, kGoal);
    return true;
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    const std::wstring dir = ExeDirectory() + L"\\bench_ogg";
    const std::wstring flac = dir + L"\\long.flac";
    const std::wstring opus = dir + L"\\long.opus";
    bool ok = true;
    {
        double renderMs = 0;
        const bool rendered = RenderMs(L"flac_render", flac, 44100, &renderMs);
        ok = Report("FLAC 44.1 kHz stereo 16 bits", "libFLAC", FlacFloorMs(flac, dir + L"\\floor_flac.pcm"), rendered,
                    renderMs) && ok;
    }
    {
        double renderMs = 0;
        const bool rendered = RenderMs(L"opus_render", opus, 48000, &renderMs);
        ok = Report("Opus 48 kHz stereo 128 kbit/s", "libopusfile", OpusFloorMs(opus, dir + L"\\floor_opus.pcm"),
                    rendered, renderMs) && ok;
    }
    CoUninitialize();
    return ok ? 0 : 1;
}
