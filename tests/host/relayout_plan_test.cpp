// Host tests of the solved-card relayout's decisions: sequences of ticks and verdicts played on a
// model of a picture board, checking card states, content height and where every control ends up.
#include "board/relayout_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "board/board_layout.h"

namespace {

// One relayout: the solved flags at that moment ('1' solved, by question), the box, and the outcome.
struct Step {
    const char* solved;
    bool ticked;
    const char* cardStates;          // expected, one digit per question
    int contentHeight;               // expected
    std::vector<int> fieldTops;      // expected content y of each card's first answer field
    std::vector<int> pictureTops;    // expected content y of each card's picture band
    const char* picturesShown;       // expected, '1' shown, by question
};

struct Scenario {
    const char* name;
    std::vector<int> rowHeights;
    std::vector<Step> steps;
};

// Content positions of a one-answer picture board, moved as the plans say.
class BoardModel {
public:
    BoardModel(QuizState& state, int questions, const std::vector<int>& rowHeights) : state_(state)
    {
        state.mediaKind = kMediaPicture;
        state.answersPerQuestion = 1;
        state.questionCount = questions;
        int top = kBoardTop;
        for (int question = 1; question <= questions; ++question) {
            const int row = (question - 1) / kGridColumns;
            state.rowHeights[row] = rowHeights[row];
            const GridCard card = gridCard(question, 1, kMediaPicture, top, rowHeights[row]);
            fieldTops_.push_back(card.fieldTop);
            pictureTops_.push_back(top);
            shown_.push_back(true);
            state.contentHeight = card.fieldTop + gridRowSpacing(0);
            if (question % kGridColumns == 0)
                top = card.fieldTop + gridRowSpacing(0);
        }
    }

    RelayoutPlan relayout(const char* solved, bool ticked)
    {
        for (int question = 1; question <= state_.questionCount; ++question)
            state_.solvedFlags[question] = solved[question - 1] == '1' ? 1 : 0;
        const RelayoutPlan plan = planRelayout(state_, ticked);
        for (int question = 1; question <= plan.cardCount; ++question) {
            const CardMove& move = plan.cards[question];
            if (move.picture != PictureChange::None)
                shown_[question - 1] = move.picture == PictureChange::Show;
            pictureTops_[question - 1] += move.pictureShift;
            fieldTops_[question - 1] += move.fieldShift;
            state_.cardStates[question] = plan.cardStates[question];
        }
        state_.contentHeight = plan.contentHeight;
        return plan;
    }

    std::string cardStates() const
    {
        std::string digits;
        for (int question = 1; question <= state_.questionCount; ++question)
            digits += std::to_string(state_.cardStates[question]);
        return digits;
    }

    std::string picturesShown() const
    {
        std::string flags;
        for (bool shown : shown_)
            flags += shown ? '1' : '0';
        return flags;
    }

    const std::vector<int>& fieldTops() const { return fieldTops_; }
    const std::vector<int>& pictureTops() const { return pictureTops_; }

private:
    QuizState& state_;
    std::vector<int> fieldTops_;
    std::vector<int> pictureTops_;
    std::vector<bool> shown_;
};

class Relayout : public testing::TestWithParam<Scenario> {};

TEST_P(Relayout, MovesCardsAndRowsStepByStep)
{
    const Scenario& scenario = GetParam();
    auto state = std::make_unique<QuizState>();
    BoardModel board(*state, static_cast<int>(std::string(scenario.steps.front().solved).size()), scenario.rowHeights);
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1) + ": solved " + step.solved + (step.ticked ? ", ticked" : ", cleared"));
        board.relayout(step.solved, step.ticked);
        EXPECT_EQ(board.cardStates(), step.cardStates);
        EXPECT_EQ(state->contentHeight, step.contentHeight);
        EXPECT_EQ(board.fieldTops(), step.fieldTops);
        EXPECT_EQ(board.pictureTops(), step.pictureTops);
        EXPECT_EQ(board.picturesShown(), step.picturesShown);
    }
}

// Rows of 195 and 260: row 0's fields at 210, row 1 from 270 with fields at 540, content 600.
const std::vector<int> kSixAtRest = {210, 210, 210, 540, 540, 540};
const std::vector<int> kSixBandsAtRest = {5, 5, 5, 270, 270, 270};

