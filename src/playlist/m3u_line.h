#pragma once
// What one line of an M3U list is, decided from its text alone (no file, no playlist, no state;
// only the separator after an "#EXTINF:" length depends on the ANSI code page): the header, an
// information line with a length and a title, a comment, or an entry.
#include <stdint.h>

#include <string_view>

enum class M3ULineKind { kHeader, kInfo, kComment, kEntry };

struct M3ULine {
    M3ULineKind kind = M3ULineKind::kComment;
    // kInfo: the length in seconds as atoi reads it (clamped to 32 bits), and the title after the
    // one separator character. A line with nothing after the length's digits carries neither:
    // length -1 and an empty title.
    int32_t length = -1;
    std::string_view title;
    // kEntry: the name, after "ASF " when the line is an "ASF " line (asf set).
    std::string_view name;
    bool asf = false;
};

// Classifies a line given without its line end. The views point into line.
//   "#EXTM3U..." at the very first character: the header.
//   Leading spaces and tabs skipped, "#EXTINF:..." is information; any other text beginning with
//   "#" or CR, and an empty or blank line, is a comment.
//   Anything else is an entry, named by the text after the blanks.
// Whether information counts (only after the header) is the reader's business.
M3ULine ClassifyM3ULine(std::string_view line);
