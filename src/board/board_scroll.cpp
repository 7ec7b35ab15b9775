// The board's scroll bars and scroll requests: reads the bars, asks scroll_math where to go,
// and moves the client area with its controls by what the bar accepted.
#include "board/board_scroll.h"

#include "base/app.h"

int scrollTarget = 0;

namespace {

ScrollBarState readBar(HWND board, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(board, bar, &info);
    return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

// Sets the bar, then moves the content by how far the bar really went; the bar, not the
// request, knows the largest position (content - client).
void scrollTo(HWND board, int bar, int32_t from, int32_t position)
{
    SetScrollPos(board, bar, position, TRUE);
    const int moved = from - GetScrollPos(board, bar);
    moveBoardContent(board, bar == SB_HORZ ? moved : 0, bar == SB_VERT ? moved : 0);
}

// Under Wine a bar redrawn by SetScrollInfo costs ~5 ms even when nothing changed, and a relayout
// follows every verdict: a bar that already has its range and page is left alone, and a changed
// one is repainted with the board's next paint instead of at once.
void fitBar(HWND board, int bar, const ScrollBarFit& fit)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (GetScrollInfo(board, bar, &info) && info.nMin == 0 && info.nMax == fit.max &&
        info.nPage == static_cast<UINT>(fit.page))
        return;
    // An unneeded bar stays shown, disabled, so the client size does not change under the caller.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = fit.max;
    info.nPage = static_cast<UINT>(fit.page);
    SetScrollInfo(board, bar, &info, FALSE);
    RedrawWindow(board, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

}  // namespace

void setUpBoardScrollBars(QuizState& state, HWND board)
{
    RECT client;
    GetClientRect(board, &client);
    const ScrollBarFit horizontal = fitScrollBar(state.contentWidth, client.right);
    const ScrollBarFit vertical = fitScrollBar(state.contentHeight, client.bottom);
    if (horizontal.resetPosition)
        SetScrollPos(board, SB_HORZ, 0, FALSE);
    if (vertical.resetPosition)
        SetScrollPos(board, SB_VERT, 0, FALSE);
    fitBar(board, SB_HORZ, horizontal);
    fitBar(board, SB_VERT, vertical);
}

POINT refitBoardScrollBars(QuizState& state, HWND board)
{
    const int oldX = GetScrollPos(board, SB_HORZ);
    const int oldY = GetScrollPos(board, SB_VERT);
    setUpBoardScrollBars(state, board);
    return {oldX - GetScrollPos(board, SB_HORZ), oldY - GetScrollPos(board, SB_VERT)};
}

void moveBoardContent(HWND board, int dx, int dy)
{
    ScrollWindowEx(board, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

INT_PTR onBoardSize(HWND board)
{
    const POINT shift = refitBoardScrollBars(*app.quiz, board);
    moveBoardContent(board, shift.x, shift.y);
    return FALSE;
}

INT_PTR onBoardVScroll(HWND board, WPARAM request)
{
    const ScrollBarState bar = readBar(board, SB_VERT);
    scrollTo(board, SB_VERT, bar.pos, clampToBar(bar, verticalRequestPosition(bar, LOWORD(request), scrollTarget)));
    return FALSE;
}

INT_PTR onBoardHScroll(HWND board, WPARAM request)
{
    const ScrollBarState bar = readBar(board, SB_HORZ);
    scrollTo(board, SB_HORZ, bar.pos, clampToBar(bar, horizontalRequestPosition(bar, LOWORD(request))));
    return FALSE;
}

INT_PTR onBoardWheel(HWND board, WPARAM wheelParam)
{
    forwardWheel(board, wheelParam);
    // Not handled, so default processing hands the wheel on to the main window as well.
    return FALSE;
}

void forwardWheel(HWND board, WPARAM wheelParam)
{
    // Read as an unsigned 16-bit value on purpose: one notch up is 120, one down is 65416, and only
    // exactly one notch either way counts, never a multiple.
    const unsigned delta = HIWORD(wheelParam);
    if (delta == WHEEL_DELTA)
        PostMessageA(board, WM_VSCROLL, kScrollWheelUp, 0);
    else if (delta == 0x10000u - WHEEL_DELTA)
        PostMessageA(board, WM_VSCROLL, kScrollWheelDown, 0);
}
