// Host tests of the board's card geometry and label colouring rules.
#include "board/board_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quiz/quiz_state.h"

namespace {

std::string box(const BoxRect& b)
{
    return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" + std::to_string(b.height);
}

TEST(BoardLayout, ListLinesAndWorkedExamples)
{
    const ListLine seventh = listLine(kBoardTop + 6 * kListLineStep);
    EXPECT_EQ(box(seventh.number) + " " + box(seventh.caption) + " " + box(seventh.answer) + " " + box(seventh.verdict),
              "26,157 19x17 50,155 550x20 610,155 170x20 790,155 100x20");
    EXPECT_EQ(kListContentWidth + contentWidthMargin(1), 900);
    EXPECT_EQ(kListContentWidth + contentWidthMargin(2), 960);

    // The worked examples: three 480 x 360 pictures scaled to 260 x 195 in row 0, reveal mode 0.
    const GridCard one = gridCard(1, 1, kMediaPicture, kBoardTop, 195);
    EXPECT_EQ(box(gridPicture(one, kBoardTop, 195, 260, 195)) + " " + box(gridAnswerField(one, 1, 1)) + " " +
                  box(gridVerdict(one, 1, 1)) + " " + box(gridNumber(one)),
              "46,5 260x195 46,210 260x20 46,229 260x20 18,212 27x17");
    EXPECT_EQ(gridCard(2, 1, kMediaPicture, kBoardTop, 195).left, 336);
    EXPECT_EQ(gridCard(3, 1, kMediaPicture, kBoardTop, 195).left, 626);
    EXPECT_EQ(one.fieldTop + gridRowSpacing(0), 270);  // row 1's top, contentHeight after question 1

    const GridCard two = gridCard(1, 2, kMediaPicture, kBoardTop, 195);
    EXPECT_EQ(box(gridAnswerField(two, 1, 2)) + " " + box(gridAnswerField(two, 2, 2)) + " " + box(gridVerdict(two, 1, 2)) +
                  " " + box(gridVerdict(two, 2, 2)) + " " + box(gridNumber(two)) + " " +
                  box(gridAnswerName(1, two.fieldTop)) + " " + box(gridAnswerName(2, two.fieldTop)),
              "106,210 201x20 106,229 201x20 306,210 60x20 306,229 60x20 78,212 27x17 4,212 95x20 3,232 95x20");
    EXPECT_EQ(gridAnswerField(gridCard(2, 2, kMediaPicture, kBoardTop, 195), 1, 2).x, 396);
    EXPECT_EQ(kGridContentWidth + contentWidthMargin(2), 970);
}

TEST(BoardLayout, CardsByColumnKindAndAnswerCount)
{
    // column, left, fieldLeft, fieldTop, fieldWidth for a row at top 300 whose tallest picture is 260.
    const struct {
        int question, answers, mediaKind;
        std::vector<int> card;
    } cases[] = {
        {4, 1, kMediaPicture, {0, 46, 46, 570, 260}},   {5, 1, kMediaPicture, {1, 336, 336, 570, 260}},
        {96, 1, kMediaPicture, {2, 626, 626, 570, 260}}, {95, 2, kMediaPicture, {1, 396, 396, 570, 260}},
        {7, 1, kMediaSound, {0, 46, 66, 300, 240}},      {9, 2, kMediaSound, {2, 686, 706, 300, 240}},
        {2, 1, kMediaVideo, {1, 336, 356, 510, 240}},    // a 210-pixel band that nothing fills
    };
    for (const auto& c : cases) {
        const GridCard g = gridCard(c.question, c.answers, c.mediaKind, 300, 260);
        EXPECT_EQ(std::vector<int>({g.column, g.left, g.fieldLeft, g.fieldTop, g.fieldWidth}), c.card)
            << "question " << c.question << ", media " << c.mediaKind;
    }
    const GridCard card = gridCard(2, 1, kMediaPicture, kBoardTop, 260);
    // Centred in the band and column, odd differences truncated; a missing picture at half height.
    EXPECT_EQ(box(gridPicture(card, kBoardTop, 260, 260, 0)) + " " + box(gridPicture(card, kBoardTop, 260, 195, 260)) +
                  " " + box(gridPicture(card, kBoardTop, 195, 259, 194)),
              "336,135 260x0 368,5 195x260 336,5 259x194");
    const GridCard sound = gridCard(1, 1, kMediaSound, 5, 0);
    EXPECT_EQ(box(gridPlayButton(sound)) + " " + box(gridStopButton(sound)) + " " + box(gridReveal(sound)),
              "46,5 20x20 46,25 20x19 46,51 260x65");
    EXPECT_EQ(std::vector<int>({gridRowSpacing(0), gridRowSpacing(1), gridRowSpacing(2), gridRowSpacing(4)}),
              std::vector<int>({60, 60, 140, 140}));
}

TEST(BoardLayout, LabelColouringFollowsTheIdRanges)
{
    using C = LabelColouring;
    const struct {
        int id, answerFields;
        C expected;
    } cases[] = {
        {156, 3, C::Background}, {2000, 3, C::Background}, {2243, 3, C::Background}, {2244, 3, C::Default},
        {8000, 3, C::Default},   {8001, 3, C::Background}, {8003, 3, C::Background}, {8004, 3, C::Default},
        {5000, 6, C::Default},   {5001, 3, C::Verdict},    {5003, 3, C::Verdict},    {5004, 3, C::Default},
        {3000, 6, C::Caption},   {4001, 6, C::Default},    {9901, 6, C::Default},
    };
    for (const auto& c : cases) EXPECT_EQ(labelColouring(c.id, c.answerFields), c.expected) << c.id << " of " << c.answerFields;
    std::vector<VerdictColour> colours;
    for (const char* text : {"?", "BRAVO", "FAUX", "Anagramme", "Presque", "bravo", "BRAVO ", ""})
        colours.push_back(verdictColour(text));
    using V = VerdictColour;
    EXPECT_EQ(colours, std::vector<V>({V::Unjudged, V::Right, V::Wrong, V::Anagram, V::Hint, V::Hint, V::Hint, V::Hint}));
    // Labels are white only when red and green are both dark.
    EXPECT_EQ(std::vector<bool>({darkTextOnBackground(70, 0), darkTextOnBackground(0, 70), darkTextOnBackground(69, 69)}),
              std::vector<bool>({true, true, false}));
}

}  // namespace
