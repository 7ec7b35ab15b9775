// The score: solved questions recounted from the board's verdict labels every time, shown in
// the header with the code that belongs to their number.
#include "judging/score.h"

#include <cstring>

#include "board/board_controls.h"
#include "board/board_ids.h"
#include "board/board_layout.h"
#include "board/relayout.h"
#include "judging/header_ids.h"
#include "judging/verdict.h"

namespace {

// The label's text is the only record of a verdict: compared byte for byte.
bool readsRight(HWND board, int labelId)
{
    char text[kVerdictReadSize] = {};
    GetWindowTextA(controlOf(boardControls, board, labelId), text, sizeof text);
    return std::strcmp(text, verdictText(Verdict::Right)) == 0;
}

}  // namespace

void updateScore(QuizState& state, HWND board)
{
    const int fields = fieldsPerQuestion(state);
    int score = 0;
    for (int question = 1; question <= state.questionCount; ++question) {
        state.solvedFlags[question] = 0;
        int right = 0;
        for (int answer = 1; answer <= fields; ++answer) {
            if (readsRight(board, verdictLabelId(answerFieldId(question, answer, fields))))
                ++right;
        }
        if (right == fields) {
            ++score;
            state.solvedFlags[question] = 1;
        }
    }

    char text[32];
    wsprintfA(text, kScoreFormat, score, state.questionCount);
    SetWindowTextA(controlOf(headerControls, state.headerWindow, kHeaderScoreId), text);
    // Only how many questions are solved picks the code, not which ones.
    SetWindowTextA(controlOf(headerControls, state.headerWindow, kHeaderCodeId),
                   score >= 1 ? state.codes[score - 1] : kNoCodeText);
    relayoutBoard(state);
}
