// The process-wide objects that every window procedure reaches: the quiz state, the two
// child dialogs, the version label's brush and the module whose resources hold the quiz.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

struct App {
    HINSTANCE module;
    QuizState* quiz;
    HWND headerWindow;
    HWND boardWindow;
    HBRUSH labelBrush;
};

extern App app;
