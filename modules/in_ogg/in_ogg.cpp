// IN_OGG.DLL: plays FLAC files (native, and inside Ogg), Ogg Vorbis and Opus files through libFLAC,
// libvorbisfile and libopusfile and the output the host hands over in word 37, as 16-bit PCM,
// exactly the source's samples. The bytes decide the codec, whatever the file's extension.
// Answers titles and lengths from the stream headers and their comments without decoding, and
// the extended information as a version 257 module, in the code page through the record and
// whole in UTF-8 through tunaraGetFileTextsUtf8.
#include <windows.h>
#include <string.h>

#include "audio_file.h"
#include "base_title.h"
#include "module_texts.h"
#include "file_stream.h"
#include "tunara_plugin.h"
#include "utf8_text.h"

namespace {

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
void TitleOf(const char* name, char* title, size_t size, int32_t* lengthMs)
{
    const bool current = !name || !*name;
    *lengthMs = -1;
    if (current && !stream.Playing()) {
        CopyUtf8(title, size, "");
        return;
    }
    const AudioFile* file = &stream.File();
    bool known = true;
    if (!current) {
        known = ReadAudioFile(name, &scanned);
        file = &scanned;
    }
    const char* path = current ? stream.Path() : name;
    if (known) FileTitle(*file, path, title, size);
    else BaseTitle(path, title, size);
    if (known) *lengthMs = file->LengthMs();
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

bool TagsOf(const char* name, TunaraFileTexts* texts, int32_t* bitrate, int32_t* sampleRate, int32_t* stereo,
            int32_t* vbr)
{
    if (!ReadAudioFile(name, &scanned)) return false;
    FillTagTexts(scanned.info.tags, name, texts);
    *bitrate = scanned.info.kbps;
    *sampleRate = scanned.info.sampleRate;
    *stereo = scanned.info.channels == 2 ? 1 : 0;
    *vbr = scanned.info.vbr ? 1 : 0;
    return true;
}

const ModuleAnswers answers{TitleOf, TagsOf};

void TUNARA_CDECL GetFileInfo(const char* name, char* title, int32_t* lengthMs)
{
    AnswerFileInfo(answers, name, title, lengthMs);
}

int32_t TUNARA_CDECL GetExtendedInfo(const char* name, char* title, char* artist, char* album, char* comment,
                                     char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                                     int32_t* stereo, int32_t* vbr)
{
    return AnswerExtendedInfo(answers, name, title, artist, album, comment, year, genre, bitrate, sampleRate, stereo,
                              vbr);
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

extern "C" int32_t TUNARA_CDECL tunaraGetFileTextsUtf8(const char* name, int32_t wanted, TunaraFileTexts* texts)
{
    return AnswerFileTexts(answers, name, wanted, texts);
}
