#pragma once
// MPEG audio bytes waiting to be cut into whole frames of one stream: filled from a file or from
// the network, emptied a few frames at a time for the decoder. Used by one thread at a time.
#include <stdint.h>

#include "mpeg_frame.h"

// Frames handed to the decoder at a time (the codec lags two frames behind its input): close to a
// second of sound, so that what each piece costs beside its decoding (the calls into the codec, the
// output's write) stays small.
constexpr int32_t kFramesPerPiece = 32;
// Enough bytes for a whole piece and the header that confirms its last frame.
constexpr int32_t kPieceBytes = kFramesPerPiece * kMaxFrameBytes + 4;

class FrameQueue {
public:
    static constexpr int32_t kCapacity = 256 * 1024;

    void Clear() { start_ = end_ = 0; taken_ = 0; }
    // Every byte that has left the queue since it was cleared: frames taken and what was dropped.
    uint64_t Taken() const { return taken_ + static_cast<uint64_t>(start_); }
    int32_t Buffered() const { return end_ - start_; }
    // The buffered bytes, Buffered() of them.
    const unsigned char* Data() const { return bytes_ + start_; }
    // Where the next bytes go; *room is how many fit. What is buffered moves to the front first.
    unsigned char* Space(int32_t* room);
    void Added(int32_t bytes) { end_ += bytes; }
    // The first frame that the next one confirms, into found; false when none is buffered yet.
    bool FirstFrame(FrameHeader* found) const;
    // Cuts whole frames of the stream like (of any stream when like is null, each confirmed by a
    // next frame of its own) into frames (room bytes), at most a piece's worth; atEnd when no more
    // bytes will come (a last frame needs no following header then). 0 when no whole frame is
    // buffered: the bytes before where one could still start are dropped.
    int32_t TakeFrames(unsigned char* frames, int32_t room, bool atEnd, const FrameHeader* like);

private:
    unsigned char bytes_[kCapacity];
    int32_t start_ = 0;
    int32_t end_ = 0;
    uint64_t taken_ = 0;  // bytes before bytes_[0]
};
