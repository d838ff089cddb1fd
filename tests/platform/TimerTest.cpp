// timer.device: requests come back in deadline order and can be taken back before their time.
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "devices/timer.h"
#include "exec.h"

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

TEST(TimerDevice, RequestsCompleteInDeadlineOrder) {
    TimerRig rig;
    timerequest* late = rig.Open();
    timerequest* early = rig.Open();
    timerequest* middle = rig.Open();
    timerequest* now = rig.Open();
    TimerRig::Send(late, 0, 300000);
    TimerRig::Send(early, 0, 100000);
    TimerRig::Send(middle, 0, 200000);
    TimerRig::Send(now, 0, 0);
    EXPECT_EQ(CheckIO(&late->tr_node), nullptr);

    EXPECT_EQ(rig.Next(), now);
    EXPECT_EQ(rig.Next(), early);
    EXPECT_EQ(rig.Next(), middle);
    timerequest* last = rig.Next();
    EXPECT_EQ(last, late);
    EXPECT_EQ(last->tr_node.io_Error, 0);
    EXPECT_EQ(last->tr_node.io_Message.mn_Node.ln_Type, NT_REPLYMSG);
    EXPECT_EQ(CheckIO(&late->tr_node), &late->tr_node);
}

TEST(TimerDevice, AbortTakesARequestBackAndLeavesTheOthers) {
    TimerRig rig;
    timerequest* distant = rig.Open();
    timerequest* soon = rig.Open();
    TimerRig::Send(distant, 3600, 0);
    TimerRig::Send(soon, 0, 20000);

    AbortIO(&distant->tr_node);
    EXPECT_EQ(WaitIO(&distant->tr_node), IOERR_ABORTED);
    EXPECT_EQ(CheckIO(&distant->tr_node), &distant->tr_node);

    // The aborted request was taken off the port by WaitIO; only the other one arrives.
    timerequest* next = rig.Next();
    EXPECT_EQ(next, soon);
    EXPECT_EQ(next->tr_node.io_Error, 0);
    // Aborting a request that has already come back changes nothing.
    AbortIO(&soon->tr_node);
    EXPECT_EQ(soon->tr_node.io_Error, 0);
    EXPECT_EQ(GetMsg(rig.port), nullptr);
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
