// IN_MPA.DLL: plays MPEG audio files (MPEG 1, 2 and 2.5, layers 1 to 3, free format too) through
// libmpg123 and the output the host hands over in word 37, as 16-bit PCM, without the encoder's
// delay and padding when the file's encoder tag gives them. Claims "http://" and "https://"
// addresses and plays them as internet radio streams, with their titles, routed by what they
// carry: MPEG audio (see mpa_radio.h for the status notifications a stream sends), chained Ogg
// Vorbis and Ogg Opus streams (ogg_radio.h), or ADTS AAC through the platform's decoder
// (aac_radio.h; Media Foundation is loaded and started at the first AAC station).
// Answers titles and lengths from the ID3 tags and the frame headers without decoding, and the
// extended information as a version 257 module, in the code page through the record and whole
// in UTF-8 through tunaraGetFileTextsUtf8.
#include <windows.h>
#include <string.h>

#include "aac_radio.h"
#include "base_title.h"
#include "input_record.h"
#include "media_foundation.h"
#include "mpa_file.h"
#include "mpa_radio.h"
#include "mpa_stream.h"
#include "ogg_radio.h"
#include "tunara_plugin.h"
#include "utf8_text.h"

namespace {

constexpr char kHttpScheme[] = "http://";
constexpr char kHttpsScheme[] = "https://";

InputPluginRecord record;
// At most one of them plays.
MpaStream stream;
MpaRadio radio;
OggRadio oggRadio;
AacRadio aacRadio;
// Started at the first AAC station, on the host's thread; stopped at quit.
MediaFoundation platform;
int32_t volume = 255;
int32_t pan = 0;
// Files are read on the host's thread only; the last one read is kept for the asks that follow.
MpaFile scanned;

void TUNARA_CDECL Init() {}

// A station's address: over TLS the certificate is checked as for any secure page, and one that
// fails its checks fails the start.
bool IsHttp(const char* name)
{
    return name && (_strnicmp(name, kHttpScheme, sizeof kHttpScheme - 1) == 0 ||
                    _strnicmp(name, kHttpsScheme, sizeof kHttpsScheme - 1) == 0);
}

void StopAll()
{
    stream.Stop();
    radio.Stop();
    oggRadio.Stop();
    aacRadio.Stop();
}

// Calls use with the station that plays (any kind); false when none does.
template <class Use>
bool WithStation(Use use)
{
    if (radio.Playing()) use(radio);
    else if (oggRadio.Playing()) use(oggRadio);
    else if (aacRadio.Playing()) use(aacRadio);
    else return false;
    return true;
}

// The stream that plays, null when none does.
StreamThread* Playing()
{
    if (radio.Playing()) return &radio;
    if (oggRadio.Playing()) return &oggRadio;
    if (aacRadio.Playing()) return &aacRadio;
    return stream.Playing() ? &stream : nullptr;
}

void TUNARA_CDECL Quit()
{
    StopAll();
    platform.Stop();
}

// "Artist - Title" when the tags have both, else the tag's title, else the file's base name.
void TagTitle(const MpaFile& file, const char* path, char* title, size_t size)
{
    if (!TagsTitle(file.tags, title, size)) BaseTitle(path, title, size);
}

// Title and length of a file, or of the file playing when the name is empty or null; the base
// name and -1 for a file that holds no MPEG audio this module plays, the name itself and -1 for an
// address. A stream that plays has the title it announced last (else its station's name) and -1.
void TitleOf(const char* name, char* title, size_t size, int32_t* lengthMs)
{
    const bool current = !name || !*name;
    bool station = false;
    *lengthMs = -1;
    WithStation([&](auto& playing) {
        station = current || strcmp(name, playing.Url()) == 0;
        if (station) playing.Title(title, size);
    });
    if (station) return;
    if (current && !stream.Playing()) {
        CopyUtf8(title, size, "");
        return;
    }
    if (!current && strstr(name, "://")) {
        // An address: its own name until it plays, never opened as a file.
        Utf8FromAnsi(name, title, size);
        return;
    }
    const MpaFile* file = &stream.File();
    bool known = true;
    if (!current) {
        known = ReadMpaFile(name, &scanned);
        file = &scanned;
    }
    const char* path = current ? stream.Path() : name;
    if (known) TagTitle(*file, path, title, size);
    else BaseTitle(path, title, size);
    if (known) *lengthMs = file->LengthMs();
}

int32_t TUNARA_CDECL AcceptsFile(const char* name) { return IsHttp(name) ? 1 : 0; }

int32_t TUNARA_CDECL Play(const char* name)
{
    StopAll();
    StreamHost host;
    host.window = static_cast<HWND>(record.hostWindow);
    host.checkDurationLimitOnce = record.checkDurationLimitOnce;
    host.sendStatus = record.sendStatusNotification;
    if (IsHttp(name)) {
        // An Ogg or AAC station is asked for again by its own stream once its type is known.
        if (!radio.Start(name, record.outputPlugin, host, volume, pan)) {
            const StationType type = radio.HandedOver();
            if (!(type == StationType::kOgg && oggRadio.Start(name, record.outputPlugin, host, volume, pan)) &&
                !(type == StationType::kAac && aacRadio.Start(platform, name, record.outputPlugin, host, volume, pan)))
                return -1;
        }
        WithStation([](auto& playing) {
            if (record.setMediaInfo) record.setMediaInfo(playing.Kbps(), playing.SampleRate(), playing.Channels(), 0);
        });
        return 0;
    }
    if (!ReadMpaFile(name, &scanned)) return -1;
    if (!stream.Start(name, scanned, record.outputPlugin, host, volume, pan)) return -1;
    if (record.setMediaInfo)
        record.setMediaInfo(scanned.AverageKbps(), scanned.first.sampleRate, scanned.first.channels, 0);
    return 0;
}

void TUNARA_CDECL Pause()
{
    if (StreamThread* playing = Playing()) playing->Pause(true);
}

void TUNARA_CDECL Unpause()
{
    if (StreamThread* playing = Playing()) playing->Pause(false);
}

void TUNARA_CDECL Stop() { StopAll(); }
int32_t TUNARA_CDECL GetLength() { return stream.Playing() ? stream.File().LengthMs() : -1; }

int32_t TUNARA_CDECL GetPosition()
{
    const StreamThread* playing = Playing();
    return playing ? playing->PositionMs() : 0;
}

// A stream plays as it comes: only a file seeks.
void TUNARA_CDECL SetPosition(int32_t positionMs) { stream.Seek(positionMs); }

void TUNARA_CDECL SetVolume(int32_t value)
{
    volume = value;
    if (StreamThread* playing = Playing()) playing->SetVolume(value);
}

void TUNARA_CDECL SetPan(int32_t value)
{
    pan = value;
    if (StreamThread* playing = Playing()) playing->SetPan(value);
}

bool TagsOf(const char* name, TunaraFileTexts* texts, int32_t* bitrate, int32_t* sampleRate, int32_t* stereo,
            int32_t* vbr)
{
    bool station = false;
    WithStation([&](auto& playing) {
        station = name && strcmp(name, playing.Url()) == 0;
        if (!station) return;
        // The playing stream: its title and what its headers tell; it has no tags.
        playing.Title(texts->title, sizeof texts->title);
        *bitrate = playing.Kbps();
        *sampleRate = playing.SampleRate();
        *stereo = playing.Channels() == 2 ? 1 : 0;
        *vbr = 0;
    });
    if (station) return true;
    if (!ReadMpaFile(name, &scanned)) return false;
    FillTagTexts(scanned.tags, name, texts);
    *bitrate = scanned.AverageKbps();
    *sampleRate = scanned.first.sampleRate;
    *stereo = scanned.first.channels == 2 ? 1 : 0;
    *vbr = scanned.vbr ? 1 : 0;
    return true;
}

const ModuleAnswers answers{TitleOf, TagsOf};

}  // namespace

extern "C" InputPluginRecord* TUNARA_CDECL tunaraGetInModule2(void)
{
    const InputCalls calls{"MP3;MP2;MP1\0MPEG audio files (*.MP3;*.MP2;*.MP1)\0",
                           Init, Quit, AcceptsFile, Play, Pause, Unpause, Stop, GetLength, GetPosition, SetPosition,
                           SetVolume, SetPan};
    return MakeInputRecord(record, calls, answers);
}
