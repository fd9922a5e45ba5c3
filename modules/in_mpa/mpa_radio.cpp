#include "mpa_radio.h"

#include <stdlib.h>
#include <string.h>

#include "station_connection.h"
#include "utf8_text.h"
#include "win/ansi_text.h"

namespace {

constexpr char kAgent[] = "Tunara MPEG audio stream";
// The buffer holds about a second of the stream before the output starts (at most half the
// queue, so that the network can go on filling it while the decoder takes from it).
constexpr int32_t kMinPrebufferBytes = 4 * 1024;
constexpr int32_t kMaxPrebufferBytes = FrameQueue::kCapacity / 2;
// Buffering is reported in steps of this many percent.
constexpr int32_t kPercentStep = 10;

}  // namespace

MpaRadio::MpaRadio() : source_(StationReports<MpaRadio>::completion, StationReports<MpaRadio>::Callback) {}

bool MpaRadio::Start(const char* url, OutputPluginRecord* output, const StreamHost& host, int32_t volume,
                     int32_t pan)
{
    Stop();
    handedOver_ = StationType::kMpegAudio;
    if (!CanStart(output) || !CopyBounded(url_, url)) return false;
    const DWORD begin = GetTickCount();
    if (!OpenStation(source_, url, kAgent, kStartTimeoutMs)) return false;
    // A station of another type is refused at once, not after waiting for MPEG frames; an Ogg or
    // AAC station is left to the stream that plays it.
    auto refuse = [&](StationType station) {
        source_.Close();
        const bool handOver = station == StationType::kOgg || station == StationType::kAac;
        if (handOver) handedOver_ = station;
        else if (host.sendStatus) host.sendStatus(kStatusUnplayableStation, 0);
        return false;
    };
    auto other = [](StationType station) {
        return station == StationType::kOther || station == StationType::kOgg || station == StationType::kAac;
    };
    char type[IcyDemux::kTextBytes] = "";
    if (source_.Header("Content-Type", type, sizeof type) && other(ClassifyStation(type))) return refuse(ClassifyStation(type));
    demux_.Reset(source_.HeaderNumber("icy-metaint"));
    queue_.Clear();
    receivedAudio_ = 0;
    heard_.Clear();
    {
        Locked locked(titleLock_);
        title_[0] = '\0';
    }
    // The first frames tell the stream's format; the header block of an "ICY 200 OK" answer comes
    // before them.
    for (;;) {
        if (queue_.FirstFrame(&format_)) break;
        // An "ICY 200 OK" answer's type comes in its header block.
        if (other(ClassifyStation(demux_.ContentType()))) return refuse(ClassifyStation(demux_.ContentType()));
        const DWORD waited = GetTickCount() - begin;
        // A full queue without two frames in a row holds no MPEG audio.
        if (waited >= kStartTimeoutMs || !HasRoom() || Receive(kStartTimeoutMs - waited, false) < 0) {
            source_.Close();
            return false;
        }
    }
    char name[IcyDemux::kTextBytes];
    const bool named = source_.Header("icy-name", name, sizeof name);
    if (named) IcyText(name, strlen(name), station_, sizeof station_);
    else CopyBounded(station_, demux_.Station());
    Tags tags;
    const uint32_t tagBytes = queue_.Buffered() >= static_cast<int32_t>(kId3v2HeaderBytes) ? Id3v2TagBytes(queue_.Data()) : 0;
    if (tagBytes > 0 && tagBytes <= static_cast<uint32_t>(queue_.Buffered())) ReadId3v2(queue_.Data(), tagBytes, &tags);
    const int32_t announcedKbps = source_.HeaderNumber("icy-br");
    kbps_ = announcedKbps > 0 ? announcedKbps : demux_.Kbps() > 0 ? demux_.Kbps() : format_.bitrateKbps;
    {
        Locked locked(titleLock_);
        TagsTitle(tags, tagTitle_, sizeof tagTitle_);
        radioHeaders_ = named || station_[0] || announcedKbps > 0 || demux_.Kbps() > 0 ||
                        source_.HeaderNumber("icy-metaint") > 0;
    }
    if (!decoder_.Open(format_)) {
        source_.Close();
        return false;
    }
    const int32_t second = format_.bitrateKbps * 1000 / 8;
    prebufferBytes_ = second < kMinPrebufferBytes ? kMinPrebufferBytes : second > kMaxPrebufferBytes ? kMaxPrebufferBytes : second;
    buffering_ = true;
    reportedPercent_ = -1;
    connectionEnded_ = false;
    // A stream is joined anywhere: the first two frames may lean on bytes that were never sent.
    Restart(2 * static_cast<int64_t>(format_.samplesPerFrame), -1);
    return Launch(output, host, volume, pan, format_.sampleRate, format_.channels);
}

