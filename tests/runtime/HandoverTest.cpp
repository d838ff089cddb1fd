// Work handed from other threads to the task that owns a window.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "runtime/Handover.h"

using namespace tessella;

namespace {

TEST(Handover, WorkFromAnotherThreadWaitsForTheOwnerAndRunsInOrder) {
    Handover handover;
    std::vector<int> seen;
    handover.Post([&seen] { seen.push_back(0); });  // on the owner's task: at once
    EXPECT_EQ(seen, std::vector<int>{0});

    std::thread worker([&] {
        EXPECT_FALSE(handover.IsOwnerTask());
        for (int i = 1; i <= 3; ++i) {
            handover.Post([&seen, i] { seen.push_back(i); });
        }
    });
    worker.join();
    EXPECT_EQ(seen, std::vector<int>{0});
    EXPECT_EQ(handover.Pending(), 3u);

    handover.RunPosted();
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(handover.Pending(), 0u);
    handover.RunPosted();  // nothing runs twice
    EXPECT_EQ(seen.size(), 4u);
}

TEST(Handover, ClearedWorkNeverRuns) {
    Handover handover;
    int runs = 0;
    std::thread worker([&] { handover.Post([&runs] { ++runs; }); });
    worker.join();
    handover.Clear();
    handover.RunPosted();
    EXPECT_EQ(runs, 0);
}

// Work that posts more work, on the owner's task, runs it within the same round.
TEST(Handover, WorkPostedByWorkOnTheOwnersTaskRunsAtOnce) {
    Handover handover;
    std::vector<int> seen;
    std::thread worker([&] {
        handover.Post([&] {
            seen.push_back(1);
            handover.Post([&seen] { seen.push_back(2); });
            seen.push_back(3);
        });
    });
    worker.join();
    handover.RunPosted();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(handover.IsStarted());  // no timer was made
}

}  // namespace
