#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "MyCustomRandom.h"

namespace tessella {

// One of the two halves of a large content pass, done by a thread of its own: its part of the
// source, read, masked with the generator's stream from the half's start, folded on the plain
// side and written at the matching place of the output. Blocks start at multiples of 128 from
// the content's start in both halves, so every byte gets the key index it would get in one
// sequential pass.
struct PassHalf {
    // What both halves share.
    struct Plan {
        const std::string& source;
        const std::string* output = nullptr;  // null: nothing is written
        int64_t writeShift = 0;               // output position minus source position
        int64_t contentStart = 0;             // where the checksum's columns start counting
        int64_t runSize = 0;
        const uint8_t* key = nullptr;
        bool foldInput = false;  // the plain side is the source, folded before masking
    };

    int64_t from = 0;  // source positions
    int64_t to = 0;
    std::atomic<int64_t> done{0};  // bytes finished, contiguous from `from`
    bool failed = false;
    uint8_t fold[16] = {};

    void Run(const Plan& plan, MyCustomRandom& generator, const std::atomic<bool>& running);
};

}  // namespace tessella
