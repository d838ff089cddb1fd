#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileUtils.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestJob.h"

using namespace tessella;

using FieldFocus = CryptEngine::FieldFocus;
using Names = std::vector<std::string>;

namespace {

const char* kPassword = "correct horse";

// Writes beyond `bytes` fail for this process (EFBIG), as on a full disk, until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

class Job : public ::testing::Test {
protected:
    void Encrypt(TestJob& job, const std::string& source, const std::string& destination,
                 bool check = true) {
        job.encryptMode = true;
        job.source = source;
        job.destination = destination;
        job.password = kPassword;
        job.confirmation = kPassword;
        job.check = check;
        job.Start();
    }

    void Decrypt(TestJob& job, const std::string& source, const std::string& destination,
                 const std::string& password = kPassword) {
        job.encryptMode = false;
        job.source = source;
        job.destination = destination;
        job.destinationChoice = destination.empty() ? CryptEngine::kSameFolderOriginalName
                                                    : CryptEngine::kSpecifyPathname;
        job.password = password;
        job.Start();
    }

    // An encrypted copy of `plain`, made by a successful job.
    std::string Encrypted(const std::string& plainName, const std::string& plain) {
        TestJob job;
        Encrypt(job, dir.Write(plainName, plain), dir.Path(plainName + ".velx"));
        EXPECT_EQ(job.messages, Names{"File encrypted successfully"});
        return dir.Path(plainName + ".velx");
    }

    TempDir dir;
};

}  // namespace

TEST_F(Job, EncryptCheckAndDecryptRoundTrip) {
    const std::string plain = TempDir::RandomBytes(300000, 11);
    TestJob enc;
    Encrypt(enc, dir.Write("movie.mkv", plain), dir.Path("movie.velx"));
    EXPECT_TRUE(enc.errors.empty()) << enc.LastError();
    EXPECT_EQ(enc.messages, Names{"File encrypted successfully"});
    EXPECT_EQ(enc.progressValues.back(), 100);
    EXPECT_EQ(enc.captions, Names{"START"});
    EXPECT_EQ(enc.enableCalls, 1);
    EXPECT_FALSE(enc.running);
    EXPECT_EQ(dir.List(), (Names{"movie.mkv", "movie.velx"}));
    EXPECT_EQ(FileUtils::GetFileLength(dir.Path("movie.velx")), 216 + 300000);

    TestJob dec;
    Decrypt(dec, dir.Path("movie.velx"), dir.Path("copy.mkv"));
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_EQ(TempDir::Read(dir.Path("copy.mkv")), plain);
    EXPECT_EQ(dec.progressValues.front(), 0);
    EXPECT_EQ(dec.progressValues.back(), 100);
}

TEST_F(Job, DecryptRestoresTheStoredNameInTheSourceFolder) {
    const std::string plain = TempDir::RandomBytes(5000, 12);
    const std::string velx = Encrypted("notes.txt", plain);
    std::filesystem::remove(dir.Path("notes.txt"));
    std::filesystem::create_directory(dir.Path("elsewhere"));
    std::filesystem::rename(velx, dir.Path("elsewhere/n.velx"));
    TestJob dec;
    Decrypt(dec, dir.Path("elsewhere/n.velx"), "");
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_EQ(TempDir::Read(dir.Path("elsewhere/notes.txt")), plain);
}

TEST_F(Job, ValidationMessagesAndFocus) {
    const std::string src = dir.Write("plain.txt", "some content");
    struct Case {
        std::string source, destination, password, confirmation;
        bool visible;
        std::string message;
        FieldFocus focus;
    };
    const std::vector<Case> cases = {
        {"  ", "d", kPassword, kPassword, false, "The file to encrypt is required",
         FieldFocus::Files},
        {dir.Path("gone.txt"), "d", kPassword, kPassword, false,
         "GONE.TXT: file not found or inaccessible", FieldFocus::Files},
        {src, " ", kPassword, kPassword, false, "The filename of the encrypted file is required",
         FieldFocus::Destination},
        {src, dir.Path("d"), "   ", "", false, "Password required", FieldFocus::Password},
        {src, dir.Path("d"), " 1234567 ", "", false, "Password must be at least 8 characters",
         FieldFocus::Password},
        {src, dir.Path("d"), "1234567890123456", "", false,
         "Password must be at most 15 characters", FieldFocus::Password},
        {src, dir.Path("./plain.txt"), kPassword, kPassword, false,
         "The source file and the destination file cannot match", FieldFocus::Destination},
        {src, dir.Path("d"), kPassword, " ", false, "Confirmation password required",
         FieldFocus::Confirm},
        {src, dir.Path("d"), kPassword, "correct horsE", false,
         "Confirmation password does not match", FieldFocus::Confirm},
    };
    for (const Case& c : cases) {
        TestJob job;
        job.encryptMode = true;
        job.source = c.source;
        job.destination = c.destination;
        job.password = c.password;
        job.confirmation = c.confirmation;
        job.passwordVisible = c.visible;
        job.Start();
        EXPECT_EQ(job.errors, Names{c.message});
        EXPECT_EQ(job.LastFocus(), c.focus) << c.message;
        EXPECT_TRUE(job.messages.empty());
        EXPECT_EQ(job.enableCalls, 1);
    }
    EXPECT_EQ(dir.List(), Names{"plain.txt"});
}

