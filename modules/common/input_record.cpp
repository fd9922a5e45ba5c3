#include "input_record.h"

#include <initializer_list>
#include <utility>

#include "utf8_text.h"

namespace {

constexpr size_t kTitleBytes = 512;
constexpr size_t kInfoTextBytes = 32;
constexpr size_t kInfoYearBytes = 8;

const ModuleAnswers* moduleAnswers = nullptr;

void EmptyTexts(TunaraFileTexts* texts)
{
    for (char* text : {texts->displayTitle, texts->title, texts->artist, texts->album, texts->comment, texts->year,
                       texts->genre})
        text[0] = '\0';
    texts->lengthMs = -1;
}

// The record's getFileInfo: the title in the code page, cut to the host's 512 bytes.
void TUNARA_CDECL GetFileInfo(const char* name, char* title, int32_t* lengthMs)
{
    const ModuleAnswers& answers = *moduleAnswers;
    char utf8[TUNARA_FILE_TEXT_SIZE] = "";
    int32_t length = -1;
    answers.title(name, utf8, sizeof utf8, &length);
    if (title) AnsiFromUtf8(utf8, title, kTitleBytes);
    if (lengthMs) *lengthMs = length;
}

// The record's getExtendedInfo: the texts in the code page, cut to the smallest buffers a host
// hands over (32 bytes, the year 8).
int32_t TUNARA_CDECL GetExtendedInfo(const char* name, char* title, char* artist, char* album, char* comment,
                                     char* year, char* genre, int32_t* bitrate, int32_t* sampleRate, int32_t* stereo,
                                     int32_t* vbr)
{
    const ModuleAnswers& answers = *moduleAnswers;
    TunaraFileTexts texts;
    EmptyTexts(&texts);
    if (!answers.tags(name, &texts, bitrate, sampleRate, stereo, vbr)) return 0;
    const std::pair<char*, const char*> fields[] = {{title, texts.title},     {artist, texts.artist},
                                                    {album, texts.album},     {comment, texts.comment},
                                                    {genre, texts.genre}};
    for (const auto& [field, text] : fields) AnsiFromUtf8(text, field, kInfoTextBytes);
    AnsiFromUtf8(texts.year, year, kInfoYearBytes);
    return 1;
}

}  // namespace

InputPluginRecord* MakeInputRecord(InputPluginRecord& record, const InputCalls& calls, const ModuleAnswers& answers)
{
    moduleAnswers = &answers;
    record.version = TUNARA_INPUT_VERSION_EXTENDED;
    record.extensionList = calls.extensionList;
    record.flags = TUNARA_FLAG_USES_OUTPUT_PLUGIN;
    record.init = calls.init;
    record.quit = calls.quit;
    record.getFileInfo = GetFileInfo;
    record.acceptsFile = calls.acceptsFile;
    record.play = calls.play;
    record.pause = calls.pause;
    record.unpause = calls.unpause;
    record.stop = calls.stop;
    record.getLength = calls.getLength;
    record.getPosition = calls.getPosition;
    record.setPosition = calls.setPosition;
    record.setVolume = calls.setVolume;
    record.setPan = calls.setPan;
    record.getExtendedInfo = GetExtendedInfo;
    return &record;
}

// The UTF-8 texts export: the parts asked for that the module has. Before the record is made
// the module answers nothing.
extern "C" int32_t TUNARA_CDECL tunaraGetFileTextsUtf8(const char* name, int32_t wanted, TunaraFileTexts* texts)
{
    if (!texts || !moduleAnswers) return 0;
    const ModuleAnswers& answers = *moduleAnswers;
    EmptyTexts(texts);
    int32_t filled = 0;
    if (wanted & TUNARA_TEXTS_TITLE) {
        answers.title(name, texts->displayTitle, sizeof texts->displayTitle, &texts->lengthMs);
        filled |= TUNARA_TEXTS_TITLE;
    }
    int32_t numbers[4];
    if ((wanted & TUNARA_TEXTS_TAGS) && answers.tags(name, texts, &numbers[0], &numbers[1], &numbers[2], &numbers[3]))
        filled |= TUNARA_TEXTS_TAGS;
    return filled;
}
