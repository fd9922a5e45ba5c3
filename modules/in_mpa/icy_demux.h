#pragma once
// Internet radio's in-band metadata taken out of a stream's body. A server that was asked for it
// ("Icy-MetaData: 1") and announces an interval ("icy-metaint") puts a block after every that
// many audio bytes: one length byte (times 16), then text such as "StreamTitle='...';", padded
// with zeros. A server that answers with an "ICY 200 OK" status line may reach the reader with its
// header lines (after that status line or without it) as the start of the body: that block is
// read here for the interval, the station's name and the bitrate. Used by one thread at a time.
#include <stddef.h>
#include <stdint.h>

class IcyDemux {
public:
    static constexpr size_t kTextBytes = 256;

    // A new stream; metaInterval from the answer's headers, 0 when they announced none.
    void Reset(int32_t metaInterval);
    // Splits received bytes: the audio among them goes to audio, which must have room for count +
    // 3 bytes (the first bytes of a body are held until it is clear whether a header block starts
    // it); the audio bytes written. Sets *titleChanged when a block brought a new stream title.
    int32_t Feed(const unsigned char* bytes, int32_t count, unsigned char* audio, bool* titleChanged);

    // In the ANSI code page; empty when none came.
    const char* Title() const { return title_; }
    const char* Station() const { return station_; }
    int32_t Kbps() const { return kbps_; }

private:
    enum class State { kProbe, kHeader, kAudio, kLength, kBlock };

    void ReadHeaderLine(const char* line, size_t length);
    void ReadBlock(bool* titleChanged);

    State state_ = State::kProbe;
    int32_t metaInterval_ = 0;
    int32_t untilBlock_ = 0;  // audio bytes before the next block
    int32_t blockLeft_ = 0;
    // The start of the body while probing, the header block, or one metadata block.
    char held_[4096];
    size_t heldBytes_ = 0;
    char title_[kTextBytes] = "";
    char station_[kTextBytes] = "";
    int32_t kbps_ = 0;
};

// The text of a metadata or header value, UTF-8 when it is valid UTF-8 and Latin-1 otherwise, in
// the ANSI code page into dest (cut on a character boundary).
void IcyText(const char* text, size_t length, char* dest, size_t size);