TEST_F(Job, TrimmedPasswordsAndShownPasswordNeedNoConfirmation) {
    const std::string plain = TempDir::RandomBytes(1000, 13);
    TestJob enc;
    enc.passwordVisible = true;
    enc.encryptMode = true;
    enc.source = dir.Write("p", plain);
    enc.destination = dir.Path("p.velx");
    enc.password = "  12345678  ";
    enc.Start();
    EXPECT_EQ(enc.messages, Names{"File encrypted successfully"});

    TestJob dec;
    Decrypt(dec, dir.Path("p.velx"), dir.Path("q"), "12345678");
    EXPECT_EQ(TempDir::Read(dir.Path("q")), plain);
}

TEST_F(Job, AnEmptyFileIsRefusedWithNothingCreated) {
    TestJob job;
    Encrypt(job, dir.Write("z.bin", ""), dir.Path("z.velx"));
    EXPECT_EQ(job.errors, Names{"z.bin: file not found or inaccessible"});
    EXPECT_EQ(job.LastFocus(), FieldFocus::Files);
    EXPECT_EQ(dir.List(), Names{"z.bin"});
}

// Content whose 16 checksum columns cancel out (two equal halves, a run of one byte of an even
// number of 16-byte rows) has the all-zero checksum, which an unreadable file also gets: it is
// still a readable file, and goes through encryption, the check and decryption like any other.
TEST_F(Job, ContentWithTheAllZeroChecksumRoundTrips) {
    const std::string half = TempDir::RandomBytes(16, 14);
    for (const std::string& content :
         {half + half, std::string(100000, 'x'), std::string(300000, '\0')}) {
        const std::string source = dir.Write("z.bin", content);
        EXPECT_EQ(FileUtils::GetFileChecksum(source), FileUtils::kZeroChecksum);
        TestJob encrypt;
        Encrypt(encrypt, source, dir.Path("z.velx"));
        EXPECT_EQ(encrypt.messages, Names{"File encrypted successfully"}) << encrypt.LastError();
        std::filesystem::remove(source);
        TestJob decrypt;
        Decrypt(decrypt, dir.Path("z.velx"), "");
        EXPECT_EQ(decrypt.messages, Names{"File decrypted successfully"}) << decrypt.LastError();
        EXPECT_EQ(TempDir::Read(source), content);
        std::filesystem::remove(dir.Path("z.velx"));
    }
}

TEST_F(Job, WrongPasswordIsRefusedBeforeAnyDestinationExists) {
    const std::string velx = Encrypted("secret.doc", TempDir::RandomBytes(2000, 15));
    TestJob dec;
    Decrypt(dec, velx, dir.Path("out.doc"), "not the one");
    EXPECT_EQ(dec.errors,
              Names{"secret.doc.velx: The password is incorrect or not valid Vel Encrypted File"});
    EXPECT_EQ(dec.LastFocus(), FieldFocus::Files);
    EXPECT_EQ(dir.List(), (Names{"secret.doc", "secret.doc.velx"}));

    TestJob foreign;
    Decrypt(foreign, dir.Write("foreign.velx", std::string(300, 'x')), dir.Path("out.doc"));
    EXPECT_EQ(foreign.errors.size(), 1u);
    EXPECT_FALSE(FileUtils::FileEsistente(dir.Path("out.doc")));
}

