// The solved-card relayout on a real, shown board: pictures hidden and shown, card controls moved
// and put back exactly, rows closed and reopened, the scroll position kept consistent.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "base/app.h"
#include "board/board.h"
#include "board/relayout.h"
#include "judging/header_ids.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

// One relayout (solved flags, box ticked) and where it leaves the board relative to the board as
// built: card states, each card's field and picture shifts, pictures shown, change of contentHeight.
struct Step {
    const char* solved;
    bool ticked;
    const char* cardStates;
    std::vector<int> fieldShifts, pictureShifts;
    const char* picturesShown;
    int contentChange;
};

const std::vector<int> kSixStill = {0, 0, 0, 0, 0, 0};
// The worked example ticked with cards 1 to 3 solved: row 0 closes.
const Step kFirstRowClosed = {"111000", true, "112000", {-195, -195, -195, -195, -195, -195},
                              {0, 0, 0, -195, -195, -195}, "000111", -195};
const Step kSixRestored = {"111000", false, "000000", kSixStill, kSixStill, "111111", 0};

class Relayout : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr, nullptr, self(),
                                  nullptr);
        // Stands in for the header panel: only its "Cacher" box matters here.
        header_ = makeChild("Static", "", WS_CHILD, 0, 0, 100, 20, parent_);
        makeChild("Button", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 20, header_, kHeaderHideId);
        app.quiz->headerWindow = header_;
    }

    void TearDown() override { DestroyWindow(parent_); }

    // Builds and shows the board. Picture quizzes get rows of 195 (row 0) and 260 (row 1): the
    // worked example's rows, fields at 210 and 540, content 600 high with one answer.
    void build(const QuizSetup& setup, int clientWidth = 960, int clientHeight = 650)
    {
        pictures_ = std::make_unique<FixtureModule>();
        for (int id = 401; id <= 406; ++id)
            pictures_->add("IMG", id, id == 404 ? bmpFile(360, 480, 0) : bmpFile(480, 360, 0));
        app.module = pictures_->load();
        describeQuiz(setup);
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
        // As start-up does: recorded only once built, then placed off the parent's origin and shown.
        app.quiz->boardWindow = app.boardWindow = board_;
        SetWindowPos(board_, nullptr, 5, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        ASSERT_NO_FATAL_FAILURE(resizeClient(board_, clientWidth, clientHeight));
        answers_ = setup.answers;
        builtHeight_ = app.quiz->contentHeight;
        built_ = controls();
    }

    // The card a control moves with (0 for none) and whether it is the card's picture.
    int cardOf(int id, bool& picture) const
    {
        picture = id > 9900 && id <= 9996;
        if (picture || (id > 8000 && id <= 8096) || (id > 2000 && id <= 2096))
            return id % 100;
        return id > 4000 && id < 6000 ? (id % 1000 - 1) / answers_ + 1 : 0;
    }

    static std::string line(int id, const RECT& r, bool visible)
    {
        return std::to_string(id) + (visible ? " shown " : " hidden ") + std::to_string(r.left) + "," +
               std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom) + "\n";
    }

    // Every control in content coordinates (client place plus scroll position) with its visibility.
    std::vector<std::pair<RECT, bool>> controls() const
    {
        std::vector<std::pair<RECT, bool>> all;
        for (HWND child : childrenOf(board_)) {
            RECT rect = placeIn(child, board_);
            OffsetRect(&rect, GetScrollPos(board_, SB_HORZ), GetScrollPos(board_, SB_VERT));
            all.push_back({rect, IsWindowVisible(child) != FALSE});
        }
        return all;
    }

    void relayout(const char* solved, bool ticked)
    {
        for (int question = 1; question <= app.quiz->questionCount; ++question)
            app.quiz->solvedFlags[question] = solved[question - 1] == '1';
        CheckDlgButton(header_, kHeaderHideId, ticked ? BST_CHECKED : BST_UNCHECKED);
        relayoutBoard(*app.quiz);
    }

    // Every control where it was built moved by its card's shift only, pictures shown as the step says.
    void expectBoard(const Step& step) const
    {
        std::string states;
        for (int question = 1; question <= app.quiz->questionCount; ++question)
            states += std::to_string(app.quiz->cardStates[question]);
        EXPECT_EQ(states, step.cardStates);
        EXPECT_EQ(app.quiz->contentHeight, builtHeight_ + step.contentChange);
        SCROLLINFO bar = {sizeof bar, SIF_RANGE, 0, 0, 0, 0, 0};
        GetScrollInfo(board_, SB_VERT, &bar);
        EXPECT_EQ(bar.nMax, app.quiz->contentHeight - 2) << "the bars follow the content";
        const std::vector<HWND> children = childrenOf(board_);
        const auto now = controls();
        std::string actual;
        std::string expected;
        for (size_t i = 0; i < children.size() && i < built_.size(); ++i) {
            const int id = GetDlgCtrlID(children[i]);
            bool picture = false;
            const int card = cardOf(id, picture);
            RECT rect = built_[i].first;
            bool visible = built_[i].second;
            if (card > 0) {
                OffsetRect(&rect, 0, (picture ? step.pictureShifts : step.fieldShifts)[card - 1]);
                visible = picture ? step.picturesShown[card - 1] == '1' : visible;
            }
            expected += line(id, rect, visible);
            actual += line(id, now[i].first, now[i].second);
        }
        EXPECT_EQ(actual, expected);
    }

    QuizApp quizApp_;
    std::unique_ptr<FixtureModule> pictures_;
    ScratchFolder scratch_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
    int answers_ = 1;
    int builtHeight_ = 0;
    std::vector<std::pair<RECT, bool>> built_;
};

