// The process-wide objects that every window procedure reaches: the module whose resources hold
// the quiz, the quiz state, the two child dialogs and the version label's brush.
#pragma once

#include <windows.h>

// Declared only: the quiz state lives above this folder (quiz/quiz_state.h).
struct QuizState;

struct App {
    HINSTANCE module;
    QuizState* quiz;
    HWND headerWindow;
    HWND boardWindow;
    HBRUSH labelBrush;
};

// Defined in base/app.cpp; all zero until start-up fills it.
extern App app;
