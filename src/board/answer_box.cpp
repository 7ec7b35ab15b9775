// The answer fields' window procedure: every message the fields do not act on goes to the
// Edit class's own procedure, saved once when the first field is subclassed.
#include "board/answer_box.h"

namespace {
WNDPROC editProc = nullptr;
}

void installAnswerBoxProc(HWND field)
{
    WNDPROC previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerBoxProc)));
    if (!editProc)
        editProc = previous;
}

LRESULT CALLBACK answerBoxProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(editProc, field, message, wParam, lParam);
}
