#include "tags.h"

#include <string.h>

#include "base_title.h"
#include "utf8_text.h"

bool TagsTitle(const Tags& tags, char* title, size_t size)
{
    const bool both = tags.artist[0] && tags.title[0];
    CopyUtf8(title, size, both ? tags.artist : tags.title);
    if (both) {
        const size_t used = strlen(title);
        CopyUtf8(title + used, size - used, " - ");
        const size_t joined = strlen(title);
        CopyUtf8(title + joined, size - joined, tags.title);
    }
    return title[0] != '\0';
}

void FillTagTexts(const Tags& tags, const char* path, TunaraFileTexts* texts)
{
    if (tags.title[0]) CopyUtf8(texts->title, sizeof texts->title, tags.title);
    else BaseTitle(path, texts->title, sizeof texts->title);
    CopyUtf8(texts->artist, sizeof texts->artist, tags.artist);
    CopyUtf8(texts->album, sizeof texts->album, tags.album);
    CopyUtf8(texts->comment, sizeof texts->comment, tags.comment);
    CopyUtf8(texts->year, sizeof texts->year, tags.year);
    CopyUtf8(texts->genre, sizeof texts->genre, tags.genre);
}
