#pragma once
// How strings cross the automation interface. Names added to the playlist are converted with
// the system ANSI code page; every other string uses the thread's ANSI code page.
#include <windows.h>
#include <ole2.h>

#include <string>

// The ANSI text of a name handed to an append member. S_FALSE when the conversion yields
// nothing (null or empty name), E_OUTOFMEMORY when no buffer can be had.
HRESULT AppendedNameToAnsi(BSTR name, std::string& text);

// VT_BSTR holding the text converted from the thread's ANSI code page. The variant's previous
// content is overwritten, not freed: callers hand in fresh out-parameters.
HRESULT SetBstrResult(VARIANT* result, const char* text);
