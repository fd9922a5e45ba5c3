// Header information of a playlist entry or of any file, and the stream parameters of the track
// that plays. Out-parameters the description leaves alone (the texts when the plugin delivered
// nothing, all but is_infos for a bad position) stay exactly as the caller passed them.
#include <string>
#include <tuple>

#include "control/automation_control.h"
#include "control/out_variant.h"
#include "control/string_conversion.h"
#include "engine/engine_context.h"
#include "playlist/playlist_store.h"
#include "plugins/file_texts.h"
#include "plugins/media_info.h"
#include "plugins/plugin_call.h"
#include "plugins/plugin_matching.h"
#include "win/ansi_text.h"
#include "win/guarded.h"
#include "win/wide_text.h"

namespace {

// What the playlist query has always handed over: 31 bytes of each text, 7 of the year, cut on
// a character boundary.
constexpr size_t kEntryTextSize = 32;
constexpr size_t kEntryYearSize = 8;

struct HeaderOut {
    VARIANT* isInfos;
    VARIANT* title;
    VARIANT* artist;
    VARIANT* album;
    VARIANT* comment;
    VARIANT* year;
    VARIANT* genre;
    VARIANT* bitrate;
    VARIANT* srate;
    VARIANT* stereo;
    VARIANT* vbr;

    bool Complete() const
    {
        return isInfos && title && artist && album && comment && year && genre && bitrate && srate && stereo && vbr;
    }
};

void SetNumbers(const HeaderOut& out, const HeaderInfo& info)
{
    SetOutShort(out.bitrate, static_cast<SHORT>(info.bitrate));
    SetOutLong(out.srate, info.sampleRate);
    SetOutShort(out.stereo, static_cast<SHORT>(info.stereo));
    SetOutShort(out.vbr, static_cast<SHORT>(info.vbr));
}

// Every text is filled even when one string cannot be allocated; the first failure is returned.
// Texts the module gave in UTF-8 are handed over whole, cut to as many characters as the ANSI
// buffer holds bytes.
HRESULT SetTexts(const HeaderOut& out, const HeaderInfo& info, size_t textSize, size_t yearSize)
{
    SetOutShort(out.isInfos, 1);
    HRESULT result = S_OK;
    const std::tuple<VARIANT*, const char*, const char*> texts[] = {
        {out.title, info.title, info.utf8.title},       {out.artist, info.artist, info.utf8.artist},
        {out.album, info.album, info.utf8.album},       {out.comment, info.comment, info.utf8.comment},
        {out.year, info.year, info.utf8.year},          {out.genre, info.genre, info.utf8.genre}};
    for (const auto& [variant, text, utf8] : texts) {
        const size_t size = variant == out.year ? yearSize : textSize;
        HRESULT hr;
        if (info.utf8Texts) {
            hr = SetOutText(variant, CutWide(WideFromUtf8(utf8), size - 1).c_str());
        } else {
            char cut[kHeaderTextSize];
            CopyBounded(cut, size, text);
            hr = SetOutText(variant, cut);
        }
        if (SUCCEEDED(result)) result = hr;
    }
    return result;
}

// The fallback of a file no plugin describes: the title alone, from the plugin that would play
// it, asked about this very file (in UTF-8 where its module answers so).
HRESULT SetFallbackTitle(VARIANT* title, const char* name)
{
    InputPluginRecord* record = PrepareInputPlugin(name);
    if (!record || !record->getFileInfo) return S_OK;
    TunaraFileTexts texts;
    if (QueryFileTexts(record, name, TUNARA_TEXTS_TITLE, texts) & TUNARA_TEXTS_TITLE)
        return texts.displayTitle[0] ? SetOutText(title, WideFromUtf8(texts.displayTitle).c_str()) : S_OK;
    char text[kHeaderTextSize] = "";
    CallPlugin(record->getFileInfo, name, text, nullptr);
    text[kHeaderTextSize - 1] = '\0';
    return text[0] ? SetOutText(title, text) : S_OK;
}

}  // namespace

HRESULT AutomationControl::GetPlaylistItemHeaderInfos(LONG Position, VARIANT* is_infos, VARIANT* title,
                                                      VARIANT* artist, VARIANT* album, VARIANT* comment,
                                                      VARIANT* year, VARIANT* genre, VARIANT* bitrate,
                                                      VARIANT* srate, VARIANT* stereo, VARIANT* vbr)
{
    return GuardedCom([&]() -> HRESULT {
        const HeaderOut out{is_infos, title, artist, album, comment, year, genre, bitrate, srate, stereo, vbr};
        if (!out.Complete()) return E_POINTER;
        SetOutShort(is_infos, 0);
        char name[kFileNameSize] = "";
        if (PlaylistGetEntry(Position, name, sizeof(name), nullptr, 0) != 0 || !name[0]) return S_FALSE;
        HeaderInfo info;
        const int32_t delivered = QueryHeaderInfo(name, info);
        SetNumbers(out, info);
        return delivered ? SetTexts(out, info, kEntryTextSize, kEntryYearSize) : S_OK;
    });
}

HRESULT AutomationControl::GetFileHeaderInfos(BSTR filename, VARIANT* is_infos, VARIANT* title,
                                              VARIANT* artist, VARIANT* album, VARIANT* comment,
                                              VARIANT* year, VARIANT* genre, VARIANT* bitrate,
                                              VARIANT* srate, VARIANT* stereo, VARIANT* vbr)
{
    return GuardedCom([&]() -> HRESULT {
        const HeaderOut out{is_infos, title, artist, album, comment, year, genre, bitrate, srate, stereo, vbr};
        if (!out.Complete()) return E_POINTER;
        SetOutShort(is_infos, 0);
        std::string name;
        std::wstring wide;
        HRESULT hr = AppendedName(filename, name, wide);
        if (hr != S_OK) return hr;
        HeaderInfo info;
        const int32_t delivered = QueryHeaderInfo(name.c_str(), info);
        SetNumbers(out, info);
        if (delivered) return SetTexts(out, info, kHeaderTextSize, kHeaderTextSize);
        return SetFallbackTitle(title, name.c_str());
    });
}

// Plugin threads write the three values; each is read once.
HRESULT AutomationControl::GetCurrentFileInfos(VARIANT* bitrate, VARIANT* srate, VARIANT* stereo)
{
    return GuardedCom([&]() -> HRESULT {
        if (!bitrate || !srate || !stereo) return E_POINTER;
        SetOutShort(bitrate, static_cast<SHORT>(engine.mediaBitrate));
        SetOutLong(srate, engine.mediaSampleRate);
        SetOutShort(stereo, engine.mediaChannels == 2 ? 1 : 0);
        return S_OK;
    });
}
