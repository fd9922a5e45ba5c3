#include "plugins/file_type_list.h"

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/engine_context.h"
#include "playlist/resource_strings.h"
#include "playlist/string_ids.h"
#include "plugins/extension_list.h"

namespace {

constexpr char kPlaylistPatterns[] = "*.M3U;*.M3U8;*.PLS";
constexpr char kAllFilesDescription[] = "All files (*.*)";
constexpr char kAllFilesPattern[] = "*.*";

using FilterPair = std::pair<std::string, std::string>;

// Every extension of every loaded plugin, after the playlist patterns.
std::string CombinedPattern()
{
    std::string pattern = kPlaylistPatterns;
    for (InputPluginRecord* record : engine.inputPlugins) {
        if (!record) break;
        ForEachExtensionPair(record, [&](std::string_view extensions, std::string_view) {
            ForEachExtensionToken(extensions, [&](std::string_view token) {
                pattern.append(";*.").append(token);
                return true;
            });
            return true;
        });
    }
    return pattern;
}

// One pair per described file type of every loaded plugin.
void AppendPluginPairs(std::vector<FilterPair>& pairs)
{
    for (InputPluginRecord* record : engine.inputPlugins) {
        if (!record) break;
        ForEachExtensionPair(record, [&](std::string_view extensions, std::string_view description) {
            if (description.empty()) return false;
            std::string pattern;
            ForEachExtensionToken(extensions, [&](std::string_view token) {
                pattern.append(pattern.empty() ? "*." : ";*.").append(token);
                return true;
            });
            pairs.emplace_back(std::string(description), pattern);
            return true;
        });
    }
}

std::string StringResource(unsigned id)
{
    char text[kResourceStringSize];
    return LoadResString(id, text, sizeof(text));
}

// Writes the pairs into the fixed buffer. The closing "All files" pair always fits: a pair that
// would crowd it out is left off with every pair after it, and an overlong pattern is cut after
// its last whole ";*.ext".
void WritePairs(const std::vector<FilterPair>& pairs)
{
    char* out = engine.fileTypeList;
    const size_t closing = sizeof(kAllFilesDescription) + sizeof(kAllFilesPattern) + 1;
    size_t room = sizeof(engine.fileTypeList) - closing;
    auto put = [&](const std::string& text) {
        memcpy(out, text.c_str(), text.size() + 1);
        out += text.size() + 1;
        room -= text.size() + 1;
    };
    for (const FilterPair& pair : pairs) {
        std::string pattern = pair.second;
        const size_t descriptionSize = pair.first.size() + 1;
        if (descriptionSize + pattern.size() + 1 > room) {
            if (descriptionSize + 1 > room) break;
            pattern.resize(room - descriptionSize - 1);
            pattern.resize(pattern.rfind(';') == std::string::npos ? 0 : pattern.rfind(';'));
            if (pattern.empty()) break;
        }
        put(pair.first);
        put(pattern);
    }
    memcpy(out, kAllFilesDescription, sizeof(kAllFilesDescription));
    out += sizeof(kAllFilesDescription);
    memcpy(out, kAllFilesPattern, sizeof(kAllFilesPattern));
    out += sizeof(kAllFilesPattern);
    *out = '\0';
}

}  // namespace

const char* BuildFileTypeList()
{
    std::vector<FilterPair> pairs;
    pairs.emplace_back(StringResource(IDS_ALL_SUPPORTED_FILES), CombinedPattern());
    pairs.emplace_back(StringResource(IDS_PLAYLIST_FILES), kPlaylistPatterns);
    AppendPluginPairs(pairs);
    WritePairs(pairs);
    return engine.fileTypeList;
}
