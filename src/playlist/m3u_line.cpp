#include "playlist/m3u_line.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kInfo = "#EXTINF:";
constexpr std::string_view kAsf = "ASF ";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool IsAtoiSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The value atoi gives: leading white space and one sign allowed, digits up to the first other
// character, 0 without digits. Out-of-range values stop at the 32-bit limits, as strtol's do.
int32_t AtoiValue(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && IsAtoiSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    int64_t value = 0;
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : INT32_MAX;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The text after "#EXTINF:". The separator is one whole character: a double-byte character in
// that place is skipped whole, so the title never starts with a trail byte.
M3ULine Information(std::string_view text)
{
    M3ULine line;
    line.kind = M3ULineKind::kInfo;
    size_t run = text.find_first_not_of("0123456789-");
    if (run == std::string_view::npos) return line;
    line.length = AtoiValue(text);
    size_t separator = IsDBCSLeadByte(static_cast<BYTE>(text[run])) ? 2 : 1;
    line.title = text.substr(std::min(run + separator, text.size()));
    return line;
}

}  // namespace

M3ULine ClassifyM3ULine(std::string_view line)
{
    M3ULine result;
    if (StartsWith(line, kHeader)) {
        result.kind = M3ULineKind::kHeader;
        return result;
    }
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return result;
    std::string_view rest = line.substr(start);
    if (rest[0] == '#' || rest[0] == '\r') {
        return StartsWith(rest, kInfo) ? Information(rest.substr(kInfo.size())) : result;
    }
    result.kind = M3ULineKind::kEntry;
    result.asf = StartsWith(rest, kAsf) && rest.size() > kAsf.size();
    result.name = result.asf ? rest.substr(kAsf.size()) : rest;
    return result;
}
