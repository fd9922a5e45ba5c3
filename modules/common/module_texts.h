#pragma once
// A module's answers about files, made once in UTF-8 and handed over both ways: through the
// record in the ANSI code page (getFileInfo, getExtendedInfo), and whole through the module's
// UTF-8 texts export. All on the host's thread.
#include <stddef.h>
#include <stdint.h>

#include "tunara_plugin.h"

struct ModuleAnswers {
    // The display title (into size bytes) and length in ms (-1 unknown) of a file, of the one
    // playing when the name is empty or null.
    void (*title)(const char* name, char* title, size_t size, int32_t* lengthMs);
    // The header information of a file: false when the module has none for it; else title to
    // genre in texts and the four numbers.
    bool (*tags)(const char* name, TunaraFileTexts* texts, int32_t* bitrate, int32_t* sampleRate, int32_t* stereo,
                 int32_t* vbr);
};

// The record's getFileInfo: the title in the code page, cut to the host's 512 bytes.
void AnswerFileInfo(const ModuleAnswers& answers, const char* name, char* title, int32_t* lengthMs);

// The record's getExtendedInfo: the texts in the code page, cut to the smallest buffers a host
// hands over (32 bytes, the year 8).
int32_t AnswerExtendedInfo(const ModuleAnswers& answers, const char* name, char* title, char* artist, char* album,
                           char* comment, char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                           int32_t* stereo, int32_t* vbr);

// The UTF-8 texts export: the parts asked for that the module has.
int32_t AnswerFileTexts(const ModuleAnswers& answers, const char* name, int32_t wanted, TunaraFileTexts* texts);
