// The board's scrolling in-process: a shown board dialog with controls at known content
// positions, driven by scroll requests, real thumb drags, resizes and the mouse wheel.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "app/app.h"
#include "board/board_scroll.h"
#include "resource.h"
#include "test_support.h"

namespace {

constexpr int kContentWidth = 910;
constexpr int kContentHeight = 2000;
constexpr int kClientWidth = 400;
constexpr int kClientHeight = 300;
constexpr int kLastX = kContentWidth - kClientWidth;
constexpr int kLastY = kContentHeight - kClientHeight;

// Content positions of the probe controls: near the top left, in the middle, at the bottom right.
const POINT kProbes[] = {{20, 15}, {600, 1000}, {880, 1980}};
constexpr int kFirstProbeId = 100;

struct ScrollEvent {
    int bar;
    int code;
    int trackPos; // what the bar reported while the request arrived
    int posAfter;
};

// Filled by the test procedures below and emptied by each test's set-up.
std::vector<ScrollEvent> scrollLog;
int wheelsAtParent = 0;
WPARAM lastWheelAtParent = 0;

int trackPosition(HWND window, int bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window, bar, &info);
    return info.nTrackPos;
}

// Stands in for boardProc: the scrolling cases and nothing else.
INT_PTR CALLBACK testBoardProc(HWND board, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_SIZE:
        return onBoardSize(board);
    case WM_VSCROLL: {
        const int track = trackPosition(board, SB_VERT);
        const INT_PTR result = onBoardVScroll(board, wParam);
        scrollLog.push_back({SB_VERT, LOWORD(wParam), track, GetScrollPos(board, SB_VERT)});
        return result;
    }
    case WM_HSCROLL: {
        const int track = trackPosition(board, SB_HORZ);
        const INT_PTR result = onBoardHScroll(board, wParam);
        scrollLog.push_back({SB_HORZ, LOWORD(wParam), track, GetScrollPos(board, SB_HORZ)});
        return result;
    }
    case WM_MOUSEWHEEL:
        return onBoardWheel(board, wParam);
    default:
        return FALSE;
    }
}

