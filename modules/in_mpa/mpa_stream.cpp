#include "mpa_stream.h"

#include <string.h>

#include "win/ansi_text.h"

namespace {

// Samples the decoder puts before the first sample of the encoder's input, which the encoder's
// delay in its tag does not count (the convention of every gapless decoder).
constexpr int64_t kDecoderDelay = 529;

}  // namespace

bool MpaStream::Start(const char* path, const MpaFile& file, OutputPluginRecord* output, const StreamHost& host,
                      int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output)) return false;
    handle_.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle_) return false;
    file_ = file;
    format_ = file.first;
    CopyBounded(path_, path);
    if (!decoder_.Open(file.first)) {
        CloseSource();
        return false;
    }
    Jump(0);
    return Launch(output, host, volume, pan, file.first.sampleRate, file.first.channels);
}

void MpaStream::CloseSource()
{
    decoder_.Close();
    handle_.Reset();
}

void MpaStream::Jump(int32_t positionMs)
{
    // Two frames early: after a jump the first two frames decode wrongly and are dropped.
    const int64_t rate = file_.first.sampleRate;
    const int64_t spf = file_.first.samplesPerFrame;
    const int64_t early = 2 * spf * 1000 / rate;
    readOffset_ = file_.OffsetForMs(positionMs > early ? positionMs - static_cast<int32_t>(early) : 0);
    queue_.Clear();
    const int64_t at = positionMs * rate / 1000;
    const int64_t total = file_.Samples();
    // With the encoder's tag the length is exact: the padding at the end goes too.
    const int64_t left = file_.encoderDelay >= 0 ? (total > at ? total - at : 0) : -1;
    if (readOffset_ == file_.audioStart) {
        // From the start: with the encoder's tag, its delay and the decoder's go with the samples
        // before the position; without one, every decoded sample is audio.
        Restart((file_.encoderDelay >= 0 ? kDecoderDelay + file_.encoderDelay : 0) + at, left);
    } else {
        Restart(2 * spf, left);
    }
}

int32_t MpaStream::NextFrames(unsigned char* frames, int32_t room)
{
    // A file has every byte at hand: it never waits for frames.
    bool needMore = false;
    for (;;) {
        if ((needMore || queue_.Buffered() < kPieceBytes) && readOffset_ < file_.audioEnd) {
            int32_t space = 0;
            unsigned char* to = queue_.Space(&space);
            const uint64_t left = file_.audioEnd - readOffset_;
            const DWORD want = left < static_cast<uint64_t>(space) ? static_cast<DWORD>(left) : static_cast<DWORD>(space);
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(readOffset_);
            DWORD read = 0;
            if (!SetFilePointerEx(handle_.Get(), at, nullptr, FILE_BEGIN) || !ReadFile(handle_.Get(), to, want, &read, nullptr) ||
                read == 0) {
                readOffset_ = file_.audioEnd;  // the file became shorter: play what there is
            } else {
                queue_.Added(static_cast<int32_t>(read));
                readOffset_ += read;
            }
        }
        const bool atEnd = readOffset_ >= file_.audioEnd;
        // Frames of any stream: a file may change its rate or channels in the middle, and the
        // decoder resamples what follows to the first frame's format. A free-format stream keeps
        // its frame length, which its last frame could not show by itself.
        const FrameHeader* like = file_.first.freeFrameBytes > 0 ? &file_.first : nullptr;
        const int32_t taken = queue_.TakeFrames(frames, room, atEnd, like);
        if (taken > 0 || atEnd) return taken;
        // Nothing playable in what is buffered: read on.
        needMore = true;
    }
}

void MpaStream::Run()
{
    bool ended = false;
    // The flag is read while feeding (waiting on the event costs a system call per piece); the
    // event ends an idle wait.
    while (!stopRequested_) {
        const LONG seek = InterlockedExchange(&seekRequest_, -1);
        if (seek >= 0) {
            const int32_t length = file_.LengthMs();
            const int32_t target = seek < length ? seek : length;
            Jump(target);
            if (output_->flush) output_->flush(target);
            ended = false;
            RestartEnding();
        }
        bool fed = false;
        if (!ended) {
            if (!PcmPending()) {
                ended = DecodeMore() == kAudioEnded;
                fed = !ended;
            } else {
                fed = WritePcm();
            }
        }
        EndRound(ended, fed);
    }
}
