// Network addresses and media information as a container sees them: remote M3U and PLS lists
// fetched with their status events and read into the playlist, no temporary file left behind,
// a fetch asked for from inside a status handler, streams that play, the URL a plugin asks to
// have opened, the proxy and launcher texts, and the header queries of basic and extended plugins.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/http_server.h"
#include "support/player_case.h"
#include "win/bstr.h"
#include "win/variant.h"

namespace {

using Stages = std::vector<std::pair<long, long>>;
constexpr DISPID kStatusEvent = 2;
const Stages kCompleted{{200, 0}, {201, 0}, {203, 0}, {204, 0}};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string CommonDataFolder()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

class NetworkMembers : public testing::Test {
protected:
    // IN_NET.DLL takes every address and plays it; IN_EXT.DLL (extended record) describes *.ext
    // files with texts as long as a plugin may write them; IN_BASIC.DLL (basic record) *.bas.
    void SetUp() override
    {
        ASSERT_FALSE(ServerAddress().empty()) << "the test HTTP server does not run";
        ASSERT_TRUE(player_.Layout().AddInput("IN_NET.DLL", {"accepts=://", "version=257", "extensions=NET|Net"}));
        ASSERT_TRUE(player_.Layout().AddInput("IN_EXT.DLL", {"extensions=EXT|Described", "version=257", "extinfo=1",
                                                             "extfill=512", "extnumbers=40000|48000|1|1"}));
        ASSERT_TRUE(player_.Layout().AddInput("IN_BASIC.DLL", {"extensions=BAS|Basic", "extinfo=1",
                                                               "info=song|Basic Title|1000"}));
        ASSERT_TRUE(player_.Layout().AddOutput("OUT_KV.DLL"));
        ASSERT_TRUE(player_.Start());
        common_ = CommonDataFolder();
        ASSERT_TRUE(TemporaryListFiles(common_).empty());
    }

    HRESULT Member(HRESULT (STDMETHODCALLTYPE ITunaraXChat::*member)(BSTR), const std::string& name)
    {
        Bstr text(SysAllocString(Wide(name).c_str()));
        return (player_.Control()->*member)(text.Get());
    }
    // The status notifications and message events since the last call.
    std::pair<Stages, std::vector<long>> TakeEvents()
    {
        Stages stages;
        for (; stagesTaken_ < player_.Log().size(); ++stagesTaken_) {
            const RecordedEvent& e = player_.Log()[stagesTaken_];
            if (e.dispid == kStatusEvent) stages.emplace_back(e.msgId, e.comp);
        }
        return {stages, player_.TakeEvents()};
    }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (long i = 0, n = player_.Call().GetLong(L"Nb_Playlist_Items"); i < n; ++i) {
            Variant name, title, length;
            player_.Call().Method(L"GetPlaylistItem", {DispatchCall::Long(i), DispatchCall::Out(name.Get()),
                                                       DispatchCall::Out(title.Get()), DispatchCall::Out(length.Get())});
            names.push_back(name->bstrVal);
        }
        return names;
    }
    short IsStreamPlaying()
    {
        Variant answer;
        EXPECT_EQ(player_.Control()->IsStreamPlaying(answer.Get()), S_OK);
        EXPECT_EQ(answer->vt, VT_I2);
        return answer->iVal;
    }

    PlayerCase player_{L"network"};
    std::string common_;
    size_t stagesTaken_ = 0;
};

const std::wstring kFirst = L"http://127.0.0.1:1/first";
const std::wstring kSecond = L"http://127.0.0.1:1/second";

}  // namespace

