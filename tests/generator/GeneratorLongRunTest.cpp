#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "GeneratorProbe.h"
#include "ReferenceRandom.h"
#include "engine/MyCustomRandom.h"

using namespace tessella;

// Content streams as long as large files: tens of millions of bytes, in the buffer sizes the
// cipher uses, against the step-by-step reference.
TEST(GeneratorLongRun, ContentStreamsOfTwentyMillionBytes) {
    constexpr size_t kSteps = 20000000;
    constexpr size_t kBuffer = 1 << 20;
    for (int seed : {1536, 1888, 2240}) {
        MyCustomRandom fast(seed);
        ReferenceRandom reference(seed);
        std::vector<uint8_t> got(kBuffer);
        for (size_t done = 0; done < kSteps; done += kBuffer) {
            fast.GetLowBytes(1, 16, got.data(), got.size());
            for (size_t i = 0; i < kBuffer; ++i) {
                const uint8_t expected = static_cast<uint8_t>(reference.GetRandomNumber(1, 16));
                if (got[i] != expected) {
                    FAIL() << "seed " << seed << ": step " << done + i << " gave " << int{got[i]}
                           << ", expected " << int{expected};
                }
            }
        }
    }
}
