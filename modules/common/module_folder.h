#pragma once
// The folder of the module that contains the caller (a plugin's own folder, where its settings
// file lives).
#include <windows.h>

// Writes "<folder>\<fileName>" into path (MAX_PATH bytes); false when it does not fit.
bool PathBesideModule(const char* fileName, char* path);
