#pragma once
// What a file's tags tell about its audio, in the ANSI code page, each text at most 255 bytes and
// cut on a character boundary; empty when the tags do not say.
#include <stddef.h>

struct Tags {
    char title[256] = "";
    char artist[256] = "";
    char album[256] = "";
    char comment[256] = "";
    char year[256] = "";
    char genre[256] = "";
};

// "Artist - Title" when the tags have both, else the title; false, with title empty, when they
// have no title.
bool TagsTitle(const Tags& tags, char* title, size_t size);
