// The device output's clock, fed with device readings of our own: a radio stream that plays for
// days passes the 32-bit wrap of the device's byte count, and the output time keeps counting.
#include <cstdint>

#include <gtest/gtest.h>

#include "device_clock.h"

namespace {

constexpr int64_t kBytesPerSecond = 176400;  // 44.1 kHz stereo, 16 bits
constexpr uint64_t kWrap = 1ull << 32;

int32_t Ms(uint64_t bytes) { return static_cast<int32_t>(bytes * 1000 / kBytesPerSecond); }

}  // namespace

// Seven hours of a stream read every few minutes: the time goes on past the wrap of the device's
// count (at 6 h 46 min) and past a flush just before another wrap; readings behind the last one
// change nothing; a flush position near the end of 32 bits makes the times stand still at its
// end, never negative.
TEST(DeviceClock, CountsOnAcrossTheDevicesWrap)
{
    DeviceClock clock;
    clock.Open(kBytesPerSecond);
    clock.Restart(0, 0);
    const uint64_t step = 3 * 60 * kBytesPerSecond;  // three minutes
    const uint64_t total = 7 * 3600 * kBytesPerSecond;
    int32_t last = 0;
    for (uint64_t played = step; played <= total; played += step) {
        clock.Wrote(static_cast<int64_t>(step));
        clock.Observe(static_cast<uint32_t>(played));
        const int32_t now = clock.OutputMs();
        ASSERT_EQ(now, Ms(played)) << "after " << played << " bytes";
        ASSERT_GT(now, last);
        last = now;
    }
    EXPECT_GT(total, kWrap);
    EXPECT_EQ(clock.WrittenMs(), Ms(total));
    EXPECT_EQ(clock.OutputMs(), 7 * 3600 * 1000);

    // A reading from before the last one (a device that answers late) leaves the time.
    clock.Observe(static_cast<uint32_t>(total - step));
    EXPECT_EQ(clock.OutputMs(), 7 * 3600 * 1000);

    // Flushed to 1 h while the device's count stands 4 KB before its next wrap.
    const uint32_t before = static_cast<uint32_t>(kWrap - 4096);
    clock.Restart(before, 3600 * 1000);
    EXPECT_EQ(clock.OutputMs(), 3600 * 1000);
    clock.Wrote(kBytesPerSecond);
    clock.Observe(static_cast<uint32_t>(before + kBytesPerSecond));  // past the wrap
    EXPECT_EQ(clock.OutputMs(), 3601 * 1000);
    // Never more than was written.
    clock.Observe(static_cast<uint32_t>(before + 2 * kBytesPerSecond));
    EXPECT_EQ(clock.OutputMs(), 3601 * 1000);

    // A flush to 24 days and 20 hours, then an hour more: held at the end of 32 bits.
    clock.Restart(0, 2146000000);
    clock.Wrote(3600 * kBytesPerSecond);
    clock.Observe(static_cast<uint32_t>(3600 * kBytesPerSecond));
    EXPECT_EQ(clock.WrittenMs(), INT32_MAX);
    EXPECT_EQ(clock.OutputMs(), INT32_MAX);
}
