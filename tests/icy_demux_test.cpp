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

// Feeds the body in random pieces, checking that nothing is written past the room the splitter
// asks for; the audio it gave back and each title it announced.
Bytes Split(IcyDemux& demux, const Bytes& body, std::mt19937& random, std::vector<std::string>* titles)
{
    constexpr size_t kGuard = 16;
    Bytes audio;
    for (size_t at = 0; at < body.size();) {
        const size_t count = std::min<size_t>(body.size() - at, 1 + random() % 5000);
        Bytes out(count + 3 + kGuard, 0xAB);
        bool changed = false;
        const int32_t got = demux.Feed(body.data() + at, static_cast<int32_t>(count), out.data(), &changed);
        EXPECT_GE(got, 0);
        EXPECT_LE(static_cast<size_t>(got), count + 3);
        for (size_t i = count + 3; i < out.size(); ++i) EXPECT_EQ(out[i], 0xAB) << "written past the room";
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
        // Audio starts as MPEG audio does, never like a header line.
        for (uint8_t& b : audio) b = static_cast<uint8_t>(0x80 | random());
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
        ASSERT_EQ(Split(demux, body, random, &titles), audio) << "round " << round;
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
        Split(demux, body, random, nullptr);
    }
}
