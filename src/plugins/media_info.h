#pragma once
// Header information of a file (title, artist, ... vbr) from the input plugin that accepts it,
// through the extended call of version 257 records.
#include <stddef.h>
#include <stdint.h>

#include "tunara_plugin.h"

// The size of every text buffer handed to a plugin's getExtendedInfo. The call tells the plugin
// no sizes, and plugins written for hosts that offered 512 bytes fill up to that: every buffer,
// whatever the query hands on to the container, is this large.
constexpr size_t kHeaderTextSize = 512;

struct HeaderInfo {
    char title[kHeaderTextSize];
    char artist[kHeaderTextSize];
    char album[kHeaderTextSize];
    char comment[kHeaderTextSize];
    char year[kHeaderTextSize];
    char genre[kHeaderTextSize];
    int32_t bitrate;
    int32_t sampleRate;
    int32_t stereo;
    int32_t vbr;
    // The same texts in UTF-8, where the plugin's module answers them so (utf8Texts true).
    bool utf8Texts;
    TunaraFileTexts utf8;
};

// Empties the texts and zeroes the numbers, asks the plugin (QueryExtendedInfo), and terminates
// every text at its buffer's end whatever the plugin wrote; where it delivered, asks its module
// for the texts in UTF-8 too. Returns the plugin's answer: nonzero when it delivered
// information, 0 when it did not or was not asked.
int32_t QueryHeaderInfo(const char* name, HeaderInfo& info);
