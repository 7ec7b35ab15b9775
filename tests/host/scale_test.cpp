// Host tests of the proportional fit of a picture into a card's picture box.
#include "pictures/scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace {

struct FitCase {
    const char* what;
    int width, height, boxWidth, boxHeight;
    int expectedWidth, expectedHeight;
};

std::ostream& operator<<(std::ostream& out, const FitCase& c)
{
    return out << c.what << ": " << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
}

class FitToBox : public testing::TestWithParam<FitCase> {};

TEST_P(FitToBox, GivesTheTruncatedProportionalSize)
{
    const FitCase& c = GetParam();
    const ScaledSize size = fitToBox(c.width, c.height, c.boxWidth, c.boxHeight);
    EXPECT_EQ(size.width, c.expectedWidth);
    EXPECT_EQ(size.height, c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(CardBox, FitToBox, testing::Values(
    FitCase{"landscape card picture", 480, 360, 260, 260, 260, 195},
    FitCase{"portrait card picture", 360, 480, 260, 260, 195, 260},
    FitCase{"small square is enlarged", 100, 100, 260, 260, 260, 260},
    FitCase{"173.33 truncated", 300, 200, 260, 260, 260, 173},
    FitCase{"exactly the box", 260, 260, 260, 260, 260, 260},
    FitCase{"one pixel", 1, 1, 260, 260, 260, 260},
    FitCase{"whole 234, not 233.999", 27, 30, 260, 260, 234, 260},
    FitCase{"whole 234 across", 30, 27, 260, 260, 260, 234},
    FitCase{"limiting side meets the box exactly", 1000, 4105, 260, 260, 63, 260},
    FitCase{"hair-thin tall picture has no width", 1, 1000, 260, 260, 0, 260},
    FitCase{"hair-thin wide picture has no height", 1000, 1, 260, 260, 260, 0},
    FitCase{"thin but still visible", 4, 1000, 260, 260, 1, 260},
    FitCase{"huge picture shrinks", 8000, 6000, 260, 260, 260, 195}));

INSTANTIATE_TEST_SUITE_P(OtherBoxes, FitToBox, testing::Values(
    FitCase{"wide box, height limits", 480, 360, 400, 100, 133, 100},
    FitCase{"wide box, width limits", 480, 120, 400, 200, 400, 100},
    FitCase{"tall box, width limits", 360, 480, 100, 400, 100, 133},
    FitCase{"tall box, height limits", 120, 480, 200, 400, 100, 400},
    FitCase{"same ratio as the box", 640, 480, 320, 240, 320, 240},
    FitCase{"one-pixel box", 480, 360, 1, 1, 1, 0},
    FitCase{"largest box, no overflow", 1, 2, INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX},
    FitCase{"largest picture, no overflow", INT_MAX, INT_MAX - 1, 260, 260, 260, 259}));

INSTANTIATE_TEST_SUITE_P(Degenerate, FitToBox, testing::Values(
    FitCase{"zero width", 0, 100, 260, 260, 0, 0},
    FitCase{"zero height", 100, 0, 260, 260, 0, 0},
    FitCase{"negative width", -480, 360, 260, 260, 0, 0},
    FitCase{"negative height", 480, -360, 260, 260, 0, 0},
    FitCase{"zero box width", 480, 360, 0, 260, 0, 0},
    FitCase{"zero box height", 480, 360, 260, 0, 0, 0},
    FitCase{"negative box", 480, 360, -260, -260, 0, 0},
    FitCase{"smallest int", INT_MIN, INT_MIN, 260, 260, 0, 0}));

} // namespace
