#include "icy_demux.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "utf8_text.h"
#include "win/ansi_text.h"

namespace {

// An interval beyond this is no interval a server means: the body is taken as audio throughout.
constexpr int32_t kMaxInterval = 1 << 20;
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

// Characters of a header's name (a token).
bool NameByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c != 0 && strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

// Characters of a status line's text or a header's value: no control character but the tab
// (values may be Latin-1 or UTF-8).
bool TextByte(unsigned char c) { return c == '\t' || (c >= 0x20 && c != 0x7F); }

enum class Form { kOpen, kNone, kWhole };

// Whether a body's first count bytes start with a header block: an "ICY" status line or
// "name: value" lines, each ended by CR LF or LF, then a blank line. kOpen while they may still
// be the start of one; kWhole with the block's length in *length.
Form HeaderBlockForm(const unsigned char* bytes, size_t count, size_t* length)
{
    size_t at = 0;
    for (bool first = true;; first = false) {
        if (!first && at < count && (bytes[at] == '\r' || bytes[at] == '\n')) {
            if (bytes[at] == '\r' && ++at == count) return Form::kOpen;
            if (bytes[at] != '\n') return Form::kNone;
            *length = at + 1;
            return Form::kWhole;
        }
        const size_t name = at;
        while (at < count && NameByte(bytes[at])) ++at;
        if (at == count) return Form::kOpen;
        const bool status = first && at - name == 3 && memcmp(bytes + name, "ICY", 3) == 0 && bytes[at] == ' ';
        if (!status && (at == name || bytes[at] != ':')) return Form::kNone;
        ++at;
        while (at < count && TextByte(bytes[at])) ++at;
        if (at < count && bytes[at] == '\r') ++at;
        if (at == count) return Form::kOpen;
        if (bytes[at] != '\n') return Form::kNone;
        ++at;
    }
}

}  // namespace

void IcyText(const char* text, size_t length, char* dest, size_t size)
{
    const size_t bytes = length > IcyDemux::kTextBytes - 1 ? IcyDemux::kTextBytes - 1 : length;
    Utf8FromUnmarked(text, static_cast<int>(bytes), kLatin1, dest, size);
}

void IcyDemux::Reset(int32_t metaInterval)
{
    metaInterval_ = SaneInterval(metaInterval);
    state_ = metaInterval_ > 0 ? State::kAudio : State::kProbe;
    untilBlock_ = metaInterval_;
    blockLeft_ = 0;
    heldBytes_ = 0;
    title_[0] = station_[0] = '\0';
    kbps_ = 0;
    contentType_[0] = '\0';
}

int32_t IcyDemux::Probe(const unsigned char* bytes, int32_t count, unsigned char* audio, int32_t* out)
{
    const size_t before = heldBytes_;
    const size_t taken = static_cast<size_t>(count) < sizeof held_ - before ? static_cast<size_t>(count) : sizeof held_ - before;
    memcpy(held_ + before, bytes, taken);
    heldBytes_ += taken;
    size_t length = 0;
    const Form form = HeaderBlockForm(reinterpret_cast<const unsigned char*>(held_), heldBytes_, &length);
    if (form == Form::kOpen && heldBytes_ < sizeof held_) return count;
    heldBytes_ = 0;
    state_ = State::kAudio;
    if (form == Form::kWhole) {
        // The bytes held before were still open, so the block ends among these.
        ReadHeaderBlock(length);
        untilBlock_ = metaInterval_;
        return static_cast<int32_t>(length - before);
    }
    // Audio from the first byte (or a block too long to be meant): with no interval known, the
    // rest of the body is audio too.
    memcpy(audio, held_, before);
    *out += static_cast<int32_t>(before);
    return 0;
}

int32_t IcyDemux::Feed(const unsigned char* bytes, int32_t count, unsigned char* audio, bool* titleChanged)
{
    int32_t out = 0;
    int32_t i = 0;
    if (state_ == State::kProbe && count > 0) i = Probe(bytes, count, audio, &out);
    while (i < count) {
        if (state_ == State::kAudio) {
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
                bool changed = false;
                ReadBlock(&changed);
                if (changed) {
                    *titleChanged = true;
                    titleOffset_ = out;
                }
                heldBytes_ = 0;
                state_ = State::kAudio;
            }
        }
    }
    return out;
}

void IcyDemux::ReadHeaderBlock(size_t length)
{
    size_t from = 0;
    for (size_t at = 0; at < length; ++at) {
        if (held_[at] != '\n') continue;
        size_t end = at;
        if (end > from && held_[end - 1] == '\r') --end;
        held_[end] = '\0';
        ReadHeaderLine(held_ + from, end - from);
        from = at + 1;
    }
}

void IcyDemux::ReadHeaderLine(const char* line, size_t length)
{
    if (const char* value = HeaderValue(line, length, "icy-metaint")) metaInterval_ = SaneInterval(strtol(value, nullptr, 10));
    else if (const char* name = HeaderValue(line, length, "icy-name")) IcyText(name, strlen(name), station_, sizeof station_);
    else if (const char* kbps = HeaderValue(line, length, "icy-br")) kbps_ = static_cast<int32_t>(strtol(kbps, nullptr, 10));
    else if (const char* type = HeaderValue(line, length, "content-type")) CopyBounded(contentType_, type);
}

void IcyDemux::ReadBlock(bool* titleChanged)
{
    static_assert(255 * 16 < IcyDemux::kHeaderBytes, "the longest block fits the held bytes with a terminator");
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
