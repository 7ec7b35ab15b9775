// Relayout benchmark (run under Wine or on Windows): closing and reopening the first row of a
// 96-question picture board, against a relayout that has nothing to change, in the same run.
//   relayout_bench [QUIZ.exe whose pictures to use] [ITERATIONS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/app.h"
#include "board/board.h"
#include "board/relayout.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

namespace {

double nowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    // Pictures from a quiz executable when given one, so rows have their real heights.
    app.module = argc > 1 ? LoadLibraryExA(windowsPath(argv[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : self;
    if (!app.module)
        app.module = self;
    int iterations = argc > 2 ? std::atoi(argv[2]) : 50;

    app.quiz = new QuizState;
    QuizState& state = *app.quiz;
    initQuizState(state);
    state.mediaKind = kMediaPicture;
    state.questionCount = kMaxQuestions;
    for (int question = 1; question <= kMaxQuestions; ++question)
        appendQuestion(state, "X", "", "");

    HWND main = CreateWindowExA(0, "Static", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr, self,
                                nullptr);
    HWND header = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_HEADER), main, headerProc, 0);
    app.headerWindow = state.headerWindow = header;
    HWND board = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_BOARD), main, boardProc, 0);
    app.boardWindow = state.boardWindow = board;
    SetWindowPos(board, nullptr, 5, 50, 980, 640, SWP_NOZORDER | SWP_SHOWWINDOW);
    CheckDlgButton(header, kHeaderHideId, BST_CHECKED);

    double start = nowMs();
    for (int i = 0; i < iterations; ++i)
        relayoutBoard(state);
    double idle = (nowMs() - start) / iterations;

    start = nowMs();
    for (int i = 0; i < iterations; ++i) {
        for (int question = 1; question <= 3; ++question)
            state.solvedFlags[question] = 1;
        relayoutBoard(state);  // the first row closes: every later card moves up
        for (int question = 1; question <= 3; ++question)
            state.solvedFlags[question] = 0;
        relayoutBoard(state);  // and opens again
    }
    double toggle = (nowMs() - start) / (2 * iterations);

    std::printf("relayout with nothing to change: %.3f ms\n", idle);
    std::printf("relayout closing or reopening the first of 32 rows: %.3f ms (%.1fx)\n", toggle, toggle / idle);
    DestroyWindow(main);
    releaseQuizState(state);
    return 0;
}
