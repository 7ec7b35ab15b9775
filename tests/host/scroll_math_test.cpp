// Host tests of the board's scroll arithmetic: where each request leads, the clamping order
// and the bar parameters fitted to content and client sizes.
#include "board/scroll_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(ScrollMath, RequestsLeadToTheClampedPosition)
{
    // Vertical: 2000 pixels of content through 300; horizontal: 910 through 400.
    const struct {
        bool vertical;
        int32_t pos, trackPos;
        int request;
        int32_t target, expected;
    } cases[] = {
        {true, 1000, 1000, 0, 0, 690},  {true, 200, 200, 0, 0, 0},        // a line is one card
        {true, 1000, 1000, 1, 0, 1310}, {true, 1800, 1800, 1, 0, 1998},
        {true, 1000, 1000, 2, 0, 701},  {true, 1000, 1000, 3, 0, 1299},   // a page is the page size
        {true, 1000, 400, 4, 0, 1000},  {true, 1000, 400, 5, 0, 400},     // thumb release, thumb track
        {true, 1000, 1000, 6, 0, 0},    {true, 0, 0, 7, 0, 1998},         // top, bottom
        {true, 1000, 400, 8, 0, 1000},                                    // end of scroll
        {true, 1000, 1000, 500, 0, 1050}, {true, 1990, 1990, 500, 0, 1998},  // wheel down, up
        {true, 1000, 1000, 501, 0, 950},  {true, 30, 30, 501, 0, 0},
        {true, 0, 0, 502, 1234, 1234},  {true, 0, 0, 502, 5000, 1998},    // to a target
        {true, 600, 600, 502, -40, 0},  {true, 600, 600, 502, INT32_MAX, 1998},
        {true, 1000, 400, 499, 7, 1000}, {true, 1000, 400, 503, 7, 1000}, {true, 1000, 400, -1, 7, 1000},
        {false, 100, 100, 0, 0, 99},    {false, 0, 0, 0, 0, 0},            // a line is one pixel
        {false, 100, 100, 1, 0, 101},   {false, 908, 908, 1, 0, 908},
        {false, 450, 450, 2, 0, 51},    {false, 600, 600, 3, 0, 908},
        {false, 100, 300, 4, 0, 100},   {false, 100, 300, 5, 0, 300},
        // Ends, the wheel and targets belong to the vertical bar only.
        {false, 100, 100, 6, 0, 100},   {false, 100, 100, 7, 0, 100},     {false, 100, 100, 500, 0, 100},
        {false, 100, 100, 501, 0, 100}, {false, 100, 100, 502, 0, 100},
    };
    for (const auto& c : cases) {
        ScrollBarState bar = c.vertical ? ScrollBarState{0, 1998, 299, 0, 0} : ScrollBarState{0, 908, 399, 0, 0};
        bar.pos = c.pos;
        bar.trackPos = c.trackPos;
        const int64_t wanted =
            c.vertical ? verticalRequestPosition(bar, c.request, c.target) : horizontalRequestPosition(bar, c.request);
        EXPECT_EQ(clampToBar(bar, wanted), c.expected) << (c.vertical ? "vertical " : "horizontal ") << c.request
                                                       << " from " << c.pos;
    }
    // Steps past the int range do not wrap around.
    const ScrollBarState high = {0, INT32_MAX, 10, INT32_MAX - 100, 0};
    EXPECT_EQ(clampToBar(high, verticalRequestPosition(high, 1, 0)), INT32_MAX);
    EXPECT_EQ(clampToBar(high, verticalRequestPosition(high, 3, 0)), INT32_MAX - 90);
    const ScrollBarState low = {INT32_MIN, 0, 0, INT32_MIN + 100, 0};
    EXPECT_EQ(clampToBar(low, verticalRequestPosition(low, 0, 0)), INT32_MIN);
}

TEST(ScrollMath, ClampTakesTheMaximumFirstThenTheMinimum)
{
    const struct {
        int32_t min, max;
        int64_t position;
        int32_t expected;
    } cases[] = {
        {0, 1998, 700, 700}, {0, 1998, 1998, 1998}, {0, 1998, 1999, 1998}, {0, 1998, -1, 0},
        {0, 1998, INT64_MAX, 1998}, {0, 1998, INT64_MIN, 0},
        {0, -2, 5, 0}, {10, 5, 7, 10},  // an empty board's range, an inverted range
    };
    for (const auto& c : cases) EXPECT_EQ(clampToBar({c.min, c.max, 0, 0, 0}, c.position), c.expected) << c.position;
}

TEST(ScrollMath, FitGivesRangeAndPage)
{
    const struct {
        int32_t content, client;
        std::vector<int32_t> fit;  // reset, max, page
    } cases[] = {
        {2000, 300, {0, 1998, 299}}, {401, 400, {0, 399, 399}}, {400, 400, {1, 398, 399}},
        {30, 400, {1, 28, 29}},      {0, 400, {1, -2, -1}},     {910, 0, {0, 908, -1}},
    };
    for (const auto& c : cases) {
        const ScrollBarFit fit = fitScrollBar(c.content, c.client);
        EXPECT_EQ(std::vector<int32_t>({fit.resetPosition, fit.max, fit.page}), c.fit) << c.content << " in " << c.client;
    }
}

// Tab into a field that sticks out of the board: the new position shows it whole.
TEST(ScrollMath, FieldRevealBringsTheWholeFieldIntoView)
{
    const struct {
        int32_t top, bottom, position, expected;
    } cases[] = {
        {100, 120, 40, 40}, {0, 20, 40, 40}, {280, 300, 40, 40},  // inside, touching either edge
        {290, 310, 40, 50}, {900, 920, 0, 620},                   // below: bottom onto the bottom edge
        {-15, 5, 400, 385},                                       // above: top onto the top edge
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldRevealPosition(c.top, c.bottom, 300, c.position), c.expected) << c.top << ".." << c.bottom;
}

}  // namespace
