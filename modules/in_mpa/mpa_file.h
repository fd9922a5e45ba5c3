#pragma once
// What the MPEG audio reader knows of a file before it plays: its tags, the first audio frame's
// stream parameters, where the audio lies, and the length, all without decoding: from the Xing/Info
// frame when there is one, else from the frame headers when the bitrate varies.
#include <windows.h>
#include <stdint.h>

#include "id3_tag.h"
#include "mpeg_frame.h"

struct MpaFile {
    FrameHeader first;
    uint64_t audioStart = 0;  // the first frame that is played (after a Xing/Info frame)
    uint64_t audioEnd = 0;    // before an ID3v1 tag
    bool vbr = false;         // a Xing frame, or differing bitrates (an Info frame marks constant bitrate)
    // From the Xing/Info frame, else counted by walking the headers of a file whose bitrate varies
    // (estimated past its first 4 MB of audio); 0 when unknown (constant bitrate without a count).
    uint32_t frames = 0;
    bool hasToc = false;
    unsigned char toc[100] = {};
    // From the encoder's tag: samples added before and after the source's; -1 when unknown.
    int32_t encoderDelay = -1;
    int32_t encoderPadding = -1;
    Tags tags;

    // Samples per channel of the source: the frame count less the encoder's delay and padding when
    // they are known, else counted from the bytes and the first frame's bitrate.
    int64_t Samples() const;
    // Within 32 bits: at most INT32_MAX.
    int32_t LengthMs() const;
    int32_t AverageKbps() const;
    // The byte offset from which to play at the position, by the table of contents when there is
    // one, else in proportion.
    uint64_t OffsetForMs(int32_t positionMs) const;
};

// Reads the tags and the audio's first frame; false when the file holds no two consecutive valid
// frames of the same stream near its start (free format among them).
bool ReadMpaFile(const char* path, MpaFile* file);
// Finds the first frame at or after data[from] that the next frame (or the end of the data,
// when atEnd) confirms; -1 when there is none. When like is given, the frame must share its stream.
int64_t FindFrame(const unsigned char* data, size_t bytes, size_t from, bool atEnd, const FrameHeader* like,
                  FrameHeader* found);
