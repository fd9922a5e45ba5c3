// Rendering a 10-minute 44.1 kHz stereo WAVE file through the control, IN_PCM.DLL and out_pq2.dll
// into a WAVE file, unpaced (realtime=0), from Play until the engine has stopped. The floor,
// measured in the same run, is the copy that no render can avoid: the same file read and written
// with the platform's file calls in the reader's piece size. scripts/bench.sh times sox copying
// the same file beside it.
#include <windows.h>

#include <stdio.h>

#include <vector>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "win/unique_resource.h"

namespace {

constexpr int kSeconds = 600;
constexpr DWORD kPieceBytes = 16384 * 4;

double FloorMs(const std::wstring& source, const std::wstring& target)
{
    BenchClock clock;
    UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> piece(kPieceBytes);
    DWORD read = 0, written = 0;
    while (ReadFile(in.Get(), piece.data(), kPieceBytes, &read, nullptr) && read > 0)
        WriteFile(out.Get(), piece.data(), read, &written, nullptr);
    return clock.Milliseconds();
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = 0;
    {
        auto player = StartModuleCase(L"render", L"", false);
        if (!player) return 1;
        const std::wstring dir = player->Layout().Directory();
        const std::wstring source = dir + L"\\source.wav";
        const std::wstring render = dir + L"\\render.wav";
        if (!WriteNoiseWave(source, kSeconds)) {
            printf("render_bench: cannot write %ls\n", source.c_str());
            return 1;
        }
        const std::string renderName(render.begin(), render.end());
        player->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + renderName, "realtime=0"});
        player->Append(source);
        const double floorMs = FloorMs(source, dir + L"\\floor.wav");

        BenchClock clock;
        player->Call().Method(L"Play");
        const bool ended = player->PumpUntil([&] { return player->Call().GetLong(L"Status") == 0; }, 600000);
        const double renderMs = clock.Milliseconds();
        if (!ended || FileBytes(render) != FileBytes(source)) {
            printf("render_bench: the render did not complete (%lld of %lld bytes)\n", FileBytes(render), FileBytes(source));
            result = 1;
        }
        printf("render_bench: %d s of 44.1 kHz stereo 16-bit, unpaced, to a WAVE file\n", kSeconds);
        printf("  floor (read and write the file in %lu-byte pieces): %.1f ms\n", kPieceBytes, floorMs);
        printf("  render through the control and the modules:      %.1f ms (%.0f times real time)\n", renderMs,
               kSeconds * 1000.0 / renderMs);
        printf("  ratio: %.2f\n", renderMs / floorMs);
        printf("  source for the sox comparison: %ls\n", source.c_str());
    }
    CoUninitialize();
    return result;
}
