#pragma once
// How strings cross the automation interface. Names added to the playlist are converted with
// the system ANSI code page; every other string uses the thread's ANSI code page.
#include <windows.h>
#include <ole2.h>

#include <string>

// The ANSI text of a name handed to an append member. S_FALSE when the conversion yields
// nothing (null or empty name). Throws std::bad_alloc when no buffer can be had: the member's
// guard answers E_OUTOFMEMORY.
HRESULT AppendedNameToAnsi(BSTR name, std::string& text);
