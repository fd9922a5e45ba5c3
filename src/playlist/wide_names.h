#pragma once
// Names and titles that the ANSI code page cannot carry. Such an entry stores its file by its
// short name, which plugins open as any other, and its title as the code page renders it; it
// keeps the wide name and title the container (or a UTF-8 list) gave, which are what the
// container is answered with. All on the container's thread.
#include <stdint.h>

#include <string>

#include "playlist/playlist_entry.h"

// What an entry keeps beside its ANSI fields (PlaylistEntry::wideName): either may be empty.
struct WideText {
    std::wstring name;       // the full name as given
    std::wstring title;      // the title as given
    std::string titleAnsi;   // the stored title it was given as; another stored title replaces it
};

// The name to store for a wide name: the name itself when the code page carries it (wide is
// then left empty); else the short name of its full path where the file system has one (or the
// code page's rendering of the name, a file that will not open), with the full wide path in
// wide. Empty for a null or empty name. Throws std::bad_alloc.
std::string StoredNameFor(const wchar_t* name, size_t length, std::wstring& wide);

// Gives the last entry the wide name and title where either leaves the code page: each that is
// not empty replaces what the entry kept. The title is cut as stored titles are (399 units).
// Throws std::bad_alloc.
void KeepWideTextOfLastEntry(const std::wstring& name, const std::wstring& title = std::wstring());

// Gives the entry at index the wide form of the title it now stores (nothing for an empty one),
// cut alike; without memory the entry keeps answering its stored title.
void KeepWideTitle(int32_t index, const std::wstring& title);

// "_" and "%20" become spaces, after a cut to 1023 units, as TidyTitle does for ANSI titles.
// Throws std::bad_alloc.
std::wstring TidyWideTitle(const std::wstring& text);

// For the entry at index, where it keeps wide text: true, with its name (the wide one, else the
// stored one) and its title as the container sees them. The title is the wide title while the
// stored title is still the one it came with; else, where the entry has a wide name and its
// stored title is the base name of its stored name (what a plugin answers without tags, tidied
// as titles are), the base name of the wide name, tidied alike; else the stored title. Stored
// text is converted with the thread's code page. False for an entry without wide text, or none.
bool EntryWideAnswer(int32_t index, std::wstring& name, std::wstring& title);
