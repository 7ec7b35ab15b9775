// The header panel in-process: every control as created and after resizes, its colours, its
// fonts and brush, the link's hand cursor and the three clickable controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/progress.h"
#include "app/quiz_state_win.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "resource.h"

#include "test_support.h"

namespace {

// Every font the panel handed out: a font's redraw flag is gone once it is set.
struct FontRequest {
    HWND control;
    HGDIOBJ font;
    LPARAM redraw;
};
std::vector<FontRequest> fontRequests;

LRESULT CALLBACK recordFonts(int code, WPARAM wParam, LPARAM lParam)
{
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETFONT)
        fontRequests.push_back({call->hwnd, reinterpret_cast<HGDIOBJ>(call->wParam), call->lParam});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Records what the hide box answers when asked for its state while the panel handles a command:
// that is how the board's relayout reads it, so each answer marks one relayout run by the panel.
// Reads the button makes of itself while it is clicked do not count.
WNDPROC buttonProc = nullptr;
WNDPROC panelProc = nullptr;
bool handlingCommand = false;
std::vector<LRESULT> checkReads;

LRESULT CALLBACK watchCheckReads(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(buttonProc, box, message, wParam, lParam);
    if (message == BM_GETCHECK && handlingCommand)
        checkReads.push_back(result);
    return result;
}

LRESULT CALLBACK watchCommands(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return CallWindowProcA(panelProc, panel, message, wParam, lParam);
    handlingCommand = true;
    LRESULT result = CallWindowProcA(panelProc, panel, message, wParam, lParam);
    handlingCommand = false;
    return result;
}

int erasures = 0;
WNDPROC staticProc = nullptr;

LRESULT CALLBACK countErasures(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        ++erasures;
    return CallWindowProcA(staticProc, control, message, wParam, lParam);
}

enum Font { kNoFont, kGuiFont, kLinkFont, kTitleFont, kScoreFont };

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kRule = WS_CHILD | WS_VISIBLE | WS_BORDER;
// Windows-1252 bytes: "André Lefèvre", "Énigmes".
const char kAuthor[] = "Andr\xE9 Lef\xE8vre";
const char kExplanation[] = "Trouvez le nom de chaque ville";
const char kTitle[] = "\xC9nigmes d'Europe";

// A shown top-level window holding a freshly made header panel for a 36-question quiz, in a
// scratch working folder.
class Header : public testing::Test {
protected:
    void SetUp() override
    {
        copyText(app.quiz->title, kTitle);
        copyText(app.quiz->author, kAuthor);
        copyText(app.quiz->explanation, kExplanation);
        app.quiz->questionCount = 36;

        parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 300, nullptr,
                                  nullptr, self(), nullptr);
        fontRequests.clear();
        {
            CreationStyles styles;
            HHOOK fonts = SetWindowsHookExA(WH_CALLWNDPROC, recordFonts, nullptr, GetCurrentThreadId());
            header_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_HEADER), parent_, headerProc, 0);
            UnhookWindowsHookEx(fonts);
        }
        ASSERT_NE(header_, nullptr);
        app.headerWindow = header_;
        app.quiz->headerWindow = header_;
        ShowWindow(header_, SW_SHOW);
    }

    void TearDown() override
    {
        DestroyWindow(parent_);
        if (board_)
            DestroyWindow(board_);
    }

    HWND control(int id) const { return GetDlgItem(header_, id); }

    // Resizes the panel so that its client area is width pixels wide.
    void resizeTo(int width)
    {
        RECT frame;
        RECT client;
        GetWindowRect(header_, &frame);
        GetClientRect(header_, &client);
        const int border = (frame.right - frame.left) - client.right;
        SetWindowPos(header_, nullptr, 5, 2, width + border, 49 + border, SWP_NOZORDER);
        GetClientRect(header_, &client);
        ASSERT_EQ(client.right, width);
    }

    void expectPlace(int id, int x, int y, int width, int height) { ::expectPlace(control(id), x, y, width, height); }

    // A board with one answer field per line of the progress file, as saving reads it.
    HWND makeBoard(const std::vector<const char*>& answers)
    {
        board_ = CreateWindowExA(0, "Static", "board", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr, self(),
                                 nullptr);
        int id = 4001;
        for (const char* answer : answers)
            makeChild("Edit", answer, WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, board_, id++);
        app.boardWindow = board_;
        app.quiz->boardWindow = board_;
        return board_;
    }

    void watchHideBox()
    {
        checkReads.clear();
        buttonProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control(kHeaderHideId), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchCheckReads)));
        panelProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(header_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchCommands)));
    }

    QuizApp quizApp_;
    ShellCapture shell_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

