#include "MyCustomRandom.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace tessella {

namespace {

constexpr double kDriftStep = 0.00007;
constexpr double kDriftLimit = 0.1;
constexpr int kStates = 10000;
constexpr int kBins = 100;

// Longest period worth recording. Every one of the 10,000 starting states settles into a period
// of 100, 300 or 13,300 steps; a longer one would only mean simulating step by step forever.
constexpr size_t kLongestPeriod = size_t{1} << 16;

// A recorded period is repeated up to this many steps so that bulk replay runs long stretches.
constexpr size_t kShortestReplay = 4096;

// Bulk replay counts whole drift values in a double; beyond 2^52 they would no longer be exact.
constexpr double kLargestWholeDrift = 4503599627370496.0;

// int32 arithmetic wraps; done in unsigned so the wrap is defined.
int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// What the square-root map does with one state; the same for every generator, so it is worked
// out once.
struct Step {
    double frac = 0.0;
    double fracCent = 0.0;  // frac / 100.0, the part of a moved value that keeps its position
    uint16_t next = 0;
    uint8_t bin = 0;
};

std::vector<Step> BuildSteps() {
    std::vector<Step> steps(kStates);
    for (int32_t start = 0; start < kStates; ++start) {
        // State 0 is a perfect square whose multiples stay 0, so the map would never find a
        // fraction; such a generator behaves as state 1.
        int32_t state = start == 0 ? 1 : start;
        double frac = 0.0;
        for (int32_t s = state;;) {
            const double r = std::sqrt(static_cast<double>(s));
            frac = r - static_cast<double>(MyCustomRandom::ToInt32(r));
            state = WrapMul(state, 7);
            if (frac != 0.0) {
                break;
            }
            s = state;
        }
        Step& step = steps[start];
        step.frac = frac;
        step.fracCent = frac / 100.0;
        step.next = static_cast<uint16_t>(MyCustomRandom::ToInt32(frac * 10000.0));
        step.bin = static_cast<uint8_t>(MyCustomRandom::ToInt32(frac * 100.0));
    }
    return steps;
}

const Step* Steps() {
    static const std::vector<Step> steps = BuildSteps();  // initialised once, thread-safe
    return steps.data();
}

int MoveTarget(const int32_t* counts, int bin) {
    const int32_t threshold = counts[bin] - 10;
    int forward = -1;
    for (int j = bin + 1; j < kBins; ++j) {
        if (counts[j] < threshold) {
            forward = j;
            break;
        }
    }
    const int32_t limit = forward >= 0 ? counts[forward] : threshold;
    for (int k = bin - 1; k >= 0; --k) {
        if (counts[k] < limit) {
            return k;
        }
    }
    return forward >= 0 ? forward : bin;
}

// Every decision of the histogram compares counts with each other, so two histograms that differ
// by the same amount in every bin lead to the same future.
bool SameShape(const int32_t* a, const int32_t* b) {
    const int32_t offset = a[0] - b[0];
    for (int i = 1; i < kBins; ++i) {
        if (a[i] - b[i] != offset) {
            return false;
        }
    }
    return true;
}

// The shift s when span is 2^s and 0 <= base < span, else -1. For such a span the result's low
// bits split into a part that depends on the fraction and the drift's binade and a part span * d,
// which is what bulk replay relies on.
int BulkShift(int base, int span) {
    for (int s = 0; s <= 30; ++s) {
        if (span == (1 << s)) {
            return base >= 0 && base < span ? s : -1;
        }
    }
    return -1;
}

// out = a + b byte by byte. Written as fixed rounds of 128 so that the compiler vectorises them.
void AddBytes(uint8_t* __restrict out, const uint8_t* __restrict a, const uint8_t* __restrict b,
              size_t n) {
    constexpr size_t kRound = 128;
    size_t i = 0;
    for (; i + kRound <= n; i += kRound) {
        for (size_t k = 0; k < kRound; ++k) {
            out[i + k] = static_cast<uint8_t>(a[i + k] + b[i + k]);
        }
    }
    for (; i < n; ++i) {
        out[i] = static_cast<uint8_t>(a[i] + b[i]);
    }
}

template <typename T>
void RepeatTo(std::vector<T>& v, size_t length) {
    const size_t once = v.size();
    v.reserve(length);
    while (v.size() < length) {
        v.insert(v.end(), v.begin(), v.begin() + static_cast<std::ptrdiff_t>(once));
    }
}

}  // namespace

