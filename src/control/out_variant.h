#pragma once
// Filling the [out] VARIANT parameters of the members. Script hosts pass their live variables,
// so whatever a variable held (a string from the previous call, say) is released before the new
// value goes in. Callers must hand in initialised variants (VT_EMPTY at least), as the
// automation rules require of anything passed by reference.
#include <windows.h>
#include <ole2.h>

// VT_BSTR with the ANSI text converted from the thread's ANSI code page (null gives "").
// E_OUTOFMEMORY leaves the variant VT_EMPTY.
HRESULT SetOutText(VARIANT* out, const char* text);
HRESULT SetOutText(VARIANT* out, const wchar_t* text);
void SetOutLong(VARIANT* out, LONG value);    // VT_I4
void SetOutShort(VARIANT* out, SHORT value);  // VT_I2
