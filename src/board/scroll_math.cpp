// New scroll positions for the board's requests and the bar parameters fitted to its content.
#include "board/scroll_math.h"

namespace {

// Standard scroll bar codes, spelled out here because this file does not see <windows.h>.
constexpr int kLineUp = 0;
constexpr int kLineDown = 1;
constexpr int kPageUp = 2;
constexpr int kPageDown = 3;
constexpr int kThumbTrack = 5;
constexpr int kTop = 6;
constexpr int kBottom = 7;

}  // namespace

namespace {

// The requests both bars understand: lines of lineStep pixels, pages and the dragged thumb.
int64_t commonRequestPosition(const ScrollBarState& bar, int request, int32_t lineStep)
{
    const int64_t p = bar.pos;
    switch (request) {
    case kLineUp:
        return p - lineStep;
    case kLineDown:
        return p + lineStep;
    case kPageUp:
        return p - bar.page;
    case kPageDown:
        return p + bar.page;
    case kThumbTrack:
        return bar.trackPos;
    default:
        // Thumb release and end-of-scroll included: dragging has already put the content in place.
        return p;
    }
}

}  // namespace

int64_t verticalRequestPosition(const ScrollBarState& bar, int request, int32_t target)
{
    switch (request) {
    case kTop:
        return 0;
    case kBottom:
        return bar.max;
    case kScrollWheelDown:
        return int64_t{bar.pos} + kWheelStep;
    case kScrollWheelUp:
        return int64_t{bar.pos} - kWheelStep;
    case kScrollToTarget:
        return target;
    default:
        return commonRequestPosition(bar, request, kVerticalLineStep);
    }
}

// The horizontal bar has no jump to either end and takes none of the custom requests.
int64_t horizontalRequestPosition(const ScrollBarState& bar, int request)
{
    return commonRequestPosition(bar, request, kHorizontalLineStep);
}

int32_t clampToBar(const ScrollBarState& bar, int64_t position)
{
    if (position > bar.max)
        position = bar.max;
    if (position < bar.min)
        position = bar.min;
    return static_cast<int32_t>(position);
}

ScrollBarFit fitScrollBar(int32_t contentSize, int32_t clientSize)
{
    const bool fits = contentSize <= clientSize;
    const int32_t visible = fits ? contentSize : clientSize;
    return {fits, contentSize - 2, visible - 1};
}

int32_t fieldRevealPosition(int32_t fieldTop, int32_t fieldBottom, int32_t clientHeight, int32_t position)
{
    if (fieldBottom > clientHeight)
        return position + (fieldBottom - clientHeight);
    if (fieldTop < 0)
        return position + fieldTop;
    return position;
}
