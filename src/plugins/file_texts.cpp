#include "plugins/file_texts.h"

#include "engine/engine_context.h"
#include "plugins/plugin_call.h"

int32_t QueryFileTexts(const InputPluginRecord* record, const char* name, int32_t wanted, TunaraFileTexts& texts)
{
    char* const all[] = {texts.displayTitle, texts.title, texts.artist, texts.album, texts.comment, texts.year,
                         texts.genre};
    for (char* text : all) text[0] = '\0';
    texts.lengthMs = -1;
    TunaraGetFileTextsFn answer = nullptr;
    for (int i = 0; record && i < kInputPluginSlots && engine.inputPlugins[i]; ++i)
        if (engine.inputPlugins[i] == record) answer = engine.inputTexts[i];
    if (!answer) return 0;
    const int32_t filled = CallPlugin(answer, name ? name : "", wanted, &texts) & wanted;
    for (char* text : all) text[TUNARA_FILE_TEXT_SIZE - 1] = '\0';
    return filled;
}
