// Reads the state of a running quiz from another process, for the keyboard-driven tests:
//   probe text board|header|main ID   prints the text of that control (raw bytes)
//   probe checked header ID           prints 1 or 0 for a check box
//   probe visible board ID            prints 1 or 0
//   probe centre header ID            prints the control's centre in screen pixels: "X Y"
//   probe scroll                      prints the board's vertical scroll position
//   probe start QUIZ.exe              starts the quiz in the current folder, waits up to 30 s for
//                                     its main window and prints its handle
//   probe close                       closes the main window as a user would and prints the
//                                     quiz's exit code ("timeout" when it does not exit)
//   probe size WIDTH HEIGHT           moves the main window to the corner and resizes it
// The other commands act on the window whose handle is in ENIGO_PROBE_WINDOW (as printed by
// start), so other programs' windows on the same display never get in the way.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND findMain()
{
    const char* handle = std::getenv("ENIGO_PROBE_WINDOW");
    if (!handle)
        return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(handle, nullptr, 10)));
    return IsWindow(window) ? window : nullptr;
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK matchQuizWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->process && IsWindowVisible(window) && std::strcmp(name, "WindowsApp") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int startQuiz(const char* executable)
{
    std::string command = "\"";
    command += executable[0] == '/' ? std::string("Z:") + executable : std::string(executable);
    command += "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    Search search = {process.dwProcessId, nullptr};
    for (int tries = 0; tries < 600 && !search.found; ++tries) {
        EnumWindows(matchQuizWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(50);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found)
        return 1;
    std::printf("%lld", static_cast<long long>(reinterpret_cast<INT_PTR>(search.found)));
    return 0;
}

// The header sits at the top of the main window, the board below it.
HWND findPanel(HWND main, bool header)
{
    HWND best = nullptr;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strcmp(name, "#32770") != 0)
            continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
        if ((rect.top < 10) == header)
            best = child;
    }
    return best;
}

HWND findControl(const char* where, int id)
{
    HWND main = findMain();
    if (!main)
        return nullptr;
    if (std::strcmp(where, "main") == 0)
        return GetDlgItem(main, id);
    HWND panel = findPanel(main, std::strcmp(where, "header") == 0);
    return panel ? GetDlgItem(panel, id) : nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "start") == 0)
        return startQuiz(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "close") == 0) {
        HWND main = findMain();
        if (!main)
            return 1;
        DWORD process = 0;
        GetWindowThreadProcessId(main, &process);
        HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process);
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = 1;
        if (handle && WaitForSingleObject(handle, 20000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(handle, &code);
            std::printf("%lu", code);
        } else {
            if (handle)
                TerminateProcess(handle, 1);
            std::printf("timeout");
        }
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "scroll") == 0) {
        HWND main = findMain();
        HWND board = main ? findPanel(main, false) : nullptr;
        if (!board)
            return 1;
        std::printf("%d", GetScrollPos(board, SB_VERT));
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "size") == 0) {
        HWND main = findMain();
        return main && SetWindowPos(main, nullptr, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]),
                                    SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (argc < 4)
        return 2;
    HWND control = findControl(argv[2], std::atoi(argv[3]));
    if (!control)
        return 1;
    if (std::strcmp(argv[1], "text") == 0) {
        char text[300] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                            &copied);
        std::fwrite(text, 1, std::strlen(text), stdout);
    } else if (std::strcmp(argv[1], "checked") == 0) {
        DWORD_PTR state = 0;
        SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
        std::printf("%d", state == BST_CHECKED ? 1 : 0);
    } else if (std::strcmp(argv[1], "centre") == 0) {
        RECT rect;
        GetWindowRect(control, &rect);
        std::printf("%ld %ld", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    } else if (std::strcmp(argv[1], "visible") == 0) {
        std::printf("%d", IsWindowVisible(control) ? 1 : 0);
    } else {
        return 2;
    }
    return 0;
}
