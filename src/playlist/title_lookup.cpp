#include "playlist/title_lookup.h"

#include <new>
#include <string>

#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_store.h"
#include "playlist/wide_names.h"
#include "plugins/file_texts.h"
#include "plugins/plugin_call.h"
#include "plugins/plugin_matching.h"
#include "win/ansi_text.h"
#include "win/wide_text.h"

namespace {

// The module's UTF-8 answer where it gives one: the title as the code page renders it in
// lookupTitle, and whole in lookupWideTitle where the code page cannot carry it; the length in
// milliseconds. False, with nothing changed, where the module gives none.
bool LookUpTexts(const InputPluginRecord* plugin, const char* name)
{
    TunaraFileTexts texts;
    if (!(QueryFileTexts(plugin, name, TUNARA_TEXTS_TITLE, texts) & TUNARA_TEXTS_TITLE)) return false;
    engine.lookupLength = texts.lengthMs;
    try {
        std::wstring wide = WideFromUtf8(texts.displayTitle);
        std::string ansi;
        if (!AnsiCarries(wide, ansi)) engine.lookupWideTitle = std::move(wide);
        CopyBounded(engine.lookupTitle, ansi.c_str());
    } catch (const std::bad_alloc&) {
        engine.lookupWideTitle.clear();
        CopyBounded(engine.lookupTitle, "");
    }
    return true;
}

}  // namespace

char* QueryFileTitle(const char* name)
{
    engine.lookupLength = -1;
    engine.lookupTitle[0] = '\0';
    engine.lookupWideTitle.clear();
    const bool playing = !name || !*name;
    InputPluginRecord* plugin = playing ? engine.currentInputPlugin : FindInputPlugin(name);
    if (!plugin || !plugin->getFileInfo) {
        if (!playing) CopyBounded(engine.lookupTitle, name);
        return engine.lookupTitle;
    }
    if (!LookUpTexts(plugin, playing ? "" : name)) {
        CallPlugin(plugin->getFileInfo, playing ? "" : name, engine.lookupTitle, &engine.lookupLength);
        // Whatever the plugin wrote, the title ends inside the buffer.
        engine.lookupTitle[sizeof(engine.lookupTitle) - 1] = '\0';
    }
    if (engine.lookupLength != -1) engine.lookupLength /= 1000;
    return engine.lookupTitle;
}

char* TidyLookedUpTitle()
{
    try {
        if (!engine.lookupWideTitle.empty()) engine.lookupWideTitle = TidyWideTitle(engine.lookupWideTitle);
    } catch (const std::bad_alloc&) {
        engine.lookupWideTitle.clear();
    }
    return TidyTitle(engine.lookupTitle);
}

void RefreshCurrentTitle()
{
    if (engine.currentIndex < 0 || engine.currentIndex >= engine.entryCount) return;
    QueryFileTitle("");
    TidyLookedUpTitle();
    // The container may have emptied the list from inside the plugin's call.
    if (engine.currentIndex >= engine.entryCount) return;
    // A plugin that knows no title (a file on a web server without tags) leaves the entry's own.
    if (engine.lookupTitle[0] && PlaylistSetTitle(engine.currentIndex, engine.lookupTitle) == 0) {
        KeepWideTitle(engine.currentIndex, engine.lookupWideTitle);
    }
    if (engine.lookupLength != -1) engine.entries[static_cast<size_t>(engine.currentIndex)].length = engine.lookupLength;
}
