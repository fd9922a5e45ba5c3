#include "audio_file.h"

#include "decoder_set.h"
#include "file_source.h"

namespace {

// The host's thread only: one set serves every file it asks about.
DecoderSet decoders;

}  // namespace

int32_t AudioFile::LengthMs() const
{
    if (info.samples < 0 || info.sampleRate <= 0) return -1;
    const int64_t ms = info.samples / info.sampleRate * 1000 + info.samples % info.sampleRate * 1000 / info.sampleRate;
    return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
}

bool ReadAudioFile(const char* path, AudioFile* file)
{
    *file = AudioFile();
    FileSource source;
    if (!source.Open(path)) return false;
    const AudioDecoder* decoder = decoders.Open(&source, &file->kind);
    if (!decoder) return false;
    file->info = decoder->Info();
    decoders.Close();
    return true;
}
