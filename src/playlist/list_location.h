#pragma once
// Where a list file is, and the directory rule of the list readers: the list's own directory
// becomes the process's current directory, so that its relative entries, and relative names
// added later, resolve against it.
#include <string>

// Where a list came from. A list fetched from the network is untrusted input (a chat peer may
// hand one over): it never moves the current directory, and of its local entries only absolute
// paths on a drive are taken, never a network share ("\\host\share", "//host/share"), whose mere
// probing would make the platform authenticate to that host.
enum class ListOrigin { kLocal, kFetched };

// A list named by a network address ("://"), which the readers fetch before reading it.
bool IsRemoteListName(const char* name);

// The full path of a list name, of any length; the name as given when none can be made.
std::string ListFullPath(const char* name);

// Makes the directory of the full path (up to and including its last "\") the current
// directory. When the platform refuses it, the current directory stays as it was.
void EnterListDirectory(const std::string& fullPath);
