#include "aac_radio.h"

#include <stdlib.h>
#include <string.h>

#include "station_connection.h"
#include "station_status.h"
#include "utf8_text.h"
#include "win/ansi_text.h"

namespace {

constexpr char kAgent[] = "Tunara AAC audio stream";
// A read waits this long at a time, so that a stop is seen at once.
constexpr DWORD kReadWaitMs = 100;
// Samples in one AAC frame (before any doubling by its spectral band replication).
constexpr int32_t kFrameSamples = 1024;

bool Unplayable(const StreamHost& host)
{
    if (host.sendStatus) host.sendStatus(kStatusUnplayableStation, 0);
    return false;
}

}  // namespace

AacRadio::AacRadio() : source_(StationReports<AacRadio>::completion, StationReports<AacRadio>::Callback) {}

bool AacRadio::Start(MediaFoundation& platform, const char* url, OutputPluginRecord* output, const StreamHost& host,
                     int32_t volume, int32_t pan)
{
    Stop();
    if (!CanStart(output) || !CopyBounded(url_, url)) return false;
    // Nothing else here decodes AAC.
    if (!platform.Start()) return Unplayable(host);
    const DWORD begin = GetTickCount();
    if (!OpenStation(source_, url, kAgent, kStartTimeoutMs)) return false;
    starting_ = true;
    demux_.Reset(source_.HeaderNumber("icy-metaint"));
    audioStart_ = audioEnd_ = 0;
    receivedAudio_ = consumedAudio_ = 0;
    connectionEnded_ = false;
    heard_.Clear();
    changing_ = draining_ = idle_ = reopen_ = false;
    {
        Locked locked(titleLock_);
        title_[0] = '\0';
    }
    AdtsHeader first;
    while (FindFrame(&first, true) < 0) {
        const DWORD waited = GetTickCount() - begin;
        if (waited >= kStartTimeoutMs || Receive(kStartTimeoutMs - waited) < 0) {
            source_.Close();
            return false;
        }
    }
    const DWORD waited = GetTickCount() - begin;
    const DWORD left = waited < kStartTimeoutMs ? kStartTimeoutMs - waited : 0;
    const AacDecoder::Opening opening = decoder_.Open(platform, first, left < kDecoderWaitMs ? left : kDecoderWaitMs);
    if (opening != AacDecoder::Opening::kOpened) {
        source_.Close();
        return opening == AacDecoder::Opening::kNoDecoder ? Unplayable(host) : false;
    }
    hold_ = platform.Hold();
    if (!hold_.Held()) {
        CloseSource();
        return false;
    }
    stream_ = first;
    rate_ = decoder_.SampleRate();
    channels_ = decoder_.Channels();
    char name[IcyDemux::kTextBytes];
    {
        Locked locked(titleLock_);
        if (source_.Header("icy-name", name, sizeof name)) IcyText(name, strlen(name), station_, sizeof station_);
        else CopyBounded(station_, demux_.Station());
    }
    const int32_t announced = source_.HeaderNumber("icy-br");
    const int32_t framed = static_cast<int32_t>(static_cast<int64_t>(first.frameBytes) * 8 * first.sampleRate /
                                                kFrameSamples / 1000);
    kbps_ = announced > 0 ? announced : demux_.Kbps() > 0 ? demux_.Kbps() : framed;
    starting_ = false;
    return Launch(output, host, volume, pan, rate_, channels_);
}

void AacRadio::Title(char* title, size_t size)
{
    Locked locked(titleLock_);
    if (title_[0] || station_[0]) CopyUtf8(title, size, title_[0] ? title_ : station_);
    else Utf8FromAnsi(url_, title, size);
}

void AacRadio::CloseSource()
{
    decoder_.Close();
    source_.Close();
    hold_.Release();
}

int32_t AacRadio::Receive(DWORD waitMs)
{
    // What is held is less than a frame and its next header (FindFrame found no whole one), so a
    // whole read fits behind it.
    memmove(audio_, audio_ + audioStart_, static_cast<size_t>(audioEnd_ - audioStart_));
    audioEnd_ -= audioStart_;
    audioStart_ = 0;
    const int32_t got = source_.Read(waitMs, kStallMs);
    if (got <= 0) return got;
    bool titleChanged = false;
    const int32_t audio = demux_.Feed(source_.Data(), got, audio_ + audioEnd_, &titleChanged);
    audioEnd_ += audio;
    if (titleChanged && starting_) {
        Locked locked(titleLock_);
        CopyBounded(title_, demux_.Title());
    } else if (titleChanged) {
        heard_.QueueAfter(demux_.Title(), receivedAudio_ + static_cast<uint64_t>(demux_.TitleOffset()));
    }
    receivedAudio_ += static_cast<uint64_t>(audio);
    return got;
}

