// Event delivery: every connected sink in slot order, the argument layout of both events, and
// sinks that fail or disconnect while the event is being delivered.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "control/events.h"
#include "support/bare_control.h"
#include "support/recording_sink.h"

namespace {

class Events : public testing::Test {
protected:
    DWORD Connect(RecordingSink& sink) { return control_.EventSinks().Add(static_cast<IDispatch*>(&sink)); }
    void Disconnect(DWORD cookie) { control_.EventSinks().Remove(cookie); }

    // The sinks outlive the control, whose slots still hold them when a test ends.
    std::vector<RecordedEvent> log_;
    RecordingSink a{L"a", log_}, b{L"b", log_}, c{L"c", log_}, d{L"d", log_};
    BareControl control_;
};

}  // namespace

TEST_F(Events, EverySinkReceivesBothEventsInSlotOrder)
{
    Connect(a);
    Connect(b);
    FireMsgEvent(&control_, 4);
    FireStatus(&control_, 202, 404);
    const std::vector<RecordedEvent> expected{
        {L"a", 1, 4, 0}, {L"b", 1, 4, 0}, {L"a", 2, 202, 404}, {L"b", 2, 202, 404}};
    EXPECT_EQ(log_, expected);
    // Each call held its own reference and gave it back.
    EXPECT_EQ(a.References(), 2);
}

TEST_F(Events, AFailingSinkDoesNotStopDelivery)
{
    a.result = E_FAIL;
    Connect(a);
    Connect(b);
    FireMsgEvent(&control_, 1);
    EXPECT_EQ(b.MsgIds(), std::vector<long>{1});
}

TEST_F(Events, ASinkThatDisconnectsItselfKeepsTheOthersServed)
{
    DWORD cookieA = Connect(a);
    Connect(b);
    Connect(c);
    a.onEvent = [&] { Disconnect(cookieA); a.onEvent = nullptr; };
    FireMsgEvent(&control_, 2);
    FireMsgEvent(&control_, 5);
    EXPECT_EQ(a.MsgIds(), std::vector<long>{2});
    EXPECT_EQ(b.MsgIds(), (std::vector<long>{2, 5}));
    EXPECT_EQ(c.MsgIds(), (std::vector<long>{2, 5}));
    EXPECT_EQ(a.References(), 1);
}

TEST_F(Events, ASinkDisconnectedByAnotherHandlerIsNotCalled)
{
    Connect(a);
    DWORD cookieB = Connect(b);
    Connect(c);
    a.onEvent = [&] { Disconnect(cookieB); };
    FireMsgEvent(&control_, 1);
    EXPECT_EQ(a.MsgIds(), std::vector<long>{1});
    EXPECT_TRUE(b.MsgIds().empty());
    EXPECT_EQ(c.MsgIds(), std::vector<long>{1});
}

TEST_F(Events, AFreedSlotIsReusedAndKeepsItsPlaceInTheOrder)
{
    DWORD cookieA = Connect(a);
    Connect(b);
    Disconnect(cookieA);
    EXPECT_EQ(Connect(d), cookieA);
    FireMsgEvent(&control_, 3);
    const std::vector<RecordedEvent> expected{{L"d", 1, 3, 0}, {L"b", 1, 3, 0}};
    EXPECT_EQ(log_, expected);
}

TEST_F(Events, NothingIsDeliveredWithoutSinksOrControl)
{
    FireMsgEvent(&control_, 1);
    FireMsgEvent(nullptr, 1);
    FireStatus(nullptr, 200, 0);
    EXPECT_TRUE(log_.empty());
}
