#pragma once
// One MPEG audio file playing: the file, the decoder, the output it plays through and the decoding
// thread that feeds it. Start, Stop, Pause and the setters run on the host's thread; the thread
// only reads the requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "frame_queue.h"
#include "mpa_file.h"
#include "mpeg_playback.h"
#include "tunara_plugin.h"
#include "win/unique_resource.h"

class MpaStream final : public MpegPlayback {
public:
    MpaStream() = default;
    ~MpaStream() { Stop(); }
    MpaStream(const MpaStream&) = delete;
    MpaStream& operator=(const MpaStream&) = delete;

    // Opens the decoder and the output (16 bits at the stream's rate and channels) and starts the
    // thread. False when the file, the codec, the output or the thread cannot be had; nothing is
    // left open then.
    bool Start(const char* path, const MpaFile& file, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    const MpaFile& File() const { return file_; }
    const char* Path() const { return path_; }

private:
    void Run() override;
    // Moves the reading to the frames before the position and arranges for the samples from
    // there on to be played.
    void Jump(int32_t positionMs);
    int32_t NextFrames(unsigned char* frames, int32_t room) override;
    void CloseSource() override;

    MpaFile file_;
    char path_[MAX_PATH] = "";
    UniqueFile handle_;

    // The decoding thread's state.
    uint64_t readOffset_ = 0;  // of the first byte not yet read into the queue
    FrameQueue queue_;
};
