// Starts real quiz executables as separate processes and checks, from outside, what a
// user would see: the window title, the dialogs' places, message boxes, a clean exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

namespace {

// One quiz executable running in a working folder of its own; killed if still running at the end.
class RunningQuiz {
public:
    // show: a show command handed over the way a shortcut or "start /min" does; -1 for none.
    RunningQuiz(const char* executable, const ScratchFolder& folder, int show = -1)
    {
        std::string command = "\"" + windowsPath(executable) + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = show >= 0 ? STARTF_USESHOWWINDOW : 0;
        startup.wShowWindow = static_cast<WORD>(show);
        EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.path().c_str(),
                                   &startup, &process_));
    }

    ~RunningQuiz()
    {
        if (!process_.hProcess)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    // Waits for a visible top-level window of the given class belonging to the quiz.
    HWND waitForWindow(const char* className)
    {
        for (int waited = 0; process_.hProcess && waited < 600; ++waited) {
            if (HWND found = findProcessWindow(process_.dwProcessId, className))
                return found;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                break;
        }
        return nullptr;
    }

    // Closes the main window as a user would and returns the exit code (0xDEAD on time-out).
    DWORD closeAndWait(HWND main)
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = 0xDEAD;
        if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_ = {};
};

// The header and the board: the main window's child dialogs, top first.
std::vector<HWND> panelsOf(HWND main)
{
    std::vector<HWND> dialogs;
    for (HWND child : descendantsOf(main))
        if (GetParent(child) == main && classOf(child) == "#32770")
            dialogs.push_back(child);
    std::sort(dialogs.begin(), dialogs.end(), [](HWND a, HWND b) { return placeIn(a).top < placeIn(b).top; });
    return dialogs;
}

std::string placeOf(HWND window)
{
    const RECT r = placeIn(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

TEST(QuizExecutable, ShowsItsTitleAndLaysOutBothDialogsThenExitsCleanly)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr) << "no main window appeared";
    EXPECT_EQ(remoteText(main), "\xC9preuve d'\xE9t\xE9");  // "Épreuve d'été" in Windows-1252
    RECT client;
    GetClientRect(main, &client);
    const std::vector<HWND> panels = panelsOf(main);
    ASSERT_EQ(panels.size(), 2u);
    const std::string width = std::to_string(client.right - 11);
    EXPECT_EQ(placeOf(panels[0]), "5,2 " + width + "x49");
    EXPECT_EQ(placeOf(panels[1]), "5,50 " + width + "x" + std::to_string(client.bottom - 68));
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
}

// A shortcut set to start minimised or maximised does not shrink the board to its template size
// or fill the screen. (Windows puts such a command in place of the first ShowWindow's; Wine does
// not, so there only the size tells.)
TEST(QuizExecutable, IgnoresTheShowCommandItWasStartedWith)
{
    for (int show : {SW_SHOWMINNOACTIVE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED}) {
        ScratchFolder folder;
        RunningQuiz quiz(ENIGO_E2E_QUIZ, folder, show);
        HWND main = quiz.waitForWindow("WindowsApp");
        ASSERT_NE(main, nullptr);
        const RECT frame = placeIn(main);
        EXPECT_EQ(std::to_string(IsIconic(main)) + std::to_string(IsZoomed(main)) + " " +
                      std::to_string(frame.right - frame.left) + "x" + std::to_string(frame.bottom - frame.top),
                  "00 544x375")
            << "show command " << show;
        EXPECT_EQ(quiz.closeAndWait(main), 0u);
    }
}

TEST(QuizExecutable, WithoutQuizWarnsFirstThenOpensTheBuiltInQuiz)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_NO_QUIZ, folder);
    HWND box = quiz.waitForWindow("#32770");
    ASSERT_NE(box, nullptr) << "no message box appeared";
    EXPECT_EQ(remoteText(box) + "|" + remoteText(GetDlgItem(box, 0xFFFF)), "Enigo|Reponses non trouv\xE9" "es");
    EXPECT_EQ(FindWindowA("WindowsApp", "Nom du enigo"), nullptr) << "no main window while the message is up";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(remoteText(main), "Nom du enigo");
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
}

