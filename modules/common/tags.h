#pragma once
// What a file's tags tell about its audio, in UTF-8, each text at most 511 bytes and cut on a
// character boundary; empty when the tags do not say.
#include <stddef.h>

#include "tunara_plugin.h"

struct Tags {
    char title[512] = "";
    char artist[512] = "";
    char album[512] = "";
    char comment[512] = "";
    char year[512] = "";
    char genre[512] = "";
};

// "Artist - Title" when the tags have both, else the title; false, with title empty, when they
// have no title.
bool TagsTitle(const Tags& tags, char* title, size_t size);

// The header texts of a file: its tag title, else its base name; the other texts as the tags
// have them.
void FillTagTexts(const Tags& tags, const char* path, TunaraFileTexts* texts);
