#pragma once
// The record of an input module we ship: a version 257 record that plays through the output the
// host hands over. A module makes its answers about files once, in UTF-8; they are handed over
// both ways: through the record in the ANSI code page (getFileInfo, getExtendedInfo), and whole
// through the module's tunaraGetFileTextsUtf8 export, which is defined here. All on the host's
// thread.
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

// What the module plays with, word for word.
struct InputCalls {
    const char* extensionList;
    TunaraVoidFn init;
    TunaraVoidFn quit;
    TunaraNameFn acceptsFile;
    TunaraNameFn play;
    TunaraVoidFn pause;
    TunaraVoidFn unpause;
    TunaraVoidFn stop;
    TunaraIntFn getLength;
    TunaraIntFn getPosition;
    TunaraSetIntFn setPosition;
    TunaraSetIntFn setVolume;
    TunaraSetIntFn setPan;
};

// Fills the module's one record from its calls and answers; returns it.
InputPluginRecord* MakeInputRecord(InputPluginRecord& record, const InputCalls& calls, const ModuleAnswers& answers);
