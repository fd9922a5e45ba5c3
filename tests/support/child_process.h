#pragma once
// Runs another program of the test tree and waits for it.
#include <windows.h>

#include <string>

// Runs the command line and returns the program's exit code; 0xFFFFFFFF when it cannot start or
// has not ended after a minute.
DWORD RunAndWait(std::wstring commandLine);