INSTANTIATE_TEST_SUITE_P(
    Scenarios, Relayout,
    testing::Values(
        Scenario{"TwoOfThreeKeepTheRowThenTheThirdClosesIt", {195, 260},
                 {{"110000", true, "110000", 600, {15, 15, 210, 540, 540, 540}, kSixBandsAtRest, "001111"},
                  {"111000", true, "112000", 405, {15, 15, 15, 345, 345, 345}, {5, 5, 5, 75, 75, 75}, "000111"},
                  {"111000", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        Scenario{"AgainWithNothingNewMovesNothing", {195, 260},
                 {{"111100", true, "112100", 405, {15, 15, 15, 85, 345, 345}, {5, 5, 5, 75, 75, 75}, "000011"},
                  {"111100", true, "112100", 405, {15, 15, 15, 85, 345, 345}, {5, 5, 5, 75, 75, 75}, "000011"},
                  {"000000", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"},
                  {"000000", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        Scenario{"BothRowsClosedReopenWithTheirOwnHeights", {195, 260},
                 {{"111111", true, "112112", 145, {15, 15, 15, 85, 85, 85}, {5, 5, 5, 75, 75, 75}, "000000"},
                  {"111111", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        Scenario{"LaterRowClosesWhileTheFirstIsPartlyHidden", {195, 260},
                 {{"100111", true, "100112", 340, {15, 210, 210, 280, 280, 280}, kSixBandsAtRest, "011000"},
                  {"100111", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        Scenario{"HiddenCardNoLongerSolvedStaysHiddenWhileTicked", {195, 260},
                 {{"110000", true, "110000", 600, {15, 15, 210, 540, 540, 540}, kSixBandsAtRest, "001111"},
                  {"010000", true, "110000", 600, {15, 15, 210, 540, 540, 540}, kSixBandsAtRest, "001111"},
                  {"010000", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        Scenario{"ClosedRowStaysClosedWhenOneOfItsCardsIsUnsolved", {195, 260},
                 {{"111000", true, "112000", 405, {15, 15, 15, 345, 345, 345}, {5, 5, 5, 75, 75, 75}, "000111"},
                  {"011000", true, "112000", 405, {15, 15, 15, 345, 345, 345}, {5, 5, 5, 75, 75, 75}, "000111"},
                  {"011000", false, "000000", 600, kSixAtRest, kSixBandsAtRest, "111111"}}},
        // Five questions: the last row (fields at 540) counts in the content but never closes.
        Scenario{"LastPartialRowNeverCloses", {195, 260},
                 {{"11111", true, "11211", 405, {15, 15, 15, 85, 85}, {5, 5, 5, 75, 75}, "00000"},
                  {"11111", false, "00000", 600, {210, 210, 210, 540, 540}, {5, 5, 5, 270, 270}, "11111"}}},
        // A row without pictures (as in every row of a list or a sound quiz) closes without moving anything.
        Scenario{"RowWithoutPicturesClosesInPlace", {0, 195},
                 {{"111111", true, "112112", 145, {15, 15, 15, 85, 85, 85}, {5, 5, 5, 75, 75, 75}, "000000"},
                  {"000000", false, "000000", 340, {15, 15, 15, 280, 280, 280}, {5, 5, 5, 75, 75, 75}, "111111"}}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// The largest board: 32 full rows. Every row closes, each card below moving by every band above it.
TEST(RelayoutFullBoard, ClosesAndReopensAllThirtyTwoRows)
{
    auto state = std::make_unique<QuizState>();
    state->questionCount = kMaxQuestions;
    state->contentHeight = 10000;
    for (int row = 0; row < kMaxRows; ++row)
        state->rowHeights[row] = 100 + row;
    for (int question = 1; question <= kMaxQuestions; ++question)
        state->solvedFlags[question] = 1;

    const RelayoutPlan hide = planRelayout(*state, true);
    int bandsAbove = 0;
    for (int question = 1; question <= kMaxQuestions; ++question) {
        const int row = (question - 1) / kGridColumns;
        SCOPED_TRACE("question " + std::to_string(question));
        EXPECT_EQ(hide.cardStates[question], question % kGridColumns == 0 ? kCardClosedRow : kCardHidden);
        EXPECT_EQ(hide.cards[question].pictureShift, -bandsAbove);
        EXPECT_EQ(hide.cards[question].fieldShift, -bandsAbove - (100 + row));
        if (question % kGridColumns == 0)
            bandsAbove += 100 + row;
    }
    EXPECT_EQ(hide.contentHeight, 10000 - bandsAbove);

    std::copy(hide.cardStates, hide.cardStates + kFlagSlots, state->cardStates);
    state->contentHeight = hide.contentHeight;
    const RelayoutPlan show = planRelayout(*state, false);
    EXPECT_EQ(show.contentHeight, 10000);
    for (int question = 1; question <= kMaxQuestions; ++question) {
        EXPECT_EQ(show.cards[question].fieldShift, -hide.cards[question].fieldShift) << question;
        EXPECT_EQ(show.cards[question].pictureShift, -hide.cards[question].pictureShift) << question;
        EXPECT_EQ(show.cardStates[question], kCardShown) << question;
    }
}

// Ids moved with a card's fields: two-answer grids number their fields by answer, the list has one.
TEST(CardFields, AreTheCardsOwnControls)
{
    const struct {
        const char* name;
        int mediaKind, answersPerQuestion, question;
        std::vector<int> ids;
    } cases[] = {
        {"OneAnswerCard", kMediaPicture, 1, 5, {4005, 5005, 2005, 8005}},
        {"TwoAnswerCard", kMediaPicture, 2, 3, {4005, 5005, 4006, 5006, 2003, 8003}},
        {"ListWithTwoAnswersHasOneField", kMediaText, 2, 3, {4003, 5003, 2003, 8003}},
        {"GridWithThreeAnswersHasNoField", kMediaSound, 3, 2, {2002, 8002}},
    };
    for (const auto& c : cases) {
        auto state = std::make_unique<QuizState>();
        state->mediaKind = c.mediaKind;
        state->answersPerQuestion = c.answersPerQuestion;
        const CardFieldIds fields = cardFieldIds(*state, c.question);
        EXPECT_EQ(std::vector<int>(fields.ids, fields.ids + fields.count), c.ids) << c.name;
    }
}

} // namespace
