// A machine without a sound output: the player still constructs, says why in the log, and every
// call does nothing (in a process of its own, since the sound output is opened once per run).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SoundFile.h"
#include "util/Sound.h"

using namespace tessella;

namespace {

TEST(SoundAbsent, WithoutASoundOutputThePlayerStaysSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-output", 1);
    char pattern[] = "/tmp/sound-absent-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string work = pattern;
    setenv("XDG_RUNTIME_DIR", work.c_str(), 1);
    const std::string path = work + "/bell.8svx";
    soundfile::Write(path, soundfile::Sound(soundfile::Header{100, 0}, soundfile::Samples(100)));

    testing::internal::CaptureStdout();
    {
        Sound sound;
        sound.PlayFileSound(path, 1);
        EXPECT_FALSE(sound.IsPlaying());
        sound.PlayFileSoundSync(path, 0);
        sound.StopPlay();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Errore opendevice audio.device\n");
    EXPECT_FALSE(std::filesystem::exists(work + "/tessella"));
    std::filesystem::remove_all(work);
}

}  // namespace
