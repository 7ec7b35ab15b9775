// Starts real quiz executables as separate processes and checks, from outside, what a
// user would see: the window title, the dialogs' places, message boxes, a clean exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// One quiz executable running in a working folder of its own.
class RunningQuiz {
public:
    // show: a show command handed over the way a shortcut or "start /min" does; -1 for none.
    RunningQuiz(const char* executable, const ScratchFolder& folder, int show = -1)
    {
        std::string command = "\"" + windowsPath(executable) + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (show >= 0) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = static_cast<WORD>(show);
        }
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.path().c_str(),
                                  &startup, &process_);
    }

    ~RunningQuiz()
    {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }

    bool started() const { return started_ != FALSE; }

    // Waits for a visible top-level window of the given class belonging to the quiz.
    HWND waitForWindow(const char* className, DWORD timeoutMs = 30000)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            if (HWND found = findProcessWindow(process_.dwProcessId, className))
                return found;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }

    // Closes the main window as a user would and returns the exit code (or a marker on time-out).
    DWORD closeAndWait(HWND main)
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
            return 0xDEAD;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_ = {};
    BOOL started_ = FALSE;
};

std::vector<HWND> childDialogs(HWND main)
{
    const std::vector<HWND> children = descendantsOf(main);
    std::vector<HWND> dialogs;
    for (HWND child : children)
        if (GetParent(child) == main && classOf(child) == "#32770")
            dialogs.push_back(child);
    return dialogs;
}

TEST(QuizExecutable, ShowsItsTitleAndLaysOutBothDialogsThenExitsCleanly)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
    ASSERT_TRUE(quiz.started());
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr) << "no main window appeared";

    // "Épreuve d'été" in Windows-1252.
    EXPECT_EQ(remoteText(main), "\xC9preuve d'\xE9t\xE9");

    RECT client;
    GetClientRect(main, &client);
    std::vector<HWND> dialogs = childDialogs(main);
    ASSERT_EQ(dialogs.size(), 2u);
    // Creation order: the header first, then the board.
    RECT header = placeIn(dialogs[0]);
    RECT board = placeIn(dialogs[1]);
    if (header.top > board.top)
        std::swap(header, board);
    EXPECT_EQ(header.left, 5);
    EXPECT_EQ(header.top, 2);
    EXPECT_EQ(header.right - header.left, client.right - 11);
    EXPECT_EQ(header.bottom - header.top, 49);
    EXPECT_EQ(board.left, 5);
    EXPECT_EQ(board.top, 50);
    EXPECT_EQ(board.right - board.left, client.right - 11);
    EXPECT_EQ(board.bottom - board.top, client.bottom - 68);
    EXPECT_EQ(remoteText(GetDlgItem(main, 8000)), "R\xE9" "alis\xE9" " avec la version 2.1.6  ");

    EXPECT_EQ(quiz.closeAndWait(main), 0u);
}

TEST(QuizExecutable, DemoQuizStartsAndCloses)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_DEMO_QUIZ, folder);
    ASSERT_TRUE(quiz.started());
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr) << "no main window appeared";
    EXPECT_FALSE(remoteText(main).empty());
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
}

// The player's windows are always shown normally: a shortcut set to start minimised or
// maximised does not shrink the board to its template size or fill the screen. (Windows puts
// such a command in place of the first ShowWindow's; Wine does not, so there only the size tells.)
TEST(QuizExecutable, IgnoresTheShowCommandItWasStartedWith)
{
    for (int show : {SW_SHOWMINNOACTIVE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED}) {
        SCOPED_TRACE("show command " + std::to_string(show));
        ScratchFolder folder;
        RunningQuiz quiz(ENIGO_E2E_QUIZ, folder, show);
        HWND main = quiz.waitForWindow("WindowsApp");
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(IsIconic(main));
        EXPECT_FALSE(IsZoomed(main));
        RECT frame;
        GetWindowRect(main, &frame);
        EXPECT_EQ(frame.right - frame.left, 544);
        EXPECT_EQ(frame.bottom - frame.top, 375);
        EXPECT_EQ(quiz.closeAndWait(main), 0u);
    }
}

TEST(QuizExecutable, WithoutQuizWarnsFirstThenOpensTheBuiltInQuiz)
{
    ScratchFolder folder;
    RunningQuiz quiz(ENIGO_NO_QUIZ, folder);
    ASSERT_TRUE(quiz.started());
    HWND box = quiz.waitForWindow("#32770");
    ASSERT_NE(box, nullptr) << "no message box appeared";
    EXPECT_EQ(remoteText(box), "Enigo");
    EXPECT_EQ(remoteText(GetDlgItem(box, 0xFFFF)), "Reponses non trouv\xE9" "es");
    // No main window exists while the message is up.
    EXPECT_EQ(FindWindowA("WindowsApp", "Nom du enigo"), nullptr);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = quiz.waitForWindow("WindowsApp");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(remoteText(main), "Nom du enigo");
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
}


