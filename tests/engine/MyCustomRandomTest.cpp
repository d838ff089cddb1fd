#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "engine/MyCustomRandom.h"

using namespace tessella;

namespace {

std::vector<int> Draw(MyCustomRandom& g, int count, int base, int span) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(g.GetRandomNumber(base, span));
    }
    return out;
}

}  // namespace

TEST(MyCustomRandom, SeedZeroGivesTheKnownSequenceAndTheDriftJump) {
    MyCustomRandom g(0);
    EXPECT_EQ(g.GetState(), 5678);
    EXPECT_EQ(Draw(g, 20, 1, 16),
              (std::vector<int>{6, 6, 16, 6, 14, 1, 14, 4, 12, 1, 12, 6, 8, 10, 3, 5, 8, 8, 9, 2}));
    Draw(g, 1424 - 20, 1, 16);
    EXPECT_EQ(Draw(g, 4, 1, 16), (std::vector<int>{17, 17, 7, 8}));    // calls 1425..1428
    EXPECT_EQ(Draw(g, 4, 1, 16), (std::vector<int>{17, 44, 64, 77}));  // calls 1429..1432
}

TEST(MyCustomRandom, SlotDrawsOfSeed97) {
    MyCustomRandom g(97);
    EXPECT_EQ(g.GetState(), 5775);
    EXPECT_EQ(Draw(g, 8, 0, 127), (std::vector<int>{126, 85, 103, 47, 49, 78, 76, 60}));
    EXPECT_EQ(g.GetState(), 4725);
}

TEST(MyCustomRandom, PerfectSquareStateTakesItsFractionFromSevenTimesTheState) {
    MyCustomRandom g(-3178);
    EXPECT_EQ(g.GetState(), 2500);
    EXPECT_EQ(g.GetRandomNumber(0, 100), 28);
    EXPECT_EQ(g.GetState(), 2875);
}

TEST(MyCustomRandom, SeedsAtTheClockBoundary) {
    EXPECT_EQ(MyCustomRandom(-5676).GetState(), 2);
    // Seeds that wrap past the int32 range also fall back to the clock; their state is still a
    // valid one.
    for (int seed : {-5677, INT_MIN, INT_MAX}) {
        const int32_t s = MyCustomRandom(seed).GetState();
        EXPECT_GE(s, 0);
        EXPECT_LT(s, 10000);
    }
}

TEST(MyCustomRandom, StateZeroStillProducesNumbers) {
    MyCustomRandom g(4322);  // 4322 + 5678 = 10000
    EXPECT_EQ(g.GetState(), 0);
    const std::vector<int> first = Draw(g, 50, 1, 255);
    MyCustomRandom again(14322);
    EXPECT_EQ(Draw(again, 50, 1, 255), first);
    EXPECT_GE(g.GetState(), 50);
}

TEST(MyCustomRandom, ConversionOfOutOfRangeValues) {
    EXPECT_EQ(MyCustomRandom::ToInt32(-1.9), -1);
    EXPECT_EQ(MyCustomRandom::ToInt32(2147483647.9), INT_MAX);
    EXPECT_EQ(MyCustomRandom::ToInt32(2147483648.0), INT_MIN);
    EXPECT_EQ(MyCustomRandom::ToInt32(-2147483648.9), INT_MIN);
    EXPECT_EQ(MyCustomRandom::ToInt32(-2147483649.0), INT_MIN);
    EXPECT_EQ(MyCustomRandom::ToInt32(std::nan("")), INT_MIN);
}

TEST(MyCustomRandom, FirstCallNeverMovesAValue) {
    MyCustomRandom g(1);
    for (int b = 0; b < 100; ++b) {
        EXPECT_EQ(g.ValoreMinoreAdiacente(b), b);
    }
}
