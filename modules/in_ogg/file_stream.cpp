#include "file_stream.h"

#include "win/ansi_text.h"

bool FileStream::Start(const char* path, const AudioFile& file, OutputPluginRecord* output, const StreamHost& host,
                       int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output) || !source_.Open(path)) return false;
    decoder_ = decoders_.Open(&source_);
    // The file may have changed since it was read.
    if (!decoder_ || decoder_->Info().sampleRate != file.info.sampleRate ||
        decoder_->Info().channels != file.info.channels) {
        CloseSource();
        return false;
    }
    file_ = file;
    CopyBounded(path_, path);
    pcmStart_ = pcmEnd_ = 0;
    return Launch(output, host, volume, pan, file.info.sampleRate, file.info.channels);
}

void FileStream::CloseSource()
{
    decoders_.Close();
    decoder_ = nullptr;
    source_.Close();
}

bool FileStream::Jump(int32_t positionMs)
{
    const int32_t length = file_.LengthMs();
    const int32_t target = length >= 0 && positionMs > length ? length : positionMs;
    const int64_t sample = static_cast<int64_t>(target) * file_.info.sampleRate / 1000;
    pcmStart_ = pcmEnd_ = 0;
    const bool inside = file_.info.samples < 0 || sample < file_.info.samples;
    const bool moved = inside && decoder_->Seek(sample);
    if (output_->flush) output_->flush(target);
    RestartEnding();
    return moved;
}

bool FileStream::WritePcm()
{
    const int32_t frameBytes = file_.info.channels * 2;
    const int32_t room = output_->canWrite() / frameBytes * frameBytes;
    if (room <= 0) return false;
    const int32_t pending = (pcmEnd_ - pcmStart_) * 2;
    const int32_t bytes = pending < room ? pending : room;
    output_->write(reinterpret_cast<const char*>(pcm_ + pcmStart_), bytes);
    pcmStart_ += bytes / 2;
    return true;
}

void FileStream::Run()
{
    bool ended = false;
    // The flag is read while feeding (waiting on the event costs a system call per piece); the
    // event ends an idle wait.
    while (!stopRequested_) {
        const LONG seek = InterlockedExchange(&seekRequest_, -1);
        if (seek >= 0) ended = !Jump(seek);
        bool fed = false;
        if (!ended) {
            if (pcmStart_ == pcmEnd_) {
                const int32_t frames = decoder_->Decode(pcm_, kPcmFrames);
                ended = frames == 0;
                pcmStart_ = 0;
                pcmEnd_ = frames * file_.info.channels;
                fed = !ended;
            } else {
                fed = WritePcm();
            }
        }
        EndRound(ended, fed);
    }
}
