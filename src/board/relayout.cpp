// Solved-card relayout on the real board: carries out the planned picture changes and moves,
// then refits the scroll bars and moves the content by whatever position they no longer accept.
#include "board/relayout.h"

#include <windows.h>

#include <cstring>

#include "board/board_controls.h"
#include "board/board_ids.h"
#include "board/board_scroll.h"
#include "board/relayout_plan.h"
#include "judging/header_ids.h"

namespace {

// Relative to where the control is now, so the current scroll position needs no accounting.
// One rectangle query and one move; size and stacking order stay. Missing controls are skipped.
// Closing a row moves some 500 controls: under Wine each move that repaints costs ~360 us against
// ~90 us without, so the moves paint nothing and the board is repainted once afterwards.
void moveControl(HWND board, HWND control, int32_t shift)
{
    if (!control)
        return;
    RECT rect;
    GetWindowRect(control, &rect);
    POINT topLeft = {rect.left, rect.top + shift};
    MapWindowPoints(HWND_DESKTOP, board, &topLeft, 1);
    SetWindowPos(control, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
}

// A card with nothing to do costs no window call at all. True when the card's controls moved.
bool applyCardMove(const QuizState& state, HWND board, int question, const CardMove& move)
{
    if (move.picture != PictureChange::None || move.pictureShift != 0) {
        HWND picture = controlOf(boardControls, board, pictureControlId(question));
        if (picture && move.picture == PictureChange::Hide)
            ShowWindow(picture, SW_HIDE);
        else if (picture && move.picture == PictureChange::Show)
            ShowWindow(picture, SW_SHOWNORMAL);
        if (move.pictureShift != 0)
            moveControl(board, picture, move.pictureShift);
    }
    if (move.fieldShift != 0) {
        const CardFieldIds controls = cardFieldIds(state, question);
        for (int i = 0; i < controls.count; ++i)
            moveControl(board, controlOf(boardControls, board, controls.ids[i]), move.fieldShift);
    }
    return move.pictureShift != 0 || move.fieldShift != 0;
}

}  // namespace

void relayoutBoard(QuizState& state)
{
    HWND board = state.boardWindow;
    if (!board)
        return;
    HWND hide = controlOf(headerControls, state.headerWindow, kHeaderHideId);
    const bool hideSolved = SendMessageA(hide, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const RelayoutPlan plan = planRelayout(state, hideSolved);
    bool moved = false;
    for (int question = 1; question <= plan.cardCount; ++question)
        moved = applyCardMove(state, board, question, plan.cards[question]) || moved;
    // The moves painted nothing: the board and its controls are painted again once, where they are now.
    if (moved)
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    std::memcpy(state.cardStates, plan.cardStates, sizeof state.cardStates);
    state.contentHeight = plan.contentHeight;

    // A shorter content may lower the largest position the bars accept; the content then follows,
    // as on resize. A relayout follows every verdict change, so when no bar moved it leaves the
    // controls alone.
    const POINT shift = refitBoardScrollBars(state, board);
    if (shift.x != 0 || shift.y != 0)
        moveBoardContent(board, shift.x, shift.y);
}
