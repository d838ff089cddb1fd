#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/FileUtils.h"
#include "engine/MyCustomRandom.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestJob.h"
#include "util/StringUtils.h"

using namespace tessella;

namespace {

int SlotOf(const CryptEngine& e, uint8_t byte) {
    for (int i = 0; i < 128; ++i) {
        if (e.keyTable[i] == byte) {
            return i;
        }
    }
    return -1;
}

// Runs one content pass of `plain` into a new file and returns what was written.
std::string Pass(TestJob& job, const TempDir& dir, const std::string& in,
                 const std::string& seedText, const std::string& name) {
    const std::string src = dir.Write(name + ".in", in);
    job.readPosition = 0;
    job.writePosition = 0;
    job.totalLength = static_cast<int32_t>(in.size());
    MyCustomRandom g(CryptEngine::ContentSeed(seedText));
    EXPECT_TRUE(job.CriptaDecripta(src, dir.Path(name + ".out"), g));
    return TempDir::Read(dir.Path(name + ".out"));
}

}  // namespace

TEST(KeyTable, RepeatedCharacterWalksPastTakenSlots) {
    TestJob job;
    job.GeneraKey("aaaaaaaa");
    // 'a' seeds its generator with 97, whose first slot draws are known.
    for (int slot : {126, 85, 103, 47, 49, 78, 76, 60}) {
        EXPECT_EQ(job.keyTable[slot], 'a') << "slot " << slot;
    }
    int count = 0;
    for (uint8_t b : job.keyTable) {
        count += b == 'a' ? 1 : 0;
    }
    EXPECT_GE(count, 8);
}

TEST(KeyTable, HighBytesSeedWithTheirSignedValueAndEmptyPasswordIsAllFiller) {
    TestJob job;
    job.GeneraKey("\xE9");
    MyCustomRandom g(-23);
    EXPECT_EQ(job.keyTable[g.GetRandomNumber(0, 127)], 0xE9);

    job.GeneraKey("");
    MyCustomRandom filler(0);
    for (int slot = 0; slot < 128; ++slot) {
        EXPECT_EQ(job.keyTable[slot],
                  static_cast<uint8_t>(static_cast<uint32_t>(filler.GetRandomNumber(1, 255))));
    }
}

TEST(KeyTable, DifferentPasswordsGiveDifferentTablesAndLongOnesTerminate) {
    TestJob a, b, c;
    a.GeneraKey("password1");
    b.GeneraKey("password2");
    EXPECT_NE(std::memcmp(a.keyTable, b.keyTable, 128), 0);
    // Far beyond what any input accepts: placement must still end, with every slot filled.
    c.GeneraKey(std::string(300, 'z'));
    EXPECT_EQ(SlotOf(c, 0), -1);
}

// 128 copies of one character take every slot, whatever the byte: the later copies' draws run
// past the table and each then takes the lowest empty slot.
TEST(KeyTable, OneCharacterRepeatedTakesEverySlot) {
    TestJob job;
    for (int c = 1; c < 256; ++c) {
        job.GeneraKey(std::string(128, static_cast<char>(c)));
        EXPECT_EQ(std::count(std::begin(job.keyTable), std::end(job.keyTable), c), 128)
            << "byte " << c;
    }
}

TEST(ContentCipher, RoundTripsAcrossBlockAndFoldBoundaries) {
    TempDir dir;
    TestJob job;
    job.running = true;
    job.GeneraKey("round trip 1");
    const std::string seed = "0123456789ABCDEF0123456789ABCDEF";
    for (size_t n : {1u, 15u, 16u, 127u, 128u, 129u, 10240u, 10241u, 3u * 1024u * 1024u + 7u}) {
        const std::string plain = TempDir::RandomBytes(n, static_cast<unsigned>(n));
        const std::string name = std::to_string(n);
        const std::string masked = Pass(job, dir, plain, seed, name + "e");
        ASSERT_EQ(masked.size(), n);
        EXPECT_NE(masked, plain);
        EXPECT_EQ(Pass(job, dir, masked, seed, name + "d"), plain) << n << " bytes";
    }
}

