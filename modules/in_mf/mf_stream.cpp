#include "mf_stream.h"

#include "win/ansi_text.h"

bool MfStream::Start(const MediaFoundation& platform, const char* path, OutputPluginRecord* output,
                     const StreamHost& host, int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output) || !reader_.Open(platform, path)) return false;
    CopyBounded(path_, path);
    tags_ = MfTags();
    ReadMfTags(reader_.Reader(), &tags_);
    hold_ = platform.Hold();
    if (!hold_.Held()) {
        reader_.Close();
        return false;
    }
    if (Launch(output, host, volume, pan, reader_.SampleRate(), reader_.Channels())) return true;
    hold_.Release();
    return false;
}

bool MfStream::WritePcm()
{
    const int32_t frame = reader_.Channels() * 2;
    const int32_t room = output_->canWrite() / frame * frame;
    if (room <= 0) return false;
    const int32_t bytes = reader_.PendingBytes() < room ? reader_.PendingBytes() : room;
    output_->write(reader_.PendingData(), bytes);
    reader_.Consume(bytes);
    return true;
}

// The decoding thread. The platform's objects need COM on every thread that calls them.
void MfStream::Run()
{
    PlatformHold hold(std::move(hold_));
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    bool ended = false;
    while (!stopRequested_) {
        const LONG seek = InterlockedExchange(&seekRequest_, -1);
        if (seek >= 0) {
            const int32_t length = reader_.LengthMs();
            const int32_t target = length >= 0 && seek > length ? length : seek;
            ended = !reader_.Seek(target);
            if (output_->flush) output_->flush(target);
            RestartEnding();
        }
        bool fed = false;
        if (!ended) {
            if (reader_.Pending()) {
                fed = WritePcm();
            } else {
                ended = !reader_.ReadNext();
                fed = !ended;
            }
        }
        EndRound(ended, fed);
    }
    if (com) CoUninitialize();
}
