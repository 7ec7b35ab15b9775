// Fonts and brushes owned by the quiz state: created once at start, deleted once at exit.
#include "quiz/quiz_state_win.h"

#include <cstring>

namespace {

// All fonts start from a zero-filled LOGFONT: character set, quality and the rest stay 0.
HFONT makeFont(const char* face, LONG height, LONG weight, bool italic)
{
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfItalic = italic ? TRUE : FALSE;
    if (face)
        std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

template <typename Handle>
void deleteHandle(Handle& handle)
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

}  // namespace

COLORREF backgroundColour(const QuizState& state)
{
    return RGB(state.backRed, state.backGreen, state.backBlue);
}

void replaceBackBrush(QuizState& state)
{
    deleteHandle(state.backBrush);
    state.backBrush = CreateSolidBrush(backgroundColour(state));
}

void initQuizState(QuizState& state)
{
    resetQuizData(state);
    state.scoreFont = makeFont("Arial", 25, 400, false);
    state.titleFont = makeFont(nullptr, -15, 700, true);
    state.backBrush = CreateSolidBrush(backgroundColour(state));
    state.wrongBrush = CreateSolidBrush(RGB(255, 0, 0));
    state.anagramBrush = CreateSolidBrush(RGB(255, 100, 0));
    state.hintBrush = CreateSolidBrush(RGB(255, 203, 38));
    state.captionBrush = CreateSolidBrush(RGB(255, 255, 192));
}

void createBoardFont(QuizState& state)
{
    deleteHandle(state.boardFont);
    state.boardFont = makeFont(nullptr, 15, 100, false);
}

void releaseQuizState(QuizState& state)
{
    deleteHandle(state.backBrush);
    deleteHandle(state.wrongBrush);
    deleteHandle(state.anagramBrush);
    deleteHandle(state.hintBrush);
    deleteHandle(state.captionBrush);
    deleteHandle(state.titleFont);
    deleteHandle(state.boardFont);
    deleteHandle(state.scoreFont);
    releaseQuestions(state);
}
