// Card geometry of the question board and its label colouring rules, checked against the
// worked layouts (one and two answers per question) and the id ranges.
#include "board/board_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "quiz/quiz_state.h"

namespace {

void expectBox(const BoxRect& box, int x, int y, int width, int height)
{
    EXPECT_EQ(box.x, x);
    EXPECT_EQ(box.y, y);
    EXPECT_EQ(box.width, width);
    EXPECT_EQ(box.height, height);
}

TEST(ListLayout, LinesStepBy25FromTheTop)
{
    ListLine seventh = listLine(kBoardTop + 6 * kListLineStep);
    expectBox(seventh.number, 26, 157, 19, 17);
    expectBox(seventh.caption, 50, 155, 550, 20);
    expectBox(seventh.answer, 610, 155, 170, 20);
    expectBox(seventh.verdict, 790, 155, 100, 20);
    EXPECT_EQ(kListContentWidth + contentWidthMargin(1), 900);
    EXPECT_EQ(kListContentWidth + contentWidthMargin(2), 960);
}

// Three 480 x 360 pictures scaled to 260 x 195 in row 0, reveal mode 0, one answer.
TEST(GridLayout, WorkedExampleWithOneAnswer)
{
    GridCard first = gridCard(1, 1, kMediaPicture, kBoardTop, 195);
    EXPECT_EQ(first.left, 46);
    expectBox(gridPicture(first, kBoardTop, 195, 260, 195), 46, 5, 260, 195);
    expectBox(gridAnswerField(first, 1, 1), 46, 210, 260, 20);
    expectBox(gridVerdict(first, 1, 1), 46, 229, 260, 20);
    expectBox(gridNumber(first), 18, 212, 27, 17);
    EXPECT_EQ(gridCard(2, 1, kMediaPicture, kBoardTop, 195).left, 336);
    EXPECT_EQ(gridCard(3, 1, kMediaPicture, kBoardTop, 195).left, 626);
    // Row 1 starts below the first row's fields and spacing; contentHeight after question 1.
    EXPECT_EQ(first.fieldTop + gridRowSpacing(0), 270);
}

TEST(GridLayout, WorkedExampleWithTwoAnswers)
{
    GridCard first = gridCard(1, 2, kMediaPicture, kBoardTop, 195);
    EXPECT_EQ(first.left, 106);
    expectBox(gridAnswerField(first, 1, 2), 106, 210, 201, 20);
    expectBox(gridAnswerField(first, 2, 2), 106, 229, 201, 20);
    expectBox(gridVerdict(first, 1, 2), 306, 210, 60, 20);
    expectBox(gridVerdict(first, 2, 2), 306, 229, 60, 20);
    expectBox(gridNumber(first), 78, 212, 27, 17);
    expectBox(gridAnswerName(1, first.fieldTop), 4, 212, 95, 20);
    expectBox(gridAnswerName(2, first.fieldTop), 3, 232, 95, 20);
    EXPECT_EQ(gridAnswerField(gridCard(2, 2, kMediaPicture, kBoardTop, 195), 1, 2).x, 396);
    EXPECT_EQ(kGridContentWidth + contentWidthMargin(2), 970);
}

TEST(GridLayout, CardsArePlacedByColumnKindAndAnswerCount)
{
    // For a row at top 300 whose tallest picture is 260.
    const struct {
        int question, answers, mediaKind, column, left, fieldLeft, fieldTop, fieldWidth;
    } cases[] = {
        // Pictures: fields under the row's picture band (260 + 10).
        {4, 1, kMediaPicture, 0, 46, 46, 570, 260}, {5, 1, kMediaPicture, 1, 336, 336, 570, 260},
        {96, 1, kMediaPicture, 2, 626, 626, 570, 260}, {95, 2, kMediaPicture, 1, 396, 396, 570, 260},
        // Sound: no media band, fields right of the 20-pixel buttons.
        {7, 1, kMediaSound, 0, 46, 66, 300, 240}, {9, 2, kMediaSound, 2, 686, 706, 300, 240},
        // Video: a 210-pixel band that nothing fills.
        {2, 1, kMediaVideo, 1, 336, 356, 510, 240},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("question " + std::to_string(c.question) + ", media " + std::to_string(c.mediaKind));
        const GridCard card = gridCard(c.question, c.answers, c.mediaKind, 300, 260);
        EXPECT_EQ(card.column, c.column);
        EXPECT_EQ(card.left, c.left);
        EXPECT_EQ(card.fieldLeft, c.fieldLeft);
        EXPECT_EQ(card.fieldTop, c.fieldTop);
        EXPECT_EQ(card.fieldWidth, c.fieldWidth);
    }
}

TEST(GridLayout, MissingPictureSitsAtHalfTheRowHeight)
{
    GridCard card = gridCard(2, 1, kMediaPicture, kBoardTop, 260);
    expectBox(gridPicture(card, kBoardTop, 260, 260, 0), 336, 135, 260, 0);
    // A 195 x 260 portrait picture is centred horizontally in a row of landscape pictures.
    expectBox(gridPicture(card, kBoardTop, 260, 195, 260), 368, 5, 195, 260);
    // Odd differences truncate toward zero.
    expectBox(gridPicture(card, kBoardTop, 195, 259, 194), 336, 5, 259, 194);
}

TEST(GridLayout, ButtonsAndRevealLabelHangFromTheFields)
{
    GridCard card = gridCard(1, 1, kMediaSound, 5, 0);
    expectBox(gridPlayButton(card), 46, 5, 20, 20);
    expectBox(gridStopButton(card), 46, 25, 20, 19);
    expectBox(gridReveal(card), 46, 51, 260, 65);
    EXPECT_EQ(gridRowSpacing(0), 60);
    EXPECT_EQ(gridRowSpacing(1), 60);
    EXPECT_EQ(gridRowSpacing(2), 140);
    EXPECT_EQ(gridRowSpacing(4), 140);
}

TEST(LabelColourings, FollowTheIdRanges)
{
    using C = LabelColouring;
    const struct {
        int id, answerFields;
        LabelColouring expected;
    } cases[] = {
        {156, 3, C::Background},  {2000, 3, C::Background}, {2243, 3, C::Background}, {2244, 3, C::Default},
        {8000, 3, C::Default},    {8001, 3, C::Background}, {8003, 3, C::Background}, {8004, 3, C::Default},
        {5000, 6, C::Default},    {5001, 3, C::Verdict},    {5003, 3, C::Verdict},    {5004, 3, C::Default},
        {5006, 6, C::Verdict},    {3000, 6, C::Caption},    {4001, 6, C::Default},    {9900, 6, C::Default},
        {9901, 6, C::Default},
    };
    for (const auto& c : cases)
        EXPECT_EQ(labelColouring(c.id, c.answerFields), c.expected) << c.id << " of " << c.answerFields;
}

TEST(VerdictColours, AreChosenByExactText)
{
    const struct {
        const char* text;
        VerdictColour colour;
    } cases[] = {{"?", VerdictColour::Unjudged},     {"BRAVO", VerdictColour::Right},
                          {"FAUX", VerdictColour::Wrong},      {"Anagramme", VerdictColour::Anagram},
                          {"Presque", VerdictColour::Hint},    {"y a de l'id\xE9" "e", VerdictColour::Hint},
                          {"bravo", VerdictColour::Hint},      {"BRAVO ", VerdictColour::Hint},
                          {"", VerdictColour::Hint}};
    for (const auto& c : cases)
        EXPECT_EQ(verdictColour(c.text), c.colour) << '"' << c.text << '"';
}

TEST(BackgroundText, IsWhiteOnlyWhenRedAndGreenAreDark)
{
    EXPECT_TRUE(darkTextOnBackground(70, 0));
    EXPECT_TRUE(darkTextOnBackground(0, 70));
    EXPECT_FALSE(darkTextOnBackground(69, 69));
}

} // namespace
