// Processor time used while a WAVE file plays in real time through the control, IN_PCM.DLL and
// out_pq2.dll (writing its file), then an MP3 file (scripts/bench.sh makes it in bin/bench_mp3/)
// through IN_MPA.DLL: the process's user and kernel time over 30 s of playback each, as a share of
// one core. The floor, measured in the same run, is the container's own message loop over the
// same 30 s with nothing playing.
#include <windows.h>

#include <stdio.h>

#include "bench_clock.h"
#include "module_bench_case.h"
#include "support/test_paths.h"

namespace {

constexpr DWORD kMeasureMs = 30000;

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
        player->Call().Method(L"ClearPlaylist");
        player->Append(ExeDirectory() + L"\\bench_mp3\\long.mp3");
        player->Call().Method(L"Play");
        player->PumpUntil([] { return false; }, 1000);
        const double mp3Ms = LoopCpuMs(*player);
        if (player->Call().GetLong(L"Status") != 1) {
            printf("playing_cpu_bench: the MP3 stopped before the measurement ended\n");
            result = 1;
        }
        player->Call().Method(L"Stop");
        printf("playing_cpu_bench: %lu s of real-time playback to a WAVE file\n", kMeasureMs / 1000);
        printf("  floor (the container's loop, nothing playing): %.1f ms CPU = %.2f %% of a core\n", floorMs,
               100.0 * floorMs / kMeasureMs);
        printf("  playing:                                       %.1f ms CPU = %.2f %% of a core\n", playMs,
               100.0 * playMs / kMeasureMs);
        printf("  ratio: %.2f\n", floorMs > 0 ? playMs / floorMs : 0.0);
        printf("  playing an MP3 (128 kbit/s):                   %.1f ms CPU = %.2f %% of a core\n", mp3Ms,
               100.0 * mp3Ms / kMeasureMs);
        printf("  ratio: %.2f\n", floorMs > 0 ? mp3Ms / floorMs : 0.0);
    }
    CoUninitialize();
    return result;
}
