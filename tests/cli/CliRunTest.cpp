#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "TestJob.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs tessella-cli in `dir` with `input` on its standard input (not a terminal).
Outcome RunCli(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& input = "") {
    dir.Write(".stdin", input);
    std::string cmd = "cd '" + dir.Path("") + "' && '" TESSELLA_CLI "'";
    for (const std::string& a : args) {
        cmd += " '" + a + "'";
    }
    cmd += " < .stdin > .stdout 2> .stderr";
    const int raw = std::system(cmd.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = TempDir::Read(dir.Path(".stdout"));
    o.err = TempDir::Read(dir.Path(".stderr"));
    for (const char* f : {".stdin", ".stdout", ".stderr"}) {
        std::filesystem::remove(dir.Path(f));
    }
    return o;
}

}  // namespace

TEST(Cli, HelpVersionAndUsageErrors) {
    TempDir dir;
    const Outcome help = RunCli(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: tessella-cli encrypt"), std::string::npos);
    const Outcome version = RunCli(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tessella-cli ", 0), 0u);
    const Outcome bad = RunCli(dir, {"encrypt", "--bogus", "x"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown option '--bogus'"), std::string::npos);
    const Outcome noFile = RunCli(dir, {"encrypt", "--password-file", "missing", "x"});
    EXPECT_EQ(noFile.status, 2);
}

TEST(Cli, EncryptWithDefaultNameThenDecryptToTheStoredName) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(70000, 31);
    dir.Write("report.txt", plain);
    const Outcome enc = RunCli(dir, {"encrypt", "report.txt"}, "  my password  \nignored\n");
    EXPECT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(enc.err, "File encrypted successfully\n");
    ASSERT_TRUE(std::filesystem::exists(dir.Path("report.velx")));

    std::filesystem::remove(dir.Path("report.txt"));
    dir.Write("pw", "my password\r\n");
    const Outcome dec = RunCli(dir, {"decrypt", "--password-file", "pw", "report.velx"});
    EXPECT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(dec.err, "File decrypted successfully\n");
    EXPECT_EQ(TempDir::Read(dir.Path("report.txt")), plain);
}

TEST(Cli, FailuresUseTheSystemMessagesAndExitOne) {
    TempDir dir;
    dir.Write("a.bin", TempDir::RandomBytes(1000, 32));
    const Outcome shortPw = RunCli(dir, {"encrypt", "a.bin"}, "1234567\n");
    EXPECT_EQ(shortPw.status, 1);
    EXPECT_EQ(shortPw.err, "ERROR: Password must be at least 8 characters\n");
    const Outcome longPw = RunCli(dir, {"encrypt", "a.bin"}, "1234567890123456\n");
    EXPECT_EQ(longPw.status, 1);
    EXPECT_EQ(longPw.err, "ERROR: Password must be at most 15 characters\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("a.velx")));

    ASSERT_EQ(RunCli(dir, {"encrypt", "--no-check", "a.bin", "a.velx"}, "password one\n").status,
              0);
    const Outcome wrong = RunCli(dir, {"decrypt", "a.velx", "b.bin"}, "password two\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err,
              "ERROR: a.velx: The password is incorrect or not valid Vel Encrypted File\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("b.bin")));
}

TEST(Cli, Utf8PasswordGivesTheSameKeyAsTheLatin1WindowText) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(5000, 33);
    dir.Write("doc", plain);
    dir.Write("pw", "p\xC3\xA4ssw\xC3\xB6rd\n");  // "pässwörd" as a UTF-8 terminal sends it
    ASSERT_EQ(RunCli(dir, {"encrypt", "--password-file", "pw", "doc", "doc.velx"}).status, 0);

    TestJob window;
    window.encryptMode = false;
    window.source = dir.Path("doc.velx");
    window.destination = dir.Path("back");
    window.password = "p\xE4ssw\xF6rd";
    window.Start();
    EXPECT_EQ(window.messages, std::vector<std::string>{"File decrypted successfully"});
    EXPECT_EQ(TempDir::Read(dir.Path("back")), plain);

    const Outcome euro = RunCli(dir, {"encrypt", "doc", "e.velx"}, "price \xE2\x82\xAC 100\n");
    EXPECT_EQ(euro.status, 1);
    EXPECT_NE(euro.err.find("only Latin-1 characters"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("e.velx")));
}

TEST(Cli, InterruptStopsTheJobAndLeavesNothing) {
    TempDir dir;
    // A large sparse file reads fast but still takes the job long enough to be interrupted.
    {
        const int fd = ::open(dir.Path("huge").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 900L * 1000 * 1000), 0);
        ASSERT_EQ(pwrite(fd, "x", 1, 900L * 1000 * 1000 - 1), 1);
        ::close(fd);
    }
    dir.Write("pw", "interrupt me\n");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir(dir.Path("").c_str()) != 0) {
            _exit(99);
        }
        const int devnull = ::open("/dev/null", O_WRONLY);
        dup2(devnull, STDERR_FILENO);
        execl(TESSELLA_CLI, TESSELLA_CLI, "encrypt", "--password-file", "pw", "huge", "huge.velx",
              static_cast<char*>(nullptr));
        _exit(98);
    }
    // Wait until the job writes its output, then press Ctrl-C.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : dir.List()) {
            writing = writing || name.find(".part") != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(writing);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"huge", "pw"}));
}

TEST(Cli, ProgressBarOnlyOnATerminal) {
    TempDir dir;
    dir.Write("data", TempDir::RandomBytes(300000, 34));
    dir.Write("pw", "progress bar 1\n");
    // `script` gives the program a terminal; its output is what that terminal showed.
    const std::string cmd =
        "cd '" + dir.Path("") +
        "' && script -qec \"'" TESSELLA_CLI
        "' encrypt --no-check --password-file pw data data.velx\" /dev/null > .tty";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string shown = TempDir::Read(dir.Path(".tty"));
    EXPECT_NE(shown.find("\r[" + std::string(40, '.') + "]   0%"), std::string::npos);
    EXPECT_NE(shown.find("\r[" + std::string(40, '#') + "] 100%\r\n"), std::string::npos);
    EXPECT_NE(shown.find("File encrypted successfully"), std::string::npos);
    // Without a terminal the same job prints its message only.
    const Outcome piped =
        RunCli(dir, {"encrypt", "--no-check", "--password-file", "pw", "data", "b.velx"});
    EXPECT_EQ(piped.err, "File encrypted successfully\n");
}
