// Titles from the playing plugin: the empty-name lookup and the refresh of the current entry
// that a start runs, and the volume handed to the playing plugin.
#include <windows.h>

#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "playlist/playlist_append.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_store.h"
#include "playlist/title_lookup.h"
#include "support/bare_control.h"
#include "win/variant.h"

namespace {

std::string askedName;
int32_t handedVolume = -1;

void __cdecl PlayingInfo(const char* name, char* title, int32_t* lengthMs)
{
    askedName = name ? name : "(null)";
    strcpy(title, "Playing_Now%20Live");
    *lengthMs = 61999;
}

void __cdecl RecordVolume(int32_t value) { handedVolume = value; }

class PlayingPlugin : public testing::Test {
protected:
    void SetUp() override
    {
        PlaylistClear();
        record_.getFileInfo = PlayingInfo;
        record_.setVolume = RecordVolume;
        engine.currentInputPlugin = &record_;
        askedName = "not asked";
        handedVolume = -1;
    }
    void TearDown() override
    {
        engine.currentInputPlugin = nullptr;
        PlaylistClear();
    }
    InputPluginRecord record_{};
};

}  // namespace

TEST_F(PlayingPlugin, EmptyNameAsksThePlayingPlugin)
{
    EXPECT_STREQ(QueryFileTitle(""), "Playing_Now%20Live");
    EXPECT_EQ(askedName, "");
    EXPECT_EQ(engine.lookupLength, 61);
    engine.currentInputPlugin = nullptr;
    EXPECT_STREQ(QueryFileTitle(""), "");
    EXPECT_EQ(engine.lookupLength, -1);
}

TEST_F(PlayingPlugin, RefreshReplacesTheListTitleOfTheCurrentEntryOnly)
{
    ASSERT_EQ(PlaylistAppendTitled("http://h/one", "A_B", 5), 0);
    ASSERT_EQ(PlaylistAppendTitled("http://h/two", "C_D", 7), 0);
    PlaylistSetPos(1);
    RefreshCurrentTitle();
    EXPECT_STREQ(engine.entries[0].title, "A_B");  // list titles are never tidied
    EXPECT_EQ(engine.entries[0].length, 5);
    EXPECT_STREQ(engine.entries[1].title, "Playing Now Live");
    EXPECT_EQ(engine.entries[1].length, 61);
}

TEST_F(PlayingPlugin, VolumeGoesWholeToThePluginAndTheEngineKeepsItsLowByte)
{
    BareControl control;
    EXPECT_EQ(control.put_Volume(300), S_OK);
    EXPECT_EQ(handedVolume, 300);
    LONG volume = 0;
    control.get_Volume(&volume);
    EXPECT_EQ(volume, 44);
    engine.currentInputPlugin = nullptr;
    EXPECT_EQ(control.put_Volume(200), S_OK);  // no playing plugin: only the engine keeps it
    EXPECT_EQ(handedVolume, 300);
    EXPECT_EQ(engine.volume, 200);
}

namespace {

int32_t textsAnswer = 0;

// A module's UTF-8 answer: a Cyrillic title with an underscore, and a length.
int32_t __cdecl Utf8Texts(const char* name, int32_t wanted, TunaraFileTexts* texts)
{
    askedName = name ? name : "(null)";
    strcpy(texts->displayTitle, "\xd0\x9f\xd0\xb5\xd1\x81\xd0\xbd\xd1\x8f_\xd0\xbe\xd0\xb4\xd0\xb8\xd0\xbd");
    texts->lengthMs = 125000;
    return textsAnswer & wanted;
}

std::wstring ContainerTitle(BareControl& control, long index)
{
    Variant name, title, length;
    if (control.GetPlaylistItem(index, name.Get(), title.Get(), length.Get()) != S_OK) return L"<failed>";
    return title->bstrVal;
}

}  // namespace

// A module that answers in UTF-8 is asked that way: the entry stores the code page's rendering
// (what third-party code sees) and answers the container the title whole, tidied; a module whose
// export answers nothing is asked through its record, as a module without it.
TEST_F(PlayingPlugin, AModuleThatAnswersInUtf8GivesTheEntryItsTitleWhole)
{
    engine.inputPlugins[0] = &record_;
    engine.inputTexts[0] = Utf8Texts;
    BareControl control;
    ASSERT_EQ(PlaylistAppendTitled("http://h/one", "A_B", 5), 0);
    ASSERT_EQ(PlaylistAppendTitled("http://h/two", "C_D", 7), 0);
    PlaylistSetPos(0);
    textsAnswer = TUNARA_TEXTS_TITLE;
    RefreshCurrentTitle();
    EXPECT_EQ(askedName, "");
    EXPECT_EQ(engine.entries[0].length, 125);
    EXPECT_EQ(ContainerTitle(control, 0), L"\u041f\u0435\u0441\u043d\u044f \u043e\u0434\u0438\u043d");
    if (GetACP() == 1252) {
        EXPECT_STREQ(engine.entries[0].title, "????? ????");
    }

    PlaylistSetPos(1);
    textsAnswer = 0;
    RefreshCurrentTitle();
    EXPECT_STREQ(engine.entries[1].title, "Playing Now Live");
    EXPECT_EQ(engine.entries[1].length, 61);
    EXPECT_EQ(ContainerTitle(control, 1), L"Playing Now Live");
    EXPECT_EQ(ContainerTitle(control, 0), L"\u041f\u0435\u0441\u043d\u044f \u043e\u0434\u0438\u043d");
    engine.inputPlugins[0] = nullptr;
    engine.inputTexts[0] = nullptr;
}
