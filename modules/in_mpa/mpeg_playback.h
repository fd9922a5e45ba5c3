#pragma once
// What a playing MPEG audio stream does whatever its bytes come from (a file or the network):
// whole frames through the decoder into 16-bit PCM, the samples to drop or to stop at cut off,
// and the PCM handed to the output as it makes room.
#include <stdint.h>

#include "frame_queue.h"
#include "mpeg_decoder.h"
#include "stream_thread.h"

class MpegPlayback : public StreamThread {
protected:
    MpegPlayback() = default;

    // The next whole frames for the decoder into frames (room bytes): the bytes, 0 at the end of
    // the audio, kNoFramesYet when none has arrived yet but more will.
    static constexpr int32_t kNoFramesYet = -1;
    virtual int32_t NextFrames(unsigned char* frames, int32_t room) = 0;

    // Before the first decode, and after a jump in the input: the decoder starts afresh, and
    // skip decoded samples are dropped; left samples are played at most (-1: to the end).
    void Restart(int64_t skip, int64_t left);
    // Decodes the next frames into the PCM buffer: kDecoded (maybe no sample to keep yet),
    // kNoFramesYet, or kAudioEnded once the decoder has given back everything.
    static constexpr int kDecoded = 1;
    static constexpr int kAudioEnded = 0;
    int DecodeMore();
    bool PcmPending() const { return pcmStart_ != pcmEnd_; }
    // Hands the output as much of the PCM as it has room for; true when it took some.
    bool WritePcm();

    FrameHeader format_;  // the stream's first frame: rate, channels, layer
    MpegDecoder decoder_;

private:
    bool restart_ = false;      // the next decode follows a jump
    bool drained_ = false;      // the codec has given back what it held at the end
    int64_t skipSamples_ = 0;   // decoded samples still to drop
    int64_t leftSamples_ = -1;  // samples still to play when the exact length is known
    int32_t pcmStart_ = 0;
    int32_t pcmEnd_ = 0;
    // The decoding thread's buffers, each stream its own: a thread that Stop left behind may
    // still use them while the module's other stream plays.
    unsigned char frameBuffer_[kFramesPerPiece * kMaxFrameBytes];
    // The codec's output for a piece plus what it held back, with room to spare.
    unsigned char pcmBuffer_[256 * 1024];
};
