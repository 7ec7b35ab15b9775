// Judging on a real board built in-process: verdict labels, reveal labels, answer pictures,
// the whole-board reveal and its latch, two answers per question, and when the score is updated.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/progress.h"
#include "app/quiz_state_win.h"
#include "board/board.h"
#include "judging/header_ids.h"
#include "judging/judge.h"
#include "resource.h"
#include "test_support.h"

namespace {

// The score update writes the header's score label once per call; counting those writes counts
// the calls, whichever updateScore is linked.
int scoreWrites = 0;
WNDPROC staticProc = nullptr;

LRESULT CALLBACK countScoreWrites(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        ++scoreWrites;
    return CallWindowProcA(staticProc, label, message, wParam, lParam);
}

const std::vector<std::pair<std::string, std::string>> kCountries = {
    {"France", "Paris"}, {"Espagne", "Madrid"}, {"Italie", "Rome"}};

// Card pictures 480 x 360 (shown 260 x 195), answer pictures 200 x 400 (shown 130 x 260).
constexpr int kAnswerPictureWidth = 130;
constexpr int kAnswerPictureHeight = 260;

class Judging : public testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                                  nullptr, self(), nullptr);
        header_ = CreateWindowExA(0, "Static", "header", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, self(),
                                  nullptr);
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

    // Card pictures 401.. and answer pictures 10401.. for the given questions.
    void usePictures(const std::vector<int>& cards, const std::vector<int>& answerPictures)
    {
        for (int question : cards)
            pictures_.add("IMG", 400 + question, bmpFile(480, 360, RGB(200, 0, 0)));
        for (int question : answerPictures)
            pictures_.add("IMG", 10400 + question, bmpFile(200, 400, RGB(0, 0, 200)));
        app.module = pictures_.load();
    }

    void describe(const QuizSetup& setup) { describeQuiz(setup, kCountries); }

    void writeProgress(const std::string& bytes)
    {
        char name[MAX_PATH];
        progressFileName(name);
        writeFile(name, bytes);
    }

    void build()
    {
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
    }

    // Types text into the field and judges it; returns how many score updates that made.
    int answer(int fieldId, const std::string& text)
    {
        SetDlgItemTextA(board_, fieldId, text.c_str());
        return judge(fieldId);
    }

    int judge(int fieldId)
    {
        const int before = scoreWrites;
        judgeAnswer(*app.quiz, board_, fieldId);
        return scoreWrites - before;
    }

    std::string verdict(int fieldId) const
    {
        char text[300] = {};
        GetDlgItemTextA(board_, fieldId + 1000, text, sizeof text);
        return text;
    }

    bool revealShown(int question) const
    {
        return (GetWindowLongA(GetDlgItem(board_, 8000 + question), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    void setReveal(int question, bool shown) const
    {
        ShowWindow(GetDlgItem(board_, 8000 + question), shown ? SW_SHOWNORMAL : SW_HIDE);
    }

    HBITMAP picture(int question) const
    {
        return reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(board_, 9900 + question, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }

    QuizApp quizApp_;
    FixtureModule pictures_;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
    HWND board_ = nullptr;
    ScratchFolder scratch_;
};

// Two answers per question, reveal mode 3, question 2 (fields 4003 and 4004).
TEST_F(Judging, WorkedExampleRevealsLabelAndPictureOnceBothAnswersAreRight)
{
    usePictures({1, 2, 3}, {1, 2, 3});
    describe({1, 3, 2, 3});
    build();
    QuizState& state = *app.quiz;
    const HBITMAP cardPicture = picture(2);
    ASSERT_NE(cardPicture, nullptr);
    ASSERT_FALSE(revealShown(2));

    // 1. First answer right: its label says so, the question is not complete yet.
    EXPECT_EQ(answer(4003, "espagne"), 1);
    EXPECT_EQ(verdict(4003), "BRAVO");
    EXPECT_EQ(verdict(4004), "?");
    EXPECT_FALSE(revealShown(2));
    EXPECT_EQ(picture(2), cardPicture);
    EXPECT_EQ(state.answerPictureShown[2], 0);
    EXPECT_EQ(state.solvedFlags[2], 0);

    // 2. Second answer right: reveal label shown, the answer picture replaces the card's.
    EXPECT_EQ(answer(4004, "  Madrid"), 1);
    EXPECT_EQ(verdict(4004), "BRAVO");
    EXPECT_TRUE(revealShown(2));
    const HBITMAP answerPicture = picture(2);
    ASSERT_NE(answerPicture, cardPicture);
    const SIZE shown = bitmapSize(answerPicture);
    EXPECT_EQ(shown.cx, kAnswerPictureWidth);
    EXPECT_EQ(shown.cy, kAnswerPictureHeight);
    EXPECT_EQ(GetObjectType(cardPicture), 0u) << "the replaced bitmap is deleted";
    EXPECT_EQ(state.answerPictureShown[2], 1);
    EXPECT_EQ(state.solvedFlags[2], 1);
    EXPECT_FALSE(revealShown(1));
    EXPECT_FALSE(revealShown(3));
    EXPECT_EQ(state.answerPictureShown[1] + state.answerPictureShown[3], 0);

    // 3. First answer two edits away: label hidden, latch cleared, the picture stays.
    state.allRevealed = 1;
    EXPECT_EQ(answer(4003, "espagnol"), 1);
    EXPECT_EQ(verdict(4003), "Presque");
    EXPECT_FALSE(revealShown(2));
    EXPECT_EQ(state.allRevealed, 0);
    EXPECT_EQ(state.solvedFlags[2], 0);
    EXPECT_EQ(picture(2), answerPicture);
    EXPECT_EQ(state.answerPictureShown[2], 1);

    // 4. Restored: the label comes back, the picture is not loaded again.
    EXPECT_EQ(answer(4003, "ESPAGNE"), 1);
    EXPECT_EQ(verdict(4003), "BRAVO");
    EXPECT_TRUE(revealShown(2));
    EXPECT_EQ(picture(2), answerPicture);
    EXPECT_EQ(GetObjectType(answerPicture), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(state.solvedFlags[2], 1);
}

TEST_F(Judging, AnUnchangedVerdictHasNoConsequence)
{
    describe({2, 3, 1, 2});
    build();
    EXPECT_EQ(answer(4002, "espagn"), 1);
    EXPECT_EQ(verdict(4002), "Quasiment");
    // Another text with the same verdict, then the same text again: no update at all.
    EXPECT_EQ(answer(4002, "espagnes"), 0);
    EXPECT_EQ(judge(4002), 0);
    EXPECT_EQ(answer(4002, "espagne"), 1);
    EXPECT_TRUE(revealShown(2));
    // Judging the right answer again does not show the reveal label again.
    setReveal(2, false);
    EXPECT_EQ(judge(4002), 0);
    EXPECT_FALSE(revealShown(2));
    // An empty field is "?", which is not "BRAVO": it hides the label.
    setReveal(2, true);
    EXPECT_EQ(answer(4002, "   "), 1);
    EXPECT_EQ(verdict(4002), "?");
    EXPECT_FALSE(revealShown(2));
}

struct ModeCase {
    int mode;
    bool labelsExist;
    bool labelWhenSolved;
    bool pictureWhenSolved;
};

class RevealModes : public Judging, public testing::WithParamInterface<ModeCase> {};

TEST_P(RevealModes, SolvingOneQuestionThenGettingItWrong)
{
    const ModeCase& c = GetParam();
    usePictures({1, 2, 3}, {1, 2, 3});
    describe({1, 3, 1, c.mode});
    build();
    QuizState& state = *app.quiz;
    const HBITMAP cardPicture = picture(1);
    ASSERT_EQ(GetDlgItem(board_, 8001) != nullptr, c.labelsExist);

    EXPECT_EQ(answer(4001, "france"), 1);
    EXPECT_EQ(verdict(4001), "BRAVO");
    EXPECT_EQ(revealShown(1), c.labelWhenSolved);
    EXPECT_FALSE(revealShown(2));
    EXPECT_EQ(picture(1) != cardPicture, c.pictureWhenSolved);
    EXPECT_EQ(state.answerPictureShown[1], c.pictureWhenSolved ? 1 : 0);
    EXPECT_EQ(bitmapSize(picture(2)).cy, 195) << "other cards keep theirs";

    // Whatever showed it, a verdict other than "BRAVO" hides the label and clears the latch.
    const HBITMAP solvedPicture = picture(1);
    setReveal(1, true);
    state.allRevealed = 1;
    EXPECT_EQ(answer(4001, "frange"), 1);
    EXPECT_EQ(verdict(4001), "Quasiment");
    EXPECT_FALSE(revealShown(1));
    EXPECT_EQ(state.allRevealed, 0);
    EXPECT_EQ(picture(1), solvedPicture);
}

INSTANTIATE_TEST_SUITE_P(Modes, RevealModes,
                         testing::Values(ModeCase{0, false, false, false}, ModeCase{1, false, false, true},
                                         ModeCase{2, true, true, false}, ModeCase{3, true, true, true},
                                         ModeCase{4, true, false, false}, ModeCase{5, true, false, false}),
                         [](const testing::TestParamInfo<ModeCase>& info) {
                             return "Mode" + std::to_string(info.param.mode);
                         });

TEST_F(Judging, WholeBoardRevealWaitsForEveryVerdictAndLatches)
{
    describe({2, 3, 1, 4});
    build();
    QuizState& state = *app.quiz;
    answer(4001, "france");
    answer(4002, "espagne");
    EXPECT_FALSE(revealShown(1) || revealShown(2) || revealShown(3));
    EXPECT_EQ(state.allRevealed, 0);

    EXPECT_EQ(answer(4003, "italie"), 1);
    EXPECT_TRUE(revealShown(1) && revealShown(2) && revealShown(3));
    EXPECT_EQ(state.allRevealed, 1);

    // One question turns unanswered: only its label goes, and the latch opens.
    EXPECT_EQ(answer(4002, ""), 1);
    EXPECT_TRUE(revealShown(1));
    EXPECT_FALSE(revealShown(2));
    EXPECT_TRUE(revealShown(3));
    EXPECT_EQ(state.allRevealed, 0);

    EXPECT_EQ(answer(4002, "Espagne"), 1);
    EXPECT_TRUE(revealShown(1) && revealShown(2) && revealShown(3));
    EXPECT_EQ(state.allRevealed, 1);

    // While latched the board is not counted: a label turned "BRAVO" again reveals nothing.
    for (int question = 1; question <= 3; ++question)
        setReveal(question, false);
    SetDlgItemTextA(board_, 5003, "Presque");
    EXPECT_EQ(judge(4003), 1);
    EXPECT_EQ(verdict(4003), "BRAVO");
    EXPECT_FALSE(revealShown(1) || revealShown(2) || revealShown(3));
}

TEST_F(Judging, WholeBoardRevealCountsBothFieldsOfEveryQuestion)
{
    describe({3, 2, 2, 4});
    build();
    answer(4001, "france");
    answer(4002, "paris");
    answer(4003, "espagne");
    EXPECT_FALSE(revealShown(1) || revealShown(2));
    EXPECT_EQ(app.quiz->allRevealed, 0);
    answer(4004, "madrid");
    EXPECT_TRUE(revealShown(1) && revealShown(2));
    EXPECT_EQ(app.quiz->allRevealed, 1);
}

TEST_F(Judging, TwoAnswerFieldIdsDecodeToQuestionAndAnswer)
{
    describe({2, 3, 2, 0});
    build();
    struct Field {
        int id;
        const char* stored;
        const char* other; // the other answer of the same question
    };
    const Field fields[] = {{4001, "France", "Paris"},  {4002, "Paris", "France"}, {4003, "Espagne", "Madrid"},
                            {4004, "Madrid", "Espagne"}, {4005, "Italie", "Rome"},  {4006, "Rome", "Italie"}};
    for (const Field& field : fields) {
        SCOPED_TRACE(field.id);
        answer(field.id, field.other);
        EXPECT_NE(verdict(field.id), "BRAVO");
        answer(field.id, field.stored);
        EXPECT_EQ(verdict(field.id), "BRAVO");
    }
    for (int question = 1; question <= 3; ++question)
        EXPECT_EQ(app.quiz->solvedFlags[question], 1);
}

TEST_F(Judging, RevealLabelWaitsForBothAnswersOfTheQuestion)
{
    describe({2, 3, 2, 2});
    build();
    QuizState& state = *app.quiz;
    answer(4001, "France");
    EXPECT_FALSE(revealShown(1));
    EXPECT_EQ(state.solvedFlags[1], 0);
    answer(4002, "Paris");
    EXPECT_TRUE(revealShown(1));
    EXPECT_EQ(state.solvedFlags[1], 1);

    // The second answer first: the same.
    answer(4006, "Rome");
    EXPECT_FALSE(revealShown(3));
    answer(4005, "Italie");
    EXPECT_TRUE(revealShown(3));

    // The check reads what the other field holds now, not its label: first answer altered
    // without being judged, so the label stays hidden though both labels read "BRAVO".
    answer(4003, "Espagne");
    SetDlgItemTextA(board_, 4003, "Espagnol");
    answer(4004, "Madrid");
    EXPECT_EQ(verdict(4003), "BRAVO");
    EXPECT_EQ(verdict(4004), "BRAVO");
    EXPECT_FALSE(revealShown(2));
}

// The list has one field per question even in a two-answer quiz: judged against the first answer.
TEST_F(Judging, ListQuizWithTwoAnswersJudgesOneFieldPerQuestion)
{
    describe({0, 3, 2, 4});
    build();
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

TEST_F(Judging, RestoredAnswersAreJudgedWhileTheBoardIsBuilt)
{
    describe({2, 3, 1, 2});
    writeProgress("france\r\n\r\nitalia\r\n");
    build();
    EXPECT_EQ(verdict(4001), "BRAVO");
    EXPECT_EQ(verdict(4002), "?");
    EXPECT_EQ(verdict(4003), "Quasiment");
    EXPECT_TRUE(revealShown(1));
    EXPECT_FALSE(revealShown(3));
    EXPECT_EQ(scoreWrites, 2) << "the empty field kept its \"?\" without an update";
    EXPECT_EQ(app.quiz->solvedFlags[1], 1);
}

TEST_F(Judging, TypedTextIsJudgedOnItsFirst259Characters)
{
    const std::string stored(259, 'A');
    describeQuiz({2, 1, 1, 0}, {{stored, ""}});
    build();
    answer(4001, std::string(259, 'a') + "zzz");
    EXPECT_EQ(verdict(4001), "BRAVO");
    answer(4001, std::string(258, 'a'));
    EXPECT_EQ(verdict(4001), "Quasiment");
}

TEST_F(Judging, MissingAnswerPictureLeavesTheCardAndIsTriedAgainLater)
{
    usePictures({1, 2, 3}, {1});
    describe({1, 3, 1, 1});
    build();
    const HBITMAP cardPicture = picture(2);
    answer(4002, "espagne");
    EXPECT_EQ(verdict(4002), "BRAVO");
    EXPECT_EQ(picture(2), cardPicture);
    EXPECT_EQ(GetObjectType(cardPicture), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(app.quiz->answerPictureShown[2], 0);
    answer(4002, "x");
    answer(4002, "espagne");
    EXPECT_EQ(picture(2), cardPicture);
    EXPECT_EQ(app.quiz->answerPictureShown[2], 0);
}

TEST_F(Judging, SoundQuizHasNoPictureToReplace)
{
    usePictures({}, {1});
    describe({2, 3, 1, 3});
    build();
    EXPECT_EQ(answer(4001, "france"), 1);
    EXPECT_TRUE(revealShown(1));
    EXPECT_EQ(app.quiz->answerPictureShown[1], 0);
}

TEST_F(Judging, FieldIdsOutsideTheBoardAreIgnored)
{
    usePictures({1, 2, 3}, {1, 2, 3});
    describe({1, 3, 1, 1});
    build();
    QuizState before = *app.quiz;
    for (int id : {0, 3000, 4000, 4004, 9999}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(judge(id), 0);
    }
    EXPECT_EQ(std::memcmp(&before, app.quiz, sizeof before), 0);
}

} // namespace
