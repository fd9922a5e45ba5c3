#include "module_texts.h"

#include <initializer_list>
#include <utility>

#include "utf8_text.h"

namespace {

constexpr size_t kTitleBytes = 512;
constexpr size_t kInfoTextBytes = 32;
constexpr size_t kInfoYearBytes = 8;

void EmptyTexts(TunaraFileTexts* texts)
{
    for (char* text : {texts->displayTitle, texts->title, texts->artist, texts->album, texts->comment, texts->year,
                       texts->genre})
        text[0] = '\0';
    texts->lengthMs = -1;
}

}  // namespace

void AnswerFileInfo(const ModuleAnswers& answers, const char* name, char* title, int32_t* lengthMs)
{
    char utf8[TUNARA_FILE_TEXT_SIZE] = "";
    int32_t length = -1;
    answers.title(name, utf8, sizeof utf8, &length);
    if (title) AnsiFromUtf8(utf8, title, kTitleBytes);
    if (lengthMs) *lengthMs = length;
}

int32_t AnswerExtendedInfo(const ModuleAnswers& answers, const char* name, char* title, char* artist, char* album,
                           char* comment, char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                           int32_t* stereo, int32_t* vbr)
{
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

int32_t AnswerFileTexts(const ModuleAnswers& answers, const char* name, int32_t wanted, TunaraFileTexts* texts)
{
    if (!texts) return 0;
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
