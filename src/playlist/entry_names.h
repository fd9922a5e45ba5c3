#pragma once
// How a name handed to the playlist becomes the stored entry name, and the extension test that
// decides whether a name is read as a list. Scans step by whole characters of the ANSI code page.
#include <stdint.h>

#include "playlist/playlist_entry.h"

// The position of the last character of text that is one of the bytes of set, scanning back from
// the last character; notFound when there is none or either text is empty or null.
int32_t FindLastOf(const char* text, const char* set, int32_t notFound);

// The text after the last "." of the name's last "\"-separated component, or "" when that
// component has no dot. "/" separates nothing: a URL whose last dot is in its host part yields
// the rest of the URL.
const char* GetExtension(const char* name);

// Forms the stored name of an entry. Locations (containing "://" or ":\\") are kept as given,
// cut to fit. Other names become full paths against the current directory, and a short (8.3)
// last component of an existing file is replaced by its long name. Returns 0, or -1 with an
// empty stored name when a local name's full path does not fit: a cut path would name some other
// file.
int ResolveEntryName(const char* name, char (&stored)[kFileNameSize]);