TEST_F(Job, DerivedDestinationEqualToTheSourceIsRefused) {
    // An encrypted file that carries its own name as the stored name.
    const std::string plain = TempDir::RandomBytes(700, 16);
    dir.Write("same", plain);
    TestJob enc;
    Encrypt(enc, dir.Path("same"), dir.Path("tmp.velx"));
    std::filesystem::remove(dir.Path("same"));
    std::filesystem::rename(dir.Path("tmp.velx"), dir.Path("same"));
    const std::string before = TempDir::Read(dir.Path("same"));
    TestJob dec;
    Decrypt(dec, dir.Path("same"), "");
    EXPECT_EQ(dec.errors, Names{"The source file and the destination file cannot match"});
    EXPECT_EQ(TempDir::Read(dir.Path("same")), before);
    EXPECT_EQ(dir.List(), Names{"same"});
}

TEST_F(Job, ANameDifferingOnlyInCaseIsAnotherFile) {
    const std::string plain = TempDir::RandomBytes(900, 17);
    const std::string src = dir.Write("s.txt", plain);
    TestJob enc;
    Encrypt(enc, src, dir.Path("S.TXT"));
    EXPECT_EQ(enc.messages, Names{"File encrypted successfully"});
    EXPECT_TRUE(TempDir::Read(src) == plain);
    std::filesystem::remove(src);
    TestJob dec;
    Decrypt(dec, dir.Path("S.TXT"), "");
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_TRUE(TempDir::Read(src) == plain);
}

TEST_F(Job, LinksToTheSourceAreRefusedAsTheSameFile) {
    const std::string src = dir.Write("orig", "content that must survive");
    std::filesystem::create_symlink(src, dir.Path("link"));
    std::filesystem::create_hard_link(src, dir.Path("hard"));
    for (const char* dest : {"link", "hard"}) {
        TestJob job;
        Encrypt(job, src, dir.Path(dest));
        EXPECT_EQ(job.errors, Names{"The source file and the destination file cannot match"});
    }
    EXPECT_EQ(TempDir::Read(src), "content that must survive");
}

TEST_F(Job, DestinationThatIsAFolderIsRefused) {
    std::filesystem::create_directory(dir.Path("folder"));
    TestJob job;
    Encrypt(job, dir.Write("p", "plain text"), dir.Path("folder"));
    EXPECT_EQ(job.errors, Names{"folder: file not accessible"});
    EXPECT_EQ(job.LastFocus(), FieldFocus::Files);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));
}

// A destination in a folder that cannot take a file says which folder and why, for either
// operation, and sends the user back to the destination.
TEST_F(Job, ADestinationFolderThatCannotTakeAFileIsNamedWithTheReason) {
    const std::string plain = dir.Write("p", "plain text");
    dir.Write("file", "a file, not a folder");
    const std::string folder = dir.Path("");
    const std::string base = folder.substr(0, folder.size() - 1);
    TestJob missing;
    Encrypt(missing, plain, dir.Path("missing/out.velx"));
    EXPECT_EQ(missing.errors,
              Names{base + "/missing: cannot write in this folder (No such file or directory)"});
    EXPECT_EQ(missing.LastFocus(), FieldFocus::Destination);
    TestJob notFolder;
    Encrypt(notFolder, plain, dir.Path("file/out.velx"));
    EXPECT_EQ(notFolder.errors,
              Names{base + "/file: cannot write in this folder (Not a directory)"});

    const std::string encrypted = Encrypted("q", "more plain text");
    TestJob restore;
    Decrypt(restore, encrypted, dir.Path("gone/deeper/q"));
    EXPECT_EQ(restore.errors, Names{base + "/gone/deeper: cannot write in this folder (No such "
                                           "file or directory)"});
    EXPECT_EQ(restore.LastFocus(), FieldFocus::Destination);
    EXPECT_EQ(dir.List(), (Names{"file", "p", "q", "q.velx"}));
}

TEST_F(Job, CrcMismatchKeepsTheOutputOnlyWhereNothingExistedBefore) {
    const std::string velx = Encrypted("data.bin", TempDir::RandomBytes(4000, 17));
    std::string bytes = TempDir::Read(velx);
    bytes[216 + 1000] ^= 0x40;  // one corrupted content byte
    dir.Write("data.bin.velx", bytes);

    TestJob fresh;
    Decrypt(fresh, velx, dir.Path("new.bin"));
    EXPECT_EQ(
        fresh.errors,
        Names{"new.bin: CRC mismatch. The password is incorrect or the file may be corrupted."});
    EXPECT_EQ(FileUtils::GetFileLength(dir.Path("new.bin")), 4000);

    dir.Write("old.bin", "what the user already had");
    TestJob existing;
    Decrypt(existing, velx, dir.Path("old.bin"));
    EXPECT_EQ(existing.errors.size(), 1u);
    EXPECT_EQ(TempDir::Read(dir.Path("old.bin")), "what the user already had");
    EXPECT_EQ(dir.List(), (Names{"data.bin", "data.bin.velx", "new.bin", "old.bin"}));
}