int32_t MyCustomRandom::ToInt32(double v) {
    // The range test is written so that NaN fails it too.
    if (!(v > -2147483649.0 && v < 2147483648.0)) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(v);
}

MyCustomRandom::MyCustomRandom(int seed) {
    int32_t v = WrapAdd(seed, 5678);
    if (v <= 1) {
        const uint32_t now = static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr)));
        v = WrapAdd(static_cast<int32_t>(now), 5678);
    }
    state = v % 10000;
    if (state < 0) {
        state += 10000;
    }
}

int MyCustomRandom::GetRandomNumber(int base, int span) {
    const double u = NextFraction();
    const double d = NextDrift();
    return ToInt32((u + d) * static_cast<double>(span) + static_cast<double>(base));
}

double MyCustomRandom::NextFraction() {
    if (phase != Phase::Replaying) {
        return SimulateStep();
    }
    const size_t p = period.position;
    state = period.stateAfter[p];
    period.position = p + 1 == period.length ? 0 : p + 1;
    return period.u[p];
}

double MyCustomRandom::SimulateStep() {
    const Step& step = Steps()[state];
    int bin = step.bin;
    double u = step.frac;
    if (binCount[bin] != maxBinCount) {
        binCount[bin] = binCount[bin] + 1;
        if (binCount[bin] > maxBinCount) {
            maxBinCount = binCount[bin];
        }
    } else {
        const int target = MoveTarget(binCount, bin);
        if (target == bin) {
            binCount[bin] = binCount[bin] + 1;
            maxBinCount = binCount[bin];
        } else {
            binCount[target] = binCount[target] + 1;
            u = static_cast<double>(target) / 100.0 + step.fracCent;
            bin = target;
        }
    }
    state = step.next;
    Observe(bin, u);
    return u;
}

void MyCustomRandom::Observe(int bin, double u) {
    if (phase == Phase::Searching) {
        ++searchSteps;
        if (state == savedState && SameShape(binCount, savedCounts)) {
            // The step just taken returned to a saved situation: what follows repeats the last
            // searchSteps steps. Record the next ones, then replay them.
            period.length = searchSteps;
            period.u.reserve(searchSteps);
            period.stateAfter.reserve(searchSteps);
            period.bin.reserve(searchSteps);
            std::memcpy(period.startCounts, binCount, sizeof binCount);
            phase = Phase::Recording;
            return;
        }
        if (searchSteps == searchLimit) {
            if (searchLimit >= kLongestPeriod) {
                phase = Phase::Simulating;
                return;
            }
            savedState = state;
            std::memcpy(savedCounts, binCount, sizeof binCount);
            searchLimit *= 2;
            searchSteps = 0;
        }
        return;
    }
    if (phase == Phase::Recording) {
        period.u.push_back(u);
        period.stateAfter.push_back(static_cast<uint16_t>(state));
        period.bin.push_back(static_cast<uint8_t>(bin));
        if (period.u.size() == period.length) {
            // Several periods in a row are a period too; a longer one lets bulk replay run on.
            const size_t repeats = (kShortestReplay + period.length - 1) / period.length;
            period.length *= repeats;
            RepeatTo(period.u, period.length);
            RepeatTo(period.stateAfter, period.length);
            RepeatTo(period.bin, period.length);
            period.position = 0;
            phase = Phase::Replaying;
        }
    }
}

double MyCustomRandom::NextDrift() {
    drift = drift + kDriftStep;
    if (drift > kDriftLimit) {
        driftFloor = driftFloor + 1.0;
        drift = driftFloor;
    }
    return drift;
}

int MyCustomRandom::ValoreMinoreAdiacente(int bin) const {
    if (phase != Phase::Replaying) {
        return MoveTarget(binCount, bin);
    }
    // Replay does not keep the histogram; rebuild it up to the current step of the period.
    int32_t counts[kBins];
    std::memcpy(counts, period.startCounts, sizeof counts);
    for (size_t i = 0; i < period.position; ++i) {
        ++counts[period.bin[i]];
    }
    return MoveTarget(counts, bin);
}

void MyCustomRandom::GetLowBytes(int base, int span, uint8_t* out, size_t count) {
    const int shift = BulkShift(base, span);
    while (count > 0) {
        size_t done = 0;
        if (shift >= 0 && CanReplayInBulk(count)) {
            done = ReplayLowBytes(base, shift, out, count);
        }
        if (done == 0) {
            *out = static_cast<uint8_t>(GetRandomNumber(base, span));
            done = 1;
        }
        out += done;
        count -= done;
    }
}

