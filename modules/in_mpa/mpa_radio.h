#pragma once
// One MPEG audio stream from an HTTP or HTTPS server (internet radio) playing: the connection, the
// metadata taken out of the body, the bytes waiting for the decoder, and the decoding thread that
// reads the network, buffers, decodes and feeds the output. Start, Stop, Pause and the setters run
// on the host's thread; the stream's title is read there while the thread writes it.
//
// Status notifications the module sends while a stream plays (they reach the container as
// TunaraStatus events):
//   230 buffering: value is how full the buffer is, in percent; sent as it fills before the
//       output starts and again whenever the output has run dry because the network fell
//       behind; 100 when playing (re)starts.
//   231 the connection ended: value 0 when the server closed the stream, 1 when it failed or sent
//       nothing for five seconds. What was buffered still plays; then the stream ends.
//   232 the station sends a type (its Content-Type) that nothing here decodes: the start fails.
// A new stream title is announced with 210 (the host's title refresh).
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "frame_queue.h"
#include "heard_titles.h"
#include "icy_demux.h"
#include "id3_tag.h"
#include "win/locked.h"
#include "mpeg_playback.h"
#include "net/internet_stream.h"
#include "station_status.h"
#include "station_type.h"
#include "tunara_plugin.h"


class MpaRadio final : public MpegPlayback {
public:
    // Connecting and the first frames together may take this long before a start gives up.
    static constexpr DWORD kStartTimeoutMs = 5000;
    // How long a stream may send nothing before it counts as dead.
    static constexpr DWORD kStallMs = 5000;

    MpaRadio();
    ~MpaRadio() { Stop(); }
    MpaRadio(const MpaRadio&) = delete;
    MpaRadio& operator=(const MpaRadio&) = delete;

    // Connects, reads the answer and the stream's first frames, opens the decoder and the output
    // (16 bits at the stream's rate and channels) and starts the thread. False when the server
    // cannot be reached, answers other than 200, sends no MPEG audio within kStartTimeoutMs, or
    // the codec, the output or the thread cannot be had; nothing is left open then.
    bool Start(const char* url, OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan);
    // After a failed start: kOgg or kAac when the station named a type that another of this
    // module's stations plays (OggRadio, AacRadio), and nothing was sent; else kMpegAudio.
    StationType HandedOver() const { return handedOver_; }
    const char* Url() const { return url_; }
    // The stream's title, else the station's name, else the address. A body without internet
    // radio's headers (a file on a web server) has the title of the ID3 tag it starts with, else
    // none (empty): the host keeps the title it has.
    void Title(char* title, size_t size);
    // The bitrate the server announced, else the first frame's.
    int32_t Kbps() const { return kbps_; }
    int32_t SampleRate() const { return format_.sampleRate; }
    int32_t Channels() const { return format_.channels; }

private:
    void Run() override;
    void CloseSource() override;
    int32_t NextFrames(unsigned char* frames, int32_t room) override;
    // Reads what has arrived (waiting at most waitMs) into the queue, the metadata taken out: the
    // bytes read, 0 when none came or the queue has no room, a negative InternetStream answer once
    // the connection has ended. A new title is announced to the host when announce is set (while
    // starting the host reads the title anyway).
    int32_t Receive(DWORD waitMs, bool announce);
    // Whether a whole read fits the queue (the metadata never adds bytes; the held start of a
    // body adds less than a header block's most).
    static constexpr int32_t kReceiveRoom = InternetStream::kPieceBytes + IcyDemux::kHeaderBytes;
    bool HasRoom() const;
    // While buffering: reports how full the buffer is, and ends buffering when it is full.
    void Buffer();
    // Makes each title that arrived while playing the stream's once its audio is heard (the audio
    // before it has left the queue and been written, and the output has played up to it), with 210.
    void AnnounceHeardTitles();

    InternetStream source_;
    IcyDemux demux_;
    FrameQueue queue_;
    char url_[2048] = "";
    int32_t kbps_ = 0;
    Lock titleLock_;
    char title_[IcyDemux::kTextBytes] = "";
    char station_[IcyDemux::kTextBytes] = "";
    char tagTitle_[IcyDemux::kTextBytes] = "";
    StationType handedOver_ = StationType::kMpegAudio;
    bool radioHeaders_ = false;  // the answer carried icy- headers (in HTTP or its header block)

    // The decoding thread's state.
    HeardTitles heard_{titleLock_, title_, sizeof title_};
    uint64_t receivedAudio_ = 0;  // audio bytes the queue has been given
    bool connectionEnded_ = false;
    bool buffering_ = true;
    int32_t prebufferBytes_ = 0;
    int32_t reportedPercent_ = -1;
};