TEST_F(Job, TruncatedFileIsNotReportedAsDecrypted) {
    // A tail of zero bytes keeps the checksum when it is cut off: only the length tells.
    std::string plain = TempDir::RandomBytes(3000, 18) + std::string(1024, '\0');
    const std::string velx = Encrypted("disk.img", plain);
    dir.Write("cut.velx", TempDir::Read(velx).substr(0, 216 + 3000));
    TestJob dec;
    Decrypt(dec, dir.Path("cut.velx"), dir.Path("restored.img"));
    EXPECT_EQ(
        dec.errors,
        Names{
            "restored.img: CRC mismatch. The password is incorrect or the file may be corrupted."});
    EXPECT_TRUE(dec.messages.empty());
}

TEST_F(Job, FailedJobLeavesAnExistingDestinationAsItWas) {
    dir.Write("target.velx", "the previous encrypted file");
    const std::string src = dir.Write("big", TempDir::RandomBytes(200000, 19));
    {
        FileSizeLimit limit(100000);
        TestJob job;
        Encrypt(job, src, dir.Path("target.velx"));
        EXPECT_EQ(job.errors, Names{"Error during encryption."});
        EXPECT_EQ(job.LastFocus(), FieldFocus::None);
    }
    EXPECT_EQ(TempDir::Read(dir.Path("target.velx")), "the previous encrypted file");
    EXPECT_EQ(dir.List(), (Names{"big", "target.velx"}));
}

TEST_F(Job, FailedPassOrHeaderLeavesNoPartialOutput) {
    const std::string src = dir.Write("big", TempDir::RandomBytes(200000, 20));
    for (rlim_t limit : {rlim_t{100}, rlim_t{100000}}) {
        FileSizeLimit cap(limit);
        TestJob job;
        Encrypt(job, src, dir.Path("new.velx"), false);
        EXPECT_EQ(job.errors, Names{"Error during encryption."}) << "limit " << limit;
        EXPECT_EQ(dir.List(), Names{"big"});
    }
}

TEST_F(Job, CheckWritesNoPlaintextAnywhere) {
    // A link planted where a temporary copy used to go must receive nothing, and no file of
    // the job may have a name while it runs.
    const std::string victim = dir.Write("victim", "");
    std::filesystem::create_symlink(victim, dir.Path("temp"));
    std::filesystem::create_symlink(victim, dir.Path("temp_0"));
    const std::string plain = TempDir::RandomBytes(300000, 24);
    TestJob job;
    Names during;
    job.onProgress = [&](int value) {
        if (value > 55 && value < 100 && during.empty()) {
            during = dir.List();
        }
    };
    Encrypt(job, dir.Write("p", plain), dir.Path("p.velx"));
    EXPECT_EQ(job.messages, Names{"File encrypted successfully"});
    EXPECT_EQ(during, (Names{"p", "temp", "temp_0", "victim"}));
    EXPECT_EQ(TempDir::Read(victim), "");
    EXPECT_EQ(dir.List(), (Names{"p", "p.velx", "temp", "temp_0", "victim"}));
}

TEST_F(Job, SourceChangedDuringEncryptionIsRefusedWithNothingWritten) {
    struct Case {
        std::string change;
        bool check;
    };
    for (const Case& c : {Case{"same size", true}, Case{"same size", false}, Case{"grown", false},
                          Case{"shrunk", false}}) {
        const std::string plain = TempDir::RandomBytes(500000, 22);
        const std::string src = dir.Write("live.log", plain);
        TestJob job;
        bool changed = false;
        // Once the checksum has been taken, as a program still writing the file would.
        job.onProgress = [&](int value) {
            if (value < 10 || changed) {
                return;
            }
            changed = true;
            if (c.change == "same size") {
                std::fstream f(src, std::ios::in | std::ios::out | std::ios::binary);
                f.seekp(400000);
                f.put(static_cast<char>(plain[400000] ^ 1));
            } else if (c.change == "grown") {
                std::ofstream(src, std::ios::app | std::ios::binary) << "one more line\n";
            } else {
                std::filesystem::resize_file(src, 300000);
            }
        };
        Encrypt(job, src, dir.Path("live.velx"), c.check);
        EXPECT_EQ(job.errors, Names{"live.log: the file changed while it was being encrypted"})
            << c.change;
        EXPECT_EQ(job.LastFocus(), FieldFocus::Files);
        EXPECT_TRUE(job.messages.empty());
        EXPECT_EQ(dir.List(), Names{"live.log"}) << c.change;
    }
}