void MpaRadio::Title(char* title, size_t size)
{
    Locked locked(titleLock_);
    if (!title_[0] && !station_[0] && radioHeaders_) Utf8FromAnsi(url_, title, size);
    else CopyUtf8(title, size, title_[0] ? title_ : station_[0] ? station_ : tagTitle_);
}

void MpaRadio::CloseSource()
{
    decoder_.Close();
    source_.Close();
}

bool MpaRadio::HasRoom() const { return queue_.Buffered() <= FrameQueue::kCapacity - kReceiveRoom; }

int32_t MpaRadio::Receive(DWORD waitMs, bool announce)
{
    if (!HasRoom()) return 0;
    int32_t room = 0;
    unsigned char* to = queue_.Space(&room);
    const int32_t got = source_.Read(waitMs, kStallMs);
    if (got <= 0) return got;
    bool titleChanged = false;
    const int32_t audio = demux_.Feed(source_.Data(), got, to, &titleChanged);
    queue_.Added(audio);
    if (titleChanged && !announce) {
        // Before the sound starts: the title is the stream's at once.
        Locked locked(titleLock_);
        CopyBounded(title_, demux_.Title());
    } else if (titleChanged) {
        heard_.QueueAfter(demux_.Title(), receivedAudio_ + static_cast<uint64_t>(demux_.TitleOffset()));
    }
    receivedAudio_ += static_cast<uint64_t>(audio);
    return got;
}

void MpaRadio::Buffer()
{
    const int32_t buffered = queue_.Buffered();
    const bool full = buffered >= prebufferBytes_ || connectionEnded_;
    const int32_t percent = full ? 100 : buffered * 100 / prebufferBytes_ / kPercentStep * kPercentStep;
    if (percent != reportedPercent_) {
        reportedPercent_ = percent;
        Notify(kStatusBuffering, percent);
    }
    buffering_ = !full;
}

void MpaRadio::AnnounceHeardTitles()
{
    heard_.Announce(*output_, !PcmPending(), queue_.Taken(), [this] { Notify(kStatusTitle, 0); });
}

int32_t MpaRadio::NextFrames(unsigned char* frames, int32_t room)
{
    const int32_t taken = queue_.TakeFrames(frames, room, connectionEnded_, &format_);
    return taken == 0 && !connectionEnded_ ? kNoFramesYet : taken;
}

void MpaRadio::Run()
{
    bool ended = false;
    while (!stopRequested_) {
        // Everything that has arrived, as far as the queue has room for it.
        while (!connectionEnded_) {
            const int32_t got = Receive(0, true);
            if (got == 0) break;
            if (got < 0) {
                connectionEnded_ = true;
                Notify(kStatusConnectionEnded, got == InternetStream::kEnded ? 0 : 1);
            }
        }
        if (buffering_) Buffer();
        bool fed = false;
        if (!buffering_ && !ended) {
            if (PcmPending()) {
                fed = WritePcm();
            } else {
                const int result = DecodeMore();
                // The network fell behind. While the output still plays what it holds, each frame
                // goes on as it comes; once it has run dry, the buffer fills again first.
                if (result == kNoFramesYet && !(output_->isPlaying && output_->isPlaying())) {
                    buffering_ = true;
                    reportedPercent_ = -1;
                }
                ended = result == kAudioEnded;
                fed = result == kDecoded;
            }
        }
        AnnounceHeardTitles();
        EndRound(ended, fed);
    }
}
