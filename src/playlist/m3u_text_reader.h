#pragma once
// Reads the text of an M3U list, handed over in pieces of any size, whole line by whole line:
// the header, the pending information of "#EXTINF:" lines, and the entries it appends to the
// playlist. The text is in the ANSI code page, or UTF-8. Lines end in LF or CR LF; the last line needs no line end. However the text is cut
// into pieces, the same lines are read.
#include <stdint.h>

#include <string>
#include <string_view>

#include "playlist/list_entry.h"

class M3UTextReader {
public:
    // utf8: the text is UTF-8 (an .m3u8 list); a byte-order mark at the start makes it so too.
    M3UTextReader(ListOrigin origin, bool utf8) : origin_(origin), utf8_(utf8) {}
    // Reads every line that the piece completes; keeps the unfinished rest for the next piece.
    // May throw std::bad_alloc while keeping a very long unfinished line.
    void Feed(std::string_view piece);
    // Reads the last line, which has no line end.
    void Finish();
    // The number of entries appended so far.
    int32_t Added() const { return added_; }

private:
    void ReadLine(std::string_view line);
    bool AppendEntry(std::string_view name);
    void ClearPending();

    ListOrigin origin_;
    bool utf8_;
    std::string unfinished_;
    bool firstLine_ = true;
    bool headerSeen_ = false;
    char pendingTitle_[kListTitleSize] = "";
    std::wstring pendingWideTitle_;  // of a UTF-8 list
    int32_t pendingLength_ = -1;
    int32_t added_ = 0;
};