namespace {

// The descriptor this process holds on the job's unnamed work file in `folder`, or -1.
int OpenWorkFile(const std::string& folder) {
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
        if (!ec && target.rfind(folder + "/#", 0) == 0 &&
            target.find("(deleted)") != std::string::npos) {
            return std::stoi(e.path().filename().string());
        }
    }
    return -1;
}

}  // namespace

TEST_F(Job, WorkFileIsUnnamedAndOwnerOnlyAndACorruptedOneFailsTheCheck) {
    const std::string plain = TempDir::RandomBytes(1 << 20, 28);
    const std::string src = dir.Write("p", plain);
    std::filesystem::permissions(src, std::filesystem::perms(0644));
    TestJob job;
    int workMode = -1;
    // Between the passes, as a failing disk might, one byte of the new file changes.
    job.onProgress = [&](int value) {
        if (value <= 55 || workMode >= 0) {
            return;
        }
        const int fd = OpenWorkFile(dir.Path("").substr(0, dir.Path("").size() - 1));
        ASSERT_GE(fd, 0);
        struct stat st {};
        fstat(fd, &st);
        workMode = static_cast<int>(st.st_mode & 0777);
        char byte = 0;
        ASSERT_EQ(pread(fd, &byte, 1, 216 + 1000000), 1);
        byte ^= 0x10;
        ASSERT_EQ(pwrite(fd, &byte, 1, 216 + 1000000), 1);
    };
    Encrypt(job, src, dir.Path("p.velx"));
    EXPECT_EQ(workMode, 0600);
    EXPECT_EQ(job.errors, Names{"Check failed."});
    // Nothing existed before, so the encrypted file stays.
    EXPECT_EQ(dir.List(), (Names{"p", "p.velx"}));
}

TEST_F(Job, OutputsTakeThePermissionsOfTheirOriginNeverBroaderThanWhatTheyReplace) {
    namespace fs = std::filesystem;
    const auto mode = [](const std::string& path) {
        return static_cast<int>(fs::status(path).permissions()) & 0777;
    };
    const std::string src = dir.Write("private.txt", TempDir::RandomBytes(5000, 29));
    fs::permissions(src, fs::perms(0600));
    TestJob enc;
    Encrypt(enc, src, dir.Path("private.velx"));
    EXPECT_EQ(mode(dir.Path("private.velx")), 0600);

    TestJob dec;
    Decrypt(dec, dir.Path("private.velx"), dir.Path("back.txt"));
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_EQ(mode(dir.Path("back.txt")), 0600);

    // A shared source replacing a private file stays private; a private source replacing a
    // shared file becomes private.
    const std::string shared = dir.Write("shared.txt", TempDir::RandomBytes(5000, 30));
    fs::permissions(shared, fs::perms(0644));
    dir.Write("old.velx", "old");
    fs::permissions(dir.Path("old.velx"), fs::perms(0600));
    TestJob over;
    Encrypt(over, shared, dir.Path("old.velx"), false);
    EXPECT_EQ(over.messages, Names{"File encrypted successfully"});
    EXPECT_EQ(mode(dir.Path("old.velx")), 0600);
    dir.Write("open.velx", "old");
    fs::permissions(dir.Path("open.velx"), fs::perms(0666));
    TestJob narrow;
    Encrypt(narrow, src, dir.Path("open.velx"), false);
    EXPECT_EQ(mode(dir.Path("open.velx")), 0600);
}

TEST_F(Job, DecryptionStopsAtTheStoredLength) {
    const std::string plain = TempDir::RandomBytes(5000, 31);
    const std::string velx = Encrypted("exact.bin", plain);
    dir.Write("padded.velx", TempDir::Read(velx) + std::string(3000, 'G'));
    TestJob dec;
    Decrypt(dec, dir.Path("padded.velx"), dir.Path("out.bin"));
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_EQ(TempDir::Read(dir.Path("out.bin")), plain);
}

