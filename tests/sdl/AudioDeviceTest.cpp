// audio.device on SDL's dummy sound output, which plays silently at the real pace: allocation,
// writes that complete, writes that are aborted, and the errors of misuse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "devices/audio.h"
#include "dos.h"

namespace {

class Audio : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void SetUp() override {
        port = CreateMsgPort();
        ASSERT_NE(port, nullptr);
        request = Allocating(channelMap, sizeof(channelMap));
        ASSERT_EQ(OpenDevice(AUDIONAME, 0, &request->ioa_Request, 0), 0);
        samples.assign(441, 0);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<BYTE>((i % 40) * 5 - 100);
        }
    }

    void TearDown() override {
        CloseDevice(&request->ioa_Request);
        for (IOAudio* r : others) {
            DeleteExtIO(&r->ioa_Request);
        }
        DeleteExtIO(&request->ioa_Request);
        DeleteMsgPort(port);
    }

    IOAudio* Allocating(UBYTE* map, ULONG entries) {
        auto* r = reinterpret_cast<IOAudio*>(CreateExtIO(port, sizeof(IOAudio)));
        r->ioa_Request.io_Command = ADCMD_ALLOCATE;
        r->ioa_Request.io_Flags = ADIOF_NOWAIT;
        r->ioa_AllocKey = 0;
        r->ioa_Data = map;
        r->ioa_Length = entries;
        return r;
    }

    // A write request on the allocated channel, as the sound player fills it.
    IOAudio* Write(UWORD cycles, ULONG rate = 44100) {
        auto* w = reinterpret_cast<IOAudio*>(CreateExtIO(port, sizeof(IOAudio)));
        *w = *request;
        w->ioa_Request.io_Message.mn_ReplyPort = port;
        w->ioa_Request.io_Command = CMD_WRITE;
        w->ioa_Request.io_Flags = ADIOF_PERVOL;
        w->ioa_Data = reinterpret_cast<UBYTE*>(samples.data());
        w->ioa_Length = static_cast<ULONG>(samples.size());
        w->ioa_Period = static_cast<UWORD>(AUDIO_CLOCK / rate);
        w->ioa_Volume = 64;
        w->ioa_Cycles = cycles;
        others.push_back(w);
        return w;
    }

    UBYTE channelMap[4] = {1, 8, 2, 4};
    MsgPort* port = nullptr;
    IOAudio* request = nullptr;
    std::vector<IOAudio*> others;
    std::vector<BYTE> samples;
};

TEST_F(Audio, OpeningAllocatesOneChannelFromTheMap) {
    EXPECT_NE(request->ioa_AllocKey, 0);
    EXPECT_EQ(reinterpret_cast<IPTR>(request->ioa_Request.io_Unit), 1u);
    // The next allocation gets the next free mask of its map.
    IOAudio* second = Allocating(channelMap, sizeof(channelMap));
    others.push_back(second);
    ASSERT_EQ(OpenDevice(AUDIONAME, 0, &second->ioa_Request, 0), 0);
    EXPECT_EQ(reinterpret_cast<IPTR>(second->ioa_Request.io_Unit), 8u);
    EXPECT_NE(second->ioa_AllocKey, request->ioa_AllocKey);
    CloseDevice(&second->ioa_Request);
}

TEST_F(Audio, AllocationFailsWhenNoMaskOfTheMapIsFree) {
    UBYTE first[] = {1};
    IOAudio* taken = Allocating(first, 1);
    others.push_back(taken);
    EXPECT_EQ(OpenDevice(AUDIONAME, 0, &taken->ioa_Request, 0), ADIOERR_ALLOCFAILED);
    // Closing gives the channel back.
    CloseDevice(&request->ioa_Request);
    EXPECT_EQ(OpenDevice(AUDIONAME, 0, &taken->ioa_Request, 0), 0);
    CloseDevice(&taken->ioa_Request);
    ASSERT_EQ(OpenDevice(AUDIONAME, 0, &request->ioa_Request, 0), 0);
}

TEST_F(Audio, WriteCompletesAfterItsCyclesHavePlayed) {
    IOAudio* w = Write(2);  // 2 x 10 ms
    BeginIO(&w->ioa_Request);
    EXPECT_EQ(WaitIO(&w->ioa_Request), 0);
    EXPECT_NE(CheckIO(&w->ioa_Request), nullptr);
}

TEST_F(Audio, WritesToOneChannelPlayInTurn) {
    IOAudio* first = Write(3);
    IOAudio* second = Write(1);
    BeginIO(&first->ioa_Request);
    BeginIO(&second->ioa_Request);
    EXPECT_EQ(WaitPort(port), &first->ioa_Request.io_Message);
    EXPECT_EQ(WaitIO(&first->ioa_Request), 0);
    EXPECT_EQ(WaitIO(&second->ioa_Request), 0);
}

TEST_F(Audio, EndlessWriteIsPendingUntilAborted) {
    IOAudio* w = Write(0);
    BeginIO(&w->ioa_Request);
    Delay(5);  // many passes over the buffer by SDL's audio thread, on real time
    EXPECT_EQ(CheckIO(&w->ioa_Request), nullptr);
    AbortIO(&w->ioa_Request);
    EXPECT_EQ(WaitIO(&w->ioa_Request), IOERR_ABORTED);
    // A finished request is left alone by a late abort.
    AbortIO(&w->ioa_Request);
    EXPECT_NE(CheckIO(&w->ioa_Request), nullptr);
}

// A player that only asks CheckIO leaves the finished request's reply at its port; sending the
// same request again must not link it into the port's list a second time.
TEST_F(Audio, RequestSentAgainWhileItsReplyWaitsAtThePort) {
    IOAudio* w = Write(1);
    BeginIO(&w->ioa_Request);
    WaitPort(port);  // completed, reply left queued
    ASSERT_NE(CheckIO(&w->ioa_Request), nullptr);
    BeginIO(&w->ioa_Request);
    EXPECT_EQ(WaitIO(&w->ioa_Request), 0);
    EXPECT_EQ(GetMsg(port), nullptr);  // one reply, taken by WaitIO; the list is intact
    EXPECT_TRUE(IsListEmpty(&port->mp_MsgList));
}

TEST_F(Audio, ClosingTheDeviceEndsItsWrites) {
    IOAudio* w = Write(0);
    BeginIO(&w->ioa_Request);
    CloseDevice(&request->ioa_Request);
    EXPECT_EQ(WaitIO(&w->ioa_Request), IOERR_ABORTED);
    ASSERT_EQ(OpenDevice(AUDIONAME, 0, &request->ioa_Request, 0), 0);
}

TEST_F(Audio, MisusedWritesFailAtOnce) {
    IOAudio* stranger = Write(1);
    stranger->ioa_AllocKey = static_cast<WORD>(request->ioa_AllocKey + 1);
    BeginIO(&stranger->ioa_Request);
    EXPECT_EQ(WaitIO(&stranger->ioa_Request), ADIOERR_NOALLOCATION);

    IOAudio* empty = Write(1);
    empty->ioa_Length = 0;
    BeginIO(&empty->ioa_Request);
    EXPECT_EQ(WaitIO(&empty->ioa_Request), IOERR_BADLENGTH);

    IOAudio* noPeriod = Write(1);
    noPeriod->ioa_Period = 0;
    BeginIO(&noPeriod->ioa_Request);
    EXPECT_EQ(WaitIO(&noPeriod->ioa_Request), IOERR_BADLENGTH);
}

}  // namespace
