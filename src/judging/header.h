// The header panel: title, author, explanation, score and code above the board.
#pragma once

#include <windows.h>

INT_PTR CALLBACK headerProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
