#pragma once
// Where the built artefacts are, seen from a test executable in bin/.
#include <string>

std::wstring ExeDirectory();
// The control DLL beside the test executables.
std::wstring ControlDllPath();
