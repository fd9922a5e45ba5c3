// IN_PCM.DLL: plays RIFF WAVE files of integer PCM (8, 16, 24, 32 bits), 32-bit float and the
// compressed formats the platform's audio compression manager converts (ADPCM, mu-law, A-law),
// 1 to 8 channels, at any sample rate, through the output the host hands over in word 37, as
// 16-bit PCM.
// Answers titles and lengths from the file's header and LIST/INFO chunk for any file, and the
// extended information as a version 257 module, in the code page through the record and whole
// in UTF-8 through tunaraGetFileTextsUtf8.
#include <windows.h>

#include "base_title.h"
#include "module_texts.h"
#include "tags.h"
#include "tunara_plugin.h"
#include "wave_header.h"
#include "wave_stream.h"
#include "utf8_text.h"

namespace {

InputPluginRecord record;
WaveStream stream;
int32_t volume = 255;
int32_t pan = 0;

void TUNARA_CDECL Init() {}

void TUNARA_CDECL Quit() { stream.Stop(); }

// Title and length of a file, or of the file playing when the name is empty or null; the base
// name and -1 for a file that is not a WAVE file this module plays.
void TitleOf(const char* name, char* title, size_t size, int32_t* lengthMs)
{
    const bool current = !name || !*name;
    WaveHeader header;
    const char* path = current ? stream.Path() : name;
    bool known = current ? stream.Playing() : ReadWaveHeader(name, &header);
    if (current && known) header = stream.Header();
    if (known && header.tags.title[0]) CopyUtf8(title, size, header.tags.title);
    else if (current && !known) CopyUtf8(title, size, "");
    else BaseTitle(path, title, size);
    *lengthMs = known ? header.LengthMs() : -1;
}

int32_t TUNARA_CDECL AcceptsFile(const char*) { return 0; }

int32_t TUNARA_CDECL Play(const char* name)
{
    stream.Stop();
    WaveHeader header;
    if (!ReadWaveHeader(name, &header)) return -1;
    StreamHost host;
    host.window = static_cast<HWND>(record.hostWindow);
    host.checkDurationLimitOnce = record.checkDurationLimitOnce;
    if (!stream.Start(name, header, record.outputPlugin, host, volume, pan)) return -1;
    if (record.setMediaInfo)
        record.setMediaInfo(static_cast<int32_t>(header.BytesPerSecond() * 8 / 1000), header.sampleRate,
                            header.channels, 0);
    return 0;
}

void TUNARA_CDECL Pause() { stream.Pause(true); }
void TUNARA_CDECL Unpause() { stream.Pause(false); }
void TUNARA_CDECL Stop() { stream.Stop(); }
int32_t TUNARA_CDECL GetLength() { return stream.Playing() ? stream.Header().LengthMs() : -1; }
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
    WaveHeader header;
    if (!ReadWaveHeader(name, &header)) return false;
    FillTagTexts(header.tags, name, texts);
    *bitrate = static_cast<int32_t>(header.BytesPerSecond() * 8 / 1000);
    *sampleRate = header.sampleRate;
    *stereo = header.channels == 2 ? 1 : 0;
    *vbr = 0;
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
    record.extensionList = "WAV\0WAVE audio files (*.WAV)\0";
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
