#pragma once
// M3U list files: reading one into the playlist, and writing the whole playlist as one.
//   #EXTM3U
//   #EXTINF:<length in seconds>,<title>
//   <file name or network address>
// with CR LF line ends.
#include "playlist/list_location.h"

// Appends the entries of the list (the playlist is not cleared first). A name ending in ".m3u8",
// or a file starting with a UTF-8 byte-order mark, is read as UTF-8, else as ANSI. The directory of a local
// list becomes the current directory. Returns 0 when at least one entry was added; 1 when the file
// cannot be opened (no event), is empty (message 106), or adds nothing (message 105). A network
// address is downloaded first and its body read as M3U, whatever the server called it; a failed
// download gives 1 (the container has heard why through the status notifications). A fetched
// list adds only network addresses and absolute drive paths (see ListOrigin).
int ReadM3UList(const char* name);

// Writes every entry in playlist order; the current position does not move. An entry whose name
// would not read back as itself (a line break in it, a "#" or a blank first) is left out; line
// breaks in titles are written as spaces. In the ANSI code page, with the stored names (short
// ones where the code page cannot carry a name) and titles; or as UTF-8 (no byte-order mark) with
// the names and titles as the container sees them. Returns 0, or -1 when the file cannot be
// created or a write fails.
int WriteM3UList(const char* path, bool utf8 = false);
