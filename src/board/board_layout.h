// Geometry of the question board: where every control of a card goes, in content
// coordinates (scroll position 0), for the list layout and the grid of three cards per row.
#pragma once

#include "quiz/quiz_state.h"

struct BoxRect {
    int x;
    int y;
    int width;
    int height;
};

constexpr int kBoardTop = 5;
constexpr int kGridColumns = 3;
// A grid card is this wide: its picture box (a square), its reveal label and its answer fields
// span it, the fields of a sound or video card right of the play and stop buttons.
constexpr int kCardWidth = 260;
constexpr int kCardPictureBox = kCardWidth;
constexpr int kVideoAreaHeight = 210;

// Column of question n (from 1) in the grid, 0 to kGridColumns - 1 from the left.
inline int gridColumn(int question)
{
    return (question + 2) % kGridColumns;
}

// mediaKind 1 to 3 lays cards out in a grid, 0 as a list; any other value makes no card.
inline bool isListLayout(int mediaKind)
{
    return mediaKind == 0;
}
inline bool isGridLayout(int mediaKind)
{
    return mediaKind >= 1 && mediaKind <= 3;
}

// Answer counts a grid card shows; with any other count it has no answer field at all.
inline bool gridShowsAnswers(int answersPerQuestion)
{
    return answersPerQuestion == 1 || answersPerQuestion == 2;
}

// Answer fields per question, as judging and the score number and count them: the list has one
// per question whatever the quiz's count (a two-answer list quiz is judged against answer1 alone),
// a grid two for a two-answer quiz and one otherwise.
inline int fieldsPerQuestion(const QuizState& state)
{
    return state.answersPerQuestion == 2 && !isListLayout(state.mediaKind) ? 2 : 1;
}

// One line of the list layout, for the question whose line starts at top.
struct ListLine {
    BoxRect number;
    BoxRect caption;
    BoxRect answer;
    BoxRect verdict;
};
ListLine listLine(int top);
constexpr int kListLineStep = 25;
constexpr int kListContentWidth = 880;

// What every control of a grid card is placed from.
struct GridCard {
    int column;      // 0 to 2
    int left;        // x of the card
    int fieldLeft;   // x of the answer fields
    int fieldTop;    // y of the first answer field
    int fieldWidth;  // also the width of a one-answer verdict label
};
GridCard gridCard(int question, int answersPerQuestion, int mediaKind, int rowTop, int rowPictureHeight);

// The picture control: centred in the card's 260-pixel column and in the row's picture band.
BoxRect gridPicture(const GridCard& card, int rowTop, int rowPictureHeight, int pictureWidth, int pictureHeight);
// Answer-name label 1 or 2 at the left edge of a two-answer row.
BoxRect gridAnswerName(int answer, int fieldTop);
BoxRect gridNumber(const GridCard& card);
BoxRect gridReveal(const GridCard& card);
BoxRect gridAnswerField(const GridCard& card, int answer, int answersPerQuestion);
BoxRect gridVerdict(const GridCard& card, int answer, int answersPerQuestion);
BoxRect gridPlayButton(const GridCard& card);
BoxRect gridStopButton(const GridCard& card);
// Height below the answer fields' top that a row takes: room for the reveal label or not.
int gridRowSpacing(int revealMode);
constexpr int kGridContentWidth = 890;

// Added to the content width once every card is made: room right of the last column.
inline int contentWidthMargin(int answersPerQuestion)
{
    return answersPerQuestion == 2 ? 80 : 20;
}

// How the board colours a static control that asks (WM_CTLCOLORSTATIC).
enum class LabelColouring {
    Background,  // answer-name, number and reveal labels: transparent on the board's colour
    Verdict,     // verdict labels: by their text
    Caption,     // caption labels of the list
    Default,     // everything else: not handled
};
// answerFields is questionCount x answersPerQuestion.
LabelColouring labelColouring(int controlId, int answerFields);

enum class VerdictColour { Unjudged, Right, Wrong, Anagram, Hint };
VerdictColour verdictColour(const char* labelText);

// Labels on the board's background are black unless red and green are both dark (blue ignored).
inline bool darkTextOnBackground(int red, int green)
{
    return red > 69 || green > 69;
}
