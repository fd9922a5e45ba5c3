#pragma once
// One MPEG audio file playing: the file, the decoder, the output it plays through and the decoding
// thread that feeds it. Start, Stop, Pause and the setters run on the host's thread; the thread
// only reads the requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "mpa_file.h"
#include "mpeg_decoder.h"
#include "stream_thread.h"
#include "tunara_plugin.h"

class MpaStream final : public StreamThread {
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
    // Decodes the next frames into the PCM buffer; false at the end of the audio.
    bool DecodeMore();
    // Frames read from the file into frames (room bytes); the bytes taken, 0 at the end.
    int32_t NextFrames(unsigned char* frames, int32_t room);
    void CloseSource() override;

    MpaFile file_;
    char path_[MAX_PATH] = "";
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    MpegDecoder decoder_;

    // The decoding thread's state.
    uint64_t readOffset_ = 0;  // of the first byte not yet read into the input buffer
    int32_t inputStart_ = 0;
    int32_t inputEnd_ = 0;
    bool restart_ = false;      // the next decode follows a jump
    bool drained_ = false;      // the codec has given back what it held at the end
    int64_t skipSamples_ = 0;   // decoded samples still to drop (codec and encoder delay, after a jump)
    int64_t leftSamples_ = -1;  // samples still to play when the exact length is known
    int32_t pcmStart_ = 0;
    int32_t pcmEnd_ = 0;
};
