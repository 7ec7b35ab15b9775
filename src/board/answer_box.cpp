// The answer fields' window procedure: judging on focus loss and Enter, key actions on release
// (or on press with Alt), Tab follow-up scrolling and F1 filling. Every message the fields do
// not consume goes to the Edit class's own procedure, saved when the first field is subclassed.
#include "board/answer_box.h"

#include <cstring>

#include "app/progress.h"
#include "base/app.h"
#include "board/board_controls.h"
#include "board/board_ids.h"
#include "board/board_scroll.h"
#include "board/scroll_math.h"
#include "judging/judge.h"
#include "judging/verdict.h"

namespace {

WNDPROC editProc = nullptr;

// Selecting past the end selects the whole text of any answer the field can hold.
constexpr LPARAM kSelectionEnd = kTextSize;

LRESULT passOn(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(editProc, field, message, wParam, lParam);
}

// After Tab moved the focus here: when the field sticks out of the board's client area, scroll it
// into view. The client area, not the window: a field under the horizontal bar is not in view.
void followTab(HWND field)
{
    HWND board = GetParent(field);
    RECT fieldRect;
    RECT client;
    GetWindowRect(field, &fieldRect);
    GetClientRect(board, &client);
    MapWindowPoints(HWND_DESKTOP, board, reinterpret_cast<POINT*>(&fieldRect), 2);
    const int position = GetScrollPos(board, SB_VERT);
    const int target = fieldRevealPosition(fieldRect.top, fieldRect.bottom, client.bottom, position);
    if (target == position)
        return;
    scrollTarget = target;
    SendMessageA(board, WM_VSCROLL, kScrollToTarget, 0);
}

// Copies the field's text into every field whose verdict is not right; each is judged as the
// focus passes through it, and the last one when the focus comes back.
void fillUnsolvedAnswers(HWND field)
{
    HWND board = GetParent(field);
    const QuizState& state = *app.quiz;
    char text[kTextSize] = {};
    GetWindowTextA(field, text, sizeof text);
    const int fields = state.questionCount * state.answersPerQuestion;
    for (int line = 1; line <= fields; ++line) {
        int id = progressFieldId(line);
        // A list has one field per question even in a two-answer quiz: skip the ids it lacks.
        HWND target = controlOf(boardControls, board, id);
        if (!target)
            continue;
        char verdict[kVerdictReadSize] = {};
        GetWindowTextA(controlOf(boardControls, board, verdictLabelId(id)), verdict, sizeof verdict);
        if (std::strcmp(verdict, verdictText(Verdict::Right)) == 0)
            continue;
        SetWindowTextA(target, text);
        SetFocus(target);
    }
    SetFocus(field);
}

// Returns true when the key was consumed (Enter), false when it goes on to the Edit class.
bool onAnswerKey(HWND field, WPARAM key)
{
    HWND board = GetParent(field);
    switch (key) {
    case VK_RETURN:
        judgeAnswer(*app.quiz, board, GetDlgCtrlID(field));
        return true;
    case VK_TAB:
        followTab(field);
        return false;
    case VK_UP:
    case VK_PRIOR:
        SendMessageA(board, WM_VSCROLL, SB_PAGEUP, 0);
        return false;
    case VK_DOWN:
    case VK_NEXT:
        SendMessageA(board, WM_VSCROLL, SB_PAGEDOWN, 0);
        return false;
    case VK_F1:
        fillUnsolvedAnswers(field);
        return false;
    case VK_F2:
        saveProgress(*app.quiz);
        return false;
    default:
        return false;
    }
}

}  // namespace

void installAnswerBoxProc(HWND field)
{
    WNDPROC previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerBoxProc)));
    if (!editProc)
        editProc = previous;
}

LRESULT CALLBACK answerBoxProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        SendMessageA(field, EM_SETSEL, 0, kSelectionEnd);
        break;
    case WM_KILLFOCUS:
        judgeAnswer(*app.quiz, GetParent(field), GetDlgCtrlID(field));
        break;
    case WM_CHAR:
        // The dialog navigation handles these; the edit control would only beep.
        if (wParam == '\r' || wParam == '\t')
            return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
        if (onAnswerKey(field, wParam))
            return 1;
        break;
    default:
        break;
    }
    return passOn(field, message, wParam, lParam);
}