TEST_F(Header, CreatesEveryControlInOrderWithItsStyleTextFontAndPlace)
{
    const std::vector<ExpectedControl> expected = {
        {24, "Static", kShown | SS_NOTIFY, kMakerAddress, kLinkFont, 736, 5, 115, 18},
        {25, "Static", kShown, "Par :", kGuiFont, 736, 25, 27, 18},
        {26, "Static", kShown, kAuthor, kGuiFont, 763, 25, 85, 18},
        {33, "Button", kShown | BS_AUTOCHECKBOX, "Cacher", kGuiFont, 666, 5, 65, 18},
        {27, "Button", kShown, "Sauver", kGuiFont, 666, 25, 55, 18},
        {28, "Static", kShown, kExplanation, kGuiFont, 110, 19, 490, 27},
        {29, "Static", kShown, kTitle, kTitleFont, 110, 3, 160, 18},
        {31, "Static", kShown, " Code :", kGuiFont, 7, 29, 36, 15},
        {32, "Static", kShown | SS_CENTER, " 0 / 36", kScoreFont, 10, 1, 80, 20},
        {30, "Edit", kShown | ES_READONLY, "", kGuiFont, 44, 29, 53, 16},
        {120, "Static", kRule, "", kNoFont, 0, 26, 100, 1},
        {121, "Static", kRule, "", kNoFont, 100, 0, 1, 50},
        {122, "Static", kRule, "", kNoFont, 730, 0, 1, 50},
    };
    HGDIOBJ linkFont = reinterpret_cast<HGDIOBJ>(SendMessageA(control(kHeaderLinkId), WM_GETFONT, 0, 0));
    expectControls(header_, expected, [&](int font) -> HGDIOBJ {
        return font == kGuiFont     ? GetStockObject(DEFAULT_GUI_FONT)
               : font == kTitleFont ? static_cast<HGDIOBJ>(app.quiz->titleFont)
               : font == kScoreFont ? static_cast<HGDIOBJ>(app.quiz->scoreFont)
               : font == kLinkFont  ? linkFont
                                    : nullptr;
    });
    // The stock font comes with a redraw, the others without; the rules get none.
    for (const ExpectedControl& want : expected) {
        size_t requests = 0;
        for (const FontRequest& request : fontRequests)
            if (request.control == control(want.id)) {
                ++requests;
                EXPECT_EQ(request.redraw, want.font == kGuiFont ? TRUE : FALSE) << "control " << want.id;
            }
        EXPECT_EQ(requests, want.font == kNoFont ? 0u : 1u) << "control " << want.id;
    }
    EXPECT_EQ(IsDlgButtonChecked(header_, kHeaderHideId), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(Header, LinkFontIsUnderlinedAtThreeQuartersOfTheLabelHeight)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control(kHeaderLinkId), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font, app.quiz->titleFont);
    LOGFONTA description;
    ASSERT_EQ(GetObjectA(font, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lfHeight, -13);
    EXPECT_EQ(description.lfWeight, 400);
    EXPECT_EQ(description.lfUnderline, 1);
    EXPECT_EQ(description.lfWidth + description.lfItalic + description.lfStrikeOut + description.lfCharSet +
                  description.lfQuality,
              0);
    EXPECT_STREQ(description.lfFaceName, "");
}

// Width of the panel's client area, and where the moving controls go for it.
class HeaderResize : public Header, public testing::WithParamInterface<int> {};

TEST_P(HeaderResize, MovesTheRightHandBlockAndStretchesTheExplanation)
{
    const int w = GetParam();
    resizeTo(w);
    expectPlace(24, w - 134, 0, 115, 18);
    expectPlace(25, w - 134, 25, 26, 18);
    expectPlace(26, w - 107, 25, 105, 18);
    expectPlace(27, w - 204, 25, 55, 18);
    expectPlace(28, 110, 19, w - 324, 28);
    expectPlace(122, w - 145, 0, 1, 50);
    expectPlace(33, w - 234, 0, 85, 18);
    // The title, score and code block and its two rules stay where they were created.
    expectPlace(29, 110, 3, 160, 18);
    expectPlace(31, 7, 29, 36, 15);
    expectPlace(32, 10, 1, 80, 20);
    expectPlace(30, 44, 29, 53, 16);
    expectPlace(120, 0, 26, 100, 1);
    expectPlace(121, 100, 0, 1, 50);
}

INSTANTIATE_TEST_SUITE_P(Widths, HeaderResize, testing::Values(520, 800, 1200));

TEST_F(Header, MovedControlsComeToTheTopOfTheZOrderInMoveOrder)
{
    resizeTo(700);
    std::vector<int> order;
    for (HWND child : childrenOf(header_))
        order.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(order, (std::vector<int>{33, 122, 28, 27, 26, 25, 24, 29, 31, 32, 30, 120, 121}));
}

// A resize that moves nothing still repaints every control it places (the link and the author
// caption too, or the panel's erase would leave them blank); backgrounds are not erased first.
TEST_F(Header, ResizeInvalidatesTheStretchedControlsWithoutErasing)
{
    resizeTo(640);
    UpdateWindow(parent_);
    for (HWND child : childrenOf(header_))
        UpdateWindow(child);
    for (int id : {26, 28, 122})
        staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control(id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countErasures)));

    SendMessageA(header_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 49));
    for (int id : {24, 25, 26, 27, 28, 122, 33})
        EXPECT_TRUE(GetUpdateRect(control(id), nullptr, FALSE)) << "control " << id;
    for (int id : {29, 31, 32, 30, 120, 121})
        EXPECT_FALSE(GetUpdateRect(control(id), nullptr, FALSE)) << "control " << id;
    erasures = 0;
    for (int id : {26, 28, 122})
        UpdateWindow(control(id));
    EXPECT_EQ(erasures, 0);
}

