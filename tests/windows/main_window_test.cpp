// The main window: class, creation, centring, layout, version label, wheel, closing; the quiz state's GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/app.h"
#include "board/board_scroll.h"
#include "quiz/quiz_state_win.h"
#include "test_support.h"

namespace {

std::string place(HWND window)
{
    const RECT r = placeIn(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// The real main window with its two dialogs, as start-up makes them, on a fresh quiz state.
class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        registerMainWindowClass(self());
        app.labelBrush = CreateSolidBrush(kLabelColour);
        copyText(app.quiz->title, "Capitales d'Europe \xE9t\xE9");
        main = createMainWindow(self());
        ASSERT_NE(main, nullptr);
    }

    void TearDown() override
    {
        if (IsWindow(main))
            DestroyWindow(main);
        drainPosted(nullptr);
        DeleteObject(app.labelBrush);
    }

    // Board, header and version label, as placed and as laid out from a client size.
    std::string layout() const
    {
        return place(app.boardWindow) + " | " + place(app.headerWindow) + " | " + place(GetDlgItem(main, kVersionLabelId));
    }
    static std::string layoutFor(int w, int h)
    {
        return "5,50 " + std::to_string(w - 11) + "x" + std::to_string(h - 68) + " | 5,2 " + std::to_string(w - 11) +
               "x49 | " + std::to_string(w - 145) + "," + std::to_string(h - 16) + " 150x15";
    }
    std::string clientLayout() const
    {
        RECT client;
        GetClientRect(main, &client);
        return layoutFor(client.right, client.bottom);
    }

    QuizApp quizApp_;
    HWND main = nullptr;
};

TEST(MainWindowClass, IsRegisteredAsTheProgramExpects)
{
    registerMainWindowClass(self());
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(self(), kMainWindowClass, &info));
    EXPECT_EQ(info.style, UINT(CS_DBLCLKS));
    EXPECT_EQ(info.lpfnWndProc, mainWindowProc);
    EXPECT_EQ(info.cbClsExtra + info.cbWndExtra, 0);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.lpszMenuName, nullptr);
}

TEST_F(MainWindow, IsTitledCentredAndShownWithBothDialogs)
{
    EXPECT_EQ(textOf(main), app.quiz->title);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(place(main), std::to_string(desktop.left + (desktop.right - desktop.left - kMainWindowWidth) / 2) + "," +
                               std::to_string(desktop.top + (desktop.bottom - desktop.top - kMainWindowHeight) / 2) +
                               " 544x375");
    EXPECT_FALSE(IsIconic(main) || IsZoomed(main));
    for (HWND child : {app.headerWindow, app.boardWindow})
        EXPECT_TRUE(IsWindowVisible(child) && GetParent(child) == main);
    EXPECT_TRUE(app.quiz->boardWindow == app.boardWindow && app.quiz->headerWindow == app.headerWindow);
}

// Laid out from the client size at creation and on every resize; a minimised window keeps it.
TEST_F(MainWindow, LaysOutItsChildrenFromTheClientArea)
{
    EXPECT_EQ(layout(), clientLayout());
    for (int width : {700, 320}) {
        SetWindowPos(main, nullptr, 0, 0, width, width * 2 / 3, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(layout(), clientLayout());
    }
    const std::string before = layout();
    ShowWindow(main, SW_MINIMIZE);
    EXPECT_EQ(layout(), before);
    ShowWindow(main, SW_RESTORE);
    EXPECT_EQ(layout(), clientLayout());
    SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    SendMessageA(main, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(layout(), layoutFor(800, 600));
}

TEST_F(MainWindow, VersionLabelCarriesItsTextFontAndBrush)
{
    HWND version = GetDlgItem(main, kVersionLabelId);
    // Windows-1252 bytes, two trailing blanks.
    EXPECT_EQ(textOf(version), "R\xE9" "alis\xE9" " avec la version 2.1.6  ");
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(version, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = GetDC(version);
    auto colour = [&](HWND control) {
        return SendMessageA(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    };
    EXPECT_EQ(colour(version), reinterpret_cast<LRESULT>(app.labelBrush));
    EXPECT_EQ(GetBkColor(dc), kLabelColour);
    EXPECT_EQ(colour(createLabel(main, "autre", 0, 0, 10, 10, 8001)), 0);
    EXPECT_EQ(SendMessageA(app.boardWindow, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0),
              reinterpret_cast<LRESULT>(app.quiz->backBrush)) << "the board paints the quiz background";
    ReleaseDC(version, dc);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_BIG, 0)), LoadIconA(nullptr, IDI_QUESTION));
}

// Exactly one notch either way becomes one scroll request to the board; anything else none.
TEST_F(MainWindow, WheelTurnsOneNotchIntoOneBoardRequest)
{
    const struct {
        int delta;
        WPARAM request;  // 0: none
    } cases[] = {{120, kScrollWheelUp}, {-120, kScrollWheelDown}, {240, 0}, {-240, 0}, {0, 0}};
    // The requests posted to the board, as "wParam " each; anything else shows as "?".
    auto posted = [] {
        std::string text;
        for (const MSG& m : drainPosted(app.boardWindow))
            text += m.message == WM_VSCROLL && m.lParam == 0 ? std::to_string(m.wParam) + " " : "? ";
        return text;
    };
    posted();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delta);
        forwardWheel(app.boardWindow, MAKEWPARAM(MK_SHIFT, c.delta));
        EXPECT_EQ(posted(), c.request ? std::to_string(c.request) + " " : "");
    }
    SendMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(posted(), std::to_string(kScrollWheelUp) + " ") << "the main window's wheel goes to the board";
}

