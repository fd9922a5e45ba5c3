#include "icy_demux.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "win/ansi_text.h"

namespace {

// An interval beyond this is no interval a server means: the body is taken as audio throughout.
constexpr int32_t kMaxInterval = 1 << 20;
constexpr size_t kProbeBytes = 4;
constexpr char kTitleKey[] = "StreamTitle='";

int32_t SaneInterval(long value) { return value > 0 && value <= kMaxInterval ? static_cast<int32_t>(value) : 0; }

// The value of "name: value" when the line names the header (any case); null otherwise.
const char* HeaderValue(const char* line, size_t length, const char* name)
{
    const size_t n = strlen(name);
    if (length <= n || _strnicmp(line, name, n) != 0 || line[n] != ':') return nullptr;
    const char* value = line + n + 1;
    while (*value == ' ' || *value == '\t') ++value;
    return value;
}

// Whether a body starts with a header block: its status line, or a header line (a name, that is
// letters first). MPEG audio starts with a frame's sync byte, or with an ID3 tag.
bool HeaderBlockStart(const char* start)
{
    const bool letter = (start[0] >= 'A' && start[0] <= 'Z') || (start[0] >= 'a' && start[0] <= 'z');
    return letter && memcmp(start, "ID3", 3) != 0;
}

}  // namespace

void IcyText(const char* text, size_t length, char* dest, size_t size)
{
    wchar_t wide[IcyDemux::kTextBytes];
    const int chars = length > IcyDemux::kTextBytes - 1 ? static_cast<int>(IcyDemux::kTextBytes - 1) : static_cast<int>(length);
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, chars, wide, IcyDemux::kTextBytes - 1);
    if (n <= 0 && chars > 0) n = MultiByteToWideChar(28591, 0, text, chars, wide, IcyDemux::kTextBytes - 1);
    char ansi[2 * IcyDemux::kTextBytes];
    const int bytes = n > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, n, ansi, sizeof ansi - 1, nullptr, nullptr) : 0;
    ansi[bytes > 0 ? bytes : 0] = '\0';
    CopyBounded(dest, size, ansi);
}

void IcyDemux::Reset(int32_t metaInterval)
{
    state_ = State::kProbe;
    metaInterval_ = SaneInterval(metaInterval);
    untilBlock_ = metaInterval_;
    blockLeft_ = 0;
    heldBytes_ = 0;
    title_[0] = station_[0] = '\0';
    kbps_ = 0;
}

int32_t IcyDemux::Feed(const unsigned char* bytes, int32_t count, unsigned char* audio, bool* titleChanged)
{
    int32_t out = 0;
    int32_t i = 0;
    while (i < count) {
        if (state_ == State::kProbe) {
            held_[heldBytes_++] = static_cast<char>(bytes[i++]);
            if (heldBytes_ < kProbeBytes) continue;
            if (HeaderBlockStart(held_)) {
                state_ = State::kHeader;
                continue;
            }
            // Audio from the first byte: the held bytes are its start.
            state_ = State::kAudio;
            const size_t held = heldBytes_;
            heldBytes_ = 0;
            unsigned char start[kProbeBytes];
            memcpy(start, held_, held);
            out += Feed(start, static_cast<int32_t>(held), audio + out, titleChanged);
        } else if (state_ == State::kHeader) {
            held_[heldBytes_++] = static_cast<char>(bytes[i++]);
            const bool blankLine = (heldBytes_ >= 2 && memcmp(held_ + heldBytes_ - 2, "\n\n", 2) == 0) ||
                                   (heldBytes_ >= 4 && memcmp(held_ + heldBytes_ - 4, "\r\n\r\n", 4) == 0);
            if (blankLine || heldBytes_ == sizeof held_) {
                // A block that never ends is dropped whole: what follows is taken as audio.
                size_t from = 0;
                for (size_t at = 0; blankLine && at < heldBytes_; ++at) {
                    if (held_[at] != '\n') continue;
                    size_t end = at;
                    if (end > from && held_[end - 1] == '\r') --end;
                    held_[end] = '\0';
                    ReadHeaderLine(held_ + from, end - from);
                    from = at + 1;
                }
                heldBytes_ = 0;
                untilBlock_ = metaInterval_;
                state_ = State::kAudio;
            }
        } else if (state_ == State::kAudio) {
            int32_t run = count - i;
            if (metaInterval_ > 0 && run > untilBlock_) run = untilBlock_;
            memcpy(audio + out, bytes + i, static_cast<size_t>(run));
            out += run;
            i += run;
            if (metaInterval_ > 0) {
                untilBlock_ -= run;
                if (untilBlock_ == 0) state_ = State::kLength;
            }
        } else if (state_ == State::kLength) {
            blockLeft_ = bytes[i++] * 16;
            heldBytes_ = 0;
            untilBlock_ = metaInterval_;
            state_ = blockLeft_ > 0 ? State::kBlock : State::kAudio;
        } else {
            int32_t run = count - i;
            if (run > blockLeft_) run = blockLeft_;
            memcpy(held_ + heldBytes_, bytes + i, static_cast<size_t>(run));
            heldBytes_ += static_cast<size_t>(run);
            i += run;
            blockLeft_ -= run;
            if (blockLeft_ == 0) {
                ReadBlock(titleChanged);
                heldBytes_ = 0;
                state_ = State::kAudio;
            }
        }
    }
    return out;
}

void IcyDemux::ReadHeaderLine(const char* line, size_t length)
{
    if (const char* value = HeaderValue(line, length, "icy-metaint")) metaInterval_ = SaneInterval(strtol(value, nullptr, 10));
    else if (const char* name = HeaderValue(line, length, "icy-name")) IcyText(name, strlen(name), station_, sizeof station_);
    else if (const char* kbps = HeaderValue(line, length, "icy-br")) kbps_ = static_cast<int32_t>(strtol(kbps, nullptr, 10));
}

void IcyDemux::ReadBlock(bool* titleChanged)
{
    // The longest block (255 times 16 bytes) fits the held bytes with room for a terminator.
    held_[heldBytes_] = '\0';
    const char* start = strstr(held_, kTitleKey);
    if (!start) return;
    start += sizeof kTitleKey - 1;
    // A title may hold apostrophes: it ends at the first "';", else at its last apostrophe.
    const char* end = strstr(start, "';");
    if (!end) end = strrchr(start, '\'');
    if (!end) end = start + strlen(start);
    char title[kTextBytes];
    IcyText(start, static_cast<size_t>(end - start), title, sizeof title);
    if (strcmp(title, title_) == 0) return;
    CopyBounded(title_, title);
    *titleChanged = true;
}
