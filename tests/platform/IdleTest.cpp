// A program whose tasks all wait must not use the processor: no task may poll.
#include <gtest/gtest.h>

#include <ctime>

#include "devices/timer.h"
#include "dos.h"
#include "intuition.h"
#include "platform_test.h"

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

Task* mainTask;
BYTE workerDoneBit;

TEST(Idle, WaitingTasksUseUnderTwoPercentOfACore) {
    mainTask = FindTask(nullptr);
    workerDoneBit = AllocSignal(-1);
    ASSERT_GE(workerDoneBit, 0);

    Screen* screen = OpenScreenTags(nullptr, SA_Width, 640, SA_Height, 480, SA_Depth, 8);
    ASSERT_NE(screen, nullptr);
    Window* window = OpenWindowTags(
        nullptr, WA_CustomScreen, screen, WA_Width, 200, WA_Height, 100, WA_Title, "Idle", WA_Flags,
        WFLG_DRAGBAR | WFLG_REPORTMOUSE | WFLG_ACTIVATE, WA_IDCMP, IDCMP_MOUSEMOVE | IDCMP_RAWKEY);
    ASSERT_NE(window, nullptr);

    // A timer request far in the future keeps the timer device waiting for its deadline.
    MsgPort* port = CreateMsgPort();
    auto* request = reinterpret_cast<timerequest*>(CreateExtIO(port, sizeof(timerequest)));
    ASSERT_EQ(OpenDevice(TIMERNAME, UNIT_VBLANK, &request->tr_node, 0), 0);
    request->tr_node.io_Command = TR_ADDREQUEST;
    request->tr_time.tv_secs = 3600;
    request->tr_time.tv_micro = 0;
    SendIO(&request->tr_node);

    // A worker process waiting for a break signal.
    Process* worker = CreateNewProcTags(
        NP_Entry,
        +[] {
            Wait(SIGBREAKF_CTRL_C);
            Signal(mainTask, 1UL << workerDoneBit);
        },
        NP_Name, "idle worker", NP_Priority, -127);
    ASSERT_NE(worker, nullptr);

    PlatformTest::MovePointer(10, 10);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    while (Message* m = GetMsg(window->UserPort)) {
        ReplyMsg(m);
    }
    Delay(10);  // let every thread reach its wait

    const double before = ProcessCpuSeconds();
    Delay(50);  // one real second, the span the CPU use is measured over
    const double used = ProcessCpuSeconds() - before;
    RecordProperty("cpu_microseconds", static_cast<int>(used * 1e6));
    EXPECT_LT(used, 0.02) << "CPU seconds used in one idle second: " << used;

    Signal(&worker->pr_Task, SIGBREAKF_CTRL_C);  // stays pending until the worker waits
    Wait(1UL << workerDoneBit);
    AbortIO(&request->tr_node);
    WaitIO(&request->tr_node);
    CloseDevice(&request->tr_node);
    DeleteExtIO(&request->tr_node);
    DeleteMsgPort(port);
    CloseWindow(window);
    EXPECT_EQ(CloseScreen(screen), TRUE);
    FreeSignal(workerDoneBit);
}

}  // namespace
