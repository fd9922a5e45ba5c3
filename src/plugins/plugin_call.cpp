#include "plugins/plugin_call.h"

#include "engine/engine_context.h"
#include "engine/lifecycle.h"

PluginCallScope::PluginCallScope()
{
    ++engine.pluginCallDepth;
}

PluginCallScope::~PluginCallScope()
{
    if (--engine.pluginCallDepth == 0) RunDeferredLifecycle();
}
