// Host tests of the board's scroll arithmetic: requests, clamping order and bar parameters.
#include "board/scroll_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Each request on both bars: vertically 2000 pixels of content through 300, horizontally 910
// through 400. A vertical line is one card, a horizontal one a pixel; ends, the wheel and targets
// belong to the vertical bar only.
TEST(ScrollMath, RequestsLeadToTheClampedPosition)
{
    const struct {
        int request;
        int32_t pos, trackPos, target, vertical, horizontal;
    } cases[] = {
        {0, 500, 0, 0, 190, 499},     {0, 200, 0, 0, 0, 199},        {0, 0, 0, 0, 0, 0},
        {1, 500, 0, 0, 810, 501},     {1, 1800, 0, 0, 1998, 908},    {2, 500, 0, 0, 201, 101},
        {2, 100, 0, 0, 0, 0},         {3, 500, 0, 0, 799, 899},      {3, 1900, 0, 0, 1998, 908},
        {4, 500, 400, 0, 500, 500},   {5, 500, 400, 0, 400, 400},    {6, 500, 0, 0, 0, 500},
        {7, 500, 0, 0, 1998, 500},    {8, 500, 400, 0, 500, 500},    {500, 500, 0, 0, 550, 500},
        {500, 1990, 0, 0, 1998, 908}, {501, 500, 0, 0, 450, 500},    {501, 30, 0, 0, 0, 30},
        {502, 500, 0, 1234, 1234, 500}, {502, 500, 0, 5000, 1998, 500}, {502, 500, 0, -40, 0, 500},
        {502, 500, 0, INT32_MAX, 1998, 500}, {499, 500, 400, 7, 500, 500}, {503, 500, 400, 7, 500, 500},
        {-1, 500, 400, 7, 500, 500},
    };
    for (const auto& c : cases) {
        const ScrollBarState tall = {0, 1998, 299, c.pos, c.trackPos}, wide = {0, 908, 399, c.pos, c.trackPos};
        EXPECT_EQ(clampToBar(tall, verticalRequestPosition(tall, c.request, c.target)), c.vertical)
            << c.request << " from " << c.pos;
        EXPECT_EQ(clampToBar(wide, horizontalRequestPosition(wide, c.request)), c.horizontal)
            << c.request << " from " << c.pos;
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
