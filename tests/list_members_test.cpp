// The list members as a container drives them, through IDispatch and the interface's own table,
// with an event sink connected: lists read by extension or by member, the events 105 and 106
// delivered before the member returns, the current directory left at the list's folder,
// SavePlaylist by extension, and round trips through both formats.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/dispatch_call.h"
#include "support/list_files.h"
#include "support/plugin_layout.h"
#include "support/recording_sink.h"
#include "win/bstr.h"
#include "win/variant.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class ListMembers : public testing::Test {
protected:
    void SetUp() override
    {
        layout_.AddInput("IN_AUDIO.DLL", {"extensions=MP2;WAV|Audio", "info=song_name|My_Song|215000"});
        layout_.AddOutput("OUT_KV.DLL");
        control_ = layout_.CreateControl();
        ASSERT_TRUE(control_);
        dispatch_ = control_.As<IDispatch>(IID_IDispatch);
        call_ = DispatchCall(dispatch_.Get());
        cookie_ = ConnectEvents(control_.Get(), &sink_);
        ASSERT_EQ(control_->Initialize(), S_OK);
        log_.clear();
    }
    void TearDown() override
    {
        control_->Deinitialize();
        DisconnectEvents(control_.Get(), cookie_);
    }

    HRESULT Call(const wchar_t* member, const std::string& name)
    {
        VARIANT text = DispatchCall::Text(Wide(name).c_str());
        HRESULT hr = call_.Method(member, {text});
        VariantClear(&text);
        return hr;
    }
    HRESULT Append(const std::string& name) { return Call(L"AppendFileToPlaylist", name); }
    // Appends through IDispatch and returns the events the call delivered before it returned.
    std::vector<long> EventsOf(const wchar_t* member, const std::string& name)
    {
        log_.clear();
        EXPECT_EQ(Call(member, name), S_OK) << name;
        return sink_.MsgIds();
    }

    struct Item {
        std::wstring name, title;
        long length;
        bool operator==(const Item& o) const { return name == o.name && title == o.title && length == o.length; }
        friend void PrintTo(const Item& item, std::ostream* out)
        {
            *out << "{" << testing::PrintToString(item.name) << " | " << testing::PrintToString(item.title) << " | "
                 << item.length << "}";
        }
    };
    std::vector<Item> Items()
    {
        std::vector<Item> items;
        for (long i = 0, n = call_.GetLong(L"Nb_Playlist_Items"); i < n; ++i) {
            Variant name, title, length;
            call_.Method(L"GetPlaylistItem", {DispatchCall::Long(i), DispatchCall::Out(name.Get()),
                                              DispatchCall::Out(title.Get()), DispatchCall::Out(length.Get())});
            items.push_back({name->bstrVal, title->bstrVal, length->lVal});
        }
        return items;
    }
    std::wstring Full(const std::string& relative) { return Wide(folder_.Path() + "\\" + relative); }

    CurrentDirectoryGuard directory_;
    ScratchFolder folder_{"list-members"};
    PluginLayout layout_{L"list_members"};
    ComPtr<ITunaraXChat2> control_;
    ComPtr<IDispatch> dispatch_;
    DispatchCall call_{nullptr};
    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"sink", log_};
    DWORD cookie_ = 0;
};

}  // namespace

TEST_F(ListMembers, ListsAreReadByExtensionOrByMemberAndReportThroughEvents)
{
    folder_.Touch("song_name.mp2");
    folder_.Touch("other.mp3");
    folder_.Write("sub\\LIST.M3U", "#EXTM3U\r\n#EXTINF:12,Given, with comma\r\n..\\other.mp3\r\n..\\song_name.mp2\r\n");
    folder_.Write("list.txt", "[playlist]\r\nNumberOfEntries=1\r\nFile1=other.mp3\r\n");
    folder_.Write("m3u.txt", "http://h/from-txt\r\n");
    folder_.Write("empty.m3u", "");
    folder_.Write("useless.m3u", "#EXTM3U\r\nmissing.mp3\r\n");
    folder_.Write("zero.pls", "[playlist]\r\nNumberOfEntries=0\r\n");
    folder_.Write("useless.pls", "[playlist]\r\nNumberOfEntries=1\r\nFile1=missing.mp3\r\n");

    EXPECT_TRUE(EventsOf(L"AppendFileToPlaylist", folder_.Path() + "\\sub\\LIST.M3U").empty());
    EXPECT_EQ(CurrentDirectory(), folder_.Path() + "\\sub");
    EXPECT_TRUE(EventsOf(L"AppendPLSToPlaylist", "..\\list.txt").empty());  // relative to sub
    EXPECT_EQ(CurrentDirectory(), folder_.Path());
    EXPECT_TRUE(EventsOf(L"AppendM3UToPlaylist", "m3u.txt").empty());
    EXPECT_TRUE(EventsOf(L"AppendFileToPlaylist", folder_.Path() + "\\absent.m3u8").empty());  // a list: missing, silent
    const std::vector<Item> expected{{Full("other.mp3"), L"Given, with comma", 12},
                                     {Full("song_name.mp2"), L"My Song", 215},
                                     {Full("other.mp3"), Full("other.mp3"), -1},
                                     {L"http://h/from-txt", L"http://h/from-txt", -1}};
    EXPECT_EQ(Items(), expected);

    // Failures come as events, delivered before the member returns; the result stays S_OK.
    EXPECT_EQ(EventsOf(L"AppendFileToPlaylist", "empty.m3u"), std::vector<long>{106});
    EXPECT_EQ(EventsOf(L"AppendFileToPlaylist", "useless.m3u"), std::vector<long>{105});
    EXPECT_EQ(EventsOf(L"AppendPLSToPlaylist", "zero.pls"), std::vector<long>{106});
    EXPECT_EQ(EventsOf(L"AppendPLSToPlaylist", "absent.pls"), std::vector<long>{106});
    EXPECT_EQ(EventsOf(L"AppendFileToPlaylist", "useless.pls"), std::vector<long>{105});
    EXPECT_TRUE(EventsOf(L"AppendM3UToPlaylist", "absent.m3u").empty());  // cannot be opened: silent
    log_.clear();
    Bstr useless(SysAllocString(L"useless.pls"));
    EXPECT_EQ(control_->AppendFilenameWithArgs(useless.Get(), 40, 30000), S_OK);  // a list ignores the numbers
    EXPECT_EQ(sink_.MsgIds(), std::vector<long>{105});
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 4);

    // An address with a query after ".m3u" is a stream entry: nothing is fetched, no event.
    log_.clear();
    EXPECT_EQ(Append("http://h/list.m3u?id=3"), S_OK);  // extension "m3u?id=3"
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(CurrentDirectory(), folder_.Path());
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 5);
    EXPECT_EQ(control_->AppendM3UToPlaylist(nullptr), S_FALSE);
    EXPECT_EQ(control_->AppendPLSToPlaylist(nullptr), S_FALSE);
}

