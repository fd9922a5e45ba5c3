#include "plugins/media_info.h"

#include <initializer_list>

#include "plugins/file_texts.h"
#include "plugins/plugin_matching.h"

int32_t QueryHeaderInfo(const char* name, HeaderInfo& info)
{
    info = HeaderInfo{};
    const int32_t answer = QueryExtendedInfo(name, info.title, info.artist, info.album, info.comment, info.year,
                                             info.genre, &info.bitrate, &info.sampleRate, &info.stereo, &info.vbr);
    for (char* text : {info.title, info.artist, info.album, info.comment, info.year, info.genre})
        text[kHeaderTextSize - 1] = '\0';
    if (answer) info.utf8Texts = QueryFileTexts(FindInputPlugin(name), name, TUNARA_TEXTS_TAGS, info.utf8) != 0;
    return answer;
}
