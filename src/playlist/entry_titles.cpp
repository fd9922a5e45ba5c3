#include "playlist/entry_titles.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "engine/engine_context.h"
#include "win/ansi_text.h"

char* TidyTitle(char* text)
{
    if (!text) return text;
    char scratch[kTidyScratchSize];
    CopyBounded(scratch, text);
    std::string tidied;
    for (const char* at = scratch; *at;) {
        if (*at == '_') {
            tidied += ' ';
            ++at;
        } else if (std::strncmp(at, "%20", 3) == 0) {
            tidied += ' ';
            at += 3;
        } else {
            const char* next = CharNextA(at);
            tidied.append(at, next);
            at = next;
        }
    }
    // Never longer than the text it replaces, so it fits the text's own storage.
    CopyBounded(text, tidied.size() + 1, tidied.c_str());
    return text;
}

void PlaylistCurrentItem(char* file, size_t fileSize, char* display, size_t displaySize)
{
    const char* name = "";
    std::string shown;
    int32_t index = engine.currentIndex;
    if (index >= 0 && index < engine.entryCount) {
        const PlaylistEntry& entry = engine.entries[static_cast<size_t>(index)];
        name = entry.filename;
        shown = std::to_string(index + 1) + ". " + entry.title;
    }
    if (file) CopyBounded(file, fileSize, name);
    if (display) CopyBounded(display, displaySize, shown.c_str());
}
