// Host tests of the proportional fit of a picture into a card's picture box.
#include "pictures/scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(FitToBox, GivesTheTruncatedProportionalSize)
{
    const struct {
        const char* what;
        int width, height, boxWidth, boxHeight, expectedWidth, expectedHeight;
    } cases[] = {
        // The card's 260 x 260 box.
        {"landscape", 480, 360, 260, 260, 260, 195},
        {"portrait", 360, 480, 260, 260, 195, 260},
        {"small square is enlarged", 100, 100, 260, 260, 260, 260},
        {"exactly the box", 260, 260, 260, 260, 260, 260},
        {"one pixel", 1, 1, 260, 260, 260, 260},
        {"173.33 truncated", 300, 200, 260, 260, 260, 173},
        {"whole 234, not 233.999", 27, 30, 260, 260, 234, 260},
        {"whole 234 across", 30, 27, 260, 260, 260, 234},
        {"limiting side meets the box exactly", 1000, 4105, 260, 260, 63, 260},
        {"hair-thin tall picture has no width", 1, 1000, 260, 260, 0, 260},
        {"hair-thin wide picture has no height", 1000, 1, 260, 260, 260, 0},
        {"thin but still visible", 4, 1000, 260, 260, 1, 260},
        {"huge picture shrinks", 8000, 6000, 260, 260, 260, 195},
        // Other boxes: either side may limit.
        {"wide box, height limits", 480, 360, 400, 100, 133, 100},
        {"wide box, width limits", 480, 120, 400, 200, 400, 100},
        {"tall box, width limits", 360, 480, 100, 400, 100, 133},
        {"tall box, height limits", 120, 480, 200, 400, 100, 400},
        {"same ratio as the box", 640, 480, 320, 240, 320, 240},
        {"one-pixel box", 480, 360, 1, 1, 1, 0},
        {"largest box, no overflow", 1, 2, INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX},
        {"largest picture, no overflow", INT_MAX, INT_MAX - 1, 260, 260, 260, 259},
        // Degenerate sizes give nothing.
        {"zero width", 0, 100, 260, 260, 0, 0},
        {"zero height", 100, 0, 260, 260, 0, 0},
        {"negative width", -480, 360, 260, 260, 0, 0},
        {"negative height", 480, -360, 260, 260, 0, 0},
        {"zero box width", 480, 360, 0, 260, 0, 0},
        {"zero box height", 480, 360, 260, 0, 0, 0},
        {"negative box", 480, 360, -260, -260, 0, 0},
        {"smallest int", INT_MIN, INT_MIN, 260, 260, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScaledSize size = fitToBox(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(size.width, c.expectedWidth);
        EXPECT_EQ(size.height, c.expectedHeight);
    }
}

} // namespace
