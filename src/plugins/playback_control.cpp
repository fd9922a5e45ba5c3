#include "plugins/playback_control.h"

#include "engine/engine_context.h"
#include "plugins/plugin_call.h"

namespace {

// The plugin that the latest start prepared. Every function here runs on the container's thread.
InputPluginRecord* Current() { return engine.currentInputPlugin; }

}  // namespace

int32_t PluginPosition()
{
    InputPluginRecord* plugin = Current();
    if (!plugin || !plugin->getPosition || engine.playBusy) return 0;
    return CallPlugin(plugin->getPosition);
}

int32_t PluginLengthSeconds()
{
    InputPluginRecord* plugin = Current();
    if (!plugin || !plugin->getLength || engine.playBusy) return -1;
    int32_t seconds = CallPlugin(plugin->getLength) / 1000;
    return seconds < 1 && seconds != -1 ? 1 : seconds;
}

void PluginSeek(int32_t milliseconds)
{
    InputPluginRecord* plugin = Current();
    if (plugin && plugin->setPosition) CallPlugin(plugin->setPosition, milliseconds);
}

void PluginSetVolume(int32_t value)
{
    InputPluginRecord* plugin = Current();
    if (plugin && plugin->setVolume) CallPlugin(plugin->setVolume, value);
}

void PluginSetPan(int32_t value)
{
    InputPluginRecord* plugin = Current();
    if (plugin && plugin->setPan) CallPlugin(plugin->setPan, value);
}

void PluginStop()
{
    InputPluginRecord* plugin = Current();
    if (plugin && plugin->stop) CallPlugin(plugin->stop);
}

void PluginPause(int32_t pause)
{
    InputPluginRecord* plugin = Current();
    if (!plugin) return;
    TunaraVoidFn call = pause ? plugin->pause : plugin->unpause;
    if (call) CallPlugin(call);
}
