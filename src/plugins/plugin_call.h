#pragma once
// Every call from the engine into a plugin module runs inside a PluginCallScope, on the
// container's thread. A plugin may reach the container from inside such a call (a status
// notification sent on the host's thread fires its event at once), and the container's handler
// may then Initialize or Deinitialize: the lifecycle sees the depth and leaves the modules loaded
// until the outermost call has returned, so that no module is freed under its own frame.
#include <utility>

class PluginCallScope {
public:
    PluginCallScope();
    // The outermost scope runs the lifecycle work deferred while it was open.
    ~PluginCallScope();
    PluginCallScope(const PluginCallScope&) = delete;
    PluginCallScope& operator=(const PluginCallScope&) = delete;
};

template <typename Fn, typename... Args>
auto CallPlugin(Fn function, Args&&... args)
{
    PluginCallScope scope;
    return function(std::forward<Args>(args)...);
}
