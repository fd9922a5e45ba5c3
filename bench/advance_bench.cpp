// The automatic advance: from the end-of-stream message to the next plugin's play, engine time
// only, over 10,000 advances through a two-entry list with repeat. The floor is what no advance
// can avoid: the message posted and dispatched to a window, one look at the queue once the plugin
// has stopped (an end it reported twice, or a cut it asked for, must not move the list on again:
// only the queue knows of them), and the same plugin calls (the match, stop, volume, pan, play,
// the title of the playing file) made directly. Each look at the queue and each post is a round
// trip to the system's message server, which dwarfs everything else here. Both run in
// alternating rounds of 500, so that both meet the same load; the best rounds are compared.
#include <windows.h>

#include <stdio.h>

#include "bench_clock.h"
#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "engine/lifecycle.h"
#include "playlist/playlist_append.h"
#include "plugins/playback.h"
#include "support/bare_control.h"
#include "support/plugin_layout.h"

namespace {

constexpr int kRounds = 20;
constexpr int kAdvancesPerRound = 500;
constexpr double kGoal = 1.5;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void DispatchOne()
{
    MSG message;
    if (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

HWND CreatePlainWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BenchPlainWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "BenchPlainWindow", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

double EngineRoundMs()
{
    BenchClock clock;
    for (int i = 0; i < kAdvancesPerRound; ++i) {
        PostMessageA(engine.hiddenWindow.Get(), WM_ENGINE_ADVANCE, 0, 0);
        DispatchOne();
    }
    return clock.Milliseconds();
}

// The queue look and the plugin calls of a start: the match (the plugin is asked whether it takes the name before
// its extension list is read), stop, volume, pan, play and the title of the playing file.
double FloorRoundMs(HWND window, InputPluginRecord* plugin)
{
    char title[2048];
    int32_t length = 0;
    BenchClock clock;
    for (int i = 0; i < kAdvancesPerRound; ++i) {
        const char* name = i % 2 ? "http://bench/a.ok" : "http://bench/b.ok";
        PostMessageA(window, WM_ENGINE_ADVANCE, 0, 0);
        DispatchOne();
        plugin->stop();
        MSG queued;
        PeekMessageA(&queued, window, WM_ENGINE_ADVANCE, WM_ENGINE_CUT, PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE);
        plugin->acceptsFile(name);
        plugin->setVolume(200);
        plugin->setPan(0);
        plugin->play(name);
        plugin->getFileInfo("", title, &length);
    }
    return clock.Milliseconds();
}

}  // namespace

int main()
{
    PluginLayout layout(L"bench_advance");
    layout.AddInput("IN_OK.DLL", {"extensions=OK|Bench", "log=0"});
    layout.AddOutput("OUT_KV.DLL");
    HMODULE copy = LoadLibraryW((layout.Directory() + L"\\TunaraXChat.dll").c_str());
    engine.moduleInstance = copy;
    BareControl control;
    InitializeEngine(&control);
    PlaylistAppendFile("http://bench/a.ok");
    PlaylistAppendFile("http://bench/b.ok");
    engine.repeat = 1;
    InputPluginRecord* plugin = engine.inputPlugins[0];
    HWND window = CreatePlainWindow();

    PlayCurrentEntry();
    RoundTimes own, floor;
    for (int round = 0; round < kRounds; ++round) {
        own.Add(EngineRoundMs());
        floor.Add(FloorRoundMs(window, plugin));
    }
    const bool playing = engine.isPlaying != 0;
    DestroyWindow(window);
    DeinitializeEngine();

    const double perAdvance = 1000.0 / kAdvancesPerRound;
    printf("advance, end of stream to the next play: best %.1f us, median %.1f us per advance (%d rounds of %d%s)\n",
           own.Best() * perAdvance, own.Median() * perAdvance, kRounds, kAdvancesPerRound,
           playing ? "" : ", NOT PLAYING AT THE END");
    printf("floor, message round trip, one queue look + the same plugin calls: best %.1f us, median %.1f us per advance\n",
           floor.Best() * perAdvance, floor.Median() * perAdvance);
    printf("ratio engine/floor: %.2f best, %.2f median (goal <= %.1f)\n", own.Best() / floor.Best(),
           own.Median() / floor.Median(), kGoal);
    FreeLibrary(copy);
    return playing ? 0 : 1;
}
