// The playlist members as a script host drives them through IDispatch, with an event sink
// connected: adding entries (titles from the input plugins, stored names), reading them back,
// moving the position, deleting, swapping, sorting and shuffling, and bad input.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/dispatch_call.h"
#include "support/plugin_layout.h"
#include "support/recording_sink.h"
#include "win/bstr.h"
#include "win/variant.h"

namespace {

class PlaylistMembers : public testing::Test {
protected:
    void SetUp() override
    {
        // The plugin does not list mp3, the fallback extension: names ending in .mp3 and stream
        // locations find no plugin.
        layout_.AddInput("IN_AUDIO.DLL", {"extensions=MP2;WAV|Audio", "info=song_name|My_Song|215000",
                                          "info=short|Short|999", "info=unknown|Unknown|-1"});
        layout_.AddOutput("OUT_KV.DLL");
        control_ = layout_.CreateControl();
        ASSERT_TRUE(control_);
        dispatch_ = control_.As<IDispatch>(IID_IDispatch);
        cookie_ = ConnectEvents(control_.Get(), &sink_);
        ASSERT_EQ(control_->Initialize(), S_OK);
        log_.clear();
    }
    void TearDown() override
    {
        control_->Deinitialize();
        DisconnectEvents(control_.Get(), cookie_);
    }

    HRESULT Append(const wchar_t* name)
    {
        VARIANT text = DispatchCall::Text(name);
        HRESULT hr = call_.Method(L"AppendFileToPlaylist", {text});
        VariantClear(&text);
        return hr;
    }

    // Entry i as (file name, title, length) read through GetPlaylistItem.
    struct Item {
        std::wstring name, title;
        long length;
    };
    Item ItemAt(long index)
    {
        Variant name, title, length;
        EXPECT_EQ(call_.Method(L"GetPlaylistItem", {DispatchCall::Long(index), DispatchCall::Out(name.Get()),
                                                    DispatchCall::Out(title.Get()), DispatchCall::Out(length.Get())}),
                  S_OK);
        return {name->vt == VT_BSTR ? name->bstrVal : L"<not a string>",
                title->vt == VT_BSTR ? title->bstrVal : L"<not a string>",
                length->vt == VT_I4 ? length->lVal : -9999};
    }

    std::vector<std::wstring> Titles()
    {
        std::vector<std::wstring> titles;
        for (long i = 0, n = call_.GetLong(L"Nb_Playlist_Items"); i < n; ++i) titles.push_back(ItemAt(i).title);
        return titles;
    }

    void AppendTitled(std::initializer_list<const wchar_t*> titles)
    {
        for (const wchar_t* title : titles) ASSERT_EQ(Append((std::wstring(L"http://h/") + title).c_str()), S_OK);
        log_.clear();
    }

    PluginLayout layout_{L"playlist_members"};
    ComPtr<ITunaraXChat2> control_;
    ComPtr<IDispatch> dispatch_;
    DispatchCall call_{nullptr};
    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"sink", log_};
    DWORD cookie_ = 0;

public:
    PlaylistMembers() = default;
};

}  // namespace

TEST_F(PlaylistMembers, TitlesAndLengthsComeFromTheInputPlugin)
{
    call_ = DispatchCall(dispatch_.Get());
    ASSERT_EQ(Append(L"C:\\music\\song_name.mp2"), S_OK);
    ASSERT_EQ(Append(L"C:\\music\\short.wav"), S_OK);
    ASSERT_EQ(Append(L"C:\\music\\unknown.mp2"), S_OK);
    ASSERT_EQ(Append(L"C:\\my_music\\a%20b.mp3"), S_OK);  // no plugin: the tidied name
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 4);

    Item first = ItemAt(0);
    EXPECT_EQ(first.name, L"C:\\music\\song_name.mp2");
    EXPECT_EQ(first.title, L"My Song");
    EXPECT_EQ(first.length, 215);
    EXPECT_EQ(ItemAt(1).length, 0);
    EXPECT_EQ(ItemAt(2).length, -1);
    EXPECT_EQ(ItemAt(3).title, L"C:\\my music\\a b.mp3");
    EXPECT_EQ(ItemAt(3).length, -1);
    EXPECT_TRUE(log_.empty());  // appending fires nothing

    for (long index : {-1L, 4L, 1000000L}) {
        Item none = ItemAt(index);
        EXPECT_EQ(none.name, L"");
        EXPECT_EQ(none.title, L"");
        EXPECT_EQ(none.length, -1);
    }
}

TEST_F(PlaylistMembers, StoredNamesAreFullPathsOrLocationsAsGiven)
{
    call_ = DispatchCall(dispatch_.Get());
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(layout_.Directory().c_str());
    ASSERT_EQ(Append(L"song.mp3"), S_OK);
    SetCurrentDirectoryW(saved);
    ASSERT_EQ(Append(L"http://radio.example:8000/live"), S_OK);
    ASSERT_EQ(Append(L"mms:\\\\server\\stream"), S_OK);
    EXPECT_EQ(ItemAt(0).name, layout_.Directory() + L"\\song.mp3");
    EXPECT_EQ(ItemAt(1).name, L"http://radio.example:8000/live");
    EXPECT_EQ(ItemAt(2).name, L"mms:\\\\server\\stream");
}

