#include <fcntl.h>
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>

#include <cstring>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ExecCli.h"
#include "engine/FileUtils.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestJob.h"

using namespace tessella;

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

// On a terminal set to Latin-1 (ISO-8859-1 or -15) the password's bytes are the window's
// already: taken as they are, they give the key the window gives the same letters.
TEST(Cli, ALatin1TerminalsPasswordIsTakenAsItIs) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(5000, 35);
    dir.Write("doc", plain);
    dir.Write("pw", "p\xE4ssw\xF6rd\n");  // "pässwörd" in Latin-1
    std::filesystem::create_directory(dir.Path(".locales"));
    for (const char* charmap : {"ISO-8859-1", "ISO-8859-15"}) {
        SCOPED_TRACE(charmap);
        // The locale is compiled here, so that the test needs none installed.
        const std::string name = std::string("en_US.") + charmap;
        const std::string made = "localedef -i en_US -f " + std::string(charmap) + " '" +
                                 dir.Path(".locales/" + name) + "' > /dev/null 2>&1";
        if (std::system(made.c_str()) != 0) {
            GTEST_SKIP() << "this machine cannot compile a " << charmap << " locale";
        }
        setenv("LOCPATH", dir.Path(".locales").c_str(), 1);
        setenv("LC_ALL", name.c_str(), 1);
        const Outcome out = RunCli(dir, {"encrypt", "--password-file", "pw", "doc", "doc.velx"});
        unsetenv("LC_ALL");
        unsetenv("LOCPATH");
        ASSERT_EQ(out.status, 0) << out.err;

        TestJob window;
        window.encryptMode = false;
        window.source = dir.Path("doc.velx");
        window.destination = dir.Path("back");
        window.password = "p\xE4ssw\xF6rd";
        window.Start();
        EXPECT_EQ(window.messages, std::vector<std::string>{"File decrypted successfully"});
        EXPECT_EQ(TempDir::Read(dir.Path("back")), plain);
        std::filesystem::remove(dir.Path("doc.velx"));
        std::filesystem::remove(dir.Path("back"));
    }
}

namespace {

// A sparse file reads fast but still takes a job long enough to be signalled mid-way.
void WriteSparse(const TempDir& dir, const std::string& name, off_t size) {
    const int fd = ::open(dir.Path(name).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0);
    ASSERT_EQ(pwrite(fd, "x", 1, size - 1), 1);
    ::close(fd);
}

// Starts tessella-cli in `dir`, its standard error thrown away.
pid_t StartCli(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& errors = "/dev/null") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_RDWR);
        dup2(devnull, STDIN_FILENO);
        dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        ExecCli(dir, args);
    }
    return pid;
}

// How many files process `pid` holds open for writing in `dir`, named or not.
int OutputsHeldIn(pid_t pid, const TempDir& dir) {
    const std::string folder = dir.Path("");
    std::error_code ec;
    int held = 0;
    for (const auto& e :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
        // Sources are named "huge..."; the password file is read before any job starts.
        if (!ec && target.rfind(folder, 0) == 0 && target.rfind(folder + "huge", 0) != 0 &&
            target != folder + "pw") {
            ++held;
        }
    }
    return held;
}

// Waits until process `pid` holds `count` output files in `dir`; false after a minute.
bool WaitForOutputs(pid_t pid, const TempDir& dir, int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (OutputsHeldIn(pid, dir) >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace

TEST(Cli, SignalsMidJobLeaveNothingBehind) {
    TempDir dir;
    WriteSparse(dir, "huge", 900L * 1000 * 1000);
    dir.Write("pw", "interrupt me\n");
    // Ctrl-C, a closed terminal and a kill stop the job; SIGKILL cannot be caught at all.
    for (int sig : {SIGINT, SIGHUP, SIGTERM, SIGKILL}) {
        const pid_t pid = StartCli(dir, {"encrypt", "--password-file", "pw", "huge", "huge.velx"});
        ASSERT_GT(pid, 0);
        const bool writing = WaitForOutputs(pid, dir, 1);
        kill(pid, sig);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(writing) << strsignal(sig);
        if (sig == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(status));
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << strsignal(sig);
            EXPECT_EQ(WEXITSTATUS(status), 1);
        }
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"huge", "pw"})) << strsignal(sig);
    }
}

