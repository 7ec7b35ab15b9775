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
#include <utility>

namespace {

bool is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

HWND findMain()
{
    const char* handle = std::getenv("ENIGO_PROBE_WINDOW");
    HWND window = handle ? reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(handle, nullptr, 10))) : nullptr;
    return window && IsWindow(window) ? window : nullptr;
}

int startQuiz(const char* executable)
{
    std::string command = std::string("\"") + (executable[0] == '/' ? "Z:" : "") + executable + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    std::pair<DWORD, HWND> search = {process.dwProcessId, nullptr};
    for (int tries = 0; tries < 600 && !search.second; ++tries) {
        EnumWindows(
            [](HWND window, LPARAM parameter) {
                auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(parameter);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                char name[32] = {};
                GetClassNameA(window, name, sizeof name);
                if (owner != wanted->first || !IsWindowVisible(window) || !is(name, "WindowsApp"))
                    return TRUE;
                wanted->second = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.second)
            Sleep(50);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.second)
        return 1;
    std::printf("%lld", static_cast<long long>(reinterpret_cast<INT_PTR>(search.second)));
    return 0;
}

// The header sits at the top of the main window, the board below it; "main" is the window itself.
HWND findPanel(const char* where)
{
    HWND main = findMain();
    if (!main || is(where, "main"))
        return main;
    HWND best = nullptr;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
        if (is(name, "#32770") && (rect.top < 10) == is(where, "header"))
            best = child;
    }
    return best;
}

int closeQuiz(HWND main)
{
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process);
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    if (handle && WaitForSingleObject(handle, 20000) == WAIT_OBJECT_0 && GetExitCodeProcess(handle, &code)) {
        std::printf("%lu", code);
        return 0;
    }
    if (handle)
        TerminateProcess(handle, 1);
    std::printf("timeout");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* command = argc >= 2 ? argv[1] : "";
    if (argc >= 3 && is(command, "start"))
        return startQuiz(argv[2]);
    HWND main = findMain();
    if (is(command, "close"))
        return main ? closeQuiz(main) : 1;
    if (is(command, "scroll")) {
        HWND board = findPanel("board");
        return board ? std::printf("%d", GetScrollPos(board, SB_VERT)), 0 : 1;
    }
    if (argc >= 4 && is(command, "size"))
        return main && SetWindowPos(main, nullptr, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]),
                                    SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    if (argc < 4)
        return 2;
    HWND panel = findPanel(argv[2]);
    HWND control = panel ? GetDlgItem(panel, std::atoi(argv[3])) : nullptr;
    if (!control)
        return 1;
    DWORD_PTR answer = 0;
    if (is(command, "text")) {
        char text[300] = {};
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                            &answer);
        std::fwrite(text, 1, std::strlen(text), stdout);
    } else if (is(command, "checked")) {
        SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        std::printf("%d", answer == BST_CHECKED ? 1 : 0);
    } else if (is(command, "centre")) {
        RECT rect;
        GetWindowRect(control, &rect);
        std::printf("%ld %ld", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    } else if (is(command, "visible")) {
        std::printf("%d", IsWindowVisible(control) ? 1 : 0);
    } else {
        return 2;
    }
    return 0;
}
