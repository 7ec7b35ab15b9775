// The score: solved questions counted from the verdict labels, shown with their code.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

// Recounts solved questions from the board's verdict labels, rewrites solvedFlags, the header's
// score label and code field, then lays the board out again.
void updateScore(QuizState& state, HWND board);
