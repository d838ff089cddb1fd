#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FileUtils.h"
#include "TempDir.h"
#include "TestJob.h"

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
        {src, dir.Path("PLAIN.TXT"), kPassword, kPassword, false,
         "The source file and the destination file cannot match", FieldFocus::Destination},
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

TEST_F(Job, EmptyFileAndCancellingHalvesAreRefusedWithNothingCreated) {
    const std::string half = TempDir::RandomBytes(16, 14);
    for (const std::string& content : {std::string(), half + half}) {
        TestJob job;
        Encrypt(job, dir.Write("z.bin", content), dir.Path("z.velx"));
        EXPECT_EQ(job.errors, Names{"z.bin: file not found or inaccessible"});
        EXPECT_EQ(job.LastFocus(), FieldFocus::Files);
        EXPECT_EQ(dir.List(), Names{"z.bin"});
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

TEST_F(Job, FailedCheckLeavesNoPlaintextCopy) {
    const std::string src = dir.Write("big", TempDir::RandomBytes(1 << 20, 21));
    std::unique_ptr<FileSizeLimit> cap;
    TestJob job;
    // Once the encryption pass is done, the check's temporary file can no longer grow.
    job.onProgress = [&](int value) {
        if (value > 55 && !cap) {
            cap = std::make_unique<FileSizeLimit>(4096);
        }
    };
    Encrypt(job, src, dir.Path("big.velx"));
    cap.reset();
    EXPECT_EQ(job.errors, Names{"Error while checking."});
    EXPECT_EQ(dir.List(), (Names{"big", "big.velx"}));
}

TEST_F(Job, SourceChangedDuringEncryptionFailsTheCheck) {
    const std::string plain = TempDir::RandomBytes(50000, 22);
    const std::string src = dir.Write("live.log", plain);
    TestJob job;
    job.onProgress = [&](int value) {
        if (value == 10) {
            dir.Write("live.log", TempDir::RandomBytes(50000, 23));
        }
    };
    Encrypt(job, src, dir.Path("live.velx"));
    EXPECT_EQ(job.errors, Names{"Check failed."});
    // Nothing existed before, so the encrypted file stays; the temporary file does not.
    EXPECT_EQ(dir.List(), (Names{"live.log", "live.velx"}));
}

TEST_F(Job, CheckUsesTheNextFreeTemporaryName) {
    dir.Write("temp", "user file");
    dir.Write("temp_0", "user file 0");
    TestJob job;
    std::vector<std::string> seen;
    job.onProgress = [&](int value) {
        if (value > 55 && seen.empty()) {
            seen = dir.List();
        }
    };
    Encrypt(job, dir.Write("p", TempDir::RandomBytes(100000, 24)), dir.Path("p.velx"));
    EXPECT_EQ(job.messages, Names{"File encrypted successfully"});
    EXPECT_NE(std::find(seen.begin(), seen.end(), "temp_1"), seen.end());
    EXPECT_EQ(TempDir::Read(dir.Path("temp")), "user file");
    EXPECT_EQ(TempDir::Read(dir.Path("temp_0")), "user file 0");
    EXPECT_EQ(dir.List(), (Names{"p", "p.velx", "temp", "temp_0"}));
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
