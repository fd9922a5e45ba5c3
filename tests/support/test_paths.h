#pragma once
// Where the built artefacts are, seen from a test executable in bin/.
#include <string>

std::wstring ExeDirectory();
// The test executable's name without its extension.
std::wstring ExeStem();
// The control DLL beside the test executables.
std::wstring ControlDllPath();
