// Tasks, signals, ports, lists, memory and libraries, exercised across real threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "dos.h"
#include "exec.h"

namespace {

struct NumberMessage {
    Message msg;
    int number;
};

TEST(ExecSignals, WaitReturnsOnlyTheAwaitedSignalsAndKeepsTheOthers) {
    Task* self = FindTask(nullptr);
    const BYTE a = AllocSignal(-1);
    const BYTE b = AllocSignal(-1);
    const BYTE c = AllocSignal(-1);
    ASSERT_GE(a, 16);
    ASSERT_GE(b, 16);
    ASSERT_GE(c, 16);

    std::thread other([&] { Signal(self, (1UL << b) | (1UL << c)); });
    const ULONG got = Wait((1UL << a) | (1UL << b));
    other.join();

    EXPECT_EQ(got, 1UL << b);
    // c was not waited for: it stays pending until someone looks at it.
    EXPECT_EQ(SetSignal(0, 1UL << c) & (1UL << c), 1UL << c);
    EXPECT_EQ(SetSignal(0, 0) & (1UL << c), 0UL);
    FreeSignal(a);
    FreeSignal(b);
    FreeSignal(c);
}

TEST(ExecSignals, AllocationRefusesTakenAndExhaustedBits) {
    std::thread fresh([] {
        std::vector<BYTE> bits;
        for (BYTE bit; (bit = AllocSignal(-1)) != -1;) {
            bits.push_back(bit);
        }
        EXPECT_EQ(bits.size(), 16u);  // the user half of the 32 bits
        EXPECT_EQ(AllocSignal(20), -1);
        FreeSignal(20);
        EXPECT_EQ(AllocSignal(20), 20);
        EXPECT_EQ(AllocSignal(5), -1);  // system bits are never handed out
    });
    fresh.join();
}

TEST(ExecPorts, MessagesCrossThreadsInOrderAndComeBackReplied) {
    MsgPort* inbox = CreateMsgPort();
    ASSERT_NE(inbox, nullptr);
    constexpr int kCount = 200;
    std::atomic<int> replied{0};
    std::vector<int> replyTypes;

    std::thread sender([&] {
        MsgPort* replies = CreateMsgPort();
        std::vector<NumberMessage> messages(kCount);
        for (int i = 0; i < kCount; ++i) {
            messages[i].msg.mn_ReplyPort = replies;
            messages[i].msg.mn_Length = sizeof(NumberMessage);
            messages[i].number = i;
            PutMsg(inbox, &messages[i].msg);
        }
        while (replied < kCount) {
            WaitPort(replies);
            while (Message* m = GetMsg(replies)) {
                replyTypes.push_back(m->mn_Node.ln_Type);
                ++replied;
            }
        }
        DeleteMsgPort(replies);
    });

    std::vector<int> received;
    while (static_cast<int>(received.size()) < kCount) {
        WaitPort(inbox);
        while (Message* m = GetMsg(inbox)) {
            EXPECT_EQ(m->mn_Node.ln_Type, NT_MESSAGE);
            received.push_back(reinterpret_cast<NumberMessage*>(m)->number);
            ReplyMsg(m);
        }
    }
    sender.join();
    DeleteMsgPort(inbox);

    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(received[i], i);
    }
    ASSERT_EQ(replyTypes.size(), static_cast<size_t>(kCount));
    for (int type : replyTypes) {
        EXPECT_EQ(type, NT_REPLYMSG);
    }
    EXPECT_EQ(GetMsg(nullptr), nullptr);
}

TEST(ExecPorts, DeletingAPortFromAnotherTaskGivesTheBitBackToItsOwner) {
    MsgPort* port = CreateMsgPort();
    ASSERT_NE(port, nullptr);
    const UBYTE bit = port->mp_SigBit;
    EXPECT_EQ(AllocSignal(bit), -1);
    std::thread([&] { DeleteMsgPort(port); }).join();
    EXPECT_EQ(AllocSignal(bit), static_cast<BYTE>(bit));
    FreeSignal(bit);
}

TEST(ExecPorts, SoftInterruptPortCallsItsHandlerOnThePuttingTask) {
    struct Seen {
        MsgPort* port;
        int count = 0;
        Task* task = nullptr;
    } seen;
    Interrupt handler{};
    handler.is_Data = &seen;
    handler.is_Code = [](APTR data) {
        auto* s = static_cast<Seen*>(data);
        while (GetMsg(s->port) != nullptr) {
            ++s->count;
            s->task = FindTask(nullptr);
        }
    };
    MsgPort port{};
    port.mp_Flags = PA_SOFTINT;
    port.mp_SigTask = &handler;
    NewList(&port.mp_MsgList);
    seen.port = &port;

    Message m{};
    PutMsg(&port, &m);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.task, FindTask(nullptr));
}

