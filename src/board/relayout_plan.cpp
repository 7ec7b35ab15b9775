// The hide and show passes of the solved-card relayout as arithmetic on the state's flags and
// row heights; the Win32 side only carries out the moves this decides.
#include "board/relayout_plan.h"

#include <algorithm>
#include <cstring>

#include "board/board_ids.h"
#include "board/board_layout.h"

namespace {

// Rows past the table (never reached with at most 96 questions) have no picture band.
int32_t rowHeight(const QuizState& state, int row)
{
    return row < kMaxRows ? state.rowHeights[row] : 0;
}

// Every control of every card after `question` moves by shift: pictures and fields alike.
void shiftLaterCards(RelayoutPlan& plan, int question, int32_t shift)
{
    for (int later = question + 1; later <= plan.cardCount; ++later) {
        plan.cards[later].pictureShift += shift;
        plan.cards[later].fieldShift += shift;
    }
}

// Solved cards lose their picture and their fields rise into its place; a row whose three cards
// are hidden closes its band. Cards already hidden stay so, solved or not.
void hidePass(const QuizState& state, RelayoutPlan& plan)
{
    int row = 0;
    int hidden = 0;
    for (int question = 1; question <= plan.cardCount; ++question) {
        int32_t& cardState = plan.cardStates[question];
        // Read before this pass may hide the card, so a card is counted once.
        if (cardState == kCardHidden)
            ++hidden;
        if (state.solvedFlags[question] == 1 && cardState == kCardShown) {
            plan.cards[question].picture = PictureChange::Hide;
            plan.cards[question].fieldShift -= rowHeight(state, row);
            ++hidden;
            cardState = kCardHidden;
        }
        if (gridColumn(question) == kGridColumns - 1) {
            // A row closed earlier ends in kCardClosedRow, which is not counted: it never closes twice.
            if (hidden == kGridColumns) {
                shiftLaterCards(plan, question, -rowHeight(state, row));
                plan.contentHeight -= rowHeight(state, row);
                cardState = kCardClosedRow;
            }
            ++row;
            hidden = 0;
        }
    }
}

// Every hidden card gets its picture back and every closed row reopens.
void showPass(const QuizState& state, RelayoutPlan& plan)
{
    int row = 0;
    for (int question = 1; question <= plan.cardCount; ++question) {
        int32_t& cardState = plan.cardStates[question];
        if (cardState == kCardHidden || cardState == kCardClosedRow) {
            plan.cards[question].picture = PictureChange::Show;
            plan.cards[question].fieldShift += rowHeight(state, row);
        }
        if (cardState == kCardClosedRow) {
            plan.contentHeight += rowHeight(state, row);
            shiftLaterCards(plan, question, rowHeight(state, row));
        }
        cardState = kCardShown;
        if (gridColumn(question) == kGridColumns - 1)
            ++row;
    }
}

}  // namespace

RelayoutPlan planRelayout(const QuizState& state, bool hideSolved)
{
    RelayoutPlan plan = {};
    // The per-question arrays end at kMaxQuestions; the loader never allows more.
    plan.cardCount = std::clamp(state.questionCount, 0, kMaxQuestions);
    std::memcpy(plan.cardStates, state.cardStates, sizeof plan.cardStates);
    plan.contentHeight = state.contentHeight;
    if (hideSolved)
        hidePass(state, plan);
    else
        showPass(state, plan);
    return plan;
}

CardFieldIds cardFieldIds(const QuizState& state, int question)
{
    CardFieldIds result = {};
    // A grid card of an answer count it cannot show has no field at all.
    const bool hasFields = isListLayout(state.mediaKind) || gridShowsAnswers(state.answersPerQuestion);
    const int perQuestion = hasFields ? fieldsPerQuestion(state) : 0;
    for (int answer = 1; answer <= perQuestion; ++answer) {
        const int field = answerFieldId(question, answer, perQuestion);
        result.ids[result.count++] = field;
        result.ids[result.count++] = verdictLabelId(field);
    }
    result.ids[result.count++] = gridNumberLabelId(question);
    result.ids[result.count++] = revealLabelId(question);
    return result;
}
