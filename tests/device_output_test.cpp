// out_kv.dll against a real wave device: the suite runs in a Wine prefix whose only device is the
// ALSA "null" device (scripts/wine_prefix.sh PREFIX sound), which plays faster than real time, so
// nothing here measures time; it checks that each call does its part. Where no device opens, the
// suite says so and skips.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "tunara_plugin.h"
#include "win/library_loading.h"
#include "win/unique_resource.h"

namespace {

bool WaitFor(const OutputPluginRecord* out, bool playing, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while ((out->isPlaying() != 0) != playing) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

TEST(DeviceOutput, OpensWritesDrainsPausesAndCloses)
{
    if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "this Wine prefix offers no wave output device";
    UniqueModule module(LoadLibraryW((ExeDirectory() + L"\\Plugins\\out_kv.dll").c_str()));
    ASSERT_TRUE(module.Get());
    auto get = reinterpret_cast<TunaraGetOutModuleFn>(reinterpret_cast<void*>(ModuleExport(module, "tunaraGetOutModule")));
    ASSERT_TRUE(get);
    OutputPluginRecord* out = get();
    ASSERT_TRUE(out);
    ASSERT_EQ(out->version, TUNARA_OUTPUT_VERSION);
    out->init();
    if (out->open(44100, 2, 16, -1, -1) < 0) {
        out->quit();
        GTEST_SKIP() << "the wave device did not open for 44100 Hz, stereo, 16 bits";
    }
    EXPECT_EQ(out->getOutputTime(), 0);
    EXPECT_EQ(out->isPlaying(), 0);

    // Two seconds of a quiet square wave, written as fast as the device takes it.
    std::vector<short> second(44100 * 2);
    for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<short>((i / 100) % 2 ? 1000 : -1000);
    const int32_t total = static_cast<int32_t>(second.size() * sizeof(short)) * 2;
    int32_t written = 0;
    const DWORD start = GetTickCount();
    while (written < total && GetTickCount() - start < 20000) {
        int32_t room = out->canWrite();
        if (room > total - written) room = total - written;
        room -= room % 4;
        if (room <= 0) {
            Sleep(5);
            continue;
        }
        const char* data = reinterpret_cast<const char*>(second.data()) + written % (second.size() * sizeof(short));
        int32_t part = room;
        const int32_t toWrap = static_cast<int32_t>(second.size() * sizeof(short)) - written % static_cast<int32_t>(second.size() * sizeof(short));
        if (part > toWrap) part = toWrap;
        ASSERT_EQ(out->write(data, part), 0);
        written += part;
    }
    ASSERT_EQ(written, total) << "the device stopped taking data";
    EXPECT_EQ(out->getWrittenTime(), 2000);
    ASSERT_TRUE(WaitFor(out, false, 20000)) << "the device never drained";
    EXPECT_EQ(out->getOutputTime(), 2000);

    // Paused: nothing more is taken; resumed: it is.
    out->flush(5000);
    EXPECT_EQ(out->getOutputTime(), 5000);
    EXPECT_EQ(out->pause(1), 0);
    EXPECT_EQ(out->canWrite(), 0);
    EXPECT_EQ(out->pause(0), 1);
    EXPECT_GT(out->canWrite(), 0);
    ASSERT_EQ(out->write(reinterpret_cast<const char*>(second.data()), 44100), 0);
    EXPECT_EQ(out->getWrittenTime(), 5250);
    ASSERT_TRUE(WaitFor(out, false, 10000));
    EXPECT_EQ(out->getOutputTime(), 5250);
    out->close();
    EXPECT_NE(out->write(reinterpret_cast<const char*>(second.data()), 4), 0) << "write after close";
    out->quit();
}
