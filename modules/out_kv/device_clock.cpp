#include "device_clock.h"

void DeviceClock::Restart(uint32_t reading, int32_t baseMs)
{
    position_ = reading;
    restartedAt_ = reading;
    writtenBytes_ = 0;
    baseMs_ = baseMs;
}

void DeviceClock::Observe(uint32_t reading)
{
    // The step from the last reading, modulo 2^32, whether or not the count wrapped in between; a
    // step of half the range or more is a reading behind the last one, which leaves it.
    const uint32_t step = reading - static_cast<uint32_t>(position_);
    if (step < 0x80000000u) position_ += step;
}

int64_t DeviceClock::HeardBytes() const
{
    const uint64_t heard = position_ - restartedAt_;
    return heard < static_cast<uint64_t>(writtenBytes_) ? static_cast<int64_t>(heard) : writtenBytes_;
}

int32_t DeviceClock::ToMs(int64_t bytes) const
{
    const int64_t ms = baseMs_ + bytes / bytesPerSecond_ * 1000 + bytes % bytesPerSecond_ * 1000 / bytesPerSecond_;
    return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
}
