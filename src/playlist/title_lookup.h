#pragma once
// Asking the input plugins for the title and length of a file.

// Looks the name up: the matching plugin's title in engine.lookupTitle and its length in
// seconds in engine.lookupLength (-1 when unknown). Without a plugin the title is the name
// itself. An empty name asks the plugin now playing about its file. Returns engine.lookupTitle.
char* QueryFileTitle(const char* name);

// Re-reads the current entry's title (tidied) and length from the playing plugin.
void RefreshCurrentTitle();
