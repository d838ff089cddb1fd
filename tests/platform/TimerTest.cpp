// timer.device and Delay: requests come back in deadline order and can be taken back before
// their time; on the virtual clock a test decides when that time comes.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>
#include <vector>

#include "devices/timer.h"
#include "dos.h"
#include "exec.h"
#include "platform_test.h"

namespace {

struct TimerRig {
    MsgPort* port = CreateMsgPort();
    std::vector<timerequest*> requests;

    timerequest* Open() {
        auto* r = reinterpret_cast<timerequest*>(CreateExtIO(port, sizeof(timerequest)));
        EXPECT_EQ(OpenDevice(TIMERNAME, UNIT_VBLANK, &r->tr_node, 0), 0);
        requests.push_back(r);
        return r;
    }

    static void Send(timerequest* r, ULONG secs, ULONG micro) {
        r->tr_node.io_Command = TR_ADDREQUEST;
        r->tr_time.tv_secs = secs;
        r->tr_time.tv_micro = micro;
        SendIO(&r->tr_node);
    }

    timerequest* Next() {
        WaitPort(port);
        return reinterpret_cast<timerequest*>(GetMsg(port));
    }

    ~TimerRig() {
        for (timerequest* r : requests) {
            CloseDevice(&r->tr_node);
            DeleteExtIO(&r->tr_node);
        }
        DeleteMsgPort(port);
    }
};

// Time stands still for these tests and moves only by the test's steps.
class VirtualTime : public ::testing::Test {
protected:
    void SetUp() override { PlatformTest::UseVirtualClock(); }
    void TearDown() override { PlatformTest::UseRealClock(); }
};

TEST_F(VirtualTime, RequestsCompleteInDeadlineOrderAndNotBeforeTheirTime) {
    TimerRig rig;
    timerequest* late = rig.Open();
    timerequest* early = rig.Open();
    timerequest* middle = rig.Open();
    timerequest* now = rig.Open();
    TimerRig::Send(late, 0, 300000);
    TimerRig::Send(early, 0, 100000);
    TimerRig::Send(middle, 0, 200000);
    TimerRig::Send(now, 0, 0);
    EXPECT_EQ(rig.Next(), now);  // due at once, with no step
    ASSERT_TRUE(PlatformTest::WaitTimerRequests(3));

    EXPECT_EQ(PlatformTest::AdvanceClock(99), 0);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
    EXPECT_EQ(CheckIO(&early->tr_node), nullptr);
    EXPECT_EQ(PlatformTest::AdvanceClock(1), 1);
    EXPECT_EQ(GetMsg(rig.port), &early->tr_node.io_Message);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
    // One step over two deadlines: both come back, the earlier first.
    EXPECT_EQ(PlatformTest::AdvanceClock(250), 2);
    EXPECT_EQ(GetMsg(rig.port), &middle->tr_node.io_Message);
    EXPECT_EQ(GetMsg(rig.port), &late->tr_node.io_Message);
    EXPECT_EQ(late->tr_node.io_Error, 0);
    EXPECT_EQ(late->tr_node.io_Message.mn_Node.ln_Type, NT_REPLYMSG);
    EXPECT_EQ(CheckIO(&late->tr_node), &late->tr_node);
    EXPECT_TRUE(PlatformTest::WaitTimerRequests(0));
}

TEST_F(VirtualTime, AbortTakesARequestBackAndLeavesTheOthers) {
    TimerRig rig;
    timerequest* distant = rig.Open();
    timerequest* soon = rig.Open();
    TimerRig::Send(distant, 3600, 0);
    TimerRig::Send(soon, 0, 20000);

    AbortIO(&distant->tr_node);
    EXPECT_EQ(WaitIO(&distant->tr_node), IOERR_ABORTED);
    EXPECT_EQ(CheckIO(&distant->tr_node), &distant->tr_node);

    // The aborted request was taken off the port by WaitIO; only the other one arrives.
    PlatformTest::AdvanceClock(20);
    EXPECT_EQ(GetMsg(rig.port), &soon->tr_node.io_Message);
    EXPECT_EQ(soon->tr_node.io_Error, 0);
    // Aborting a request that has already come back changes nothing.
    AbortIO(&soon->tr_node);
    EXPECT_EQ(soon->tr_node.io_Error, 0);
    PlatformTest::AdvanceClock(3600 * 1000);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
}

// The time of day stands still with the clock and moves by the steps; a request for a time of
// day comes back when the clock reaches it.
TEST_F(VirtualTime, SystemTimeAndWaitsUntilATimeOfDayFollowTheSteps) {
    TimerRig rig;
    timerequest* r = rig.Open();
    auto systemTime = [&] {
        r->tr_node.io_Command = TR_GETSYSTIME;
        EXPECT_EQ(DoIO(&r->tr_node), 0);
        return static_cast<long long>(r->tr_time.tv_secs) * 1000000 + r->tr_time.tv_micro;
    };
    const long long start = systemTime();
    std::this_thread::yield();
    EXPECT_EQ(systemTime(), start);
    PlatformTest::AdvanceClock(1500);
    EXPECT_EQ(systemTime(), start + 1500000);

    auto* at = reinterpret_cast<timerequest*>(CreateExtIO(rig.port, sizeof(timerequest)));
    ASSERT_EQ(OpenDevice(TIMERNAME, UNIT_WAITUNTIL, &at->tr_node, 0), 0);
    rig.requests.push_back(at);
    const long long when = start + 1500000 + 2000000;
    TimerRig::Send(at, static_cast<ULONG>(when / 1000000), static_cast<ULONG>(when % 1000000));
    PlatformTest::AdvanceClock(1999);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
    PlatformTest::AdvanceClock(1);
    EXPECT_EQ(GetMsg(rig.port), &at->tr_node.io_Message);
}

// A thread asleep in Delay wakes when a step takes the clock past its deadline, and only then.
TEST_F(VirtualTime, ADelayOnAnotherThreadEndsWithTheStepThatReachesItsDeadline) {
    std::atomic<bool> awake{false};
    std::thread sleeper([&] {
        Delay(10);  // 200 ms
        awake = true;
    });
    ASSERT_TRUE(PlatformTest::WaitDelays(1));
    EXPECT_EQ(PlatformTest::AdvanceClock(150), 0);
    EXPECT_EQ(PlatformTest::AdvanceClock(49), 0);
    EXPECT_FALSE(awake.load());
    EXPECT_TRUE(PlatformTest::WaitDelays(1, 0));
    EXPECT_EQ(PlatformTest::AdvanceClock(1), 1);
    EXPECT_TRUE(PlatformTest::WaitDelays(0, 0));  // the step returned after the sleeper had left
    sleeper.join();
    EXPECT_TRUE(awake.load());
    Delay(0);  // nothing to wait for: no step needed
}

// Back on real time the clock goes on from where the steps left it: a request sent before the
// switch comes back after what was left of its time, in real time.
TEST(TimerDevice, RealTimeGoesOnFromWhereTheVirtualClockStopped) {
    TimerRig rig;
    timerequest* r = rig.Open();
    PlatformTest::UseVirtualClock();
    TimerRig::Send(r, 0, 50000);
    PlatformTest::AdvanceClock(40);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
    PlatformTest::UseRealClock();
    EXPECT_EQ(rig.Next(), r);  // 10 ms of real time
}

TEST(TimerDevice, WaitIOAfterGetMsgLeavesThePortIntact) {
    TimerRig rig;
    timerequest* first = rig.Open();
    timerequest* second = rig.Open();
    TimerRig::Send(first, 0, 1000);
    EXPECT_EQ(rig.Next(), first);           // taken off the port by hand...
    EXPECT_EQ(WaitIO(&first->tr_node), 0);  // ...so WaitIO must not unlink it a second time
    TimerRig::Send(second, 0, 1000);
    EXPECT_EQ(rig.Next(), second);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
}

TEST(TimerDevice, SystemTimeIsTheWallClock) {
    TimerRig rig;
    timerequest* r = rig.Open();
    r->tr_node.io_Command = TR_GETSYSTIME;
    // time() reads a coarse clock that can lag the real one across a second boundary.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t before = now.tv_sec;
    EXPECT_EQ(DoIO(&r->tr_node), 0);
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t after = now.tv_sec;
    EXPECT_GE(static_cast<time_t>(r->tr_time.tv_secs), before);
    EXPECT_LE(static_cast<time_t>(r->tr_time.tv_secs), after);
    EXPECT_LT(r->tr_time.tv_micro, 1000000u);
}

TEST(TimerDevice, DoIOWaitsAndUnknownDevicesOrUnitsFail) {
    TimerRig rig;
    timerequest* r = rig.Open();
    r->tr_node.io_Command = TR_ADDREQUEST;
    r->tr_time.tv_secs = 0;
    r->tr_time.tv_micro = 10000;
    EXPECT_EQ(DoIO(&r->tr_node), 0);
    EXPECT_EQ(GetMsg(rig.port), nullptr);  // DoIO took its reply off the port

    r->tr_node.io_Command = 0x7777;
    EXPECT_EQ(DoIO(&r->tr_node), IOERR_NOCMD);

    IORequest* other = CreateExtIO(rig.port, sizeof(timerequest));
    EXPECT_EQ(OpenDevice("nonesuch.device", 0, other, 0), IOERR_OPENFAIL);
    EXPECT_EQ(OpenDevice(TIMERNAME, 42, other, 0), IOERR_OPENFAIL);
    DeleteExtIO(other);
    EXPECT_EQ(CreateExtIO(nullptr, sizeof(timerequest)), nullptr);
}

}  // namespace
