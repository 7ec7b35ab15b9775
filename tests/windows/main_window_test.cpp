// The main window in-process: class, creation, centring, layout of the child dialogs,
// version label, wheel forwarding and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "app/quiz_state_win.h"
#include "app/startup.h"
#include "test_support.h"

namespace {

// A fresh quiz state and the real main window with its two dialogs, as start-up makes them.
class MainWindow : public testing::Test {
protected:
    static void SetUpTestSuite() { registerMainWindowClass(self()); }

    void SetUp() override
    {
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

    HWND label() const { return GetDlgItem(main, kVersionLabelId); }

    void expectLayoutFor(int width, int height)
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        expectPlace(app.boardWindow, 5, 50, width - 11, height - 68);
        expectPlace(app.headerWindow, 5, 2, width - 11, 49);
        expectPlace(label(), width - 145, height - 16, 150, 15);
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
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.lpfnWndProc, mainWindowProc);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.lpszMenuName, nullptr);
}

TEST_F(MainWindow, IsTitledWithTheQuizTitleAndCentred)
{
    EXPECT_EQ(textOf(main), app.quiz->title);

    RECT frame;
    RECT desktop;
    GetWindowRect(main, &frame);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(frame.right - frame.left, kMainWindowWidth);
    EXPECT_EQ(frame.bottom - frame.top, kMainWindowHeight);
    EXPECT_EQ(frame.left, desktop.left + ((desktop.right - desktop.left) - kMainWindowWidth) / 2);
    EXPECT_EQ(frame.top, desktop.top + ((desktop.bottom - desktop.top) - kMainWindowHeight) / 2);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(app.headerWindow));
    EXPECT_TRUE(IsWindowVisible(app.boardWindow));
    EXPECT_EQ(app.quiz->boardWindow, app.boardWindow);
    EXPECT_EQ(app.quiz->headerWindow, app.headerWindow);
    EXPECT_EQ(GetParent(app.boardWindow), main);
    EXPECT_EQ(GetParent(app.headerWindow), main);
}

TEST_F(MainWindow, LaysOutItsChildrenFromTheClientArea)
{
    RECT client;
    GetClientRect(main, &client);
    expectLayoutFor(client.right, client.bottom);

    struct Size {
        int width;
        int height;
    };
    for (Size size : {Size{700, 500}, Size{320, 200}}) {
        SetWindowPos(main, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(main, &client);
        expectLayoutFor(client.right, client.bottom);
    }
}

TEST_F(MainWindow, MinimisingKeepsTheLayoutAndRestoringReappliesIt)
{
    SetWindowPos(main, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    RECT before = placeIn(app.boardWindow);
    ShowWindow(main, SW_MINIMIZE);
    RECT minimised = placeIn(app.boardWindow);
    EXPECT_EQ(minimised.right - minimised.left, before.right - before.left);
    EXPECT_EQ(minimised.bottom - minimised.top, before.bottom - before.top);

    ShowWindow(main, SW_RESTORE);
    RECT client;
    GetClientRect(main, &client);
    expectLayoutFor(client.right, client.bottom);
}

TEST_F(MainWindow, SizeMessageAloneDrivesTheLayout)
{
    SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    expectLayoutFor(800, 600);
    SendMessageA(main, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    expectLayoutFor(800, 600);
}

TEST_F(MainWindow, VersionLabelCarriesItsTextFontAndBrush)
{
    HWND version = label();
    ASSERT_NE(version, nullptr);
    // Windows-1252 bytes, two trailing blanks.
    EXPECT_EQ(textOf(version), "R\xE9" "alis\xE9" " avec la version 2.1.6  ");
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(version, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));

    HDC dc = GetDC(version);
    EXPECT_EQ(SendMessageA(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(version)),
              reinterpret_cast<LRESULT>(app.labelBrush));
    EXPECT_EQ(GetBkColor(dc), kLabelColour);
    HWND other = createLabel(main, "autre", 0, 0, 10, 10, 8001);
    EXPECT_EQ(SendMessageA(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(other)), 0);
    ReleaseDC(version, dc);

    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_BIG, 0)), LoadIconA(nullptr, IDI_QUESTION));
}

TEST_F(MainWindow, WheelOverTheWindowReachesTheBoard)
{
    drainPosted(app.boardWindow);
    SendMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    std::vector<MSG> posted = drainPosted(app.boardWindow);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(posted[0].wParam, kScrollWheelUp);
}

