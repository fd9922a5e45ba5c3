#pragma once
// Starting and stopping the engine: the work of the Initialize and Deinitialize members, on the
// container's thread. Asked for from inside a call into a plugin (a container's handler of an
// event that the plugin sent synchronously), the unloading and loading of the plugins and the
// window wait until the outermost plugin call has returned (RunDeferredLifecycle); the rest
// (events, stopping, the playlist) happens at once.
class AutomationControl;

void InitializeEngine(AutomationControl* control);
void DeinitializeEngine();
// Runs what InitializeEngine or DeinitializeEngine left for later; called by the outermost
// PluginCallScope as it ends.
void RunDeferredLifecycle();
