#include "plugins/plugin_matching.h"

#include <windows.h>

#include <string.h>

#include <string>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "playlist/entry_names.h"
#include "plugins/extension_list.h"
#include "plugins/output_loader.h"
#include "plugins/plugin_call.h"
#include "win/unique_resource.h"

namespace {

constexpr WPARAM kMsgNoInputPlugin = 101;
constexpr char kWaveSubstitute[] = "hi.wav";

bool SameTextIgnoringCase(std::string_view a, const char* b)
{
    return a.size() == strlen(b) && _strnicmp(a.data(), b, a.size()) == 0;
}

InputPluginRecord* ClaimingPlugin(const char* name)
{
    const uint32_t generation = engine.pluginGeneration;
    for (InputPluginRecord* record : engine.inputPlugins) {
        if (!record) break;
        if (record->acceptsFile && CallPlugin(record->acceptsFile, name)) {
            // The container may have unloaded the plugins from inside the call.
            return engine.pluginGeneration == generation ? record : nullptr;
        }
        if (engine.pluginGeneration != generation) return nullptr;
    }
    return nullptr;
}

// Tokens of any length are compared whole, so a long token never matches by its first letters.
InputPluginRecord* PluginListingExtension(const char* extension)
{
    for (InputPluginRecord* record : engine.inputPlugins) {
        if (!record) break;
        bool found = false;
        ForEachExtensionPair(record, [&](std::string_view extensions, std::string_view) {
            found = !ForEachExtensionToken(extensions, [&](std::string_view token) {
                return !SameTextIgnoringCase(token, extension);
            });
            return !found;
        });
        if (found) return record;
    }
    return nullptr;
}

// A RIFF WAVE file: the first 12 bytes read whole, "RIFF" at 0 and "WAVE" at 8.
bool IsWaveFile(const char* name)
{
    UniqueFile file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    char header[12];
    DWORD read = 0;
    if (!ReadFile(file.Get(), header, sizeof(header), &read, nullptr) || read != sizeof(header))
        return false;
    return memcmp(header, "RIFF", 4) == 0 && memcmp(header + 8, "WAVE", 4) == 0;
}

// A substitute lookup does not test content again: a real "hi.wav" file in the current
// directory would otherwise send the "hi.wav" lookup after itself without end.
InputPluginRecord* Match(const char* name, bool substitute)
{
    const char* extension = GetExtension(name);
    InputPluginRecord* record = ClaimingPlugin(name);
    if (!record) record = PluginListingExtension(extension);
    if (!record) {
        if (_stricmp(extension, engine.defaultMatchExtension) == 0) return nullptr;
        if (!substitute && IsWaveFile(name)) return Match(kWaveSubstitute, true);
        std::string fallback = std::string("hi.") + engine.defaultMatchExtension;
        return Match(fallback.c_str(), true);
    }
    if (!record->hostWindow) record->hostWindow = engine.hiddenWindow.Get();
    return record;
}

}  // namespace

InputPluginRecord* FindInputPlugin(const char* name)
{
    return Match(name ? name : "", false);
}

InputPluginRecord* PrepareInputPlugin(const char* name)
{
    InputPluginRecord* record = FindInputPlugin(name);
    if (!record) {
        SendEngineEvent(kMsgNoInputPlugin);
        return nullptr;
    }
    if (!(record->flags & TUNARA_FLAG_USES_OUTPUT_PLUGIN)) {
        record->outputPlugin = nullptr;
        return record;
    }
    OutputPluginRecord* output = FindChosenOutputPlugin();
    if (!output) return nullptr;
    record->outputPlugin = output;
    output->hostWindow = engine.hiddenWindow.Get();
    return record;
}

int32_t QueryExtendedInfo(const char* name, char* title, char* artist, char* album, char* comment,
                          char* year, char* genre, int32_t* bitrate, int32_t* sampleRate,
                          int32_t* stereo, int32_t* vbr)
{
    InputPluginRecord* record = FindInputPlugin(name);
    if (!record || record->version < TUNARA_INPUT_VERSION_EXTENDED || !record->getExtendedInfo) return 0;
    return CallPlugin(record->getExtendedInfo, name, title, artist, album, comment, year, genre, bitrate,
                      sampleRate, stereo, vbr);
}
