// Host tests of the state record's reset values, text copying and the question list.
#include "quiz/quiz_state.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "failing_new.h"
#include "quiz_record_builder.h"

namespace {

bool allZero(const int32_t* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (values[i] != 0) {
            return false;
        }
    }
    return true;
}

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
    void SetUp() override
    {
        state = std::make_unique<QuizState>();
        resetQuizData(*state);
    }
    void TearDown() override { releaseQuestions(*state); }

    std::unique_ptr<QuizState> state;
};

TEST(ResetQuizData, SetsEveryDataFieldOverGarbage)
{
    auto state = std::make_unique<QuizState>();
    std::memset(state.get(), 0xA5, sizeof(QuizState));
    resetQuizData(*state);

    EXPECT_EQ(state->contentWidth, 0);
    EXPECT_EQ(state->contentHeight, 0);
    EXPECT_EQ(state->mediaKind, kMediaText);
    EXPECT_STREQ(state->title, "nom du enigo");
    EXPECT_STREQ(state->author, " createur");
    EXPECT_STREQ(state->explanation, "");
    EXPECT_STREQ(state->answerLabel1, "");
    EXPECT_STREQ(state->answerLabel2, "");
    EXPECT_EQ(state->questionCount, 2);
    EXPECT_EQ(state->answersPerQuestion, 1);
    for (int i = 0; i < kMaxQuestions; ++i) {
        EXPECT_STREQ(state->codes[i], "") << "code " << i;
    }
    EXPECT_TRUE(allZero(state->solvedFlags, kFlagSlots));
    EXPECT_TRUE(allZero(state->answerPictureShown, kFlagSlots));
    EXPECT_TRUE(allZero(state->cardStates, kFlagSlots));
    EXPECT_TRUE(allZero(state->rowHeights, kMaxRows));
    EXPECT_EQ(state->revealMode, 0);
    EXPECT_EQ(state->allRevealed, 0);
    EXPECT_EQ(state->backRed, 90);
    EXPECT_EQ(state->backGreen, 95);
    EXPECT_EQ(state->backBlue, 150);
    EXPECT_EQ(state->boardFont, nullptr);
    EXPECT_EQ(state->scoreFont, nullptr);
    EXPECT_EQ(state->titleFont, nullptr);
    EXPECT_EQ(state->boardWindow, nullptr);
    EXPECT_EQ(state->headerWindow, nullptr);
    EXPECT_EQ(state->backBrush, nullptr);
    EXPECT_EQ(state->wrongBrush, nullptr);
    EXPECT_EQ(state->anagramBrush, nullptr);
    EXPECT_EQ(state->hintBrush, nullptr);
    EXPECT_EQ(state->captionBrush, nullptr);
    EXPECT_STREQ(state->mediaFolder, "");
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);
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

struct CopyCase {
    std::size_t sourceLength;
    std::size_t keptLength;
};

class CopyTextTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyTextTest, CutsAt259AndAlwaysTerminates)
{
    const CopyCase c = GetParam();
    const std::string source = patternText(c.sourceLength);
    // Room for the 260-byte buffer and a guard after it that must stay as it is.
    char buffer[kTextSize + 40];
    std::memset(buffer, '#', sizeof buffer);
    copyText(buffer, source.c_str());
    EXPECT_EQ(std::strlen(buffer), c.keptLength);
    EXPECT_EQ(std::string(buffer), source.substr(0, c.keptLength));
    for (std::size_t i = c.keptLength + 1; i < sizeof buffer; ++i) {
        ASSERT_EQ(buffer[i], '#') << "byte " << i << " written";
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CopyTextTest,
                         ::testing::Values(CopyCase{0, 0}, CopyCase{1, 1}, CopyCase{258, 258},
                                           CopyCase{259, 259}, CopyCase{260, 259}, CopyCase{1000, 259}));

TEST(CopyText, NullSourceGivesEmptyText)
{
    char buffer[kTextSize];
    std::memset(buffer, 'x', sizeof buffer);
    copyText(buffer, nullptr);
    EXPECT_STREQ(buffer, "");
}

TEST(CopyText, ReadsNoMoreThan259SourceBytes)
{
    // An unterminated source of exactly 259 bytes: AddressSanitizer flags a read of byte 260.
    const std::string text = patternText(259);
    ExactBuffer source(text);
    char buffer[kTextSize];
    copyText(buffer, reinterpret_cast<const char*>(source.data()));
    EXPECT_EQ(std::string(buffer), text);
}

TEST_F(QuizStateTest, AppendLinksEachRecordAtTheTail)
{
    QuestionRecord* first = appendQuestion(*state, "a1", "b1", "c1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(state->firstQuestion, first);
    EXPECT_EQ(state->lastQuestion, first);
    EXPECT_EQ(first->previous, nullptr);
    EXPECT_EQ(first->next, nullptr);

    QuestionRecord* second = appendQuestion(*state, "a2", "b2", "c2");
    QuestionRecord* third = appendQuestion(*state, "a3", "b3", "c3");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(state->firstQuestion, first);
    EXPECT_EQ(state->lastQuestion, third);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(second->previous, first);
    EXPECT_EQ(second->next, third);
    EXPECT_EQ(third->previous, second);
    EXPECT_EQ(third->next, nullptr);

    EXPECT_STREQ(second->answer1, "a2");
    EXPECT_STREQ(second->answer2, "b2");
    EXPECT_STREQ(second->caption, "c2");
    EXPECT_STREQ(second->revealText, "");
}

TEST_F(QuizStateTest, AppendCutsLongTextsAndCopiesThem)
{
    std::string long1 = patternText(1000);
    const std::string long2 = patternText(260, 'A');
    QuestionRecord* record = appendQuestion(*state, long1.c_str(), long2.c_str(), "");
    ASSERT_NE(record, nullptr);
    long1[0] = '!';  // the record holds its own copy
    EXPECT_EQ(std::string(record->answer1), patternText(259));
    EXPECT_EQ(std::string(record->answer2), long2.substr(0, 259));
    EXPECT_STREQ(record->caption, "");
    EXPECT_STREQ(record->revealText, "");
}

TEST_F(QuizStateTest, FailedAllocationAddsNothing)
{
    appendQuestion(*state, "a1", "b1", "c1");
    QuestionRecord* head = state->firstQuestion;
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

TEST_F(QuizStateTest, FailedFirstAllocationLeavesTheListEmpty)
{
    NothrowFailureScope failNext(0, 1);
    EXPECT_EQ(appendQuestion(*state, "a", "b", "c"), nullptr);
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);
}

TEST_F(QuizStateTest, QuestionByNumberOnAnEmptyListYieldsNull)
{
    for (int number : {INT_MIN, -1, 0, 1, 2, 96, INT_MAX}) {
        EXPECT_EQ(questionByNumber(*state, number), nullptr) << number;
    }
}

struct NumberCase {
    int number;
    int expectedIndex;  // 0-based position in a list of three records
};

class QuestionByNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(QuestionByNumberTest, FollowsNextAndClampsToTheEnds)
{
    auto state = std::make_unique<QuizState>();
    resetQuizData(*state);
    appendQuestion(*state, "1", "", "");
    appendQuestion(*state, "2", "", "");
    appendQuestion(*state, "3", "", "");
    const std::vector<QuestionRecord*> records = walkForward(*state);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(questionByNumber(*state, GetParam().number), records[GetParam().expectedIndex]);
    releaseQuestions(*state);
}

// Numbers below 1 yield the first record (the walk simply takes no step);
// numbers past the end yield the last record.
INSTANTIATE_TEST_SUITE_P(Numbers, QuestionByNumberTest,
                         ::testing::Values(NumberCase{INT_MIN, 0}, NumberCase{-1, 0}, NumberCase{0, 0},
                                           NumberCase{1, 0}, NumberCase{2, 1}, NumberCase{3, 2},
                                           NumberCase{4, 2}, NumberCase{96, 2}, NumberCase{INT_MAX, 2}));

TEST_F(QuizStateTest, QuestionByNumberWithOneRecordAlwaysYieldsIt)
{
    QuestionRecord* only = appendQuestion(*state, "a", "", "");
    for (int number : {INT_MIN, 0, 1, 2, INT_MAX}) {
        EXPECT_EQ(questionByNumber(*state, number), only) << number;
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

} // namespace
