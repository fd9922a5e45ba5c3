#include "playlist/m3u_text_reader.h"

#include "playlist/list_entry.h"
#include "playlist/m3u_line.h"
#include "win/ansi_text.h"

namespace {

// Lists saved as UTF-8 by other programs may begin with a byte-order mark; it is dropped so that
// a "#EXTM3U" behind it is seen. The text itself is taken as ANSI bytes either way.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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
    if (firstLine_ && line.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        line.remove_prefix(kUtf8ByteOrderMark.size());
    firstLine_ = false;

    const M3ULine parsed = ClassifyM3ULine(line);
    switch (parsed.kind) {
    case M3ULineKind::kHeader:
        headerSeen_ = true;
        return;
    case M3ULineKind::kInfo:
        if (!headerSeen_) break;
        CopyBounded(pendingTitle_, std::string(parsed.title).c_str());
        pendingLength_ = parsed.length;
        return;
    case M3ULineKind::kComment:
        break;
    case M3ULineKind::kEntry:
        // A rejected entry drops the information that was meant for it.
        if (AppendListEntry(parsed.name, pendingTitle_, pendingLength_, origin_)) ++added_;
        break;
    }
    ClearPending();
}

void M3UTextReader::ClearPending()
{
    pendingTitle_[0] = '\0';
    pendingLength_ = -1;
}
