// Without a sound output audio.device cannot be opened; and the mixer's resampling, which needs
// no output to be checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "devices/audio.h"
#include "platform/sdl/AudioMixer.h"

namespace {

using tessella::sdl::AudioMixer;
using tessella::sdl::Finished;
using tessella::sdl::Voice;

TEST(AudioAbsent, OpenDeviceFailsWithoutASoundOutput) {
    setenv("SDL_AUDIODRIVER", "no-such-output", 1);
    MsgPort* port = CreateMsgPort();
    auto* r = reinterpret_cast<IOAudio*>(CreateExtIO(port, sizeof(IOAudio)));
    UBYTE map[] = {1, 8, 2, 4};
    r->ioa_Request.io_Command = ADCMD_ALLOCATE;
    r->ioa_Request.io_Flags = ADIOF_NOWAIT;
    r->ioa_Data = map;
    r->ioa_Length = sizeof(map);
    EXPECT_EQ(OpenDevice(AUDIONAME, 0, &r->ioa_Request, 0), IOERR_OPENFAIL);
    EXPECT_EQ(r->ioa_Request.io_Device, nullptr);
    DeleteExtIO(&r->ioa_Request);
    DeleteMsgPort(port);
}

std::vector<Sint16> MixAll(Voice& v, int frames, std::vector<Finished>& done) {
    std::vector<Sint16> out(static_cast<size_t>(frames));
    AudioMixer::Get().Start(&v);
    AudioMixer::Get().Mix(out.data(), frames, done);
    return out;
}

TEST(AudioMixing, SamplesAreScaledByVolumeAndEndAfterTheirCycles) {
    const BYTE samples[] = {100, -100, 50, 0};
    Voice v;
    v.samples = samples;
    v.length = 4;
    v.rate = AudioMixer::Get().OutputRate();  // one sample per output frame
    v.volume = 32;
    v.cycles = 2;
    std::vector<Finished> done;
    const auto out = MixAll(v, 10, done);
    const std::vector<Sint16> expected = {12800, -12800, 6400, 0, 12800, -12800, 6400, 0, 0, 0};
    EXPECT_EQ(out, expected);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].serial, v.serial);
    EXPECT_FALSE(AudioMixer::Get().Stop(&v));  // already off the output
}

TEST(AudioMixing, SlowerSoundsAreInterpolatedBetweenSamples) {
    const BYTE samples[] = {0, 64, -64};
    Voice v;
    v.samples = samples;
    v.length = 3;
    v.rate = AudioMixer::Get().OutputRate() / 2.0;  // each sample lasts two frames
    v.volume = 64;
    v.cycles = 0;  // repeats: after the last sample comes the first again
    std::vector<Finished> done;
    const auto out = MixAll(v, 8, done);
    const std::vector<Sint16> expected = {0, 8192, 16384, 0, -16384, -8192, 0, 8192};
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(done.empty());
    EXPECT_TRUE(AudioMixer::Get().Stop(&v));
}

TEST(AudioMixing, VoicesAddUpAndClipAtFullScale) {
    const BYTE loud[] = {127, -128};
    Voice a;
    a.samples = loud;
    a.length = 2;
    a.rate = AudioMixer::Get().OutputRate();
    a.cycles = 1;
    Voice b = a;
    std::vector<Finished> done;
    std::vector<Sint16> out(2);
    AudioMixer::Get().Start(&a);
    AudioMixer::Get().Start(&b);
    AudioMixer::Get().Mix(out.data(), 2, done);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32768);
    EXPECT_EQ(done.size(), 2u);
}

}  // namespace
