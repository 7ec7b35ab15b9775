// The header panel in-process: every control as created and after resizes, its colours, its
// fonts and brush, the link's hand cursor and the three clickable controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

#include "test_support.h"

namespace {

// Every font the panel handed out with its redraw flag.
struct FontRequest { HWND control; LPARAM redraw; };
std::vector<FontRequest> fontRequests;

LRESULT CALLBACK recordFonts(int code, WPARAM wParam, LPARAM lParam)
{
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETFONT)
        fontRequests.push_back({call->hwnd, call->lParam});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// What the hide box answers when asked for its state while the panel handles a command: that is
// how the board's relayout reads it, so each answer marks one relayout run by the panel.
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
    erasures += message == WM_ERASEBKGND;
    return CallWindowProcA(staticProc, control, message, wParam, lParam);
}

enum Font { kNoFont, kGuiFont, kLinkFont, kTitleFont, kScoreFont };

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kRule = WS_CHILD | WS_VISIBLE | WS_BORDER;
const char kAuthor[] = "Andr\xE9 Lef\xE8vre";  // Windows-1252 bytes
const char kExplanation[] = "Trouvez le nom de chaque ville";
const char kTitle[] = "\xC9nigmes d'Europe";

// A shown header panel for a 36-question quiz, in a scratch working folder.
class Header : public testing::Test {
protected:
    void SetUp() override
    {
        copyText(app.quiz->title, kTitle);
        copyText(app.quiz->author, kAuthor);
        copyText(app.quiz->explanation, kExplanation);
        app.quiz->questionCount = 36;
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 300, nullptr, nullptr,
                                  self(), nullptr);
        fontRequests.clear();
        {
            CreationStyles styles;
            HHOOK fonts = SetWindowsHookExA(WH_CALLWNDPROC, recordFonts, nullptr, GetCurrentThreadId());
            header_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_HEADER), parent_, headerProc, 0);
            UnhookWindowsHookEx(fonts);
        }
        ASSERT_NE(header_, nullptr);
        app.headerWindow = app.quiz->headerWindow = header_;
        ShowWindow(header_, SW_SHOW);
    }

    void TearDown() override
    {
        DestroyWindow(parent_);
        DestroyWindow(board_);
    }

    HWND control(int id) const { return GetDlgItem(header_, id); }

    // Resizes the panel so that its client area is width pixels wide.
    void resizeTo(int width)
    {
        RECT frame, client;
        GetWindowRect(header_, &frame);
        GetClientRect(header_, &client);
        const int border = (frame.right - frame.left) - client.right;
        SetWindowPos(header_, nullptr, 5, 2, width + border, 49 + border, SWP_NOZORDER);
    }

    // A board with one answer field per line of the progress file, as saving reads it.
    void makeBoard(const std::vector<const char*>& answers)
    {
        board_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr, self(), nullptr);
        int id = 4001;
        for (const char* answer : answers)
            makeChild("Edit", answer, WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, board_, id++);
        app.boardWindow = app.quiz->boardWindow = board_;
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
               : font == kLinkFont  ? linkFont : nullptr;
    });
    // One font each: the stock font with a redraw, the others without; the rules get none.
    for (const ExpectedControl& want : expected) {
        std::string requests;
        for (const FontRequest& request : fontRequests)
            requests += request.control == control(want.id) ? std::to_string(request.redraw) : "";
        EXPECT_EQ(requests, want.font == kNoFont ? "" : want.font == kGuiFont ? "1" : "0") << "control " << want.id;
    }
    // The link's own font: underlined, three quarters of the label's height, the default face.
    LOGFONTA font;
    ASSERT_EQ(GetObjectA(linkFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(std::to_string(font.lfHeight) + " " + std::to_string(font.lfWeight) + " " + std::to_string(font.lfUnderline) +
                  " " + std::to_string(font.lfWidth + font.lfItalic + font.lfStrikeOut + font.lfCharSet + font.lfQuality) +
                  " [" + font.lfFaceName + "]",
              "-13 400 1 0 []");
}

// The right-hand block follows the width and the explanation stretches; the rest stays put.
TEST_F(Header, ResizeMovesTheRightHandBlockAndStretchesTheExplanation)
{
    for (int w : {520, 1200}) {
        resizeTo(w);
        const int places[][5] = {{24, w - 134, 0, 115, 18}, {25, w - 134, 25, 26, 18},  {26, w - 107, 25, 105, 18},
                                 {27, w - 204, 25, 55, 18}, {28, 110, 19, w - 324, 28}, {122, w - 145, 0, 1, 50},
                                 {33, w - 234, 0, 85, 18},  {29, 110, 3, 160, 18},     {31, 7, 29, 36, 15},
                                 {32, 10, 1, 80, 20},       {30, 44, 29, 53, 16},      {120, 0, 26, 100, 1},
                                 {121, 100, 0, 1, 50}};
        for (const auto& p : places)
            ::expectPlace(control(p[0]), p[1], p[2], p[3], p[4]);
    }
    // Moved controls come to the top of the z-order in the order they were moved.
    std::vector<int> order;
    for (HWND child : childrenOf(header_))
        order.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(order, (std::vector<int>{33, 122, 28, 27, 26, 25, 24, 29, 31, 32, 30, 120, 121}));
}

// A resize that moves nothing still repaints every control it places (the link and the author
// caption too, or the panel's erase would leave them blank); backgrounds are not erased first.
TEST_F(Header, ResizeInvalidatesThePlacedControlsWithoutErasing)
{
    resizeTo(640);
    UpdateWindow(parent_);
    for (HWND child : childrenOf(header_))
        UpdateWindow(child);
    for (int id : {26, 28, 122})
        staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control(id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countErasures)));
    SendMessageA(header_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 49));
    std::string invalid;
    for (int id : {24, 25, 26, 27, 28, 122, 33, 29, 31, 32, 30, 120, 121})
        invalid += GetUpdateRect(control(id), nullptr, FALSE) ? '1' : '0';
    EXPECT_EQ(invalid, "1111111000000");
    erasures = 0;
    for (int id : {26, 28, 122})
        UpdateWindow(control(id));
    EXPECT_EQ(erasures, 0);
}

