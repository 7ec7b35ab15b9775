// Host tests of the solved-card relayout: ticks and clears played on a model of a picture board.
#include "board/relayout_plan.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A one-answer picture board with rows of 195 and 260: row 0's fields at 210, row 1 from 270
// with its fields at 540, content 600. Moves are applied as the plans say.
struct Board {
    explicit Board(int questions)
    {
        state_->questionCount = questions;
        state_->rowHeights[0] = 195;
        state_->rowHeights[1] = 260;
        state_->contentHeight = 600;
        for (int q = 0; q < questions; ++q) {
            pictures_.push_back(q < 3 ? 5 : 270);
            fields_.push_back(q < 3 ? 210 : 540);
            shown_ += '1';
        }
    }

    // Card states, content height, pictures shown, field tops and picture tops after one relayout.
    std::string relayout(const std::string& solved, bool ticked)
    {
        for (std::size_t q = 1; q <= solved.size(); ++q) state_->solvedFlags[q] = solved[q - 1] == '1';
        const RelayoutPlan plan = planRelayout(*state_, ticked);
        std::string out, fields, pictures;
        for (int q = 1; q <= plan.cardCount; ++q) {
            const CardMove& move = plan.cards[q];
            if (move.picture != PictureChange::None) shown_[q - 1] = move.picture == PictureChange::Show ? '1' : '0';
            fields += " " + std::to_string(fields_[q - 1] += move.fieldShift);
            pictures += " " + std::to_string(pictures_[q - 1] += move.pictureShift);
            out += std::to_string(state_->cardStates[q] = plan.cardStates[q]);
        }
        state_->contentHeight = plan.contentHeight;
        return out + " " + std::to_string(plan.contentHeight) + " shown " + shown_ + " fields" + fields + " pictures" +
               pictures;
    }

    std::unique_ptr<QuizState> state_ = std::make_unique<QuizState>();
    std::vector<int> fields_, pictures_;
    std::string shown_;
};

TEST(Relayout, ScenariosStepByStep)
{
    const std::string rest = "000000 600 shown 111111 fields 210 210 210 540 540 540 pictures 5 5 5 270 270 270";
    const std::string firstRowClosed = "112000 405 shown 000111 fields 15 15 15 345 345 345 pictures 5 5 5 75 75 75";
    struct Step {
        std::string solved;
        bool ticked;
        std::string expected;
    };
    const std::vector<std::vector<Step>> scenarios = {
        {{"111000", true, firstRowClosed},
         {"111000", true, firstRowClosed},  // nothing new: nothing moves, the row does not close twice
         {"011000", true, firstRowClosed},  // hidden cards stay hidden while ticked, solved or not
         {"011000", false, rest},
         {"011000", false, rest}},
        {{"110000", true, "110000 600 shown 001111 fields 15 15 210 540 540 540 pictures 5 5 5 270 270 270"},
         {"111000", true, firstRowClosed},
         {"000000", false, rest}},
        {{"111111", true, "112112 145 shown 000000 fields 15 15 15 85 85 85 pictures 5 5 5 75 75 75"},
         {"111111", false, rest}},
        // Five questions: the last row counts in the content but never closes.
        {{"11111", true, "11211 405 shown 00000 fields 15 15 15 85 85 pictures 5 5 5 75 75"},
         {"11111", false, "00000 600 shown 11111 fields 210 210 210 540 540 pictures 5 5 5 270 270"}},
    };
    for (const auto& scenario : scenarios) {
        Board board(static_cast<int>(scenario.front().solved.size()));
        for (const Step& step : scenario)
            EXPECT_EQ(board.relayout(step.solved, step.ticked), step.expected) << step.solved << " " << step.ticked;
    }
}

// Ids moved with a card's fields: two-answer grids number their fields by answer, the list has one.
TEST(Relayout, CardFieldsAreTheCardsOwnControls)
{
    const struct {
        int mediaKind, answersPerQuestion, question;
        std::vector<int> ids;
    } cases[] = {
        {kMediaPicture, 1, 5, {4005, 5005, 2005, 8005}},
        {kMediaPicture, 2, 3, {4005, 5005, 4006, 5006, 2003, 8003}},
        {kMediaText, 2, 3, {4003, 5003, 2003, 8003}},
        {kMediaSound, 3, 2, {2002, 8002}},
    };
    for (const auto& c : cases) {
        auto state = std::make_unique<QuizState>();
        state->mediaKind = c.mediaKind;
        state->answersPerQuestion = c.answersPerQuestion;
        const CardFieldIds fields = cardFieldIds(*state, c.question);
        EXPECT_EQ(std::vector<int>(fields.ids, fields.ids + fields.count), c.ids) << c.mediaKind << " " << c.answersPerQuestion;
    }
}

}  // namespace
