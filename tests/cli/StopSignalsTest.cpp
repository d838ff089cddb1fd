#include "cli/StopSignals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliBatch.h"
#include "tests/support/TempDir.h"

using namespace tessella;

namespace {

// In a child process, as tessella-cli's main does: a batch that succeeds, then `sig` arriving
// just as the result has its name. The child's exit status is what the user would see.
int StatusOfASignalAfterTheRun(int sig, const TempDir& dir) {
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
        StopSignals::Catch();
        std::vector<std::unique_ptr<CliJob>> jobs;
        auto job = std::make_unique<CliJob>();
        job->encryptMode = true;
        job->source = dir.Path("plain");
        job->destination = dir.Path("out-" + std::to_string(sig));
        job->password = job->confirmation = "late signals";
        job->check = false;
        jobs.push_back(std::move(job));
        CliBatch batch(std::move(jobs));
        StopSignals::Stop(&batch);
        const bool ok = batch.Run(false);
        StopSignals::Finished();
        std::raise(sig);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(StopSignals, AStopAfterTheJobsFinishedLeavesTheirSuccess) {
    TempDir dir;
    dir.Write("plain", TempDir::RandomBytes(4000, 71));
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        const int status = StatusOfASignalAfterTheRun(sig, dir);
        ASSERT_TRUE(WIFEXITED(status)) << strsignal(sig) << " ended it";
        EXPECT_EQ(WEXITSTATUS(status), 0) << strsignal(sig);
        EXPECT_TRUE(std::filesystem::exists(dir.Path("out-" + std::to_string(sig))))
            << strsignal(sig);
    }
}
