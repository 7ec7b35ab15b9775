// Loads the quiz carried by a module's resources into the quiz state.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

// Decodes the quiz record and the code lines (base/quiz_resources.h) of module into state (after
// initQuizState). Failures are reported by message boxes and leave the state as documented in the
// .cpp; never fails hard.
void loadQuiz(QuizState& state, HMODULE module);

// The quiz shown when the module carries no quiz at all.
void setBuiltInQuiz(QuizState& state);
