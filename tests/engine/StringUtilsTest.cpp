#include <gtest/gtest.h>

#include "StringUtils.h"

TEST(StringUtils, TrimRemovesOnlyOuterWhiteSpace) {
    EXPECT_EQ(StringUtils::Trim(" \t pass word \n"), "pass word");
    EXPECT_EQ(StringUtils::Trim("   "), "");
    EXPECT_EQ(StringUtils::Trim(""), "");
    // Latin-1 letters above 127 are not white space and must survive.
    EXPECT_EQ(StringUtils::Trim(" \xE8t\xE9 "), "\xE8t\xE9");
}
