// loadQuiz against real resource modules: a normal quiz and every failure road, with the
// message boxes captured instead of shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/quiz_state_win.h"
#include "quiz/quiz_loader.h"
#include "quiz_record_builder.h"
#include "test_support.h"

namespace {

const std::string kNoAnswers = "Reponses non trouv\xE9" "es";
const std::string kBadAnswers = "Erreur dans le d\xE9" "cryptage des reponses";
const std::string kBadCodes = "Erreur dans le d\xE9" "cryptage des codes";

// A two-question picture quiz in reveal mode 2, colour 10/20/30.
std::vector<unsigned char> sampleRecord()
{
    QuizRecordBuilder record;
    record.header(0, 2, 2, 1)
        .texts({"Drapeaux", "Marie", "Trouvez les pays", "Pays", "Capitale"})
        .texts({"FRANCE", "bleu blanc rouge", "ITALIE", "vert blanc rouge"})
        .byte(2)
        .texts({"Paris", "Rome"})
        .colour(10, 20, 30);
    return record.bytes();
}

// The same record with its last two colour bytes missing.
std::vector<unsigned char> truncatedRecord()
{
    std::vector<unsigned char> record = sampleRecord();
    record.resize(record.size() - 2);
    return record;
}

struct LoadedQuiz {
    QuizState state;
    std::vector<CapturedMessage> messages;
};

struct ResourceSet {
    bool withQuiz;
    std::vector<unsigned char> quiz;    // stored as given (already packed or deliberately not)
    bool withCodes;
    std::vector<unsigned char> codes;
};

std::unique_ptr<LoadedQuiz> loadFrom(const ResourceSet& resources)
{
    FixtureModule fixture;
    if (resources.withQuiz)
        fixture.add("PATCH", 104, resources.quiz);
    if (resources.withCodes)
        fixture.add("PATCH", 105, resources.codes);
    // Every module needs at least one resource to be written; an unrelated one does not disturb.
    fixture.add("OTHER", 1, {1, 2, 3});
    HMODULE module = fixture.load();

    auto loaded = std::make_unique<LoadedQuiz>();
    MessageCapture capture;
    initQuizState(loaded->state);
    loadQuiz(loaded->state, module);
    loaded->messages = capture.messages();
    return loaded;
}

COLORREF brushColour(HBRUSH brush)
{
    LOGBRUSH description = {};
    EXPECT_EQ(GetObjectA(brush, sizeof description, &description), static_cast<int>(sizeof description));
    return description.lbColor;
}

int listLength(const QuizState& state)
{
    int length = 0;
    for (const QuestionRecord* record = state.firstQuestion; record; record = record->next)
        ++length;
    return length;
}

void expectOnlyMessage(const LoadedQuiz& loaded, const std::string& text)
{
    ASSERT_EQ(loaded.messages.size(), 1u);
    expectMessage(loaded.messages[0], nullptr, text, "Enigo", MB_OK);
}

// The state a failed quiz record leaves: reset values with no questions.
void expectResetWithoutQuestions(const QuizState& state)
{
    EXPECT_EQ(state.questionCount, 0);
    EXPECT_STREQ(state.title, "nom du enigo");
    EXPECT_STREQ(state.author, " createur");
    EXPECT_EQ(state.firstQuestion, nullptr);
    EXPECT_EQ(brushColour(state.backBrush), RGB(90, 95, 150));
    EXPECT_STREQ(state.codes[0], "");
}

struct LoaderCase {
    const char* name;
    ResourceSet resources;
    std::string expectedMessage;    // empty: no message at all
    std::function<void(const QuizState&)> check;
};

class LoadQuiz : public testing::TestWithParam<LoaderCase> {};

TEST_P(LoadQuiz, ShowsTheRightMessageAndLeavesTheRightState)
{
    const LoaderCase& testCase = GetParam();
    auto loaded = loadFrom(testCase.resources);
    if (testCase.expectedMessage.empty())
        EXPECT_TRUE(loaded->messages.empty()) << loaded->messages[0].text;
    else
        expectOnlyMessage(*loaded, testCase.expectedMessage);
    testCase.check(loaded->state);
    releaseQuizState(loaded->state);
}

void expectSampleQuiz(const QuizState& state)
{
    EXPECT_EQ(state.mediaKind, kMediaPicture);
    EXPECT_EQ(state.questionCount, 2);
    EXPECT_EQ(state.answersPerQuestion, 1);
    EXPECT_STREQ(state.title, "Drapeaux");
    EXPECT_STREQ(state.answerLabel2, "Capitale");
    EXPECT_EQ(state.revealMode, 2);
    ASSERT_EQ(listLength(state), 2);
    EXPECT_STREQ(questionByNumber(state, 2)->answer1, "ITALIE");
    EXPECT_STREQ(questionByNumber(state, 2)->caption, "vert blanc rouge");
    EXPECT_STREQ(questionByNumber(state, 2)->revealText, "Rome");
    EXPECT_EQ(brushColour(state.backBrush), RGB(10, 20, 30));
}

const std::vector<unsigned char> kTwoCodes = packed(std::string("A7K\r\nZ9\r\n"));

const LoaderCase kCases[] = {
    {"NormalQuiz", {true, packed(sampleRecord()), true, kTwoCodes}, "",
     [](const QuizState& state) {
         expectSampleQuiz(state);
         EXPECT_STREQ(state.codes[0], "A7K");
         EXPECT_STREQ(state.codes[1], "Z9");
     }},
    {"MissingQuizGivesBuiltInQuiz", {false, {}, true, kTwoCodes}, kNoAnswers,
     [](const QuizState& state) {
         EXPECT_STREQ(state.title, "Nom du enigo");
         EXPECT_STREQ(state.author, "Createur enigo");
         EXPECT_STREQ(state.explanation, "Explications du enigo");
         EXPECT_STREQ(state.answerLabel1, "TEST");
         EXPECT_EQ(state.questionCount, 7);
         EXPECT_EQ(state.revealMode, 3);
         EXPECT_EQ(state.mediaKind, kMediaPicture);
         EXPECT_EQ(brushColour(state.backBrush), RGB(53, 203, 163));
         // Seven questions over two records: 3 to 7 all land on the second.
         ASSERT_EQ(listLength(state), 2);
         EXPECT_NE(questionByNumber(state, 1), questionByNumber(state, 2));
         for (int number = 3; number <= 7; ++number)
             EXPECT_EQ(questionByNumber(state, number), state.lastQuestion) << number;
         EXPECT_STREQ(questionByNumber(state, 1)->answer2, "test");
         EXPECT_STREQ(questionByNumber(state, 1)->caption, "emplacement");
         // The codes resource is not read at all in this case.
         EXPECT_STREQ(state.codes[0], "");
     }},
    {"QuizThatDoesNotDecode", {true, {'n', 'o', 't', ' ', 'l', 'z', 'w'}, true, kTwoCodes}, kBadAnswers,
     expectResetWithoutQuestions},
    {"QuizWithOnlyPartOfAFirstCode", {true, {0x41}, true, kTwoCodes}, kBadAnswers, expectResetWithoutQuestions},
    {"TruncatedQuizRecord",
     {true, packed(truncatedRecord()), true, kTwoCodes},
     kBadAnswers, expectResetWithoutQuestions},
    {"MissingCodes", {true, packed(sampleRecord()), false, {}}, kBadCodes,
     [](const QuizState& state) {
         expectSampleQuiz(state);
         EXPECT_STREQ(state.codes[0], "");
     }},
    {"CodesThatDoNotDecode", {true, packed(sampleRecord()), true, {0xFF, 0xFF, 0xFF, 0xFF}}, kBadCodes,
     [](const QuizState& state) {
         expectSampleQuiz(state);
         EXPECT_STREQ(state.codes[0], "");
     }},
    {"CodeLineWithoutCarriageReturn", {true, packed(sampleRecord()), true, packed(std::string("A7K\r\nZ9"))},
     kBadCodes,
     [](const QuizState& state) {
         expectSampleQuiz(state);
         EXPECT_STREQ(state.codes[0], "");
     }},
};

INSTANTIATE_TEST_SUITE_P(Resources, LoadQuiz, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LoaderCase>& info) { return info.param.name; });

} // namespace
