// The stream module's metadata splitter, fed as the network feeds it: in pieces of any size.
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "icy_demux.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

Bytes Block(const std::string& text)
{
    const size_t blocks = (text.size() + 15) / 16;
    Bytes block{static_cast<uint8_t>(blocks)};
    Append(block, text);
    block.resize(1 + blocks * 16, 0);
    return block;
}

// Feeds the body in pieces of nextPiece() bytes, checking that nothing is written past the room
// the splitter asks for; the audio it gave back and each title it announced.
template <typename NextPiece>
Bytes Split(IcyDemux& demux, const Bytes& body, NextPiece nextPiece, std::vector<std::string>* titles)
{
    constexpr size_t kGuard = 16;
    Bytes audio;
    for (size_t at = 0; at < body.size();) {
        const size_t count = std::min<size_t>(body.size() - at, nextPiece());
        const size_t room = count + IcyDemux::kHeaderBytes;
        Bytes out(room + kGuard, 0xAB);
        bool changed = false;
        const int32_t got = demux.Feed(body.data() + at, static_cast<int32_t>(count), out.data(), &changed);
        EXPECT_GE(got, 0);
        EXPECT_LE(static_cast<size_t>(got), room);
        for (size_t i = room; i < out.size(); ++i) EXPECT_EQ(out[i], 0xAB) << "written past the room";
        audio.insert(audio.end(), out.begin(), out.begin() + got);
        if (changed && titles) titles->push_back(demux.Title());
        at += count;
    }
    return audio;
}

}  // namespace

// Bodies with and without an ICY header block, with metadata at intervals from 1 byte to 3,000,
// titles that change, repeat, hold apostrophes or are left out: the audio comes back byte for
// byte, each change of title is announced (the latest one when a piece holds several), and the
// header block's values are read. Then
// random bodies and intervals: nothing is written past the room, whatever arrives.
TEST(IcyDemux, BodiesSplitAnywhereGiveBackTheAudioAndTheTitles)
{
    std::mt19937 random(20261209);
    auto pieces = [&] { return 1 + random() % 5000; };
    const std::string names[] = {"Morning Show", "Rock 'n' Roll", "Artist - Song", ""};
    for (int round = 0; round < 1500; ++round) {
        const bool headerInBody = round % 3 == 0;
        const int32_t interval = round % 5 == 4 ? 0 : 1 + static_cast<int32_t>(random() % 3000);
        Bytes body;
        // With its status line, or without it as the platform may hand it over.
        if (headerInBody)
            Append(body, std::string(round % 2 ? "ICY 200 OK\r\n" : "Content-Type: audio/mpeg\r\n") +
                             "icy-name: Station " + std::to_string(round) + "\r\nicy-metaint: " +
                             std::to_string(interval) + "\r\nicy-br: 128\r\n\r\n");
        Bytes audio(static_cast<size_t>(random() % 40000));
        for (uint8_t& b : audio) b = static_cast<uint8_t>(random());
        std::vector<std::string> expected;
        std::string title;
        for (size_t at = 0; at < audio.size();) {
            const size_t run = interval ? std::min<size_t>(static_cast<size_t>(interval), audio.size() - at)
                                        : audio.size() - at;
            body.insert(body.end(), audio.begin() + static_cast<long>(at), audio.begin() + static_cast<long>(at + run));
            at += run;
            if (!interval || run < static_cast<size_t>(interval)) break;
            const int pick = static_cast<int>(random() % 6);
            if (pick >= 4) {
                body.push_back(0);  // no metadata this time
                continue;
            }
            const Bytes block = Block("StreamTitle='" + names[pick] + "';StreamUrl='';");
            body.insert(body.end(), block.begin(), block.end());
            if (names[pick] != title) expected.push_back(title = names[pick]);
        }
        IcyDemux demux;
        demux.Reset(headerInBody ? 0 : interval);
        std::vector<std::string> titles;
        ASSERT_EQ(Split(demux, body, pieces, &titles), audio) << "round " << round;
        // A piece may hold several blocks: each announcement names the latest title, in order.
        size_t next = 0;
        for (const std::string& t : titles) {
            while (next < expected.size() && expected[next] != t) ++next;
            EXPECT_LT(next, expected.size()) << "round " << round << ": \"" << t << "\" out of order";
            ++next;
        }
        EXPECT_EQ(std::string(demux.Title()), expected.empty() ? "" : expected.back()) << "round " << round;
        EXPECT_EQ(titles.empty(), expected.empty()) << "round " << round;
        if (headerInBody) {
            EXPECT_EQ(std::string(demux.Station()), "Station " + std::to_string(round));
            EXPECT_EQ(demux.Kbps(), 128);
        }
    }
    // Random bodies, some behind the start of a header block that never ends.
    for (int round = 0; round < 500; ++round) {
        Bytes body;
        if (round % 2 == 0) Append(body, "ICY 200 OK\r\nicy-metaint: 16\r\n");
        for (size_t n = random() % 20000; n > 0; --n) body.push_back(static_cast<uint8_t>(random()));
        IcyDemux demux;
        demux.Reset(static_cast<int32_t>(random() % 600) - 100);
        Split(demux, body, pieces, nullptr);
    }
}

