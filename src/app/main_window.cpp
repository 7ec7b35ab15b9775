// The main window procedure: version label, layout of the two child dialogs, closing.
#include "app/main_window.h"

#include "app/progress.h"
#include "base/app.h"
#include "board/board_scroll.h"

namespace {

LRESULT onCreate(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    createLabel(window, kVersionText, 720, client.bottom - 16, 140, 15, kVersionLabelId);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
    return 0;
}

LRESULT onSize(HWND window, WPARAM kind, LPARAM size)
{
    // A minimised window reports a zero client area: keep the last layout.
    if (kind == SIZE_MINIMIZED)
        return 0;
    int width = LOWORD(size);
    int height = HIWORD(size);
    SetWindowPos(app.boardWindow, nullptr, 5, 50, width - 11, height - 68, SWP_NOZORDER);
    SetWindowPos(app.headerWindow, nullptr, 5, 2, width - 11, 49, SWP_NOZORDER);
    SetWindowPos(GetDlgItem(window, kVersionLabelId), nullptr, width - 145, height - 16, 150, 15,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT onDestroy()
{
    DestroyWindow(app.boardWindow);
    PostQuitMessage(0);
    return 0;
}

LRESULT onClose()
{
    // Saved first, while every answer field still exists.
    saveProgress(*app.quiz);
    // Nothing of ours writes this name; removing it is a courtesy cleanup, a missing file is fine.
    DeleteFileA("enigo.mp3");
    return onDestroy();
}

LRESULT onColourStatic(HDC dc, HWND control)
{
    if (GetDlgCtrlID(control) != kVersionLabelId)
        return 0;
    // The text cells take the brush's colour too, so the label reads as one grey strip.
    SetBkColor(dc, kLabelColour);
    return reinterpret_cast<LRESULT>(app.labelBrush);
}

}  // namespace

ATOM registerMainWindowClass(HINSTANCE module)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_SIZE:
        return onSize(window, wParam, lParam);
    case WM_CLOSE:
        return onClose();
    case WM_DESTROY:
        return onDestroy();
    case WM_CTLCOLORSTATIC:
        return onColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEWHEEL:
        forwardWheel(app.boardWindow, wParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND createLabel(HWND parent, const char* text, int x, int y, int width, int height, int id)
{
    HWND label = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return label;
}

void centreOnDesktop(HWND window)
{
    RECT desktop;
    RECT frame;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &frame);
    int x = desktop.left + ((desktop.right - desktop.left) - (frame.right - frame.left)) / 2;
    int y = desktop.top + ((desktop.bottom - desktop.top) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
