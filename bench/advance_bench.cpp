// The automatic advance: from the end-of-stream message to the next plugin's play, engine time
// only, over 10,000 advances through a two-entry list with repeat. The floor, measured in the same
// run, is what no advance can avoid: the message posted and dispatched to a window, and the same
// plugin calls (stop, volume, pan, play, the title of the playing file) made directly.
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

constexpr int kAdvances = 10000;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void DispatchOne()
{
    MSG message;
    if (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

double FloorMs(InputPluginRecord* plugin)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BenchPlainWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BenchPlainWindow", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    char title[2048];
    int32_t length = 0;
    BenchClock clock;
    for (int i = 0; i < kAdvances; ++i) {
        PostMessageA(window, WM_ENGINE_ADVANCE, 0, 0);
        DispatchOne();
        plugin->stop();
        plugin->setVolume(200);
        plugin->setPan(0);
        plugin->play(i % 2 ? "http://bench/a.ok" : "http://bench/b.ok");
        plugin->getFileInfo("", title, &length);
    }
    double ms = clock.Milliseconds();
    DestroyWindow(window);
    return ms;
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

    PlayCurrentEntry();
    BenchClock engineClock;
    for (int i = 0; i < kAdvances; ++i) {
        PostMessageA(engine.hiddenWindow.Get(), WM_ENGINE_ADVANCE, 0, 0);
        DispatchOne();
    }
    const double engineMs = engineClock.Milliseconds();
    const bool playing = engine.isPlaying != 0;
    const double floorMs = FloorMs(plugin);
    DeinitializeEngine();

    printf("advance, end of stream to the next play: %.1f us per advance (%d advances%s)\n",
           1000.0 * engineMs / kAdvances, kAdvances, playing ? "" : ", NOT PLAYING AT THE END");
    printf("floor, message round trip + the same plugin calls: %.1f us per advance\n", 1000.0 * floorMs / kAdvances);
    printf("ratio engine/floor: %.2f\n", engineMs / floorMs);
    FreeLibrary(copy);
    return playing ? 0 : 1;
}
