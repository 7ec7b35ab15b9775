// The question board built in-process from fixture quizzes: every control's id, class, style,
// text, font, place and size, the creation (tab) order, pictures, label colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/quiz_state_win.h"
#include "board/board.h"
#include "resource.h"
#include "test_support.h"

namespace {

enum Font { kNoFont, kBoardFont, kGuiFont };

// A shown parent window holding a freshly built board, in a scratch working folder.
class Board : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                                  nullptr, self(), nullptr);
    }

    void TearDown() override { DestroyWindow(parent_); }

    HWND build()
    {
        CreationStyles styles;
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        EXPECT_NE(board_, nullptr);
        return board_;
    }

    void expectBoard(const std::vector<ExpectedControl>& expected)
    {
        expectControls(board_, expected, [](int font) -> HGDIOBJ {
            return font == kBoardFont ? static_cast<HGDIOBJ>(app.quiz->boardFont)
                   : font == kGuiFont ? GetStockObject(DEFAULT_GUI_FONT)
                                      : nullptr;
        });
    }

    HBITMAP picture(int id) const
    {
        return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(board_, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }

    QuizApp quizApp_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

constexpr DWORD kRight = 0x50000002;
constexpr DWORD kPlain = 0x50000000;
constexpr DWORD kCentred = 0x50000001;
constexpr DWORD kFramed = 0x50800201;
constexpr DWORD kPicture = 0x5080020E;
constexpr DWORD kCardAnswer = 0x50810081;
constexpr DWORD kListAnswer = 0x50810281;
constexpr DWORD kIconButton = 0x50010041;

TEST_F(Board, ListQuizMakesOneNumberedLinePerQuestion)
{
    describeQuiz({0, 3, 1, 2});
    // Restored answers are judged as their fields are made: right, empty, wrong.
    writeFile("windows_tests.txt", "a1\r\n\r\nMADRID\r\n");
    build();
    expectBoard({
        {2000, "Static", kRight, "1.", kNoFont, 26, 7, 19, 17},
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
        {5003, "Static", kFramed, "FAUX", kNoFont, 790, 55, 100, 20},
    });
    EXPECT_EQ(app.quiz->contentWidth, 900);
    EXPECT_EQ(app.quiz->contentHeight, 80);
}

TEST_F(Board, ListQuizWithTwoAnswersStillHasOneFieldPerQuestion)
{
    describeQuiz({0, 2, 2, 0});
    build();
    std::vector<HWND> made = childrenOf(board_);
    ASSERT_EQ(made.size(), 8u);
    EXPECT_EQ(GetDlgCtrlID(made[2]), 4001);
    EXPECT_EQ(GetDlgCtrlID(made[6]), 4002);
    EXPECT_EQ(app.quiz->contentWidth, 960);
}

// Row of three: 480 x 360, no picture, 360 x 480; the row is as high as the tallest (260).
TEST_F(Board, PictureRowCentresEachPictureInTheTallestPicturesBand)
{
    FixtureModule pictures;
    pictures.add("IMG", 401, bmpFile(480, 360, RGB(200, 0, 0)));
    pictures.add("IMG", 403, bmpFile(360, 480, RGB(0, 0, 200)));
    app.module = pictures.load();
    describeQuiz({1, 3, 1, 0});
    writeFile("windows_tests.txt", "un\r\ndeux\r\ntrois\r\n");
    build();
    expectBoard({
        {9901, "Static", kPicture, "", kNoFont, 46, 37, 260, 195},
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
        {5003, "Static", kFramed, "FAUX", kNoFont, 626, 294, 260, 20},
    });
    EXPECT_EQ(app.quiz->rowHeights[0], 260);
    EXPECT_EQ(app.quiz->contentWidth, 910);
    EXPECT_EQ(app.quiz->contentHeight, 335);

    // The scaled bitmaps went to their controls; the missing one left its control empty.
    ASSERT_NE(picture(9901), nullptr);
    EXPECT_EQ(bitmapSize(picture(9901)).cx, 260);
    EXPECT_EQ(bitmapSize(picture(9901)).cy, 195);
    EXPECT_EQ(picture(9902), nullptr);
}

// Seven questions: the third row asks for pictures 408 and 409, past the last question.
TEST_F(Board, LastRowTakesPicturesPastTheLastQuestionIntoItsHeight)
{
    FixtureModule pictures;
    for (int id : {401, 404, 407})
        pictures.add("IMG", id, bmpFile(480, 360, RGB(0, 120, 0)));
    pictures.add("IMG", 409, bmpFile(360, 480, RGB(0, 0, 120)));
    app.module = pictures.load();
    describeQuiz({1, 7, 1, 0});
    build();
    EXPECT_EQ(app.quiz->rowHeights[0], 195);
    EXPECT_EQ(app.quiz->rowHeights[1], 195);
    EXPECT_EQ(app.quiz->rowHeights[2], 260);
    // Rows: 5, 5 + 205 + 60 = 270, 270 + 265 = 535; question 7's fields under a 260-pixel band.
    EXPECT_EQ(placeIn(GetDlgItem(board_, 4007)).top, 535 + 270);
    EXPECT_EQ(app.quiz->contentHeight, 535 + 270 + 60);
    EXPECT_EQ(GetDlgItem(board_, 9908), nullptr);
}

// Sound quiz, two answers, reveal mode 2: names, number, hidden reveal, pairs, buttons.
TEST_F(Board, SoundCardsWithTwoAnswersAndRevealLabels)
{
    describeQuiz({2, 2, 2, 2});
    writeFile("windows_tests.txt", "a1\r\na2\r\nb1\r\n");
    build();
    expectBoard({
        // The media player's container comes first, before any card.
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
        {7002, "Button", kIconButton, "", kNoFont, 396, 25, 20, 19},
    });
    EXPECT_EQ(app.quiz->contentWidth, 970);
    EXPECT_EQ(app.quiz->contentHeight, 145);
    // Made with the centred label style, then hidden until the question is solved.
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(board_, 8001), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(board_, 8002), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(reinterpret_cast<HICON>(SendDlgItemMessageA(board_, 6001, BM_GETIMAGE, IMAGE_ICON, 0)),
              LoadIconA(self(), MAKEINTRESOURCEA(IDI_PLAY)));
    EXPECT_EQ(reinterpret_cast<HICON>(SendDlgItemMessageA(board_, 7002, BM_GETIMAGE, IMAGE_ICON, 0)),
              LoadIconA(self(), MAKEINTRESOURCEA(IDI_STOP)));
}

TEST_F(Board, VideoCardsLeaveRoomAboveTheFields)
{
    describeQuiz({3, 4, 1, 0});
    build();
    const RECT field = placeIn(GetDlgItem(board_, 4004));
    // Row 1 starts at 5 + 210 + 60 = 275; its fields 210 lower.
    EXPECT_EQ(field.left, 66);
    EXPECT_EQ(field.top, 485);
    EXPECT_EQ(field.right - field.left, 240);
    EXPECT_EQ(app.quiz->contentHeight, 545);
}

TEST_F(Board, TabOrderIsCreationOrder)
{
    describeQuiz({2, 2, 1, 0});
    build();
    const int order[] = {4001, 6001, 7001, 4002, 6002, 7002};
    HWND control = GetDlgItem(board_, order[0]);
    for (int id : order) {
        EXPECT_EQ(GetDlgCtrlID(control), id);
        control = GetNextDlgTabItem(board_, control, FALSE);
    }
    EXPECT_EQ(GetDlgCtrlID(control), 4001) << "Tab wraps to the first field";
}

TEST_F(Board, UnknownMediaKindOrNoQuestionMakesNoCard)
{
    for (QuizSetup setup : {QuizSetup{7, 3, 1, 0}, QuizSetup{1, 0, 2, 0}}) {
        describeQuiz(setup);
        build();
        EXPECT_TRUE(childrenOf(board_).empty());
        EXPECT_EQ(app.quiz->contentWidth, setup.answers == 2 ? 80 : 20);
        EXPECT_EQ(app.quiz->contentHeight, 0);
        DestroyWindow(board_);
        releaseQuestions(*app.quiz);
    }
}

TEST_F(Board, LabelsAreColouredByKindAndVerdict)
{
    describeQuiz({0, 2, 1, 0});
    app.quiz->backRed = 10;
    app.quiz->backGreen = 60;
    build();
    struct Case {
        int id;
        const char* text;
        HBRUSH brush;
        COLORREF background;
    };
    HBRUSH none = nullptr;
    const Case cases[] = {
        {5001, "BRAVO", nullptr, RGB(0, 255, 0)},    {5001, "FAUX", app.quiz->wrongBrush, RGB(255, 0, 0)},
        {5002, "Anagramme", app.quiz->anagramBrush, RGB(255, 100, 0)},
        {5002, "Presque", app.quiz->hintBrush, RGB(255, 203, 38)},
        {5001, "?", none, CLR_INVALID},
    };
    std::vector<HWND> made = childrenOf(board_);
    HDC dc = GetDC(board_);
    for (const Case& c : cases) {
        SetDlgItemTextA(board_, c.id, c.text);
        SetBkColor(dc, RGB(1, 2, 3));
        LRESULT brush = SendMessageA(board_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(board_, c.id)));
        SCOPED_TRACE(c.text);
        if (c.background == CLR_INVALID) {
            // Left to the dialog's default processing: the system's static colours.
            EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE)));
            EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_3DFACE));
            continue;
        }
        EXPECT_EQ(GetBkColor(dc), c.background);
        if (c.brush)
            EXPECT_EQ(brush, reinterpret_cast<LRESULT>(c.brush));
        else
            EXPECT_NE(brush, 0);
    }
    // Caption labels of the list: the caption brush.
    EXPECT_EQ(SendMessageA(board_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(made[1])),
              reinterpret_cast<LRESULT>(app.quiz->captionBrush));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 192));
    // Number labels: transparent, white on a background whose red and green are dark.
    EXPECT_EQ(SendMessageA(board_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(made[0])),
              reinterpret_cast<LRESULT>(app.quiz->backBrush));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    app.quiz->backGreen = 70;
    SendMessageA(board_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(made[0]));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    ReleaseDC(board_, dc);
    EXPECT_EQ(SendMessageA(board_, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(app.quiz->backBrush));
}

// A restored answer that solves its question shows the answer picture from the start.
TEST_F(Board, RestoredRightAnswerShowsTheAnswerPicture)
{
    FixtureModule pictures;
    pictures.add("IMG", 401, bmpFile(480, 360, RGB(200, 0, 0)));
    pictures.add("IMG", 10401, bmpFile(100, 100, RGB(0, 0, 200)));
    app.module = pictures.load();
    describeQuiz({1, 2, 1, 1});
    writeFile("windows_tests.txt", "A1\r\n");
    build();
    EXPECT_EQ(app.quiz->answerPictureShown[1], 1);
    ASSERT_NE(picture(9901), nullptr);
    EXPECT_EQ(bitmapSize(picture(9901)).cy, 260) << "the square answer picture, not the 260 x 195 card picture";
    EXPECT_EQ(bitmapSize(picture(9901)).cx, 260);
}

} // namespace
