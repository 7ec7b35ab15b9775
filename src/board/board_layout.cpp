// Card geometry and label colouring rules of the question board.
#include "board/board_layout.h"

#include <cstring>

#include "board/board_ids.h"
#include "judging/verdict.h"
#include "quiz/quiz_state.h"

namespace {

// The play and stop buttons sit at a sound or video card's left, one above the other.
constexpr int kMediaButtonWidth = 20;

}  // namespace

ListLine listLine(int top)
{
    return {{26, top + 2, 19, 17}, {50, top, 550, 20}, {610, top, 170, 20}, {790, top, 100, 20}};
}

GridCard gridCard(int question, int answersPerQuestion, int mediaKind, int rowTop, int rowPictureHeight)
{
    GridCard card;
    card.column = gridColumn(question);
    // Two-answer rows leave room at the left for the answer-name labels.
    card.left = 290 * card.column + 20 + (answersPerQuestion == 2 ? 86 : 26);
    bool picture = mediaKind == kMediaPicture;
    card.fieldWidth = picture ? kCardWidth : kCardWidth - kMediaButtonWidth;
    card.fieldLeft = picture ? card.left : card.left + kMediaButtonWidth;
    int mediaHeight = picture ? rowPictureHeight + 10 : mediaKind == kMediaVideo ? kVideoAreaHeight : 0;
    card.fieldTop = rowTop + mediaHeight;
    return card;
}

BoxRect gridPicture(const GridCard& card, int rowTop, int rowPictureHeight, int pictureWidth, int pictureHeight)
{
    return {card.left + (kCardPictureBox - pictureWidth) / 2, rowTop + (rowPictureHeight - pictureHeight) / 2,
            pictureWidth, pictureHeight};
}

BoxRect gridAnswerName(int answer, int fieldTop)
{
    return answer == 1 ? BoxRect{4, fieldTop + 2, 95, 20} : BoxRect{3, fieldTop + 22, 95, 20};
}

BoxRect gridNumber(const GridCard& card)
{
    return {card.left - 28, card.fieldTop + 2, 27, 17};
}

BoxRect gridReveal(const GridCard& card)
{
    return {card.left, card.fieldTop + 46, kCardWidth, 65};
}

BoxRect gridAnswerField(const GridCard& card, int answer, int answersPerQuestion)
{
    if (answersPerQuestion == 2)
        return {card.fieldLeft, card.fieldTop + 19 * (answer - 1), card.fieldWidth - 59, 20};
    return {card.fieldLeft, card.fieldTop, card.fieldWidth, 20};
}

BoxRect gridVerdict(const GridCard& card, int answer, int answersPerQuestion)
{
    // With two answers the verdict overlaps its field's last pixel.
    if (answersPerQuestion == 2)
        return {card.fieldLeft + card.fieldWidth - 60, card.fieldTop + 19 * (answer - 1), 60, 20};
    return {card.fieldLeft, card.fieldTop + 19, card.fieldWidth, 20};
}

BoxRect gridPlayButton(const GridCard& card)
{
    return {card.left, card.fieldTop, kMediaButtonWidth, 20};
}

BoxRect gridStopButton(const GridCard& card)
{
    return {card.left, card.fieldTop + 20, kMediaButtonWidth, 19};
}

int gridRowSpacing(int revealMode)
{
    return hasRevealLabels(revealMode) ? 140 : 60;
}

LabelColouring labelColouring(int controlId, int answerFields)
{
    // Answer-name, number (2000 to 2240 + n) and reveal labels.
    if (controlId == kAnswerNameLabelId ||
        (controlId >= kListNumberLabelId && controlId <= gridNumberLabelId(240 + answerFields)) ||
        (controlId >= revealLabelId(1) && controlId <= revealLabelId(answerFields)))
        return LabelColouring::Background;
    if (controlId >= verdictLabelId(kFirstAnswerFieldId) &&
        controlId <= verdictLabelId(kFirstAnswerFieldId - 1 + answerFields))
        return LabelColouring::Verdict;
    if (controlId == kListCaptionLabelId)
        return LabelColouring::Caption;
    return LabelColouring::Default;
}

VerdictColour verdictColour(const char* labelText)
{
    if (std::strcmp(labelText, verdictText(Verdict::Blank)) == 0)
        return VerdictColour::Unjudged;
    if (std::strcmp(labelText, verdictText(Verdict::Right)) == 0)
        return VerdictColour::Right;
    if (std::strcmp(labelText, verdictText(Verdict::Wrong)) == 0)
        return VerdictColour::Wrong;
    if (std::strcmp(labelText, verdictText(Verdict::Anagram)) == 0)
        return VerdictColour::Anagram;
    return VerdictColour::Hint;
}