// Audio joined inside a frame starts with any byte: letters (some beginning like a status line or
// a whole header line), digits, high bytes, control bytes, a blank line. Each such body is fed in
// pieces of 1 to 4096 bytes, with metadata every 1 to 40 audio bytes, its interval from the
// answer's headers or from a header block in the body (after its status line or without it,
// lines ended by CR LF or LF), or with no interval at all: the audio comes back byte for byte, and
// every piece that completed a block with a new title announces that piece's latest title.
TEST(IcyDemux, AudioStartingWithAnyByteKeepsEveryTitle)
{
    const std::string starts[] = {"T", "ICY 200 OK", "icy-metaint: 7", "Content-Type: audio/mpeg\r\n", "42:", "7",
                                  "\xFF\xFB", "\xC3\xA9t\xE9", std::string(1, '\0'), "\r\n\r\n"};
    enum Mode { kHeadersKnown, kStatusLineInBody, kHeaderLinesInBody, kNoInterval };
    const size_t pieceSizes[] = {1, 2, 3, 5, 8, 13, 64, 4096};
    std::mt19937 random(20261210);
    for (const std::string& start : starts) {
        for (int32_t interval = 1; interval <= 40; ++interval) {
            // The audio: the start, a control byte that ends any header form, then any bytes.
            Bytes audio;
            Append(audio, start);
            audio.push_back(static_cast<uint8_t>(random() % 9));
            for (int32_t n = 12 * interval + 5; n > 0; --n) audio.push_back(static_cast<uint8_t>(random()));
            for (const Mode mode : {kHeadersKnown, kStatusLineInBody, kHeaderLinesInBody, kNoInterval}) {
                Bytes body;
                if (mode == kStatusLineInBody)
                    Append(body, "ICY 200 OK\r\nicy-name: Joined\r\nicy-metaint: " + std::to_string(interval) + "\r\n\r\n");
                if (mode == kHeaderLinesInBody)
                    Append(body, "icy-metaint: " + std::to_string(interval) + "\nicy-name: Joined\n\n");
                // Where in the body each block ends, and the title from there on. Titles never
                // come back, so a piece announces exactly when its last title differs from the
                // one before it.
                std::vector<std::pair<size_t, std::string>> titleFrom = {{0, ""}};
                std::string title;
                for (size_t at = 0, block = 0; at < audio.size(); ++block) {
                    const size_t run = mode == kNoInterval ? audio.size() : std::min<size_t>(interval, audio.size() - at);
                    body.insert(body.end(), audio.begin() + static_cast<long>(at), audio.begin() + static_cast<long>(at + run));
                    at += run;
                    if (mode == kNoInterval || run < static_cast<size_t>(interval)) break;
                    if (block % 4 == 1) {
                        body.push_back(0);  // no metadata this time
                        continue;
                    }
                    // Every fourth block repeats the title before it.
                    if (block % 4 != 2) title = "Song " + std::to_string(block) + (block % 3 ? "" : " 'live'");
                    const Bytes text = Block("StreamTitle='" + title + "';");
                    body.insert(body.end(), text.begin(), text.end());
                    titleFrom.emplace_back(body.size(), title);
                }
                auto titleAt = [&](size_t position) {
                    std::string t;
                    for (const auto& [from, name] : titleFrom)
                        if (from <= position) t = name;
                    return t;
                };
                for (const size_t piece : pieceSizes) {
                    const std::string where = "start " + std::to_string(&start - starts) + ", interval " +
                                              std::to_string(interval) + ", mode " + std::to_string(mode) +
                                              ", pieces of " + std::to_string(piece);
                    std::vector<std::string> expected;
                    for (size_t at = 0; at < body.size(); at += piece) {
                        const std::string latest = titleAt(std::min(at + piece, body.size()));
                        if (latest != titleAt(at)) expected.push_back(latest);
                    }
                    IcyDemux demux;
                    demux.Reset(mode == kHeadersKnown ? interval : 0);
                    std::vector<std::string> titles;
                    ASSERT_EQ(Split(demux, body, [&] { return piece; }, &titles), audio) << where;
                    ASSERT_EQ(titles, expected) << where;
                    if (mode == kStatusLineInBody || mode == kHeaderLinesInBody)
                        ASSERT_STREQ(demux.Station(), "Joined") << where;
                    else
                        ASSERT_STREQ(demux.Station(), "") << where;
                }
            }
        }
    }
}
