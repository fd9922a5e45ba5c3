#include "plugins/playback_control.h"

#include "engine/engine_context.h"

int32_t PluginPosition()
{
    InputPluginRecord* plugin = engine.currentInputPlugin;
    return plugin && plugin->getPosition ? plugin->getPosition() : 0;
}
