// The score update in-process: solved questions counted from a board's verdict labels, the
// header's score label and code field, solvedFlags, and the relayout that closes every update.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/quiz_state_win.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "judging/score.h"
#include "resource.h"
#include "test_support.h"

namespace {

// Writes to the score label and code field and reads of the hide box, in the order they happen:
// the board's relayout reads the box, so a read after both writes is the relayout at the end.
std::vector<std::string> headerEvents;

LRESULT CALLBACK logHeaderControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    const int id = GetDlgCtrlID(control);
    if (message == WM_SETTEXT)
        headerEvents.push_back(std::to_string(id) + " <- '" + reinterpret_cast<const char*>(lParam) + "'");
    else if (message == BM_GETCHECK)
        headerEvents.push_back(std::to_string(id) + " read");
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

void logMessagesOf(HWND control)
{
    LONG_PTR previous = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(logHeaderControl));
    SetWindowLongPtrA(control, GWLP_USERDATA, previous);
}

// A real header panel and a stand-in board holding nothing but verdict labels reading "?".
class Score : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 400, nullptr,
                                  nullptr, self(), nullptr);
    }

    void TearDown() override { DestroyWindow(parent_); }

    // Builds header and board for a quiz; the header is reached through the quiz state only.
    void makeQuiz(int mediaKind, int questions, int answers)
    {
        QuizState& state = *app.quiz;
        state.mediaKind = mediaKind;
        state.questionCount = questions;
        state.answersPerQuestion = answers;
        for (int code = 1; code <= questions; ++code)
            copyText(state.codes[code - 1], ("CODE-" + std::to_string(code)).c_str());
        header_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_HEADER), parent_, headerProc, 0);
        ASSERT_NE(header_, nullptr);
        state.headerWindow = header_;
        board_ = makeChild("Static", "", WS_CHILD | WS_VISIBLE, 0, 60, 880, 300, parent_);
        // One verdict label per question in the list, one per answer in the grid.
        const int labels = mediaKind == 0 ? questions : questions * answers;
        for (int id = 5001; id <= 5000 + labels; ++id)
            makeChild("Static", "?", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, board_, id);
        state.boardWindow = board_;
    }

    void setVerdict(int labelId, const char* text) { ASSERT_TRUE(SetDlgItemTextA(board_, labelId, text)) << labelId; }

    void expectShown(const std::string& score, const std::string& code)
    {
        EXPECT_EQ(textOf(GetDlgItem(header_, kHeaderScoreId)), score);
        EXPECT_EQ(textOf(GetDlgItem(header_, kHeaderCodeId)), code);
    }

    std::vector<int> solvedFlags() const
    {
        const QuizState& state = *app.quiz;
        return std::vector<int>(state.solvedFlags + 1, state.solvedFlags + 1 + state.questionCount);
    }

    QuizApp quizApp_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
};

const char kNoCode[] = "      ";

struct ScoreCase {
    const char* name;
    int mediaKind;
    int questions;
    int answers;
    std::vector<std::pair<int, const char*>> verdicts;
    const char* score;
    const char* code;
    std::vector<int> solved;  // question numbers
};

void PrintTo(const ScoreCase& test, std::ostream* out)
{
    *out << test.name;
}

class ScoreCount : public Score, public testing::WithParamInterface<ScoreCase> {};

TEST_P(ScoreCount, CountsQuestionsWhoseEveryVerdictIsBravo)
{
    const ScoreCase& test = GetParam();
    makeQuiz(test.mediaKind, test.questions, test.answers);
    for (const auto& verdict : test.verdicts)
        setVerdict(verdict.first, verdict.second);
    updateScore(*app.quiz, board_);
    expectShown(test.score, test.code);
    std::vector<int> expected(test.questions, 0);
    for (int question : test.solved)
        expected[question - 1] = 1;
    EXPECT_EQ(solvedFlags(), expected);
}

std::vector<std::pair<int, const char*>> allBravo(int labels)
{
    std::vector<std::pair<int, const char*>> verdicts;
    for (int label = 1; label <= labels; ++label)
        verdicts.emplace_back(5000 + label, "BRAVO");
    return verdicts;
}

std::vector<int> upTo(int count)
{
    std::vector<int> numbers;
    for (int n = 1; n <= count; ++n)
        numbers.push_back(n);
    return numbers;
}

