#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/TestJob.h"

using namespace tessella;

namespace {

// Encrypted files written by an earlier build; stored/README.md says how they were made.
struct StoredFile {
    const char* encrypted;
    const char* plainName;
    size_t size;
    uint32_t salt;
    const char* password;  // Latin-1
};

const StoredFile kStoredFiles[] = {
    {"block129.velx", "block129.bin", 129, 1, "abcdefgh"},
    {"fold10241.velx", "fold10241.bin", 10241, 2, "P\xE4sswort mit \xE9!"},
    {"settled70000.velx", "settled70000.bin", 70000, 3, "  spaced key  "},
    {"runs300000.velx", "runs300000.bin", 300000, 4, "123456789012345"},
};

std::string StoredPath(const StoredFile& f) {
    return std::string(TESSELLA_STORED_FILES) + "/" + f.encrypted;
}

// The plain content of a stored file: the top byte of each step of an LCG started from `salt`.
std::string Content(size_t size, uint32_t salt) {
    std::string out(size, '\0');
    uint32_t x = salt;
    for (char& c : out) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

}  // namespace

TEST(StoredFiles, DecryptToTheirContent) {
    for (const StoredFile& f : kStoredFiles) {
        TempDir dir;
        TestJob job;
        job.encryptMode = false;
        job.source = StoredPath(f);
        job.destination = dir.Path(f.plainName);
        job.password = f.password;
        job.Start();
        EXPECT_EQ(job.messages, std::vector<std::string>{"File decrypted successfully"})
            << f.encrypted << ": " << job.LastError();
        EXPECT_TRUE(TempDir::Read(dir.Path(f.plainName)) == Content(f.size, f.salt)) << f.encrypted;
    }
}

TEST(StoredFiles, EncryptingTheirContentAgainGivesTheSameBytes) {
    for (const StoredFile& f : kStoredFiles) {
        TempDir dir;
        TestJob job;
        job.encryptMode = true;
        job.source = dir.Write(f.plainName, Content(f.size, f.salt));
        job.destination = dir.Path("again.velx");
        job.password = f.password;
        job.confirmation = f.password;
        job.check = true;
        job.Start();
        EXPECT_EQ(job.messages, std::vector<std::string>{"File encrypted successfully"})
            << f.encrypted << ": " << job.LastError();
        EXPECT_TRUE(TempDir::Read(dir.Path("again.velx")) == TempDir::Read(StoredPath(f)))
            << f.encrypted;
    }
}
