#pragma once
// Internet radio's in-band metadata taken out of a stream's body. A server that was asked for it
// ("Icy-MetaData: 1") and announces an interval ("icy-metaint") puts a block after every that
// many audio bytes: one length byte (times 16), then text such as "StreamTitle='...';", padded
// with zeros. A server that answers with an "ICY 200 OK" status line may reach the reader with its
// header lines (after that status line or without it) as the start of the body, since the
// platform then knows none of them: where the answer's headers announced no interval, such a
// block is read here for the interval, the station's name and the bitrate. It is known by its
// form (an "ICY" status line or "name: value" lines, ended by a blank line), as audio joined
// anywhere in a frame may start with any byte. Used by one thread at a time.
#include <stddef.h>
#include <stdint.h>

class IcyDemux {
public:
    static constexpr size_t kTextBytes = 256;
    // The longest header block read. While no interval is known, the start of a body is held
    // until it is clear whether such a block starts it: a start that still has a header block's
    // form at this length is audio after all.
    static constexpr int32_t kHeaderBytes = 4096;

    // A new stream; metaInterval from the answer's headers, 0 when they announced none. With an
    // interval the body is audio from its first byte.
    void Reset(int32_t metaInterval);
    // Splits received bytes: the audio among them goes to audio, which must have room for count +
    // kHeaderBytes bytes (the held start of a body comes out with them); the audio bytes written.
    // Sets *titleChanged when a block brought a new stream title. A body that ends while its start
    // is held ends without audio.
    int32_t Feed(const unsigned char* bytes, int32_t count, unsigned char* audio, bool* titleChanged);

    // In the ANSI code page; empty when none came.
    const char* Title() const { return title_; }
    // After a Feed that set *titleChanged: how many of the audio bytes it wrote came before the
    // new title (the rest are the audio the title names).
    int32_t TitleOffset() const { return titleOffset_; }
    const char* Station() const { return station_; }
    int32_t Kbps() const { return kbps_; }
    // The header block's Content-Type, as sent; empty when none came.
    const char* ContentType() const { return contentType_; }

private:
    enum class State { kProbe, kAudio, kLength, kBlock };

    // Holds a body's first bytes while they may be a header block's start. Once they are not, the
    // bytes held before these go to audio and the answer is 0 (all of bytes are audio); after a
    // whole block it is where in bytes the body goes on; count while all of them are held.
    int32_t Probe(const unsigned char* bytes, int32_t count, unsigned char* audio, int32_t* out);
    void ReadHeaderBlock(size_t length);
    void ReadHeaderLine(const char* line, size_t length);
    void ReadBlock(bool* titleChanged);

    State state_ = State::kProbe;
    int32_t metaInterval_ = 0;
    int32_t untilBlock_ = 0;  // audio bytes before the next block
    int32_t blockLeft_ = 0;
    // The start of the body while probing (a header block or its first part), or one metadata
    // block.
    char held_[kHeaderBytes];
    size_t heldBytes_ = 0;
    char title_[kTextBytes] = "";
    char station_[kTextBytes] = "";
    int32_t kbps_ = 0;
    char contentType_[kTextBytes] = "";
    int32_t titleOffset_ = 0;
};

// The text of a metadata or header value, UTF-8 when it is valid UTF-8 and Latin-1 otherwise, in
// UTF-8 into dest (cut on a character boundary).
void IcyText(const char* text, size_t length, char* dest, size_t size);
