// The application shell in-process: the main window as start-up makes it (centred at its size, its children laid
// out from the client area, the version label's brush), closing with the progress file saved, and the quiz brushes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/progress.h"
#include "app/startup.h"
#include "base/app.h"
#include "board/board_ids.h"
#include "quiz/quiz_state_win.h"
#include "test_support.h"

namespace {

std::string place(HWND window)
{
    const RECT r = placeIn(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// Board, header and version label as a client area of w x h places them.
std::string layoutFor(int w, int h)
{
    return "5,50 " + std::to_string(w - 11) + "x" + std::to_string(h - 68) + "|5,2 " + std::to_string(w - 11) + "x49|" +
           std::to_string(w - 145) + "," + std::to_string(h - 16) + " 150x15";
}

// A text quiz of 30 questions, taller than the window, and the progress file of an earlier run, in a scratch folder.
class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        char name[MAX_PATH];
        progressFileName(name);
        progress = name;
        writeFile(progress, kEarlier);
        registerMainWindowClass(self());
        app.labelBrush = CreateSolidBrush(kLabelColour);
        describeQuiz({kMediaText, 30, 1, 0});
        main = createMainWindow(self());
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(main);
        drainPosted(nullptr);
        DeleteObject(app.labelBrush);
    }
    std::string layout() const
    {
        return place(app.boardWindow) + "|" + place(app.headerWindow) + "|" + place(GetDlgItem(main, kVersionLabelId));
    }

    const std::string kEarlier = "ancien\r\ndeux\r\n";
    ScratchFolder scratch_;
    QuizApp quizApp_;
    std::string progress;
    HWND main = nullptr;
};

// Laid out at creation and on every resize; a minimised window keeps the last layout; only the version label is grey.
TEST_F(MainWindow, IsCentredAndLaidOutFromItsClientArea)
{
    RECT desk, client;
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_EQ(place(main), std::to_string((desk.right - desk.left - 544) / 2) + "," +
                               std::to_string((desk.bottom - desk.top - 375) / 2) + " 544x375");
    EXPECT_TRUE(IsWindowVisible(app.boardWindow) && IsWindowVisible(app.headerWindow));
    EXPECT_EQ(GetScrollPos(app.boardWindow, SB_VERT), 0) << "the board starts at its top";
    for (int width : {544, 700}) {
        SetWindowPos(main, nullptr, 0, 0, width, width * 2 / 3, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(main, &client);
        EXPECT_EQ(layout(), layoutFor(client.right, client.bottom));
    }
    SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    SendMessageA(main, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(layout(), layoutFor(800, 600));
    HDC dc = GetDC(main);
    auto colour = [&](HWND control) {
        return SendMessageA(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    };
    EXPECT_EQ(colour(GetDlgItem(main, kVersionLabelId)), reinterpret_cast<LRESULT>(app.labelBrush));
    EXPECT_EQ(colour(createLabel(main, "autre", 0, 0, 10, 10, 8001)), 0);
    ReleaseDC(main, dc);
}

// Every field, restored or typed, replaces the earlier file through a temporary; a stray sound file goes; quits with 0.
TEST_F(MainWindow, ClosingSavesTheAnswersOverTheEarlierFileAndQuits)
{
    SetWindowTextA(GetDlgItem(app.boardWindow, answerFieldId(1, 1, 1)), "nouveau");
    writeFile(progress + ".tmp", std::string(1000, 't'));
    writeFile("enigo.mp3", "");
    EXPECT_EQ(SendMessageA(main, WM_CLOSE, 0, 0), 0);
    std::string saved = "nouveau\r\ndeux\r\n";
    while (saved.size() < 15 + 28 * 2)
        saved += "\r\n";
    EXPECT_EQ(readFile(progress), saved);
    EXPECT_EQ(folderContents(), std::vector<std::string>{progress});
    EXPECT_FALSE(IsWindow(app.boardWindow));
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

// The background and verdict brushes the board paints with.
TEST(QuizStateObjects, BrushesHaveTheirColours)
{
    QuizState state;
    initQuizState(state);
    std::vector<COLORREF> colours;
    for (HBRUSH brush : {state.backBrush, state.wrongBrush, state.anagramBrush, state.hintBrush, state.captionBrush}) {
        LOGBRUSH b = {};
        GetObjectA(brush, sizeof b, &b);
        colours.push_back(b.lbColor);
    }
    releaseQuizState(state);
    EXPECT_EQ(colours, std::vector<COLORREF>({RGB(90, 95, 150), RGB(255, 0, 0), RGB(255, 100, 0), RGB(255, 203, 38),
                                              RGB(255, 255, 192)}));
}

} // namespace
