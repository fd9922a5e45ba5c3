#pragma once
// One playlist entry: a plain record that the store moves whole (append, swap, sort, randomize).
#include <stdint.h>

constexpr int kFileNameSize = 260;
constexpr int kTitleSize = 400;
constexpr int kDisplayTitleSize = 520;

struct PlaylistEntry {
    char filename[kFileNameSize];  // full local path, or a location (URL) as given
    char title[kTitleSize];
    int32_t length;                // seconds; -1 unknown
    uint8_t sortMark;              // scratch mark of the title sort
    int32_t duration;              // play limit in ms of output time; -1 none
    int32_t volumePercent;         // percent of the engine volume; plain entries 100
    uint32_t wideName;             // 1-based in engine.wideNames: the name the container gave,
                                   // where the code page cannot carry it; 0 none
};
