// Scrolling of the question board: scroll bars fitted to the content, scroll requests,
// resizing and the mouse wheel.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

// Custom vertical requests: one wheel notch down, one up, and "scroll to scrollTarget".
constexpr int kScrollRequestWheelDown = 500;
constexpr int kScrollRequestWheelUp = 501;
constexpr int kScrollRequestTarget = 502;

// Vertical position that request 502 scrolls to; set by the answer fields before they ask.
extern int scrollTarget;

// Fits both bars to contentWidth/contentHeight and the board's client size. Moves no control.
void setUpBoardScrollBars(QuizState& state, HWND board);

// Message handlers of the board; each returns FALSE (the wheel must go on to the parent).
INT_PTR onBoardSize(HWND board);
INT_PTR onBoardVScroll(HWND board, WPARAM request);
INT_PTR onBoardHScroll(HWND board, WPARAM request);
INT_PTR onBoardWheel(HWND board, WPARAM wheelParam);