HWND boardOf(HWND main)
{
    std::vector<HWND> dialogs = childDialogs(main);
    HWND board = nullptr;
    for (HWND dialog : dialogs)
        if (placeIn(dialog).top == 50)
            board = dialog;
    return board;
}

void setText(HWND control, const char* text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &result);
}

// Answers typed before closing are in the progress file; edited, they come back at the next start.
TEST(QuizExecutable, SavesAnswersOnCloseAndRestoresThemAtTheNextStart)
{
    ScratchFolder folder;
    {
        RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
        HWND main = quiz.waitForWindow("WindowsApp");
        ASSERT_NE(main, nullptr);
        HWND board = boardOf(main);
        ASSERT_NE(board, nullptr);
        // The list's answer fields sit one line of 25 pixels apart, right of the captions.
        for (int question = 1; question <= 3; ++question) {
            HWND field = GetDlgItem(board, 4000 + question);
            ASSERT_NE(field, nullptr) << question;
            RECT rect = placeIn(field);
            EXPECT_EQ(rect.left, 610);
            EXPECT_EQ(rect.top, 5 + 25 * (question - 1));
        }
        setText(GetDlgItem(board, 4001), "PARIS");
        setText(GetDlgItem(board, 4003), "S\xE9ville");
        EXPECT_EQ(quiz.closeAndWait(main), 0u);
    }
    EXPECT_EQ(readFile(folder / "enigo-e2e.txt"), "PARIS\r\n\r\nS\xE9ville\r\n");

    writeFile(folder / "enigo-e2e.txt", "ROME\r\nMADRID\n\r\nlast");
    {
        RunningQuiz quiz(ENIGO_E2E_QUIZ, folder);
        HWND main = quiz.waitForWindow("WindowsApp");
        ASSERT_NE(main, nullptr);
        HWND board = boardOf(main);
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(remoteText(GetDlgItem(board, 4001)), "ROME");
        // A bare LF is text: the second line runs on to the next CR.
        EXPECT_EQ(remoteText(GetDlgItem(board, 4002)), "MADRID\n");
        EXPECT_EQ(remoteText(GetDlgItem(board, 4003)), "last");
        EXPECT_EQ(quiz.closeAndWait(main), 0u);
    }
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
    HWND board = boardOf(main);
    ASSERT_NE(board, nullptr);

    int rowTop = 5;
    int question = 1;
    while (GetDlgItem(board, 4000 + question)) {
        int rowHeight = 0;
        for (int card = question; card < question + 3 && GetDlgItem(board, 9900 + card); ++card) {
            RECT picture = placeIn(GetDlgItem(board, 9900 + card));
            rowHeight = std::max<int>(rowHeight, picture.bottom - picture.top);
        }
        EXPECT_GT(rowHeight, 0) << "row of question " << question;
        for (int card = question; card < question + 3 && GetDlgItem(board, 4000 + card); ++card) {
            SCOPED_TRACE("question " + std::to_string(card));
            int left = 46 + 290 * ((card + 2) % 3);
            RECT picture = placeIn(GetDlgItem(board, 9900 + card));
            int width = picture.right - picture.left;
            int height = picture.bottom - picture.top;
            EXPECT_TRUE(width == 260 || height == 260) << "scaled until one side meets the box";
            EXPECT_EQ(picture.left, left + (260 - width) / 2);
            EXPECT_EQ(picture.top, rowTop + (rowHeight - height) / 2);
            RECT field = placeIn(GetDlgItem(board, 4000 + card));
            EXPECT_EQ(field.left, left);
            EXPECT_EQ(field.top, rowTop + rowHeight + 10);
            EXPECT_EQ(field.right - field.left, 260);
            RECT verdict = placeIn(GetDlgItem(board, 5000 + card));
            EXPECT_EQ(verdict.top, field.top + 19);
            EXPECT_EQ(remoteText(GetDlgItem(board, 5000 + card)), "?");
        }
        // Reveal labels take room under the fields of every row.
        rowTop += rowHeight + 10 + 140;
        question += 3;
    }
    EXPECT_EQ(question, 10) << "eight questions fill three rows";
    EXPECT_EQ(quiz.closeAndWait(main), 0u);
    // Nothing typed: eight empty lines.
    EXPECT_EQ(readFile(folder / "enigo-images.txt"), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

} // namespace
