// The program's frame: start-up, message loop and teardown.
#pragma once

#include <windows.h>

// Runs the whole program on the quiz carried by module; returns the quit message's value.
int runEnigo(HINSTANCE module);

// Creates the main window, centres it, creates the header and board dialogs and shows them all.
// Returns the main window, or null (nothing left behind) when a window cannot be made.
HWND createMainWindow(HINSTANCE module);
