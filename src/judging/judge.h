// Judging of one answer field against the stored answer, and what a verdict reveals.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

void judgeAnswer(QuizState& state, HWND board, int answerFieldId);
