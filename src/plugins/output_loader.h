#pragma once
// Loading and unloading the output plugins into engine.outputPlugins, and the output choice.
#include "tunara_plugin.h"

// Loads every Plugins\OUT_*.DLL with a version-16 record, at most 31, then settles
// chosenOutputName: "out_kv.dll" when that plugin is absent or opens for 44100 Hz stereo
// 16-bit, else "out_pq2.dll".
void LoadOutputPlugins();
// Calls every quit, frees each record's fileName copy, releases every library, empties the table.
void UnloadOutputPlugins();

// The loaded output plugin whose file name is chosenOutputName (ignoring case), or null.
OutputPluginRecord* FindChosenOutputPlugin();
