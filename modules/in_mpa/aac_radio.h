#pragma once
// One AAC station playing: ADTS frames over HTTP or HTTPS (the in-band ICY metadata taken out),
// decoded by the platform's AAC decoder transform (aac_decoder.h) as they arrive, and the decoding
// thread that feeds the output. Titles are announced with 210 once their audio is heard, as on
// MPEG stations; the connection's end is told with 231 (see mpa_radio.h). A stream that goes on
// with frames of another rate or count of channels waits until the output has played what it
// holds, then the output is closed and opened again for the new format. Start, Stop, Pause and the
// setters run on the host's thread; the title is read there while the thread writes it.
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "aac_decoder.h"
#include "adts_header.h"
#include "heard_titles.h"
#include "icy_demux.h"
#include "media_foundation.h"
#include "net/internet_stream.h"
#include "stream_thread.h"
#include "tunara_plugin.h"
#include "win/locked.h"

class AacRadio final : public StreamThread {
public:
    // Connecting, the first frames and the decoder together may take this long before a start
    // gives up.
    static constexpr DWORD kStartTimeoutMs = 5000;
    // The most of it that making the decoder may take, as long as the platform's file opens wait.
    static constexpr DWORD kDecoderWaitMs = 3000;
    // How long a stream may send nothing before it counts as dead.
    static constexpr DWORD kStallMs = 5000;

    AacRadio();
    ~AacRadio() { Stop(); }
    AacRadio(const AacRadio&) = delete;
    AacRadio& operator=(const AacRadio&) = delete;

    // Starts the platform if it is not yet, connects, reads until two ADTS frames in a row have
    // come, makes the decoder, opens the output (16 bits at the decoder's rate and channels) and
    // starts the thread. False when the platform has no AAC decoder or does not start (then with
    // 232), the server cannot be reached, answers other than 200, sends no ADTS frames within
    // kStartTimeoutMs, or the decoder, the output or the thread cannot be had; nothing is left
    // open then.
    bool Start(MediaFoundation& platform, const char* url, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    const char* Url() const { return url_; }
    // The stream's title, else the station's name, else the address, in UTF-8.
    void Title(char* title, size_t size);
    // The bitrate the server announced, else the first frame's.
    int32_t Kbps() const { return kbps_; }
    int32_t SampleRate() const { return rate_; }
    int32_t Channels() const { return channels_; }

private:
    // The audio bytes held: the rest of a frame still arriving, and one read with a held header
    // block's start (see IcyDemux::Feed).
    static constexpr int32_t kAudioBytes =
        kMaxAdtsFrameBytes + kAdtsHeaderBytes + InternetStream::kPieceBytes + IcyDemux::kHeaderBytes;

    void Run() override;
    // On the host's thread, or on a decoding thread that Stop left behind.
    void CloseSource() override;
    // One piece from the network into the audio bytes, waiting at most waitMs: the bytes read, 0
    // when none came, a negative InternetStream answer once the connection has ended. A title that
    // comes while starting is the stream's at once; later ones wait to be heard.
    int32_t Receive(DWORD waitMs);
    // The next whole frame among the audio bytes, into *header: its offset, -1 while none is
    // there. Bytes before where a frame could start are dropped. A frame counts once the header
    // after it has come; unless confirmed is asked for, the last one of an ended connection needs
    // none.
    int32_t FindFrame(AdtsHeader* header, bool confirmed);
    void Advance(int32_t bytes);
    // On the decoding thread: one step of decoding (samples out of the decoder, a frame into it, or
    // more bytes from the network); whether it got anywhere. *ended once nothing more will come.
    bool DecodeStep(bool* ended);
    bool WritePcm();
    // On the decoding thread: once the output has played everything, opens it again for the
    // decoder's format; true when it did, with *ended when it cannot.
    bool Reopen(bool* ended);
    void AnnounceHeardTitles();

    InternetStream source_;
    IcyDemux demux_;
    AacDecoder decoder_;
    // Taken by Start for the decoder, which the thread may keep past the module's own use of the
    // platform; let go in CloseSource once the decoder is.
    PlatformHold hold_;
    char url_[2048] = "";
    int32_t kbps_ = 0;
    Lock titleLock_;
    char title_[IcyDemux::kTextBytes] = "";
    char station_[IcyDemux::kTextBytes] = "";

    // What the reads share: the host's thread while starting, then the decoding thread.
    bool starting_ = false;
    unsigned char audio_[kAudioBytes];
    int32_t audioStart_ = 0;
    int32_t audioEnd_ = 0;
    uint64_t receivedAudio_ = 0;  // audio bytes the demuxer has given
    uint64_t consumedAudio_ = 0;  // audio bytes fed to the decoder or dropped
    bool connectionEnded_ = false;

    // The decoding thread's state.
    HeardTitles heard_{titleLock_, title_, sizeof title_};
    AdtsHeader stream_;      // the format of the frames the decoder is set up for
    AdtsHeader next_;        // frames of another format, waiting for the decoder to drain
    bool changing_ = false;  // the decoder drains before it is set up for next_
    bool draining_ = false;  // the decoder drains after the last frame
    bool idle_ = false;      // the decoder has handed out everything fed to it (and said so)
    int32_t rate_ = 0;       // the format the output is open for
    int32_t channels_ = 0;
    bool reopen_ = false;  // the decoded samples wait for the output to open for their format
};