bool MyCustomRandom::Skip(size_t count, size_t stepLimit) {
    size_t single = 0;
    while (count > 0) {
        if (CanReplayInBulk(count)) {
            // The drift and the replay position advance exactly as drawing would advance them.
            const size_t n = std::min(count, period.length - period.position);
            AdvanceReplay(n);
            count -= n;
            continue;
        }
        if (++single > stepLimit) {
            return false;
        }
        NextFraction();
        NextDrift();
        --count;
    }
    return true;
}

// From the first drift jump on, every step raises the drift by exactly 1.0 (it is a whole number
// at least 1.0, so adding the step always passes the limit). Only then can steps be taken in bulk.
bool MyCustomRandom::CanReplayInBulk(size_t count) const {
    return phase == Phase::Replaying && drift >= 1.0 && driftFloor >= 0.0 &&
           driftFloor == std::floor(driftFloor) &&
           driftFloor + static_cast<double>(count) < kLargestWholeDrift;
}

// Bulk replay for span = 2^shift and 0 <= base < span. With a whole drift d in [2^e, 2^(e+1) - 2]
// and e <= 30 - shift, u + d rounds to d plus u rounded to the binade's spacing (d is a multiple of
// it), scaling by 2^shift and adding base are exact, and the result's int32 is span * d plus a part
// that depends on u and e alone: that part is tabled per binade. The last d of a binade, where
// adding base can cross into the next binade, is left to the step-by-step path. From
// d = 2^(31 - shift) on every result leaves the int32 range and converts to INT32_MIN, whose low
// byte is 0. Returns the number of steps taken, 0 when the next step has to be taken singly.
size_t MyCustomRandom::ReplayLowBytes(int base, int shift, uint8_t* out, size_t count) {
    const double next = driftFloor + 1.0;  // the drift of the next step
    const size_t room = std::min(count, period.length - period.position);
    if (next >= std::ldexp(1.0, 31 - shift)) {
        std::memset(out, 0, room);
        AdvanceReplay(room);
        return room;
    }
    int exponent = 0;
    std::frexp(next, &exponent);
    --exponent;  // next lies in [2^exponent, 2^(exponent + 1))
    const double last = std::ldexp(1.0, exponent + 1) - 1.0;
    if (next == last) {
        return 0;
    }
    const size_t n = std::min(room, static_cast<size_t>(last - next));
    BuildLowBytes(base, 1 << shift, exponent);
    const uint8_t* part = period.lowBytes.data() + period.position;
    const size_t d0 = static_cast<size_t>(static_cast<uint64_t>(next) & 255);
    for (size_t i = 0; i < n; i += 256) {
        const size_t run = std::min<size_t>(n - i, 256);
        AddBytes(out + i, part + i, period.spanTimesDrift + ((d0 + i) & 255), run);
    }
    AdvanceReplay(n);
    return n;
}

void MyCustomRandom::AdvanceReplay(size_t steps) {
    size_t p = period.position + steps;
    if (p == period.length) {
        p = 0;
    }
    period.position = p;
    state = period.stateAfter[p == 0 ? period.length - 1 : p - 1];
    driftFloor = driftFloor + static_cast<double>(steps);
    drift = driftFloor;
}

void MyCustomRandom::BuildLowBytes(int base, int span, int exponent) {
    if (period.lowSpan == span && period.lowBase == base && period.lowExponent == exponent) {
        return;
    }
    // Evaluated exactly as a step does, at the binade's first drift.
    const double d = std::ldexp(1.0, exponent);
    const int64_t spanD = static_cast<int64_t>(span) * static_cast<int64_t>(d);
    period.lowBytes.resize(period.length);
    for (size_t i = 0; i < period.length; ++i) {
        const int32_t r =
            ToInt32((period.u[i] + d) * static_cast<double>(span) + static_cast<double>(base));
        period.lowBytes[i] = static_cast<uint8_t>(static_cast<int64_t>(r) - spanD);
    }
    for (uint32_t d = 0; d < 512; ++d) {
        period.spanTimesDrift[d] = static_cast<uint8_t>(d * static_cast<uint32_t>(span));
    }
    period.lowSpan = span;
    period.lowBase = base;
    period.lowExponent = exponent;
}

}  // namespace tessella
