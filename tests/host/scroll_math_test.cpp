// Host tests of the board's scroll arithmetic: where each request leads, the clamping order
// and the bar parameters fitted to content and client sizes.
#include "board/scroll_math.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

TEST(ScrollRequest, LeadsToTheClampedPosition)
{
    // Vertical: 2000 pixels of content through 300; horizontal: 910 through 400.
    constexpr ScrollBarState kTall = {0, 1998, 299, 0, 0};
    constexpr ScrollBarState kWide = {0, 908, 399, 0, 0};
    const struct {
        const char* name;
        bool vertical;
        int32_t pos, trackPos;
        int request;
        int32_t target, expected;
    } cases[] = {
        {"LineUpIsOneCard", true, 1000, 1000, 0, 0, 690},
        {"LineUpNearTopStopsAtZero", true, 200, 200, 0, 0, 0},
        {"LineDownIsOneCard", true, 1000, 1000, 1, 0, 1310},
        {"LineDownNearEndStopsAtMax", true, 1800, 1800, 1, 0, 1998},
        {"PageUpIsThePageSize", true, 1000, 1000, 2, 0, 701},
        {"PageUpNearTopStopsAtZero", true, 100, 100, 2, 0, 0},
        {"PageDownIsThePageSize", true, 1000, 1000, 3, 0, 1299},
        {"PageDownNearEndStopsAtMax", true, 1900, 1900, 3, 0, 1998},
        {"ThumbReleaseKeepsThePosition", true, 1000, 400, 4, 0, 1000},
        {"ThumbTrackFollowsTheThumb", true, 1000, 400, 5, 0, 400},
        {"TopIsZero", true, 1000, 1000, 6, 0, 0},
        {"BottomIsTheBarMaximum", true, 0, 0, 7, 0, 1998},
        {"EndScrollChangesNothing", true, 1000, 400, 8, 0, 1000},
        {"WheelDownIsFiftyPixels", true, 1000, 1000, 500, 0, 1050},
        {"WheelDownNearEndStopsAtMax", true, 1990, 1990, 500, 0, 1998},
        {"WheelUpIsFiftyPixels", true, 1000, 1000, 501, 0, 950},
        {"WheelUpNearTopStopsAtZero", true, 30, 30, 501, 0, 0},
        {"TargetInsideTheRange", true, 0, 0, 502, 1234, 1234},
        {"TargetBeyondTheEnd", true, 0, 0, 502, 5000, 1998},
        {"TargetAboveTheTop", true, 600, 600, 502, -40, 0},
        {"TargetAtIntMax", true, 600, 600, 502, INT32_MAX, 1998},
        {"CodeBelowTheCustomOnes", true, 1000, 400, 499, 7, 1000},
        {"CodeAboveTheCustomOnes", true, 1000, 400, 503, 7, 1000},
        {"NegativeCode", true, 1000, 400, -1, 7, 1000},
        {"LineLeftIsOnePixel", false, 100, 100, 0, 0, 99},
        {"LineLeftAtZeroStays", false, 0, 0, 0, 0, 0},
        {"LineRightIsOnePixel", false, 100, 100, 1, 0, 101},
        {"LineRightAtMaxStays", false, 908, 908, 1, 0, 908},
        {"PageLeftIsThePageSize", false, 450, 450, 2, 0, 51},
        {"PageLeftNearZeroStopsAtZero", false, 100, 100, 2, 0, 0},
        {"PageRightIsThePageSize", false, 0, 0, 3, 0, 399},
        {"PageRightNearEndStopsAtMax", false, 600, 600, 3, 0, 908},
        {"ThumbReleaseKeepsThePosition", false, 100, 300, 4, 0, 100},
        {"ThumbTrackFollowsTheThumb", false, 100, 300, 5, 0, 300},
        // Ends, end of scroll, the wheel and targets belong to the vertical bar only.
        {"LeftEndIsIgnored", false, 100, 100, 6, 0, 100},
        {"RightEndIsIgnored", false, 100, 100, 7, 0, 100},
        {"EndScrollChangesNothing", false, 100, 300, 8, 0, 100},
        {"WheelDownIsVerticalOnly", false, 100, 100, 500, 0, 100},
        {"WheelUpIsVerticalOnly", false, 100, 100, 501, 0, 100},
        {"TargetIsVerticalOnly", false, 100, 100, 502, 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.vertical ? "vertical " : "horizontal ") + c.name);
        ScrollBarState bar = c.vertical ? kTall : kWide;
        bar.pos = c.pos;
        bar.trackPos = c.trackPos;
        const int64_t wanted = c.vertical ? verticalRequestPosition(bar, c.request, c.target)
                                          : horizontalRequestPosition(bar, c.request);
        EXPECT_EQ(clampToBar(bar, wanted), c.expected);
    }
}

