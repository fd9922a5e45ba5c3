// IN_MF.DLL: plays what the platform's Media Foundation decodes (MPEG-4 audio files and ADTS AAC,
// Windows Media audio where the platform reads its container) through the output the host hands
// over in word 37, as 16-bit PCM at the file's rate and channels. The platform is loaded and
// started at init: where it is missing or does not start, the module claims no file type and
// tells why through the debugger output. Titles, lengths and the extended information (version
// 257) come from the platform's source and its property store, in the code page through the
// record and whole in UTF-8 through tunaraGetFileTextsUtf8.
#include <windows.h>
#include <string.h>

#include "base_title.h"
#include "module_texts.h"
#include "file_types.h"
#include "media_foundation.h"
#include "mf_reader.h"
#include "mf_stream.h"
#include "mf_tags.h"
#include "tunara_plugin.h"
#include "utf8_text.h"

namespace {

InputPluginRecord record;
MediaFoundation platform;
MfStream stream;
int32_t volume = 255;
int32_t pan = 0;

// What a file tells without decoding, read on the host's thread.
struct FileFacts {
    MfTags tags;
    int32_t lengthMs = -1;
    int32_t kbps = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
};

// The source's encoding bitrate, else the average over the whole file.
int32_t Kbps(const char* path, const MfTags& tags, int32_t lengthMs)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (tags.kbps > 0 || lengthMs <= 0 || !GetFileAttributesExA(path, GetFileExInfoStandard, &attributes))
        return tags.kbps;
    const uint64_t bytes = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    return static_cast<int32_t>(bytes * 8 / static_cast<uint64_t>(lengthMs));
}

bool ReadFacts(const char* path, FileFacts* facts)
{
    MfReader reader;
    if (!reader.Open(platform, path)) return false;
    ReadMfTags(reader.Reader(), &facts->tags);
    facts->lengthMs = reader.LengthMs();
    facts->sampleRate = reader.SampleRate();
    facts->channels = reader.Channels();
    facts->kbps = Kbps(path, facts->tags, facts->lengthMs);
    return true;
}

void TUNARA_CDECL Init()
{
    if (!platform.Start()) {
        OutputDebugStringA("IN_MF.DLL: no file types: ");
        OutputDebugStringA(platform.Why());
        OutputDebugStringA("\n");
    }
    record.extensionList = PlatformExtensionList(platform);
}

void TUNARA_CDECL Quit()
{
    stream.Stop();
    platform.Stop();
}

// Title and length of a file, or of the file playing when the name is empty or null; the base
// name and -1 for a file the platform does not play.
void TitleOf(const char* name, char* title, size_t size, int32_t* lengthMs)
{
    const bool current = !name || !*name;
    *lengthMs = -1;
    if (current && !stream.Playing()) {
        CopyUtf8(title, size, "");
        return;
    }
    FileFacts facts;
    if (current) {
        facts.tags = stream.Tags();
        facts.lengthMs = stream.LengthMs();
    }
    const char* path = current ? stream.Path() : name;
    const bool known = current || ReadFacts(path, &facts);
    if (!TagsTitle(facts.tags, title, size)) BaseTitle(path, title, size);
    if (known) *lengthMs = facts.lengthMs;
}

int32_t TUNARA_CDECL AcceptsFile(const char*) { return 0; }

int32_t TUNARA_CDECL Play(const char* name)
{
    stream.Stop();
    StreamHost host;
    host.window = static_cast<HWND>(record.hostWindow);
    host.checkDurationLimitOnce = record.checkDurationLimitOnce;
    host.sendStatus = record.sendStatusNotification;
    if (!stream.Start(platform, name, record.outputPlugin, host, volume, pan)) return -1;
    if (record.setMediaInfo)
        record.setMediaInfo(Kbps(name, stream.Tags(), stream.LengthMs()), stream.SampleRate(), stream.Channels(), 0);
    return 0;
}

void TUNARA_CDECL Pause() { stream.Pause(true); }
void TUNARA_CDECL Unpause() { stream.Pause(false); }
void TUNARA_CDECL Stop() { stream.Stop(); }
int32_t TUNARA_CDECL GetLength() { return stream.Playing() ? stream.LengthMs() : -1; }
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
    FileFacts facts;
    if (!ReadFacts(name, &facts)) return false;
    FillTagTexts(facts.tags, name, texts);
    *bitrate = facts.kbps;
    *sampleRate = facts.sampleRate;
    *stereo = facts.channels == 2 ? 1 : 0;
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
    record.extensionList = "\0";
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
