// Opaque Win32 handle types, declared exactly as <windows.h> declares them (STRICT),
// so the state record can be shared with portable code that never includes <windows.h>.
#pragma once

struct HWND__;
struct HFONT__;
struct HBRUSH__;
typedef HWND__* HWND;
typedef HFONT__* HFONT;
typedef HBRUSH__* HBRUSH;
