// A music folder whose names the ANSI code page cannot carry (Cyrillic, Greek, Japanese on a
// Western system), as a container appends and plays it through the shipped modules.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/dispatch_call.h"
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
    // A member that takes one name, through IDispatch.
    HRESULT CallWith(const wchar_t* member, const std::wstring& name)
    {
        VARIANT text = DispatchCall::Text(name.c_str());
        const HRESULT hr = player_->Call().Method(member, {text});
        VariantClear(&text);
        return hr;
    }
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

namespace {

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), bytes, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char piece[65536];
    DWORD got = 0;
    while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0) bytes.append(piece, got);
    CloseHandle(file);
    return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

// A UTF-8 list of 10,000 entries with names and titles in three scripts: read as .m3u8 (and as an
// .m3u behind a byte-order mark), the container sees every name and title intact, and saving the
// playlist as .m3u8 gives the same bytes back. Saved as .m3u, the names are short ones that open
// and the titles the code page's rendering.
TEST_F(WideNames, Utf8ListsRoundTrip)
{
    const std::wstring files[] = {Dir() + L"\\\u041f\u0435\u0441\u043d\u044f.mp3", Dir() + L"\\\u03a4\u03c1\u03b1\u03b3\u03bf\u03cd\u03b4\u03b9.mp3",
                                  Dir() + L"\\\u6b4c.mp3", Dir() + L"\\plain.mp3"};
    for (const std::wstring& file : files) ASSERT_TRUE(CopyMp3(L"cbr_bare.mp3", file));
    const std::wstring words[] = {L"\u041f\u0435\u0441\u043d\u044f ", L"\u03a4\u03c1\u03b1\u03b3\u03bf\u03cd\u03b4\u03b9 ",
                                  L"\u6b4c ", L"Plain "};
    constexpr int kEntries = 10000;
    std::string list = "#EXTM3U\r\n";
    for (int i = 0; i < kEntries; ++i) {
        list += "#EXTINF:" + std::to_string(i % 7) + "," + Utf8(words[i % 4] + std::to_wstring(i)) + "\r\n";
        list += Utf8(files[i % 4]) + "\r\n";
    }
    const std::wstring source = Dir() + L"\\source.m3u8";
    ASSERT_TRUE(WriteAll(source, list));
    ASSERT_EQ(CallWith(L"AppendM3UToPlaylist", source), S_OK);
    ASSERT_EQ(player_->Call().GetLong(L"Nb_Playlist_Items"), kEntries);
    for (long i : {0L, 1L, 2L, 3L, 9998L, 9999L}) {
        std::wstring name, title;
        long length = 0;
        Item(i, name, title, length);
        EXPECT_EQ(name, files[i % 4]) << i;
        EXPECT_EQ(title, words[i % 4] + std::to_wstring(i));
        EXPECT_EQ(length, i % 7);
    }

    const std::wstring saved = Dir() + L"\\saved.m3u8";
    ASSERT_EQ(CallWith(L"SavePlaylist", saved), S_OK);
    EXPECT_TRUE(ReadAll(saved) == list) << "the saved list differs";

    const std::wstring ansi = Dir() + L"\\saved.m3u";
    ASSERT_EQ(CallWith(L"SavePlaylist", ansi), S_OK);
    const std::string written = ReadAll(ansi);
    const size_t first = written.find("\r\n", written.find("#EXTINF")) + 2;
    const std::string shortName = written.substr(first, written.find("\r\n", first) - first);
    EXPECT_NE(shortName.find('~'), std::string::npos) << shortName;
    EXPECT_NE(GetFileAttributesA(shortName.c_str()), INVALID_FILE_ATTRIBUTES) << shortName;
    EXPECT_NE(written.find("#EXTINF:0,????? 0\r\n"), std::string::npos);

    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    const std::wstring marked = Dir() + L"\\marked.m3u";
    ASSERT_TRUE(WriteAll(marked, "\xEF\xBB\xBF" + list.substr(0, list.find("#EXTINF:4"))));
    ASSERT_EQ(CallWith(L"AppendM3UToPlaylist", marked), S_OK);
    ASSERT_EQ(player_->Call().GetLong(L"Nb_Playlist_Items"), 4);
    std::wstring name, title;
    long length = 0;
    Item(2, name, title, length);
    EXPECT_EQ(name, files[2]);
    EXPECT_EQ(title, L"\u6b4c 2");
}
