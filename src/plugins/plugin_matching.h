#pragma once
// Which input plugin handles a name: claims first, then extensions, then a WAVE content test and
// the substitute names "hi.wav" and "hi.<defaultMatchExtension>". Load order breaks every tie.
#include <stdint.h>

#include "tunara_plugin.h"

// The plugin for the name, or null. A match whose hostWindow is 0 gets the hidden window.
InputPluginRecord* FindInputPlugin(const char* name);

// FindInputPlugin plus the output hand-over: a plugin that plays through an output plugin gets
// the chosen one in outputPlugin. With no input plugin the container hears TunaraMsgEvent 101
// (sent, so it arrives before this returns); with no chosen output plugin the result is null.
InputPluginRecord* PrepareInputPlugin(const char* name);

// The matching plugin's extended information (title, artist, ... vbr), passed through unchanged;
// 0 with the outputs untouched when the plugin is basic or offers none.
int32_t QueryExtendedInfo(const char* name, char* title, char* artist, char* album, char* comment,
                          char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                          int32_t* stereo, int32_t* vbr);
