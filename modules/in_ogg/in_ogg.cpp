// IN_OGG.DLL: plays FLAC files (native, and inside Ogg), Ogg Vorbis and Opus files through libFLAC,
// libvorbisfile and libopusfile and the output the host hands over in word 37, as 16-bit PCM,
// exactly the source's samples. The bytes decide the codec, whatever the file's extension.
// Answers titles and lengths from the stream headers and their comments without decoding, and
// the extended information as a version 257 module.
#include <windows.h>
#include <string.h>

#include "audio_file.h"
#include "base_title.h"
#include "file_stream.h"
#include "tunara_plugin.h"
#include "win/ansi_text.h"

namespace {

// Room the host gives the extended information: the playlist query's buffers are the smallest.
constexpr size_t kInfoTextBytes = 32;
constexpr size_t kInfoYearBytes = 8;
constexpr size_t kTitleBytes = 512;

InputPluginRecord record;
FileStream stream;
int32_t volume = 255;
int32_t pan = 0;
// Files are read on the host's thread only; the last one read is kept for the asks that follow.
AudioFile scanned;

void TUNARA_CDECL Init() {}
void TUNARA_CDECL Quit() { stream.Stop(); }

// "Artist - Title" when the comments have both, else the title, else the file's base name.
void FileTitle(const AudioFile& file, const char* path, char* title, size_t size)
{
    if (!TagsTitle(file.info.tags, title, size)) BaseTitle(path, title, size);
}

// Title and length of a file, or of the file playing when the name is empty or null; the base
// name and -1 for a file that holds nothing this module plays.
void TUNARA_CDECL GetFileInfo(const char* name, char* title, int32_t* lengthMs)
{
    const bool current = !name || !*name;
    if (current && !stream.Playing()) {
        if (title) CopyBounded(title, kTitleBytes, "");
        if (lengthMs) *lengthMs = -1;
        return;
    }
    const AudioFile* file = &stream.File();
    bool known = true;
    if (!current) {
        known = ReadAudioFile(name, &scanned);
        file = &scanned;
    }
    const char* path = current ? stream.Path() : name;
    if (title) {
        if (known) FileTitle(*file, path, title, kTitleBytes);
        else BaseTitle(path, title, kTitleBytes);
    }
    if (lengthMs) *lengthMs = known ? file->LengthMs() : -1;
}

int32_t TUNARA_CDECL AcceptsFile(const char*) { return 0; }

int32_t TUNARA_CDECL Play(const char* name)
{
    stream.Stop();
    StreamHost host;
    host.window = static_cast<HWND>(record.hostWindow);
    host.checkDurationLimitOnce = record.checkDurationLimitOnce;
    host.sendStatus = record.sendStatusNotification;
    if (!ReadAudioFile(name, &scanned)) return -1;
    if (!stream.Start(name, scanned, record.outputPlugin, host, volume, pan)) return -1;
    if (record.setMediaInfo)
        record.setMediaInfo(scanned.info.kbps, scanned.info.sampleRate, scanned.info.channels, 0);
    return 0;
}

void TUNARA_CDECL Pause() { stream.Pause(true); }
void TUNARA_CDECL Unpause() { stream.Pause(false); }
void TUNARA_CDECL Stop() { stream.Stop(); }
int32_t TUNARA_CDECL GetLength() { return stream.Playing() ? stream.File().LengthMs() : -1; }
int32_t TUNARA_CDECL GetPosition() { return stream.PositionMs(); }
void TUNARA_CDECL SetPosition(int32_t positionMs) { stream.Seek(positionMs); }

void TUNARA_CDECL SetVolume(int32_t value)
{
    volume = value;
    stream.SetVolume(value);
}

void TUNARA_CDECL SetPan(int32_t value)
{
    pan = value;
    stream.SetPan(value);
}

int32_t TUNARA_CDECL GetExtendedInfo(const char* name, char* title, char* artist, char* album, char* comment,
                                     char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                                     int32_t* stereo, int32_t* vbr)
{
    if (!ReadAudioFile(name, &scanned)) return 0;
    const Tags& tags = scanned.info.tags;
    if (tags.title[0]) CopyBounded(title, kInfoTextBytes, tags.title);
    else BaseTitle(name, title, kInfoTextBytes);
    CopyBounded(artist, kInfoTextBytes, tags.artist);
    CopyBounded(album, kInfoTextBytes, tags.album);
    CopyBounded(comment, kInfoTextBytes, tags.comment);
    CopyBounded(year, kInfoYearBytes, tags.year);
    CopyBounded(genre, kInfoTextBytes, tags.genre);
    *bitrate = scanned.info.kbps;
    *sampleRate = scanned.info.sampleRate;
    *stereo = scanned.info.channels == 2 ? 1 : 0;
    *vbr = scanned.info.vbr ? 1 : 0;
    return 1;
}

}  // namespace

extern "C" InputPluginRecord* TUNARA_CDECL tunaraGetInModule2(void)
{
    record.version = TUNARA_INPUT_VERSION_EXTENDED;
    record.extensionList = "FLAC;OGA;OGG;OPUS\0FLAC, Ogg Vorbis and Opus files (*.FLAC;*.OGA;*.OGG;*.OPUS)\0";
    record.flags = TUNARA_FLAG_USES_OUTPUT_PLUGIN;
    record.init = Init;
    record.quit = Quit;
    record.getFileInfo = GetFileInfo;
    record.acceptsFile = AcceptsFile;
    record.play = Play;
    record.pause = Pause;
    record.unpause = Unpause;
    record.stop = Stop;
    record.getLength = GetLength;
    record.getPosition = GetPosition;
    record.setPosition = SetPosition;
    record.setVolume = SetVolume;
    record.setPan = SetPan;
    record.getExtendedInfo = GetExtendedInfo;
    return &record;
}