// Stands in for the main window: only notes the wheel messages the board passes on.
LRESULT CALLBACK testParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEWHEEL) {
        ++wheelsAtParent;
        lastWheelAtParent = wParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr char kParentClass[] = "EnigoScrollTestParent";

std::vector<MSG> drainScrollRequests(HWND window)
{
    return drainPosted(window, WM_VSCROLL, WM_VSCROLL);
}

class BoardScroll : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = testParentProc;
        windowClass.hInstance = self();
        windowClass.lpszClassName = kParentClass;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
    }

    void SetUp() override
    {
        savedApp = app;
        state.contentWidth = kContentWidth;
        state.contentHeight = kContentHeight;
        app.quiz = &state;
        scrollTarget = 0;

        parent = CreateWindowExA(0, kParentClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr, nullptr,
                                 self(), nullptr);
        ASSERT_NE(parent, nullptr);
        board = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent, testBoardProc, 0);
        ASSERT_NE(board, nullptr);
        // As construction does: controls made at their content positions while the position is 0,
        // then the bars fitted, then the board shown and sized by its parent.
        for (int i = 0; i < static_cast<int>(std::size(kProbes)); ++i)
            makeChild("Static", "", WS_CHILD | WS_VISIBLE, kProbes[i].x, kProbes[i].y, 20, 10, board, kFirstProbeId + i);
        setUpBoardScrollBars(state, board);
        ShowWindow(board, SW_SHOW);
        ASSERT_TRUE(IsWindowVisible(board)) << "scrolling moves nothing on a hidden window";
        ASSERT_NO_FATAL_FAILURE(resizeClient(kClientWidth, kClientHeight));
        ASSERT_EQ(position(SB_HORZ), 0);
        ASSERT_EQ(position(SB_VERT), 0);
        scrollLog.clear();
        wheelsAtParent = 0;
    }

    void TearDown() override
    {
        if (parent)
            DestroyWindow(parent);
        drainScrollRequests(nullptr);
        app = savedApp;
    }

    void resizeClient(int width, int height) { ::resizeClient(board, width, height); }

    int position(int bar) const { return GetScrollPos(board, bar); }

    POINT probeInClient(int i) const
    {
        RECT rect;
        GetWindowRect(GetDlgItem(board, kFirstProbeId + i), &rect);
        POINT place = {rect.left, rect.top};
        ScreenToClient(board, &place);
        return place;
    }

    // Every control sits at its content position minus the scroll position.
    void expectProbesAt(int x, int y, const char* when) const
    {
        for (int i = 0; i < static_cast<int>(std::size(kProbes)); ++i) {
            POINT place = probeInClient(i);
            EXPECT_EQ(place.x, kProbes[i].x - x) << "probe " << i << " " << when;
            EXPECT_EQ(place.y, kProbes[i].y - y) << "probe " << i << " " << when;
        }
    }

    // Puts the board at a position with plain Win32 calls, independently of the handlers.
    void placeAt(int x, int y)
    {
        scrollTo(board, x, y);
        expectProbesAt(x, y, "after placing");
    }

    SCROLLINFO barInfo(int bar) const
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(board, bar, &info);
        return info;
    }

    DWORD barState(LONG object) const
    {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof info;
        EXPECT_TRUE(GetScrollBarInfo(board, object, &info));
        return info.rgstate[0];
    }

    // Presses the thumb of a bar, moves it by distance pixels along the bar and lets go,
    // all through the system's own thumb tracking.
    void dragThumb(int bar, int distance)
    {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetScrollBarInfo(board, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info));
        // The thumb's extent is measured from the bar's top (or left) edge, in screen pixels.
        const RECT& track = info.rcScrollBar;
        const int thumbMiddle = (info.xyThumbTop + info.xyThumbBottom) / 2;
        POINT press = bar == SB_VERT ? POINT{(track.left + track.right) / 2, track.top + thumbMiddle}
                                     : POINT{track.left + thumbMiddle, (track.top + track.bottom) / 2};
        POINT release = press;
        (bar == SB_VERT ? release.y : release.x) += distance;
        // The tracking loop reads the captured mouse in client coordinates.
        ScreenToClient(board, &release);
        const LPARAM at = MAKELPARAM(static_cast<WORD>(release.x), static_cast<WORD>(release.y));
        PostMessageA(board, WM_MOUSEMOVE, MK_LBUTTON, at);
        PostMessageA(board, WM_LBUTTONUP, 0, at);
        SendMessageA(board, WM_NCLBUTTONDOWN, bar == SB_VERT ? HTVSCROLL : HTHSCROLL, MAKELPARAM(press.x, press.y));
    }

    QuizState state = {};
    App savedApp = {};
    HWND parent = nullptr;
    HWND board = nullptr;
};

struct RequestCase {
    const char* name;
    UINT message;
    int startX;
    int startY;
    int request;
    int target;
    int expectedX;
    int expectedY;
};

class BoardRequests : public BoardScroll, public testing::WithParamInterface<RequestCase> {};

TEST_P(BoardRequests, MoveTheBarAndTheControlsTogether)
{
    const RequestCase& c = GetParam();
    placeAt(c.startX, c.startY);
    scrollTarget = c.target;
    SendMessageA(board, c.message, static_cast<WPARAM>(c.request), 0);
    EXPECT_EQ(position(SB_HORZ), c.expectedX);
    EXPECT_EQ(position(SB_VERT), c.expectedY);
    expectProbesAt(c.expectedX, c.expectedY, "after the request");
}