void AacRadio::Advance(int32_t bytes)
{
    audioStart_ += bytes;
    consumedAudio_ += static_cast<uint64_t>(bytes);
}

int32_t AacRadio::FindFrame(AdtsHeader* header, bool confirmed)
{
    while (audioEnd_ - audioStart_ >= kAdtsHeaderBytes) {
        AdtsHeader found;
        if (!ParseAdtsHeader(audio_ + audioStart_, &found)) {
            Advance(1);
            continue;
        }
        const int32_t after = audioStart_ + found.frameBytes;
        AdtsHeader next;
        if (audioEnd_ - after >= kAdtsHeaderBytes) {
            // A sync pattern inside other bytes is no frame.
            if (!ParseAdtsHeader(audio_ + after, &next)) {
                Advance(1);
                continue;
            }
        } else if (after > audioEnd_ || confirmed || !connectionEnded_) {
            return -1;
        }
        *header = found;
        return audioStart_;
    }
    return -1;
}

bool AacRadio::DecodeStep(bool* ended)
{
    switch (decoder_.Decode()) {
    case AacDecoder::Output::kSamples:
        idle_ = false;
        return true;
    case AacDecoder::Output::kNewFormat:
        reopen_ = decoder_.SampleRate() != rate_ || decoder_.Channels() != channels_;
        return true;
    case AacDecoder::Output::kFailed:
        *ended = true;
        return false;
    case AacDecoder::Output::kNeedsInput:
        idle_ = true;
        break;
    }
    if (draining_) {
        *ended = true;
        return false;
    }
    if (changing_) {
        changing_ = false;
        if (!decoder_.Reconfigure(next_)) {
            *ended = true;
            return false;
        }
        stream_ = next_;
        reopen_ = decoder_.SampleRate() != rate_ || decoder_.Channels() != channels_;
        return true;
    }
    AdtsHeader header;
    const int32_t at = FindFrame(&header, false);
    if (at < 0 && connectionEnded_) {
        draining_ = decoder_.Drain();
        *ended = !draining_;
        return draining_;
    }
    if (at < 0) {
        const int32_t got = Receive(kReadWaitMs);
        if (got < 0) {
            connectionEnded_ = true;
            Notify(kStatusConnectionEnded, got == InternetStream::kEnded ? 0 : 1);
        }
        return got != 0;
    }
    if (!header.SameStream(stream_)) {
        // What the decoder holds is of the format before.
        changing_ = decoder_.Drain();
        next_ = header;
        *ended = !changing_;
        return changing_;
    }
    switch (decoder_.Feed(audio_ + at, header.frameBytes)) {
    case AacDecoder::Feeding::kTaken:
        Advance(header.frameBytes);
        idle_ = false;
        return true;
    case AacDecoder::Feeding::kBusy:
        return false;
    case AacDecoder::Feeding::kFailed:
        break;
    }
    *ended = true;
    return false;
}

bool AacRadio::WritePcm()
{
    const int32_t frame = channels_ * 2;
    const int32_t room = output_->canWrite() / frame * frame;
    if (room <= 0) return false;
    const int32_t bytes = decoder_.PendingBytes() < room ? decoder_.PendingBytes() : room;
    output_->write(decoder_.PendingData(), bytes);
    decoder_.Consume(bytes);
    return true;
}

bool AacRadio::Reopen(bool* ended)
{
    if (output_->isPlaying && output_->isPlaying()) return false;
    // The titles of the format before are heard now; those of the new one start with the new output.
    AnnounceHeardTitles();
    rate_ = decoder_.SampleRate();
    channels_ = decoder_.Channels();
    reopen_ = false;
    if (output_->close) output_->close();
    *ended = output_->open(rate_, channels_, 16, -1, -1) < 0;
    return true;
}

void AacRadio::AnnounceHeardTitles()
{
    // What was fed has been decoded and written once the decoder is idle and holds nothing.
    const bool settled = idle_ && !decoder_.Pending() && !reopen_;
    heard_.Announce(*output_, settled, consumedAudio_, [this] { Notify(kStatusTitle, 0); });
}

// The decoding thread. The platform's objects need COM on every thread that calls them.
void AacRadio::Run()
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    bool ended = false;
    while (!stopRequested_) {
        bool fed = false;
        if (!ended && reopen_) fed = Reopen(&ended);
        else if (!ended && decoder_.Pending()) fed = WritePcm();
        else if (!ended) fed = DecodeStep(&ended);
        AnnounceHeardTitles();
        EndRound(ended, fed);
    }
    if (com) CoUninitialize();
}