TEST(Cli, SeveralSourcesRunSideBySideAndOneStopEndsThemAll) {
    TempDir dir;
    WriteSparse(dir, "huge1", 900L * 1000 * 1000);
    WriteSparse(dir, "huge2", 900L * 1000 * 1000);
    dir.Write("pw", "two at a time\n");
    TempDir elsewhere;
    const pid_t pid =
        StartCli(dir, {"encrypt", "--no-check", "--password-file", "pw", "huge1", "huge2", "."},
                 elsewhere.Path("errors"));
    ASSERT_GT(pid, 0);
    const int cores = static_cast<int>(std::min(2u, std::thread::hardware_concurrency()));
    const bool writing = WaitForOutputs(pid, dir, cores);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(writing);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"huge1", "huge2", "pw"}));
    // Each file says it was interrupted, and the count says so too.
    EXPECT_EQ(TempDir::Read(elsewhere.Path("errors")),
              "huge1: Interrupted: nothing was written.\n"
              "huge2: Interrupted: nothing was written.\n"
              "0 of 2 files encrypted, 2 interrupted.\n");
}

TEST(Cli, SeveralSourcesGoToTheirDefaultNamesOrIntoAFolder) {
    TempDir dir;
    const std::string a = TempDir::RandomBytes(3000, 45);
    const std::string b = TempDir::RandomBytes(70000, 46);
    dir.Write("a.txt", a);
    dir.Write("b.bin", b);
    dir.Write("c", "third");
    dir.Write("pw", "many files 1\n");
    // Two paths stay SOURCE DESTINATION; from three on, each source has its default name.
    const Outcome all = RunCli(dir, {"encrypt", "--password-file", "pw", "a.txt", "b.bin", "c"});
    EXPECT_EQ(all.status, 0);
    EXPECT_NE(all.err.find("a.txt: File encrypted successfully\n"), std::string::npos);
    EXPECT_NE(all.err.find("c: File encrypted successfully\n"), std::string::npos);
    EXPECT_NE(all.err.find("\n3 of 3 files encrypted.\n"), std::string::npos) << all.err;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txt", "a.velx", "b.bin", "b.velx", "c",
                                                    "c.velx", "pw"}));

    // A last argument that is a folder receives every file; one failure fails the whole run.
    std::filesystem::create_directory(dir.Path("out"));
    const Outcome some =
        RunCli(dir, {"encrypt", "--password-file", "pw", "a.txt", "gone", "b.bin", "out"});
    EXPECT_EQ(some.status, 1);
    EXPECT_NE(some.err.find("gone: ERROR: GONE: file not found or inaccessible\n"),
              std::string::npos);
    EXPECT_NE(some.err.find("\n2 of 3 files encrypted, 1 failed.\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("out/a.velx")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("out/b.velx")));

    // Decrypted files take their stored names in the folder given.
    std::filesystem::create_directory(dir.Path("back"));
    const Outcome restored =
        RunCli(dir, {"decrypt", "--password-file", "pw", "out/a.velx", "out/b.velx", "back"});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(TempDir::Read(dir.Path("back/a.txt")), a);
    EXPECT_EQ(TempDir::Read(dir.Path("back/b.bin")), b);

    // Two sources that would be written to one name are refused before anything starts.
    dir.Write("a.doc", "other");
    const Outcome same = RunCli(dir, {"encrypt", "--password-file", "pw", "a.txt", "a.doc", "out"});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(same.err,
              "tessella-cli: 'a.txt' and 'a.doc' would both be written to 'out/a.velx'\n"
              "Try 'tessella-cli --help'.\n");
}

// Jobs run side by side: two that would write one file, or one that would write over another's
// source, are refused before any starts, naming the sources; a decrypted file's name is the
// one stored, read with the password.
TEST(Cli, ClashesAreFoundBeforeAnyJobRunsEvenThroughStoredNames) {
    TempDir dir;
    // Blanks around a password are no part of it, for the names read ahead as for the jobs.
    dir.Write("pw", "  clash check 1 \n");
    for (const char* sub : {"d1", "d2", "out", "inner"}) {
        std::filesystem::create_directory(dir.Path(sub));
    }
    dir.Write("d1/report.txt", "first report");
    dir.Write("d2/report.txt", "second report");
    dir.Write("inner/d2.velx", "a name another source has");
    for (const auto& [from, to] : {std::pair{"d1/report.txt", "d1.velx"},
                                   {"d2/report.txt", "d2.velx"},
                                   {"inner/d2.velx", "d3.velx"}}) {
        ASSERT_EQ(RunCli(dir, {"encrypt", "--password-file", "pw", from, to}).status, 0);
    }
    const Outcome both =
        RunCli(dir, {"decrypt", "-f", "--password-file", "pw", "d1.velx", "d2.velx", "./out/"});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err,
              "tessella-cli: 'd1.velx' and 'd2.velx' would both be written to './out/report.txt'\n"
              "Try 'tessella-cli --help'.\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("out")));

    // d3.velx holds "d2.velx": restored next to it, it would replace the other source.
    const std::string before = TempDir::Read(dir.Path("d2.velx"));
    const Outcome over =
        RunCli(dir, {"decrypt", "-f", "--password-file", "pw", "d3.velx", "./d2.velx", "."});
    EXPECT_EQ(over.status, 2);
    EXPECT_EQ(over.err,
              "tessella-cli: 'd3.velx' would be written over './d2.velx', another file of this "
              "run\nTry 'tessella-cli --help'.\n");
    EXPECT_EQ(TempDir::Read(dir.Path("d2.velx")), before);

    // With another password the names cannot be read: no clash is claimed, each job fails.
    dir.Write("pw2", "another pass\n");
    const Outcome unread =
        RunCli(dir, {"decrypt", "--password-file", "pw2", "d1.velx", "d2.velx", "out"});
    EXPECT_EQ(unread.status, 1);
    EXPECT_NE(unread.err.find("\n0 of 2 files decrypted, 2 failed.\n"), std::string::npos);

    // Two spellings of one folder are one folder.
    dir.Write("d1/report.doc", "same default name");
    const Outcome spelled = RunCli(dir, {"encrypt", "--password-file", "pw", "d1/report.txt",
                                         "./d1//report.doc", "d2/report.txt"});
    EXPECT_EQ(spelled.status, 2);
    EXPECT_NE(spelled.err.find("'d1/report.txt' and './d1//report.doc' would both be written to"),
              std::string::npos);
    EXPECT_EQ(std::filesystem::exists(dir.Path("d1/report.velx")), false);
}

// On Linux a file's own name is everything after its last "/": a colon or a backslash is part
// of it. It is stored whole, or, where readers of the format would split it, refused.
TEST(Cli, AStoredNameIsTheWholeNameAfterTheLastSlash) {
    TempDir dir;
    dir.Write("pw", "whole names 1\n");
    dir.Write("a:b.txt", "colon");
    dir.Write("b.txt", "unrelated");
    dir.Write("dir\\notes.txt", "backslash");
    dir.Write("notes.txt", "other");
    ASSERT_EQ(RunCli(dir, {"encrypt", "--password-file", "pw", "a:b.txt"}).status, 0);
    std::filesystem::rename(dir.Path("a:b.txt"), dir.Path("kept"));
    const Outcome back = RunCli(dir, {"decrypt", "-f", "--password-file", "pw", "a:b.velx"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(TempDir::Read(dir.Path("a:b.txt")), "colon");
    EXPECT_EQ(TempDir::Read(dir.Path("b.txt")), "unrelated");

    const Outcome refused = RunCli(dir, {"encrypt", "--password-file", "pw", "dir\\notes.txt"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "ERROR: dir\\notes.txt: a file name with a backslash cannot be stored (rename the "
              "file)\n");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a:b.txt", "a:b.velx", "b.txt",
                                                    "dir\\notes.txt", "kept", "notes.txt", "pw"}));
}

// A name may hold any byte but "/": one with an escape sequence or a line end would retitle the
// terminal or fake a message line if it came back raw.
TEST(Cli, ControlCharactersInNamesAreShownEscaped) {
    TempDir dir;
    dir.Write("pw", "escapes 1234\n");
    const std::string crafted = "e\x1B]0;owned\x07\nERROR: fake.txt";
    dir.Write(crafted, "x");
    dir.Write(crafted + ".velx", "in the way");
    const Outcome exists =
        RunCli(dir, {"encrypt", "--password-file", "pw", crafted, crafted + ".velx"});
    EXPECT_EQ(exists.status, 1);
    EXPECT_EQ(exists.err,
              "ERROR: e\\x1B]0;owned\\x07\\nERROR: fake.txt.velx: file exists (use --force to "
              "replace it)\n");
    const Outcome labelled =
        RunCli(dir, {"encrypt", "--password-file", "pw", crafted, "gone\t1", "."});
    EXPECT_NE(labelled.err.find("gone\\t1: ERROR: GONE\\t1: file not found or inaccessible\n"),
              std::string::npos)
        << labelled.err;
    EXPECT_NE(
        labelled.err.find("e\\x1B]0;owned\\x07\\nERROR: fake.txt: File encrypted successfully"),
        std::string::npos);
    EXPECT_EQ(labelled.err.find('\x1B'), std::string::npos);
    // The engine's own messages name it escaped too.
    std::filesystem::create_directory(dir.Path("dir\x1B[2J"));
    const Outcome folder =
        RunCli(dir, {"encrypt", "--password-file", "pw", "dir\x1B[2J", "folder.velx"});
    EXPECT_EQ(folder.err, "ERROR: dir\\x1B[2J: not a regular file\n");
}

TEST(Cli, ADestinationInAMissingFolderSaysWhichFolderAndWhy) {
    TempDir dir;
    dir.Write("a.txt", "some text");
    dir.Write("pw", "folder check 1\n");
    const Outcome o = RunCli(dir, {"encrypt", "--password-file", "pw", "a.txt", "nosuch/a.velx"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "ERROR: nosuch: cannot write in this folder (No such file or directory)\n");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txt", "pw"}));
}

TEST(Cli, FileSizeLimitFailsTheJobWhichCleansUp) {
    TempDir dir;
    dir.Write("data", TempDir::RandomBytes(2 << 20, 41));
    dir.Write("pw", "size limited 1\n");
    for (const char* mode : {"encrypt", "decrypt"}) {
        if (std::string(mode) == "decrypt") {
            ASSERT_EQ(RunCli(dir, {"encrypt", "--password-file", "pw", "data", "d.velx"}).status,
                      0);
            std::filesystem::remove(dir.Path("data"));
        }
        const std::string cmd =
            "cd '" + dir.Path("") + "' && ulimit -f 1000 && exec '" TESSELLA_CLI "' " + mode +
            " --password-file pw " + (std::string(mode) == "encrypt" ? "data d.velx" : "d.velx") +
            " 2> .err";
        const int raw = std::system(("sh -c \"" + cmd + "\"").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << mode;
        EXPECT_EQ(WEXITSTATUS(raw), 1) << mode;
        EXPECT_EQ(TempDir::Read(dir.Path(".err")), "ERROR: Error during encryption.\n");
        std::filesystem::remove(dir.Path(".err"));
        EXPECT_EQ(dir.List(), (std::vector<std::string>{
                                  std::string(mode) == "encrypt" ? "data" : "d.velx", "pw"}));
    }
}

TEST(Cli, PathsAreUsedExactlyAsGiven) {
    TempDir dir;
    dir.Write("notes", "the notes without a blank");
    dir.Write("report", "the report");
    dir.Write("pw", "exact paths 1\n");
    // A name with a trailing blank is another file; so is one with a leading blank.
    const Outcome missing = RunCli(dir, {"encrypt", "--password-file", "pw", "notes "});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ERROR: NOTES : file not found or inaccessible\n");
    dir.Write("notes ", "the notes with a blank");
    ASSERT_EQ(RunCli(dir, {"encrypt", "--password-file", "pw", "notes ", " report"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.Path("report")), "the report");
    std::filesystem::remove(dir.Path("notes "));
    ASSERT_EQ(RunCli(dir, {"decrypt", "--password-file", "pw", " report"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.Path("notes ")), "the notes with a blank");
    EXPECT_EQ(TempDir::Read(dir.Path("notes")), "the notes without a blank");

    ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    const Outcome pipe = RunCli(dir, {"encrypt", "--password-file", "pw", "pipe"});
    EXPECT_EQ(pipe.status, 1);
    EXPECT_EQ(pipe.err, "ERROR: pipe: not a regular file\n");
}

TEST(Cli, ExistingFilesAreReplacedOnlyWithForce) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(4000, 42);
    dir.Write("a.txt", plain);
    dir.Write("pw", "force option 1\n");
    dir.Write("a.velx", "an older file");
    const Outcome refused = RunCli(dir, {"encrypt", "--password-file", "pw", "a.txt"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "ERROR: a.velx: file exists (use --force to replace it)\n");
    EXPECT_EQ(TempDir::Read(dir.Path("a.velx")), "an older file");
    const Outcome forced = RunCli(dir, {"encrypt", "--force", "--password-file", "pw", "a.txt"});
    EXPECT_EQ(forced.status, 0) << forced.err;

    // The restored name of a decryption is protected the same way.
    dir.Write("a.txt", "edited since");
    const Outcome kept = RunCli(dir, {"decrypt", "--password-file", "pw", "a.velx"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "ERROR: a.txt: file exists (use --force to replace it)\n");
    EXPECT_EQ(TempDir::Read(dir.Path("a.txt")), "edited since");
    EXPECT_EQ(RunCli(dir, {"decrypt", "-f", "--password-file", "pw", "a.velx"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.Path("a.txt")), plain);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txt", "a.velx", "pw"}));
}

namespace {

// Runs tessella-cli on a new terminal; each step of `script` types its keys once its prompt has
// appeared. Returns what the terminal showed last, its echo setting afterwards and the status.
struct TerminalRun {
    std::string shown;
    std::string all;  // everything the terminal showed, from the start
    bool echo = false;
    int status = -1;
};

TerminalRun OnTerminal(const TempDir& dir, const std::vector<std::string>& args,
                       const std::vector<std::pair<std::string, std::string>>& script) {
    TerminalRun run;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ExecCli(dir, args);
    }
    size_t step = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            char buf[512];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) {
                break;  // the program ended and closed the terminal
            }
            run.shown.append(buf, static_cast<size_t>(n));
            run.all.append(buf, static_cast<size_t>(n));
        }
        if (step < script.size() && run.shown.find(script[step].first) != std::string::npos) {
            // A password is typed only once the program has switched the echo off: typed
            // before, it would be shown, and then dropped by the switch (which flushes input).
            const bool asksAPassword = script[step].first.find("assword: ") != std::string::npos;
            for (int i = 0; i < 200 && asksAPassword; ++i) {
                termios now{};
                if (tcgetattr(master, &now) == 0 && (now.c_lflag & ECHO) == 0) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const std::string& keys = script[step].second;
            if (write(master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
                break;
            }
            run.shown.clear();
            ++step;
        }
    }
    termios t{};
    tcgetattr(master, &t);
    run.echo = (t.c_lflag & ECHO) != 0;
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = status;
    close(master);
    return run;
}

}  // namespace

TEST(Cli, CtrlCAtThePasswordPromptGivesTheEchoBack) {
    TempDir dir;
    dir.Write("doc", TempDir::RandomBytes(1000, 43));
    const TerminalRun run = OnTerminal(dir, {"encrypt", "doc"}, {{"Password: ", "abc\x03"}});
    EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGINT) << run.status;
    EXPECT_TRUE(run.echo);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"doc"});
}

// A password typed on the terminal is never shown there, neither the first time nor the second.
TEST(Cli, APasswordTypedOnTheTerminalIsNotEchoed) {
    TempDir dir;
    dir.Write("doc", TempDir::RandomBytes(1000, 47));
    const TerminalRun run =
        OnTerminal(dir, {"encrypt", "doc"},
                   {{"Password: ", "hidden words\n"}, {"Confirm password: ", "hidden words\n"}});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.all;
    EXPECT_EQ(run.all.find("hidden"), std::string::npos) << run.all;
    EXPECT_NE(run.all.find("File encrypted successfully"), std::string::npos) << run.all;
    EXPECT_TRUE(run.echo);
}

TEST(Cli, ReplacingIsAskedOnATerminal) {
    TempDir dir;
    dir.Write("doc", TempDir::RandomBytes(1000, 44));
    dir.Write("doc.velx", "older");
    dir.Write("pw", "asked on a tty\n");
    const TerminalRun no = OnTerminal(dir, {"encrypt", "--password-file", "pw", "doc"},
                                      {{"doc.velx exists. Replace it? [y/N] ", "n\n"}});
    EXPECT_TRUE(WIFEXITED(no.status) && WEXITSTATUS(no.status) == 1);
    EXPECT_EQ(TempDir::Read(dir.Path("doc.velx")), "older");
    const TerminalRun yes = OnTerminal(dir, {"encrypt", "--password-file", "pw", "doc"},
                                       {{"doc.velx exists. Replace it? [y/N] ", "y\n"}});
    EXPECT_TRUE(WIFEXITED(yes.status) && WEXITSTATUS(yes.status) == 0) << yes.shown;
    EXPECT_NE(yes.shown.find("File encrypted successfully"), std::string::npos);
    EXPECT_EQ(FileUtils::GetFileLength(dir.Path("doc.velx")), 1216);
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
    // Every bar drawn is 40 cells, filled in proportion to its value, and the values only grow.
    int frames = 0;
    int last = -1;
    for (size_t at = shown.find("\r["); at != std::string::npos; at = shown.find("\r[", at + 1)) {
        const std::string bar = shown.substr(at + 1, 42);
        const int value = std::atoi(shown.substr(at + 44, 4).c_str());
        const int filled = static_cast<int>(std::count(bar.begin(), bar.end(), '#'));
        EXPECT_EQ(bar, "[" + std::string(filled, '#') + std::string(40 - filled, '.') + "]");
        EXPECT_EQ(filled, value * 40 / 100) << value;
        EXPECT_GT(value, last);
        last = value;
        ++frames;
    }
    EXPECT_GT(frames, 10);
    // Without a terminal the same job prints its message only.
    const Outcome piped =
        RunCli(dir, {"encrypt", "--no-check", "--password-file", "pw", "data", "b.velx"});
    EXPECT_EQ(piped.err, "File encrypted successfully\n");
}

namespace {

// Runs tessella-cli in `dir` as a shell would start it (SIGPIPE at its default), with standard
// output and error on a pipe whose reader has gone; the wait status.
int RunWithoutReader(const TempDir& dir, const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    close(fds[0]);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        const int devnull = ::open("/dev/null", O_RDONLY);
        dup2(devnull, STDIN_FILENO);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        ExecCli(dir, args);
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(Cli, AReaderThatWentAwayLosesOnlyTheMessages) {
    TempDir dir;
    dir.Write("a", TempDir::RandomBytes(5000, 51));
    dir.Write("b", TempDir::RandomBytes(6000, 52));
    dir.Write("pw", "nobody listens\n");
    const int one = RunWithoutReader(dir, {"encrypt", "--password-file", "pw", "a", "one.velx"});
    ASSERT_TRUE(WIFEXITED(one)) << "ended by signal " << WTERMSIG(one);
    EXPECT_EQ(WEXITSTATUS(one), 0);
    // Several files: every job still runs after the first lost message, and the failed one
    // still makes the status 1.
    const int many =
        RunWithoutReader(dir, {"encrypt", "--password-file", "pw", "a", "missing", "b", "."});
    ASSERT_TRUE(WIFEXITED(many)) << "ended by signal " << WTERMSIG(many);
    EXPECT_EQ(WEXITSTATUS(many), 1);
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{"a", "a.velx", "b", "b.velx", "one.velx", "pw"}));
    const Outcome back = RunCli(dir, {"decrypt", "--password-file", "pw", "b.velx", "b2"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(TempDir::Read(dir.Path("b2")), TempDir::Read(dir.Path("b")));
}

TEST(Cli, AnEndlessOrOverlongPasswordIsRefusedAfterABoundedRead) {
    TempDir dir;
    dir.Write("a", TempDir::RandomBytes(2000, 53));
    dir.Write("long", std::string(5000, 'p') + "\n");
    // `timeout` ends a read that never stops, so the old fault fails here instead of hanging.
    const std::string cli = "cd '" + dir.Path("") + "' && timeout 10 '" TESSELLA_CLI "' ";
    for (const std::string& tail :
         {std::string("encrypt a a.velx < /dev/zero"),
          std::string("encrypt --password-file /dev/zero a a.velx < /dev/null"),
          std::string("encrypt --password-file long a a.velx < /dev/null"),
          std::string("decrypt --password-file /dev/zero a.velx < /dev/null")}) {
        const int raw = std::system((cli + tail + " 2> .err").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << tail;
        EXPECT_EQ(WEXITSTATUS(raw), 1) << tail;
        EXPECT_EQ(TempDir::Read(dir.Path(".err")),
                  "ERROR: Password must be at most 15 characters\n")
            << tail;
        std::filesystem::remove(dir.Path(".err"));
        EXPECT_EQ(dir.List(), (std::vector<std::string>{"a", "long"})) << tail;
    }
}

TEST(Cli, APasswordFileMayStartWithAByteOrderMark) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(3000, 54);
    dir.Write("doc", plain);
    dir.Write("marked", "\xEF\xBB\xBFmarked text\r\n");
    const Outcome enc = RunCli(dir, {"encrypt", "--password-file", "marked", "doc", "doc.velx"});
    ASSERT_EQ(enc.status, 0) << enc.err;
    // The same password typed without the mark opens it.
    const Outcome dec = RunCli(dir, {"decrypt", "doc.velx", "back"}, "marked text\n");
    EXPECT_EQ(dec.status, 0) << dec.err;
    EXPECT_TRUE(TempDir::Read(dir.Path("back")) == plain);
}

TEST(Cli, ClosedStandardDescriptorsNeverBecomeTheJobsFiles) {
    TempDir dir;
    dir.Write("a", TempDir::RandomBytes(3000, 55));
    dir.Write("pw", "nothing is open\n");
    // Closed by the caller, 0 and 2 would be the first files the job opens: its source, then
    // its output, where a message would land.
    const std::string cli = "cd '" + dir.Path("") + "' && '" TESSELLA_CLI "' ";
    int raw = std::system((cli + "encrypt --password-file pw a a.velx 0<&- 1>&- 2>&-").c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_EQ(FileUtils::GetFileLength(dir.Path("a.velx")), 3216);
    raw = std::system((cli + "decrypt --password-file pw a.velx b 0<&- 2>&-").c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_TRUE(TempDir::Read(dir.Path("b")) == TempDir::Read(dir.Path("a")));

    // While a job runs, each of the three is /dev/null and no file of the job's.
    WriteSparse(dir, "huge", 900L * 1000 * 1000);
    const pid_t pid = fork();
    if (pid == 0) {
        for (int fd = 0; fd <= 2; ++fd) {
            close(fd);
        }
        ExecCli(dir, {"encrypt", "--password-file", "pw", "huge", "huge.velx"});
    }
    ASSERT_GT(pid, 0);
    const bool writing = WaitForOutputs(pid, dir, 1);
    std::vector<std::string> targets;
    for (int fd = 0; fd <= 2; ++fd) {
        std::error_code ec;
        targets.push_back(std::filesystem::read_symlink(
                              "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd), ec)
                              .string());
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(writing);
    EXPECT_EQ(targets, (std::vector<std::string>{"/dev/null", "/dev/null", "/dev/null"}));
}
