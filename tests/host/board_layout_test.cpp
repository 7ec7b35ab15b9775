// Host tests of the board's portable rules: card geometry as worked examples, label colours, the picture
// fit, the scroll arithmetic and the solved-card relayout played on a model board.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/board_layout.h"
#include "board/relayout_plan.h"
#include "board/scroll_math.h"
#include "pictures/scale.h"

namespace {

using Ints = std::vector<int>;

std::string boxes(std::initializer_list<BoxRect> list)
{
    std::string text;
    for (const BoxRect& b : list)
        text += " " + std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" + std::to_string(b.height);
    return text;
}

// A list line; 480 x 360 pictures as 260 x 195, one answer then two; pictures centred, truncated; a sound card.
TEST(BoardLayout, WorkedExamplesLabelColoursAndPictureFit)
{
    const ListLine line = listLine(kBoardTop + 6 * kListLineStep);
    const GridCard one = gridCard(1, 1, kMediaPicture, kBoardTop, 195), two = gridCard(1, 2, kMediaPicture, kBoardTop, 195);
    const GridCard third = gridCard(3, 1, kMediaPicture, kBoardTop, 260), sound = gridCard(3, 2, kMediaSound, 5, 0);
    EXPECT_EQ(boxes({line.number, line.caption, line.answer, line.verdict}) + " |" +
                  boxes({gridPicture(one, kBoardTop, 195, 260, 195), gridAnswerField(one, 1, 1), gridVerdict(one, 1, 1),
                         gridNumber(one)}) + " |" +
                  boxes({gridAnswerField(two, 1, 2), gridAnswerField(two, 2, 2), gridVerdict(two, 1, 2), gridVerdict(two, 2, 2),
                         gridNumber(two), gridAnswerName(1, two.fieldTop), gridAnswerName(2, two.fieldTop)}) + " |" +
                  boxes({gridPicture(third, kBoardTop, 260, 195, 260), gridPicture(third, kBoardTop, 260, 259, 193)}) + " |" +
                  boxes({gridPlayButton(sound), gridStopButton(sound), gridReveal(sound), gridAnswerField(sound, 2, 2),
                         gridVerdict(sound, 2, 2)}),
              " 26,157 19x17 50,155 550x20 610,155 170x20 790,155 100x20 |"
              " 46,5 260x195 46,210 260x20 46,229 260x20 18,212 27x17 |"
              " 106,210 201x20 106,229 201x20 306,210 60x20 306,229 60x20 78,212 27x17 4,212 95x20 3,232 95x20 |"
              " 658,5 195x260 626,38 259x193 |"
              " 686,5 20x20 686,25 20x19 686,51 260x65 706,24 181x20 886,24 60x20");
    EXPECT_EQ(Ints({gridRowSpacing(1), gridRowSpacing(2), kGridContentWidth + contentWidthMargin(2),
                    kListContentWidth + contentWidthMargin(1)}), Ints({60, 140, 970, 900}));
    // Ids on a board of 3 answer fields; white labels only when red and green are both dark.
    using C = LabelColouring;
    const std::pair<int, C> cases[] = {
        {156, C::Background},  {2000, C::Background}, {2243, C::Background}, {2244, C::Default}, {8000, C::Default},
        {8001, C::Background}, {8003, C::Background}, {8004, C::Default},    {5000, C::Default}, {5001, C::Verdict},
        {5003, C::Verdict},    {5004, C::Default},    {3000, C::Caption},    {4001, C::Default}, {9901, C::Default}};
    for (const auto& [id, colouring] : cases) EXPECT_EQ(labelColouring(id, 3), colouring) << id;
    EXPECT_EQ(Ints({darkTextOnBackground(70, 0), darkTextOnBackground(0, 70), darkTextOnBackground(69, 69)}), Ints({1, 1, 0}));
    // Width, height, box width, box height: the size, truncated; 27 x 30 gives exactly 234, which floating point misses.
    for (const Ints& c : {Ints{480, 360, 260, 260, 260, 195}, {360, 480, 260, 260, 195, 260}, {100, 100, 260, 260, 260, 260},
                          {27, 30, 260, 260, 234, 260}, {480, 360, 400, 100, 133, 100}, {480, 120, 400, 200, 400, 100},
                          {1, 2, INT_MAX, INT_MAX, INT_MAX / 2, INT_MAX}, {0, 100, 260, 260, 0, 0}, {100, 0, 260, 260, 0, 0},
                          {480, 360, -1, 260, 0, 0}, {480, 360, 260, -1, 0, 0}})
        EXPECT_EQ(Ints({fitToBox(c[0], c[1], c[2], c[3]).width, fitToBox(c[0], c[1], c[2], c[3]).height}), Ints(c.begin() + 4, c.end()))
            << c[0] << "x" << c[1] << " in " << c[2] << "x" << c[3];
}

// Request, position: where each bar goes, vertically 2000 pixels through 300, horizontally 910 through 400, thumb at
// 400; ends, wheel and target (1234, or INT32_MAX from 1) are vertical only. Then the fit and the reveal.
TEST(ScrollMath, RequestsFitAndReveal)
{
    for (const auto& [request, position, vertical, horizontal] :
         {std::array{0, 500, 190, 499}, {0, 200, 0, 199}, {1, 500, 810, 501}, {1, 1800, 1998, 908}, {2, 500, 201, 101},
          {3, 500, 799, 899}, {4, 500, 500, 500}, {5, 500, 400, 400}, {6, 500, 0, 500}, {7, 500, 1998, 500},
          {500, 500, 550, 500}, {501, 30, 0, 30}, {502, 500, 1234, 500}, {502, 1, 1998, 1}}) {
        const ScrollBarState tall = {0, 1998, 299, position, 400}, wide = {0, 908, 399, position, 400};
        EXPECT_EQ(Ints({clampToBar(tall, verticalRequestPosition(tall, request, position == 1 ? INT32_MAX : 1234)),
                        clampToBar(wide, horizontalRequestPosition(wide, request))}), Ints({vertical, horizontal}))
            << request << " from " << position;
    }
    const ScrollBarState high = {0, INT32_MAX, 10, INT32_MAX - 100, 0};  // no wrap past the int range
    EXPECT_EQ(Ints({clampToBar(high, verticalRequestPosition(high, 1, 0)), clampToBar({10, 5, 0, 0, 0}, 7)}), Ints({INT32_MAX, 10}));
    for (const Ints& f : {Ints{2000, 300, 0, 1998, 299}, {401, 400, 0, 399, 399}, {400, 400, 1, 398, 399}, {30, 400, 1, 28, 29}})
        EXPECT_EQ(Ints({f[0], f[1], fitScrollBar(f[0], f[1]).resetPosition, fitScrollBar(f[0], f[1]).max,
                        fitScrollBar(f[0], f[1]).page}), f);  // content, client: reset, max, page
    for (const Ints& r : {Ints{100, 120, 40, 40}, {280, 300, 40, 40}, {290, 310, 40, 50}, {-15, 5, 400, 385}})
        EXPECT_EQ(fieldRevealPosition(r[0], r[1], 300, r[2]), r[3]) << r[0] << ".." << r[1];  // in a client 300 high
}

// Solved flags ticked (+) or cleared (-) on a picture board of rows 195 and 260 high, content 600; after each step the
// card states, content height, pictures shown and each card's field top/picture top, moved as the plans say.
std::vector<std::string> relayouts(const std::vector<std::string>& steps)
{
    auto state = std::make_unique<QuizState>();
    const int count = static_cast<int>(steps[0].size()) - 1;
    state->questionCount = count, state->rowHeights[0] = 195, state->rowHeights[1] = 260, state->contentHeight = 600;
    Ints fields = {0, 210, 210, 210, 540, 540, 540}, pictures = {0, 5, 5, 5, 270, 270, 270};
    std::string shown(count, '1');
    std::vector<std::string> after;
    for (const std::string& step : steps) {
        for (int q = 1; q <= count; ++q) state->solvedFlags[q] = step[q - 1] == '1';
        const RelayoutPlan plan = planRelayout(*state, step.back() == '+');
        std::string states, tops;
        for (int q = 1; q <= plan.cardCount; ++q) {
            const CardMove& move = plan.cards[q];
            if (move.picture != PictureChange::None) shown[q - 1] = move.picture == PictureChange::Show ? '1' : '0';
            tops += " " + std::to_string(fields[q] += move.fieldShift) + "/" + std::to_string(pictures[q] += move.pictureShift);
            states += std::to_string(plan.cardStates[q]);
        }
        std::memcpy(state->cardStates, plan.cardStates, sizeof plan.cardStates);
        state->contentHeight = plan.contentHeight;
        after.push_back(states + " " + std::to_string(plan.contentHeight) + " " + shown + tops);
    }
    return after;
}

TEST(Relayout, ScenariosStepByStepAndTheIdsMoved)
{
    using V = std::vector<std::string>;
    const std::string rest = "000000 600 111111 210/5 210/5 210/5 540/270 540/270 540/270";
    const std::string firstRowClosed = "112000 405 000111 15/5 15/5 15/5 345/75 345/75 345/75";
    // Ticked again: nothing new moves, the row does not close twice, hidden cards stay hidden, solved or not.
    EXPECT_EQ(relayouts({"111000+", "111000+", "011000+", "011000-", "011000-"}),
              V({firstRowClosed, firstRowClosed, firstRowClosed, rest, rest}));
    EXPECT_EQ(relayouts({"110000+", "111000+", "000000-"}),
              V({"110000 600 001111 15/5 15/5 210/5 540/270 540/270 540/270", firstRowClosed, rest}));
    EXPECT_EQ(relayouts({"111111+", "111111-"}), V({"112112 145 000000 15/5 15/5 15/5 85/75 85/75 85/75", rest}));
    // Five questions: the last row counts in the content but never closes.
    EXPECT_EQ(relayouts({"11111+", "11111-"}),
              V({"11211 405 00000 15/5 15/5 15/5 85/75 85/75", "00000 600 11111 210/5 210/5 210/5 540/270 540/270"}));
    // The ids that move with a card's fields: two-answer grids number their fields by answer, the list has one.
    auto state = std::make_unique<QuizState>();
    for (const Ints& c : {Ints{kMediaPicture, 2, 3, 4005, 5005, 4006, 5006, 2003, 8003}, {kMediaText, 2, 3, 4003, 5003, 2003, 8003},
                          {kMediaSound, 3, 2, 2002, 8002}}) {
        state->mediaKind = c[0], state->answersPerQuestion = c[1];
        const CardFieldIds fields = cardFieldIds(*state, c[2]);
        EXPECT_EQ(Ints(fields.ids, fields.ids + fields.count), Ints(c.begin() + 3, c.end())) << c[0] << " " << c[1];
    }
}

}  // namespace
