#include "playlist/m3u_list.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <string>

#include "engine/engine_context.h"
#include "playlist/list_text.h"
#include "playlist/m3u_line.h"
#include "playlist/wide_names.h"
#include "win/unique_resource.h"
#include "win/wide_text.h"

namespace {

// Written text is handed to the file in pieces of about this size.
constexpr size_t kWritePieceSize = 65536;

// A name is written only when its line reads back as that very entry.
bool LineCarriesName(const char* name)
{
    if (std::strpbrk(name, "\r\n")) return false;
    const M3ULine line = ClassifyM3ULine(name);
    return line.kind == M3ULineKind::kEntry && !line.asf && line.name.size() == std::strlen(name);
}

bool WriteText(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

int WriteM3UList(const char* path, bool utf8)
{
    UniqueFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return -1;
    bool written = true;
    try {
        std::string text = "#EXTM3U\r\n";
        for (int32_t i = 0; i < engine.entryCount; ++i) {
            const PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
            if (!LineCarriesName(entry.filename)) continue;
            std::wstring wideName, wideTitle;
            if (utf8 && !EntryWideAnswer(i, wideName, wideTitle)) {
                wideName = WideFromAnsi(entry.filename);
                wideTitle = WideFromAnsi(entry.title);
            }
            const std::string title = utf8 ? OneLineTitle(Utf8FromWide(wideTitle).c_str()) : OneLineTitle(entry.title);
            text += "#EXTINF:" + std::to_string(entry.length) + "," + title + "\r\n";
            text += utf8 ? Utf8FromWide(wideName) : std::string(entry.filename);
            text += "\r\n";
            if (text.size() >= kWritePieceSize) {
                written = WriteText(file.Get(), text) && written;
                text.clear();
            }
        }
        written = WriteText(file.Get(), text) && written;
    } catch (const std::exception&) {
        written = false;
    }
    return written ? 0 : -1;
}
