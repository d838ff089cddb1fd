#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "MyCustomRandom.h"

namespace tessella {

class OpenBinaryFile;
struct PassHalf;

// One pass over a file's content: masks the bytes from the read position on with the key table
// and the generator's stream, writes them at the write position, and folds the checksum of the
// plain side as it goes. The same pass encrypts, decrypts and checks. It moves the positions it
// is lent, reports progress through `report` on the calling thread, and ends after the block in
// which `running` was found cleared.
class ContentPass {
public:
    // The key index restarts at every block; a stop is noticed after one.
    static constexpr int32_t kBlockSize = 128;
    // Content passes at least this long run as two halves on two threads.
    static constexpr int64_t kSplitSize = 8L * 1024 * 1024;
    // The content moves in runs of this many bytes: a whole number of blocks.
    static constexpr long kRunSize = 256 * 1024;
    // Moving the generator ahead for the second half may take at most this many single steps.
    static constexpr size_t kSkipStepLimit = size_t{1} << 20;

    // Which side of a pass is the plain content, whose checksum the pass folds as it goes.
    enum class PlainSide { kInput, kOutput };

    // The progress value of a pass after `position` bytes have been written.
    struct Progress {
        int start = 0;
        int span = 0;
        int32_t total = 0;
        int At(long position) const;
        bool IsSteady(long runEnd, int shown) const;
    };

    // The engine's state a pass reads and moves.
    struct State {
        const uint8_t* key = nullptr;  // the 128-byte key table
        const std::atomic<bool>& running;
        int64_t& readPosition;
        int64_t& writePosition;
        int32_t totalLength = 0;
    };

    ContentPass(const State& state, const Progress& progress, std::function<void(int)> report)
        : state(state), progress(progress), report(std::move(report)) {}

    // Masks totalLength bytes from readPosition on (fewer when the source ends first), writes
    // them to `out` unless it is null, and folds the plain side's checksum into `checksum`.
    // False on a read or write error; a stop is no error.
    bool Run(const std::string& source, OpenBinaryFile* out, MyCustomRandom& generator,
             PlainSide plain, std::string& checksum);

    // The content stream's seed: the checksum text's bytes as signed values, summed. Every pass
    // over one file starts a fresh generator with it.
    static int32_t Seed(const std::string& checksum);

    // data[i] ^= low 8 bits of (key[i mod 128] + offsets[i]): the key index is the position
    // inside the 128-byte block.
    static void MaskRun(uint8_t* __restrict data, const uint8_t* __restrict offsets,
                        const uint8_t* __restrict key, size_t n);

private:
    bool RunInRuns(OpenBinaryFile& in, OpenBinaryFile* out, MyCustomRandom& generator,
                   PlainSide plain, std::string& checksum, int64_t readEnd);
    bool RunSplit(const std::string& source, OpenBinaryFile* out, MyCustomRandom& generator,
                  PlainSide plain, std::string& checksum, int64_t readEnd, bool& handled);
    void RunHalves(const std::string& source, OpenBinaryFile* out, PlainSide plain, PassHalf& first,
                   MyCustomRandom& firstStream, PassHalf& second, MyCustomRandom& secondStream);
    long WalkBlocks(long n, int& shown);
    // Reports the value `position` gives, when it differs from the one shown.
    void Show(long position, int& shown);

    State state;
    const Progress progress;
    const std::function<void(int)> report;
};

}  // namespace tessella
