// The header panel: title, author, explanation, score and code across the top of the main
// window, with the "Cacher" box, the "Sauver" button and the link to the maker's web address.
#include "judging/header.h"

#include <new>

#include "app/progress.h"
#include "base/app.h"
#include "base/edit_font.h"
#include "base/shell_open.h"
#include "board/board_controls.h"
#include "board/relayout.h"
#include "judging/header_ids.h"
#include "resource.h"

namespace {

constexpr COLORREF kHeaderColour = 0xFF8080;  // red 128, green 128, blue 255
constexpr COLORREF kLinkColour = 0xFF3232;    // red 50, green 50, blue 255
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kRule = WS_CHILD | WS_VISIBLE | WS_BORDER;

// The GDI objects the panel makes for itself; they live as long as the panel.
struct HeaderPanel {
    HBRUSH brush;
    HFONT linkFont;
};

HeaderPanel* panelOf(HWND header)
{
    return reinterpret_cast<HeaderPanel*>(GetWindowLongPtrA(header, DWLP_USER));
}

HWND makeControl(HWND header, const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                 int id)
{
    HWND control = CreateWindowExA(0, className, text, style, x, y, width, height, header,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(header, GWLP_HINSTANCE)), nullptr);
    keepControl(headerControls, control, id);
    return control;
}

