#pragma once

#include <cmath>
#include <cstdint>
#include <ctime>

namespace tessella {

// The generator written step by step, one operation at a time, without tables or shortcuts. The
// engine's generator must return exactly what this one returns; its fields are public so that a
// test can move the drift far ahead instead of running for minutes.
struct ReferenceRandom {
    int32_t maxBinCount = 0;
    int32_t state = 0;
    int32_t binCount[100] = {};
    double drift = 0.0;
    double driftFloor = 0.0;

    static int32_t WrapAdd(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }

    static int32_t WrapMul(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
    }

    static int32_t ToInt32(double v) {
        if (!(v > -2147483649.0 && v < 2147483648.0)) {
            return INT32_MIN;
        }
        return static_cast<int32_t>(v);
    }

    explicit ReferenceRandom(int seed) {
        int32_t v = WrapAdd(seed, 5678);
        if (v <= 1) {
            v = WrapAdd(static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr))), 5678);
        }
        state = v % 10000;
        if (state < 0) {
            state += 10000;
        }
    }

    int GetRandomNumber(int base, int span) {
        if (state == 0) {
            state = 1;
        }
        double frac = 0.0;
        for (int32_t s = state;;) {
            const double r = std::sqrt(static_cast<double>(s));
            frac = r - static_cast<double>(ToInt32(r));
            state = WrapMul(state, 7);
            if (frac != 0.0) {
                break;
            }
            s = state;
        }

        drift = drift + 0.00007;
        if (drift > 0.1) {
            driftFloor = driftFloor + 1.0;
            drift = driftFloor;
        }
        const double d = drift;

        const int32_t b = ToInt32(frac * 100.0);
        double u = frac;
        if (binCount[b] != maxBinCount) {
            binCount[b] = binCount[b] + 1;
            if (binCount[b] > maxBinCount) {
                maxBinCount = binCount[b];
            }
        } else {
            const int t = ValoreMinoreAdiacente(b);
            if (t == b) {
                binCount[b] = binCount[b] + 1;
                maxBinCount = binCount[b];
            } else {
                binCount[t] = binCount[t] + 1;
                u = static_cast<double>(t) / 100.0 + frac / 100.0;
            }
        }

        state = ToInt32(frac * 10000.0);
        return ToInt32((u + d) * static_cast<double>(span) + static_cast<double>(base));
    }

    int ValoreMinoreAdiacente(int bin) const {
        const int32_t threshold = binCount[bin] - 10;
        int forward = -1;
        for (int j = bin + 1; j < 100; ++j) {
            if (binCount[j] < threshold) {
                forward = j;
                break;
            }
        }
        const int32_t limit = forward >= 0 ? binCount[forward] : threshold;
        for (int k = bin - 1; k >= 0; --k) {
            if (binCount[k] < limit) {
                return k;
            }
        }
        return forward >= 0 ? forward : bin;
    }
};

}  // namespace tessella
