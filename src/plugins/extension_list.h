#pragma once
// Reading an input plugin's extension list: pairs of texts, an extension string such as
// "MP3;MP2" and a description, ended by an empty extension string. A pair with an empty
// description is the last one read.
#include <string_view>

#include "tunara_plugin.h"

// Calls visit(extensions, description) for each pair in order; visit returns false to stop.
template <typename Visit>
void ForEachExtensionPair(const InputPluginRecord* record, Visit visit)
{
    const char* cursor = record ? record->extensionList : nullptr;
    if (!cursor) return;
    while (*cursor) {
        std::string_view extensions(cursor);
        std::string_view description(cursor + extensions.size() + 1);
        if (!visit(extensions, description) || description.empty()) return;
        cursor = description.data() + description.size() + 1;
    }
}

// Calls visit(token) for each ';'-separated, non-empty token; visit returns false to stop.
// Returns false when visit stopped the walk.
template <typename Visit>
bool ForEachExtensionToken(std::string_view extensions, Visit visit)
{
    while (!extensions.empty()) {
        size_t end = extensions.find(';');
        std::string_view token = extensions.substr(0, end);
        if (!token.empty() && !visit(token)) return false;
        if (end == std::string_view::npos) break;
        extensions.remove_prefix(end + 1);
    }
    return true;
}
