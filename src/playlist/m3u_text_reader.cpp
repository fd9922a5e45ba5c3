#include "playlist/m3u_text_reader.h"

#include "playlist/list_entry.h"
#include "playlist/m3u_line.h"
#include "playlist/wide_names.h"
#include "win/ansi_text.h"
#include "win/wide_text.h"

namespace {

// Lists saved as UTF-8 by other programs may begin with a byte-order mark: it is dropped, and
// the text read as UTF-8.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// "C:\..." : a name that a fetched list may add.
bool IsDrivePath(const std::wstring& name)
{
    return name.size() >= 3 && ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z')) &&
           name[1] == L':' && name[2] == L'\\';
}

}  // namespace

void M3UTextReader::Feed(std::string_view piece)
{
    for (size_t end; (end = piece.find('\n')) != std::string_view::npos; piece.remove_prefix(end + 1)) {
        std::string_view line = piece.substr(0, end);
        if (!unfinished_.empty()) {
            unfinished_.append(line);
            line = unfinished_;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ReadLine(line);
        unfinished_.clear();
    }
    unfinished_.append(piece);
}

void M3UTextReader::Finish()
{
    if (!unfinished_.empty()) ReadLine(unfinished_);
    unfinished_.clear();
}

void M3UTextReader::ReadLine(std::string_view line)
{
    if (firstLine_ && line.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        line.remove_prefix(kUtf8ByteOrderMark.size());
        utf8_ = true;
    }
    firstLine_ = false;

    const M3ULine parsed = ClassifyM3ULine(line);
    switch (parsed.kind) {
    case M3ULineKind::kHeader:
        headerSeen_ = true;
        return;
    case M3ULineKind::kInfo:
        if (!headerSeen_) break;
        if (utf8_) {
            pendingWideTitle_ = WideFromUtf8(parsed.title);
            CopyBounded(pendingTitle_, AnsiFromWide(pendingWideTitle_).c_str());
        } else {
            CopyBounded(pendingTitle_, std::string(parsed.title).c_str());
        }
        pendingLength_ = parsed.length;
        return;
    case M3ULineKind::kComment:
        break;
    case M3ULineKind::kEntry:
        // A rejected entry drops the information that was meant for it.
        if (AppendEntry(parsed.name)) ++added_;
        break;
    }
    ClearPending();
}

bool M3UTextReader::AppendEntry(std::string_view name)
{
    if (!utf8_) return AppendListEntry(name, pendingTitle_, pendingLength_, origin_);
    // A name the code page cannot carry goes by its short name; a fetched list's relative names
    // are left to the rule that refuses them.
    const std::wstring given = WideFromUtf8(name);
    std::wstring wide;
    const std::string stored = origin_ == ListOrigin::kLocal || IsDrivePath(given)
                                   ? StoredNameFor(given.c_str(), given.size(), wide)
                                   : AnsiFromWide(given);
    if (!AppendListEntry(stored, pendingTitle_, pendingLength_, origin_)) return false;
    // The wide title is kept only where the stored one does not carry it.
    const bool carried = WideFromAnsi(pendingTitle_) == pendingWideTitle_;
    KeepWideTextOfLastEntry(wide, carried ? std::wstring() : pendingWideTitle_);
    return true;
}

void M3UTextReader::ClearPending()
{
    pendingWideTitle_.clear();
    pendingTitle_[0] = '\0';
    pendingLength_ = -1;
}
