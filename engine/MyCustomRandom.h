#pragma once

#include <cstdint>

// The system's own deterministic generator. The key table and the content cipher draw from it, so
// its numbers are part of the file format: every step, floating point included, must give the
// same bits on every build.
class MyCustomRandom {
public:
    explicit MyCustomRandom(int seed);
    ~MyCustomRandom() {}

    // One step; nominally base .. base + span - 1, but the drift can carry the value beyond.
    int GetRandomNumber(int base, int span);

    // For one of the fullest bins: the bin a value is moved to (itself when none qualifies).
    int ValoreMinoreAdiacente(int bin) const;

    int32_t GetState() const { return state; }

    // Conversion used by every double-to-int32 step: truncation toward zero, with NaN and values
    // outside the int32 range mapped to INT32_MIN.
    static int32_t ToInt32(double v);

private:
    int32_t maxBinCount = 0;
    int32_t state = 0;
    int32_t binCount[100] = {};
    double drift = 0.0;
    double driftFloor = 0.0;
};
