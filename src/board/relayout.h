// Hiding the pictures of solved cards (header's "Cacher" box) and closing rows left empty.
#pragma once

#include "quiz/quiz_state.h"

// Does nothing while the board is being built (boardWindow not yet recorded).
void relayoutBoard(QuizState& state);
