// Judging of one answer field: the new verdict into its label, then what a changed verdict
// brings (reveal label, answer picture, whole-board reveal) and the score update.
#include "judging/judge.h"

#include <cstring>

#include "base/app.h"
#include "base/quiz_resources.h"
#include "board/board_controls.h"
#include "board/board_ids.h"
#include "board/board_layout.h"
#include "judging/score.h"
#include "judging/verdict.h"
#include "pictures/picture.h"

namespace {

const char* storedAnswer(const QuizState& state, int question, int answer)
{
    const QuestionRecord* record = questionByNumber(state, question);
    if (!record)
        return "";
    return answer == 2 ? record->answer2 : record->answer1;
}

// Where the board made no such control (by layout or reveal mode) this acts on nothing.
void showControl(HWND board, int id, int command)
{
    if (HWND control = controlOf(boardControls, board, id))
        ShowWindow(control, command);
}

bool labelSaysRight(HWND board, int labelId)
{
    char text[kVerdictReadSize] = {};
    GetWindowTextA(controlOf(boardControls, board, labelId), text, sizeof text);
    return std::strcmp(text, verdictText(Verdict::Right)) == 0;
}

// Every field of the question holds its stored answer now, whatever its label says.
bool questionComplete(const QuizState& state, HWND board, int question)
{
    const int perQuestion = fieldsPerQuestion(state);
    for (int answer = 1; answer <= perQuestion; ++answer) {
        char typed[kTextSize] = {};
        GetWindowTextA(controlOf(boardControls, board, answerFieldId(question, answer, perQuestion)), typed,
                       sizeof typed);
        if (!holdsStoredAnswer(typed, storedAnswer(state, question, answer)))
            return false;
    }
    return true;
}

// Loaded once per question; a missing resource leaves the card as it is and is tried again
// at the next completion.
void showAnswerPicture(QuizState& state, HWND board, int question)
{
    if (state.answerPictureShown[question])
        return;
    HWND picture = controlOf(boardControls, board, pictureControlId(question));
    if (!picture)
        return;
    HBITMAP bitmap =
        loadPicture(app.module, answerPictureId(question), kMediaResourceType, kCardPictureBox, kCardPictureBox);
    if (!bitmap)
        return;
    state.answerPictureShown[question] = 1;
    // The control owns the bitmap it shows: the one it gives back is ours to delete.
    HGDIOBJ replaced = reinterpret_cast<HGDIOBJ>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    if (replaced)
        DeleteObject(replaced);
}

void revealSolvedQuestion(QuizState& state, HWND board, int question)
{
    if (!questionComplete(state, board, question))
        return;
    if (state.revealMode == kRevealLabel || state.revealMode == kRevealLabelAndPicture)
        showControl(board, revealLabelId(question), SW_SHOWNORMAL);
    if (state.revealMode == kRevealPicture || state.revealMode == kRevealLabelAndPicture)
        showAnswerPicture(state, board, question);
}

// Once every verdict label of the board reads right, every reveal label is shown; the latch
// spares the count until a verdict turns wrong again.
void revealWholeBoard(QuizState& state, HWND board)
{
    if (state.allRevealed)
        return;
    const int labels = state.questionCount * fieldsPerQuestion(state);
    for (int field = 0; field < labels; ++field)
        if (!labelSaysRight(board, verdictLabelId(kFirstAnswerFieldId + field)))
            return;
    state.allRevealed = 1;
    for (int question = 1; question <= state.questionCount; ++question)
        showControl(board, revealLabelId(question), SW_SHOWNORMAL);
}

}  // namespace

void judgeAnswer(QuizState& state, HWND board, int answerFieldId)
{
    const int perQuestion = fieldsPerQuestion(state);
    const AnswerSlot slot = answerSlotOf(answerFieldId, perQuestion);
    // Only the board's own fields: the question number indexes the per-question flags.
    if (slot.question < 1 || slot.question > state.questionCount || slot.question > kMaxQuestions)
        return;
    HWND label = controlOf(boardControls, board, verdictLabelId(answerFieldId));

    char previous[kVerdictReadSize] = {};
    GetWindowTextA(label, previous, sizeof previous);
    char typed[kTextSize] = {};
    GetWindowTextA(controlOf(boardControls, board, answerFieldId), typed, sizeof typed);
    const Verdict verdict = judgeTexts(typed, storedAnswer(state, slot.question, slot.answer));
    const char* text = verdictText(verdict);
    // An unchanged verdict has no consequence at all, so judging again is harmless.
    if (std::strcmp(text, previous) == 0)
        return;
    SetWindowTextA(label, text);

    if (verdict != Verdict::Right) {
        showControl(board, revealLabelId(slot.question), SW_HIDE);
        state.allRevealed = 0;
    } else if (state.revealMode > kRevealNothing && state.revealMode < kRevealWholeBoard) {
        revealSolvedQuestion(state, board, slot.question);
    }
    if (state.revealMode == kRevealWholeBoard)
        revealWholeBoard(state, board);
    updateScore(state, board);
}