TEST_F(NetworkMembers, RemoteListsAreFetchedReadAndDeleted)
{
    using Chat = ITunaraXChat;
    std::vector<std::wstring> expected;
    auto added = [&](std::initializer_list<std::wstring> names) {
        expected.insert(expected.end(), names);
        return expected;
    };

    EXPECT_EQ(Member(&Chat::AppendM3UToPlaylist, ServerUrl("/list.m3u")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(kCompleted, std::vector<long>{}));
    EXPECT_EQ(Names(), added({kFirst, kSecond}));
    Variant name, title, length;
    player_.Call().Method(L"GetPlaylistItem", {DispatchCall::Long(0), DispatchCall::Out(name.Get()),
                                               DispatchCall::Out(title.Get()), DispatchCall::Out(length.Get())});
    EXPECT_STREQ(title->bstrVal, L"First Radio");
    EXPECT_EQ(length->lVal, -1);

    // By extension, in any case; a redirect is followed to the list.
    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, ServerUrl("/LIST.PLS")), S_OK);
    EXPECT_EQ(TakeEvents().first, kCompleted);
    EXPECT_EQ(Names(), added({kFirst, kSecond}));
    EXPECT_EQ(player_.AppendWithArgs(Wide(ServerUrl("/moved.m3u")), 50, 1000), S_OK);
    EXPECT_EQ(TakeEvents().first, kCompleted);
    EXPECT_EQ(Names(), added({kFirst, kSecond}));

    // A query after the extension makes a stream entry: nothing is fetched.
    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, ServerUrl("/list.m3u?id=7")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(Stages{}, std::vector<long>{}));
    EXPECT_EQ(Names(), added({Wide(ServerUrl("/list.m3u?id=7"))}));

    // Failures reach the container as events only.
    EXPECT_EQ(Member(&Chat::AppendPLSToPlaylist, ServerUrl("/missing.pls")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(Stages{{200, 0}, {201, 0}, {202, 404}}, std::vector<long>{}));
    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, "http://127.0.0.1:1/closed.m3u"), S_OK);
    EXPECT_EQ(TakeEvents().first, (Stages{{200, 0}, {201, 0}, {206, 0}}));
    EXPECT_EQ(Member(&Chat::AppendM3UToPlaylist, ServerUrl("/empty.m3u")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(kCompleted, std::vector<long>{106}));
    EXPECT_EQ(Member(&Chat::AppendM3UToPlaylist, ServerUrl("/garbage.m3u")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(kCompleted, std::vector<long>{105}));
    EXPECT_EQ(Member(&Chat::AppendPLSToPlaylist, ServerUrl("/list.m3u")), S_OK);  // no playlist section
    EXPECT_EQ(TakeEvents(), std::make_pair(kCompleted, std::vector<long>{106}));
    EXPECT_EQ(Names(), expected);
    EXPECT_TRUE(TemporaryListFiles(common_).empty());
}

// Lists over TLS from a server whose certificate the test authority issued arrive as over HTTP.
// A certificate that fails its checks (an issuer nobody trusts, a name that is not the address's
// host, out of date) means the URL cannot be opened: 206, and nothing is added.
TEST_F(NetworkMembers, HttpsListsComeOnlyFromACertifiedServer)
{
    using Chat = ITunaraXChat;
    ASSERT_TRUE(InstallTestAuthority());
    for (Certificate certificate : {Certificate::kCertified, Certificate::kUntrusted, Certificate::kExpired})
        ASSERT_FALSE(SecureServerUrl("/", certificate).empty()) << "a TLS test server does not run";
    const std::vector<std::wstring> both{kFirst, kSecond};
    const Stages refused{{200, 0}, {201, 0}, {206, 0}};

    EXPECT_EQ(Member(&Chat::AppendM3UToPlaylist, SecureServerUrl("/list.m3u")), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(kCompleted, std::vector<long>{}));
    EXPECT_EQ(Names(), both);
    Variant name, title, length;
    player_.Call().Method(L"GetPlaylistItem", {DispatchCall::Long(0), DispatchCall::Out(name.Get()),
                                               DispatchCall::Out(title.Get()), DispatchCall::Out(length.Get())});
    EXPECT_STREQ(title->bstrVal, L"First Radio");
    ASSERT_EQ(player_.Call().Method(L"ClearPlaylist"), S_OK);
    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, SecureServerUrl("/LIST.PLS")), S_OK);
    EXPECT_EQ(TakeEvents().first, kCompleted);
    EXPECT_EQ(Names(), both);
    ASSERT_EQ(player_.Call().Method(L"ClearPlaylist"), S_OK);
    player_.TakeEvents();

    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, SecureServerUrl("/list.m3u", Certificate::kUntrusted)), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(refused, std::vector<long>{}));
    EXPECT_EQ(Member(&Chat::AppendPLSToPlaylist, SecureServerUrl("/list.pls", Certificate::kUntrusted)), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(refused, std::vector<long>{}));
    EXPECT_EQ(Member(&Chat::AppendM3UToPlaylist, SecureServerUrl("/list.m3u", Certificate::kCertified, "127.0.0.1")),
              S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(refused, std::vector<long>{}));
    EXPECT_EQ(Member(&Chat::AppendFileToPlaylist, SecureServerUrl("/list.m3u", Certificate::kExpired)), S_OK);
    EXPECT_EQ(TakeEvents(), std::make_pair(refused, std::vector<long>{}));
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(TemporaryListFiles(common_).empty());
}

