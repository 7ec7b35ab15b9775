// The answer fields' keyboard and focus behaviour on a real, shown board: selection on focus,
// swallowed Enter and Tab characters, key actions on release, Tab follow-up scrolling, F1, F2.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/quiz_state_win.h"
#include "board/board.h"
#include "resource.h"

#include "test_support.h"

namespace {

constexpr int kQuestions = 40;

// A 40-line list quiz on a board 500 x 200 pixels, in a scratch working folder.
class AnswerBox : public testing::Test {
protected:
    void SetUp() override
    {
        describeQuiz({0, kQuestions, 1, 0}, std::vector<std::pair<std::string, std::string>>(kQuestions, {"REPONSE", ""}));
        QuizState& state = *app.quiz;
        copyText(state.codes[0], "UN");

        parent_ = CreateWindowExA(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 700, 400, nullptr, nullptr,
                                  self(), nullptr);
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        app.boardWindow = board_;
        state.boardWindow = board_;
        SetWindowPos(board_, nullptr, 0, 0, 500, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    }

    void TearDown() override { DestroyWindow(parent_); }

    HWND field(int question) const { return GetDlgItem(board_, 4000 + question); }

    std::string text(int id) const
    {
        char buffer[300] = {};
        GetDlgItemTextA(board_, id, buffer, sizeof buffer);
        return buffer;
    }

    LRESULT keyUp(HWND control, WPARAM key) { return SendMessageA(control, WM_KEYUP, key, 0xC0000001); }

    RECT placeOf(HWND control) const { return placeIn(control, board_); }

    QuizApp quizApp_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

TEST_F(AnswerBox, FocusSelectsTheWholeAnswer)
{
    SetDlgItemTextA(board_, 4003, "MARSEILLE");
    SetFocus(field(3));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(field(3), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 9u);
}

TEST_F(AnswerBox, EnterAndTabCharactersAreSwallowedOthersTyped)
{
    SetFocus(field(1));
    for (WPARAM character : {WPARAM('\r'), WPARAM('\t')})
        EXPECT_EQ(SendMessageA(field(1), WM_CHAR, character, 1), 0);
    EXPECT_EQ(text(4001), "");
    SendMessageA(field(1), WM_CHAR, 'A', 1);
    EXPECT_EQ(text(4001), "A");
}

TEST_F(AnswerBox, EnterReleaseIsConsumedOtherKeysGoOn)
{
    EXPECT_EQ(keyUp(field(1), VK_RETURN), 1);
    EXPECT_EQ(SendMessageA(field(1), WM_SYSKEYDOWN, VK_RETURN, 0x20000001), 1);
}

TEST_F(AnswerBox, ArrowAndPageKeysScrollTheBoardByAPage)
{
    RECT client;
    GetClientRect(board_, &client);
    const int page = client.bottom - 1;
    struct Step {
        WPARAM key;
        int position;
    };
    const Step steps[] = {{VK_DOWN, page}, {VK_NEXT, 2 * page}, {VK_UP, page}, {VK_PRIOR, 0}, {VK_LEFT, 0}};
    for (const Step& step : steps) {
        keyUp(field(1), step.key);
        EXPECT_EQ(GetScrollPos(board_, SB_VERT), step.position) << "key " << step.key;
    }
    // With Alt held the key acts when pressed.
    SendMessageA(field(1), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    EXPECT_EQ(GetScrollPos(board_, SB_VERT), page);
}

TEST_F(AnswerBox, TabFollowUpBringsAFieldBelowTheBoardFullyIntoView)
{
    RECT client;
    GetClientRect(board_, &client);
    RECT before = placeOf(field(12));
    ASSERT_GT(before.bottom, client.bottom) << "fixture: field 12 starts below the visible part";
    SetFocus(field(12));
    keyUp(field(12), VK_TAB);
    RECT after = placeOf(field(12));
    EXPECT_EQ(after.bottom, client.bottom) << "the field's bottom meets the client's bottom";
    EXPECT_GE(after.top, 0);

    // Back to the first field, now above the visible part: its top meets the client's top.
    SetFocus(field(1));
    keyUp(field(1), VK_TAB);
    EXPECT_EQ(placeOf(field(1)).top, 0);
    EXPECT_EQ(GetScrollPos(board_, SB_VERT), 5);

    // A field already in view scrolls nothing.
    SetFocus(field(2));
    keyUp(field(2), VK_TAB);
    EXPECT_EQ(GetScrollPos(board_, SB_VERT), 5);
}

TEST_F(AnswerBox, TabKeyMovesFocusThroughTheDialogNavigationAndWraps)
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
    tab.hwnd = field(1);
    IsDialogMessageA(board_, &tab);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), field(kQuestions)) << "Shift+Tab in the first field wraps to the last";
}

TEST_F(AnswerBox, F1CopiesTheAnswerIntoEveryFieldNotShowingBravo)
{
    SetDlgItemTextA(board_, 5002, "BRAVO");
    SetDlgItemTextA(board_, 4002, "ROME");
    SetDlgItemTextA(board_, 5005, "BRAVO");
    SetDlgItemTextA(board_, 4005, "OSLO");
    SetFocus(field(2));
    keyUp(field(2), VK_F1);
    for (int question = 1; question <= kQuestions; ++question)
        EXPECT_EQ(text(4000 + question), question == 5 ? "OSLO" : "ROME") << question;
    EXPECT_EQ(GetFocus(), field(2)) << "the focus comes back to the field F1 acted in";
}

TEST_F(AnswerBox, F2SavesTheAnswersNow)
{
    SetDlgItemTextA(board_, 4001, "LYON");
    SetDlgItemTextA(board_, 4000 + kQuestions, "NICE");
    keyUp(field(1), VK_F2);
    std::string expected = "LYON\r\n";
    for (int line = 2; line < kQuestions; ++line)
        expected += "\r\n";
    expected += "NICE\r\n";
    EXPECT_EQ(readFile("windows_tests.txt"), expected);
}

// Judging follows the focus: moving it out of a field judges that field, not the new one.
TEST_F(AnswerBox, LosingTheFocusJudgesTheFieldLeft)
{
    SetFocus(field(1));
    SetDlgItemTextA(board_, 4001, "reponse");
    SetDlgItemTextA(board_, 4002, "XYZ");
    EXPECT_EQ(text(5001), "?");
    SetFocus(field(2));
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(text(5002), "?") << "the field that gained the focus is not judged";
    EXPECT_EQ(app.quiz->solvedFlags[1], 1);
}

TEST_F(AnswerBox, EnterJudgesInPlaceAndKeepsTheFocus)
{
    SetFocus(field(3));
    SetDlgItemTextA(board_, 4003, "REPONSES");
    keyUp(field(3), VK_RETURN);
    EXPECT_EQ(text(5003), "Quasiment");
    EXPECT_EQ(GetFocus(), field(3));
    // Unchanged text judged again: same verdict, nothing else moves.
    keyUp(field(3), VK_RETURN);
    EXPECT_EQ(text(5003), "Quasiment");
}

TEST_F(AnswerBox, F1JudgesEveryFieldItFills)
{
    SetFocus(field(1));
    SetDlgItemTextA(board_, 4001, "REPONSE");
    keyUp(field(1), VK_F1);
    for (int question = 1; question <= kQuestions; ++question) {
        EXPECT_EQ(text(4000 + question), "REPONSE") << question;
        EXPECT_EQ(text(5000 + question), "BRAVO") << question;
    }
    EXPECT_EQ(GetFocus(), field(1));
}

} // namespace
