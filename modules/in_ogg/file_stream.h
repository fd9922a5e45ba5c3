#pragma once
// One file playing: its source, its decoder, the output it plays through and the decoding thread
// that feeds it. Start, Stop, Pause and the setters run on the host's thread; the thread only reads
// the requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "audio_file.h"
#include "decoder_set.h"
#include "file_source.h"
#include "stream_thread.h"
#include "tunara_plugin.h"

class FileStream final : public StreamThread {
public:
    FileStream() = default;
    ~FileStream() { Stop(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens the file and its decoder (which must find the format the file was read with) and the
    // output (16 bits at the stream's rate and channels), and starts the thread. False when any of
    // them cannot be had; nothing is left open then.
    bool Start(const char* path, const AudioFile& file, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    const AudioFile& File() const { return file_; }
    const char* Path() const { return path_; }

private:
    // Decoded samples per channel the thread holds at most before handing them to the output.
    static constexpr int32_t kPcmFrames = 4096;
    static constexpr int32_t kMaxChannels = 8;

    void Run() override;
    // On the decoding thread: moves the decoding to the position (clamped to the length) and
    // restarts the output there; false when nothing is left to play from there.
    bool Jump(int32_t positionMs);
    // On the decoding thread: hands the output as much of the decoded samples as it has room for;
    // true when it took some.
    bool WritePcm();
    // On the host's thread, or on a decoding thread that Stop left behind.
    void CloseSource() override;

    AudioFile file_;
    char path_[MAX_PATH] = "";
    FileSource source_;
    DecoderSet decoders_;
    AudioDecoder* decoder_ = nullptr;

    // The decoding thread's state: decoded samples not yet written, counted in samples.
    int32_t pcmStart_ = 0;
    int32_t pcmEnd_ = 0;
    int16_t pcm_[kPcmFrames * kMaxChannels];
};
