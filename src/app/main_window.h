// The main window: its class, its procedure and the small helpers its children rely on.
#pragma once

#include <windows.h>

constexpr const char* kMainWindowClass = "WindowsApp";
constexpr int kMainWindowWidth = 544;
constexpr int kMainWindowHeight = 375;
constexpr int kVersionLabelId = 8000;
constexpr COLORREF kLabelColour = RGB(212, 208, 200);
// Windows-1252; the two trailing blanks are part of the label.
constexpr const char* kVersionText = "R\xE9" "alis\xE9" " avec la version 2.1.6  ";

// Wheel requests the board understands as one notch down and one notch up.
constexpr WPARAM kScrollWheelDown = 500;
constexpr WPARAM kScrollWheelUp = 501;

ATOM registerMainWindowClass(HINSTANCE module);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Visible "Static" child with the default GUI font.
HWND createLabel(HWND parent, const char* text, int x, int y, int width, int height, int id);

// Turns exactly one wheel notch (+120 or -120) into one scroll request posted to the board.
void forwardWheel(HWND board, WPARAM wheelParam);

// Moves window to the centre of the desktop without resizing it.
void centreOnDesktop(HWND window);