TEST_F(MainWindow, ClosingDeletesTheStraySoundFileDestroysTheBoardAndQuits)
{
    ScratchFolder scratch;
    writeFile("enigo.mp3", "");
    EXPECT_EQ(SendMessageA(main, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(folderContents("enigo*"), std::vector<std::string>{});
    EXPECT_FALSE(IsWindow(app.boardWindow));
    EXPECT_TRUE(IsWindow(main)) << "closing leaves the main window to the teardown";
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

// A dialog refused at creation, as when the system runs out of window resources.
LRESULT CALLBACK refuseDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && classOf(reinterpret_cast<HWND>(wParam)) == "#32770")
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(MainWindowFailure, ADialogThatCannotBeMadeLeavesNoWindowAndNoQuitForTheMessage)
{
    QuizApp quizApp;
    registerMainWindowClass(self());
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseDialogs, nullptr, GetCurrentThreadId());
    EXPECT_EQ(createMainWindow(self()), nullptr);
    UnhookWindowsHookEx(hook);
    int mainWindows = 0;  // of this thread only: tests in parallel have their own
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM count) {
        if (classOf(window) == kMainWindowClass)
            ++*reinterpret_cast<int*>(count);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&mainWindows));
    EXPECT_EQ(mainWindows, 0);
    EXPECT_EQ(app.headerWindow, nullptr);
    EXPECT_EQ(app.boardWindow, nullptr);
    // A pending quit would end the failure message's own loop at once.
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Fonts from zeroed descriptions and the verdict brushes; releasing the state frees them all.
TEST(QuizStateObjects, AreMadeAsDescribedAndReleased)
{
    QuizState state;
    initQuizState(state);
    createBoardFont(state);
    appendQuestion(state, "a", "", "b");
    std::string fonts;
    for (HFONT handle : {state.scoreFont, state.titleFont, state.boardFont}) {
        LOGFONTA f = {};
        GetObjectA(handle, sizeof f, &f);
        fonts += std::to_string(f.lfHeight) + " " + std::to_string(f.lfWeight) + " " + std::to_string(f.lfItalic) +
                 std::to_string(f.lfUnderline) + std::to_string(f.lfCharSet) + std::to_string(f.lfQuality) + " " +
                 f.lfFaceName + "|";
    }
    EXPECT_EQ(fonts, "25 400 0000 Arial|-15 700 1000 |15 100 0000 |");
    std::string brushes;
    for (HBRUSH handle : {state.backBrush, state.wrongBrush, state.anagramBrush, state.hintBrush, state.captionBrush}) {
        LOGBRUSH b = {};
        GetObjectA(handle, sizeof b, &b);
        brushes += std::to_string(b.lbStyle) + ":" + std::to_string(GetRValue(b.lbColor)) + "," +
                   std::to_string(GetGValue(b.lbColor)) + "," + std::to_string(GetBValue(b.lbColor)) + " ";
    }
    EXPECT_EQ(brushes, "0:90,95,150 0:255,0,0 0:255,100,0 0:255,203,38 0:255,255,192 ");
    const HGDIOBJ objects[] = {state.backBrush, state.wrongBrush, state.anagramBrush, state.hintBrush, state.captionBrush,
                               state.titleFont, state.boardFont, state.scoreFont};
    releaseQuizState(state);
    for (HGDIOBJ object : objects)
        EXPECT_EQ(GetObjectType(object), 0u) << "still alive after release";
    EXPECT_EQ(state.firstQuestion, nullptr);
    EXPECT_EQ(state.lastQuestion, nullptr);
}

} // namespace
