#pragma once
// The device output's times. The platform reports the play position as a 32-bit byte count,
// which wraps after 4 GiB (about 6 hours 46 minutes of 44.1 kHz stereo at 16 bits): a radio
// stream in a chat client runs for days. Each reading is taken as the nearest count at or after
// the previous one with the same low 32 bits, so the position stays right as long as it is read
// at least once per 2 GiB played (the output reads it whenever the input asks for room); a
// reading behind the last one changes nothing. Times handed
// out in milliseconds stay within 32 bits: at the end of the range they stand still instead of
// turning negative. Called under the output's lock.
#include <stdint.h>

class DeviceClock {
public:
    // At open: the stream's bytes per second (positive).
    void Open(int64_t bytesPerSecond) { bytesPerSecond_ = bytesPerSecond; }
    // At open and flush, once the device was reset: its reading then, and the position in
    // milliseconds that the next byte written plays at.
    void Restart(uint32_t reading, int32_t baseMs);
    void Wrote(int64_t bytes) { writtenBytes_ += bytes; }
    // A reading of the device's position (in bytes since its open or last reset).
    void Observe(uint32_t reading);

    // What the listener has heard, counted from the last restart; never more than was written.
    int64_t HeardBytes() const;
    int32_t OutputMs() const { return ToMs(HeardBytes()); }
    int32_t WrittenMs() const { return ToMs(writtenBytes_); }
    int32_t BaseMs() const { return baseMs_; }

private:
    int32_t ToMs(int64_t bytes) const;

    int64_t bytesPerSecond_ = 176400;
    int64_t writtenBytes_ = 0;  // since the last restart
    uint64_t position_ = 0;     // the device's readings, extended past each wrap
    uint64_t restartedAt_ = 0;  // position_ at the last restart
    int32_t baseMs_ = 0;
};
