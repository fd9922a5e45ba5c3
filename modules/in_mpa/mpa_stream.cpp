#include "mpa_stream.h"

#include <string.h>

#include "win/ansi_text.h"

namespace {

// Samples the platform's layer 3 decoder puts before the first decoded sample.
constexpr int64_t kDecoderDelay = 529;
// Samples between a layer 1 or 2 source and the platform decoder's output (measured with twolame):
// the analysis filterbank every encoder runs and the decoder's synthesis, which no tag records.
constexpr int64_t kFilterbankDelay = 481;
// Frames decoded at a time (the codec lags two frames behind its input).
constexpr int32_t kFramesPerPiece = 8;
constexpr int32_t kMaxFrameBytes = 2881;  // layer 2 of MPEG 2.5 at 160 kbit/s and 8 kHz, the largest there is

// The decoding thread's buffers; one stream plays at a time.
unsigned char inputBuffer[64 * 1024];
unsigned char frameBuffer[kFramesPerPiece * kMaxFrameBytes];
// The codec's output for a piece plus what it held back, with room to spare.
unsigned char pcmBuffer[256 * 1024];

}  // namespace

bool MpaStream::Start(const char* path, const MpaFile& file, OutputPluginRecord* output, const StreamHost& host,
                      int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output)) return false;
    handle_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    file_ = file;
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
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

void MpaStream::Jump(int32_t positionMs)
{
    // Two frames early: after a jump the first two frames decode wrongly and are dropped.
    const int64_t rate = file_.first.sampleRate;
    const int64_t spf = file_.first.samplesPerFrame;
    const int64_t early = 2 * spf * 1000 / rate;
    readOffset_ = file_.OffsetForMs(positionMs > early ? positionMs - static_cast<int32_t>(early) : 0);
    inputStart_ = inputEnd_ = 0;
    pcmStart_ = pcmEnd_ = 0;
    restart_ = true;
    drained_ = false;
    const int64_t at = positionMs * rate / 1000;
    const int64_t total = file_.Samples();
    // With the encoder's tag the length is exact: the padding at the end goes too.
    leftSamples_ = file_.encoderDelay >= 0 ? (total > at ? total - at : 0) : -1;
    if (readOffset_ == file_.audioStart) {
        // From the start, the decoder's and the encoder's delay go with the samples before the position.
        skipSamples_ = (file_.first.layer == 3 ? kDecoderDelay : kFilterbankDelay) +
                       (file_.encoderDelay > 0 ? file_.encoderDelay : 0) + at;
    } else {
        skipSamples_ = 2 * spf;
    }
}

int32_t MpaStream::NextFrames(unsigned char* frames, int32_t room)
{
    int32_t taken = 0;
    int count = 0;
    bool needMore = false;
    while (count < kFramesPerPiece) {
        if ((needMore || inputEnd_ - inputStart_ < kMaxFrameBytes + 4) && readOffset_ < file_.audioEnd) {
            needMore = false;
            // Keep at least a frame and the next header in the buffer.
            memmove(inputBuffer, inputBuffer + inputStart_, static_cast<size_t>(inputEnd_ - inputStart_));
            inputEnd_ -= inputStart_;
            inputStart_ = 0;
            const uint64_t left = file_.audioEnd - readOffset_;
            DWORD want = static_cast<DWORD>(sizeof inputBuffer) - static_cast<DWORD>(inputEnd_);
            if (left < want) want = static_cast<DWORD>(left);
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(readOffset_);
            DWORD read = 0;
            if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) ||
                !ReadFile(handle_, inputBuffer + inputEnd_, want, &read, nullptr) || read == 0) {
                readOffset_ = file_.audioEnd;  // the file became shorter: play what there is
            } else {
                inputEnd_ += static_cast<int32_t>(read);
                readOffset_ += read;
            }
        }
        FrameHeader h;
        const int64_t found = FindFrame(inputBuffer, static_cast<size_t>(inputEnd_), static_cast<size_t>(inputStart_),
                                        readOffset_ >= file_.audioEnd, &file_.first, &h);
        if (found < 0) {
            // Nothing playable in what is buffered: keep the bytes a frame confirmed by the next read
            // could start in.
            if (readOffset_ >= file_.audioEnd) {
                inputStart_ = inputEnd_;
                break;
            }
            if (inputEnd_ - inputStart_ > kMaxFrameBytes + 3) inputStart_ = inputEnd_ - (kMaxFrameBytes + 3);
            needMore = true;
            continue;
        }
        if (taken + h.frameBytes > room) break;
        memcpy(frames + taken, inputBuffer + found, static_cast<size_t>(h.frameBytes));
        taken += h.frameBytes;
        inputStart_ = static_cast<int32_t>(found) + h.frameBytes;
        ++count;
    }
    return taken;
}

bool MpaStream::DecodeMore()
{
    const int32_t bytes = NextFrames(frameBuffer, static_cast<int32_t>(sizeof frameBuffer));
    if (bytes == 0 && drained_) return false;
    int32_t decoded = decoder_.Decode(frameBuffer, bytes, pcmBuffer, static_cast<int32_t>(sizeof pcmBuffer), restart_);
    restart_ = false;
    if (decoded < 0) return false;
    if (bytes == 0) {
        drained_ = true;
        if (decoded == 0) return false;
    }
    const int32_t frame = file_.first.channels * 2;
    int32_t start = 0;
    const int64_t samples = decoded / frame;
    const int64_t skip = skipSamples_ < samples ? skipSamples_ : samples;
    skipSamples_ -= skip;
    start = static_cast<int32_t>(skip * frame);
    int64_t keep = samples - skip;
    if (leftSamples_ >= 0) {
        if (keep > leftSamples_) keep = leftSamples_;
        leftSamples_ -= keep;
    }
    pcmStart_ = start;
    pcmEnd_ = start + static_cast<int32_t>(keep * frame);
    return leftSamples_ != 0 || keep > 0;
}

void MpaStream::Run()
{
    bool ended = false;
    const int32_t frame = file_.first.channels * 2;
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
            if (pcmStart_ == pcmEnd_) {
                ended = !DecodeMore();
                fed = !ended;
            } else {
                const int32_t room = output_->canWrite() / frame * frame;
                if (room > 0) {
                    const int32_t bytes = pcmEnd_ - pcmStart_ < room ? pcmEnd_ - pcmStart_ : room;
                    output_->write(reinterpret_cast<const char*>(pcmBuffer + pcmStart_), bytes);
                    pcmStart_ += bytes;
                    fed = true;
                }
            }
        }
        EndRound(ended, fed);
    }
}
