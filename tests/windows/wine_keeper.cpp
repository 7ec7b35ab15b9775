// Holds one idle window open so Wine's desktop process stays up between test programs. Once the window exists it
// creates the ready file its one argument names (an absolute path, never its working folder): the first Wine program
// of a session starts the wineserver and the desktop, and those must be the keeper's (holding no test runner's pipe).
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HWND idle = CreateWindowExA(0, "Static", "enigo-keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (__argc != 2 || !idle)
        return 1;
    HANDLE ready = CreateFileA(__argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE)
        CloseHandle(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
