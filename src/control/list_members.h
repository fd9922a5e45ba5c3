#pragma once
// How the append members hand a name to the list readers, and what they report afterwards.
#include <windows.h>

// The result of an append member once a list reader has run: S_OK whatever the list held (the
// reader tells the container through events), E_NOTIMPL for a remote list, which cannot be
// fetched yet.
HRESULT ListMemberResult(int readerResult);

// Reads the name as an M3U or PLS list when its extension ("m3u" or "pls", any case) says so,
// and sets result. False, result untouched, for any other name.
bool ReadListByExtension(const char* name, HRESULT& result);
