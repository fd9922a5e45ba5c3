#pragma once
// A fixture for suites that drive the engine's one playlist directly: the store starts and ends
// empty, and entries are appended with plain titles.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "playlist/playlist_store.h"

class PlaylistTest : public testing::Test {
protected:
    void SetUp() override { PlaylistClear(); }
    void TearDown() override { PlaylistClear(); }

    static void Append(const std::string& title, int length = -1)
    {
        std::string name = "C:\\music\\" + title + ".wav";
        ASSERT_EQ(PlaylistAppendRecord(name.c_str(), title.c_str(), length, kPlainEntryVolume,
                                       kNoDurationLimit), 0);
    }

    // Appends entries titled "0", "1", ... "count - 1".
    static void AppendNumbered(int count)
    {
        for (int i = 0; i < count; ++i) Append(std::to_string(i));
    }

    static std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (int i = 0; i < engine.entryCount; ++i) titles.push_back(engine.entries[i].title);
        return titles;
    }

    static std::string CurrentTitle() { return engine.entries[engine.currentIndex].title; }
};