TEST_F(Relayout, WorkedExampleMovesFieldsIntoTheClosedBand)
{
    ASSERT_NO_FATAL_FAILURE(build({kMediaPicture, 6, 1, 0}));
    ASSERT_EQ(app.quiz->rowHeights[0] * 1000 + app.quiz->rowHeights[1], 195260);
    ASSERT_EQ(app.quiz->contentHeight, 600);
    relayout("111000", true);
    expectBoard(kFirstRowClosed);
    // Content positions as the example gives them (the board is at scroll position 0).
    std::string tops;
    for (int id : {4001, 5001, 2001, 4003, 9904, 4004, 4006})
        tops += std::to_string(placeIn(GetDlgItem(board_, id)).top) + " ";
    EXPECT_EQ(tops, "15 34 17 15 75 345 345 ");
    relayout("111000", false);
    expectBoard(kSixRestored);
}

struct Scenario {
    const char* name;
    QuizSetup setup;
    std::vector<Step> steps;
};

class RelayoutScenario : public Relayout, public testing::WithParamInterface<Scenario> {};

TEST_P(RelayoutScenario, LeavesEveryControlWhereExpected)
{
    const Scenario& scenario = GetParam();
    ASSERT_NO_FATAL_FAILURE(build(scenario.setup));
    for (const Step& step : scenario.steps) {
        SCOPED_TRACE(std::string("solved ") + step.solved + (step.ticked ? ", ticked" : ", cleared"));
        relayout(step.solved, step.ticked);
        expectBoard(step);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boards, RelayoutScenario,
    testing::Values(
        // Two answers: answer-name labels (156) stay; reveal labels travel with their card; two
        // solved of three hide their pictures and keep the row.
        Scenario{"TwoAnswersWithRevealLabels",
                 {kMediaPicture, 6, 2, 2},
                 {{"110000", true, "110000", {-195, -195, 0, 0, 0, 0}, kSixStill, "001111", 0},
                  kFirstRowClosed,
                  kSixRestored}},
        Scenario{"LastPartialRowNeverCloses",
                 {kMediaPicture, 5, 1, 0},
                 {{"11111", true, "11211", {-195, -195, -195, -455, -455}, {0, 0, 0, -195, -195}, "00000", -195},
                  {"11111", false, "00000", {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, "11111", 0}}},
        // No pictures, no row heights: states are recorded and nothing moves.
        Scenario{"ListOnlyRecordsStates",
                 {kMediaText, 3, 1, 0},
                 {{"111", true, "112", {0, 0, 0}, {0, 0, 0}, "111", 0},
                  {"111", false, "000", {0, 0, 0}, {0, 0, 0}, "111", 0}}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST_F(Relayout, DoesNothingWhileTheBoardIsNotRecorded)
{
    ASSERT_NO_FATAL_FAILURE(build({kMediaPicture, 6, 1, 0}));
    app.quiz->boardWindow = nullptr;
    relayout("111000", true);
    expectBoard({"111000", true, "000000", kSixStill, kSixStill, "111111", 0});
}

// With the board scrolled, controls must stay at content position minus scroll position even
// when the shorter content lowers the largest position the bar accepts.
TEST_F(Relayout, KeepsControlsAtContentMinusScrollPosition)
{
    struct Case {
        int clientHeight, startY, yWhenClosed, yWhenReopened;
    };
    for (const Case& c : {Case{300, 300, 105, 105}, Case{500, 100, 0, 0}}) {
        SCOPED_TRACE(c.clientHeight);
        ASSERT_NO_FATAL_FAILURE(build({kMediaPicture, 6, 1, 0}, 400, c.clientHeight));
        ASSERT_NO_FATAL_FAILURE(scrollTo(board_, 200, c.startY));
        relayout("111000", true);
        EXPECT_EQ(GetScrollPos(board_, SB_VERT), c.yWhenClosed);
        EXPECT_EQ(GetScrollPos(board_, SB_HORZ), 200) << "the width did not change";
        expectBoard(kFirstRowClosed);
        relayout("111000", false);
        EXPECT_EQ(GetScrollPos(board_, SB_VERT), c.yWhenReopened);
        expectBoard(kSixRestored);
        DestroyWindow(board_);
        releaseQuestions(*app.quiz);
    }
}

} // namespace
