// Host tests of the quiz state (reset, texts, question list) and of the quiz record and code line parsers.
#include "quiz/quiz_parse.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "failing_new.h"
#include "quiz_record_builder.h"

namespace {

using Bytes = std::vector<unsigned char>;
std::string n(int number) { return std::to_string(number); }
std::string raw(const QuizState& state) { return std::string(reinterpret_cast<const char*>(&state), sizeof state); }

// A text whose bytes vary, so a cut or a copy from the wrong place shows.
std::string pattern(std::size_t length, char first = 'a')
{
    std::string text;
    while (text.size() < length) text += static_cast<char>(first + text.size() % 26);
    return text;
}

TEST(QuizState, ResetTextsAndQuestionList)
{
    auto state = std::make_unique<QuizState>();
    std::memset(state.get(), 0xA5, sizeof(QuizState));
    resetQuizData(*state);
    EXPECT_EQ(quizSummary(*state) + state->codes[95], "0 2x1 m0 90,95,150 nom du enigo| createur|||:");
    char buffer[kTextSize + 1];
    buffer[kTextSize] = '#';
    copyText(buffer, pattern(1000).c_str());
    EXPECT_EQ(std::string(buffer, sizeof buffer), pattern(259) + '\0' + '#');  // cut at 259, nothing written past
    std::string byNumber;  // below 1: the first record; past the end: the last; none in an empty list
    for (int count = 1; count <= 4; appendQuestion(*state, n(count++).c_str(), "", ""))
        for (int number : {INT_MIN, 0, 1, 2, 3, 4, 99}) {
            const QuestionRecord* record = questionByNumber(*state, number);
            byNumber += record ? record->answer1 : "-";
        }
    EXPECT_EQ(byNumber, "-------" "1111111" "1112222" "1112333");
    releaseQuestions(*state);  // LeakSanitizer reports any record left behind
    EXPECT_EQ(quizSummary(*state), "0 2x1 m0 90,95,150 nom du enigo| createur|||:");
}

// None of 11, 22, 33 is '|', so a parser that reads a text over the colour fails.
QuizRecordBuilder start(unsigned media, unsigned count, unsigned answers)
{
    return QuizRecordBuilder().header(0, media, count, answers).texts({"t", "a", "e", "l1", "l2"});
}

// Every record parses, also with bytes after its colour; every proper prefix fails and leaves the state byte for
// byte as it was. A record that cannot be allocated is left out; reveal texts go to questionByNumber(n).
TEST(QuizRecord, ParsesEveryFieldAndEveryCutFailsCleanly)
{
    const std::string head = " 11,22,33 t|a|e|l1|l2:";
    QuizRecordBuilder full = start(2, 2, 2).texts({"a1", "b1", "c1", "a2", "b2", "c2"}).byte(3);
    full.texts({"r1", "s1", "r2", "s2"}).colour(11, 22, 33);
    QuizRecordBuilder bars;  // single bytes equal to '|' are values, not ends of texts
    bars.header('|', '|', 1, '|').texts({"", "", "", "", "", "a", "c"}).byte(4).text("r").colour('|', '|', '|');
    std::vector<std::pair<QuizRecordBuilder, std::string>> rows = {
        {full, "1 2x2 m3" + head + "a1/b1/c1/r1;a2/b2/c2/r2"},
        {start(0, 0, 1).byte(0).colour(11, 22, 33), "-1 0x1 m0" + head},  // the media kind is byte 1 minus one
        {start(255, 1, 3).texts({"a", "c"}).byte(1).colour(11, 22, 33), "254 1x3 m1" + head + "a//c/"},  // no answer2
        {start(1, 0, 2).byte(3).colour(11, 22, 33), "0 0x2 m3" + head},
        {bars, "123 1x124 m4 124,124,124 ||||:a//c/r"},
        {start(1, 1, 1).texts({pattern(1000), pattern(260, 'A')}).byte(2).text(pattern(259, 'B')).colour(11, 22, 33),
         "0 1x1 m2" + head + pattern(259) + "//" + pattern(259, 'A') + "/" + pattern(259, 'B')},  // texts cut at 259
    };
    // Every mode byte reads its texts (3: two, 2 and 4: one, others none) and finds the colour right after them.
    for (int mode = 0; mode < 256; ++mode) {
        QuizRecordBuilder record = start(1, 2, 1).texts({"a1", "c1", "a2", "c2"}).byte(mode);
        const int texts = mode == 3 ? 2 : (mode == 2 || mode == 4) ? 1 : 0;
        for (int k = 0; k < 2 * texts; ++k) record.text("r" + n(k / texts + 1) + (k % texts ? "s" : ""));
        const std::string questions = texts ? "a1//c1/r1;a2//c2/r2" : "a1//c1/;a2//c2/";
        rows.push_back({record.colour(11, 22, 33), "0 2x1 m" + n(mode) + head + questions});
    }
    // Above 96 questions the first 96 are kept and the colour still found; later reveal texts land nowhere.
    for (const auto& [count, mode] : {std::pair(97, 3), std::pair(255, 2)}) {
        QuizRecordBuilder record = start(1, count, 1);
        std::string questions;
        for (int q = 1; q <= count; ++q) record.text("a" + n(q)).text("c" + n(q));
        record.byte(mode);
        for (int q = 1; q <= count; ++q) {
            record.text("r" + n(q)), mode == 3 ? void(record.text("s")) : void();
            questions += q > 96 ? "" : (q > 1 ? ";a" : "a") + n(q) + "//c" + n(q) + "/r" + n(q);
        }
        rows.push_back({record.colour(11, 22, 33), "0 96x1 m" + n(mode) + head + questions});
    }
    auto state = std::make_unique<QuizState>();
    resetQuizData(*state);
    for (const auto& [record, expected] : rows) {
        const Bytes& bytes = record.bytes();
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const std::string before = raw(*state) + quizSummary(*state);
            const Bytes exact(bytes.begin(), bytes.begin() + cut);  // a block of exactly the bytes: ASan sees overreads
            ASSERT_EQ(parseQuizResource(*state, exact.data(), exact.size()), 0) << expected << cut;
            ASSERT_EQ(raw(*state) + quizSummary(*state), before) << expected << cut;
        }
        Bytes more = bytes;
        more.insert(more.end(), {0, '|', '\r'});
        EXPECT_TRUE(parseQuizResource(*state, bytes.data(), bytes.size()) == 1 && quizSummary(*state) == expected &&
                    parseQuizResource(*state, more.data(), more.size()) == 1 && quizSummary(*state) == expected)
            << expected;
    }
    EXPECT_EQ(parseQuizResource(*state, nullptr, 100), 0);
    QuizRecordBuilder three = start(1, 3, 1).texts({"a1", "c1", "a2", "c2", "a3", "c3"}).byte(2);
    three.texts({"r1", "r2", "r3"}).colour(11, 22, 33);
    for (const auto& [succeed, questions] : {std::pair(1, "a1//c1/r1;a3//c3/r3"), std::pair(2, "a1//c1/r1;a2//c2/r3"),
                                             std::pair(0, "a2//c2/r1;a3//c3/r3")}) {
        NothrowFailureScope failure(succeed, 1);
        EXPECT_TRUE(parseQuizResource(*state, three.bytes().data(), three.bytes().size()) == 1 &&
                    quizSummary(*state) == "0 3x1 m2" + head + questions) << questions;
    }
    releaseQuestions(*state);
}

