#include "playlist/pls_list.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/engine_context.h"
#include "playlist/list_location.h"
#include "playlist/list_text.h"

namespace {

constexpr char kSection[] = "playlist";

struct Key {
    std::string name, value;
};

// The profile functions read a value without its surrounding blanks and without one pair of
// enclosing quotes; a name that they would change, or that holds a line break, is not written.
bool ValueCarriesName(const char* name)
{
    const size_t length = std::strlen(name);
    if (length == 0 || std::strpbrk(name, "\r\n")) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(name[0]) || blank(name[length - 1])) return false;
    const bool quoted = length >= 2 && (name[0] == '"' || name[0] == '\'') && name[length - 1] == name[0];
    return !quoted;
}

// The keys to write, in the order they are written.
std::vector<Key> PlaylistKeys()
{
    std::vector<Key> keys;
    int32_t written = 0;
    for (int32_t i = 0; i < engine.entryCount; ++i) {
        const PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
        if (!ValueCarriesName(entry.filename)) continue;
        const std::string number = std::to_string(++written);
        keys.push_back({"File" + number, entry.filename});
        keys.push_back({"Title" + number, OneLineTitle(entry.title)});
        keys.push_back({"Length" + number, std::to_string(entry.length)});
    }
    keys.push_back({"NumberOfEntries", std::to_string(written)});
    keys.push_back({"Version", "2"});
    return keys;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The section's lines as the profile functions give them, "key=value" each.
std::vector<std::string> SectionLines(const std::string& path)
{
    std::vector<char> text(65536);
    for (;;) {
        const DWORD got = GetPrivateProfileSectionA(kSection, text.data(), static_cast<DWORD>(text.size()), path.c_str());
        if (got + 2 < text.size()) break;
        text.resize(text.size() * 2);
    }
    std::vector<std::string> lines;
    for (const char* line = text.data(); *line; line += std::strlen(line) + 1) lines.emplace_back(line);
    return lines;
}

}  // namespace

// Setting every key on its own would rewrite the whole file once per key, a time that grows with
// the square of the list's length. The section is therefore read once and written once, with
// the same result as key by key: a key already in the section gets its new value where it stands
// (the first one of its name, as the profile functions find it), the other keys follow at the
// section's end in writing order, and everything else in the file stays.
void WritePLSList(const char* path)
{
    try {
        const std::string fullPath = ListFullPath(path);
        const std::vector<Key> keys = PlaylistKeys();
        std::unordered_map<std::string, size_t> wanted;
        for (size_t i = 0; i < keys.size(); ++i) wanted.emplace(LowerAscii(keys[i].name), i);
        std::vector<bool> placed(keys.size(), false);

        std::string section;
        for (const std::string& line : SectionLines(fullPath)) {
            const std::string name = line.substr(0, line.find('='));
            const auto found = wanted.find(LowerAscii(name));
            if (found != wanted.end() && !placed[found->second]) {
                placed[found->second] = true;
                section += name + "=" + keys[found->second].value;
            } else {
                section += line;
            }
            section += '\0';
        }
        for (size_t i = 0; i < keys.size(); ++i) {
            if (!placed[i]) section += keys[i].name + "=" + keys[i].value + '\0';
        }
        section += '\0';
        WritePrivateProfileSectionA(kSection, section.data(), fullPath.c_str());
    } catch (const std::exception&) {
        // Out of memory for the section's text: the file stays as it was.
    }
}