INSTANTIATE_TEST_SUITE_P(
    Quizzes, ScoreCount,
    testing::Values(
        ScoreCase{"nothing_solved", 1, 36, 1, {{5001, "FAUX"}, {5002, "Presque"}}, " 0 / 36", kNoCode, {}},
        ScoreCase{"one_solved", 1, 36, 1, {{5017, "BRAVO"}}, " 1 / 36", "CODE-1", {17}},
        ScoreCase{"any_three_give_the_third_code", 2, 36, 1, {{5001, "BRAVO"}, {5020, "BRAVO"}, {5036, "BRAVO"}},
                  " 3 / 36", "CODE-3", {1, 20, 36}},
        ScoreCase{"all_of_36", 1, 36, 1, allBravo(36), " 36 / 36", "CODE-36", upTo(36)},
        ScoreCase{"only_exact_bytes_count", 1, 6, 1,
                  {{5001, "bravo"}, {5002, "BRAVO "}, {5003, "BRAV"}, {5004, " BRAVO"}, {5005, "BRAVOS"}, {5006, "BRAVO"}},
                  " 1 / 6", "CODE-1", {6}},
        ScoreCase{"two_answers_need_both", 1, 4, 2,
                  {{5001, "BRAVO"}, {5002, "BRAVO"}, {5003, "BRAVO"}, {5004, "Presque"}, {5005, "FAUX"}, {5006, "BRAVO"},
                   {5008, "BRAVO"}},
                  " 1 / 4", "CODE-1", {1}},
        ScoreCase{"two_answers_video_cards", 3, 3, 2, {{5003, "BRAVO"}, {5004, "BRAVO"}, {5005, "BRAVO"}}, " 1 / 3",
                  "CODE-1", {2}},
        // The list has one field and one verdict label per question even when the quiz has two answers.
        ScoreCase{"list_with_two_answers_counts_one_label_per_question", 0, 3, 2, {{5001, "BRAVO"}, {5002, "BRAVO"}},
                  " 2 / 3", "CODE-2", {1, 2}},
        ScoreCase{"list", 0, 5, 1, {{5002, "BRAVO"}, {5005, "BRAVO"}, {5003, "Anagramme"}}, " 2 / 5", "CODE-2",
                  {2, 5}},
        ScoreCase{"no_questions", 0, 0, 1, {}, " 0 / 0", kNoCode, {}}),
    [](const testing::TestParamInfo<ScoreCase>& info) { return info.param.name; });

TEST_F(Score, HeaderShowsNoCodeUntilTheFirstUpdate)
{
    makeQuiz(1, 36, 1);
    expectShown(" 0 / 36", "");
    updateScore(*app.quiz, board_);
    expectShown(" 0 / 36", kNoCode);
}

// Recomputed from scratch each time: solving and unsolving in any order lands on the count.
TEST_F(Score, FollowsSolvingAndUnsolving)
{
    makeQuiz(1, 36, 1);
    struct Step {
        int label;
        const char* verdict;
        const char* score;
        const char* code;
    };
    const Step steps[] = {
        {5007, "BRAVO", " 1 / 36", "CODE-1"},   {5002, "BRAVO", " 2 / 36", "CODE-2"},
        {5030, "BRAVO", " 3 / 36", "CODE-3"},   {5002, "Presque", " 2 / 36", "CODE-2"},
        {5007, "FAUX", " 1 / 36", "CODE-1"},    {5030, "?", " 0 / 36", kNoCode},
        {5036, "BRAVO", " 1 / 36", "CODE-1"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.label) + " " + step.verdict);
        setVerdict(step.label, step.verdict);
        updateScore(*app.quiz, board_);
        expectShown(step.score, step.code);
    }
}

TEST_F(Score, RewritesEverySolvedFlagOfTheQuizAndNoOther)
{
    makeQuiz(1, 5, 1);
    QuizState& state = *app.quiz;
    for (int& flag : state.solvedFlags)
        flag = 7;
    setVerdict(5004, "BRAVO");
    updateScore(state, board_);
    EXPECT_EQ(solvedFlags(), (std::vector<int>{0, 0, 0, 1, 0}));
    EXPECT_EQ(state.solvedFlags[0], 7);
    EXPECT_EQ(state.solvedFlags[6], 7);
}

// While the board is being built the state does not know it yet: the labels are read from the
// board the judge passes in.
TEST_F(Score, ReadsTheBoardItIsGivenNotTheOneTheStateRecords)
{
    makeQuiz(1, 3, 1);
    setVerdict(5002, "BRAVO");
    app.quiz->boardWindow = nullptr;
    updateScore(*app.quiz, board_);
    expectShown(" 1 / 3", "CODE-1");
    EXPECT_EQ(solvedFlags(), (std::vector<int>{0, 1, 0}));
}

TEST_F(Score, EndsByLayingTheBoardOutAgain)
{
    makeQuiz(1, 4, 1);
    // Whichever handles the relayout goes by, both lead to this header and board.
    app.headerWindow = header_;
    app.boardWindow = board_;
    setVerdict(5003, "BRAVO");
    logMessagesOf(GetDlgItem(header_, kHeaderScoreId));
    logMessagesOf(GetDlgItem(header_, kHeaderCodeId));
    logMessagesOf(GetDlgItem(header_, kHeaderHideId));
    headerEvents.clear();
    updateScore(*app.quiz, board_);
    EXPECT_EQ(headerEvents, (std::vector<std::string>{"32 <- ' 1 / 4'", "30 <- 'CODE-1'", "33 read"}));
}

} // namespace
