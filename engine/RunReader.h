#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MyCustomRandom.h"

namespace tessella {

class OpenBinaryFile;

// Reads a pass's source and draws the cipher's offsets one run ahead on another thread, while
// the pass masks and writes the run before: the two copies through the kernel then overlap,
// and the stream depends only on the seed, never on the content. It reads exactly the runs a
// pass from `begin` to `end` would read one at a time, and stops after a short or failed read.
// When `foldInput` is set it folds the checksum of what it read, relative to `begin`.
class RunReader {
public:
    // One run of a content pass: the bytes read at `position`, the cipher's offsets for them,
    // and how the read ended.
    struct Run {
        std::vector<uint8_t> data;
        std::vector<uint8_t> offsets;
        int64_t position = 0;
        long n = 0;
        bool atEnd = false;
        bool failed = false;
    };

    RunReader(OpenBinaryFile& in, MyCustomRandom& generator, int64_t begin, int64_t end,
              long runSize, bool foldInput);
    ~RunReader();
    RunReader(const RunReader&) = delete;
    RunReader& operator=(const RunReader&) = delete;

    // The next run; it stays valid, and the caller may change its bytes, until the next call.
    Run& Next();

    // The checksum of everything read; complete once the last run has been taken.
    std::string InputChecksum();

private:
    void Produce();
    // Fills `r` from `position`; true when it is the last run.
    bool Fill(Run& r, int64_t position);

    OpenBinaryFile& in;
    MyCustomRandom& generator;
    const int64_t begin;
    const int64_t end;
    const long runSize;
    const bool foldInput;
    Run runs[2];
    bool ready[2] = {false, false};
    int next = 0;
    int taken = -1;
    bool quit = false;
    uint8_t fold[16] = {};
    std::mutex mutex;
    std::condition_variable changed;
    std::thread worker;
};

}  // namespace tessella
