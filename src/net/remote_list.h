#pragma once
// Lists named by a network address: fetched into a temporary file of their own in the common
// data directory, read from there by the reader of their format, and deleted.

using ListReader = int (*)(const char* name);

// Downloads the list and reads the downloaded file with reader. 1 when the download failed
// (the container has heard why through the status notifications), else the reader's result.
// Only the file this fetch created is ever deleted: a fetch refused because another one runs
// leaves the running one's file alone.
int ReadRemoteList(const char* url, ListReader reader);
