#include "frame_queue.h"

#include <string.h>

#include "mpa_file.h"

unsigned char* FrameQueue::Space(int32_t* room)
{
    memmove(bytes_, bytes_ + start_, static_cast<size_t>(end_ - start_));
    taken_ += static_cast<uint64_t>(start_);
    end_ -= start_;
    start_ = 0;
    *room = kCapacity - end_;
    return bytes_ + end_;
}

bool FrameQueue::FirstFrame(FrameHeader* found) const
{
    return FindFrame(bytes_, static_cast<size_t>(end_), static_cast<size_t>(start_), false, nullptr, found) >= 0;
}

int32_t FrameQueue::TakeFrames(unsigned char* frames, int32_t room, bool atEnd, const FrameHeader* like)
{
    int32_t taken = 0;
    for (int count = 0; count < kFramesPerPiece; ++count) {
        FrameHeader h;
        const int64_t found = FindFrame(bytes_, static_cast<size_t>(end_), static_cast<size_t>(start_), atEnd, like, &h);
        if (found < 0) {
            // Keep the bytes a frame confirmed by the next bytes could start in.
            if (atEnd) start_ = end_;
            else if (end_ - start_ > kMaxFrameBytes + 3) start_ = end_ - (kMaxFrameBytes + 3);
            break;
        }
        if (taken + h.frameBytes > room) break;
        memcpy(frames + taken, bytes_ + found, static_cast<size_t>(h.frameBytes));
        taken += h.frameBytes;
        start_ = static_cast<int32_t>(found) + h.frameBytes;
    }
    return taken;
}
