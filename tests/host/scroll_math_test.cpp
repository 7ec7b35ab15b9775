// Host tests of the board's scroll arithmetic: where each request leads, the clamping order
// and the bar parameters fitted to content and client sizes.
#include "board/scroll_math.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

// A 2000-pixel-high content seen through a 300-pixel-high client area.
constexpr ScrollBarState kTallBar = {0, 1998, 299, 0, 0};
// A 910-pixel-wide grid seen through a 400-pixel-wide client area.
constexpr ScrollBarState kWideBar = {0, 908, 399, 0, 0};

ScrollBarState at(ScrollBarState bar, int32_t pos, int32_t trackPos)
{
    bar.pos = pos;
    bar.trackPos = trackPos;
    return bar;
}

struct RequestCase {
    const char* name;
    int32_t pos;
    int32_t trackPos;
    int request;
    int32_t target;
    int32_t expected;
};

class VerticalRequest : public testing::TestWithParam<RequestCase> {};

TEST_P(VerticalRequest, LeadsToTheClampedPosition)
{
    const RequestCase& c = GetParam();
    const ScrollBarState bar = at(kTallBar, c.pos, c.trackPos);
    EXPECT_EQ(clampToBar(bar, verticalRequestPosition(bar, c.request, c.target)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, VerticalRequest,
    testing::Values(RequestCase{"LineUpIsOneCard", 1000, 1000, 0, 0, 690},
                    RequestCase{"LineUpNearTopStopsAtZero", 200, 200, 0, 0, 0},
                    RequestCase{"LineDownIsOneCard", 1000, 1000, 1, 0, 1310},
                    RequestCase{"LineDownNearEndStopsAtMax", 1800, 1800, 1, 0, 1998},
                    RequestCase{"PageUpIsThePageSize", 1000, 1000, 2, 0, 701},
                    RequestCase{"PageUpNearTopStopsAtZero", 100, 100, 2, 0, 0},
                    RequestCase{"PageDownIsThePageSize", 1000, 1000, 3, 0, 1299},
                    RequestCase{"PageDownNearEndStopsAtMax", 1900, 1900, 3, 0, 1998},
                    RequestCase{"ThumbReleaseKeepsThePosition", 1000, 400, 4, 0, 1000},
                    RequestCase{"ThumbTrackFollowsTheThumb", 1000, 400, 5, 0, 400},
                    RequestCase{"TopIsZero", 1000, 1000, 6, 0, 0},
                    RequestCase{"BottomIsTheBarMaximum", 0, 0, 7, 0, 1998},
                    RequestCase{"WheelDownIsFiftyPixels", 1000, 1000, 500, 0, 1050},
                    RequestCase{"WheelDownNearEndStopsAtMax", 1990, 1990, 500, 0, 1998},
                    RequestCase{"WheelUpIsFiftyPixels", 1000, 1000, 501, 0, 950},
                    RequestCase{"WheelUpNearTopStopsAtZero", 30, 30, 501, 0, 0},
                    RequestCase{"TargetInsideTheRange", 0, 0, 502, 1234, 1234},
                    RequestCase{"TargetBeyondTheEnd", 0, 0, 502, 5000, 1998},
                    RequestCase{"TargetAboveTheTop", 600, 600, 502, -40, 0},
                    RequestCase{"TargetAtIntMax", 600, 600, 502, INT32_MAX, 1998},
                    RequestCase{"EndScrollChangesNothing", 1000, 400, 8, 0, 1000},
                    RequestCase{"CodeBelowTheCustomOnes", 1000, 400, 499, 7, 1000},
                    RequestCase{"CodeAboveTheCustomOnes", 1000, 400, 503, 7, 1000},
                    RequestCase{"NegativeCode", 1000, 400, -1, 7, 1000}),
    [](const testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

class HorizontalRequest : public testing::TestWithParam<RequestCase> {};

TEST_P(HorizontalRequest, LeadsToTheClampedPosition)
{
    const RequestCase& c = GetParam();
    const ScrollBarState bar = at(kWideBar, c.pos, c.trackPos);
    EXPECT_EQ(clampToBar(bar, horizontalRequestPosition(bar, c.request)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, HorizontalRequest,
    testing::Values(RequestCase{"LineLeftIsOnePixel", 100, 100, 0, 0, 99},
                    RequestCase{"LineLeftAtZeroStays", 0, 0, 0, 0, 0},
                    RequestCase{"LineRightIsOnePixel", 100, 100, 1, 0, 101},
                    RequestCase{"LineRightAtMaxStays", 908, 908, 1, 0, 908},
                    RequestCase{"PageLeftIsThePageSize", 450, 450, 2, 0, 51},
                    RequestCase{"PageLeftNearZeroStopsAtZero", 100, 100, 2, 0, 0},
                    RequestCase{"PageRightIsThePageSize", 0, 0, 3, 0, 399},
                    RequestCase{"PageRightNearEndStopsAtMax", 600, 600, 3, 0, 908},
                    RequestCase{"ThumbReleaseKeepsThePosition", 100, 300, 4, 0, 100},
                    RequestCase{"ThumbTrackFollowsTheThumb", 100, 300, 5, 0, 300},
                    RequestCase{"LeftEndIsIgnored", 100, 100, 6, 0, 100},
                    RequestCase{"RightEndIsIgnored", 100, 100, 7, 0, 100},
                    RequestCase{"EndScrollChangesNothing", 100, 300, 8, 0, 100},
                    RequestCase{"WheelDownIsVerticalOnly", 100, 100, 500, 0, 100},
                    RequestCase{"WheelUpIsVerticalOnly", 100, 100, 501, 0, 100},
                    RequestCase{"TargetIsVerticalOnly", 100, 100, 502, 0, 100}),
    [](const testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

TEST(ScrollRequest, StepsPastTheIntRangeDoNotWrapAround)
{
    const ScrollBarState bar = {0, INT32_MAX, 10, INT32_MAX - 100, 0};
    EXPECT_EQ(clampToBar(bar, verticalRequestPosition(bar, 1, 0)), INT32_MAX);
    EXPECT_EQ(clampToBar(bar, verticalRequestPosition(bar, 3, 0)), INT32_MAX - 90);
    EXPECT_EQ(clampToBar(bar, horizontalRequestPosition(bar, 1)), INT32_MAX - 99);

    const ScrollBarState low = {INT32_MIN, 0, 0, INT32_MIN + 100, 0};
    EXPECT_EQ(clampToBar(low, verticalRequestPosition(low, 0, 0)), INT32_MIN);
}

struct ClampCase {
    const char* name;
    int32_t min;
    int32_t max;
    int64_t position;
    int32_t expected;
};

class ClampToBar : public testing::TestWithParam<ClampCase> {};

TEST_P(ClampToBar, TakesTheMaximumFirstThenTheMinimum)
{
    const ClampCase& c = GetParam();
    EXPECT_EQ(clampToBar({c.min, c.max, 0, 0, 0}, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ClampToBar,
    testing::Values(ClampCase{"Inside", 0, 1998, 700, 700}, ClampCase{"AtMax", 0, 1998, 1998, 1998},
                    ClampCase{"AboveMax", 0, 1998, 1999, 1998}, ClampCase{"AtMin", 0, 1998, 0, 0},
                    ClampCase{"BelowMin", 0, 1998, -1, 0}, ClampCase{"FarAbove", 0, 1998, INT64_MAX, 1998},
                    ClampCase{"FarBelow", 0, 1998, INT64_MIN, 0},
                    // An empty board: maximum -2 below minimum 0; every request ends at 0.
                    ClampCase{"EmptyContentAbove", 0, -2, 5, 0}, ClampCase{"EmptyContentBelow", 0, -2, -5, 0},
                    // Between an inverted pair only the order of the two tests decides.
                    ClampCase{"InvertedRangeEndsAtMin", 10, 5, 7, 10}),
    [](const testing::TestParamInfo<ClampCase>& info) { return info.param.name; });

struct FitCase {
    const char* name;
    int32_t content;
    int32_t client;
    bool resetPosition;
    int32_t max;
    int32_t page;
};

class FitScrollBar : public testing::TestWithParam<FitCase> {};

TEST_P(FitScrollBar, GivesRangeAndPage)
{
    const FitCase& c = GetParam();
    const ScrollBarFit fit = fitScrollBar(c.content, c.client);
    EXPECT_EQ(fit.resetPosition, c.resetPosition);
    EXPECT_EQ(fit.max, c.max);
    EXPECT_EQ(fit.page, c.page);
    if (!c.resetPosition && c.client > 0) {
        // A bar of range 0..max and this page accepts positions up to max - page + 1.
        EXPECT_EQ(fit.max - fit.page + 1, c.content - c.client) << "largest position is content - client";
    } else if (c.resetPosition && c.content > 0) {
        EXPECT_GE(fit.page, fit.max + 1) << "the page covers the whole range, so the bar cannot scroll";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FitScrollBar,
                         testing::Values(FitCase{"TallGrid", 2000, 300, false, 1998, 299},
                                         FitCase{"WideGrid", 910, 400, false, 908, 399},
                                         FitCase{"OnePixelTooBig", 401, 400, false, 399, 399},
                                         FitCase{"ExactFit", 400, 400, true, 398, 399},
                                         FitCase{"ContentSmallerThanClient", 300, 400, true, 298, 299},
                                         FitCase{"OneRowList", 30, 400, true, 28, 29},
                                         FitCase{"NoQuestionsAtAll", 0, 400, true, -2, -1},
                                         FitCase{"ClientCollapsed", 910, 0, false, 908, -1}),
                         [](const testing::TestParamInfo<FitCase>& info) { return info.param.name; });

} // namespace

// Tab into a field that sticks out of the board: the new position shows it whole.
TEST(FieldRevealPosition, BringsTheWholeFieldIntoTheClientArea)
{
    struct Case {
        int32_t top, bottom, clientHeight, position, expected;
    };
    const Case cases[] = {
        {100, 120, 300, 40, 40},    // inside: no change
        {0, 20, 300, 40, 40},       // touching the top edge
        {280, 300, 300, 40, 40},    // touching the bottom edge
        {290, 310, 300, 40, 50},    // ten pixels below: bottom onto the bottom edge
        {900, 920, 300, 0, 620},    // far below
        {-15, 5, 300, 400, 385},    // partly above: top onto the top edge
        {-600, -580, 300, 700, 100} // far above
    };
    for (const Case& c : cases) {
        int32_t position = fieldRevealPosition(c.top, c.bottom, c.clientHeight, c.position);
        EXPECT_EQ(position, c.expected) << c.top << ".." << c.bottom;
        // Whatever the move, the field then lies inside the client area.
        EXPECT_GE(c.top - (position - c.position), 0);
        EXPECT_LE(c.bottom - (position - c.position), c.clientHeight);
    }
}
