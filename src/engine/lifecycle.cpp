#include "engine/lifecycle.h"

#include "control/events.h"
#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "engine/module_paths.h"
#include "engine/play_timer.h"
#include "playlist/playlist_store.h"
#include "plugins/playback.h"
#include "plugins/input_loader.h"
#include "plugins/output_loader.h"
#include "win/ansi_text.h"

namespace {

constexpr char kTempFileName[] = "\\plyrlink.tmp";
constexpr long kMsgEngineStarting = 1;

// Takes down what a previous Initialize set up: plugins and the window.
void UnloadPluginsAndWindow()
{
    UnloadInputPlugins();
    UnloadOutputPlugins();
    DestroyHiddenWindow();
}

}  // namespace

void InitializeEngine(AutomationControl* control)
{
    engine.controlObject = control;
    // The container hears of the start before anything is reset or loaded.
    FireMsgEvent(control, kMsgEngineStarting);
    // Emptying the plugin tables releases what a previous Initialize loaded, rather than
    // dropping it (and its window) with the slots. After Deinitialize there is nothing to release.
    UnloadPluginsAndWindow();

    engine.stringInstance = engine.moduleInstance;
    engine.isPaused = 0;
    engine.isPlaying = 0;
    GetModuleDirectory(engine.moduleInstance, engine.moduleDirectory, sizeof(engine.moduleDirectory));
    GetSharedDataFolder(engine.moduleDirectory, "QuerySharedFolderA", engine.tempFilePath,
                        sizeof(engine.tempFilePath));
    if (!AppendBounded(engine.tempFilePath, kTempFileName)) {
        // A directory too long for the path buffer: fall back to the root of the current drive
        // rather than to a cut path that names some other file.
        CopyBounded(engine.tempFilePath, kTempFileName);
    }
    CreateHiddenWindow();
    LoadInputPlugins();
    LoadOutputPlugins();
}

void DeinitializeEngine()
{
    StopPlayback(1);
    PlaylistClear();
    // A timer left running would serve nothing.
    KillPlayTimer();
    UnloadInputPlugins();
    UnloadOutputPlugins();
    DeleteFileA(engine.tempFilePath);
    DestroyHiddenWindow();
}
