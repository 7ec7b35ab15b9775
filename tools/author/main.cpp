// enigo-auteur: writes, makes, checks, extracts, summarises and tries quizzes; a Windows console program.
#include <windows.h>

#include <string>
#include <vector>

#include "exe_access_win.h"
#include "report_box_win.h"

namespace {

// Command-line arguments arrive in the ANSI code page; the commands take UTF-8.
std::string utf8FromAnsi(const char* ansi)
{
    const int wideSize = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (wideSize <= 1) {
        return std::string();
    }
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], wideSize);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(size - 1));
    return utf8;
}

}  // namespace

int main(int argc, char** argv)
{
    // Quiz texts and file names are printed in UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(utf8FromAnsi(argv[i]));
    }
    WindowsExeAccess access;
    return runAuthorBoxed(arguments, access, ownsConsole());
}
