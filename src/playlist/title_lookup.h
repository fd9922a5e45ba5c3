#pragma once
// Asking the input plugins for the title and length of a file.

// Looks the name up: the matching plugin's title in engine.lookupTitle (and whole in
// engine.lookupWideTitle, where the plugin answered it in UTF-8 and the code page cannot carry
// it) and its length in seconds in engine.lookupLength (-1 when unknown). A plugin whose module
// answers in UTF-8 is asked that way, else through its record. Without a plugin the title is
// the name itself. An empty name asks the plugin now playing about its file. Returns
// engine.lookupTitle.
char* QueryFileTitle(const char* name);

// Tidies the latest lookup's title (TidyTitle), its wide form alike. Returns engine.lookupTitle.
char* TidyLookedUpTitle();

// Re-reads the current entry's title (tidied) and length from the playing plugin.
void RefreshCurrentTitle();
