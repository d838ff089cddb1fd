// Throughput of the content stream alone, as the cipher draws it: one GetRandomNumber(1, 16) per
// byte, over a few content seeds, step by step and in bulk. Prints MB/s (10^6 bytes per second).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/MyCustomRandom.h"

using namespace tessella;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double StepByStep(int seed, long bytes, uint32_t& sink) {
    const auto t0 = Clock::now();
    MyCustomRandom g(seed);
    for (long i = 0; i < bytes; ++i) {
        sink += static_cast<uint32_t>(g.GetRandomNumber(1, 16));
    }
    return Since(t0);
}

double InBulk(int seed, long bytes, uint32_t& sink) {
    std::vector<uint8_t> buffer(1 << 16);
    const auto t0 = Clock::now();
    MyCustomRandom g(seed);
    for (long done = 0; done < bytes;) {
        const long n = std::min<long>(bytes - done, static_cast<long>(buffer.size()));
        g.GetLowBytes(1, 16, buffer.data(), static_cast<size_t>(n));
        sink += buffer[static_cast<size_t>(n) - 1];
        done += n;
    }
    return Since(t0);
}

void Report(const char* what, double (*run)(int, long, uint32_t&), long bytes) {
    const int seeds[] = {1536, 1888, 2240};
    uint32_t sink = 0;
    double total = 0.0;
    for (int seed : seeds) {
        total += run(seed, bytes, sink);
    }
    std::printf("%-34s %9.1f MB/s  (%ld MB x 3 seeds, %.3f s, check %u)\n", what,
                3.0 * static_cast<double>(bytes) / total / 1e6, bytes / 1000000, total, sink);
}

}  // namespace

int main(int argc, char** argv) {
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 64;
    const long bytes = megabytes * 1000000L;
    Report("GetRandomNumber(1, 16) per byte", StepByStep, bytes);
    Report("GetLowBytes(1, 16) in 64 KiB runs", InBulk, bytes);
    return 0;
}
