// The answer fields' keyboard and focus behaviour on a real, shown board: selection on focus,
// swallowed Enter and Tab characters, key actions on release, Tab follow-up scrolling, F1, F2.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/app.h"
#include "board/board.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

constexpr int kQuestions = 40;

// A 40-line list quiz whose every answer is "REPONSE", on a shown board 500 x 200 pixels.
class AnswerBox : public testing::Test {
protected:
    void SetUp() override
    {
        describeQuiz({0, kQuestions, 1, 0}, std::vector<std::pair<std::string, std::string>>(kQuestions, {"REPONSE", ""}));
        parent_ = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 700, 400, nullptr, nullptr, self(),
                                  nullptr);
        board_ = app.boardWindow = app.quiz->boardWindow =
            CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        SetWindowPos(board_, nullptr, 0, 0, 500, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    }

    void TearDown() override { DestroyWindow(parent_); }

    HWND field(int question) const { return GetDlgItem(board_, 4000 + question); }
    std::string text(int id) const { return textOf(GetDlgItem(board_, id)); }
    LRESULT keyUp(int question, WPARAM key) { return SendMessageA(field(question), WM_KEYUP, key, 0xC0000001); }
    int scrolled() const { return GetScrollPos(board_, SB_VERT); }

    QuizApp quizApp_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

TEST_F(AnswerBox, FocusSelectsAllEnterAndTabCharactersAreSwallowed)
{
    SetDlgItemTextA(board_, 4003, "MARSEILLE");
    SetFocus(field(3));
    DWORD start = 1, end = 0;
    SendMessageA(field(3), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start * 100 + end, 9u);
    SetFocus(field(1));
    EXPECT_EQ(SendMessageA(field(1), WM_CHAR, '\r', 1) + SendMessageA(field(1), WM_CHAR, '\t', 1), 0);
    SendMessageA(field(1), WM_CHAR, 'A', 1);
    EXPECT_EQ(text(4001), "A");
    // Enter's release is consumed, as is Enter pressed with Alt.
    EXPECT_EQ(keyUp(1, VK_RETURN), 1);
    EXPECT_EQ(SendMessageA(field(1), WM_SYSKEYDOWN, VK_RETURN, 0x20000001), 1);
}

TEST_F(AnswerBox, ArrowAndPageKeysScrollTheBoardByAPage)
{
    RECT client;
    GetClientRect(board_, &client);
    const int page = client.bottom - 1;
    const std::pair<WPARAM, int> steps[] = {{VK_DOWN, page}, {VK_NEXT, 2 * page}, {VK_UP, page}, {VK_PRIOR, 0},
                                            {VK_LEFT, 0}};
    for (const auto& step : steps) {
        keyUp(1, step.first);
        EXPECT_EQ(scrolled(), step.second) << "key " << step.first;
    }
    // With Alt held the key acts when pressed.
    SendMessageA(field(1), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    EXPECT_EQ(scrolled(), page);
}

// After Tab the newly focused field is brought fully into view, and only when it is not.
TEST_F(AnswerBox, TabFollowUpBringsTheFieldFullyIntoView)
{
    RECT client;
    GetClientRect(board_, &client);
    ASSERT_GT(placeIn(field(12)).bottom, client.bottom) << "field 12 starts below the visible part";
    SetFocus(field(12));
    keyUp(12, VK_TAB);
    EXPECT_EQ(placeIn(field(12)).bottom, client.bottom);
    // A board 5 pixels lower leaves field 12 ending under its horizontal bar: inside the window, not in view.
    SetWindowPos(board_, nullptr, 0, 0, 500, 195, SWP_NOZORDER | SWP_NOMOVE);
    GetClientRect(board_, &client);
    ASSERT_EQ(placeIn(field(12)).bottom, client.bottom + 5);
    keyUp(12, VK_TAB);
    EXPECT_EQ(placeIn(field(12)).bottom, client.bottom);
    SetFocus(field(1));
    keyUp(1, VK_TAB);
    EXPECT_EQ(placeIn(field(1)).top, 0);
    EXPECT_EQ(scrolled(), 5);
    SetFocus(field(2));
    keyUp(2, VK_TAB);
    EXPECT_EQ(scrolled(), 5);
}

TEST_F(AnswerBox, TabAndShiftTabMoveThroughTheDialogAndWrap)
{
    SetFocus(field(1));
    MSG tab = {field(1), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(board_, &tab));
    EXPECT_EQ(GetFocus(), field(2));
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SetFocus(field(1));
    IsDialogMessageA(board_, &tab);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), field(kQuestions)) << "Shift+Tab in the first field wraps to the last";
}

// Judging follows the focus: moving it out of a field judges that field, not the new one; Enter
// judges in place and keeps the focus.
TEST_F(AnswerBox, FocusLossAndEnterJudge)
{
    SetFocus(field(1));
    SetDlgItemTextA(board_, 4001, "reponse");
    SetDlgItemTextA(board_, 4002, "XYZ");
    EXPECT_EQ(text(5001), "?");
    SetFocus(field(2));
    EXPECT_EQ(text(5001) + text(5002), "BRAVO?");
    SetFocus(field(3));
    SetDlgItemTextA(board_, 4003, "REPONSES");
    keyUp(3, VK_RETURN);
    EXPECT_EQ(text(5003), "Quasiment");
    EXPECT_EQ(GetFocus(), field(3));
}

// F1 copies the field's text into every field whose label does not read "BRAVO" and judges each,
// whether the field F1 acts in was already judged "BRAVO" or not.
TEST_F(AnswerBox, F1FillsAndJudgesEveryFieldNotShowingBravo)
{
    for (bool judgedFirst : {false, true}) {
        for (int question = 1; question <= kQuestions; ++question)
            SetDlgItemTextA(board_, 5000 + question, "?");
        SetDlgItemTextA(board_, 5005, "BRAVO");
        SetDlgItemTextA(board_, 4005, "OSLO");
        SetFocus(field(2));
        SetDlgItemTextA(board_, 4002, "reponse");
        if (judgedFirst)
            keyUp(2, VK_RETURN);
        keyUp(2, VK_F1);
        for (int question = 1; question <= kQuestions; ++question)
            EXPECT_EQ(text(4000 + question) + " " + text(5000 + question), question == 5 ? "OSLO BRAVO" : "reponse BRAVO")
                << question << " " << judgedFirst;
        EXPECT_EQ(GetFocus(), field(2)) << "the focus comes back to the field F1 acted in";
    }
}

TEST_F(AnswerBox, F2SavesTheAnswersNow)
{
    SetDlgItemTextA(board_, 4001, "LYON");
    SetDlgItemTextA(board_, 4000 + kQuestions, "NICE");
    keyUp(1, VK_F2);
    std::string blanks;
    for (int line = 2; line < kQuestions; ++line)
        blanks += "\r\n";
    EXPECT_EQ(readFile("windows_tests.txt"), "LYON\r\n" + blanks + "NICE\r\n");
}

} // namespace
