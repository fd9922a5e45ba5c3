#pragma once
// The conversions between BSTR and ANSI text.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "win/unique_resource.h"

// A new BSTR holding ANSI text converted with the given code page; empty text gives "".
BSTR AnsiToBstr(const char* text, UINT codePage);
// ANSI text of a BSTR in the given code page; a null BSTR gives "".
std::string BstrToAnsi(BSTR text, UINT codePage);
