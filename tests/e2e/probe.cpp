// Reads and steers a running quiz from another process, for the keyboard-driven end-to-end test:
//   probe start QUIZ.exe          starts the quiz in the current folder and prints its main window's handle
//   probe size WIDTH HEIGHT       moves the main window to the corner and resizes it
//   probe text board|header ID    prints the text of that control (raw bytes)
//   probe close                   closes the main window as a user would and prints the quiz's exit code
// All but start act on the window whose handle is in ENIGO_PROBE_WINDOW, so other programs' windows never interfere.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The quiz's visible main window: lParam holds the process id on the way in, the window on the way out.
BOOL CALLBACK findMain(HWND window, LPARAM found)
{
    DWORD owner = 0;
    char name[16] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof name);
    auto* result = reinterpret_cast<LPARAM*>(found);
    if (owner != DWORD(*result) || !IsWindowVisible(window) || std::strcmp(name, "WindowsApp") != 0)
        return TRUE;
    *result = reinterpret_cast<LPARAM>(window);
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "start" && argc == 3) {
        std::string line = std::string("\"") + (argv[2][0] == '/' ? "Z:" : "") + argv[2] + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 1;
        LPARAM found = process.dwProcessId;
        for (int tries = 0; tries < 600 && EnumWindows(findMain, reinterpret_cast<LPARAM>(&found)); ++tries)
            Sleep(50);
        return found != LPARAM(process.dwProcessId) ? std::printf("%lld", static_cast<long long>(found)), 0 : 1;
    }
    const char* handle = std::getenv("ENIGO_PROBE_WINDOW");
    HWND main = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle ? std::strtoll(handle, nullptr, 10) : 0));
    if (!IsWindow(main))
        return 1;
    if (command == "size" && argc == 4)
        return !SetWindowPos(main, nullptr, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]), SWP_NOZORDER);
    if (command == "close") {
        DWORD process = 0, code = 1;
        GetWindowThreadProcessId(main, &process);
        HANDLE quiz = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, process);
        PostMessageA(main, WM_CLOSE, 0, 0);
        if (quiz && WaitForSingleObject(quiz, 20000) == WAIT_OBJECT_0 && GetExitCodeProcess(quiz, &code))
            return std::printf("%lu", code), 0;
        TerminateProcess(quiz, 1);
        return std::printf("timeout"), 0;
    }
    if (command != "text" || argc != 4)
        return 2;
    // The header sits at the top of the main window, the board below it; only they have controls.
    for (HWND panel = GetWindow(main, GW_CHILD); panel; panel = GetWindow(panel, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(panel, &rect);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
        HWND control = GetDlgItem(panel, std::atoi(argv[3]));
        if (!control || (rect.top < 10) != (std::strcmp(argv[2], "header") == 0))
            continue;
        char text[300] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        return std::fwrite(text, 1, std::strlen(text), stdout), 0;
    }
    return 1;
}
