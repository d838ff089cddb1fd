// A machine without a sound device: opening audio.device fails quietly, leaving nothing on
// standard error (the sound library's own complaints included), in a process of its own since
// the sound output is looked for once per run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "devices/audio.h"

namespace {

TEST(AudioQuiet, ANoSoundDeviceLeavesStandardErrorEmpty) {
    char folder[] = "/tmp/audio-quiet-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    // ALSA with a configuration that names no device at all: its default PCM is unknown.
    const std::string config = std::string(folder) + "/asound.conf";
    std::ofstream(config) << "\n";
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    const std::string errors = std::string(folder) + "/stderr.txt";
    std::fflush(stderr);
    const int saved = dup(2);
    const int capture = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(capture, 0);
    dup2(capture, 2);
    close(capture);

    MsgPort* port = CreateMsgPort();
    auto* r = reinterpret_cast<IOAudio*>(CreateExtIO(port, sizeof(IOAudio)));
    UBYTE map[] = {1, 8, 2, 4};
    r->ioa_Request.io_Command = ADCMD_ALLOCATE;
    r->ioa_Request.io_Flags = ADIOF_NOWAIT;
    r->ioa_Data = map;
    r->ioa_Length = sizeof(map);
    const BYTE opened = OpenDevice(AUDIONAME, 0, &r->ioa_Request, 0);

    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::ifstream in(errors);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(opened, IOERR_OPENFAIL);
    EXPECT_EQ(written, "");
    if (opened == 0) {
        CloseDevice(&r->ioa_Request);
    }
    DeleteExtIO(&r->ioa_Request);
    DeleteMsgPort(port);
    std::remove(errors.c_str());
    std::remove(config.c_str());
    rmdir(folder);
}

}  // namespace
