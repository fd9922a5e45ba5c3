#pragma once
// Long and short names of the files in a folder. A run of names in the same folder (a list's
// entries mostly are) reads the folder once: the platform reads the whole folder for each name
// asked alone, at a cost that grows with the folder's size. A listing answers for two seconds; a
// name it does not hold (a file made since) is asked for alone. On the container's thread only.
#include <string>

// The short form of a full path (the folder's and the file's short names; the file's own name
// where it has none), empty when the file is missing or the path names none. Throws
// std::bad_alloc.
std::wstring ShortPathOf(const std::wstring& path);

// The long name of the file a full path names (its last component only), empty when it is
// missing. Throws std::bad_alloc.
std::wstring LongNameOf(const std::wstring& path);
