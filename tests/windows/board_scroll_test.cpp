// A shown board with probe controls: the bars and the controls move together (the arithmetic is pinned on the host).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/app.h"
#include "board/board_scroll.h"
#include "resource.h"
#include "test_support.h"

namespace {

constexpr int kContentW = 910, kContentH = 2000, kClientW = 400, kClientH = 300;
constexpr int kLastX = kContentW - kClientW, kLastY = kContentH - kClientH;

// Probe controls near the top left, in the middle and at the bottom right of the content.
const POINT kProbes[] = {{20, 15}, {600, 1000}, {880, 1980}};

int wheelsAtParent = 0;

INT_PTR CALLBACK testBoardProc(HWND board, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_SIZE:
        return onBoardSize(board);
    case WM_VSCROLL:
        return onBoardVScroll(board, wParam);
    case WM_HSCROLL:
        return onBoardHScroll(board, wParam);
    case WM_MOUSEWHEEL:
        return onBoardWheel(board, wParam);
    default:
        return FALSE;
    }
}

LRESULT CALLBACK testParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    wheelsAtParent += message == WM_MOUSEWHEEL;
    return DefWindowProcA(window, message, wParam, lParam);
}

class BoardScroll : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = testParentProc, windowClass.hInstance = self();
        windowClass.lpszClassName = "EnigoScrollTestParent";
        RegisterClassA(&windowClass);
    }

    // As construction does: controls at their content positions, the bars fitted, then shown and sized.
    void SetUp() override
    {
        savedApp = app;
        state.contentWidth = kContentW;
        state.contentHeight = kContentH;
        app.quiz = &state;
        parent = CreateWindowExA(0, "EnigoScrollTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr,
                                 nullptr, self(), nullptr);
        board = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent, testBoardProc, 0);
        ASSERT_NE(board, nullptr);
        for (int i = 0; i < 3; ++i)
            makeChild("Static", "", WS_CHILD | WS_VISIBLE, kProbes[i].x, kProbes[i].y, 20, 10, board, 100 + i);
        setUpBoardScrollBars(state, board);
        ShowWindow(board, SW_SHOW);  // scrolling moves nothing on a hidden window
        resizeClient(board, kClientW, kClientH);
        wheelsAtParent = 0;
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        drainPosted(nullptr);
        app = savedApp;
    }

    // "x,y" of the bars, and "!" after it for each control away from its content position minus them.
    std::string where() const
    {
        const int x = GetScrollPos(board, SB_HORZ), y = GetScrollPos(board, SB_VERT);
        std::string result = std::to_string(x) + "," + std::to_string(y);
        for (int i = 0; i < 3; ++i) {
            const RECT place = placeIn(GetDlgItem(board, 100 + i));
            if (place.left != kProbes[i].x - x || place.top != kProbes[i].y - y)
                result += " !" + std::to_string(i);
        }
        return result;
    }

    void placeAt(int x, int y)
    {
        scrollTo(board, x, y);
        ASSERT_EQ(where(), std::to_string(x) + "," + std::to_string(y));
    }

    // "max/page" of a bar, with " off" when it is disabled and " hidden" when it is not shown.
    std::string bar(int which) const
    {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(board, which, &info);
        SCROLLBARINFO shown{};
        shown.cbSize = sizeof shown;
        GetScrollBarInfo(board, which == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &shown);
        return std::to_string(info.nMin) + ".." + std::to_string(info.nMax) + "/" + std::to_string(info.nPage) +
               (shown.rgstate[0] & STATE_SYSTEM_UNAVAILABLE ? " off" : "") +
               (shown.rgstate[0] & STATE_SYSTEM_INVISIBLE ? " hidden" : "");
    }

    QuizState state = {};
    App savedApp = {};
    HWND parent = nullptr;
    HWND board = nullptr;
};

