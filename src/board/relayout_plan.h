// What one relayout of the board decides when "Cacher" is ticked or cleared: which pictures hide or
// come back, which rows close or reopen, how far each card's controls move. Free of Win32.
#pragma once

#include <cstdint>

#include "quiz/quiz_state.h"

// cardStates values
constexpr int32_t kCardShown = 0;
constexpr int32_t kCardHidden = 1;
// A hidden card that is the third of a row whose picture band has been closed.
constexpr int32_t kCardClosedRow = 2;

enum class PictureChange : uint8_t { None, Hide, Show };

// One card's part of a relayout; shifts in pixels, negative upwards, 0 when nothing moves.
struct CardMove {
    PictureChange picture;
    // The picture control moves only with rows closed or reopened above it.
    int32_t pictureShift;
    // Answer fields, verdict labels, number and reveal labels: those rows plus the card's own hiding.
    int32_t fieldShift;
};

struct RelayoutPlan {
    int cardCount;                   // cards 1 to cardCount take part
    CardMove cards[kFlagSlots];      // by question number
    int32_t cardStates[kFlagSlots];  // the new cardStates, by question number
    int32_t contentHeight;
};

// The hide pass when hideSolved (the box is ticked), the show pass otherwise. Reads questionCount,
// rowHeights, solvedFlags, cardStates and contentHeight; the caller applies the result.
RelayoutPlan planRelayout(const QuizState& state, bool hideSolved);

// Ids of the controls that move with a card's answer: answer fields, verdict labels, number label and
// reveal label (some may not exist on the board, such as reveal labels in a mode without them).
struct CardFieldIds {
    int count;
    int ids[6];
};
CardFieldIds cardFieldIds(const QuizState& state, int question);
