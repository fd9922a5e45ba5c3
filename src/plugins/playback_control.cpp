#include "plugins/playback_control.h"

#include "engine/engine_context.h"

int32_t PluginPosition()
{
    InputPluginRecord* plugin = engine.currentInputPlugin;
    return plugin && plugin->getPosition ? plugin->getPosition() : 0;
}

void PluginSetVolume(int32_t value)
{
    InputPluginRecord* plugin = engine.currentInputPlugin;
    if (plugin && plugin->setVolume) plugin->setVolume(value);
}
