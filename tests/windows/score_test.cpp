// The score update in-process: solved questions counted from a board's verdict labels, the
// header's score label and code field, solvedFlags, and the relayout that closes every update.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "base/app.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "judging/score.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

// Writes to the score label and code field and reads of the hide box, in the order they happen:
// the board's relayout reads the box, so a read after both writes is the relayout at the end.
std::vector<std::string> headerEvents;

LRESULT CALLBACK logHeaderControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        headerEvents.push_back(std::to_string(GetDlgCtrlID(control)) + " <- '" + reinterpret_cast<const char*>(lParam) + "'");
    else if (message == BM_GETCHECK)
        headerEvents.push_back(std::to_string(GetDlgCtrlID(control)) + " read");
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA)), control, message,
                           wParam, lParam);
}

const char kNoCode[] = "      ";

// A real header panel and a stand-in board holding nothing but verdict labels reading "?".
class Score : public testing::Test {
protected:
    void TearDown() override { DestroyWindow(parent_); }

    // A picture quiz: one verdict label per answer.
    void makeQuiz(int questions, int answers)
    {
        QuizState& state = *app.quiz;
        state.mediaKind = 1;
        state.questionCount = questions;
        state.answersPerQuestion = answers;
        for (int code = 1; code <= questions; ++code)
            copyText(state.codes[code - 1], ("CODE-" + std::to_string(code)).c_str());
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 400, nullptr, nullptr,
                                  self(), nullptr);
        // The header is reached through the quiz state only.
        header_ = state.headerWindow = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_HEADER), parent_, headerProc, 0);
        board_ = state.boardWindow = makeChild("Static", "", WS_CHILD | WS_VISIBLE, 0, 60, 880, 300, parent_);
        for (int id = 5001; id <= 5000 + questions * answers; ++id)
            makeChild("Static", "?", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, board_, id);
    }

    // Score, code and solved flags after one update, as "score|code|flags".
    std::string update()
    {
        updateScore(*app.quiz, board_);
        std::string flags;
        for (int question = 1; question <= app.quiz->questionCount; ++question)
            flags += std::to_string(app.quiz->solvedFlags[question]);
        return textOf(GetDlgItem(header_, kHeaderScoreId)) + "|" + textOf(GetDlgItem(header_, kHeaderCodeId)) + "|" +
               flags;
    }

    QuizApp quizApp_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
};

TEST_F(Score, CountsQuestionsWhoseEveryVerdictIsBravo)
{
    struct Case {
        int questions, answers;
        std::vector<std::pair<int, const char*>> verdicts;
        std::string shown;
    };
    // Counting and the code by count follow solving in the 36-question test; the list of a two-answer
    // quiz, one label per question, in the judging tests.
    const Case cases[] = {
        {6, 1, {{5001, "bravo"}, {5002, "BRAVO "}, {5003, "BRAV"}, {5004, " BRAVO"}, {5005, "BRAVOS"}, {5006, "BRAVO"}},
         " 1 / 6|CODE-1|000001"},
        {4, 2, {{5001, "BRAVO"}, {5002, "BRAVO"}, {5003, "BRAVO"}, {5004, "Presque"}, {5005, "FAUX"}, {5006, "BRAVO"},
                   {5008, "BRAVO"}},
         " 1 / 4|CODE-1|1000"},
        {0, 1, {}, " 0 / 0|      |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        makeQuiz(c.questions, c.answers);
        for (const auto& verdict : c.verdicts)
            SetDlgItemTextA(board_, verdict.first, verdict.second);
        EXPECT_EQ(update(), c.shown);
        DestroyWindow(parent_);
    }
    parent_ = nullptr;
}

// Recomputed from scratch each time: solving and unsolving in any order lands on the count.
TEST_F(Score, FollowsSolvingAndUnsolvingOf36)
{
    makeQuiz(36, 1);
    EXPECT_EQ(textOf(GetDlgItem(header_, kHeaderScoreId)) + "|" + textOf(GetDlgItem(header_, kHeaderCodeId)),
              " 0 / 36|") << "no code until the first update";
    EXPECT_EQ(update().substr(0, 14), " 0 / 36|" + std::string(kNoCode));
    struct Step {
        int label;
        const char* verdict, *shown;
    };
    const Step steps[] = {{5007, "BRAVO", " 1 / 36|CODE-1"}, {5002, "BRAVO", " 2 / 36|CODE-2"},
                          {5030, "BRAVO", " 3 / 36|CODE-3"}, {5002, "Presque", " 2 / 36|CODE-2"},
                          {5007, "FAUX", " 1 / 36|CODE-1"},  {5030, "?", " 0 / 36|      "},
                          {5036, "BRAVO", " 1 / 36|CODE-1"}};
    for (const Step& step : steps) {
        SetDlgItemTextA(board_, step.label, step.verdict);
        EXPECT_EQ(update().substr(0, std::strlen(step.shown)), step.shown) << step.label << " " << step.verdict;
    }
    for (int label = 5001; label <= 5036; ++label)
        SetDlgItemTextA(board_, label, "BRAVO");
    EXPECT_EQ(update(), " 36 / 36|CODE-36|" + std::string(36, '1'));
}

// Only the quiz's flags are rewritten, and while the board is being built the state does not
// know it yet: the labels are read from the board the judge passes in.
TEST_F(Score, RewritesTheQuizsFlagsFromTheBoardItIsGiven)
{
    makeQuiz(5, 1);
    for (int& flag : app.quiz->solvedFlags)
        flag = 7;
    SetDlgItemTextA(board_, 5004, "BRAVO");
    app.quiz->boardWindow = nullptr;
    EXPECT_EQ(update(), " 1 / 5|CODE-1|00010");
    EXPECT_EQ(app.quiz->solvedFlags[0] * 10 + app.quiz->solvedFlags[6], 77);
}

TEST_F(Score, EndsByLayingTheBoardOutAgain)
{
    makeQuiz(4, 1);
    // Whichever handles the relayout goes by, both lead to this header and board.
    app.headerWindow = header_;
    app.boardWindow = board_;
    SetDlgItemTextA(board_, 5003, "BRAVO");
    for (int id : {kHeaderScoreId, kHeaderCodeId, kHeaderHideId}) {
        HWND control = GetDlgItem(header_, id);
        SetWindowLongPtrA(control, GWLP_USERDATA,
                          SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(logHeaderControl)));
    }
    headerEvents.clear();
    updateScore(*app.quiz, board_);
    EXPECT_EQ(headerEvents, (std::vector<std::string>{"32 <- ' 1 / 4'", "30 <- 'CODE-1'", "33 read"}));
}

} // namespace
