// Scrolling of the question board: scroll bars fitted to the content, scroll requests,
// resizing and the mouse wheel.
#pragma once

#include <windows.h>

#include "board/scroll_math.h"
#include "quiz/quiz_state.h"

// Vertical position that kScrollToTarget scrolls to; set by the answer fields before they ask.
extern int scrollTarget;

// Fits both bars to contentWidth/contentHeight and the board's client size. Moves no control.
void setUpBoardScrollBars(QuizState& state, HWND board);

// Fits both bars again and returns how far each position went back (old minus new): where a bar
// no longer accepts its position, the content must follow it by that much so that controls stay
// at content position minus scroll position.
POINT refitBoardScrollBars(QuizState& state, HWND board);

// Moves the client area and every control on it by dx, dy.
void moveBoardContent(HWND board, int dx, int dy);

// Message handlers of the board; each returns FALSE (the wheel must go on to the parent).
INT_PTR onBoardSize(HWND board);
INT_PTR onBoardVScroll(HWND board, WPARAM request);
INT_PTR onBoardHScroll(HWND board, WPARAM request);
INT_PTR onBoardWheel(HWND board, WPARAM wheelParam);

// Turns exactly one wheel notch (+120 or -120) into one scroll request posted to the board; the
// board's own wheel and the main window's both come here.
void forwardWheel(HWND board, WPARAM wheelParam);
