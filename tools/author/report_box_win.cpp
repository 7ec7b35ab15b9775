// Win32 side of the dropped folder: the console check and the message box of the report.
#include "report_box_win.h"

#include <windows.h>

#include <iostream>
#include <sstream>

#include "base/message_box.h"

namespace {

// Message boxes take the ANSI code page; the report is UTF-8 (paths may hold any character).
std::string ansiFromUtf8(const std::string& utf8)
{
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize > 0 ? wideSize : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], wideSize);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], size, nullptr, nullptr);
    return ansi.c_str();
}

}  // namespace

bool ownsConsole()
{
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

int runAuthorBoxed(const std::vector<std::string>& arguments, ExeAccess& access, bool boxed)
{
    if (!boxed) {
        const int status = runAuthor(arguments, access, std::cout, std::cerr);
        std::cout.flush();
        return status;
    }
    std::ostringstream out;
    AuthorReport report;
    const int status = runAuthor(arguments, access, out, out, &report);
    if (status == 0 && !arguments.empty() && arguments[0] == "try") {
        return status;  // the quiz itself was the outcome
    }
    std::string text;
    UINT icon = MB_ICONINFORMATION;
    if (!report.made.empty() || !report.failure.empty() || !report.sourceWritten.empty()) {
        text = reportInFrench(report);
        const bool warned = !report.diagnostics.empty();
        icon = !report.failure.empty() ? MB_ICONERROR : warned ? MB_ICONWARNING : MB_ICONINFORMATION;
    } else if (status == 2) {  // started without a folder, or given a file: the one thing to know
        text = std::string("Pour faire un quiz, déposez sur ") + kToolName +
               ".exe un dossier d'images, de sons (.mp3) ou de vidéos (.avi) : le quiz est créé à côté du dossier.";
    } else {
        text = out.str();
    }
    showMessage(nullptr, ansiFromUtf8(text).c_str(), "Enigo", MB_OK | icon);
    return status;
}
