#pragma once
// Lists named by a network address: fetched into a temporary file of their own in the common
// data directory, read from there by the reader of their format, and deleted.

#include "playlist/list_location.h"

// Reads the list file at path, which came from origin.
using ListReader = int (*)(const char* path, ListOrigin origin);

// Downloads the list and reads the downloaded file with reader, as a fetched list. 1 when the
// download failed (the container has heard why through the status notifications), else the
// reader's result.
// Only the file this fetch created is ever deleted: a fetch refused because another one runs
// leaves the running one's file alone.
int ReadRemoteList(const char* url, ListReader reader);