TEST_F(BoardScroll, RequestsMoveTheBarAndTheControlsTogether)
{
    const struct {
        UINT message;
        int x, y, code, target;
        const char* after;
    } cases[] = {
        {WM_VSCROLL, 100, 1000, SB_LINEUP, 0, "100,690"},
        {WM_VSCROLL, 100, 1000, SB_LINEDOWN, 0, "100,1310"},
        {WM_VSCROLL, 100, 1000, SB_PAGEUP, 0, "100,701"},
        {WM_VSCROLL, 100, 1600, SB_PAGEDOWN, 0, "100,1700"},
        {WM_VSCROLL, 100, 1000, SB_THUMBPOSITION, 0, "100,1000"},
        {WM_VSCROLL, 100, 1000, SB_TOP, 0, "100,0"},
        {WM_VSCROLL, 100, 0, SB_BOTTOM, 0, "100,1700"},
        {WM_VSCROLL, 100, 1000, 500, 0, "100,1050"},
        {WM_VSCROLL, 100, 30, 501, 0, "100,0"},
        // Inside the bar's range but past the content's end: the bar knows the last position.
        {WM_VSCROLL, 100, 0, 502, 1900, "100,1700"},
        {WM_VSCROLL, 100, 1000, 503, 7, "100,1000"},
        {WM_HSCROLL, 100, 1000, SB_LINELEFT, 0, "99,1000"},
        {WM_HSCROLL, 300, 1000, SB_PAGERIGHT, 0, "510,1000"},
        {WM_HSCROLL, 100, 1000, SB_RIGHT, 0, "100,1000"},
        {WM_HSCROLL, 100, 1000, 502, 5000, "100,1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.message) + " code " + std::to_string(c.code) + " from " + std::to_string(c.y));
        placeAt(c.x, c.y);
        scrollTarget = c.target;
        SendMessageA(board, c.message, c.code, 0);
        EXPECT_EQ(where(), c.after);
    }
}

TEST_F(BoardScroll, BarsFitContentAndStayShownWhenUnneeded)
{
    EXPECT_EQ(bar(SB_HORZ) + " | " + bar(SB_VERT), "0..908/399 | 0..1998/299");
    // Larger than its content, an exact fit, no question at all: never scrolls.
    const struct {
        int width, height;
        const char* bars;
    } cases[] = {{300, 200, "0..298/299 off | 0..198/199 off"},
                 {kClientW, kClientH, "0..398/399 off | 0..298/299 off"},
                 {20, 0, "0..18/19 off | 0..0/0 off"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bars);
        state.contentWidth = kContentW, state.contentHeight = kContentH;
        setUpBoardScrollBars(state, board);
        placeAt(300, 1000);
        state.contentWidth = c.width, state.contentHeight = c.height;
        setUpBoardScrollBars(state, board);
        EXPECT_EQ(bar(SB_HORZ) + " | " + bar(SB_VERT), c.bars);
        EXPECT_EQ(where(), "0,0 !0 !1 !2") << "the fitting resets the bars and moves no control";
        RECT client;
        GetClientRect(board, &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, kClientW * 1000 + kClientH) << "the client size stays";
        ScrollWindowEx(board, 300, 1000, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
        scrollTarget = 700;
        for (int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, 500, 502})
            SendMessageA(board, WM_VSCROLL, code, 0);
        for (int code : {SB_LINERIGHT, SB_PAGERIGHT})
            SendMessageA(board, WM_HSCROLL, code, 0);
        EXPECT_EQ(where(), "0,0");
    }
}

// Shrinking at the bottom keeps the position, enlarging lowers it (to zero past the content); the content is read afresh.
TEST_F(BoardScroll, ResizingKeepsBarsAndControlsConsistent)
{
    SendMessageA(board, WM_VSCROLL, SB_BOTTOM, 0);
    resizeClient(board, kClientW - 100, kClientH - 100);
    EXPECT_EQ(where(), "0,1700");
    EXPECT_EQ(bar(SB_VERT), "0..1998/199");
    resizeClient(board, kClientW, kClientH + 200);
    EXPECT_EQ(where(), "0,1500");
    placeAt(300, 1000);
    resizeClient(board, kContentW, kContentH - 100);
    EXPECT_EQ(where(), "0,100");
    EXPECT_EQ(bar(SB_HORZ) + " | " + bar(SB_VERT), "0..908/909 off | 0..1998/1899");
    resizeClient(board, kContentW + 40, kContentH + 40);
    EXPECT_EQ(where(), "0,0");

    resizeClient(board, kClientW, kClientH);
    placeAt(kLastX, kLastY);
    state.contentHeight = kContentH - 500;
    SendMessageA(board, WM_SIZE, SIZE_RESTORED, MAKELPARAM(kClientW, kClientH));
    EXPECT_EQ(where(), "510,1200");
}

// The system's thumb tracking (pressed, moved, released) is the only source of SB_THUMBTRACK's position.
TEST_F(BoardScroll, ThumbDragScrollsThatBarOnly)
{
    for (auto [which, distance] : {std::pair{SB_VERT, 60}, {SB_HORZ, -30}}) {
        SCOPED_TRACE(std::to_string(which) + " by " + std::to_string(distance));
        placeAt(100, 1000);
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        GetScrollBarInfo(board, which == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
        const RECT& track = info.rcScrollBar;
        const int thumb = (info.xyThumbTop + info.xyThumbBottom) / 2;
        POINT press = which == SB_VERT ? POINT{(track.left + track.right) / 2, track.top + thumb}
                                       : POINT{track.left + thumb, (track.top + track.bottom) / 2};
        POINT release = press;
        (which == SB_VERT ? release.y : release.x) += distance;
        ScreenToClient(board, &release);
        const LPARAM at = MAKELPARAM(release.x, release.y);
        PostMessageA(board, WM_MOUSEMOVE, MK_LBUTTON, at);
        PostMessageA(board, WM_LBUTTONUP, 0, at);
        SendMessageA(board, WM_NCLBUTTONDOWN, which == SB_VERT ? HTVSCROLL : HTHSCROLL, MAKELPARAM(press.x, press.y));

        const int x = GetScrollPos(board, SB_HORZ), y = GetScrollPos(board, SB_VERT);
        const int moved = which == SB_VERT ? y - 1000 : x - 100;
        EXPECT_TRUE(moved != 0 && (moved > 0) == (distance > 0)) << moved;
        EXPECT_EQ(which == SB_VERT ? x : y, which == SB_VERT ? 100 : 1000);
        EXPECT_EQ(where(), std::to_string(x) + "," + std::to_string(y));
    }
}

// One notch either way posts one request, anything else none; the wheel goes on to the parent.
TEST_F(BoardScroll, WheelPostsOneRequestPerNotch)
{
    const struct {
        int delta;
        WPARAM request;  // 0: none posted
        const char* after;
    } cases[] = {{120, 501, "100,950"}, {-120, 500, "100,1050"}, {240, 0, "100,1000"}, {-240, 0, "100,1000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delta);
        placeAt(100, 1000);
        wheelsAtParent = 0;
        SendMessageA(board, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, c.delta), MAKELPARAM(50, 50));
        EXPECT_EQ(wheelsAtParent, 1);
        std::vector<MSG> posted = drainPosted(board, WM_VSCROLL, WM_VSCROLL);
        ASSERT_EQ(posted.size(), c.request ? 1u : 0u);
        for (MSG& message : posted) {
            EXPECT_EQ(message.wParam, c.request);
            EXPECT_EQ(message.lParam, 0);
            EXPECT_EQ(where(), "100,1000") << "posted, not carried out at once";
            DispatchMessageA(&message);
        }
        EXPECT_EQ(where(), c.after);
    }
}

} // namespace
