// Header panel dialog procedure; its controls are created when it initialises.
#include "judging/header.h"

INT_PTR CALLBACK headerProc(HWND, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    default:
        return FALSE;
    }
}
