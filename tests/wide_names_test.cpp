// A music folder whose names the ANSI code page cannot carry (Cyrillic, Greek, Japanese on a
// Western system), as a container appends and plays it through the shipped modules.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/player_case.h"
#include "support/test_paths.h"
#include "win/variant.h"

namespace {

bool CopyMp3(const wchar_t* source, const std::wstring& target)
{
    return CopyFileW((ExeDirectory() + L"\\mp3\\" + source).c_str(), target.c_str(), FALSE) != FALSE;
}

class WideNames : public testing::Test {
protected:
    void SetUp() override
    {
        player_ = std::make_unique<PlayerCase>(L"wide_names");
        PluginLayout& layout = player_->Layout();
        ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll"));
        ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"open=-1"}));
        ASSERT_TRUE(player_->Start());
        std::string dir;
        for (wchar_t c : Dir()) dir += static_cast<char>(c);
        ASSERT_TRUE(layout.WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + dir + "\\track%d.wav", "realtime=0"}));
    }
    std::wstring Dir() { return player_->Layout().Directory(); }
    // The entry's name, title and length as the container reads them.
    void Item(long index, std::wstring& name, std::wstring& title, long& length)
    {
        Variant n, t, l;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(index, n.Get(), t.Get(), l.Get()), S_OK);
        name = n->bstrVal;
        title = t->bstrVal;
        length = l->lVal;
    }

    std::unique_ptr<PlayerCase> player_;
};

}  // namespace

// Each name is kept as given and answered with; the modules open the file by its short name, so
// it has its length and plays; a title from no tag is the wide base name, tidied as titles are.
// A name that does not exist keeps its name too, with length -1, and its start fails as for any
// missing file.
TEST_F(WideNames, FilesWhoseNamesLeaveTheCodePagePlayUnderTheirOwnNames)
{
    const std::wstring cyrillic = Dir() + L"\\\u041f\u0435\u0441\u043d\u044f_\u043e\u0434\u0438\u043d.mp3";
    const std::wstring greek = Dir() + L"\\\u03a4\u03c1\u03b1\u03b3\u03bf\u03cd\u03b4\u03b9.mp3";
    const std::wstring japanese = Dir() + L"\\\u6b4c%20\u4e8c.mp3";
    const std::wstring missing = Dir() + L"\\\u041d\u0435\u0442.mp3";
    ASSERT_TRUE(CopyMp3(L"cbr_bare.mp3", cyrillic));
    ASSERT_TRUE(CopyMp3(L"cbr_bare.mp3", greek));
    ASSERT_TRUE(CopyMp3(L"vbr_plain.mp3", japanese));
    for (const std::wstring* name : {&cyrillic, &greek, &japanese, &missing}) ASSERT_EQ(player_->Append(*name), S_OK);
    ASSERT_EQ(player_->Call().GetLong(L"Nb_Playlist_Items"), 4);

    const std::wstring titles[] = {L"\u041f\u0435\u0441\u043d\u044f \u043e\u0434\u0438\u043d",
                                   L"\u03a4\u03c1\u03b1\u03b3\u03bf\u03cd\u03b4\u03b9", L"\u6b4c \u4e8c",
                                   L"\u041d\u0435\u0442"};
    const std::wstring* names[] = {&cyrillic, &greek, &japanese, &missing};
    for (long i = 0; i < 4; ++i) {
        std::wstring name, title;
        long length = 0;
        Item(i, name, title, length);
        EXPECT_EQ(name, *names[i]);
        EXPECT_EQ(title, titles[i]);
        if (i < 3) EXPECT_GT(length, 0) << i;
        else EXPECT_EQ(length, -1);
    }

    // Every file plays; the missing one cannot be opened (104), as any missing file.
    player_->TakeEvents();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    Variant name, display;
    ASSERT_EQ(player_->Control()->GetCurrentPlaylistItem(name.Get(), display.Get()), S_OK);
    EXPECT_EQ(std::wstring(name->bstrVal), cyrillic);
    EXPECT_EQ(std::wstring(display->bstrVal), L"1. " + titles[0]);
    ASSERT_TRUE(player_->PumpUntil([&] { return player_->Call().GetLong(L"Status") == 0; }, 30000));
    for (int track = 1; track <= 3; ++track) {
        const std::wstring file = Dir() + L"\\track" + std::to_wstring(track) + L".wav";
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) << track;
        EXPECT_GT(data.nFileSizeLow, 100000u) << track;
    }
    const auto events = player_->TakeEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), 104), events.end()) << "the missing file started";
}