TEST_F(PlaylistMembers, BadNamesAddNothingOrAreCut)
{
    call_ = DispatchCall(dispatch_.Get());
    EXPECT_EQ(control_->AppendFileToPlaylist(nullptr), S_FALSE);
    Bstr empty(SysAllocString(L""));
    EXPECT_EQ(control_->AppendFileToPlaylist(empty.Get()), S_FALSE);
    EXPECT_EQ(control_->AppendFilenameWithArgs(nullptr, 50, 1000), S_FALSE);
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 0);

    std::wstring longUrl = L"http://h/" + std::wstring(320, L'x');
    ASSERT_EQ(Append(longUrl.c_str()), S_OK);
    EXPECT_EQ(ItemAt(0).name, longUrl.substr(0, 259));
    std::wstring longPath = L"C:\\" + std::wstring(300, L'y') + L".mp3";
    ASSERT_EQ(Append(longPath.c_str()), S_OK);  // cannot be stored whole: not added
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 1);
    // A list that cannot be opened adds nothing and says nothing.
    Bstr list(SysAllocString(L"C:\\no such folder\\LIST.M3U"));
    EXPECT_EQ(control_->AppendFileToPlaylist(list.Get()), S_OK);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 1);
}

TEST_F(PlaylistMembers, PositionMovesAreClampedAndAnnounced)
{
    call_ = DispatchCall(dispatch_.Get());
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 0);
    AppendTitled({L"a", L"b", L"c"});
    EXPECT_EQ(call_.Put(L"PlaylistPos", DispatchCall::Long(2)), S_OK);
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 2);
    call_.Put(L"PlaylistPos", DispatchCall::Long(99));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 2);
    call_.Put(L"PlaylistPos", DispatchCall::Long(-5));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 0);
    EXPECT_EQ(sink_.MsgIds(), (std::vector<long>{2, 2, 2}));

    call_.Put(L"PlaylistPos", DispatchCall::Long(1));
    Variant name, display;
    ASSERT_EQ(call_.Method(L"GetCurrentPlaylistItem", {DispatchCall::Out(name.Get()), DispatchCall::Out(display.Get())}), S_OK);
    EXPECT_STREQ(name->bstrVal, L"http://h/b");
    EXPECT_STREQ(display->bstrVal, L"2. http://h/b");
}

TEST_F(PlaylistMembers, DeleteKeepsTheCurrentEntryCurrent)
{
    call_ = DispatchCall(dispatch_.Get());
    AppendTitled({L"a", L"b", L"c", L"d", L"e"});
    call_.Put(L"PlaylistPos", DispatchCall::Long(3));
    log_.clear();
    EXPECT_EQ(call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(1)}), S_OK);  // before the current
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 2);
    EXPECT_EQ(ItemAt(2).title, L"http://h/d");
    call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(2)});  // the current one: the next follows
    EXPECT_EQ(ItemAt(call_.GetLong(L"PlaylistPos")).title, L"http://h/e");
    call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(99)});  // past the end: the last one
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"http://h/a", L"http://h/c"}));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 1);
    EXPECT_EQ(sink_.MsgIds(), (std::vector<long>{2, 2, 2}));

    call_.Method(L"ClearPlaylist");
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 0);
    call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(0)});  // empty: nothing, still announced
    EXPECT_EQ(sink_.MsgIds().size(), 4u);
}

TEST_F(PlaylistMembers, SwapMovesThePositionWithTheEntryAndFiresNothing)
{
    call_ = DispatchCall(dispatch_.Get());
    AppendTitled({L"a", L"b", L"c"});
    call_.Method(L"PlaylistSwapItems", {DispatchCall::Long(0), DispatchCall::Long(2)});
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"http://h/c", L"http://h/b", L"http://h/a"}));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 2);
    log_.clear();
    call_.Put(L"PlaylistPos", DispatchCall::Long(0));
    log_.clear();
    call_.Method(L"PlaylistSwapItems", {DispatchCall::Long(0), DispatchCall::Long(7)});
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"http://h/c", L"http://h/b", L"http://h/a"}));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 2);
    EXPECT_TRUE(log_.empty());
}

TEST_F(PlaylistMembers, SortAndRandomizeKeepTheCurrentEntryAndAnnounce)
{
    call_ = DispatchCall(dispatch_.Get());
    AppendTitled({L"b", L"A", L"c"});
    call_.Put(L"PlaylistPos", DispatchCall::Long(0));
    log_.clear();
    EXPECT_EQ(call_.Method(L"PlaylistSort"), S_OK);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"http://h/A", L"http://h/b", L"http://h/c"}));
    EXPECT_EQ(call_.GetLong(L"PlaylistPos"), 1);
    EXPECT_EQ(call_.Method(L"PlaylistRandomize"), S_OK);
    EXPECT_EQ(ItemAt(call_.GetLong(L"PlaylistPos")).title, L"http://h/b");
    std::vector<std::wstring> titles = Titles();
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"http://h/A", L"http://h/b", L"http://h/c"}));
    EXPECT_EQ(sink_.MsgIds(), (std::vector<long>{2, 2}));
}

TEST_F(PlaylistMembers, FileTypesListEverySupportedType)
{
    call_ = DispatchCall(dispatch_.Get());
    Variant types;
    ASSERT_EQ(call_.Method(L"GetFiletypes", {DispatchCall::Out(types.Get())}), S_OK);
    ASSERT_EQ(types->vt, VT_BSTR);
    EXPECT_STREQ(types->bstrVal,
                 L"All supported files|*.M3U;*.M3U8;*.PLS;*.MP2;*.WAV|Playlists|*.M3U;*.M3U8;*.PLS|Audio|*.MP2;*.WAV|"
                 L"All files (*.*)|*.*");
    EXPECT_EQ(control_->GetFiletypes(nullptr), E_POINTER);
}
