#include "mpeg_playback.h"

void MpegPlayback::Restart(int64_t skip, int64_t left)
{
    restart_ = true;
    drained_ = false;
    skipSamples_ = skip;
    leftSamples_ = left;
    pcmStart_ = pcmEnd_ = 0;
}

int MpegPlayback::DecodeMore()
{
    const int32_t bytes = NextFrames(frameBuffer_, static_cast<int32_t>(sizeof frameBuffer_));
    if (bytes == kNoFramesYet) return kNoFramesYet;
    if (bytes == 0 && drained_) return kAudioEnded;
    const int32_t decoded = decoder_.Decode(frameBuffer_, bytes, pcmBuffer_, static_cast<int32_t>(sizeof pcmBuffer_), restart_);
    restart_ = false;
    if (decoded < 0) return kAudioEnded;
    if (bytes == 0) {
        drained_ = true;
        if (decoded == 0) return kAudioEnded;
    }
    const int32_t frame = format_.channels * 2;
    const int64_t samples = decoded / frame;
    const int64_t skip = skipSamples_ < samples ? skipSamples_ : samples;
    skipSamples_ -= skip;
    int64_t keep = samples - skip;
    if (leftSamples_ >= 0) {
        if (keep > leftSamples_) keep = leftSamples_;
        leftSamples_ -= keep;
    }
    pcmStart_ = static_cast<int32_t>(skip * frame);
    pcmEnd_ = pcmStart_ + static_cast<int32_t>(keep * frame);
    return leftSamples_ != 0 || keep > 0 ? kDecoded : kAudioEnded;
}

bool MpegPlayback::WritePcm()
{
    const int32_t frame = format_.channels * 2;
    const int32_t room = output_->canWrite() / frame * frame;
    if (room <= 0) return false;
    const int32_t bytes = pcmEnd_ - pcmStart_ < room ? pcmEnd_ - pcmStart_ : room;
    output_->write(reinterpret_cast<const char*>(pcmBuffer_ + pcmStart_), bytes);
    pcmStart_ += bytes;
    return true;
}