// Answers typed before closing are in the progress file; edited, they come back at the next start.
TEST(QuizExecutable, SavesAnswersOnCloseAndRestoresThemAtTheNextStart)
{
    ScratchFolder folder;
    {
        RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
        HWND main = quiz.waitForWindow("WindowsApp");
        ASSERT_NE(main, nullptr);
        HWND board = panelsOf(main).back();
        // The list's answer fields sit one line of 25 pixels apart, right of the captions.
        for (int question = 1; question <= 3; ++question)
            EXPECT_EQ(placeOf(GetDlgItem(board, 4000 + question)), "610," + std::to_string(25 * question - 20) + " 170x20");
        DWORD_PTR result = 0;
        SendMessageTimeoutA(GetDlgItem(board, 4001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("PARIS"), SMTO_ABORTIFHUNG,
                            5000, &result);
        SendMessageTimeoutA(GetDlgItem(board, 4003), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("S\xE9ville"),
                            SMTO_ABORTIFHUNG, 5000, &result);
        EXPECT_EQ(quiz.closeAndWait(main), 0u);
    }
    EXPECT_EQ(readFile(folder / "enigo-e2e.txt"), "PARIS\r\n\r\nS\xE9ville\r\n");

    writeFile(folder / "enigo-e2e.txt", "ROME\r\nMADRID\n\r\nlast");
    RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr);
    HWND board = panelsOf(main).back();
    // A bare LF is text: the second line runs on to the next CR.
    EXPECT_EQ(remoteText(GetDlgItem(board, 4001)) + "|" + remoteText(GetDlgItem(board, 4002)) + "|" +
                  remoteText(GetDlgItem(board, 4003)),
              "ROME|MADRID\n|last");
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
    EXPECT_EQ(readFile(folder / "enigo-e2e.txt"), "ROME\r\nMADRID\n\r\nlast\r\n");
}

// The picture demo seen from outside: every card where the grid puts it, each picture centred
// in its card and in its row's band, rows as high as their tallest picture.
TEST(QuizExecutable, PictureDemoPlacesEveryCardOnTheGrid)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_DEMO_QUIZ, folder);
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr);
    HWND board = panelsOf(main).back();
    int rowTop = 5;
    int question = 1;
    for (; GetDlgItem(board, 4000 + question); question += 3) {
        int rowHeight = 0;
        for (int card = question; card < question + 3 && GetDlgItem(board, 9900 + card); ++card)
            rowHeight = std::max<int>(rowHeight, placeIn(GetDlgItem(board, 9900 + card)).bottom - rowTop);
        EXPECT_GT(rowHeight, 0) << "row of question " << question;
        for (int card = question; card < question + 3 && GetDlgItem(board, 4000 + card); ++card) {
            SCOPED_TRACE("question " + std::to_string(card));
            const int left = 46 + 290 * ((card + 2) % 3);
            const RECT picture = placeIn(GetDlgItem(board, 9900 + card));
            const int width = picture.right - picture.left;
            const int height = picture.bottom - picture.top;
            EXPECT_TRUE(width == 260 || height == 260) << "scaled until one side meets the box";
            EXPECT_EQ(picture.left, left + (260 - width) / 2);
            EXPECT_EQ(picture.top, rowTop + (rowHeight - height) / 2);
            const int fieldTop = rowTop + rowHeight + 10;
            EXPECT_EQ(placeOf(GetDlgItem(board, 4000 + card)),
                      std::to_string(left) + "," + std::to_string(fieldTop) + " 260x20");
            EXPECT_EQ(placeIn(GetDlgItem(board, 5000 + card)).top, fieldTop + 19);
            EXPECT_EQ(remoteText(GetDlgItem(board, 5000 + card)), "?");
        }
        rowTop += rowHeight + 10 + 140;  // reveal labels take room under the fields of every row
    }
    EXPECT_EQ(question, 10) << "eight questions fill three rows";
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
    EXPECT_EQ(readFile(folder / "enigo-images.txt"), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") << "eight empty lines";
}

} // namespace
