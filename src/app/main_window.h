// The main window: its class, its procedure and the small helpers its children rely on.
#pragma once

#include <windows.h>

#include "resource.h"

constexpr const char* kMainWindowClass = "WindowsApp";
constexpr int kMainWindowWidth = 544;
constexpr int kMainWindowHeight = 375;
constexpr int kVersionLabelId = 8000;
constexpr COLORREF kLabelColour = RGB(212, 208, 200);
// Windows-1252; the two trailing blanks are part of the label.
constexpr const char* kVersionText = "R\xE9"
                                     "alis\xE9"
                                     " avec la version " ENIGO_VERSION_STRING "  ";

ATOM registerMainWindowClass(HINSTANCE module);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Visible "Static" child with the default GUI font.
HWND createLabel(HWND parent, const char* text, int x, int y, int width, int height, int id);

// Moves window to the centre of the desktop without resizing it.
void centreOnDesktop(HWND window);
