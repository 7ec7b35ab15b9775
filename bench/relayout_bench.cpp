// Relayout benchmark (run under Wine or on Windows), on a shown 96-question picture board with
// "Cacher" ticked: verdicts from the focus change that judges them to the updated score, one that
// changes no row and one that closes the first row, the click that reopens it, and the relayout
// alone with nothing to change.
//   relayout_bench [QUIZ.exe whose pictures to use] [ITERATIONS]
#include <windows.h>

#include "bench_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/app.h"
#include "board/board.h"
#include "board/relayout.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HWND board = nullptr;
HWND header = nullptr;

// Types into the field of question, then moves the focus away from it: the time of that move,
// which judges the field, updates the score and lays the board out.
double judgeByFocus(int question, const char* typed)
{
    HWND field = GetDlgItem(board, 4000 + question);
    SetFocus(field);
    SetWindowTextA(field, typed);
    HWND next = GetDlgItem(board, 4000 + question % 96 + 1);
    const double start = nowMs();
    SetFocus(next);
    return nowMs() - start;
}

double clickHide()
{
    const double start = nowMs();
    SendDlgItemMessageA(header, kHeaderHideId, BM_CLICK, 0, 0);
    return nowMs() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    // Pictures from a quiz executable when given one, so rows have their real heights.
    app.module = argc > 1 ? LoadLibraryExA(windowsPath(argv[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : self;
    if (!app.module)
        app.module = self;
    const int iterations = argc > 2 ? std::atoi(argv[2]) : 50;

    app.quiz = new QuizState;
    QuizState& state = *app.quiz;
    initQuizState(state);
    state.mediaKind = kMediaPicture;
    state.questionCount = kMaxQuestions;
    for (int question = 1; question <= kMaxQuestions; ++question)
        appendQuestion(state, ("REP" + std::to_string(question)).c_str(), "", "");

    HWND main =
        CreateWindowExA(0, "Static", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr, self, nullptr);
    header = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_HEADER), main, headerProc, 0);
    app.headerWindow = state.headerWindow = header;
    board = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_BOARD), main, boardProc, 0);
    app.boardWindow = state.boardWindow = board;
    SetWindowPos(board, nullptr, 5, 50, 980, 640, SWP_NOZORDER | SWP_SHOWWINDOW);
    CheckDlgButton(header, kHeaderHideId, BST_CHECKED);

    const double start = nowMs();
    for (int i = 0; i < iterations; ++i)
        relayoutBoard(state);
    const double idle = (nowMs() - start) / iterations;

    // Verdicts: a hint and a wrong answer in turn in the middle of the board change no row.
    std::vector<double> plain;
    for (int i = 0; i < iterations; ++i)
        plain.push_back(judgeByFocus(50, i % 2 ? "REP5" : "ZZZZ"));
    // Cards 1 and 2 solved and hidden; solving card 3 closes row 0, clearing "Cacher" reopens it,
    // card 3 turns wrong with the box clear, and ticking it again hides cards 1 and 2 only.
    judgeByFocus(1, "REP1");
    judgeByFocus(2, "REP2");
    std::vector<double> closing;
    std::vector<double> reopening;
    std::vector<double> ticking;
    for (int i = 0; i < iterations; ++i) {
        closing.push_back(judgeByFocus(3, "REP3"));
        reopening.push_back(clickHide());
        judgeByFocus(3, "ZZZZ");
        ticking.push_back(clickHide());
    }

    std::printf("relayout with nothing to change: %.3f ms\n", idle);
    std::printf("medians of %d:\n", iterations);
    std::printf("verdict changing no row, focus change to score: %.3f ms (goal <= 2)\n", median(plain));
    std::printf("verdict closing the first row: %.3f ms (goal <= 16)\n", median(closing));
    std::printf("\"Cacher\" cleared, the row reopens: %.3f ms (goal <= 16)\n", median(reopening));
    std::printf("\"Cacher\" ticked, two cards hide: %.3f ms\n", median(ticking));
    DestroyWindow(main);
    releaseQuizState(state);
    return 0;
}
