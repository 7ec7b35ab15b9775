// The one way the program gives an Edit control its font, so a Wine text-shaping crash is avoided in one place.
#pragma once

#include <windows.h>

// Sets the font of an Edit (WM_SETFONT). Under Wine the control gets a serif font of the same size instead.
void setEditFont(HWND edit, HFONT font, BOOL redraw);

// Deletes the fonts made for Edit controls; called at exit, after every window is gone.
void releaseEditFonts();
