#pragma once
// Loading and unloading the input plugins into engine.inputPlugins.

// Loads every Plugins\IN_*.DLL whose record passes the version test, at most 511, in search
// order; each gets the host's words before its init and SetMediaInfo after it.
void LoadInputPlugins();
// Calls every quit, releases every library, empties the table, clears currentInputPlugin.
void UnloadInputPlugins();
