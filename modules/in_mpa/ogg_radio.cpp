#include "ogg_radio.h"

#include <stdlib.h>
#include <string.h>

#include "station_connection.h"
#include "station_status.h"
#include "utf8_text.h"
#include "win/ansi_text.h"

namespace {

constexpr char kAgent[] = "Tunara Ogg audio stream";
// A read waits this long at a time, so that a stop is seen at once.
constexpr DWORD kReadWaitMs = 100;
// Enough of the start to hold the first page's header and the first packet's signature.
constexpr int32_t kStartBytes = 27 + 255 + 8;

}  // namespace

OggRadio::OggRadio() : source_(StationReports<OggRadio>::completion, StationReports<OggRadio>::Callback) {}

bool OggRadio::Start(const char* url, OutputPluginRecord* output, const StreamHost& host, int32_t volume,
                     int32_t pan)
{
    Stop();
    if (!CanStart(output) || !CopyBounded(url_, url)) return false;
    starting_ = true;
    startBegin_ = GetTickCount();
    if (!OpenStation(source_, url, kAgent, kStartTimeoutMs)) return false;
    demux_.Reset(source_.HeaderNumber("icy-metaint"));
    read_ = 0;
    audioStart_ = audioEnd_ = 0;
    connectionEnded_ = false;
    heard_.Clear();
    pcmStart_ = pcmEnd_ = 0;
    reopen_ = false;
    {
        Locked locked(titleLock_);
        title_[0] = '\0';
    }
    unsigned char start[kStartBytes];
    int32_t got = 0;
    for (int32_t more = 1; got < kStartBytes && more > 0; got += more) more = Read(start + got, kStartBytes - got);
    const OggCodec codec = OggStartCodec(start, got);
    if (codec == OggCodec::kNone && got == kStartBytes && memcmp(start, "OggS", 4) == 0 && host.sendStatus)
        host.sendStatus(kStatusUnplayableStation, 0);
    if (codec == OggCodec::kNone || !chain_.Open(codec, this, start, got)) {
        source_.Close();
        return false;
    }
    format_ = chain_.Current();
    char name[IcyDemux::kTextBytes];
    {
        Locked locked(titleLock_);
        if (source_.Header("icy-name", name, sizeof name)) IcyText(name, strlen(name), station_, sizeof station_);
        else CopyBounded(station_, demux_.Station());
        if (!TagsTitle(format_.tags, title_, sizeof title_)) CopyBounded(title_, demux_.Title());
    }
    const int32_t announced = source_.HeaderNumber("icy-br");
    kbps_ = announced > 0 ? announced : format_.nominalKbps;
    starting_ = false;
    return Launch(output, host, volume, pan, format_.sampleRate, format_.channels);
}

void OggRadio::Title(char* title, size_t size)
{
    Locked locked(titleLock_);
    if (title_[0] || station_[0]) CopyUtf8(title, size, title_[0] ? title_ : station_);
    else Utf8FromAnsi(url_, title, size);
}

void OggRadio::CloseSource()
{
    chain_.Close();
    source_.Close();
}

bool OggRadio::Receive()
{
    while (!connectionEnded_) {
        if (starting_ ? GetTickCount() - startBegin_ >= kStartTimeoutMs : stopRequested_ != 0) return false;
        const int32_t got = source_.Read(kReadWaitMs, kStallMs);
        if (got < 0) {
            connectionEnded_ = true;
            if (!starting_) Notify(kStatusConnectionEnded, got == InternetStream::kEnded ? 0 : 1);
            return false;
        }
        if (got == 0) continue;
        bool titleChanged = false;
        audioStart_ = 0;
        audioEnd_ = demux_.Feed(source_.Data(), got, audio_, &titleChanged);
        if (titleChanged && starting_) {
            Locked locked(titleLock_);
            CopyBounded(title_, demux_.Title());
        } else if (titleChanged) {
            heard_.QueueAtWritten(demux_.Title(), *output_);
        }
        if (audioEnd_ > 0) return true;
    }
    return false;
}

int32_t OggRadio::Read(void* buffer, int32_t bytes)
{
    if (audioStart_ == audioEnd_ && !Receive()) return 0;
    const int32_t given = audioEnd_ - audioStart_ < bytes ? audioEnd_ - audioStart_ : bytes;
    memcpy(buffer, audio_ + audioStart_, static_cast<size_t>(given));
    audioStart_ += given;
    read_ += given;
    return given;
}

void OggRadio::AnnounceHeardTitles()
{
    // Titles are queued with their start in the output's time, known when they come.
    heard_.Announce(*output_, true, 0, [this] { Notify(kStatusTitle, 0); });
}

bool OggRadio::Reopen()
{
    if (output_->isPlaying && output_->isPlaying()) return false;
    // The titles queued before are heard now; those of the new format start with the new output.
    AnnounceHeardTitles();
    format_ = chain_.Current();
    reopen_ = false;
    if (output_->close) output_->close();
    if (output_->open(format_.sampleRate, format_.channels, 16, -1, -1) < 0) pcmStart_ = pcmEnd_ = 0;
    return true;
}

bool OggRadio::WritePcm()
{
    const int32_t frameBytes = format_.channels * 2;
    const int32_t room = output_->canWrite() / frameBytes * frameBytes;
    if (room <= 0) return false;
    const int32_t pending = (pcmEnd_ - pcmStart_) * 2;
    const int32_t bytes = pending < room ? pending : room;
    output_->write(reinterpret_cast<const char*>(pcm_ + pcmStart_), bytes);
    pcmStart_ += bytes / 2;
    return true;
}

void OggRadio::Run()
{
    bool ended = false;
    while (!stopRequested_) {
        bool fed = false;
        if (!ended && reopen_) {
            fed = Reopen();
            ended = pcmStart_ == pcmEnd_;
        } else if (!ended && pcmStart_ == pcmEnd_) {
            bool newStream = false;
            const int32_t frames = chain_.Decode(pcm_, kPcmSamples, &newStream);
            ended = frames == 0;
            pcmStart_ = 0;
            pcmEnd_ = frames * chain_.Current().channels;
            if (newStream) {
                const OggLink& next = chain_.Current();
                reopen_ = next.sampleRate != format_.sampleRate || next.channels != format_.channels;
                char title[IcyDemux::kTextBytes];
                // Everything decoded before has been written: the title's audio starts there.
                if (TagsTitle(next.tags, title, sizeof title)) heard_.QueueAtWritten(title, *output_);
            }
            fed = !ended;
        } else if (!ended) {
            fed = WritePcm();
        }
        AnnounceHeardTitles();
        EndRound(ended, fed);
    }
}
