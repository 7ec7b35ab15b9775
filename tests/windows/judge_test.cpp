// Judging on a real board built in-process: verdict labels, reveal labels, answer pictures,
// the whole-board reveal and its latch, two answers per question, and when the score is updated.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "base/app.h"
#include "board/board.h"
#include "judging/header_ids.h"
#include "judging/judge.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

// The score update writes the header's score label once per call: counting writes counts calls.
int scoreWrites = 0;
WNDPROC staticProc = nullptr;

LRESULT CALLBACK countScoreWrites(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    scoreWrites += message == WM_SETTEXT;
    return CallWindowProcA(staticProc, label, message, wParam, lParam);
}

class Judging : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr,
                                  self(), nullptr);
        header_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, self(), nullptr);
        HWND score = makeChild("Static", "", WS_CHILD, 0, 0, 50, 20, header_, kHeaderScoreId);
        makeChild("Edit", "", WS_CHILD, 0, 20, 50, 20, header_, kHeaderCodeId);
        staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(score, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countScoreWrites)));
        scoreWrites = 0;
        app.quiz->headerWindow = header_;
    }

    void TearDown() override
    {
        DestroyWindow(parent_);
        DestroyWindow(header_);
    }

    // Card pictures 401.. are 480 x 360 (shown 260 x 195), answer pictures 10401.. 200 x 400 (130 x 260).
    void build(const QuizSetup& setup, std::vector<int> cards = {}, std::vector<int> answerPictures = {})
    {
        for (int question : cards)
            pictures_.add("IMG", 400 + question, bmpFile(480, 360, RGB(200, 0, 0)));
        for (int question : answerPictures)
            pictures_.add("IMG", 10400 + question, bmpFile(200, 400, RGB(0, 0, 200)));
        if (!cards.empty() || !answerPictures.empty())
            app.module = pictures_.load();
        describeQuiz(setup, {{"France", "Paris"}, {"Espagne", "Madrid"}, {"Italie", "Rome"}});
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
    }

    // Judges the field, typing into it first unless text is null; returns how many score updates that made.
    int judge(int fieldId, const char* text = nullptr)
    {
        if (text)
            SetDlgItemTextA(board_, fieldId, text);
        const int before = scoreWrites;
        judgeAnswer(*app.quiz, board_, fieldId);
        return scoreWrites - before;
    }
    int answer(int fieldId, const std::string& text) { return judge(fieldId, text.c_str()); }

    std::string verdict(int fieldId) const { return textOf(GetDlgItem(board_, fieldId + 1000)); }
    bool revealShown(int question) const  // by style: the board itself is hidden
    {
        return GetWindowLongA(GetDlgItem(board_, 8000 + question), GWL_STYLE) & WS_VISIBLE;
    }
    void setReveal(int question, bool shown) const
    {
        ShowWindow(GetDlgItem(board_, 8000 + question), shown ? SW_SHOWNORMAL : SW_HIDE);
    }

    // Reveal label shown, answer picture shown, solved: "RPS", a dash for each that is not.
    std::string card(int question) const
    {
        const QuizState& state = *app.quiz;
        return std::string(revealShown(question) ? "R" : "-") + (state.answerPictureShown[question] ? "P" : "-") +
               (state.solvedFlags[question] ? "S" : "-");
    }

    std::string reveals(int questions) const
    {
        std::string shown;
        for (int question = 1; question <= questions; ++question)
            shown += revealShown(question) ? '1' : '0';
        return shown;
    }

    HBITMAP picture(int question) const
    {
        return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(board_, 9900 + question, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }

    QuizApp quizApp_;
    FixtureModule pictures_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

// Two answers per question, reveal mode 3, question 2 (fields 4003 and 4004); the latch is set
// before each step so that its clearing shows.
TEST_F(Judging, WorkedExampleRevealsLabelAndPictureOnceBothAnswersAreRight)
{
    build({1, 3, 2, 3}, {1, 2, 3}, {1, 2, 3});
    const HBITMAP cardPicture = picture(2);
    ASSERT_NE(cardPicture, nullptr);
    HBITMAP answerPicture = nullptr;
    struct Step {
        int field;
        const char* typed, *verdicts, *card;
        int latch;
    };
    const Step steps[] = {{4003, "espagne", "BRAVO ?", "---", 1},
                          {4004, "  Madrid", "BRAVO BRAVO", "RPS", 1},
                          {4003, "espagnol", "Presque BRAVO", "-P-", 0},
                          {4003, "ESPAGNE", "BRAVO BRAVO", "RPS", 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed);
        app.quiz->allRevealed = 1;
        EXPECT_EQ(answer(step.field, step.typed), 1);
        EXPECT_EQ(verdict(4003) + " " + verdict(4004), step.verdicts);
        EXPECT_EQ(card(2), step.card);
        EXPECT_EQ(app.quiz->allRevealed, step.latch);
        if (step.card[1] == '-') {
            EXPECT_EQ(picture(2), cardPicture);
        } else if (!answerPicture) {
            answerPicture = picture(2);
            EXPECT_EQ(bitmapSize(answerPicture).cx * 1000 + bitmapSize(answerPicture).cy, 130260);
            EXPECT_EQ(GetObjectType(cardPicture), 0u) << "the replaced bitmap is deleted";
        } else {
            EXPECT_EQ(picture(2), answerPicture) << "loaded once, kept when unsolved";
        }
    }
    EXPECT_EQ(card(1) + card(3), "------");
}

TEST_F(Judging, AnUnchangedVerdictHasNoConsequence)
{
    build({2, 3, 1, 2});
    EXPECT_EQ(answer(4002, "espagn"), 1);
    EXPECT_EQ(verdict(4002), "Quasiment");
    // Another text with the same verdict, then the same text again: no update at all.
    EXPECT_EQ(answer(4002, "espagnes"), 0);
    EXPECT_EQ(judge(4002), 0);
    EXPECT_EQ(answer(4002, "espagne"), 1);
    // Judging the right answer again does not show the reveal label again.
    setReveal(2, false);
    EXPECT_EQ(judge(4002), 0);
    EXPECT_FALSE(revealShown(2));
    // An empty field is "?", which is not "BRAVO": it hides the label.
    setReveal(2, true);
    EXPECT_EQ(answer(4002, "   "), 1);
    EXPECT_EQ(verdict(4002) + card(2), "?---");
}

struct ModeCase {
    int mode;
    const char* solvedCard;  // card 1 once solved
};

class RevealModes : public Judging, public testing::WithParamInterface<ModeCase> {};

TEST_P(RevealModes, SolvingOneQuestionThenGettingItWrong)
{
    const ModeCase& c = GetParam();
    build({1, 3, 1, c.mode}, {1, 2, 3}, {1, 2, 3});
    EXPECT_EQ(GetDlgItem(board_, 8001) != nullptr, c.mode >= 2) << "reveal labels exist from mode 2";
    const HBITMAP cardPicture = picture(1);
    EXPECT_EQ(answer(4001, "france"), 1);
    EXPECT_EQ(card(1) + card(2), std::string(c.solvedCard) + "---");
    EXPECT_EQ(picture(1) != cardPicture, c.solvedCard[1] == 'P');
    EXPECT_EQ(bitmapSize(picture(2)).cy, 195) << "other cards keep theirs";

    // Whatever showed it, a verdict other than "BRAVO" hides the label and clears the latch.
    const HBITMAP solvedPicture = picture(1);
    setReveal(1, true);
    app.quiz->allRevealed = 1;
    EXPECT_EQ(answer(4001, "frange"), 1);
    EXPECT_EQ(verdict(4001), "Quasiment");
    EXPECT_FALSE(revealShown(1));
    EXPECT_EQ(app.quiz->allRevealed, 0);
    EXPECT_EQ(picture(1), solvedPicture);
}

INSTANTIATE_TEST_SUITE_P(Modes, RevealModes,
                         testing::Values(ModeCase{0, "--S"}, ModeCase{1, "-PS"}, ModeCase{2, "R-S"},
                                         ModeCase{3, "RPS"}, ModeCase{4, "--S"}, ModeCase{5, "--S"}),
                         [](const testing::TestParamInfo<ModeCase>& info) {
                             return "Mode" + std::to_string(info.param.mode);
                         });

TEST_F(Judging, WholeBoardRevealWaitsForEveryVerdictAndLatches)
{
    build({2, 3, 1, 4});
    QuizState& state = *app.quiz;
    answer(4001, "france");
    answer(4002, "espagne");
    EXPECT_EQ(reveals(3) + std::to_string(state.allRevealed), "0000");
    EXPECT_EQ(answer(4003, "italie"), 1);
    EXPECT_EQ(reveals(3) + std::to_string(state.allRevealed), "1111");
    // One question turns unanswered: only its label goes, and the latch opens.
    EXPECT_EQ(answer(4002, ""), 1);
    EXPECT_EQ(reveals(3) + std::to_string(state.allRevealed), "1010");
    EXPECT_EQ(answer(4002, "Espagne"), 1);
    EXPECT_EQ(reveals(3) + std::to_string(state.allRevealed), "1111");

    // While latched the board is not counted: a label turned "BRAVO" again reveals nothing.
    for (int question = 1; question <= 3; ++question)
        setReveal(question, false);
    SetDlgItemTextA(board_, 5003, "Presque");
    EXPECT_EQ(judge(4003), 1);
    EXPECT_EQ(verdict(4003) + reveals(3), "BRAVO000");

    // Two answers: both fields of every question count.
    DestroyWindow(board_);
    releaseQuestions(state);
    state.allRevealed = 0;
    build({3, 2, 2, 4});
    const char* typed[] = {"france", "paris", "espagne"};
    for (int i = 0; i < 3; ++i)
        answer(4001 + i, typed[i]);
    EXPECT_EQ(reveals(2) + std::to_string(state.allRevealed), "000");
    answer(4004, "madrid");
    EXPECT_EQ(reveals(2) + std::to_string(state.allRevealed), "111");
}

// Each field is judged against its own answer, and the reveal label waits for both answers of the
// question; the worked example answers first then second, here the second comes first.
TEST_F(Judging, TwoAnswersPerQuestion)
{
    build({2, 3, 2, 2});
    answer(4005, "Rome");
    EXPECT_EQ(verdict(4005), "FAUX");
    answer(4006, "Rome");
    EXPECT_EQ(verdict(4006) + card(3), "BRAVO---");
    answer(4005, "Italie");
    EXPECT_EQ(verdict(4005) + card(3), "BRAVOR-S");
    // The check reads what the other field holds now, not its label: first answer altered
    // without being judged, so the label stays hidden though both labels read "BRAVO".
    answer(4003, "x");
    answer(4003, "Espagne");
    SetDlgItemTextA(board_, 4003, "Espagnol");
    answer(4004, "x");
    answer(4004, "Madrid");
    EXPECT_EQ(verdict(4003) + verdict(4004) + card(2), "BRAVOBRAVO--S");
}

// The list has one field per question even in a two-answer quiz: judged against the first answer.
TEST_F(Judging, ListQuizWithTwoAnswersJudgesOneFieldPerQuestion)
{
    build({0, 3, 2, 4});
    answer(4002, "Madrid");
    EXPECT_NE(verdict(4002), "BRAVO");
    answer(4002, "Espagne");
    EXPECT_EQ(verdict(4002), "BRAVO");
    EXPECT_EQ(app.quiz->solvedFlags[2], 1);
    answer(4001, "France");
    EXPECT_EQ(app.quiz->allRevealed, 0);
    answer(4003, "Italie");
    EXPECT_EQ(app.quiz->allRevealed, 1) << "every field of the list reads BRAVO";
}

// A restored answer that solves its question shows its reveal label and answer picture from the start.
TEST_F(Judging, RestoredAnswersAreJudgedWhileTheBoardIsBuilt)
{
    writeFile("windows_tests.txt", "france\r\n\r\nitalia\r\n");
    build({1, 3, 1, 3}, {1, 2, 3}, {1});
    EXPECT_EQ(verdict(4001) + " " + verdict(4002) + " " + verdict(4003), "BRAVO ? Quasiment");
    EXPECT_EQ(card(1) + card(3), "RPS---");
    EXPECT_EQ(bitmapSize(picture(1)).cy, 260) << "the answer picture, not the card's";
    EXPECT_EQ(scoreWrites, 2) << "the empty field kept its \"?\" without an update";
}

TEST_F(Judging, TypedTextIsJudgedOnItsFirst259Characters)
{
    describeQuiz({2, 1, 1, 0}, {{std::string(259, 'A'), ""}});
    board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
    answer(4001, std::string(259, 'a') + "zzz");
    EXPECT_EQ(verdict(4001), "BRAVO");
    answer(4001, std::string(258, 'a'));
    EXPECT_EQ(verdict(4001), "Quasiment");
}

// A missing answer picture leaves the card's and is tried again at the next completion; a sound
// card has no picture to replace.
TEST_F(Judging, WithoutAnAnswerPictureTheCardStaysAsItIs)
{
    build({1, 3, 1, 1}, {1, 2, 3}, {1});
    const HBITMAP cardPicture = picture(2);
    for (const char* typed : {"espagne", "x", "espagne"})
        answer(4002, typed);
    EXPECT_EQ(card(2), "--S");
    EXPECT_TRUE(picture(2) == cardPicture && GetObjectType(cardPicture) == OBJ_BITMAP);
    DestroyWindow(board_);
    releaseQuestions(*app.quiz);
    describeQuiz({2, 3, 1, 3}, {{"France", ""}});
    board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
    EXPECT_EQ(answer(4001, "france"), 1);
    EXPECT_EQ(card(1), "R-S");
}

TEST_F(Judging, FieldIdsOutsideTheBoardAreIgnored)
{
    build({1, 3, 1, 1}, {1, 2, 3}, {1, 2, 3});
    QuizState before = *app.quiz;
    for (int id : {0, 3000, 4000, 4004, 9999})
        EXPECT_EQ(judge(id), 0) << id;
    EXPECT_EQ(std::memcmp(&before, app.quiz, sizeof before), 0);
}

} // namespace
