#pragma once
// The file type list for file dialogs: NUL-terminated texts alternating description and pattern,
// ended by one more NUL, in engine.fileTypeList.

// Rebuilds the list from the loaded input plugins and returns engine.fileTypeList.
const char* BuildFileTypeList();

// The string-table ids of the two descriptions the list opens with.
constexpr unsigned kIdsAllSupportedFiles = 23;
constexpr unsigned kIdsPlaylistFiles = 22;