// The refused fetch touches no file of the running one, which goes on and reads its list.
TEST_F(NetworkMembers, AFetchFromInsideAStatusHandlerLeavesTheRunningOneAlone)
{
    std::vector<Stages> nested;
    player_.Sink().onEvent = [&] {
        const RecordedEvent last = player_.Log().back();
        if (last.dispid != kStatusEvent || last.msgId != 204 || !nested.empty()) return;
        const size_t before = player_.Log().size();
        nested.emplace_back();
        EXPECT_EQ(Member(&ITunaraXChat::AppendM3UToPlaylist, ServerUrl("/list.pls")), S_OK);
        for (size_t i = before; i < player_.Log().size(); ++i)
            nested.back().emplace_back(player_.Log()[i].msgId, player_.Log()[i].comp);
    };
    EXPECT_EQ(Member(&ITunaraXChat::AppendM3UToPlaylist, ServerUrl("/list.m3u")), S_OK);
    player_.Sink().onEvent = nullptr;
    EXPECT_EQ(nested, std::vector<Stages>{Stages{}});
    EXPECT_EQ(TakeEvents().first, kCompleted);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{kFirst, kSecond}));
    EXPECT_TRUE(TemporaryListFiles(common_).empty());
}

// A stream counts while it plays; the URL a plugin hands over is kept with its spaces encoded
// and reaches the container as message 3, after the plugin's call has returned.
// A list fetched from the network is untrusted: its shares (whose probing would authenticate to
// their host) and relative names are skipped unprobed, and reading it leaves the container's
// current directory alone; absolute drive paths and network addresses stay. A local list still
// makes its folder current.
TEST_F(NetworkMembers, AFetchedListIsUntrustedInput)
{
    const std::wstring local = player_.MakeFile(L"kept.net");
    const std::string localA(local.begin(), local.end());
    // A relative name that would resolve in the folder of the downloaded file.
    const std::string relative = "fetched_relative.net";
    const std::string planted = common_ + "\\" + relative;
    CloseHandle(CreateFileA(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof before, before);

    std::string body = "\\\\127.0.0.1\\share\\a.net\r\n//127.0.0.1/share/b.net\r\n\\\\?\\" + localA + "\r\n" +
                       relative + "\r\n" + localA + "\r\nhttp://127.0.0.1:1/live\r\n";
    std::string query;
    for (unsigned char c : body) {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", c);
        query += escaped;
    }
    EXPECT_EQ(Member(&ITunaraXChat::AppendM3UToPlaylist, ServerUrl("/echo?body=" + query)), S_OK);
    EXPECT_EQ(TakeEvents().first, kCompleted);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{local, L"http://127.0.0.1:1/live"}));
    char after[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
    DeleteFileA(planted.c_str());

    const std::wstring list = player_.MakeFile(L"local.m3u");
    ASSERT_EQ(player_.Append(list), S_OK);
    GetCurrentDirectoryA(sizeof after, after);
    const std::wstring folder = list.substr(0, list.rfind(L'\\') + 1);
    EXPECT_EQ(std::wstring(after, after + strlen(after)) + L"\\", folder);
    SetCurrentDirectoryA(before);
}