// The panel paints itself light blue, and static controls of ids 20 to 33 asking get its brush
// on a transparent background (the link in blue); the rules and other ids are left alone.
TEST_F(Header, StaticControlsAskingGetThePanelsBrushByTheirId)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const INT_PTR panelBrush = SendMessageA(header_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0);
    LOGBRUSH description = {};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(panelBrush), sizeof description, &description),
              static_cast<int>(sizeof description));
    EXPECT_EQ(description.lbStyle * 0x1000000u + description.lbColor, BS_SOLID * 0x1000000u + RGB(128, 128, 255));
    for (int id : {24, 20, 33, 19, 34, 120}) {
        HWND asking = control(id) ? control(id) : makeChild("Static", "", WS_CHILD, 0, 0, 5, 5, header_, id);
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(1, 2, 3));
        const INT_PTR brush = headerProc(header_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(asking));
        const bool painted = id >= 20 && id <= 33;
        EXPECT_EQ(brush, painted ? panelBrush : 0) << id;
        EXPECT_EQ(GetBkMode(dc), painted ? TRANSPARENT : OPAQUE) << id;
        EXPECT_EQ(GetTextColor(dc), id == 24 ? RGB(50, 50, 255) : RGB(1, 2, 3)) << id;
    }
    DeleteDC(dc);
}

TEST_F(Header, DestroyingThePanelDeletesItsBrushAndLinkFontOnly)
{
    HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(SendMessageA(header_, WM_CTLCOLORDLG, 0, 0));
    HGDIOBJ linkFont = reinterpret_cast<HGDIOBJ>(SendMessageA(control(kHeaderLinkId), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectType(brush) && GetObjectType(linkFont));
    DestroyWindow(header_);
    EXPECT_FALSE(GetObjectType(brush) || GetObjectType(linkFont));
    // The quiz's fonts belong to the quiz state, not to the panel.
    EXPECT_TRUE(GetObjectType(app.quiz->titleFont) && GetObjectType(app.quiz->scoreFont));
}

// Clicking the link opens the maker's address; the hand is the link class's cursor, and only the
// SS_NOTIFY link answers hit tests: the pointer passes through every other static.
TEST_F(Header, LinkOpensTheMakersAddressUnderAHandCursor)
{
    HWND link = control(kHeaderLinkId);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(shell_.requests().size(), 1u);
    const ShellRequest& request = shell_.requests()[0];
    EXPECT_TRUE(request.owner == nullptr && request.verb == "open" && !request.parameters && !request.directory);
    EXPECT_EQ(request.file, kMakerAddress);
    EXPECT_EQ(request.show, SW_SHOWNORMAL);
    HCURSOR hand = LoadCursorA(self(), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(link, GCLP_HCURSOR)), hand);
    for (HWND child : childrenOf(header_)) {
        if (lstrcmpiA(classOf(child).c_str(), "Static") != 0)
            continue;
        POINT inside = {1, 1};
        ClientToScreen(child, &inside);
        EXPECT_EQ(SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)),
                  child == link ? HTCLIENT : HTTRANSPARENT)
            << "control " << GetDlgCtrlID(child);
    }
}

// The box starts unchecked.
TEST_F(Header, CacherTogglesAndLaysTheBoardOutWithItsNewState)
{
    makeBoard({});
    watchHideBox();
    for (LRESULT state : {BST_CHECKED, BST_UNCHECKED}) {
        checkReads.clear();
        SendMessageA(control(kHeaderHideId), BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(header_, kHeaderHideId), static_cast<UINT>(state));
        ASSERT_FALSE(checkReads.empty()) << "no relayout";
        EXPECT_EQ(checkReads.back(), state);
    }
}

// The whole first parameter is compared: a notification other than a click does nothing. Clicked,
// "Sauver" saves (the file's bytes are the progress tests' business).
TEST_F(Header, CommandsWithANotificationCodeDoNothing)
{
    makeBoard({"Paris"});
    app.quiz->questionCount = 1;
    watchHideBox();
    for (WPARAM command : {MAKEWPARAM(kHeaderLinkId, STN_DBLCLK), MAKEWPARAM(kHeaderSaveId, BN_DOUBLECLICKED),
                           MAKEWPARAM(kHeaderHideId, BN_DOUBLECLICKED), MAKEWPARAM(kHeaderHideId, BN_SETFOCUS)})
        SendMessageA(header_, WM_COMMAND, command, 0);
    EXPECT_TRUE(shell_.requests().empty() && checkReads.empty() && readFile("windows_tests.txt").empty());
    // The same ids with notification code 0 do act.
    for (WPARAM command : {kHeaderLinkId, kHeaderHideId})
        SendMessageA(header_, WM_COMMAND, command, 0);
    SendMessageA(control(kHeaderSaveId), BM_CLICK, 0, 0);
    EXPECT_EQ(shell_.requests().size(), 1u);
    EXPECT_EQ(readFile("windows_tests.txt"), "Paris\r\n");
    EXPECT_FALSE(checkReads.empty());
}

} // namespace
