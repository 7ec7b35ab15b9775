// Creation and release of the quiz state's fonts and brushes.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

// Resets the data fields and creates scoreFont, titleFont, backBrush and the four verdict brushes.
void initQuizState(QuizState& state);

// Creates boardFont; the board calls it when it initialises.
void createBoardFont(QuizState& state);

// Deletes the fonts and brushes, then every question record.
void releaseQuizState(QuizState& state);

// Replaces backBrush by a solid brush of the state's background colour.
void replaceBackBrush(QuizState& state);

COLORREF backgroundColour(const QuizState& state);
