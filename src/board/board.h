// The question board: a scrolling child dialog holding one card per question.
#pragma once

#include <windows.h>

INT_PTR CALLBACK boardProc(HWND board, UINT message, WPARAM wParam, LPARAM lParam);