INSTANTIATE_TEST_SUITE_P(
    Vertical, BoardRequests,
    testing::Values(RequestCase{"ArrowUpIsOneCard", WM_VSCROLL, 100, 1000, 0, 0, 100, 690},
                    RequestCase{"ArrowUpNearTopStopsAtZero", WM_VSCROLL, 100, 200, 0, 0, 100, 0},
                    RequestCase{"ArrowDownIsOneCard", WM_VSCROLL, 100, 1000, 1, 0, 100, 1310},
                    RequestCase{"ArrowDownNearBottomStopsAtTheLastPosition", WM_VSCROLL, 100, 1500, 1, 0, 100, kLastY},
                    RequestCase{"PageUpIsClientHeightLessOne", WM_VSCROLL, 100, 1000, 2, 0, 100, 701},
                    RequestCase{"PageUpNearTopStopsAtZero", WM_VSCROLL, 100, 250, 2, 0, 100, 0},
                    RequestCase{"PageDownIsClientHeightLessOne", WM_VSCROLL, 100, 0, 3, 0, 100, 299},
                    RequestCase{"PageDownNearBottomStopsAtTheLastPosition", WM_VSCROLL, 100, 1600, 3, 0, 100, kLastY},
                    RequestCase{"ThumbReleaseChangesNothing", WM_VSCROLL, 100, 1000, 4, 0, 100, 1000},
                    RequestCase{"Top", WM_VSCROLL, 100, 1000, 6, 0, 100, 0},
                    RequestCase{"BottomIsContentLessClient", WM_VSCROLL, 100, 0, 7, 0, 100, kLastY},
                    RequestCase{"WheelDown", WM_VSCROLL, 100, 1000, 500, 0, 100, 1050},
                    RequestCase{"WheelDownAtBottomStays", WM_VSCROLL, 100, kLastY, 500, 0, 100, kLastY},
                    RequestCase{"WheelUp", WM_VSCROLL, 100, 1000, 501, 0, 100, 950},
                    RequestCase{"WheelUpNearTopStopsAtZero", WM_VSCROLL, 100, 30, 501, 0, 100, 0},
                    RequestCase{"ToTarget", WM_VSCROLL, 100, 0, 502, 1234, 100, 1234},
                    RequestCase{"ToTargetBeyondTheEnd", WM_VSCROLL, 100, 0, 502, 5000, 100, kLastY},
                    RequestCase{"ToTargetWithinTheBarMaximumButPastTheEnd", WM_VSCROLL, 100, 0, 502, 1900, 100, kLastY},
                    RequestCase{"ToTargetAboveTheTop", WM_VSCROLL, 100, 600, 502, -40, 100, 0},
                    RequestCase{"EndScrollChangesNothing", WM_VSCROLL, 100, 1000, SB_ENDSCROLL, 0, 100, 1000},
                    RequestCase{"UnknownCustomCode", WM_VSCROLL, 100, 1000, 503, 7, 100, 1000}),
    [](const testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Horizontal, BoardRequests,
    testing::Values(RequestCase{"ArrowLeftIsOnePixel", WM_HSCROLL, 100, 1000, 0, 0, 99, 1000},
                    RequestCase{"ArrowLeftAtZeroStays", WM_HSCROLL, 0, 1000, 0, 0, 0, 1000},
                    RequestCase{"ArrowRightIsOnePixel", WM_HSCROLL, 100, 1000, 1, 0, 101, 1000},
                    RequestCase{"ArrowRightAtTheLastPositionStays", WM_HSCROLL, kLastX, 1000, 1, 0, kLastX, 1000},
                    RequestCase{"PageLeftIsClientWidthLessOne", WM_HSCROLL, 450, 1000, 2, 0, 51, 1000},
                    RequestCase{"PageLeftNearZeroStopsAtZero", WM_HSCROLL, 100, 1000, 2, 0, 0, 1000},
                    RequestCase{"PageRightIsClientWidthLessOne", WM_HSCROLL, 0, 1000, 3, 0, 399, 1000},
                    RequestCase{"PageRightNearEndStopsAtTheLastPosition", WM_HSCROLL, 300, 1000, 3, 0, kLastX, 1000},
                    RequestCase{"ThumbReleaseChangesNothing", WM_HSCROLL, 100, 1000, 4, 0, 100, 1000},
                    RequestCase{"LeftEndIsIgnored", WM_HSCROLL, 100, 1000, 6, 0, 100, 1000},
                    RequestCase{"RightEndIsIgnored", WM_HSCROLL, 100, 1000, 7, 0, 100, 1000},
                    RequestCase{"WheelCodeIsIgnored", WM_HSCROLL, 100, 1000, 500, 0, 100, 1000},
                    RequestCase{"TargetCodeIsIgnored", WM_HSCROLL, 100, 1000, 502, 5000, 100, 1000}),
    [](const testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

TEST_F(BoardScroll, BarsAreFittedToContentAndClient)
{
    const SCROLLINFO horizontalBar = barInfo(SB_HORZ);
    EXPECT_EQ(horizontalBar.nMin, 0);
    EXPECT_EQ(horizontalBar.nMax, kContentWidth - 2);
    EXPECT_EQ(horizontalBar.nPage, static_cast<UINT>(kClientWidth - 1));
    const SCROLLINFO verticalBar = barInfo(SB_VERT);
    EXPECT_EQ(verticalBar.nMin, 0);
    EXPECT_EQ(verticalBar.nMax, kContentHeight - 2);
    EXPECT_EQ(verticalBar.nPage, static_cast<UINT>(kClientHeight - 1));
    for (LONG object : {OBJID_HSCROLL, OBJID_VSCROLL})
        EXPECT_EQ(barState(object) & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE), 0u);
}

TEST_F(BoardScroll, ContentOnePixelTooBigScrollsOnePixel)
{
    state.contentWidth = kClientWidth + 1;
    state.contentHeight = kClientHeight + 1;
    setUpBoardScrollBars(state, board);
    SendMessageA(board, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageA(board, WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(position(SB_HORZ), 1);
    EXPECT_EQ(position(SB_VERT), 1);
    expectProbesAt(1, 1, "at the end");
}

struct SmallContentCase {
    const char* name;
    int width;
    int height;
};

class SmallContent : public BoardScroll, public testing::WithParamInterface<SmallContentCase> {};

TEST_P(SmallContent, DisablesBothBarsAndNeverScrolls)
{
    const SmallContentCase& c = GetParam();
    placeAt(300, 1000);
    state.contentWidth = c.width;
    state.contentHeight = c.height;
    setUpBoardScrollBars(state, board);
    EXPECT_EQ(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), 0);
    expectProbesAt(300, 1000, "the fitting itself moves no control");
    for (LONG object : {OBJID_HSCROLL, OBJID_VSCROLL}) {
        EXPECT_NE(barState(object) & STATE_SYSTEM_UNAVAILABLE, 0u) << "an unneeded bar is disabled";
        EXPECT_EQ(barState(object) & STATE_SYSTEM_INVISIBLE, 0u) << "and stays shown";
    }
    RECT client;
    GetClientRect(board, &client);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);

    // Compensate as the callers of the fitting do; from here on no request may move anything.
    ScrollWindowEx(board, 300, 1000, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    expectProbesAt(0, 0, "after compensating");
    scrollTarget = 700;
    for (int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, kScrollRequestWheelDown, kScrollRequestTarget})
        SendMessageA(board, WM_VSCROLL, code, 0);
    for (int code : {SB_LINERIGHT, SB_PAGERIGHT})
        SendMessageA(board, WM_HSCROLL, code, 0);
    EXPECT_EQ(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), 0);
    expectProbesAt(0, 0, "after requests on a board larger than its content");
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallContent,
                         testing::Values(SmallContentCase{"Smaller", 300, 200},
                                         SmallContentCase{"ExactFit", kClientWidth, kClientHeight},
                                         // What construction leaves when no question gets a control.
                                         SmallContentCase{"NoQuestions", 20, 0}),
                         [](const testing::TestParamInfo<SmallContentCase>& info) { return info.param.name; });

TEST_F(BoardScroll, ContentSmallerThanTheBoardGivesAPageCoveringTheRange)
{
    state.contentWidth = 300;
    state.contentHeight = 200;
    setUpBoardScrollBars(state, board);
    const SCROLLINFO horizontalBar = barInfo(SB_HORZ);
    EXPECT_EQ(horizontalBar.nMax, 298);
    EXPECT_EQ(horizontalBar.nPage, 299u);
    const SCROLLINFO verticalBar = barInfo(SB_VERT);
    EXPECT_EQ(verticalBar.nMax, 198);
    EXPECT_EQ(verticalBar.nPage, 199u);
}

TEST_F(BoardScroll, EnlargingBeyondTheContentScrollsBackToZero)
{
    placeAt(300, 1000);
    resizeClient(kContentWidth, kContentHeight - 100);
    EXPECT_EQ(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), 100) << "still taller than the board: the largest position is now 100";
    expectProbesAt(0, 100, "after enlarging");
    EXPECT_NE(barState(OBJID_HSCROLL) & STATE_SYSTEM_UNAVAILABLE, 0u);
    EXPECT_EQ(barState(OBJID_VSCROLL) & STATE_SYSTEM_UNAVAILABLE, 0u);

    resizeClient(kContentWidth + 40, kContentHeight + 40);
    EXPECT_EQ(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), 0);
    expectProbesAt(0, 0, "after enlarging beyond the content");
    EXPECT_NE(barState(OBJID_VSCROLL) & STATE_SYSTEM_UNAVAILABLE, 0u);
}

