// Host tests of the proportional fit of a picture into a card's picture box.
#include "pictures/scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(FitToBox, GivesTheTruncatedProportionalSize)
{
    const struct {
        int width, height, boxWidth, boxHeight, expectedWidth, expectedHeight;
    } cases[] = {
        {480, 360, 260, 260, 260, 195}, {360, 480, 260, 260, 195, 260},
        {100, 100, 260, 260, 260, 260},  // small pictures are enlarged
        {300, 200, 260, 260, 260, 173},  // 173.33 truncated
        {27, 30, 260, 260, 234, 260},    // whole 234, not 233.999
        {1000, 4105, 260, 260, 63, 260}, {1, 1000, 260, 260, 0, 260},
        {480, 360, 400, 100, 133, 100},  {480, 120, 400, 200, 400, 100},  // either side of the box may limit
        {640, 480, 320, 240, 320, 240},
        {1, 2, INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX}, {INT_MAX, INT_MAX - 1, 260, 260, 260, 259},  // no overflow
        {0, 100, 260, 260, 0, 0}, {100, 0, 260, 260, 0, 0}, {-480, 360, 260, 260, 0, 0},  // nothing to show
        {480, 360, 0, 260, 0, 0}, {480, 360, 260, -1, 0, 0}, {INT_MIN, INT_MIN, 260, 260, 0, 0},
    };
    for (const auto& c : cases) {
        const ScaledSize size = fitToBox(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(std::to_string(size.width) + "x" + std::to_string(size.height),
                  std::to_string(c.expectedWidth) + "x" + std::to_string(c.expectedHeight))
            << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
    }
}

}  // namespace
