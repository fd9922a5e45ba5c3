// A music folder whose names the ANSI code page cannot carry (Cyrillic, Greek, Japanese on a
// Western system), as a container appends and plays it through the shipped modules.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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
        // Each case in a folder of its own: a control loaded from a case's folder stays loaded.
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        player_ = std::make_unique<PlayerCase>(L"wide_names_" + std::wstring(test.begin(), test.end()));
        PluginLayout& layout = player_->Layout();
        ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_OGG.DLL", L"IN_OGG.DLL"));
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
// missing file; a file made in the folder after its names were read plays.
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
    // A file made in the folder just after its names were read is found all the same.
    const std::wstring late = Dir() + L"\\\u03a5\u03c3\u03c4\u03b5\u03c1\u03bf.mp3";
    ASSERT_TRUE(CopyMp3(L"cbr_bare.mp3", late));
    ASSERT_EQ(player_->Append(late), S_OK);
    {
        std::wstring name, title;
        long length = 0;
        Item(4, name, title, length);
        EXPECT_EQ(name, late);
        EXPECT_EQ(length, 1);
    }
    ASSERT_EQ(player_->Call().Method(L"DeletePlaylistItem", {DispatchCall::Long(4)}), S_OK);

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
// playlist as .m3u8 gives the same bytes back, under a Cyrillic file name too. Saved as .m3u, the
// names are short ones that open and the titles the code page's rendering.
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
    // Saved under a name of its own script, the list is written there, twice over the same bytes.
    const std::wstring named = Dir() + L"\\\u0421\u043f\u0438\u0441\u043e\u043a.m3u8";
    ASSERT_EQ(CallWith(L"SavePlaylist", named), S_OK);
    ASSERT_EQ(CallWith(L"SavePlaylist", named), S_OK);
    EXPECT_TRUE(ReadAll(named) == list) << "the list saved under a Cyrillic name differs";

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