TEST_F(Job, OnlyRegularFilesAreSourcesAndOpeningNeverWaits) {
    ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    // No writer ever comes: a job that waited for one would not return on its own. The bound
    // only keeps a broken build from hanging the suite; the test then lets the job go on.
    TestJob pipe;
    auto done = std::async(std::launch::async,
                           [&] { Encrypt(pipe, dir.Path("pipe"), dir.Path("pipe.velx")); });
    const bool returned = done.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    if (!returned) {
        const int fd = ::open(dir.Path("pipe").c_str(), O_WRONLY);
        ::close(fd);
    }
    done.get();
    EXPECT_TRUE(returned) << "the job waited for a writer to the pipe";
    EXPECT_EQ(pipe.errors, Names{"pipe: not a regular file"});

    TestJob zero;
    Decrypt(zero, "/dev/zero", dir.Path("zero.out"));
    EXPECT_EQ(zero.errors, Names{"zero: not a regular file"});
    EXPECT_EQ(zero.LastFocus(), FieldFocus::Files);
    EXPECT_EQ(dir.List(), Names{"pipe"});
}

TEST_F(Job, BackslashIsAnOrdinaryCharacterOfAFileName) {
    std::filesystem::create_directory(dir.Path("sub"));
    const std::string plain = TempDir::RandomBytes(20000, 32);
    TestJob enc;
    Names inSub;
    enc.onProgress = [&](int value) {
        if (value > 55 && inSub.empty()) {
            inSub = {"looked"};
            for (const auto& e : std::filesystem::directory_iterator(dir.Path("sub"))) {
                inSub.push_back(e.path().filename().string());
            }
        }
    };
    Encrypt(enc, dir.Write("p", plain), dir.Path("sub\\p.velx"));
    EXPECT_EQ(enc.messages, Names{"File encrypted successfully"});
    EXPECT_EQ(inSub, Names{"looked"});
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("sub")));
    EXPECT_EQ(dir.List(), (Names{"p", "sub", "sub\\p.velx"}));

    // The restored name goes next to the encrypted file, whose folder ends at the last "/".
    std::filesystem::remove(dir.Path("p"));
    TestJob dec;
    Decrypt(dec, dir.Path("sub\\p.velx"), "");
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_EQ(TempDir::Read(dir.Path("p")), plain);
}

TEST_F(Job, TheOutcomeIsDecidedOnceAtTheCommit) {
    const std::string src = dir.Write("p", TempDir::RandomBytes(100000, 33));
    for (bool check : {false, true}) {
        TestJob reference;
        Encrypt(reference, src, dir.Path("ref.velx"), check);
        std::filesystem::remove(dir.Path("ref.velx"));
        ASSERT_GE(reference.progressValues.size(), 2u);
        const int lastOfThePasses = reference.progressValues[reference.progressValues.size() - 2];

        // A stop on the last block, before the commit: nothing is written, nothing reported.
        TestJob early;
        early.onProgress = [&](int value) {
            if (value == lastOfThePasses && !std::filesystem::exists(dir.Path("p.velx"))) {
                early.running = false;
            }
        };
        Encrypt(early, src, dir.Path("p.velx"), check);
        EXPECT_TRUE(early.messages.empty()) << check;
        EXPECT_EQ(dir.List(), Names{"p"});

        // A stop once the file is in place: the job is done and says so.
        TestJob late;
        late.onProgress = [&](int value) {
            if (value == 100 && std::filesystem::exists(dir.Path("p.velx"))) {
                late.running = false;
            }
        };
        Encrypt(late, src, dir.Path("p.velx"), check);
        EXPECT_EQ(late.messages, Names{"File encrypted successfully"}) << check;
        EXPECT_EQ(dir.List(), (Names{"p", "p.velx"}));
        std::filesystem::remove(dir.Path("p.velx"));
    }
}

TEST_F(Job, WindowPathsAreTrimmedAndReplaceAnExistingDestination) {
    const std::string plain = TempDir::RandomBytes(3000, 34);
    dir.Write("doc", plain);
    dir.Write("doc.velx", "older");
    TestJob job;
    Encrypt(job, "  " + dir.Path("doc") + " ", " " + dir.Path("doc.velx") + "\t");
    EXPECT_EQ(job.messages, Names{"File encrypted successfully"});
    EXPECT_EQ(FileUtils::GetFileLength(dir.Path("doc.velx")), 216 + 3000);
}