TEST_F(NetworkMembers, StreamsAndTheUrlToLaunch)
{
    Variant url;
    EXPECT_EQ(player_.Control()->GetURLToLaunch(url.Get()), S_OK);
    EXPECT_EQ(url->vt, VT_BSTR);
    EXPECT_STREQ(url->bstrVal, L"");

    ASSERT_EQ(player_.Append(L"http://127.0.0.1:1/live"), S_OK);
    EXPECT_EQ(IsStreamPlaying(), 0);  // the current entry is an address, but nothing plays
    ASSERT_EQ(player_.Call().Method(L"Play"), S_OK);
    EXPECT_EQ(player_.TakeEvents(), (std::vector<long>{1, 4}));
    EXPECT_EQ(IsStreamPlaying(), 1);
    ASSERT_EQ(player_.Call().Method(L"Stop"), S_OK);
    EXPECT_EQ(IsStreamPlaying(), 0);

    InputPluginRecord* record = player_.Layout().InputRecord("IN_NET.DLL");
    ASSERT_TRUE(record && record->requestUrlLaunch);
    EXPECT_NE(record->requestUrlLaunch("http://h/a b/c d.html"), 0);
    EXPECT_TRUE(player_.TakeEvents().empty());
    player_.Pump();
    EXPECT_EQ(player_.TakeEvents(), std::vector<long>{3});
    for (int i = 0; i < 2; ++i) {
        url.Clear();
        EXPECT_EQ(player_.Control()->GetURLToLaunch(url.Get()), S_OK);
        EXPECT_STREQ(url->bstrVal, L"http://h/a%20b/c%20d.html");
    }

    // Texts are stored; one too long for its field is refused and the old one kept.
    EXPECT_EQ(player_.Control()->SetProxy(nullptr), S_OK);
    EXPECT_EQ(Member(&ITunaraXChat::SetProxy, "127.0.0.1:8080"), S_OK);
    EXPECT_EQ(Member(&ITunaraXChat::SetProxy, std::string(256, 'p')), S_FALSE);
    EXPECT_EQ(Member(&ITunaraXChat::SetLaunchURLEXE, "C:\\Programs\\browser.exe"), S_OK);
    EXPECT_EQ(Member(&ITunaraXChat::SetLaunchURLEXE, std::string(520, 'x')), S_FALSE);
    // The stored proxy now carries downloads: the address of the test server is no proxy.
    EXPECT_EQ(Member(&ITunaraXChat::SetProxy, ""), S_OK);
    EXPECT_EQ(Member(&ITunaraXChat::AppendM3UToPlaylist, ServerUrl("/list.m3u")), S_OK);
    EXPECT_EQ(TakeEvents().first, kCompleted);
}

