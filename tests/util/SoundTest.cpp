// The sound player on SDL's dummy sound output, which plays silently at the real pace: copies in
// a folder private to the user, the files it refuses, and one sound replacing another.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SoundFile.h"
#include "util/Sound.h"

using namespace tessella;

namespace {

namespace fs = std::filesystem;
using soundfile::Header;

class SoundPlayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void SetUp() override {
        char pattern[] = "/tmp/sound-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;
        runtime = work + "/run";
        ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }

    void TearDown() override {
        fs::permissions(work, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(work);
    }

    std::string Make(const std::string& name, const soundfile::Bytes& bytes) {
        const std::string path = work + "/" + name;
        soundfile::Write(path, bytes);
        return path;
    }

    // Plays the file and returns what the player wrote to the log meanwhile.
    static std::string Play(Sound& sound, const std::string& path, short loop = 0) {
        testing::internal::CaptureStdout();
        sound.PlayFileSound(path, loop);
        return testing::internal::GetCapturedStdout();
    }

    std::string work;
    std::string runtime;
};

TEST_F(SoundPlayer, PlaysFromACopyInAFolderOnlyTheUserCanEnter) {
    const soundfile::Bytes bytes = soundfile::Sound(Header{800, 0}, soundfile::Samples(800));
    const std::string path = Make("bell.8svx", bytes);
    Sound sound;
    EXPECT_EQ(Play(sound, path), "");
    EXPECT_TRUE(sound.IsPlaying());
    EXPECT_EQ(sound.GetPlayingLength(), 800u);

    const std::string folder = runtime + "/tessella";
    EXPECT_EQ(sound.FileTemporaneo(path), folder + "/bell.8svx");
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(soundfile::Read(folder + "/bell.8svx"), bytes);
    EXPECT_FALSE(fs::exists(folder + "/bell.8svx.part"));

    // Later calls play the copy, even once the original has gone.
    fs::remove(path);
    EXPECT_EQ(Play(sound, path), "");
    EXPECT_EQ(sound.GetPlayingLength(), 800u);
    sound.StopPlay();
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(SoundPlayer, WithoutARuntimeFolderTheCopiesGoToAPrivateFolderOfTheUser) {
    unsetenv("XDG_RUNTIME_DIR");
    const std::string tmp = work + "/tmp";
    fs::create_directory(tmp);
    setenv("TMPDIR", tmp.c_str(), 1);
    const std::string path =
        Make("ding.8svx", soundfile::Sound(Header{100, 0}, soundfile::Samples(100)));
    Sound sound;
    Play(sound, path);
    const std::string folder = tmp + "/tessella-" + std::to_string(getuid());
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::exists(folder + "/ding.8svx"));
    unsetenv("TMPDIR");
}

TEST_F(SoundPlayer, AFolderOthersCanEnterIsNeitherTrustedNorFilled) {
    const std::string folder = runtime + "/tessella";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    chmod(folder.c_str(), 0777);
    // Someone else's "copy" of the sound, planted where the player would look.
    Make("run/tessella/bell.8svx", soundfile::Sound(Header{50, 0}, soundfile::Samples(50)));
    const std::string path =
        Make("bell.8svx", soundfile::Sound(Header{400, 0}, soundfile::Samples(400)));
    Sound sound;
    const std::string log = Play(sound, path);
    EXPECT_NE(log.find("Cartella temporanea non privata"), std::string::npos) << log;
    EXPECT_EQ(sound.GetPlayingLength(), 400u);  // the user's own file
    EXPECT_EQ(soundfile::Read(folder + "/bell.8svx").size(),
              soundfile::Sound(Header{50, 0}, soundfile::Samples(50)).size());
}

TEST_F(SoundPlayer, DamagedOrUnsupportedFilesAreRefusedWithTheirReason) {
    Header zeroRate{100, 0};
    zeroRate.rate = 0;
    Header slowRate{100, 0};
    slowRate.rate = 54;  // its period would not fit 16 bits
    Header shortHeader{100, 0};
    shortHeader.size = 12;
    Header compressed{100, 0};
    compressed.compression = 1;
    Header octaves{100, 0};
    octaves.octaves = 2;
    const struct {
        const char* name;
        soundfile::Bytes bytes;
        const char* log;
    } cases[] = {
        {"zero-rate", soundfile::Sound(zeroRate, soundfile::Samples(100)),
         "Frequenza di campionamento non valida"},
        {"slow-rate", soundfile::Sound(slowRate, soundfile::Samples(100)),
         "Frequenza di campionamento non valida"},
        {"short-header", soundfile::Sound(shortHeader, soundfile::Samples(100)), "VHDR incompleto"},
        {"compressed", soundfile::Sound(compressed, soundfile::Samples(100)), "senza compressione"},
        {"octaves", soundfile::Sound(octaves, soundfile::Samples(100)), "senza compressione"},
        {"cut-short", soundfile::Sound(Header{100, 0}, soundfile::Samples(100), 60),
         "Lettura data non completata."},
        {"not-iff", soundfile::Bytes(64, 'x'), "Errore ParseIFF"},
    };
    Sound sound;
    for (const auto& c : cases) {
        const std::string log = Play(sound, Make(c.name, c.bytes));
        EXPECT_NE(log.find(c.log), std::string::npos) << c.name << ": " << log;
        EXPECT_FALSE(sound.IsPlaying()) << c.name;
    }
    const std::string missing = work + "/missing.8svx";
    EXPECT_EQ(Play(sound, missing), missing + " non trovato.\n");
}

TEST_F(SoundPlayer, AHeaderClaimingMoreSamplesThanTheFilePlaysWhatTheBodyHolds) {
    const std::string path =
        Make("long.8svx", soundfile::Sound(Header{1000000, 0}, soundfile::Samples(300)));
    Sound sound;
    EXPECT_EQ(Play(sound, path), "");
    EXPECT_EQ(sound.GetPlayingLength(), 300u);
    // No one-shot part: the repeat part's count is the length.
    const std::string repeat =
        Make("repeat.8svx", soundfile::Sound(Header{0, 120}, soundfile::Samples(300)));
    EXPECT_EQ(Play(sound, repeat), "");
    EXPECT_EQ(sound.GetPlayingLength(), 120u);
}

TEST_F(SoundPlayer, ASecondSoundStopsTheFirstBeforeItsSamplesGo) {
    const std::string first =
        Make("loop.8svx", soundfile::Sound(Header{4000, 0}, soundfile::Samples(4000)));
    const std::string second =
        Make("short.8svx", soundfile::Sound(Header{200, 0}, soundfile::Samples(200, 9)));
    Sound sound;
    Play(sound, first, 1);
    ASSERT_TRUE(sound.IsPlaying());
    // Real time: the looping sound is being mixed by SDL's audio thread, which no step drives.
    usleep(50000);
    EXPECT_EQ(Play(sound, second), "");
    EXPECT_EQ(sound.GetPlayingLength(), 200u);
    Play(sound, first, 1);
    sound.StopPlay();
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(SoundPlayer, SynchronousPlayReturnsWhenTheSoundHasFinished) {
    Header fast{441, 0};
    fast.rate = 22050;  // 20 ms
    const std::string path = Make("tick.8svx", soundfile::Sound(fast, soundfile::Samples(441)));
    Sound sound;
    sound.PlayFileSoundSync(path, 1);
    EXPECT_FALSE(sound.IsPlaying());
    Sound::PlayFileSound(path);  // with a player of its own
    EXPECT_TRUE(fs::exists(runtime + "/tessella/tick.8svx"));
}

}  // namespace
