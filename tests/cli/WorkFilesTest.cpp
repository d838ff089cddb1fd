// The command line's work files on file systems that cannot make a file without a name (vfat,
// NFS, many FUSE ones), given to it by a preloaded shim: what a kill leaves, who may read it,
// and what the next run in that folder does with it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ExecCli.h"
#include "tests/support/TempDir.h"

using namespace tessella;

namespace {

using Env = std::map<std::string, std::string>;

// Starts tessella-cli in `dir` with the shim preloaded and `env` set; standard streams on
// /dev/null.
pid_t StartCli(const TempDir& dir, const std::vector<std::string>& args, const Env& env) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    const int devnull = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd) {
        dup2(devnull, fd);
    }
    setenv("LD_PRELOAD", TESSELLA_SHIM, 1);
    for (const auto& [name, value] : env) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    ExecCli(dir, args);
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// The work files in `dir`, by name.
std::vector<std::string> WorkFiles(const TempDir& dir) {
    std::vector<std::string> found;
    for (const std::string& name : dir.List()) {
        if (name.rfind(".tessella-", 0) == 0) {
            found.push_back(name);
        }
    }
    return found;
}

void WriteFile(const TempDir& dir, const std::string& name, const std::string& bytes, int mode) {
    dir.Write(name, bytes);
    ::chmod(dir.Path(name).c_str(), static_cast<mode_t>(mode));
}

}  // namespace

// Replacing a file gives the output a name of its own first and then the destination's: in
// between, and after a kill there, no one but the owner may read the plaintext.
TEST(WorkFiles, AReplacingOutputIsReadableByItsOwnerOnlyUntilItsNameIsFinal) {
    for (const char* unnamed : {"allow", "refuse"}) {
        SCOPED_TRACE(unnamed);
        TempDir dir;
        const std::string plain = TempDir::RandomBytes(200000, 7);
        WriteFile(dir, "report.txt", plain, 0644);
        dir.Write("pw", "staged mode 1\n");
        const Env fast{{"TESSELLA_SHIM_UNNAMED", unnamed}};
        ASSERT_EQ(Wait(StartCli(dir, {"encrypt", "--password-file", "pw", "report.txt"}, fast)), 0);
        WriteFile(dir, "report.txt", "the older copy", 0644);

        Env slow = fast;
        slow["TESSELLA_SHIM_RENAME_DELAY_US"] = "400000";
        const pid_t pid =
            StartCli(dir, {"decrypt", "-f", "--password-file", "pw", "report.velx"}, slow);
        std::map<std::string, int> modesSeen;
        int status = -1;
        while (true) {
            for (const std::string& name : WorkFiles(dir)) {
                if (const int mode = Mode(dir.Path(name)); mode >= 0) {
                    modesSeen[name] = mode;
                }
            }
            if (waitpid(pid, &status, WNOHANG) == pid) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        ASSERT_FALSE(modesSeen.empty());
        for (const auto& [name, mode] : modesSeen) {
            EXPECT_EQ(mode, 0600) << name;
        }
        EXPECT_EQ(TempDir::Read(dir.Path("report.txt")), plain);
        EXPECT_EQ(Mode(dir.Path("report.txt")), 0644);
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"pw", "report.txt", "report.velx"}));
    }
}

// A kill -9 cannot be caught: the named work file stays. It is the owner's alone, and the next
// run in that folder, whatever its job, removes it.
TEST(WorkFiles, AWorkFileLeftByAKillIsRemovedByTheNextRunInItsFolder) {
    TempDir dir;
    WriteFile(dir, "big.bin", TempDir::RandomBytes(4000000, 8), 0644);
    dir.Write("small.txt", "small");
    dir.Write("pw", "killed mid job\n");
    const pid_t pid = StartCli(dir, {"encrypt", "--password-file", "pw", "big.bin", "big.velx"},
                               {{"TESSELLA_SHIM_WRITE_DELAY_US", "50000"}});
    std::vector<std::string> left;
    for (int i = 0; i < 5000 && left.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        left = WorkFiles(dir);
    }
    // Killed once some of the content is in it.
    std::error_code ec;
    for (int i = 0;
         i < 5000 && !left.empty() && std::filesystem::file_size(dir.Path(left[0]), ec) <= 216;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    EXPECT_EQ(Wait(pid), 128 + SIGKILL);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(WorkFiles(dir), left);
    EXPECT_EQ(Mode(dir.Path(left[0])), 0600);
    EXPECT_GT(std::filesystem::file_size(dir.Path(left[0])), 216u);

    // The next run here has a job of its own; the leftover goes before it starts.
    EXPECT_EQ(Wait(StartCli(dir, {"encrypt", "--password-file", "pw", "small.txt"}, {})), 0);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"big.bin", "pw", "small.txt", "small.velx"}));
}

// A file system that moves only a few bytes per call (a network share, a FUSE mount) gives the
// same encrypted file, and the same file back, as any other; the file is large enough to be
// cut into two halves that read and write on their own.
TEST(WorkFiles, AFileSystemThatMovesFewBytesPerCallGivesTheSameBytes) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(9 * 1024 * 1024 + 777, 11);
    dir.Write("big.bin", plain);
    dir.Write("pw", "short reads\n");
    ASSERT_EQ(Wait(StartCli(dir, {"encrypt", "--password-file", "pw", "big.bin"}, {})), 0);
    const std::string whole = TempDir::Read(dir.Path("big.velx"));
    std::filesystem::rename(dir.Path("big.velx"), dir.Path("whole.velx"));
    const Env shortIo{{"TESSELLA_SHIM_SHORT_IO", "4093"}};
    ASSERT_EQ(Wait(StartCli(dir, {"encrypt", "--password-file", "pw", "big.bin"}, shortIo)), 0);
    EXPECT_TRUE(TempDir::Read(dir.Path("big.velx")) == whole);
    std::filesystem::remove(dir.Path("big.bin"));
    ASSERT_EQ(Wait(StartCli(dir, {"decrypt", "--password-file", "pw", "big.velx"}, shortIo)), 0);
    EXPECT_TRUE(TempDir::Read(dir.Path("big.bin")) == plain);
}
