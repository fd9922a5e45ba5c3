#pragma once
// One file playing through the platform's source reader: the reader, the output it plays through
// and the decoding thread that feeds it. Start, Stop, Pause and the setters run on the host's
// thread; the decoding thread reads the requests they leave (stop, seek) and talks to the reader
// and the output.
#include <windows.h>
#include <stdint.h>

#include "media_foundation.h"
#include "mf_reader.h"
#include "mf_tags.h"
#include "stream_thread.h"
#include "tunara_plugin.h"

class MfStream final : public StreamThread {
public:
    MfStream() = default;
    ~MfStream() { Stop(); }
    MfStream(const MfStream&) = delete;
    MfStream& operator=(const MfStream&) = delete;

    // Opens the reader (on the host's thread, as the other modules read their headers) and the
    // output, and starts the thread. False when the file, the output or the thread cannot be had;
    // nothing is left open then.
    bool Start(const MediaFoundation& platform, const char* path, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    const char* Path() const { return path_; }
    // The playing file's tags, read before the thread started.
    const MfTags& Tags() const { return tags_; }
    int32_t LengthMs() const { return reader_.LengthMs(); }
    int32_t SampleRate() const { return reader_.SampleRate(); }
    int32_t Channels() const { return reader_.Channels(); }

private:
    void Run() override;
    // Hands the output as much of the decoded piece as it has room for; true when it took some.
    bool WritePcm();
    void CloseSource() override { reader_.Close(); }

    MfReader reader_;
    // Taken by Start for the decoding thread, which may outlive the module's use of the platform.
    PlatformHold hold_;
    MfTags tags_;
    char path_[MAX_PATH] = "";
};