TEST(ContentCipher, KeyIndexRestartsEveryBlock) {
    TempDir dir;
    TestJob job;
    job.running = true;
    job.GeneraKey("restart key");
    const std::string seed = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
    const std::string masked = Pass(job, dir, std::string(129, '\0'), seed, "zeros");
    MyCustomRandom g(CryptEngine::ContentSeed(seed));
    for (int i = 0; i < 129; ++i) {
        const uint8_t expected =
            static_cast<uint8_t>(job.keyTable[i % 128] + g.GetRandomNumber(1, 16));
        ASSERT_EQ(static_cast<uint8_t>(masked[i]), expected) << "byte " << i;
    }
}

TEST(ContentCipher, StopEndsThePassAtTheNextBlockWithTrue) {
    TempDir dir;
    TestJob job;
    job.running = true;
    job.GeneraKey("stop key 12");
    const std::string src = dir.Write("in", TempDir::RandomBytes(1000, 3));
    job.totalLength = 1000;
    int calls = 0;
    job.onProgress = [&](int) {
        if (++calls == 3) {
            job.running = false;
        }
    };
    MyCustomRandom g(1600);
    EXPECT_TRUE(job.CriptaDecripta(src, dir.Path("out"), g));
    EXPECT_EQ(TempDir::Read(dir.Path("out")).size(), 3u * 128u);
    EXPECT_EQ(job.readPosition, 384);
    EXPECT_EQ(job.writePosition, 384);
}

TEST(ContentCipher, MissingSourceFails) {
    TempDir dir;
    TestJob job;
    MyCustomRandom g(1600);
    EXPECT_FALSE(job.CriptaDecripta(dir.Path("missing"), dir.Path("out"), g));
}

TEST(Header, WrittenAndReadBack) {
    TempDir dir;
    TestJob w;
    w.GeneraKey("header pass");
    w.plainFileName = "report.txt";
    w.checksumText = "616263" + std::string(26, '0');
    w.totalLength = 3;
    ASSERT_TRUE(w.SetHeaderFile(dir.Path("h")));
    EXPECT_EQ(w.writePosition, 216);
    const std::string bytes = TempDir::Read(dir.Path("h"));
    ASSERT_EQ(bytes.size(), 216u);
    EXPECT_EQ(bytes.substr(0, 44), std::string(CryptEngine::kSignature, 44));
    EXPECT_EQ(bytes[44 + 128], '\0');
    EXPECT_EQ(bytes[173 + 32], '\0');

    TestJob r;
    r.GeneraKey("header pass");
    ASSERT_TRUE(r.GetHeaderFile(dir.Path("h")));
    EXPECT_EQ(r.plainFileName, "report.txt");
    EXPECT_EQ(r.checksumText, w.checksumText);
    EXPECT_EQ(r.totalLength, 3);
    EXPECT_EQ(r.readPosition, 216);

    TestJob wrong;
    wrong.GeneraKey("header pasS");
    EXPECT_FALSE(wrong.GetHeaderFile(dir.Path("h")));
}

TEST(Header, NameOfExactly128BytesIsEndedByTheLastByte) {
    TempDir dir;
    TestJob w;
    w.GeneraKey("name length");
    w.plainFileName = std::string(128, 'n');
    w.checksumText = std::string(32, 'A');
    w.totalLength = 999999999;
    ASSERT_TRUE(w.SetHeaderFile(dir.Path("h")));
    TestJob r;
    r.GeneraKey("name length");
    ASSERT_TRUE(r.GetHeaderFile(dir.Path("h")));
    EXPECT_EQ(r.plainFileName, w.plainFileName);
    EXPECT_EQ(r.totalLength, 999999999);

    // What the reader could not take back, the writer refuses.
    w.plainFileName = std::string(129, 'n');
    EXPECT_FALSE(w.SetHeaderFile(dir.Path("h2")));
    w.plainFileName = "ok";
    w.totalLength = 0;
    EXPECT_FALSE(w.SetHeaderFile(dir.Path("h2")));
    EXPECT_FALSE(FileUtils::FileEsistente(dir.Path("h2")));
}