// A dialog refused at creation, as when the system runs out of window resources.
LRESULT CALLBACK refuseDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) &&
        std::string(name) == "#32770")
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(MainWindowFailure, ADialogThatCannotBeMadeLeavesNoWindowAndNoQuitForTheMessage)
{
    QuizApp quizApp;
    registerMainWindowClass(self());
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseDialogs, nullptr, GetCurrentThreadId());
    HWND main = createMainWindow(self());
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(main, nullptr);
    EXPECT_EQ(FindWindowA(kMainWindowClass, nullptr), nullptr);
    EXPECT_EQ(app.headerWindow, nullptr);
    EXPECT_EQ(app.boardWindow, nullptr);
    // A pending quit would end the failure message's own loop at once.
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindow, ClosingDeletesTheStraySoundFileDestroysTheBoardAndQuits)
{
    ScratchFolder scratch;
    writeFile("enigo.mp3", "");
    EXPECT_EQ(SendMessageA(main, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(GetFileAttributesA("enigo.mp3"), INVALID_FILE_ATTRIBUTES);

    EXPECT_FALSE(IsWindow(app.boardWindow));
    EXPECT_TRUE(IsWindow(main)) << "closing leaves the main window to the teardown";
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MainWindow, BoardPaintsTheQuizBackgroundAndMakesItsFont)
{
    HDC dc = GetDC(app.boardWindow);
    EXPECT_EQ(SendMessageA(app.boardWindow, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(app.boardWindow)),
              reinterpret_cast<LRESULT>(app.quiz->backBrush));
    ReleaseDC(app.boardWindow, dc);

    LOGFONTA font = {};
    ASSERT_NE(app.quiz->boardFont, nullptr);
    GetObjectA(app.quiz->boardFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, 15);
    EXPECT_EQ(font.lfWeight, 100);
    EXPECT_STREQ(font.lfFaceName, "");
}

struct WheelCase {
    int delta;
    int requests;
    WPARAM request;
};

class ForwardWheel : public testing::TestWithParam<WheelCase> {};

TEST_P(ForwardWheel, TurnsOneNotchIntoOneRequest)
{
    HWND target = CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, nullptr, nullptr, self(), nullptr);
    drainPosted(target);
    const WheelCase& wheel = GetParam();
    forwardWheel(target, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(wheel.delta)));
    std::vector<MSG> posted = drainPosted(target);
    ASSERT_EQ(static_cast<int>(posted.size()), wheel.requests);
    if (wheel.requests) {
        EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_VSCROLL));
        EXPECT_EQ(posted[0].wParam, wheel.request);
        EXPECT_EQ(posted[0].lParam, 0);
    }
    DestroyWindow(target);
}

INSTANTIATE_TEST_SUITE_P(Deltas, ForwardWheel,
                         testing::Values(WheelCase{120, 1, 501}, WheelCase{-120, 1, 500}, WheelCase{240, 0, 0},
                                         WheelCase{-240, 0, 0}, WheelCase{0, 0, 0}, WheelCase{60, 0, 0}));

struct FontCase {
    const char* name;
    HFONT QuizState::*field;
    LONG height;
    LONG weight;
    BYTE italic;
    const char* face;
};

class QuizStateFonts : public testing::TestWithParam<FontCase> {};

TEST_P(QuizStateFonts, AreBuiltFromZeroedDescriptions)
{
    QuizState state;
    initQuizState(state);
    createBoardFont(state);
    const FontCase& expected = GetParam();
    LOGFONTA font;
    ASSERT_EQ(GetObjectA(state.*expected.field, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, expected.height);
    EXPECT_EQ(font.lfWeight, expected.weight);
    EXPECT_EQ(font.lfItalic, expected.italic);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_EQ(font.lfQuality, 0);
    EXPECT_STREQ(font.lfFaceName, expected.face);
    releaseQuizState(state);
}

INSTANTIATE_TEST_SUITE_P(Fonts, QuizStateFonts,
                         testing::Values(FontCase{"score", &QuizState::scoreFont, 25, 400, 0, "Arial"},
                                         FontCase{"title", &QuizState::titleFont, -15, 700, 1, ""},
                                         FontCase{"board", &QuizState::boardFont, 15, 100, 0, ""}),
                         [](const testing::TestParamInfo<FontCase>& info) { return info.param.name; });

TEST(QuizStateBrushes, HaveTheVerdictColoursAndAreReleased)
{
    QuizState state;
    initQuizState(state);
    createBoardFont(state);
    appendQuestion(state, "a", "", "b");
    struct BrushCase {
        HBRUSH brush;
        COLORREF colour;
    };
    const BrushCase brushes[] = {{state.backBrush, RGB(90, 95, 150)},   {state.wrongBrush, RGB(255, 0, 0)},
                                 {state.anagramBrush, RGB(255, 100, 0)}, {state.hintBrush, RGB(255, 203, 38)},
                                 {state.captionBrush, RGB(255, 255, 192)}};
    for (const BrushCase& expected : brushes) {
        LOGBRUSH brush = {};
        ASSERT_EQ(GetObjectA(expected.brush, sizeof brush, &brush), static_cast<int>(sizeof brush));
        EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(brush.lbColor, expected.colour);
    }
    HGDIOBJ objects[] = {state.backBrush,   state.wrongBrush, state.anagramBrush, state.hintBrush,
                         state.captionBrush, state.titleFont, state.boardFont,    state.scoreFont};
    releaseQuizState(state);
    for (HGDIOBJ object : objects)
        EXPECT_EQ(GetObjectType(object), 0u) << "still alive after release";
    EXPECT_EQ(state.firstQuestion, nullptr);
    EXPECT_EQ(state.lastQuestion, nullptr);
}

} // namespace
