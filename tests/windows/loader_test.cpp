// loadQuiz from real resource modules: what a normal quiz, missing codes and a missing quiz leave, message boxes
// captured (every failure road of damaged resources is taken by the real player in the damaged-input test).
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

// A two-question picture quiz in reveal mode 2, background 10/20/30.
Bytes sampleRecord()
{
    QuizRecordBuilder record;
    record.header(0, 2, 2, 1).texts({"Drapeaux", "Marie", "Trouvez les pays", "Pays", "Capitale"});
    record.texts({"FRANCE", "bleu blanc rouge", "ITALIE", "vert blanc rouge"}).byte(2).texts({"Paris", "Rome"});
    return packed(record.colour(10, 20, 30).bytes());
}

// The loaded state as one line: title, author, counts, reveal mode, media kind, background brush, questions, codes.
std::string summary(const QuizState& state)
{
    LOGBRUSH brush = {};
    GetObjectA(state.backBrush, sizeof brush, &brush);
    std::string text = std::string(state.title) + "|" + state.author + "|" + std::to_string(state.questionCount) + "x" +
                       std::to_string(state.answersPerQuestion) + " r" + std::to_string(state.revealMode) + " m" +
                       std::to_string(state.mediaKind) + " #" + std::to_string(GetRValue(brush.lbColor)) + "," +
                       std::to_string(GetGValue(brush.lbColor)) + "," + std::to_string(GetBValue(brush.lbColor)) + " [";
    for (const QuestionRecord* record = state.firstQuestion; record; record = record->next)
        text += std::string(record->answer1) + "/" + record->revealText + ";";
    return text + "] " + state.codes[0] + "," + state.codes[1];
}

TEST(LoadQuiz, ShowsTheRightMessageAndLeavesTheRightState)
{
    const std::string sample = "Drapeaux|Marie|2x1 r2 m1 #10,20,30 [FRANCE/Paris;ITALIE/Rome;]";
    const std::string badCodes = "Erreur dans le d\xE9" "cryptage des codes";
    const Bytes codes = packed(std::string("A7K\r\nZ9\r\n")), none;
    const struct {
        const char* name;
        Bytes quiz, codes;
        std::string message, state;
    } cases[] = {
        {"normal", sampleRecord(), codes, "", sample + " A7K,Z9"},
        {"no codes", sampleRecord(), none, badCodes, sample + " ,"},
        // Without a quiz the built-in one stands in: seven questions over two records, codes unread.
        {"no quiz", none, codes, "Reponses non trouv\xE9" "es",
         "Nom du enigo|Createur enigo|7x1 r3 m1 #53,203,163 [test/;test/;] ,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureModule fixture;
        if (!c.quiz.empty())
            fixture.add("PATCH", 104, c.quiz);
        if (!c.codes.empty())
            fixture.add("PATCH", 105, c.codes);
        QuizState state;
        initQuizState(state);
        MessageCapture capture;
        loadQuiz(state, fixture.load());
        std::string shown;
        for (const CapturedMessage& m : capture.messages())
            shown += m.text + "/" + m.caption + "/" + std::to_string(m.flags) + ";";
        EXPECT_EQ(shown, c.message.empty() ? "" : c.message + "/Enigo/0;");
        EXPECT_EQ(summary(state), c.state);
        releaseQuizState(state);
    }
}

} // namespace
