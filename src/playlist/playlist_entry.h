#pragma once
// One playlist entry: a plain record that the store moves whole (append, delete, swap, sort,
// randomize). Its texts live in the store's text blocks (engine.entryTexts).
#include <stdint.h>

#include <vector>

constexpr int kFileNameSize = 260;
constexpr int kTitleSize = 400;
constexpr int kDisplayTitleSize = 520;

struct PlaylistEntry {
    const char* filename;          // full local path, or a location (URL) as given; at most 259 bytes
    const char* title;             // at most 399 bytes
    int32_t length;                // seconds; -1 unknown
    uint8_t sortMark;              // scratch mark of the title sort
    int32_t duration;              // play limit in ms of output time; -1 none
    int32_t volumePercent;         // percent of the engine volume; plain entries 100
    uint32_t wideName;             // 1-based in engine.wideNames: the name the container gave,
                                   // where the code page cannot carry it; 0 none
};

using PlaylistEntries = std::vector<PlaylistEntry>;
