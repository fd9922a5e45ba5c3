#include "engine/lifecycle.h"

#include <utility>

#include "control/events.h"
#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "engine/module_paths.h"
#include "engine/play_timer.h"
#include "playlist/playlist_store.h"
#include "plugins/input_loader.h"
#include "plugins/output_loader.h"
#include "plugins/playback.h"
#include "plugins/plugin_call.h"
#include "win/ansi_text.h"

namespace {

constexpr char kTempFileName[] = "\\plyrlink.tmp";
constexpr long kMsgEngineStarting = 1;

enum DeferredLifecycle : int32_t { kNothingDeferred, kUnloadDeferred, kReloadDeferred };

// Takes down what a previous Initialize set up: plugins and the window. The scope keeps a
// container's Initialize or Deinitialize from inside a plugin's init or quit waiting until the
// whole table is done.
void UnloadPluginsAndWindow()
{
    PluginCallScope scope;
    UnloadInputPlugins();
    UnloadOutputPlugins();
    DestroyHiddenWindow();
}

void LoadPluginsAndWindow()
{
    // Emptying the plugin tables releases what a previous Initialize loaded, rather than
    // dropping it (and its window) with the slots. After Deinitialize there is nothing to release.
    PluginCallScope scope;
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

}  // namespace

void InitializeEngine(AutomationControl* control)
{
    engine.controlObject = control;
    // The container hears of the start before anything is reset or loaded.
    FireMsgEvent(control, kMsgEngineStarting);
    // Nothing may play through a plugin that is about to go. The stop sets the normal priority
    // class again, whatever the container did with the process's class meanwhile.
    engine.processPriorityClass = 0;
    StopPlayback(1);
    KillPlayTimer();
    if (engine.pluginCallDepth > 0) {
        engine.deferredLifecycle = kReloadDeferred;
        return;
    }
    LoadPluginsAndWindow();
}

void DeinitializeEngine()
{
    StopPlayback(1);
    PlaylistClear();
    // A timer left running would serve nothing.
    KillPlayTimer();
    DeleteFileA(engine.tempFilePath);
    if (engine.pluginCallDepth > 0) {
        engine.deferredLifecycle = kUnloadDeferred;
        return;
    }
    UnloadPluginsAndWindow();
}

void RunDeferredLifecycle()
{
    const int32_t deferred = std::exchange(engine.deferredLifecycle, kNothingDeferred);
    if (deferred == kNothingDeferred) return;
    // A start under way when the container asked may have succeeded since.
    AbandonPlayback();
    if (deferred == kReloadDeferred) {
        LoadPluginsAndWindow();
    } else {
        UnloadPluginsAndWindow();
    }
}