TEST_F(Header, PaintsItselfLightBlue)
{
    HDC dc = GetDC(header_);
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(header_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(header_)));
    ReleaseDC(header_, dc);
    LOGBRUSH description = {};
    ASSERT_EQ(GetObjectA(brush, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, RGB(128, 128, 255));
}

struct ColourCase {
    int id;
    bool painted;     // the panel's brush and a transparent text background
    bool linkColour;  // blue text
};

void PrintTo(const ColourCase& colour, std::ostream* out)
{
    *out << "id " << colour.id;
}

class HeaderColours : public Header, public testing::WithParamInterface<ColourCase> {};

TEST_P(HeaderColours, StaticControlsAskingGetThePanelsBrushByTheirId)
{
    const ColourCase& want = GetParam();
    HWND asking = control(want.id);
    if (!asking)
        asking = makeChild("Static", "", WS_CHILD, 0, 0, 5, 5, header_, want.id);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    HDC dialogDc = GetDC(header_);
    const INT_PTR panelBrush =
        SendMessageA(header_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dialogDc), reinterpret_cast<LPARAM>(header_));
    ReleaseDC(header_, dialogDc);

    INT_PTR result = headerProc(header_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(asking));
    EXPECT_EQ(result, want.painted ? panelBrush : 0);
    EXPECT_EQ(GetBkMode(dc), want.painted ? TRANSPARENT : OPAQUE);
    EXPECT_EQ(GetTextColor(dc), want.linkColour ? RGB(50, 50, 255) : RGB(1, 2, 3));
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Ids, HeaderColours,
                         testing::Values(ColourCase{24, true, true}, ColourCase{25, true, false},
                                         ColourCase{28, true, false}, ColourCase{30, true, false},
                                         ColourCase{32, true, false}, ColourCase{33, true, false},
                                         ColourCase{20, true, false}, ColourCase{19, false, false},
                                         ColourCase{34, false, false}, ColourCase{120, false, false},
                                         ColourCase{121, false, false}, ColourCase{122, false, false}));