// The stock font is set with a redraw, the others without: the panel is not shown yet, so its
// first paint uses them anyway.
void setFont(HWND control, HFONT font, BOOL redraw)
{
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void setGuiFont(HWND control)
{
    setFont(control, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

// The link's font follows the label's own height (18 pixels give a character height of 13).
// The hand goes on the whole static class: only SS_NOTIFY statics answer hit tests, and the
// link is the program's only one, so the pointer turns into the hand over the link alone.
void dressLink(HeaderPanel& panel, HWND link)
{
    RECT client;
    GetClientRect(link, &client);
    LOGFONTA font = {};
    font.lfHeight = -(3 * client.bottom / 4);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = TRUE;
    panel.linkFont = CreateFontIndirectA(&font);
    setFont(link, panel.linkFont, FALSE);
    SetClassLongPtrA(link, GCLP_HCURSOR,
                     reinterpret_cast<LONG_PTR>(LoadCursorA(app.module, MAKEINTRESOURCEA(IDC_LINK_HAND))));
}

INT_PTR onHeaderInit(HWND header)
{
    const QuizState& state = *app.quiz;
    keepControlsOf(headerControls, header, kHeaderIdCount);
    HeaderPanel* panel = new (std::nothrow) HeaderPanel{};
    SetWindowLongPtrA(header, DWLP_USER, reinterpret_cast<LONG_PTR>(panel));

    HWND link = makeControl(header, "Static", kMakerAddress, kShown | SS_NOTIFY, 736, 5, 115, 18, kHeaderLinkId);
    if (panel)
        dressLink(*panel, link);
    setGuiFont(makeControl(header, "Static", "Par :", kShown, 736, 25, 27, 18, kHeaderAuthorCaptionId));
    setGuiFont(makeControl(header, "Static", state.author, kShown, 763, 25, 85, 18, kHeaderAuthorId));
    setGuiFont(makeControl(header, "button", "Cacher", kShown | BS_AUTOCHECKBOX, 666, 5, 65, 18, kHeaderHideId));
    setGuiFont(makeControl(header, "button", "Sauver", kShown, 666, 25, 55, 18, kHeaderSaveId));
    setGuiFont(makeControl(header, "Static", state.explanation, kShown, 110, 19, 490, 27, kHeaderExplanationId));
    setFont(makeControl(header, "Static", state.title, kShown, 110, 3, 160, 18, kHeaderTitleId), state.titleFont,
            FALSE);
    setGuiFont(makeControl(header, "Static", " Code :", kShown, 7, 29, 36, 15, kHeaderCodeCaptionId));
    char score[32];
    wsprintfA(score, kScoreFormat, 0, state.questionCount);
    setFont(makeControl(header, "Static", score, kShown | SS_CENTER, 10, 1, 80, 20, kHeaderScoreId), state.scoreFont,
            FALSE);
    setEditFont(makeControl(header, "edit", "", kShown | ES_READONLY, 44, 29, 53, 16, kHeaderCodeId),
                static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    makeControl(header, "Static", "", kRule, 0, 26, 100, 1, kHeaderScoreRuleId);
    makeControl(header, "Static", "", kRule, 100, 0, 1, 50, kHeaderRightRuleId);
    makeControl(header, "Static", "", kRule, 730, 0, 1, 50, kHeaderLinkRuleId);

    if (panel)
        panel->brush = CreateSolidBrush(kHeaderColour);
    return TRUE;
}

// HWND_TOP: a moved control also comes to the top of the z-order.
void place(HWND header, int id, int x, int y, int width, int height, bool invalidate)
{
    HWND control = controlOf(headerControls, header, id);
    SetWindowPos(control, HWND_TOP, x, y, width, height, SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    if (invalidate)
        InvalidateRect(control, nullptr, FALSE);
}

// The link block and the buttons follow the right edge; the explanation takes the room between.
INT_PTR onHeaderSize(HWND header)
{
    RECT client;
    GetClientRect(header, &client);
    const int width = client.right;
    // Every moved control is repainted: the panel's own erase after its resize would otherwise
    // wipe the link and the author caption, whose moved pixels count as valid.
    place(header, kHeaderLinkId, width - 134, 0, 115, 18, true);
    place(header, kHeaderAuthorCaptionId, width - 134, 25, 26, 18, true);
    place(header, kHeaderAuthorId, width - 107, 25, 105, 18, true);
    place(header, kHeaderSaveId, width - 204, 25, 55, 18, true);
    place(header, kHeaderExplanationId, 110, 19, width - 324, 28, true);
    place(header, kHeaderLinkRuleId, width - 145, 0, 1, 50, true);
    place(header, kHeaderHideId, width - 234, 0, 85, 18, true);
    return 0;
}

// The whole wParam is compared, so only a click (notification code 0) acts.
INT_PTR onHeaderCommand(WPARAM command)
{
    switch (command) {
    case kHeaderLinkId:
        // A browser that cannot be started is nothing the player can act on: the result is ignored.
        shellOpen(nullptr, "open", kMakerAddress, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case kHeaderSaveId:
        saveProgress(*app.quiz);
        break;
    case kHeaderHideId:
        // The automatic check box has already toggled itself; the relayout reads its new state.
        relayoutBoard(*app.quiz);
        break;
    default:
        break;
    }
    return 0;
}

INT_PTR onHeaderColourStatic(HWND header, HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    if (id < kHeaderFirstPaintedId || id > kHeaderLastPaintedId)
        return 0;
    if (id == kHeaderLinkId)
        SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    const HeaderPanel* panel = panelOf(header);
    return reinterpret_cast<INT_PTR>(panel ? panel->brush : nullptr);
}

INT_PTR onHeaderColourDialog(HWND header)
{
    const HeaderPanel* panel = panelOf(header);
    return reinterpret_cast<INT_PTR>(panel ? panel->brush : nullptr);
}

INT_PTR onHeaderDestroy(HWND header)
{
    forgetControlsOf(headerControls, header);
    HeaderPanel* panel = panelOf(header);
    SetWindowLongPtrA(header, DWLP_USER, 0);
    if (panel) {
        DeleteObject(panel->brush);
        DeleteObject(panel->linkFont);
        delete panel;
    }
    return 0;
}

}  // namespace

INT_PTR CALLBACK headerProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return onHeaderInit(header);
    case WM_SIZE:
        return onHeaderSize(header);
    case WM_COMMAND:
        return onHeaderCommand(wParam);
    case WM_CTLCOLORDLG:
        return onHeaderColourDialog(header);
    case WM_CTLCOLORSTATIC:
        return onHeaderColourStatic(header, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        return onHeaderDestroy(header);
    default:
        return FALSE;
    }
}