TEST_F(BoardScroll, ShrinkingAtTheBottomKeepsThePositionAndEnlargingLowersIt)
{
    placeAt(0, 0);
    SendMessageA(board, WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_EQ(position(SB_VERT), kLastY);

    resizeClient(kClientWidth - 100, kClientHeight - 100);
    EXPECT_EQ(position(SB_VERT), kLastY);
    EXPECT_EQ(barInfo(SB_VERT).nPage, static_cast<UINT>(kClientHeight - 101));
    expectProbesAt(0, kLastY, "after shrinking");

    resizeClient(kClientWidth, kClientHeight + 200);
    EXPECT_EQ(position(SB_VERT), kLastY - 200);
    expectProbesAt(0, kLastY - 200, "after enlarging");
    EXPECT_EQ(probeInClient(2).y, 1980 - (kLastY - 200)) << "the content moved down by 200";
}

TEST_F(BoardScroll, SizeMessageReadsTheCurrentClientSize)
{
    placeAt(kLastX, kLastY);
    state.contentHeight = kContentHeight - 500;
    SendMessageA(board, WM_SIZE, SIZE_RESTORED, MAKELPARAM(kClientWidth, kClientHeight));
    EXPECT_EQ(position(SB_HORZ), kLastX);
    EXPECT_EQ(position(SB_VERT), kLastY - 500);
    expectProbesAt(kLastX, kLastY - 500, "after the content shrank");
}

struct DragCase {
    const char* name;
    int bar;
    int distance;
};

class ThumbDrag : public BoardScroll, public testing::WithParamInterface<DragCase> {};

TEST_P(ThumbDrag, ScrollsWhileDraggingAndNotOnRelease)
{
    const DragCase& c = GetParam();
    placeAt(100, 1000);
    const int start = position(c.bar);
    dragThumb(c.bar, c.distance);

    std::vector<ScrollEvent> events;
    for (const ScrollEvent& event : scrollLog)
        if (event.bar == c.bar)
            events.push_back(event);
    int lastTrack = start;
    bool tracked = false;
    bool released = false;
    for (const ScrollEvent& event : events) {
        if (event.code == SB_THUMBTRACK) {
            EXPECT_FALSE(released) << "tracking after the release";
            EXPECT_EQ(event.posAfter, event.trackPos) << "the content follows the thumb while it moves";
            lastTrack = event.trackPos;
            tracked = true;
        } else if (event.code == SB_THUMBPOSITION) {
            released = true;
            EXPECT_EQ(event.posAfter, lastTrack) << "the release moves nothing more";
        }
    }
    ASSERT_TRUE(tracked) << "the drag produced no tracking request";
    EXPECT_TRUE(released);
    EXPECT_NE(lastTrack, start);
    EXPECT_EQ((lastTrack > start), (c.distance > 0));
    EXPECT_EQ(position(c.bar), lastTrack);
    const int otherStart = c.bar == SB_VERT ? 100 : 1000;
    EXPECT_EQ(position(c.bar == SB_VERT ? SB_HORZ : SB_VERT), otherStart);
    expectProbesAt(position(SB_HORZ), position(SB_VERT), "after the drag");
}

INSTANTIATE_TEST_SUITE_P(Bars, ThumbDrag,
                         testing::Values(DragCase{"VerticalDown", SB_VERT, 60}, DragCase{"VerticalUp", SB_VERT, -40},
                                         DragCase{"HorizontalRight", SB_HORZ, 50},
                                         DragCase{"HorizontalLeft", SB_HORZ, -30}),
                         [](const testing::TestParamInfo<DragCase>& info) { return info.param.name; });

struct WheelCase {
    const char* name;
    int delta;
    int requests;
    WPARAM request;
    int moved;
};

class BoardWheel : public BoardScroll, public testing::WithParamInterface<WheelCase> {};

TEST_P(BoardWheel, PostsOneRequestPerNotchAndPassesTheWheelOn)
{
    const WheelCase& c = GetParam();
    placeAt(100, 1000);
    drainScrollRequests(board);
    const WPARAM wheel = MAKEWPARAM(MK_SHIFT, static_cast<WORD>(c.delta));
    EXPECT_EQ(onBoardWheel(board, wheel), FALSE);
    std::vector<MSG> posted = drainScrollRequests(board);
    ASSERT_EQ(static_cast<int>(posted.size()), c.requests);
    EXPECT_EQ(position(SB_VERT), 1000) << "posted, not carried out at once";

    SendMessageA(board, WM_MOUSEWHEEL, wheel, MAKELPARAM(50, 50));
    EXPECT_EQ(wheelsAtParent, 1) << "default processing hands the wheel to the parent";
    EXPECT_EQ(lastWheelAtParent, wheel);
    posted = drainScrollRequests(board);
    ASSERT_EQ(static_cast<int>(posted.size()), c.requests);
    for (MSG& message : posted) {
        EXPECT_EQ(message.wParam, c.request);
        EXPECT_EQ(message.lParam, 0);
        DispatchMessageA(&message);
    }
    EXPECT_EQ(position(SB_VERT), 1000 + c.moved);
    EXPECT_EQ(position(SB_HORZ), 100);
    expectProbesAt(100, 1000 + c.moved, "after the wheel");
}

INSTANTIATE_TEST_SUITE_P(Deltas, BoardWheel,
                         testing::Values(WheelCase{"NotchAway", 120, 1, 501, -50},
                                         WheelCase{"NotchToward", -120, 1, 500, 50},
                                         WheelCase{"FastDoubleNotchAway", 240, 0, 0, 0},
                                         WheelCase{"FastDoubleNotchToward", -240, 0, 0, 0},
                                         WheelCase{"FineGrained", 30, 0, 0, 0}, WheelCase{"Zero", 0, 0, 0, 0}),
                         [](const testing::TestParamInfo<WheelCase>& info) { return info.param.name; });

} // namespace
