// Decoding a 10-minute 44.1 kHz stereo 128 kbit/s MP3 file (made by scripts/bench.sh with sox and
// lame in bin/bench_mp3/) through the control, IN_MPA.DLL and out_pq2.dll into a WAVE file,
// unpaced (realtime=0), from Play until the engine has stopped. The floor, measured in the same
// run, is the same library (libmpg123, the DLL the module ships with) decoding the file alone in
// 64 KB pieces, the PCM written to a file; the goal is at least 0.8 of its speed. scripts/bench.sh
// times mpg123 -w decoding the same file beside it.
#include <windows.h>

#include <stdio.h>

#include <mpg123.h>

#include <vector>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"
#include "win/unique_resource.h"

namespace {

constexpr DWORD kPieceBytes = 64 * 1024;
constexpr size_t kPcmBytes = 1024 * 1024;
constexpr double kGoal = 0.8;

// -1 when the library cannot decode the file.
double FloorMs(const std::wstring& source, const std::wstring& target)
{
    BenchClock clock;
    int error = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &error);
    if (!decoder) return -1;
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(decoder) != MPG123_OK) {
        mpg123_delete(decoder);
        return -1;
    }
    UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<unsigned char> piece(kPieceBytes), decoded(kPcmBytes);
    DWORD read = 0, written = 0;
    while (ReadFile(in.Get(), piece.data(), kPieceBytes, &read, nullptr) && read > 0) {
        size_t done = 0;
        int result = mpg123_decode(decoder, piece.data(), read, decoded.data(), kPcmBytes, &done);
        for (;;) {
            WriteFile(out.Get(), decoded.data(), static_cast<DWORD>(done), &written, nullptr);
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
            result = mpg123_decode(decoder, nullptr, 0, decoded.data(), kPcmBytes, &done);
        }
    }
    mpg123_delete(decoder);
    return clock.Milliseconds();
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = 0;
    {
        const std::wstring source = ExeDirectory() + L"\\bench_mp3\\long.mp3";
        auto player = StartModuleCase(L"mp3_render", L"", false);
        if (!player) return 1;
        const std::wstring dir = player->Layout().Directory();
        const std::wstring render = dir + L"\\render.wav";
        const std::string renderName(render.begin(), render.end());
        player->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + renderName, "realtime=0"});
        player->Append(source);
        const double floorMs = FloorMs(source, dir + L"\\floor.pcm");

        BenchClock clock;
        player->Call().Method(L"Play");
        const bool ended = player->PumpUntil([&] { return player->Call().GetLong(L"Status") == 0; }, 600000);
        const double renderMs = clock.Milliseconds();
        // 600 s of 16-bit stereo and the header.
        if (!ended || FileBytes(render) != 600LL * 44100 * 4 + 44 || floorMs < 0) {
            printf("mp3_render_bench: the render did not complete (%lld bytes, floor %.1f)\n", FileBytes(render), floorMs);
            result = 1;
        }
        printf("mp3_render_bench: 600 s of 44.1 kHz stereo at 128 kbit/s, unpaced, to a WAVE file\n");
        printf("  floor (libmpg123 decoding the file alone): %.1f ms\n", floorMs);
        printf("  render through the control and the modules: %.1f ms (%.0f times real time)\n", renderMs,
               600000.0 / renderMs);
        printf("  speed against the floor: %.2f (goal: at least %.1f)\n", floorMs / renderMs, kGoal);
    }
    CoUninitialize();
    return result;
}
