#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "CliJob.h"

namespace tessella {

// Several files, one job each, run side by side up to the number of processors. Every job keeps
// the guarantees of a single one; the batch adds a summary and one stop for all.
class CliBatch {
public:
    // Takes over the prepared jobs (inputs set, not started).
    explicit CliBatch(std::vector<std::unique_ptr<CliJob>> jobs);

    // Runs every job; true when all succeeded. Prints a summary line when `summary` is set.
    bool Run(bool summary);

    // Stops every job, started or not. Safe in a signal handler.
    void StopAll();

private:
    void Work();

    std::vector<std::unique_ptr<CliJob>> jobs;
    std::atomic<size_t> nextJob{0};
    std::atomic<bool> stopped{false};
};

}  // namespace tessella
