// The solved-card relayout on a real, shown board: pictures hidden and shown, card controls moved
// and put back exactly, rows closed and reopened, the scroll position kept consistent.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/quiz_state_win.h"
#include "board/board.h"
#include "board/relayout.h"
#include "judging/header_ids.h"
#include "resource.h"
#include "test_support.h"

namespace {

const COLORREF kGrey = RGB(128, 128, 128);

// One relayout and where it leaves the board, relative to the board as built.
struct Step {
    const char* solved;            // '1' solved, by question
    bool ticked;
    const char* cardStates;        // expected, one digit per question
    std::vector<int> fieldShifts;  // expected move of each card's fields and labels
    std::vector<int> pictureShifts;
    const char* picturesShown;     // expected, '1' shown, by question (picture quizzes)
    int contentChange;             // expected change of contentHeight
};

// A control as the board made it, at scroll position 0.
struct Placed {
    HWND window;
    int id;
    RECT rect;
    bool visible;
};

// The card a control belongs to (0 for none) and whether it is the card's picture.
struct Role {
    int card;
    bool picture;
};

Role roleOf(int id, int answers)
{
    if (id > 9900 && id <= 9996)
        return {id - 9900, true};
    if (id > 8000 && id <= 8096)
        return {id - 8000, false};
    if (id > 2000 && id <= 2096)
        return {id - 2000, false};
    if (id > 4000 && id < 5000)
        return {(id - 4001) / answers + 1, false};
    if (id > 5000 && id < 6000)
        return {(id - 5001) / answers + 1, false};
    return {0, false};
}

constexpr char kParentClass[] = "EnigoRelayoutTestParent";

class Relayout : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = self();
        windowClass.lpszClassName = kParentClass;
        RegisterClassA(&windowClass);
    }

    void SetUp() override
    {
        parent_ = CreateWindowExA(0, kParentClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr, nullptr,
                                  self(), nullptr);
        // Stands in for the header panel: only its "Cacher" box matters here.
        header_ = makeChild(kParentClass, "", WS_CHILD, 0, 0, 100, 20, parent_);
        makeChild("Button", "Cacher", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 80, 20, header_, kHeaderHideId);
        app.quiz->headerWindow = header_;
    }

    void TearDown() override
    {
        DestroyWindow(parent_);
        pictures_.reset();
    }

    // Builds and shows the board. Picture quizzes get rows of 195 (row 0) and 260 (row 1): the
    // worked example's rows, fields at 210 and 540, content 600 high with one answer.
    void build(const QuizSetup& setup, int clientWidth = 960, int clientHeight = 650)
    {
        pictures_ = std::make_unique<FixtureModule>();
        for (int id = 401; id <= 406; ++id)
            pictures_->add("IMG", id, id == 404 ? bmpFile(360, 480, kGrey) : bmpFile(480, 360, kGrey));
        app.module = pictures_->load();
        describeQuiz(setup);
        QuizState& state = *app.quiz;

        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
        // As start-up does: recorded only once built, then placed below the header and shown. Off the
        // parent's origin, so that board and parent client coordinates differ.
        state.boardWindow = board_;
        app.boardWindow = board_;
        SetWindowPos(board_, nullptr, 5, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(board_, SW_SHOW);
        ASSERT_TRUE(IsWindowVisible(board_)) << "scrolling moves nothing on a hidden window";
        ASSERT_NO_FATAL_FAILURE(resizeClient(board_, clientWidth, clientHeight));

        answers_ = setup.answers;
        initialContentHeight_ = state.contentHeight;
        placed_.clear();
        for (HWND child = GetWindow(board_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            placed_.push_back({child, GetDlgCtrlID(child), contentRect(child),
                               (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0});
        ASSERT_FALSE(placed_.empty());
    }

    // Where a control sits in the content: its client place plus the scroll position.
    RECT contentRect(HWND control) const
    {
        RECT rect = placeIn(control, board_);
        OffsetRect(&rect, GetScrollPos(board_, SB_HORZ), GetScrollPos(board_, SB_VERT));
        return rect;
    }

    RECT clientRect(int id) const { return placeIn(GetDlgItem(board_, id)); }

    void relayout(const char* solved, bool ticked)
    {
        QuizState& state = *app.quiz;
        for (int question = 1; question <= state.questionCount; ++question)
            state.solvedFlags[question] = solved[question - 1] == '1' ? 1 : 0;
        CheckDlgButton(header_, kHeaderHideId, ticked ? BST_CHECKED : BST_UNCHECKED);
        relayoutBoard(state);
    }

    std::string cardStates() const
    {
        std::string digits;
        for (int question = 1; question <= app.quiz->questionCount; ++question)
            digits += std::to_string(app.quiz->cardStates[question]);
        return digits;
    }

    // Every control against its place as built: moved by its card's shift only, never resized,
    // pictures shown as the step says, everything else as visible as it was.
    void expectBoard(const Step& step) const
    {
        EXPECT_EQ(cardStates(), step.cardStates);
        EXPECT_EQ(app.quiz->contentHeight, initialContentHeight_ + step.contentChange);
        SCROLLINFO bar = {};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_RANGE;
        GetScrollInfo(board_, SB_VERT, &bar);
        EXPECT_EQ(bar.nMax, app.quiz->contentHeight - 2) << "the bars follow the content";
        for (const Placed& control : placed_) {
            const Role role = roleOf(control.id, answers_);
            SCOPED_TRACE("control " + std::to_string(control.id));
            RECT expected = control.rect;
            bool visible = control.visible;
            if (role.card > 0) {
                const auto& shifts = role.picture ? step.pictureShifts : step.fieldShifts;
                OffsetRect(&expected, 0, shifts[role.card - 1]);
                if (role.picture)
                    visible = step.picturesShown[role.card - 1] == '1';
            }
            const RECT actual = contentRect(control.window);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right, expected.right);
            EXPECT_EQ(actual.bottom, expected.bottom);
            EXPECT_EQ((GetWindowLongA(control.window, GWL_STYLE) & WS_VISIBLE) != 0, visible);
        }
    }

    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
    int answers_ = 1;
    int initialContentHeight_ = 0;
    std::vector<Placed> placed_;

private:
    QuizApp quizApp_;
    std::unique_ptr<FixtureModule> pictures_;
    ScratchFolder scratch_;
};

const std::vector<int> kSixStill = {0, 0, 0, 0, 0, 0};
// The worked example ticked with cards 1 to 3 solved: row 0 closes.
const Step kFirstRowClosed = {"111000", true, "112000", {-195, -195, -195, -195, -195, -195},
                              {0, 0, 0, -195, -195, -195}, "000111", -195};
const Step kSixRestored = {"111000", false, "000000", kSixStill, kSixStill, "111111", 0};

TEST_F(Relayout, WorkedExampleMovesFieldsIntoTheClosedBand)
{
    ASSERT_NO_FATAL_FAILURE(build({kMediaPicture, 6, 1, 0}));
    ASSERT_EQ(app.quiz->rowHeights[0], 195);
    ASSERT_EQ(app.quiz->rowHeights[1], 260);
    ASSERT_EQ(app.quiz->contentHeight, 600);
    relayout("111000", true);
    expectBoard(kFirstRowClosed);
    // Content positions as the example gives them (the board is at scroll position 0).
    EXPECT_EQ(clientRect(4001).top, 15);
    EXPECT_EQ(clientRect(5001).top, 34);
    EXPECT_EQ(clientRect(2001).top, 17);
    EXPECT_EQ(clientRect(4003).top, 15);
    EXPECT_EQ(clientRect(9904).top, 75) << "row 1's picture band now starts at 75";
    EXPECT_EQ(clientRect(4004).top, 345);
    EXPECT_EQ(clientRect(4006).top, 345);
    EXPECT_EQ(app.quiz->contentHeight, 405);

    relayout("111000", false);
    expectBoard(kSixRestored);
    EXPECT_EQ(app.quiz->contentHeight, 600);
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
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1) + ": solved " + step.solved +
                     (step.ticked ? ", ticked" : ", cleared"));
        relayout(step.solved, step.ticked);
        expectBoard(step);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boards, RelayoutScenario,
    testing::Values(
        // Two answers: answer-name labels (156) stay; reveal labels travel with their card.
        Scenario{"TwoAnswersWithRevealLabels",
                 {kMediaPicture, 6, 2, 2},
                 {{"110000", true, "110000", {-195, -195, 0, 0, 0, 0}, kSixStill, "001111", 0},
                  kFirstRowClosed,
                  kSixRestored}},
        // Card 1 loses its verdict while ticked: it stays hidden and still counts when its row closes.
        Scenario{"HiddenCardStaysHiddenWhenNoLongerSolved",
                 {kMediaPicture, 6, 1, 0},
                 {{"110000", true, "110000", {-195, -195, 0, 0, 0, 0}, kSixStill, "001111", 0},
                  {"010000", true, "110000", {-195, -195, 0, 0, 0, 0}, kSixStill, "001111", 0},
                  {"011000", true, "112000", {-195, -195, -195, -195, -195, -195}, {0, 0, 0, -195, -195, -195},
                   "000111", -195},
                  {"011000", false, "000000", kSixStill, kSixStill, "111111", 0}}},
        Scenario{"LastPartialRowNeverCloses",
                 {kMediaPicture, 5, 1, 0},
                 {{"11111", true, "11211", {-195, -195, -195, -455, -455}, {0, 0, 0, -195, -195}, "00000", -195},
                  {"11111", false, "00000", {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, "11111", 0}}},
        Scenario{"BothRowsClose",
                 {kMediaPicture, 6, 1, 0},
                 {{"111111", true, "112112", {-195, -195, -195, -455, -455, -455}, {0, 0, 0, -195, -195, -195},
                   "000000", -455},
                  {"000000", false, "000000", kSixStill, kSixStill, "111111", 0}}},
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

struct ScrolledCase {
    const char* name;
    int clientHeight;
    int startY;
    int yWhenClosed;  // the position the bar still accepts with 405 pixels of content
    int yWhenReopened;
};

class RelayoutScrolled : public Relayout, public testing::WithParamInterface<ScrolledCase> {};

// With the board scrolled, controls must stay at content position minus scroll position even
// when the shorter content lowers the largest position the bar accepts.
TEST_P(RelayoutScrolled, KeepsControlsAtContentMinusScrollPosition)
{
    const ScrolledCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(build({kMediaPicture, 6, 1, 0}, 400, c.clientHeight));
    ASSERT_NO_FATAL_FAILURE(scrollTo(board_, 200, c.startY));

    relayout("111000", true);
    EXPECT_EQ(GetScrollPos(board_, SB_VERT), c.yWhenClosed);
    EXPECT_EQ(GetScrollPos(board_, SB_HORZ), 200) << "the width did not change";
    expectBoard(kFirstRowClosed);

    relayout("111000", false);
    EXPECT_EQ(GetScrollPos(board_, SB_VERT), c.yWhenReopened);
    EXPECT_EQ(GetScrollPos(board_, SB_HORZ), 200);
    expectBoard(kSixRestored);
}

INSTANTIATE_TEST_SUITE_P(Positions, RelayoutScrolled,
                         testing::Values(ScrolledCase{"AtTheBottom", 300, 300, 105, 105},
                                         ScrolledCase{"NearTheTop", 300, 50, 50, 50},
                                         ScrolledCase{"ContentFitsOnceClosed", 500, 100, 0, 0}),
                         [](const testing::TestParamInfo<ScrolledCase>& info) { return info.param.name; });

} // namespace
