#pragma once
// One Ogg Vorbis or Ogg Opus station playing: the connection (any in-band ICY metadata taken out),
// the chained streams it sends decoded as they come, and the decoding thread that feeds the
// output. Each chained stream's comments give the stream's title, announced with 210 once its
// audio is heard; a chained stream of another rate or count of channels waits until the output
// has played what it holds, then the output is closed and opened again for the new format. The
// connection's end is told with 231 as for MPEG stations (see mpa_radio.h). Start, Stop, Pause
// and the setters run on the host's thread; the title is read there while the thread writes it.
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "byte_source.h"
#include "heard_titles.h"
#include "icy_demux.h"
#include "net/internet_stream.h"
#include "ogg_chain.h"
#include "stream_thread.h"
#include "tunara_plugin.h"
#include "win/locked.h"

class OggRadio final : public StreamThread, private ByteSource {
public:
    // Connecting and the stream's headers together may take this long before a start gives up.
    static constexpr DWORD kStartTimeoutMs = 5000;
    // How long a stream may send nothing before it counts as dead.
    static constexpr DWORD kStallMs = 5000;

    OggRadio();
    ~OggRadio() { Stop(); }
    OggRadio(const OggRadio&) = delete;
    OggRadio& operator=(const OggRadio&) = delete;

    // Connects, reads the first stream's headers, opens the output (16 bits at its rate and
    // channels) and starts the thread. False when the server cannot be reached, answers other
    // than 200, sends no Vorbis or Opus headers within kStartTimeoutMs, or the output or the
    // thread cannot be had; nothing is left open then. An Ogg stream of another codec sends 232.
    bool Start(const char* url, OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan);
    const char* Url() const { return url_; }
    // The playing stream's title ("Artist - Title" from its comments, or the last ICY title),
    // else the station's name, else the address.
    void Title(char* title, size_t size);
    int32_t Kbps() const { return kbps_; }
    int32_t SampleRate() const { return format_.sampleRate; }
    int32_t Channels() const { return format_.channels; }

private:
    // Decoded samples the thread holds at most before handing them to the output.
    static constexpr int32_t kPcmSamples = 4096 * OggChain::kMaxChannels;

    void Run() override;
    // On the host's thread, or on a decoding thread that Stop left behind.
    void CloseSource() override;
    // The decoder's reads, on the host's thread while starting, then on the decoding thread:
    // waits for the network (bounded by the start's timeout, or by a stop), ICY metadata taken
    // out. 0 at the end of the connection.
    int32_t Read(void* buffer, int32_t bytes) override;
    bool Seek(int64_t) override { return false; }
    int64_t Tell() const override { return read_; }
    int64_t Size() const override { return -1; }
    // On the decoding thread: one more piece from the network into the audio bytes; false once
    // the connection has ended (or a stop or the start's timeout came first).
    bool Receive();
    // On the decoding thread: announces each queued title whose audio has been heard.
    void AnnounceHeardTitles();
    // On the decoding thread: once the output has played everything, opens it again for the
    // playing stream's format; true when it did (or cannot, which ends the stream).
    bool Reopen();
    bool WritePcm();

    InternetStream source_;
    IcyDemux demux_;
    OggChain chain_;
    char url_[2048] = "";
    int32_t kbps_ = 0;
    Lock titleLock_;
    char title_[IcyDemux::kTextBytes] = "";
    char station_[IcyDemux::kTextBytes] = "";

    // What the reads share: the host's thread while starting, then the decoding thread.
    bool starting_ = false;
    DWORD startBegin_ = 0;
    int64_t read_ = 0;
    unsigned char audio_[InternetStream::kPieceBytes + IcyDemux::kHeaderBytes];
    int32_t audioStart_ = 0;
    int32_t audioEnd_ = 0;
    bool connectionEnded_ = false;

    // The decoding thread's state.
    HeardTitles heard_{titleLock_, title_, sizeof title_};
    OggLink format_;       // the format the output is open for
    bool reopen_ = false;  // the decoded samples wait for the output to open for their format
    int32_t pcmStart_ = 0;
    int32_t pcmEnd_ = 0;
    int16_t pcm_[kPcmSamples];
};
