#pragma once
// Names that the ANSI code page cannot carry. Such an entry stores its file by its short name,
// which plugins open as any other, and keeps the wide name the container gave, which is what
// the container is answered with. All on the container's thread.
#include <string>

#include "playlist/playlist_entry.h"

// The name to store for a wide name: the name itself when the code page carries it (wide is
// then left empty); else the short name of its full path where the file system has one (or the
// code page's rendering of the name, a file that will not open), with the full wide path in
// wide. Empty for a null or empty name. Throws std::bad_alloc.
std::string StoredNameFor(const wchar_t* name, size_t length, std::wstring& wide);

// Gives the last entry the wide name (nothing for an empty one). Throws std::bad_alloc.
void KeepWideNameOfLastEntry(const std::wstring& wide);

// The entry's wide name; null when it has none.
const std::wstring* EntryWideName(const PlaylistEntry& entry);

// Where the entry has a wide name and its stored title is the base name of its stored name
// (what a plugin answers without tags, tidied as titles are): true, with the base name of the
// wide name, tidied alike, in title. False when the stored title is the one to show.
bool EntryWideTitle(const PlaylistEntry& entry, std::wstring& title);

// For the entry at index, where it has a wide name: true, with that name and the entry's title
// as the container sees it (the stored title converted with the thread's code page unless
// EntryWideTitle applies). False for an entry without a wide name, or no entry.
bool EntryWideAnswer(int32_t index, std::wstring& name, std::wstring& title);
