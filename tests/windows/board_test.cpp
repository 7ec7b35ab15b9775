// The question board built in-process from fixture quizzes: every control's id, class, style,
// text, font, place and size in creation (tab) order, pictures and label colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "base/app.h"
#include "board/board.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

enum Font { kNoFont, kBoardFont, kGuiFont };

constexpr DWORD kRight = 0x50000002, kPlain = 0x50000000, kCentred = 0x50000001, kFramed = 0x50800201;
constexpr DWORD kPicture = 0x5080020E, kCardAnswer = 0x50810081, kListAnswer = 0x50810281, kIconButton = 0x50010041;

class Board : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr,
                                  self(), nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }

    // Card pictures by id (480 x 360 unless listed as tall), then the board built from the quiz.
    void build(const QuizSetup& setup, std::vector<int> pictures = {}, std::vector<int> tall = {})
    {
        for (int id : pictures)
            pictures_.add("IMG", id, bmpFile(480, 360, RGB(200, 0, 0)));
        for (int id : tall)
            pictures_.add("IMG", id, bmpFile(360, 480, RGB(0, 0, 200)));
        if (!pictures.empty() || !tall.empty())
            app.module = pictures_.load();
        describeQuiz(setup);
        CreationStyles styles;
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
    }

    void expectBoard(const std::vector<ExpectedControl>& expected, int width, int height)
    {
        expectControls(board_, expected, [](int font) -> HGDIOBJ {
            return font == kBoardFont ? static_cast<HGDIOBJ>(app.quiz->boardFont)
                   : font == kGuiFont ? GetStockObject(DEFAULT_GUI_FONT) : nullptr;
        });
        EXPECT_EQ(app.quiz->contentWidth, width);
        EXPECT_EQ(app.quiz->contentHeight, height);
    }

    SIZE picture(int id) const
    {
        HBITMAP shown = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(board_, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
        return shown ? bitmapSize(shown) : SIZE{-1, -1};
    }

    QuizApp quizApp_;
    FixtureModule pictures_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

TEST_F(Board, ListQuizMakesOneNumberedLinePerQuestion)
{
    // Restored answers are judged as their fields are made: right, empty, wrong.
    writeFile("windows_tests.txt", "a1\r\n\r\nMADRID\r\n");
    build({0, 3, 1, 2});
    expectBoard({{2000, "Static", kRight, "1.", kNoFont, 26, 7, 19, 17},
                 {3000, "Static", kFramed, "Question 1", kBoardFont, 50, 5, 550, 20},
                 {4001, "Edit", kListAnswer, "a1", kBoardFont, 610, 5, 170, 20},
                 {5001, "Static", kFramed, "BRAVO", kNoFont, 790, 5, 100, 20},
                 {2000, "Static", kRight, "2.", kNoFont, 26, 32, 19, 17},
                 {3000, "Static", kFramed, "Question 2", kBoardFont, 50, 30, 550, 20},
                 {4002, "Edit", kListAnswer, "", kBoardFont, 610, 30, 170, 20},
                 {5002, "Static", kFramed, "?", kNoFont, 790, 30, 100, 20},
                 {2000, "Static", kRight, "3.", kNoFont, 26, 57, 19, 17},
                 {3000, "Static", kFramed, "Question 3", kBoardFont, 50, 55, 550, 20},
                 {4003, "Edit", kListAnswer, "MADRID", kBoardFont, 610, 55, 170, 20},
                 {5003, "Static", kFramed, "FAUX", kNoFont, 790, 55, 100, 20}},
                900, 80);
}

// Row of three: 480 x 360, no picture, 360 x 480; the row is as high as the tallest (260).
TEST_F(Board, PictureRowCentresEachPictureInTheTallestPicturesBand)
{
    writeFile("windows_tests.txt", "un\r\ndeux\r\ntrois\r\n");
    build({1, 3, 1, 0}, {401}, {403});
    expectBoard({{9901, "Static", kPicture, "", kNoFont, 46, 37, 260, 195},
                 {2001, "Static", kRight, "1.", kNoFont, 18, 277, 27, 17},
                 {4001, "Edit", kCardAnswer, "un", kBoardFont, 46, 275, 260, 20},
                 {5001, "Static", kFramed, "FAUX", kNoFont, 46, 294, 260, 20},
                 {9902, "Static", kPicture, "", kNoFont, 336, 135, 260, 0},
                 {2002, "Static", kRight, "2.", kNoFont, 308, 277, 27, 17},
                 {4002, "Edit", kCardAnswer, "deux", kBoardFont, 336, 275, 260, 20},
                 {5002, "Static", kFramed, "FAUX", kNoFont, 336, 294, 260, 20},
                 {9903, "Static", kPicture, "", kNoFont, 658, 5, 195, 260},
                 {2003, "Static", kRight, "3.", kNoFont, 598, 277, 27, 17},
                 {4003, "Edit", kCardAnswer, "trois", kBoardFont, 626, 275, 260, 20},
                 {5003, "Static", kFramed, "FAUX", kNoFont, 626, 294, 260, 20}},
                910, 335);
    EXPECT_EQ(picture(9901).cx * 1000 + picture(9901).cy, 260195) << "the scaled bitmap went to its control";
    EXPECT_EQ(picture(9902).cx, -1) << "the missing one left its control empty";
}

// Seven questions: the third row asks for pictures 408 and 409, past the last question.
TEST_F(Board, LastRowTakesPicturesPastTheLastQuestionIntoItsHeight)
{
    build({1, 7, 1, 0}, {401, 404, 407}, {409});
    EXPECT_EQ(app.quiz->rowHeights[2], 260);
    // Rows at 5, 270 and 535; question 7's fields under a 260-pixel band.
    EXPECT_EQ(placeIn(GetDlgItem(board_, 4007)).top, 535 + 270);
    EXPECT_EQ(app.quiz->contentHeight, 535 + 270 + 60);
    EXPECT_EQ(GetDlgItem(board_, 9908), nullptr);
}

// Sound quiz, two answers, reveal mode 2: names, number, hidden reveal, pairs, buttons.
TEST_F(Board, SoundCardsWithTwoAnswersAndRevealLabels)
{
    writeFile("windows_tests.txt", "a1\r\na2\r\nb1\r\n");
    build({2, 2, 2, 2});
    expectBoard({// The media player's container comes first, before any card.
                 {9900, "STATIC", WS_CHILD | WS_VISIBLE | WS_BORDER, "", kNoFont, 0, 0, 0, 0},
                 {156, "Static", kPlain, "Pays", kGuiFont, 4, 7, 95, 20},
                 {156, "Static", kPlain, "Capitale", kGuiFont, 3, 27, 95, 20},
                 {2001, "Static", kRight, "1.", kNoFont, 78, 7, 27, 17},
                 {8001, "Static", kCentred, "R\xE9ponse 1", kGuiFont, 106, 51, 260, 65},
                 {4001, "Edit", kCardAnswer, "a1", kBoardFont, 126, 5, 181, 20},
                 {5001, "Static", kFramed, "BRAVO", kGuiFont, 306, 5, 60, 20},
                 {4002, "Edit", kCardAnswer, "a2", kBoardFont, 126, 24, 181, 20},
                 {5002, "Static", kFramed, "FAUX", kGuiFont, 306, 24, 60, 20},
                 {6001, "Button", kIconButton, "", kNoFont, 106, 5, 20, 20},
                 {7001, "Button", kIconButton, "", kNoFont, 106, 25, 20, 19},
                 {2002, "Static", kRight, "2.", kNoFont, 368, 7, 27, 17},
                 {8002, "Static", kCentred, "R\xE9ponse 2", kGuiFont, 396, 51, 260, 65},
                 {4003, "Edit", kCardAnswer, "b1", kBoardFont, 416, 5, 181, 20},
                 {5003, "Static", kFramed, "FAUX", kGuiFont, 596, 5, 60, 20},
                 {4004, "Edit", kCardAnswer, "", kBoardFont, 416, 24, 181, 20},
                 {5004, "Static", kFramed, "?", kGuiFont, 596, 24, 60, 20},
                 {6002, "Button", kIconButton, "", kNoFont, 396, 5, 20, 20},
                 {7002, "Button", kIconButton, "", kNoFont, 396, 25, 20, 19}},
                970, 145);
    // Made with the visible style, then hidden until the question is solved.
    EXPECT_FALSE((GetWindowLongA(GetDlgItem(board_, 8001), GWL_STYLE) | GetWindowLongA(GetDlgItem(board_, 8002), GWL_STYLE)) &
                 WS_VISIBLE);
    EXPECT_EQ(SendDlgItemMessageA(board_, 6001, BM_GETIMAGE, IMAGE_ICON, 0),
              reinterpret_cast<LRESULT>(LoadIconA(self(), MAKEINTRESOURCEA(IDI_PLAY))));
    EXPECT_EQ(SendDlgItemMessageA(board_, 7002, BM_GETIMAGE, IMAGE_ICON, 0),
              reinterpret_cast<LRESULT>(LoadIconA(self(), MAKEINTRESOURCEA(IDI_STOP))));
}

TEST_F(Board, VideoCardsLeaveRoomAboveTheFields)
{
    build({3, 4, 1, 0});
    // Row 1 starts at 5 + 210 + 60 = 275; its fields 210 lower.
    expectPlace(GetDlgItem(board_, 4004), 66, 485, 240, 20);
    EXPECT_EQ(app.quiz->contentHeight, 545);
}

// Empty boards, and the list of a two-answer quiz: one field per question, numbered by question.
TEST_F(Board, BoardsWithoutCardsAndTheTwoAnswerList)
{
    struct Case {
        QuizSetup setup;
        size_t controls;
        int width;
    };
    for (const Case& c : {Case{{7, 3, 1, 0}, 0, 20}, Case{{1, 0, 2, 0}, 0, 80}, Case{{0, 2, 2, 0}, 8, 960}}) {
        SCOPED_TRACE(c.setup.mediaKind);
        build(c.setup);
        EXPECT_EQ(childrenOf(board_).size(), c.controls);
        EXPECT_EQ(app.quiz->contentWidth, c.width);
        EXPECT_EQ(c.controls ? GetDlgCtrlID(childrenOf(board_)[6]) : 4002, 4002);
        DestroyWindow(board_);
        releaseQuestions(*app.quiz);
    }
}

TEST_F(Board, LabelsAreColouredByKindAndVerdict)
{
    build({0, 2, 1, 0});
    QuizState& state = *app.quiz;
    state.backRed = 10, state.backGreen = 60;
    HWND number = childrenOf(board_)[0];
    HWND caption = childrenOf(board_)[1];
    HDC dc = GetDC(board_);
    // What the board answers for a static control: brush, text background and colour, background mode.
    const auto paint = [&](HWND label, const char* text) {
        if (text)
            SetWindowTextA(label, text);
        SetBkColor(dc, RGB(1, 2, 3)), SetTextColor(dc, RGB(1, 2, 3)), SetBkMode(dc, OPAQUE);
        const LRESULT brush = SendMessageA(board_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(label));
        char line[80];
        std::snprintf(line, sizeof line, "%s %06lx %06lx %d",
                      brush == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE)) ? "system"
                          : brush == reinterpret_cast<LRESULT>(state.wrongBrush)                 ? "wrong"
                          : brush == reinterpret_cast<LRESULT>(state.anagramBrush)               ? "anagram"
                          : brush == reinterpret_cast<LRESULT>(state.hintBrush)                  ? "hint"
                          : brush == reinterpret_cast<LRESULT>(state.captionBrush)               ? "caption"
                          : brush == reinterpret_cast<LRESULT>(state.backBrush)                  ? "back"
                          : GetObjectType(reinterpret_cast<HGDIOBJ>(brush)) == OBJ_BRUSH          ? "bravo"
                                                                                                 : "?",
                      GetBkColor(dc), GetTextColor(dc), GetBkMode(dc));
        return std::string(line);
    };
    HWND verdict = GetDlgItem(board_, 5001);
    // Colours as 0xBBGGRR; mode 1 transparent, 2 opaque.
    EXPECT_EQ(paint(verdict, "BRAVO"), "bravo 00ff00 030201 2");
    EXPECT_EQ(paint(verdict, "FAUX"), "wrong 0000ff 030201 2");
    EXPECT_EQ(paint(GetDlgItem(board_, 5002), "Anagramme"), "anagram 0064ff 030201 2");
    EXPECT_EQ(paint(verdict, "Presque"), "hint 26cbff 030201 2");
    EXPECT_EQ(paint(verdict, "?").substr(0, 7), "system ") << "left to the dialog's default processing";
    EXPECT_EQ(paint(caption, nullptr), "caption c0ffff 030201 2");
    // Number labels: transparent, white on a background whose red and green are both dark.
    EXPECT_EQ(paint(number, nullptr), "back 030201 ffffff 1");
    state.backGreen = 70;
    EXPECT_EQ(paint(number, nullptr), "back 030201 000000 1");
    ReleaseDC(board_, dc);
    EXPECT_EQ(SendMessageA(board_, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(state.backBrush));
}

} // namespace
