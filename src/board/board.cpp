// Question board dialog procedure. It owns the board font's creation and the background colour.
#include "board/board.h"

#include "app/app.h"
#include "app/quiz_state_win.h"

namespace {

INT_PTR onBoardInit()
{
    createBoardFont(*app.quiz);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK boardProc(HWND, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return onBoardInit();
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(app.quiz->backBrush);
    default:
        return FALSE;
    }
}