TEST_F(Job, StopDuringEachPassLeavesNothingBehind) {
    const std::string src = dir.Write("p", TempDir::RandomBytes(400000, 25));
    const std::string velx = Encrypted("q", TempDir::RandomBytes(400000, 26));
    dir.Write("existing.velx", "keep me");
    struct Case {
        bool encrypt;
        int stopAt;
        std::string dest;
    };
    for (const Case& c : {Case{true, 30, "p.velx"}, Case{true, 70, "p.velx"},
                          Case{true, 70, "existing.velx"}, Case{false, 50, "q.out"}}) {
        TestJob job;
        job.onProgress = [&](int value) {
            if (value >= c.stopAt) {
                job.running = false;
            }
        };
        if (c.encrypt) {
            Encrypt(job, src, dir.Path(c.dest));
        } else {
            Decrypt(job, velx, dir.Path(c.dest));
        }
        EXPECT_TRUE(job.errors.empty());
        EXPECT_TRUE(job.messages.empty());
        EXPECT_TRUE(job.filesToDiscard.empty());
        EXPECT_EQ(job.enableCalls, 1);
        EXPECT_EQ(dir.List(), (Names{"existing.velx", "p", "q", "q.velx"})) << c.stopAt;
    }
    EXPECT_EQ(TempDir::Read(dir.Path("existing.velx")), "keep me");
}

TEST_F(Job, ProgressFollowsTheJob) {
    TestJob job;
    Encrypt(job, dir.Write("p", TempDir::RandomBytes(128 * 100, 27)), dir.Path("p.velx"), false);
    ASSERT_GE(job.progressValues.size(), 4u);
    EXPECT_EQ(job.progressValues[0], 0);
    EXPECT_EQ(job.progressValues[1], 5);
    EXPECT_EQ(job.progressValues[2], 10);
    EXPECT_TRUE(std::is_sorted(job.progressValues.begin(), job.progressValues.end()));
    EXPECT_EQ(job.progressValues.back(), 100);

    TestJob checked;
    Encrypt(checked, dir.Path("p"), dir.Path("c.velx"), true);
    // The first pass stops halfway between 10 and 100; the check takes the rest.
    const auto firstPassEnd =
        std::find(checked.progressValues.begin(), checked.progressValues.end(), 55);
    EXPECT_NE(firstPassEnd, checked.progressValues.end());
    EXPECT_EQ(checked.progressValues.back(), 100);
}

TEST_F(Job, FilesBeyondTheLengthFieldAreRefusedBeforeAnythingIsWritten) {
    // Sparse: a billion bytes that take no room on disk.
    { std::ofstream(dir.Path("huge.iso")); }
    std::filesystem::resize_file(dir.Path("huge.iso"), 1000000000);
    TestJob job;
    Encrypt(job, dir.Path("huge.iso"), dir.Path("huge.velx"));
    EXPECT_EQ(job.errors, Names{"huge.iso: file too large (the limit is 999,999,999 bytes)"});
    EXPECT_EQ(job.LastFocus(), FieldFocus::Files);
    EXPECT_EQ(dir.List(), Names{"huge.iso"});
}

namespace {

// Stands in for a process near its limit of descriptors: until destroyed, only descriptor
// numbers below `limit` can be opened, and those below `free` that are not open yet are taken.
class DescriptorLimit {
public:
    DescriptorLimit(int free, int limit) {
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
            if (fd >= free) {
                ::close(fd);
                break;
            }
            held.push_back(fd);
        }
        getrlimit(RLIMIT_NOFILE, &saved);
        rlimit low = saved;
        low.rlim_cur = static_cast<rlim_t>(limit);
        setrlimit(RLIMIT_NOFILE, &low);
    }
    ~DescriptorLimit() {
        for (int fd : held) {
            ::close(fd);
        }
        setrlimit(RLIMIT_NOFILE, &saved);
    }

private:
    rlimit saved{};
    std::vector<int> held;
};

}  // namespace