namespace {

// A second of silent 16-bit stereo WAVE audio with LIST/INFO texts in UTF-8, as current writers
// store them.
std::string WaveWithInfo(const std::string& title, const std::string& artist)
{
    auto word = [](uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); };
    auto half = [](uint16_t value) { return std::string(reinterpret_cast<const char*>(&value), 2); };
    auto item = [&](const char* id, const std::string& text) {
        std::string bytes = text + '\0';
        if (bytes.size() % 2) bytes += '\0';
        return std::string(id) + word(static_cast<uint32_t>(text.size() + 1)) + bytes;
    };
    const std::string format = half(1) + half(2) + word(44100) + word(44100 * 4) + half(4) + half(16);
    const std::string info = "INFO" + item("INAM", title) + item("IART", artist);
    const std::string data(44100 * 4, '\0');
    const std::string body = "WAVE" + std::string("fmt ") + word(16) + format + "LIST" +
                             word(static_cast<uint32_t>(info.size())) + info + "data" +
                             word(static_cast<uint32_t>(data.size())) + data;
    return "RIFF" + word(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace

// Tags in Cyrillic, Greek and Japanese (ID3v2 in UTF-16, FLAC comments, a WAVE file's UTF-8
// LIST/INFO) reach the container whole through every member that answers them: the entry's title
// ("Artist - Title"), the header information (cut to 31 characters for an entry, whole for a
// file) and the playing entry's title after its start. The record's texts stay the code page's.
TEST_F(WideNames, TagsInOtherScriptsReachTheContainerWhole)
{
    const std::wstring mp3 = Dir() + L"\\tagged.mp3";
    const std::wstring flac = Dir() + L"\\tagged.flac";
    const std::wstring wave = Dir() + L"\\tagged.wav";
    ASSERT_TRUE(CopyMp3(L"unicode_tags.mp3", mp3));
    ASSERT_TRUE(CopyFileW((ExeDirectory() + L"\\ogg\\unicode_tags.flac").c_str(), flac.c_str(), FALSE));
    const std::wstring waveTitle = L"\u03a4\u03af\u03c4\u03bb\u03bf\u03c2";
    ASSERT_TRUE(WriteAll(wave, WaveWithInfo(Utf8(waveTitle), Utf8(L"\u6f14\u594f\u8005"))));
    for (const std::wstring* name : {&mp3, &flac, &wave}) ASSERT_EQ(CallWith(L"AppendFileToPlaylist", *name), S_OK);

    const std::wstring song = L"\u041f\u0435\u0441\u043d\u044f \u043e\u0434\u0438\u043d";
    const std::wstring singer = L"\u0391\u03c1\u03c4\u03af\u03c3\u03c4\u03b1\u03c2";
    const std::wstring album = L"\u30a2\u30eb\u30d0\u30e0\u540d";
    const std::wstring flacTitle = L"\u6b4c\u306e\u984c\u540d";
    const std::wstring flacArtist = L"\u0418\u0441\u043f\u043e\u043b\u043d\u0438\u0442\u0435\u043b\u044c";
    const std::wstring genre = L"\u0388\u03bd\u03c4\u03b5\u03c7\u03bd\u03bf";
    const std::wstring comment =
        L"\u0414\u043b\u0438\u043d\u043d\u044b\u0439 \u043a\u043e\u043c\u043c\u0435\u043d\u0442\u0430\u0440\u0438\u0439 "
        L"\u043a \u043f\u0435\u0441\u043d\u0435, \u0431\u043e\u043b\u044c\u0448\u0435 \u0442\u0440\u0438\u0434\u0446"
        L"\u0430\u0442\u0438 \u043e\u0434\u043d\u043e\u0433\u043e \u0437\u043d\u0430\u043a\u0430";
    ASSERT_EQ(comment.size(), 57u);
    const std::wstring titles[] = {singer + L" - " + song, flacArtist + L" - " + flacTitle, waveTitle};
    const std::wstring* names[] = {&mp3, &flac, &wave};
    for (long i = 0; i < 3; ++i) {
        std::wstring name, title;
        long length = 0;
        Item(i, name, title, length);
        EXPECT_EQ(name, *names[i]) << i;
        EXPECT_EQ(title, titles[i]) << i;
        EXPECT_EQ(length, i == 0 ? 2 : 1) << i;
    }

    // The header information through IDispatch, as a script asks for it.
    auto headerInfos = [&](const wchar_t* member, VARIANT first) {
        std::vector<Variant> out(11);
        auto o = [&](int i) { return DispatchCall::Out(out[static_cast<size_t>(i)].Get()); };
        EXPECT_EQ(player_->Call().Method(member, {first, o(0), o(1), o(2), o(3), o(4), o(5), o(6), o(7), o(8), o(9), o(10)}),
                  S_OK)
            << member;
        std::vector<std::wstring> texts;
        EXPECT_EQ(out[0]->iVal, 1) << member;
        for (int i = 1; i <= 6; ++i) texts.push_back(out[i]->vt == VT_BSTR ? out[i]->bstrVal : L"<none>");
        return texts;
    };
    EXPECT_EQ(headerInfos(L"GetPlaylistItemHeaderInfos", DispatchCall::Long(0)),
              (std::vector<std::wstring>{song, singer, album, L"\u30b3\u30e1\u30f3\u30c8", L"2021", L"\u041f\u043e\u043f"}));
    EXPECT_EQ(headerInfos(L"GetPlaylistItemHeaderInfos", DispatchCall::Long(1)),
              (std::vector<std::wstring>{flacTitle, flacArtist, L"", comment.substr(0, 31), L"1999", genre}));
    VARIANT flacName = DispatchCall::Text(flac.c_str());
    EXPECT_EQ(headerInfos(L"GetFileHeaderInfos", flacName),
              (std::vector<std::wstring>{flacTitle, flacArtist, L"", comment, L"1999", genre}));
    VariantClear(&flacName);
    VARIANT waveName = DispatchCall::Text(wave.c_str());
    EXPECT_EQ(headerInfos(L"GetFileHeaderInfos", waveName)[0], waveTitle);
    VariantClear(&waveName);

    // Started, the entry takes the playing module's title: the same, whole.
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_EQ(player_->CurrentTitle(), L"1. " + titles[0]);
    ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);
}
