#include "tags.h"

#include "win/ansi_text.h"

bool TagsTitle(const Tags& tags, char* title, size_t size)
{
    CopyBounded(title, size, tags.artist[0] && tags.title[0] ? tags.artist : tags.title);
    if (tags.artist[0] && tags.title[0]) {
        AppendBounded(title, size, " - ");
        AppendBounded(title, size, tags.title);
    }
    return title[0] != '\0';
}