TEST_F(ListMembers, SavedListsReadBackToTheSameEntries)
{
    folder_.Touch("song_name.mp2");
    folder_.Touch("a file.wmv");
    folder_.Write("made.m3u", "ASF a file.wmv\r\n");
    ASSERT_EQ(Append(folder_.Path() + "\\song_name.mp2"), S_OK);
    ASSERT_EQ(Call(L"AppendM3UToPlaylist", folder_.Path() + "\\made.m3u"), S_OK);
    ASSERT_EQ(Append("http://radio.example:8000/live"), S_OK);
    const std::vector<Item> entries = Items();
    ASSERT_EQ(entries.size(), 3u);

    EXPECT_EQ(Call(L"SavePlaylist", "saved.m3u"), S_OK);  // into the current directory
    EXPECT_EQ(Call(L"SavePlaylist", folder_.Path() + "\\saved.PLS"), S_OK);
    const std::string m3u = ReadBytes(folder_.Path() + "\\saved.m3u");
    EXPECT_EQ(m3u, "#EXTM3U\r\n#EXTINF:215,My Song\r\n" + folder_.Path() + "\\song_name.mp2\r\n#EXTINF:-1," +
                       folder_.Path() + "\\a file.wmv\r\n" + folder_.Path() +
                       "\\a file.wmv\r\n#EXTINF:-1,http://radio.example:8000/live\r\nhttp://radio.example:8000/live\r\n");
    // S_FALSE is visible through the interface's table only (the dispatcher turns it into S_OK).
    Bstr other(SysAllocString(Wide(folder_.Path() + "\\saved.txt").c_str()));
    EXPECT_EQ(control_->SavePlaylist(other.Get()), S_FALSE);
    EXPECT_EQ(control_->SavePlaylist(nullptr), S_FALSE);
    EXPECT_EQ(ReadBytes(folder_.Path() + "\\saved.txt"), "<missing>");

    for (const char* saved : {"saved.m3u", "saved.PLS"}) {
        call_.Method(L"ClearPlaylist");
        EXPECT_EQ(Append(folder_.Path() + "\\" + saved), S_OK);
        EXPECT_EQ(Items(), entries) << saved;
    }
    // A single entry, and an empty playlist.
    call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(0)});
    call_.Method(L"DeletePlaylistItem", {DispatchCall::Long(0)});
    EXPECT_EQ(Call(L"SavePlaylist", "one.pls"), S_OK);
    call_.Method(L"ClearPlaylist");
    EXPECT_EQ(Append("one.pls"), S_OK);
    EXPECT_EQ(Items(), std::vector<Item>{entries[2]});
    call_.Method(L"ClearPlaylist");
    EXPECT_EQ(Call(L"SavePlaylist", "none.m3u"), S_OK);
    EXPECT_EQ(ReadBytes(folder_.Path() + "\\none.m3u"), "#EXTM3U\r\n");
}

// 10,000 entries with titles holding commas: the M3U written from them is the list they came
// from, byte for byte, and going through PLS changes nothing.
TEST_F(ListMembers, TenThousandEntriesRoundTrip)
{
    std::string list = "#EXTM3U\r\n";
    for (int i = 0; i < 10000; ++i) {
        list += "#EXTINF:" + std::to_string(i - 1) + ",Artist " + std::to_string(i % 97) + ", Title " +
                std::to_string(i) + "\r\nhttp://radio.example/stream/" + std::to_string(i) + "\r\n";
    }
    const std::string source = folder_.Write("big.m3u", list);
    EXPECT_TRUE(EventsOf(L"AppendM3UToPlaylist", source).empty());
    EXPECT_EQ(call_.GetLong(L"Nb_Playlist_Items"), 10000);
    EXPECT_EQ(Call(L"SavePlaylist", "copy.m3u"), S_OK);
    EXPECT_EQ(ReadBytes(folder_.Path() + "\\copy.m3u"), list);

    EXPECT_EQ(Call(L"SavePlaylist", "copy.pls"), S_OK);
    call_.Method(L"ClearPlaylist");
    EXPECT_TRUE(EventsOf(L"AppendFileToPlaylist", "copy.pls").empty());
    EXPECT_EQ(Call(L"SavePlaylist", "again.m3u"), S_OK);
    EXPECT_EQ(ReadBytes(folder_.Path() + "\\again.m3u"), list);
}