TEST(ExecLists, HeadTailRemoveAndNames) {
    List list;
    NewList(&list);
    EXPECT_TRUE(IsListEmpty(&list));
    EXPECT_EQ(RemHead(&list), nullptr);
    EXPECT_EQ(RemTail(&list), nullptr);

    char nameA[] = "a", nameB[] = "b", nameC[] = "c";
    Node a{}, b{}, c{};
    a.ln_Name = nameA;
    b.ln_Name = nameB;
    c.ln_Name = nameC;
    AddTail(&list, &b);
    AddHead(&list, &a);
    AddTail(&list, &c);

    std::string order;
    for (Node* n = list.lh_Head; n->ln_Succ != nullptr; n = n->ln_Succ) {
        order += n->ln_Name;
    }
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(FindName(&list, "b"), &b);
    EXPECT_EQ(FindName(&list, "z"), nullptr);

    Remove(&b);
    EXPECT_EQ(RemHead(&list), &a);
    EXPECT_EQ(RemTail(&list), &c);
    EXPECT_TRUE(IsListEmpty(&list));
}

TEST(ExecMemory, ClearedAllocationAndAvailableFigures) {
    auto* block = static_cast<unsigned char*>(AllocMem(4096, MEMF_CHIP | MEMF_CLEAR));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4096; ++i) {
        ASSERT_EQ(block[i], 0) << i;
    }
    FreeMem(block, 4096);
    EXPECT_EQ(AllocMem(0, MEMF_ANY), nullptr);
    const IPTR total = AvailMem(MEMF_TOTAL);
    const IPTR free = AvailMem(MEMF_ANY);
    EXPECT_GT(free, 0u);
    EXPECT_GE(total, free);
}

TEST(ExecLibraries, KnownNamesOpenAndOthersDoNot) {
    for (const char* name :
         {"intuition.library", "graphics.library", "gadtools.library", "locale.library",
          "keymap.library", "diskfont.library", "asl.library", "workbench.library"}) {
        Library* base = OpenLibrary(name, 0);
        ASSERT_NE(base, nullptr) << name;
        EXPECT_STREQ(base->lib_Node.ln_Name, name);
        CloseLibrary(base);
    }
    EXPECT_EQ(OpenLibrary("nonesuch.library", 0), nullptr);
    EXPECT_EQ(OpenLibrary("intuition.library", 9999), nullptr);
}

TEST(ExecProcesses, NamedProcessRunsItsEntryAndIsFoundByName) {
    static Task* parent;
    static BYTE doneBit;
    static std::atomic<bool> foundItself;
    static std::atomic<int> priority;
    parent = FindTask(nullptr);
    doneBit = AllocSignal(-1);
    ASSERT_GE(doneBit, 16);
    foundItself = false;

    Process* p = CreateNewProcTags(
        NP_Entry,
        +[] {
            Task* me = FindTask(nullptr);
            foundItself = FindTask("task7") == me && me->tc_Node.ln_Type == NT_PROCESS;
            priority = me->tc_Node.ln_Pri;
            Signal(parent, 1UL << doneBit);
        },
        NP_Name, "task7", NP_StackSize, 65536, NP_Priority, -127);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Wait(1UL << doneBit), 1UL << doneBit);
    EXPECT_TRUE(foundItself);
    EXPECT_EQ(priority, -127);
    FreeSignal(doneBit);
    EXPECT_EQ(CreateNewProcTags(NP_Name, "no entry"), nullptr);
}

// Processes end on their own threads while another task looks them up by name: a lookup sees a
// live process or none, and an ended one is never found again. (A thread checker reports the
// ended flag if its writer and the lookup do not agree on how it is shared.)
TEST(ExecProcesses, LookupsByNameRaceSafelyWithProcessesEnding) {
    constexpr int kProcesses = 40;
    static std::atomic<int> ran;
    ran = 0;
    std::atomic<bool> looking{true};
    std::atomic<int> wrongName{0};
    std::thread lookup([&] {
        while (looking) {
            if (Task* t = FindTask("racer")) {
                wrongName += std::strcmp(t->tc_Node.ln_Name, "racer") != 0;
            }
        }
    });
    for (int i = 0; i < kProcesses; ++i) {
        ASSERT_NE(CreateNewProcTags(
                      NP_Entry, +[] { ++ran; }, NP_Name, "racer"),
                  nullptr);
    }
    // Each process ends right after its entry returns.
    bool allEnded = false;
    for (int i = 0; i < 2000 && !allEnded; ++i) {
        allEnded = ran == kProcesses && FindTask("racer") == nullptr;
        if (!allEnded) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    looking = false;
    lookup.join();
    EXPECT_TRUE(allEnded);
    EXPECT_EQ(wrongName, 0);
}

}  // namespace