TEST_F(Header, DestroyingThePanelDeletesItsBrushAndLinkFontOnly)
{
    HDC dc = GetDC(header_);
    HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(
        SendMessageA(header_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(header_)));
    ReleaseDC(header_, dc);
    HGDIOBJ linkFont = reinterpret_cast<HGDIOBJ>(SendMessageA(control(kHeaderLinkId), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectType(brush), 0u);
    ASSERT_NE(GetObjectType(linkFont), 0u);

    DestroyWindow(header_);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(linkFont), 0u);
    // The quiz's fonts belong to the quiz state, not to the panel.
    EXPECT_NE(GetObjectType(app.quiz->titleFont), 0u);
    EXPECT_NE(GetObjectType(app.quiz->scoreFont), 0u);
}

TEST_F(Header, ClickingTheLinkOpensTheMakersAddress)
{
    HWND link = control(kHeaderLinkId);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(shell_.requests().size(), 1u);
    const ShellRequest& request = shell_.requests()[0];
    EXPECT_EQ(request.owner, nullptr);
    EXPECT_EQ(request.verb, "open");
    EXPECT_EQ(request.file, kMakerAddress);
    EXPECT_EQ(request.file, textOf(link));
    EXPECT_FALSE(request.parameters || request.directory);
    EXPECT_EQ(request.show, SW_SHOWNORMAL);
}

TEST_F(Header, HandCursorIsTheClassCursorOfTheLinksClass)
{
    HWND link = control(kHeaderLinkId);
    HCURSOR hand = LoadCursorA(self(), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(link, GCLP_HCURSOR)), hand);

    // Only the SS_NOTIFY link answers hit tests; the pointer passes through every other static.
    for (HWND child : childrenOf(header_)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            continue;
        POINT inside = {1, 1};
        ClientToScreen(child, &inside);
        LRESULT hit = SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y));
        EXPECT_EQ(hit, child == link ? HTCLIENT : HTTRANSPARENT) << "control " << GetDlgCtrlID(child);
    }
}

TEST_F(Header, SauverWritesTheProgressFile)
{
    makeBoard({"Paris", "Z\xFCrich"});
    app.quiz->questionCount = 2;
    char name[MAX_PATH];
    progressFileName(name);
    ASSERT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);

    SendMessageA(control(kHeaderSaveId), BM_CLICK, 0, 0);
    EXPECT_EQ(readFile(name), "Paris\r\nZ\xFCrich\r\n");
}

TEST_F(Header, CacherTogglesAndLaysTheBoardOutWithItsNewState)
{
    makeBoard({});
    watchHideBox();
    HWND box = control(kHeaderHideId);

    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(header_, kHeaderHideId), static_cast<UINT>(BST_CHECKED));
    ASSERT_FALSE(checkReads.empty()) << "no relayout after ticking";
    EXPECT_EQ(checkReads.back(), BST_CHECKED);

    checkReads.clear();
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(header_, kHeaderHideId), static_cast<UINT>(BST_UNCHECKED));
    ASSERT_FALSE(checkReads.empty()) << "no relayout after clearing";
    EXPECT_EQ(checkReads.back(), BST_UNCHECKED);
}

// The whole first parameter is compared: a notification other than a click does nothing.
TEST_F(Header, CommandsWithANotificationCodeDoNothing)
{
    makeBoard({"Paris"});
    app.quiz->questionCount = 1;
    watchHideBox();
    char name[MAX_PATH];
    progressFileName(name);

    for (WPARAM command : {MAKEWPARAM(kHeaderLinkId, STN_DBLCLK), MAKEWPARAM(kHeaderSaveId, BN_DOUBLECLICKED),
                           MAKEWPARAM(kHeaderHideId, BN_DOUBLECLICKED), MAKEWPARAM(kHeaderHideId, BN_SETFOCUS)}) {
        SendMessageA(header_, WM_COMMAND, command, 0);
        EXPECT_TRUE(shell_.requests().empty()) << std::hex << command;
        EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES) << std::hex << command;
        EXPECT_TRUE(checkReads.empty()) << std::hex << command;
    }
    // The same ids with notification code 0 do act.
    SendMessageA(header_, WM_COMMAND, kHeaderLinkId, 0);
    SendMessageA(header_, WM_COMMAND, kHeaderSaveId, 0);
    SendMessageA(header_, WM_COMMAND, kHeaderHideId, 0);
    EXPECT_EQ(shell_.requests().size(), 1u);
    EXPECT_NE(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(checkReads.empty());
}

} // namespace
