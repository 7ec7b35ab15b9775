// Host tests of the state record's reset values, text copying and the question list.
#include "quiz/quiz_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "failing_new.h"
#include "quiz_record_builder.h"

namespace {

std::vector<QuestionRecord*> walkForward(const QuizState& state)
{
    std::vector<QuestionRecord*> records;
    for (QuestionRecord* record = state.firstQuestion; record != nullptr; record = record->next) {
        records.push_back(record);
    }
    return records;
}

class QuizStateTest : public ::testing::Test {
protected:
    void SetUp() override { resetQuizData(*state); }
    void TearDown() override { releaseQuestions(*state); }

    std::unique_ptr<QuizState> state = std::make_unique<QuizState>();
};

TEST(ResetQuizData, SetsEveryDataFieldOverGarbage)
{
    auto state = std::make_unique<QuizState>();
    std::memset(state.get(), 0xA5, sizeof(QuizState));
    resetQuizData(*state);

    const QuizState& s = *state;
    EXPECT_EQ(std::string(s.title) + "|" + s.author + "|" + s.explanation + "|" + s.answerLabel1 + "|" +
                  s.answerLabel2 + "|" + s.mediaFolder,
              "nom du enigo| createur||||");
    EXPECT_EQ((std::vector<int>{s.contentWidth, s.contentHeight, s.mediaKind, s.questionCount, s.answersPerQuestion,
                                s.revealMode, s.allRevealed, s.backRed, s.backGreen, s.backBlue}),
              (std::vector<int>{0, 0, kMediaText, 2, 1, 0, 0, 90, 95, 150}));
    for (int i = 0; i < kMaxQuestions; ++i) {
        EXPECT_STREQ(s.codes[i], "") << "code " << i;
    }
    const auto allZero = [](const int32_t* values, int count) {
        return std::all_of(values, values + count, [](int32_t value) { return value == 0; });
    };
    EXPECT_TRUE(allZero(s.solvedFlags, kFlagSlots));
    EXPECT_TRUE(allZero(s.answerPictureShown, kFlagSlots));
    EXPECT_TRUE(allZero(s.cardStates, kFlagSlots));
    EXPECT_TRUE(allZero(s.rowHeights, kMaxRows));
    const std::vector<const void*> handles = {s.boardFont, s.scoreFont, s.titleFont, s.boardWindow, s.headerWindow,
                                              s.backBrush, s.wrongBrush, s.anagramBrush, s.hintBrush, s.captionBrush,
                                              s.firstQuestion, s.lastQuestion};
    EXPECT_EQ(handles, std::vector<const void*>(handles.size(), nullptr));
}

TEST(ResetQuizData, AfterReleaseGivesTheSameStateAsFresh)
{
    auto fresh = std::make_unique<QuizState>();
    resetQuizData(*fresh);
    auto used = std::make_unique<QuizState>();
    resetQuizData(*used);
    appendQuestion(*used, "a", "b", "c");
    copyText(used->title, "autre");
    used->solvedFlags[3] = 1;
    releaseQuestions(*used);
    resetQuizData(*used);
    EXPECT_EQ(std::memcmp(fresh.get(), used.get(), sizeof(QuizState)), 0);
}

class CopyTextTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CopyTextTest, CutsAt259AndAlwaysTerminates)
{
    const std::string source = patternText(GetParam());
    const std::size_t kept = std::min<std::size_t>(GetParam(), 259);
    // Room for the 260-byte buffer and a guard after it that must stay as it is.
    char buffer[kTextSize + 40];
    std::memset(buffer, '#', sizeof buffer);
    copyText(buffer, source.c_str());
    EXPECT_EQ(std::string(buffer), source.substr(0, kept));
    for (std::size_t i = kept + 1; i < sizeof buffer; ++i) {
        ASSERT_EQ(buffer[i], '#') << "byte " << i << " written";
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CopyTextTest, ::testing::Values(0, 1, 258, 259, 260, 1000));

TEST(CopyText, NullSourceGivesEmptyTextAndNoMoreThan259SourceBytesAreRead)
{
    char buffer[kTextSize];
    std::memset(buffer, 'x', sizeof buffer);
    copyText(buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    // An unterminated source of exactly 259 bytes: AddressSanitizer flags a read of byte 260.
    const std::string text = patternText(259);
    ExactBuffer source(text);
    copyText(buffer, reinterpret_cast<const char*>(source.data()));
    EXPECT_EQ(std::string(buffer), text);
}

TEST_F(QuizStateTest, AppendLinksEachRecordAtTheTailWithItsOwnCutCopies)
{
    QuestionRecord* first = appendQuestion(*state, "a1", "b1", "c1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(state->firstQuestion, first);
    EXPECT_EQ(state->lastQuestion, first);
    EXPECT_EQ(first->previous, nullptr);
    EXPECT_EQ(first->next, nullptr);

    std::string long1 = patternText(1000);
    const std::string long2 = patternText(260, 'A');
    QuestionRecord* second = appendQuestion(*state, long1.c_str(), long2.c_str(), "");
    QuestionRecord* third = appendQuestion(*state, "a3", "b3", "c3");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(walkForward(*state), (std::vector<QuestionRecord*>{first, second, third}));
    EXPECT_EQ(state->lastQuestion, third);
    EXPECT_EQ(second->previous, first);
    EXPECT_EQ(third->previous, second);

    long1[0] = '!';  // the record holds its own copy
    EXPECT_EQ(std::string(second->answer1), patternText(259));
    EXPECT_EQ(std::string(second->answer2), long2.substr(0, 259));
    EXPECT_STREQ(second->caption, "");
    EXPECT_STREQ(second->revealText, "");
    EXPECT_EQ(std::string(third->answer1) + third->answer2 + third->caption + "|" + third->revealText, "a3b3c3|");
}

TEST_F(QuizStateTest, FailedAllocationAddsNothing)
{
    {
        NothrowFailureScope failNext(0, 1);
        EXPECT_EQ(appendQuestion(*state, "a", "b", "c"), nullptr);
    }
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);

    QuestionRecord* head = appendQuestion(*state, "a1", "b1", "c1");
    {
        NothrowFailureScope failNext(0, 1);
        EXPECT_EQ(appendQuestion(*state, "a2", "b2", "c2"), nullptr);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(state->firstQuestion, head);
    EXPECT_EQ(state->lastQuestion, head);
    EXPECT_EQ(head->next, nullptr);

    // The list goes on normally once memory is back.
    QuestionRecord* next = appendQuestion(*state, "a3", "b3", "c3");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(head->next, next);
    EXPECT_EQ(next->previous, head);
}

// Numbers below 1 yield the first record (the walk simply takes no step); numbers past the end
// yield the last record; an empty list yields null.
TEST_F(QuizStateTest, QuestionByNumberFollowsNextAndClampsToTheEnds)
{
    const int numbers[] = {INT_MIN, -1, 0, 1, 2, 3, 4, 96, INT_MAX};
    const int inListOfThree[] = {0, 0, 0, 0, 1, 2, 2, 2, 2};
    for (int number : numbers) {
        EXPECT_EQ(questionByNumber(*state, number), nullptr) << number;
    }
    QuestionRecord* only = appendQuestion(*state, "1", "", "");
    for (int number : numbers) {
        EXPECT_EQ(questionByNumber(*state, number), only) << number;
    }
    appendQuestion(*state, "2", "", "");
    appendQuestion(*state, "3", "", "");
    const std::vector<QuestionRecord*> records = walkForward(*state);
    ASSERT_EQ(records.size(), 3u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(questionByNumber(*state, numbers[i]), records[inListOfThree[i]]) << numbers[i];
    }
}

TEST_F(QuizStateTest, ReleaseEmptiesTheListAndIsSafeWhenEmpty)
{
    releaseQuestions(*state);
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);

    for (int i = 0; i < 5; ++i) {
        appendQuestion(*state, "a", "b", "c");
    }
    EXPECT_EQ(walkForward(*state).size(), 5u);
    // LeakSanitizer (with -fsanitize=address) reports any record left behind.
    releaseQuestions(*state);
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);
    releaseQuestions(*state);

    QuestionRecord* again = appendQuestion(*state, "x", "", "");
    EXPECT_EQ(state->firstQuestion, again);
    EXPECT_EQ(again->previous, nullptr);
}

}  // namespace
