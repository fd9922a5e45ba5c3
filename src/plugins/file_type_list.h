#pragma once
// The file type list for file dialogs: NUL-terminated texts alternating description and pattern,
// ended by one more NUL, in engine.fileTypeList.

// Rebuilds the list from the loaded input plugins and returns engine.fileTypeList.
const char* BuildFileTypeList();
