#include "playlist/title_lookup.h"

#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "win/ansi_text.h"
#include "plugins/plugin_call.h"
#include "plugins/plugin_matching.h"

char* QueryFileTitle(const char* name)
{
    engine.lookupLength = -1;
    engine.lookupTitle[0] = '\0';
    const bool playing = !name || !*name;
    InputPluginRecord* plugin = playing ? engine.currentInputPlugin : FindInputPlugin(name);
    if (!plugin || !plugin->getFileInfo) {
        if (!playing) CopyBounded(engine.lookupTitle, name);
        return engine.lookupTitle;
    }
    CallPlugin(plugin->getFileInfo, playing ? "" : name, engine.lookupTitle, &engine.lookupLength);
    // Whatever the plugin wrote, the title ends inside the buffer.
    engine.lookupTitle[sizeof(engine.lookupTitle) - 1] = '\0';
    if (engine.lookupLength != -1) engine.lookupLength /= 1000;
    return engine.lookupTitle;
}

void RefreshCurrentTitle()
{
    if (engine.currentIndex < 0 || engine.currentIndex >= engine.entryCount) return;
    TidyTitle(QueryFileTitle(""));
    // The container may have emptied the list from inside the plugin's call.
    if (engine.currentIndex >= engine.entryCount) return;
    PlaylistEntry& entry = engine.entries[engine.currentIndex];
    // A plugin that knows no title (a file on a web server without tags) leaves the entry's own.
    if (engine.lookupTitle[0]) CopyBounded(entry.title, engine.lookupTitle);
    if (engine.lookupLength != -1) entry.length = engine.lookupLength;
}