// The first four codes and the last after a parse for `count` questions (marked beforehand, so a stray write
// shows), or "fail".
TEST(CodeLines, OneLinePerQuestion)
{
    std::string lines96;
    for (int i = 1; i <= 96; ++i) lines96 += "c" + n(i) + "\r\n";
    const std::tuple<int, std::string, std::string> cases[] = {
        {3, "ONE\r\nTWO\r\nTHREE\r\n", "ONE|TWO|THREE|-|-"}, {2, "c1\r\nc2\r", "c1|c2|-|-|-"},
        {2, "c1\r\nc2\r\nc3 no end", "c1|c2|-|-|-"}, {0, "", "-|-|-|-|-"}, {-5, "no line end", "-|-|-|-|-"},
        {200, lines96, "c1|c2|c3|c4|c96"},  // counts capped at 96
        {1, "", "fail"}, {3, "c1\r\nc2\r\nc3", "fail"}, {3, "c1\r\nc2\r\n", "fail"}, {2, "c1\r", "fail"},
        {3, std::string("c1\r\0c2\r|\r\xFF", 10), "c1|c2||-|-"},  // the byte after a CR is skipped whatever it is
        {2, pattern(1000) + "\r\nnext\r\n", pattern(259) + "|next|-|-|-"},
    };
    auto state = std::make_unique<QuizState>();
    for (const auto& [count, bytes, codes] : cases) {
        resetQuizData(*state);
        for (auto& code : state->codes) std::strcpy(code, "-");
        state->questionCount = count;
        const Bytes exact(bytes.begin(), bytes.end());
        const std::string before = raw(*state);
        const bool parsed = parseCodeResource(*state, exact.data(), exact.size()) == 1;
        const auto& c = state->codes;
        const std::string got = std::string(c[0]) + "|" + c[1] + "|" + c[2] + "|" + c[3] + "|" + c[95];
        EXPECT_EQ(parsed ? got : raw(*state) == before ? "fail" : "fail, state changed", codes);
    }
}

}  // namespace
