// loadQuiz from real resource modules: a normal quiz and every failure road, message boxes captured.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quiz/quiz_loader.h"
#include "quiz/quiz_state_win.h"
#include "quiz_record_builder.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A two-question picture quiz (media kind 1) in reveal mode 2, colour 10/20/30; cut short by drop bytes.
Bytes sampleRecord(size_t drop = 0)
{
    QuizRecordBuilder record;
    record.header(0, 2, 2, 1)
        .texts({"Drapeaux", "Marie", "Trouvez les pays", "Pays", "Capitale"})
        .texts({"FRANCE", "bleu blanc rouge", "ITALIE", "vert blanc rouge"})
        .byte(2)
        .texts({"Paris", "Rome"})
        .colour(10, 20, 30);
    Bytes bytes = record.bytes();
    bytes.resize(bytes.size() - drop);
    return bytes;
}

// The loaded state as one line: title, author, counts, reveal mode, media kind, background,
// the question list (answer, caption, reveal text) and the first two codes.
std::string summary(const QuizState& state)
{
    LOGBRUSH brush = {};
    GetObjectA(state.backBrush, sizeof brush, &brush);
    std::string text = std::string(state.title) + "|" + state.author + "|" + state.answerLabel2 + "|" +
                       std::to_string(state.questionCount) + "x" + std::to_string(state.answersPerQuestion) + " r" +
                       std::to_string(state.revealMode) + " m" + std::to_string(state.mediaKind) + " #" +
                       std::to_string(brush.lbColor) + " [";
    for (const QuestionRecord* record = state.firstQuestion; record; record = record->next)
        text += std::string(record->answer1) + "/" + record->caption + "/" + record->revealText + ";";
    return text + "] " + state.codes[0] + "," + state.codes[1];
}

const std::string kSample = "Drapeaux|Marie|Capitale|2x1 r2 m1 #" + std::to_string(RGB(10, 20, 30)) +
                            " [FRANCE/bleu blanc rouge/Paris;ITALIE/vert blanc rouge/Rome;]";
// What a failed quiz record leaves: the reset values and no questions.
const std::string kReset = "nom du enigo| createur||0x1 r0 m0 #" + std::to_string(RGB(90, 95, 150)) + " [] ,";

TEST(LoadQuiz, ShowsTheRightMessageAndLeavesTheRightState)
{
    const Bytes twoCodes = packed(std::string("A7K\r\nZ9\r\n"));
    const std::string badAnswers = "Erreur dans le d\xE9" "cryptage des reponses";
    const std::string badCodes = "Erreur dans le d\xE9" "cryptage des codes";
    const Bytes sample = packed(sampleRecord());
    const struct {
        const char* name;
        Bytes quiz, codes;
        bool withCodes;
        std::string message, state;
    } cases[] = {
        {"normal", sample, twoCodes, true, "", kSample + " A7K,Z9"},
        {"not LZW", {'n', 'o', 't', ' ', 'l', 'z', 'w'}, twoCodes, true, badAnswers, kReset},
        {"part of a first code", {0x41}, twoCodes, true, badAnswers, kReset},
        {"truncated record", packed(sampleRecord(2)), twoCodes, true, badAnswers, kReset},
        {"no codes", sample, {}, false, badCodes, kSample + " ,"},
        {"codes not LZW", sample, {0xFF, 0xFF, 0xFF, 0xFF}, true, badCodes, kSample + " ,"},
        {"code line without CR LF", sample, packed(std::string("A7K\r\nZ9")), true, badCodes, kSample + " ,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureModule fixture;
        fixture.add("PATCH", 104, c.quiz);
        if (c.withCodes)
            fixture.add("PATCH", 105, c.codes);
        HMODULE module = fixture.load();
        QuizState state;
        initQuizState(state);
        MessageCapture capture;
        loadQuiz(state, module);
        ASSERT_EQ(capture.messages().size(), c.message.empty() ? 0u : 1u);
        if (!c.message.empty())
            expectMessage(capture.messages()[0], nullptr, c.message, "Enigo", MB_OK);
        EXPECT_EQ(summary(state), c.state);
        releaseQuizState(state);
    }
}

// Without a quiz resource the built-in quiz stands in: seven questions over two records, so
// numbers 3 to 7 all land on the second; the codes are not read at all.
TEST(LoadQuiz, MissingQuizGivesTheBuiltInQuiz)
{
    FixtureModule fixture;
    fixture.add("PATCH", 105, packed(std::string("A7K\r\nZ9\r\n")));
    HMODULE module = fixture.load();
    QuizState state;
    initQuizState(state);
    MessageCapture capture;
    loadQuiz(state, module);
    ASSERT_EQ(capture.messages().size(), 1u);
    expectMessage(capture.messages()[0], nullptr, "Reponses non trouv\xE9" "es", "Enigo", MB_OK);
    EXPECT_EQ(summary(state), "Nom du enigo|Createur enigo|TEST|7x1 r3 m1 #" + std::to_string(RGB(53, 203, 163)) +
                                  " [test/emplacement/;test/emplacement/;] ,");
    EXPECT_EQ(std::string(state.explanation) + "|" + state.answerLabel1 + "|" + state.firstQuestion->answer2,
              "Explications du enigo|TEST|test");
    for (int number = 3; number <= 7; ++number)
        EXPECT_EQ(questionByNumber(state, number), state.lastQuestion) << number;
    releaseQuizState(state);
}

} // namespace