TEST(ScrollRequest, StepsPastTheIntRangeDoNotWrapAround)
{
    const ScrollBarState bar = {0, INT32_MAX, 10, INT32_MAX - 100, 0};
    EXPECT_EQ(clampToBar(bar, verticalRequestPosition(bar, 1, 0)), INT32_MAX);
    EXPECT_EQ(clampToBar(bar, verticalRequestPosition(bar, 3, 0)), INT32_MAX - 90);
    EXPECT_EQ(clampToBar(bar, horizontalRequestPosition(bar, 1)), INT32_MAX - 99);
    const ScrollBarState low = {INT32_MIN, 0, 0, INT32_MIN + 100, 0};
    EXPECT_EQ(clampToBar(low, verticalRequestPosition(low, 0, 0)), INT32_MIN);
}

TEST(ClampToBar, TakesTheMaximumFirstThenTheMinimum)
{
    const struct {
        const char* name;
        int32_t min, max;
        int64_t position;
        int32_t expected;
    } cases[] = {
        {"Inside", 0, 1998, 700, 700},          {"AtMax", 0, 1998, 1998, 1998},
        {"AboveMax", 0, 1998, 1999, 1998},      {"AtMin", 0, 1998, 0, 0},
        {"BelowMin", 0, 1998, -1, 0},           {"FarAbove", 0, 1998, INT64_MAX, 1998},
        {"FarBelow", 0, 1998, INT64_MIN, 0},
        // An empty board (maximum -2 below minimum 0) always ends at 0.
        {"EmptyContentAbove", 0, -2, 5, 0},     {"EmptyContentBelow", 0, -2, -5, 0},
        // Between an inverted pair only the order of the two tests decides.
        {"InvertedRangeEndsAtMin", 10, 5, 7, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clampToBar({c.min, c.max, 0, 0, 0}, c.position), c.expected) << c.name;
}

TEST(FitScrollBar, GivesRangeAndPage)
{
    const struct {
        const char* name;
        int32_t content, client;
        bool resetPosition;
        int32_t max, page;
    } cases[] = {
        {"TallGrid", 2000, 300, false, 1998, 299},
        {"WideGrid", 910, 400, false, 908, 399},
        {"OnePixelTooBig", 401, 400, false, 399, 399},
        {"ExactFit", 400, 400, true, 398, 399},
        {"ContentSmallerThanClient", 300, 400, true, 298, 299},
        {"OneRowList", 30, 400, true, 28, 29},
        {"NoQuestionsAtAll", 0, 400, true, -2, -1},
        {"ClientCollapsed", 910, 0, false, 908, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScrollBarFit fit = fitScrollBar(c.content, c.client);
        EXPECT_EQ(fit.resetPosition, c.resetPosition);
        EXPECT_EQ(fit.max, c.max);
        EXPECT_EQ(fit.page, c.page);
    }
}

// Tab into a field that sticks out of the board: the new position shows it whole.
TEST(FieldRevealPosition, BringsTheWholeFieldIntoTheClientArea)
{
    const struct {
        int32_t top, bottom, clientHeight, position, expected;
    } cases[] = {
        {100, 120, 300, 40, 40},    // inside: no change
        {0, 20, 300, 40, 40},       // touching the top edge
        {280, 300, 300, 40, 40},    // touching the bottom edge
        {290, 310, 300, 40, 50},    // ten pixels below: bottom onto the bottom edge
        {900, 920, 300, 0, 620},    // far below
        {-15, 5, 300, 400, 385},    // partly above: top onto the top edge
        {-600, -580, 300, 700, 100} // far above
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldRevealPosition(c.top, c.bottom, c.clientHeight, c.position), c.expected) << c.top << ".." << c.bottom;
}

} // namespace
