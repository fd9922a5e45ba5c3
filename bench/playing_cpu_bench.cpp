// Processor time used while a WAVE file plays in real time through the control, IN_PCM.DLL and
// out_pq2.dll (writing its file), then an MP3 file through IN_MPA.DLL, a FLAC and an Opus file
// through IN_OGG.DLL (scripts/bench.sh makes them in bin/bench_mp3/ and bin/bench_ogg/): the
// process's user and kernel time over 30 s of playback each, as a share of one core. The floor,
// measured in the same run, is the container's own message loop over the same 30 s with nothing
// playing; the goal is at most 1.2 times it.
#include <windows.h>

#include <stdio.h>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"

namespace {

constexpr DWORD kMeasureMs = 30000;
constexpr double kGoal = 1.2;

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// CPU milliseconds used while the container's loop runs for kMeasureMs.
double LoopCpuMs(PlayerCase& player)
{
    const double before = ProcessCpuMs();
    player.PumpUntil([] { return false; }, kMeasureMs);
    return ProcessCpuMs() - before;
}

void Report(const char* label, double ms, double floorMs)
{
    printf("  %-46s %.1f ms CPU = %.2f %% of a core\n", label, ms, 100.0 * ms / kMeasureMs);
    printf("  ratio: %.2f (goal: at most %.1f)\n", floorMs > 0 ? ms / floorMs : 0.0, kGoal);
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = 0;
    {
        auto player = StartModuleCase(L"playing_cpu", L"", true);
        if (!player) return 1;
        const std::wstring dir = player->Layout().Directory();
        const std::wstring source = dir + L"\\source.wav";
        if (!WriteNoiseWave(source, 40)) return 1;
        const std::wstring output = dir + L"\\played.wav";
        player->Layout().WritePluginFile(L"out_pq2.ini",
                                         {"[output]", "file=" + std::string(output.begin(), output.end()), "realtime=1"});
        player->Append(source);
        const double floorMs = LoopCpuMs(*player);
        player->Call().Method(L"Play");
        player->PumpUntil([] { return false; }, 1000);
        const double playMs = LoopCpuMs(*player);
        if (player->Call().GetLong(L"Status") != 1) {
            printf("playing_cpu_bench: playback stopped before the measurement ended\n");
            result = 1;
        }
        player->Call().Method(L"Stop");
        printf("playing_cpu_bench: %lu s of real-time playback to a WAVE file\n", kMeasureMs / 1000);
        printf("  floor (the container's loop, nothing playing): %.1f ms CPU = %.2f %% of a core\n", floorMs,
               100.0 * floorMs / kMeasureMs);
        Report("playing a WAVE file:", playMs, floorMs);
        const struct {
            const wchar_t* file;
            const char* label;
        } compressed[] = {{L"\\bench_mp3\\long.mp3", "playing an MP3 (128 kbit/s):"},
                          {L"\\bench_ogg\\long.flac", "playing a FLAC file:"},
                          {L"\\bench_ogg\\long.opus", "playing an Opus file (128 kbit/s):"}};
        for (const auto& item : compressed) {
            player->Call().Method(L"ClearPlaylist");
            player->Append(ExeDirectory() + item.file);
            player->Call().Method(L"Play");
            player->PumpUntil([] { return false; }, 1000);
            const double ms = LoopCpuMs(*player);
            if (player->Call().GetLong(L"Status") != 1) {
                printf("playing_cpu_bench: %ls stopped before the measurement ended\n", item.file);
                result = 1;
            }
            player->Call().Method(L"Stop");
            Report(item.label, ms, floorMs);
        }
    }
    CoUninitialize();
    return result;
}
