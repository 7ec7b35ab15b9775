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

TEST(QuizState, ResetOverGarbageZeroesAllButTheDefaults)
{
    auto state = std::make_unique<QuizState>(), expected = std::make_unique<QuizState>();
    std::memset(state.get(), 0xA5, sizeof(QuizState));
    std::memset(expected.get(), 0, sizeof(QuizState));
    std::strcpy(expected->title, "nom du enigo");
    std::strcpy(expected->author, " createur");
    expected->questionCount = 2, expected->answersPerQuestion = 1;
    expected->backRed = 90, expected->backGreen = 95, expected->backBlue = 150;
    resetQuizData(*state);
    EXPECT_EQ(std::memcmp(state.get(), expected.get(), sizeof(QuizState)), 0);
}

// (The cut at 259 bytes shows in the list's records below.) A guard after the buffer must stay;
// an unterminated source of exactly 259 bytes shows (under AddressSanitizer) any read of a 260th.
TEST(QuizState, CopyTextWritesAndReadsAtMost260Bytes)
{
    char buffer[kTextSize + 8];
    std::memset(buffer, '#', sizeof buffer);
    copyText(buffer, patternText(1000).c_str());
    EXPECT_EQ(std::string(buffer, sizeof buffer), patternText(259) + '\0' + std::string(8, '#'));
    const std::string text = patternText(259);
    const std::vector<char> unterminated(text.begin(), text.end());
    copyText(buffer, unterminated.data());
    EXPECT_EQ(std::string(buffer), text);
    copyText(buffer, nullptr);
    EXPECT_STREQ(buffer, "");
}

// The list front to back with its links checked, and what questionByNumber gives for each number.
std::string listOf(const QuizState& state)
{
    std::string out;
    const QuestionRecord* previous = nullptr;
    for (const QuestionRecord* r = state.firstQuestion; r != nullptr; previous = r, r = r->next)
        out += (r->previous == previous ? "" : "<bad back link>") + std::string(r->answer1).substr(0, 4) + "/" +
               std::to_string(std::strlen(r->answer2)) + "/" + r->caption + "/" + r->revealText + ";";
    out += state.lastQuestion == previous ? " by number" : "<bad last> by number";
    for (int number : {INT_MIN, 0, 1, 2, 3, 4, INT_MAX}) {
        const QuestionRecord* r = questionByNumber(state, number);
        out += " " + (r ? std::string(r->answer1).substr(0, 2) : "-");
    }
    return out;
}

// Numbers below 1 yield the first record, numbers past the end the last, an empty list null.
TEST(QuizState, QuestionList)
{
    auto state = std::make_unique<QuizState>();
    resetQuizData(*state);
    {
        NothrowFailureScope failNext(0, 1);
        EXPECT_EQ(appendQuestion(*state, "a", "b", "c"), nullptr);
    }
    EXPECT_EQ(listOf(*state), " by number - - - - - - -");
    std::string long1 = patternText(1000);
    EXPECT_NE(appendQuestion(*state, long1.c_str(), patternText(260).c_str(), ""), nullptr);
    long1[0] = '!';  // the record holds its own copy
    EXPECT_EQ(listOf(*state), "abcd/259//; by number ab ab ab ab ab ab ab");
    {
        NothrowFailureScope failNext(0, 1);
        EXPECT_EQ(appendQuestion(*state, "x", "y", "z"), nullptr);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    appendQuestion(*state, "a2", "b2", "c2");
    appendQuestion(*state, "a3", "", "");
    EXPECT_EQ(listOf(*state), "abcd/259//;a2/2/c2/;a3/0//; by number ab ab ab a2 a3 a3 a3");
    EXPECT_EQ(std::string(state->firstQuestion->answer1), patternText(259));
    releaseQuestions(*state);  // LeakSanitizer reports any record left behind
    EXPECT_EQ(listOf(*state), " by number - - - - - - -");
    releaseQuestions(*state);
    appendQuestion(*state, "x", "", "");
    EXPECT_EQ(listOf(*state), "x/0//; by number x x x x x x x");
    releaseQuestions(*state);
}

}  // namespace