// Builds a header whose fields hold exactly the given unmasked bytes, as a crafted file would.
class CraftedHeader : public ::testing::Test {
protected:
    void SetUp() override { job.GeneraKey("crafted key"); }

    std::string Craft(const std::string& name, const std::string& checksum,
                      const std::string& length, size_t cut = 216) {
        std::string h(216, '\0');
        std::memcpy(h.data(), CryptEngine::kSignature, 44);
        std::string n = name;
        n.resize(129, '\0');
        for (int i = 0; i < 128; ++i) {
            n[i] = static_cast<char>(static_cast<uint8_t>(n[i]) ^
                                     static_cast<uint8_t>(job.keyTable[i] + i));
        }
        h.replace(44, 129, n);
        std::string c = checksum;
        c.resize(33, '\0');
        for (int i = 0; i < 32; ++i) {
            c[i] = static_cast<char>(static_cast<uint8_t>(c[i]) ^ job.keyTable[i]);
        }
        h.replace(173, 33, c);
        std::string l = length;
        l.resize(10, '\0');
        for (int i = 0; i < 10; ++i) {
            l[i] = static_cast<char>(static_cast<uint8_t>(l[i]) ^
                                     static_cast<uint8_t>(job.keyTable[i + 2] + i));
        }
        h.replace(206, 10, l);
        return dir.Write("crafted", h.substr(0, cut));
    }

    TempDir dir;
    TestJob job;
    const std::string sum = std::string(32, '7');
};

TEST_F(CraftedHeader, AcceptsTheReaderRules) {
    EXPECT_TRUE(job.GetHeaderFile(Craft("a", sum, " +42")));
    EXPECT_EQ(job.totalLength, 42);
    EXPECT_TRUE(job.GetHeaderFile(Craft("a:b", sum, "7")));  // ':' is an ordinary character here
    EXPECT_EQ(job.plainFileName, "a:b");
}

TEST_F(CraftedHeader, RejectsWhatCannotBeOurs) {
    EXPECT_FALSE(job.GetHeaderFile(Craft("", sum, "5")));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", std::string(31, '7') + "G", "5")));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "x5")));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "0")));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "-5")));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "1000000000")));
    EXPECT_FALSE(job.GetHeaderFile(Craft(std::string(129, 'n'), sum, "5")));
    // A file cut anywhere inside its header.
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "5", 215)));
    EXPECT_FALSE(job.GetHeaderFile(Craft("a", sum, "5", 43)));
}

TEST_F(CraftedHeader, RejectsStoredNamesThatLeaveTheFolder) {
    for (const char* name : {"../evil", "/etc/passwd", "a/b", "a\\b", ".", ".."}) {
        EXPECT_FALSE(job.GetHeaderFile(Craft(name, sum, "5"))) << name;
    }
}

TEST(OutputNames, SuffixReplacesShortExtensionsOfTheFileNameOnly) {
    TestJob job;
    EXPECT_EQ(job.AggiungiSuffix("report.txt", "velx"), "report.velx");
    EXPECT_EQ(job.AggiungiSuffix("photo.jpeg", "velx"), "photo.velx");
    EXPECT_EQ(job.AggiungiSuffix("report.velx", "velx"), "report.velx");
    EXPECT_EQ(job.AggiungiSuffix("archive.backup", "velx"), "archive.backup.velx");
    EXPECT_EQ(job.AggiungiSuffix("notes", "velx"), "notes.velx");
    EXPECT_EQ(job.AggiungiSuffix("a.VELX", ".velx"), "a.VELX");
    EXPECT_EQ(job.AggiungiSuffix("/data/rc.d/notes", "velx"), "/data/rc.d/notes.velx");
    EXPECT_EQ(job.AggiungiSuffix(".profile", "velx"), ".profile.velx");
    EXPECT_EQ(job.AggiungiSuffix("dir/.profile", "velx"), "dir/.profile.velx");
}