TEST_F(NetworkMembers, HeaderQueriesOfExtendedAndBasicPlugins)
{
    ASSERT_EQ(player_.Append(player_.MakeFile(L"long.ext")), S_OK);
    ASSERT_EQ(player_.Append(player_.MakeFile(L"song.bas")), S_OK);
    player_.TakeEvents();
    Variant out[11];
    auto prefill = [&] {
        for (Variant& v : out) {
            v.Clear();
            v.Get()->vt = VT_BSTR;
            v.Get()->bstrVal = SysAllocString(L"old");  // a script's reused variable
        }
    };
    auto entry = [&](LONG position) {
        return player_.Control()->GetPlaylistItemHeaderInfos(
            position, out[0].Get(), out[1].Get(), out[2].Get(), out[3].Get(), out[4].Get(), out[5].Get(),
            out[6].Get(), out[7].Get(), out[8].Get(), out[9].Get(), out[10].Get());
    };
    auto file = [&](const wchar_t* name) {
        Bstr text(SysAllocString(name));
        return player_.Control()->GetFileHeaderInfos(text.Get(), out[0].Get(), out[1].Get(), out[2].Get(),
                                                     out[3].Get(), out[4].Get(), out[5].Get(), out[6].Get(),
                                                     out[7].Get(), out[8].Get(), out[9].Get(), out[10].Get());
    };
    auto text = [&](int i) { return out[i]->vt == VT_BSTR ? std::wstring(out[i]->bstrVal) : L"<not text>"; };
    auto numbers = [&] {
        return std::vector<long>{out[0]->vt == VT_I2 ? out[0]->iVal : -1, out[7]->vt == VT_I2 ? out[7]->iVal : -1,
                                 out[8]->vt == VT_I4 ? out[8]->lVal : -1, out[9]->vt == VT_I2 ? out[9]->iVal : -1,
                                 out[10]->vt == VT_I2 ? out[10]->iVal : -1};
    };

    // The playlist query hands over 31 bytes of each text (7 of the year) of a plugin that
    // filled 511; the file query the whole texts.
    prefill();
    EXPECT_EQ(entry(0), S_OK);
    EXPECT_EQ(numbers(), (std::vector<long>{1, -25536, 48000, 1, 1}));
    EXPECT_EQ(text(1), std::wstring(31, L'T'));
    EXPECT_EQ(text(3), std::wstring(31, L'K'));
    EXPECT_EQ(text(5), std::wstring(7, L'Y'));
    EXPECT_EQ(text(6), std::wstring(31, L'G'));
    prefill();
    EXPECT_EQ(file(L"C:\\music\\other.EXT"), S_OK);
    EXPECT_EQ(numbers(), (std::vector<long>{1, -25536, 48000, 1, 1}));
    EXPECT_EQ(text(2), std::wstring(511, L'A'));
    EXPECT_EQ(text(5), std::wstring(511, L'Y'));

    // A basic record is never asked: numbers 0, texts untouched; the file query falls back to
    // the title of the plugin that would play the file.
    prefill();
    EXPECT_EQ(entry(1), S_OK);
    EXPECT_EQ(numbers(), (std::vector<long>{0, 0, 0, 0, 0}));
    EXPECT_EQ(text(1), L"old");
    prefill();
    EXPECT_EQ(file(L"C:\\music\\song.bas"), S_OK);
    EXPECT_EQ(numbers(), (std::vector<long>{0, 0, 0, 0, 0}));
    EXPECT_EQ(text(1), L"Basic Title");
    EXPECT_EQ(text(2), L"old");
    EXPECT_TRUE(player_.TakeEvents().empty());
    const std::vector<std::string> calls = player_.TakeCalls();
    for (const std::string& call : calls)
        EXPECT_FALSE(call.find("BASIC") != std::string::npos && call.find("getExtendedInfo") != std::string::npos) << call;

    // No plugin for the file: message 101, nothing else.
    prefill();
    EXPECT_EQ(file(L"C:\\music\\nobody.xyz"), S_OK);
    EXPECT_EQ(player_.TakeEvents(), std::vector<long>{101});
    EXPECT_EQ(numbers(), (std::vector<long>{0, 0, 0, 0, 0}));
    EXPECT_EQ(text(1), L"old");

    // Bad positions and names: S_FALSE with only is_infos set.
    for (LONG position : {-1L, 2L}) {
        prefill();
        EXPECT_EQ(entry(position), S_FALSE);
        EXPECT_EQ(out[0]->vt, VT_I2);
        EXPECT_EQ(out[0]->iVal, 0);
        for (int i = 1; i < 11; ++i) EXPECT_EQ(text(i), L"old");
    }
    prefill();
    EXPECT_EQ(player_.Control()->GetFileHeaderInfos(nullptr, out[0].Get(), out[1].Get(), out[2].Get(), out[3].Get(),
                                                    out[4].Get(), out[5].Get(), out[6].Get(), out[7].Get(),
                                                    out[8].Get(), out[9].Get(), out[10].Get()),
              S_FALSE);
    EXPECT_EQ(out[0]->vt, VT_I2);
    EXPECT_EQ(text(7), L"old");
}

// What the playing plugin last reported: 0, 0, 0 before anything; a bitrate above 32767 comes
// back as its low 16 bits, signed; six channels are not stereo; stopping keeps the values.
TEST_F(NetworkMembers, CurrentFileInfosAreWhatThePluginLastReported)
{
    Variant bitrate, srate, stereo;
    auto ask = [&] {
        EXPECT_EQ(player_.Control()->GetCurrentFileInfos(bitrate.Get(), srate.Get(), stereo.Get()), S_OK);
        EXPECT_EQ(bitrate->vt, VT_I2);
        EXPECT_EQ(srate->vt, VT_I4);
        EXPECT_EQ(stereo->vt, VT_I2);
        return std::vector<long>{bitrate->iVal, srate->lVal, stereo->iVal};
    };
    EXPECT_EQ(ask(), (std::vector<long>{0, 0, 0}));
    ASSERT_EQ(player_.Append(L"http://127.0.0.1:1/live"), S_OK);
    ASSERT_EQ(player_.Call().Method(L"Play"), S_OK);
    InputPluginRecord* record = player_.Layout().InputRecord("IN_NET.DLL");
    ASSERT_TRUE(record && record->setMediaInfo);
    record->setMediaInfo(128, 44100, 2, 0);
    EXPECT_EQ(ask(), (std::vector<long>{128, 44100, 1}));
    record->setMediaInfo(40000, -1, 6, 0);
    EXPECT_EQ(ask(), (std::vector<long>{-25536, 44100, 0}));
    ASSERT_EQ(player_.Call().Method(L"Stop"), S_OK);
    EXPECT_EQ(ask(), (std::vector<long>{-25536, 44100, 0}));
}