TEST_F(Job, LargeFilesGoThroughInTwoHalvesWithTheSameBytesAsOnePass) {
    // Longer than the size from which a pass is cut in two, and not a whole number of runs.
    const size_t size = CryptEngine::kSplitSize + 3 * 256 * 1024 + 1000;
    const std::string plain = TempDir::RandomBytes(size, 40);
    const std::string src = dir.Write("big.bin", plain);
    TestJob enc;
    Encrypt(enc, src, dir.Path("big.velx"));
    ASSERT_EQ(enc.messages, Names{"File encrypted successfully"}) << enc.LastError();
    EXPECT_TRUE(std::is_sorted(enc.progressValues.begin(), enc.progressValues.end()));
    EXPECT_EQ(enc.progressValues.back(), 100);

    // Every byte masked with the key byte of its place in its block and the stream in order.
    TestJob keyed;
    keyed.GeneraKey(kPassword);
    MyCustomRandom stream(CryptEngine::ContentSeed(FileUtils::GetFileChecksum(src)));
    std::vector<uint8_t> offsets(size);
    stream.GetLowBytes(1, 16, offsets.data(), size);
    const std::string velx = TempDir::Read(dir.Path("big.velx"));
    ASSERT_EQ(velx.size(), 216 + size);
    size_t wrong = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t mask = static_cast<uint8_t>(keyed.keyTable[i % 128] + offsets[i]);
        wrong += static_cast<uint8_t>(velx[216 + i]) != (static_cast<uint8_t>(plain[i]) ^ mask);
    }
    EXPECT_EQ(wrong, 0u);

    TestJob dec;
    Decrypt(dec, dir.Path("big.velx"), dir.Path("back.bin"));
    EXPECT_EQ(dec.messages, Names{"File decrypted successfully"});
    EXPECT_TRUE(TempDir::Read(dir.Path("back.bin")) == plain);
}

TEST_F(Job, LargeFilesStoppedChangedOrUnreadableLeaveNothingWrong) {
    const size_t size = CryptEngine::kSplitSize + 5000;
    const std::string plain = TempDir::RandomBytes(size, 41);
    const std::string src = dir.Write("big.bin", plain);

    TestJob stopped;
    stopped.onProgress = [&](int value) {
        if (value >= 30) {
            stopped.running = false;
        }
    };
    Encrypt(stopped, src, dir.Path("big.velx"));
    EXPECT_TRUE(stopped.errors.empty()) << stopped.LastError();
    EXPECT_TRUE(stopped.messages.empty());
    EXPECT_EQ(dir.List(), Names{"big.bin"});

    TestJob shrunk;
    bool cut = false;
    shrunk.onProgress = [&](int value) {
        if (value > 10 && !cut) {
            cut = true;
            std::filesystem::resize_file(src, size / 4);
        }
    };
    Encrypt(shrunk, src, dir.Path("big.velx"), false);
    EXPECT_EQ(shrunk.errors, Names{"big.bin: the file changed while it was being encrypted"});
    EXPECT_EQ(dir.List(), Names{"big.bin"});

    // A full disk, in either half.
    dir.Write("big.bin", plain);
    for (rlim_t room : {rlim_t{1} << 20, rlim_t{6} << 20}) {
        FileSizeLimit limit(room);
        TestJob full;
        Encrypt(full, src, dir.Path("big.velx"));
        EXPECT_EQ(full.errors, Names{"Error during encryption."}) << room;
        EXPECT_EQ(dir.List(), Names{"big.bin"}) << room;
    }

    // The check cannot open the new file as often as it needs: it says so, and what it could
    // not check stays where it replaces nothing. At the end of the first pass the job holds the
    // source and the new file for its whole length, and the pass has each open once more; once
    // the pass closes its two, only the lower of their numbers can be opened again, once.
    dir.Write("big.bin", plain);
    TestJob unchecked;
    std::unique_ptr<DescriptorLimit> limit;
    const std::string folder = dir.Path("").substr(0, dir.Path("").size() - 1);
    const auto filesInFolder = [&] {
        std::vector<int> fds;
        for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            if (std::filesystem::read_symlink(e.path(), ec).string().rfind(folder, 0) == 0) {
                fds.push_back(std::stoi(e.path().filename().string()));
            }
        }
        std::sort(fds.begin(), fds.end());
        return fds;
    };
    unchecked.onProgress = [&](int value) {
        if (value == 55 && !limit) {
            // The halves of the pass may still be closing their own.
            for (int i = 0; i < 5000 && filesInFolder().size() > 4; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            const std::vector<int> fds = filesInFolder();
            ASSERT_EQ(fds.size(), 4u);
            limit = std::make_unique<DescriptorLimit>(fds[2], fds[2] + 1);
        }
    };
    Encrypt(unchecked, src, dir.Path("big.velx"));
    limit.reset();
    EXPECT_EQ(unchecked.errors, Names{"Error while checking."});
    EXPECT_TRUE(unchecked.messages.empty());
    EXPECT_EQ(dir.List(), (Names{"big.bin", "big.velx"}));
}
