// Arithmetic of the question board's scrolling: where a scroll request leads and how the
// bars are fitted to the content, kept free of Win32 so it can be tested on its own.
#pragma once

#include <cstdint>

// What a scroll bar reports about itself, in pixels.
struct ScrollBarState {
    int32_t min;
    int32_t max;
    int32_t page;
    int32_t pos;
    int32_t trackPos;
};

// The board's own vertical requests besides the standard scroll bar codes: one wheel notch down,
// one notch up, and "scroll to the target position".
constexpr int kScrollWheelDown = 500;
constexpr int kScrollWheelUp = 501;
constexpr int kScrollToTarget = 502;

// Vertical arrows jump a whole card; the wheel moves a fraction of one.
constexpr int32_t kVerticalLineStep = 310;
constexpr int32_t kHorizontalLineStep = 1;
constexpr int32_t kWheelStep = 50;

// Position a vertical request asks for, before clamping. target is where kScrollToTarget leads.
// 64-bit so that no request near the ends of the int range can overflow.
int64_t verticalRequestPosition(const ScrollBarState& bar, int request, int32_t target);

// Position a horizontal request asks for, before clamping: only lines, pages and the thumb move.
int64_t horizontalRequestPosition(const ScrollBarState& bar, int request);

// Above max becomes max, and only then below min becomes min (so an inverted range yields min).
int32_t clampToBar(const ScrollBarState& bar, int64_t position);

// Range and page for one bar. The page is one less than the visible size so that the largest
// position the bar accepts is content - client.
struct ScrollBarFit {
    bool resetPosition;  // the content fits: back to 0 (the caller moves nothing)
    int32_t max;
    int32_t page;
};

ScrollBarFit fitScrollBar(int32_t contentSize, int32_t clientSize);

// Scroll position that brings a newly focused field fully into view, from the field's top and
// bottom in the board's client area, the client height and the current position: the field's
// bottom on the client's bottom when it lies below, its top on the client's top when above.
int32_t fieldRevealPosition(int32_t fieldTop, int32_t fieldBottom, int32_t clientHeight, int32_t position);
