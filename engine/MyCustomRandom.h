#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessella {

// The system's own deterministic generator. The key table and the content cipher draw from it, so
// its numbers are part of the file format: every step, floating point included, must give the
// same bits on every build.
//
// A step is computed from tables and, once the generator has settled, replayed: the square-root
// map has only 10,000 states, and the histogram only ever compares bin counts with each other, so
// (state, counts relative to each other) is a finite state that every sequence soon repeats. The
// generator looks for that repetition, records one period and from then on replays it; the drift
// is still applied call by call exactly as a step computes it.
class MyCustomRandom {
public:
    explicit MyCustomRandom(int seed);
    ~MyCustomRandom() {}

    // One step; nominally base .. base + span - 1, but the drift can carry the value beyond.
    int GetRandomNumber(int base, int span);

    // The low 8 bits of `count` successive GetRandomNumber(base, span) results, which is all the
    // content cipher uses; the same numbers, produced in bulk.
    void GetLowBytes(int base, int span, uint8_t* out, size_t count);

    // Moves the generator `count` steps ahead as if that many numbers had been drawn, so that a
    // stream can be produced from a later position on another copy. Once settled the steps are
    // skipped in bulk; before, each is taken. Returns false, with the generator somewhere in
    // between, when that would take more than `stepLimit` single steps.
    bool Skip(size_t count, size_t stepLimit);

    // For one of the fullest bins: the bin a value is moved to (itself when none qualifies).
    int ValoreMinoreAdiacente(int bin) const;

    int32_t GetState() const { return state; }

    // Conversion used by every double-to-int32 step: truncation toward zero, with NaN and values
    // outside the int32 range mapped to INT32_MIN.
    static int32_t ToInt32(double v);

private:
    enum class Phase : uint8_t { Searching, Recording, Replaying, Simulating };

    // One period of the settled generator. `bin` is the bin each step counted, so the histogram
    // can be rebuilt for ValoreMinoreAdiacente while replaying.
    struct Period {
        std::vector<double> u;             // fraction after the histogram stage
        std::vector<uint16_t> stateAfter;  // state after the step
        std::vector<uint8_t> bin;
        int32_t startCounts[100] = {};  // histogram before the period's first step
        size_t length = 0;
        size_t position = 0;  // next step to replay
        // Low bytes of ((u + d) * span + base) - span * d, valid for every whole d of one binade;
        // rebuilt when span, base or the binade change.
        std::vector<uint8_t> lowBytes;
        uint8_t spanTimesDrift[512] = {};  // low byte of span * d, for d mod 256 = 0 .. 511
        int lowSpan = 0;
        int lowBase = 0;
        int lowExponent = -1;
    };

    double NextFraction();
    double SimulateStep();
    void Observe(int bin, double u);
    double NextDrift();
    bool CanReplayInBulk(size_t count) const;
    size_t ReplayLowBytes(int base, int shift, uint8_t* out, size_t count);
    void AdvanceReplay(size_t steps);
    void BuildLowBytes(int base, int span, int exponent);

    int32_t maxBinCount = 0;
    int32_t state = 0;
    int32_t binCount[100] = {};
    double drift = 0.0;
    double driftFloor = 0.0;

    // Search for the repetition (Brent's cycle finding): a saved (state, histogram) is compared
    // with every later one; it is saved again after 1, 2, 4, ... steps.
    Phase phase = Phase::Searching;
    int32_t savedState = -1;
    int32_t savedCounts[100] = {};
    size_t searchLimit = 1;
    size_t searchSteps = 0;
    Period period;

    friend struct MyCustomRandomProbe;  // tests move the drift far ahead
};

}  // namespace tessella
