// A station's titles reach the stream's title (and the host's 210) only once their audio is
// heard: an output whose played time lags what it was given, as a sound device's does.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "heard_titles.h"

namespace {

// The output the station plays through: how much it was given and how much it has played.
int32_t writtenMs = 0;
int32_t playedMs = 0;
bool playing = true;
int32_t __cdecl WrittenTime() { return writtenMs; }
int32_t __cdecl OutputTime() { return playedMs; }
int32_t __cdecl IsPlaying() { return playing ? 1 : 0; }

class Heard : public testing::Test {
protected:
    void SetUp() override
    {
        writtenMs = playedMs = 0;
        playing = true;
        output_.getWrittenTime = WrittenTime;
        output_.getOutputTime = OutputTime;
        output_.isPlaying = IsPlaying;
    }

    // The titles that became the stream's, one per call of told().
    std::vector<std::string> Announce(bool settled, uint64_t fed)
    {
        std::vector<std::string> told;
        titles_.Announce(output_, settled, fed, [&] { told.push_back(title_); });
        return told;
    }

    OutputPluginRecord output_{};
    Lock lock_;
    char title_[IcyDemux::kTextBytes] = "";
    HeardTitles titles_{lock_, title_, sizeof title_};
};

}  // namespace

// A title in the byte stream waits for the audio before it to be fed and written, then for the
// output to play up to where its audio starts; titles are told one at a time, in order.
TEST_F(Heard, ATitleWaitsForItsAudioToBePlayed)
{
    titles_.QueueAfter("First", 1000);
    titles_.QueueAfter("Second", 5000);
    writtenMs = 800;
    EXPECT_TRUE(Announce(true, 999).empty());
    EXPECT_TRUE(Announce(false, 1000).empty()) << "the decoder still holds audio from before it";
    EXPECT_TRUE(Announce(true, 1000).empty()) << "played 0 of the 800 ms before it";
    writtenMs = 2000;  // written on meanwhile: the title's start stays where it was found
    playedMs = 799;
    EXPECT_TRUE(Announce(true, 4000).empty());
    playedMs = 800;
    EXPECT_EQ(Announce(true, 4000), std::vector<std::string>{"First"});
    EXPECT_STREQ(title_, "First");
    playedMs = 5000;
    EXPECT_EQ(Announce(true, 6000), std::vector<std::string>{"Second"}) << "its start is the written 2000 ms";
    EXPECT_TRUE(Announce(true, 9000).empty());
}

// A title that comes with its start in the output's time (a chained stream's comments) is told
// once the output has played that far; once the output has played everything, every title is.
TEST_F(Heard, AnOutputThatHasPlayedEverythingHasHeardEveryTitle)
{
    writtenMs = 300;
    titles_.QueueAtWritten("Chained", output_);
    titles_.QueueAfter("Later", 100);
    writtenMs = 900;
    EXPECT_TRUE(Announce(true, 100).empty());
    playing = false;
    EXPECT_EQ(Announce(true, 100), (std::vector<std::string>{"Chained", "Later"}));
}

// A station that changes titles faster than they are heard keeps the latest four; a cleared
// queue tells nothing more.
TEST_F(Heard, TitlesFasterThanTheyAreHeardKeepTheLatest)
{
    for (int i = 0; i < 6; ++i) titles_.QueueAfter(("Title " + std::to_string(i)).c_str(), 10);
    playing = false;
    EXPECT_EQ(Announce(true, 10), (std::vector<std::string>{"Title 2", "Title 3", "Title 4", "Title 5"}));
    titles_.QueueAfter("Gone", 0);
    titles_.Clear();
    EXPECT_TRUE(Announce(true, 10).empty());
}
