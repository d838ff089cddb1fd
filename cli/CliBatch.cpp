#include "CliBatch.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace tessella {

CliBatch::CliBatch(std::vector<std::unique_ptr<CliJob>> inJobs) : jobs(std::move(inJobs)) {}

void CliBatch::StopAll() {
    // A job that starts after this sees `stopped`; one started before has its flag cleared.
    stopped.store(true);
    for (const std::unique_ptr<CliJob>& job : jobs) {
        job->running.store(false);
    }
}

void CliBatch::Work() {
    for (size_t i = nextJob++; i < jobs.size(); i = nextJob++) {
        CliJob& job = *jobs[i];
        if (stopped.load()) {
            continue;
        }
        job.running.store(true);
        if (stopped.load()) {
            job.running.store(false);
            continue;
        }
        job.evTread();
    }
}

bool CliBatch::Run(bool summary) {
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min(cores, jobs.size());
    std::vector<std::thread> threads;
    for (size_t t = 1; t < workers; ++t) {
        threads.emplace_back([this] { Work(); });
    }
    Work();
    for (std::thread& t : threads) {
        t.join();
    }

    size_t done = 0;
    size_t failed = 0;
    size_t interrupted = 0;
    for (const std::unique_ptr<CliJob>& job : jobs) {
        if (job->Succeeded()) {
            ++done;
        } else if (!job->LastError().empty()) {
            ++failed;
        } else {
            ++interrupted;
            std::fprintf(stderr, "%sInterrupted: nothing was written.\n", job->label.c_str());
        }
    }
    if (summary) {
        const bool encrypting = !jobs.empty() && jobs.front()->encryptMode;
        std::fprintf(stderr, "%zu of %zu files %s", done, jobs.size(),
                     encrypting ? "encrypted" : "decrypted");
        if (failed > 0) {
            std::fprintf(stderr, ", %zu failed", failed);
        }
        if (interrupted > 0) {
            std::fprintf(stderr, ", %zu interrupted", interrupted);
        }
        std::fprintf(stderr, ".\n");
    }
    return done == jobs.size();
}

}  // namespace tessella
