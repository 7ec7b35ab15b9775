// Behaviour added to the board's answer fields by replacing their window procedure.
#pragma once

#include <windows.h>

// Replaces field's window procedure by answerBoxProc; the Edit class's own is kept to pass on to.
void installAnswerBoxProc(HWND field);

LRESULT CALLBACK answerBoxProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
