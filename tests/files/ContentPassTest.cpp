#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/FileUtils.h"
#include "engine/MyCustomRandom.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestJob.h"

using namespace tessella;

// The content pass moves data in runs of many blocks; these files span several runs, so that
// every per-block rule is seen inside a run and across the runs' edges.

namespace {

constexpr size_t kBlock = 128;

// One content pass from offset 0 of `plain` into `out`, as decryption runs it.
bool RunPass(TestJob& job, const TempDir& dir, const std::string& plain, const std::string& out) {
    const std::string src = dir.Write(out + ".in", plain);
    job.readPosition = 0;
    job.writePosition = 0;
    job.totalLength = static_cast<int32_t>(plain.size());
    MyCustomRandom generator(1900);
    return job.CriptaDecripta(src, dir.Path(out), generator);
}

// The progress value after each block, as each block's end gives it, without repeats.
std::vector<int> BlockProgress(size_t total, int start, int span) {
    std::vector<int> values;
    int shown = start;
    for (size_t end = 0; end < total;) {
        end = std::min(end + kBlock, total);
        const double share = static_cast<double>(end) / static_cast<double>(total);
        const int value = start + MyCustomRandom::ToInt32(share * span);
        if (value != shown) {
            values.push_back(value);
            shown = value;
        }
    }
    return values;
}

std::string ByteByByteChecksum(const std::string& bytes) {
    uint8_t acc[16] = {};
    for (size_t j = 0; j < bytes.size(); ++j) {
        acc[j % 16] ^= static_cast<uint8_t>(bytes[j]);
    }
    std::string text;
    for (uint8_t b : acc) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        text += hex;
    }
    return text;
}

}  // namespace

TEST(ContentPass, StopInsideARunWritesExactlyTheBlocksDone) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes(600000, 31);
    TestJob whole;
    whole.running = true;
    whole.GeneraKey("stop in a run");
    ASSERT_TRUE(RunPass(whole, dir, plain, "whole"));
    const std::string masked = TempDir::Read(dir.Path("whole"));

    // A stop requested when the bar reaches 60 ends the pass after that block, in the middle of
    // the second run.
    size_t expected = 0;
    while (static_cast<double>(expected) / 600000.0 * 100.0 < 60.0) {
        expected += kBlock;
    }
    TestJob job;
    job.running = true;
    job.GeneraKey("stop in a run");
    job.onProgress = [&](int value) {
        if (value >= 60) {
            job.running = false;
        }
    };
    EXPECT_TRUE(RunPass(job, dir, plain, "stopped"));
    const std::string partial = TempDir::Read(dir.Path("stopped"));
    EXPECT_EQ(partial.size(), expected);
    EXPECT_EQ(job.readPosition, static_cast<int32_t>(expected));
    EXPECT_EQ(job.writePosition, static_cast<int32_t>(expected));
    EXPECT_TRUE(partial == masked.substr(0, expected));

    // A stop already requested is noticed after the first block.
    TestJob early;
    early.running = false;
    early.GeneraKey("stop in a run");
    EXPECT_TRUE(RunPass(early, dir, plain, "early"));
    EXPECT_TRUE(TempDir::Read(dir.Path("early")) == masked.substr(0, kBlock));
}

TEST(ContentPass, ProgressIsTheValueOfEachBlockEnd) {
    TempDir dir;
    const std::string plain = TempDir::RandomBytes((1 << 20) + 77, 32);
    for (bool check : {false, true}) {
        TestJob job;
        job.running = true;
        job.check = check;  // the pass then takes half of the bar
        job.GeneraKey("progress key");
        ASSERT_TRUE(RunPass(job, dir, plain, check ? "half" : "full"));
        EXPECT_EQ(job.progressValues, BlockProgress(plain.size(), 0, check ? 50 : 100));
    }
}

TEST(ContentPass, ChecksumOfLargeFilesFoldsEveryColumn) {
    TempDir dir;
    // Large files are folded in two halves at once; the split must not shift a column.
    for (size_t size : {size_t{3} * 256 * 1024 + 21, size_t{256} * 1024, size_t{20485},
                        size_t{9} * 1024 * 1024 + 37}) {
        const std::string bytes = TempDir::RandomBytes(size, static_cast<unsigned>(size));
        const std::string path = dir.Write("c" + std::to_string(size), bytes);
        EXPECT_EQ(FileUtils::GetFileChecksum(path), ByteByByteChecksum(bytes)) << size;
    }
}
