#pragma once

#include <cstdint>
#include <vector>

#include "ReferenceRandom.h"
#include "engine/MyCustomRandom.h"

namespace tessella {

// Test access to the engine's generator: move its drift far ahead the way the reference's public
// fields allow, and tell whether it has started replaying a recorded period.
struct MyCustomRandomProbe {
    static void SetDrift(MyCustomRandom& g, double drift, double driftFloor) {
        g.drift = drift;
        g.driftFloor = driftFloor;
    }
    static bool IsReplaying(const MyCustomRandom& g) {
        return g.phase == MyCustomRandom::Phase::Replaying;
    }
};

inline void SetDrift(MyCustomRandom& fast, ReferenceRandom& slow, double wholeDrift) {
    MyCustomRandomProbe::SetDrift(fast, wholeDrift, wholeDrift);
    slow.drift = wholeDrift;
    slow.driftFloor = wholeDrift;
}

// The low bytes the cipher would use, from the reference.
inline std::vector<uint8_t> ReferenceLowBytes(ReferenceRandom& g, int base, int span,
                                              size_t count) {
    std::vector<uint8_t> out(count);
    for (uint8_t& b : out) {
        b = static_cast<uint8_t>(g.GetRandomNumber(base, span));
    }
    return out;
}

inline std::vector<uint8_t> BulkLowBytes(MyCustomRandom& g, int base, int span, size_t count) {
    std::vector<uint8_t> out(count);
    g.GetLowBytes(base, span, out.data(), count);
    return out;
}

}  // namespace tessella
