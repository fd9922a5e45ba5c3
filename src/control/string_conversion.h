#pragma once
// How strings cross the automation interface. Names added to the playlist are converted with
// the system ANSI code page; every other string uses the thread's ANSI code page.
#include <windows.h>
#include <ole2.h>

#include <string>

// The name to store for a name handed to an append member: its ANSI text, or where the code
// page cannot carry it, its short name, with the full wide name in wide (see StoredNameFor).
// S_FALSE when that is empty (null or empty name). Throws std::bad_alloc when no buffer can be
// had: the member's guard answers E_OUTOFMEMORY.
HRESULT AppendedName(BSTR name, std::string& text, std::wstring& wide);
