// Reads and steers a running quiz from another process, for the keyboard-driven end-to-end test:
//   probe start QUIZ.exe          starts the quiz in the current folder, prints "caption|text" of each message box
//                                 it shows (and presses OK), then its main window's handle; or "exited CODE"
//   probe resource EXE TYPE ID FILE  writes FILE into EXE as resource TYPE (a name, or a number) ID
//   probe size WIDTH HEIGHT       moves the main window to the corner and resizes it
//   probe text board|header ID    prints the text of that control (raw bytes)
//   probe close                   closes the main window as a user would and prints the quiz's exit code
// All but start act on the window whose handle is in ENIGO_PROBE_WINDOW, so other programs' windows never interfere.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A visible top-level window of one process and one class.
struct Wanted {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM wanted)
{
    DWORD owner = 0;
    char name[16] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof name);
    auto* w = reinterpret_cast<Wanted*>(wanted);
    if (owner != w->process || !IsWindowVisible(window) || std::strcmp(name, w->className) != 0)
        return TRUE;
    w->found = window;
    return FALSE;
}

HWND windowOf(DWORD process, const char* className)
{
    Wanted wanted = {process, className, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

std::string textOf(HWND control)
{
    char text[300] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    return text;
}

std::string windowsPath(const char* path)
{
    return std::string(path[0] == '/' ? "Z:" : "") + path;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "start" && argc == 3) {
        std::string line = "\"" + windowsPath(argv[2]) + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 1;
        DWORD code = 0;
        for (int tries = 0; tries < 600; ++tries, Sleep(50)) {
            if (HWND main = windowOf(process.dwProcessId, "WindowsApp"))
                return std::printf("%lld", static_cast<long long>(reinterpret_cast<INT_PTR>(main))), 0;
            if (HWND box = windowOf(process.dwProcessId, "#32770")) {
                char caption[100] = {};
                GetWindowTextA(box, caption, sizeof caption);
                std::printf("%s|%s\n", caption, textOf(GetDlgItem(box, 0xFFFF)).c_str());
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                for (int wait = 0; wait < 100 && IsWindow(box); ++wait)
                    Sleep(20);
            } else if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code)) {
                return std::printf("exited %lx", code), 1;
            }
        }
        return 1;
    }
    if (command == "resource" && argc == 6) {
        std::string bytes;
        if (FILE* file = std::fopen(windowsPath(argv[5]).c_str(), "rb")) {
            for (int c; (c = std::fgetc(file)) != EOF;)
                bytes += char(c);
            std::fclose(file);
        }
        HANDLE update = BeginUpdateResourceA(windowsPath(argv[2]).c_str(), FALSE);
        const char* type = std::isdigit(argv[3][0]) ? MAKEINTRESOURCEA(std::atoi(argv[3])) : argv[3];
        return !update ||
               !UpdateResourceA(update, type, MAKEINTRESOURCEA(std::atoi(argv[4])), 0, &bytes[0],
                                DWORD(bytes.size())) ||
               !EndUpdateResourceA(update, FALSE);
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
        const std::string text = textOf(control);
        return std::fwrite(text.data(), 1, text.size(), stdout), 0;
    }
    return 1;
}
