// Host tests of the quiz record and code line parsers: edge cases, truncation, cuts and caps.
#include "quiz/quiz_parse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "failing_new.h"
#include "quiz_record_builder.h"

namespace {

using Bytes = std::vector<unsigned char>;
std::string n(int number) { return std::to_string(number); }

// The header fields and the five texts in one line.
std::string head(int kind, int count, int answers, int mode, const std::string& texts = "t|a|e|l1|l2",
                 const std::string& colour = "11 22 33")
{
    return "kind " + n(kind) + ", " + n(count) + " x " + n(answers) + ", mode " + n(mode) + ", colour " + colour +
           ": " + texts + "\n";
}

// head(), then "answer1/answer2/caption/reveal" per question, the list's links checked on the way.
std::string summary(const QuizState& s)
{
    std::string out = head(s.mediaKind, s.questionCount, s.answersPerQuestion, s.revealMode,
                           std::string(s.title) + "|" + s.author + "|" + s.explanation + "|" + s.answerLabel1 + "|" +
                               s.answerLabel2,
                           n(s.backRed) + " " + n(s.backGreen) + " " + n(s.backBlue));
    const QuestionRecord* previous = nullptr;
    for (const QuestionRecord* r = s.firstQuestion; r != nullptr; previous = r, r = r->next)
        out += std::string(previous ? ";" : "") + (r->previous != previous ? "<bad back link>" : "") + r->answer1 + "/" +
               r->answer2 + "/" + r->caption + "/" + r->revealText;
    return s.lastQuestion == previous ? out : out + "<bad last>";
}

// Everything a failed parse must leave as it was: the record's bytes and every question's bytes.
Bytes snapshot(const QuizState& state)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&state);
    Bytes all(bytes, bytes + sizeof(QuizState));
    for (const QuestionRecord* r = state.firstQuestion; r != nullptr; r = r->next)
        all.insert(all.end(), reinterpret_cast<const unsigned char*>(r), reinterpret_cast<const unsigned char*>(r + 1));
    return all;
}

// A copy is a heap block of exactly the bytes, so AddressSanitizer flags a read past them.
int parse(QuizState& state, const Bytes& bytes)
{
    const Bytes exact(bytes);
    return parseQuizResource(state, exact.data(), exact.size());
}

struct Record {
    std::string name;
    Bytes bytes;
    std::string parsed;  // summary() after the parse
};

// None of 11, 22, 33 is '|', so a parser that reads a text over the colour fails.
QuizRecordBuilder start(unsigned media, unsigned count, unsigned answers)
{
    return QuizRecordBuilder().header(0, media, count, answers).texts({"t", "a", "e", "l1", "l2"});
}
// Texts per question of each reveal mode: 3 reads two, 2 and 4 read one, every other value none.
int revealTexts(int mode) { return mode == 3 ? 2 : (mode == 2 || mode == 4) ? 1 : 0; }

std::vector<Record> records()
{
    std::vector<Record> rows;
    const auto add = [&rows](const std::string& name, QuizRecordBuilder record, const std::string& parsed) {
        rows.push_back({name, record.bytes(), parsed});
    };
    QuizRecordBuilder full;
    full.header(0xEE, 2, 2, 2).texts({"T", "A", "E", "P", "N", "a1", "b1", "c1", "a2", "b2", "c2"}).byte(3);
    full.texts({"r1", "s1", "r2", "s2"}).colour(11, 22, 33);
    add("FullRecord", full, head(1, 2, 2, 3, "T|A|E|P|N") + "a1/b1/c1/r1;a2/b2/c2/r2");
    add("BytesAfterBlueIgnored", QuizRecordBuilder(full).byte(0).texts({"", "x\r\n"}),
        head(1, 2, 2, 3, "T|A|E|P|N") + "a1/b1/c1/r1;a2/b2/c2/r2");

    // The media kind is byte 1 minus one, whatever its value.
    for (unsigned media : {0u, 4u, 255u})
        add("MediaByte" + n(media), start(media, 0, 1).byte(0).colour(11, 22, 33), head(int(media) - 1, 0, 1, 0));
    // Only 2 answers per question read three texts a question.
    for (unsigned answers : {0u, 1u, 2u, 3u, 255u}) {
        QuizRecordBuilder record = start(1, 2, answers);
        answers == 2 ? record.texts({"a1", "b1", "c1", "a2", "b2", "c2"}) : record.texts({"a1", "c1", "a2", "c2"});
        add("AnswersPerQuestion" + n(answers), record.byte(0).colour(11, 22, 33),
            head(0, 2, answers, 0) + (answers == 2 ? "a1/b1/c1/;a2/b2/c2/" : "a1//c1/;a2//c2/"));
    }
    // Every mode byte reads its texts and finds the colour right after them.
    for (int mode = 0; mode < 256; ++mode) {
        QuizRecordBuilder record = start(1, 2, 1).texts({"a1", "c1", "a2", "c2"}).byte(mode);
        for (int q = 1; q <= 2; ++q)
            for (int k = 0; k < revealTexts(mode); ++k) record.text((k ? "s" : "r") + n(q));
        add("RevealMode" + n(mode), record.colour(11, 22, 33),
            head(0, 2, 1, mode) + (revealTexts(mode) ? "a1//c1/r1;a2//c2/r2" : "a1//c1/;a2//c2/"));
    }
    QuizRecordBuilder empty;
    empty.header(0, 1, 2, 2).texts({"", "", "", "", "", "", "", "", "", "", ""}).byte(3).texts({"", "", "", ""});
    add("EmptyTexts", empty.colour(11, 22, 33), head(0, 2, 2, 3, "||||") + "///;///");
    // Mode and colour bytes equal to '|' are values, not ends of texts.
    QuizRecordBuilder bars;
    bars.header('|', '|', 1, '|').texts({"", "", "", "", "", "a", "c"}).byte(4).texts({"r"}).colour('|', '|', '|');
    add("SeparatorValuesInSingleBytes", bars, head(123, 1, 124, 4, "||||", "124 124 124") + "a//c/r");
    add("CountZeroMode3", start(1, 0, 2).byte(3).colour(11, 22, 33), head(0, 0, 2, 3));

    // A long text in each of the ten places is cut at 259 bytes and the rest skipped.
    std::vector<std::string> texts;
    QuizRecordBuilder longTexts;
    longTexts.header(0, 1, 1, 2);
    for (int i = 0; i < 10; ++i) {
        texts.push_back(patternText(i % 3 == 0 ? 1000 : 258 + i % 3, char('A' + i)));
        (i == 8 ? longTexts.byte(3) : longTexts).text(texts.back());
        texts.back().resize(std::min<std::size_t>(texts.back().size(), 259));
    }
    add("LongTexts", longTexts.colour(11, 22, 33),
        head(0, 1, 2, 3, texts[0] + "|" + texts[1] + "|" + texts[2] + "|" + texts[3] + "|" + texts[4]) + texts[5] + "/" +
            texts[6] + "/" + texts[7] + "/" + texts[8]);
    // Above 96 questions the first 96 are kept and the colour still found; reveal texts of
    // questions beyond 96 must not land on the last kept record.
    for (const auto& cap : {std::make_pair(96, 3), std::make_pair(97, 3), std::make_pair(255, 2)}) {
        QuizRecordBuilder record = start(1, cap.first, 1);
        std::string questions;
        for (int q = 1; q <= cap.first; ++q) record.text("a" + n(q)).text("c" + n(q));
        record.byte(cap.second);
        for (int q = 1; q <= cap.first; ++q) {
            for (int k = 0; k < revealTexts(cap.second); ++k) record.text((k ? "s" : "r") + n(q));
            if (q <= 96) questions += (q > 1 ? ";a" : "a") + n(q) + "//c" + n(q) + "/r" + n(q);
        }
        add("Count" + n(cap.first), record.colour(11, 22, 33), head(0, std::min(cap.first, 96), 1, cap.second) + questions);
    }
    return rows;
}

TEST(QuizRecord, ParsesEveryField)
{
    for (const Record& row : records()) {
        auto state = std::make_unique<QuizState>();
        resetQuizData(*state);
        EXPECT_EQ(parse(*state, row.bytes), 1) << row.name;
        EXPECT_EQ(summary(*state), row.parsed) << row.name;
        releaseQuestions(*state);
    }
}

// Every proper prefix fails and leaves a state holding a quiz byte for byte as it was; the whole record then replaces it.
TEST(QuizRecord, EveryCutFailsAndLeavesTheStateUntouched)
{
    auto state = std::make_unique<QuizState>();
    resetQuizData(*state);
    for (const Record& row : records()) {
        if (std::string(" FullRecord CountZeroMode3 SeparatorValuesInSingleBytes Count97 ").find(" " + row.name + " ") ==
            std::string::npos)
            continue;
        QuizRecordBuilder earlier = start(3, 1, 2).texts({"oa", "ob", "oc"}).byte(2).text("or").colour(7, 8, 9);
        ASSERT_EQ(parse(*state, earlier.bytes()), 1);
        state->codes[5][0] = 'k';
        const Bytes before = snapshot(*state);
        EXPECT_EQ(parseQuizResource(*state, nullptr, 100), 0);
        for (std::size_t cut = 0; cut < row.bytes.size(); ++cut) {
            ASSERT_EQ(parse(*state, Bytes(row.bytes.begin(), row.bytes.begin() + cut)), 0) << row.name << " cut " << cut;
            ASSERT_TRUE(snapshot(*state) == before) << row.name << " cut " << cut;
        }
        EXPECT_EQ(parse(*state, row.bytes), 1);
        EXPECT_EQ(summary(*state), row.parsed);
    }
    releaseQuestions(*state);
}

// Reveal texts go to questionByNumber(n): past a list shortened by failed allocations, to its last record.
TEST(QuizRecord, AFailedAllocationMakesTheListShorter)
{
    const struct {
        int succeed, fail;
        const char* questions;
    } cases[] = {{1, 1, "a1//c1/r1;a3//c3/r3"}, {2, 1, "a1//c1/r1;a2//c2/r3"}, {0, 1, "a2//c2/r1;a3//c3/r3"},
                 {0, 3, ""}};
    const QuizRecordBuilder record =
        start(1, 3, 1).texts({"a1", "c1", "a2", "c2", "a3", "c3"}).byte(2).texts({"r1", "r2", "r3"}).colour(11, 22, 33);
    for (const auto& c : cases) {
        auto state = std::make_unique<QuizState>();
        resetQuizData(*state);
        {
            NothrowFailureScope failures(c.succeed, c.fail);
            EXPECT_EQ(parse(*state, record.bytes()), 1);
        }
        EXPECT_EQ(summary(*state), head(0, 3, 1, 2) + c.questions) << c.succeed << " then " << c.fail;
        releaseQuestions(*state);
    }
}

// ---- code lines (resource 105) ----

// The first four codes after a parse for count questions (marked beforehand, so a stray write shows), or "fail".
std::string codesAfter(int count, const std::string& bytes, QuizState& state)
{
    resetQuizData(state);
    for (auto& code : state.codes) std::strcpy(code, "-");
    state.questionCount = count;
    const Bytes exact(bytes.begin(), bytes.end());
    const Bytes before = snapshot(state);
    if (parseCodeResource(state, exact.data(), exact.size()) != 1)
        return snapshot(state) == before ? "fail" : "fail, state changed";
    return std::string(state.codes[0]) + "|" + state.codes[1] + "|" + state.codes[2] + "|" + state.codes[3];
}

TEST(CodeLines, OneLinePerQuestion)
{
    struct Case {
        int count;
        std::string bytes, codes;
    };
    std::vector<Case> cases = {
        {3, "ONE\r\nTWO\r\nTHREE\r\n", "ONE|TWO|THREE|-"}, {2, "c1\r\nc2\r", "c1|c2|-|-"},
        {2, "c1\r\nc2\r\nc3\r\nc4 without end", "c1|c2|-|-"}, {0, "", "-|-|-|-"}, {-5, "no line end", "-|-|-|-"},
        {1, "", "fail"}, {3, "c1\r\nc2\r\nc3", "fail"}, {3, "c1\r\nc2\r\n", "fail"}, {2, "c1\r", "fail"},
    };
    // The byte after a CR is skipped whatever it is.
    for (char after : {'\r', '|', '\0', '\xFF'})
        cases.push_back({3, "c1\r" + std::string(1, after) + "c2\r" + after + "\r" + after, "c1|c2||-"});
    for (std::size_t length : {259u, 260u, 1000u})
        cases.push_back({2, patternText(length) + "\r\nnext\r\n", patternText(259) + "|next|-|-"});
    auto state = std::make_unique<QuizState>();
    for (const Case& c : cases) EXPECT_EQ(codesAfter(c.count, c.bytes, *state), c.codes) << c.bytes.substr(0, 30);
    // Counts above the table read 96 lines.
    std::string lines;
    for (int i = 1; i <= 96; ++i) lines += "c" + n(i) + "\r\n";
    EXPECT_EQ(codesAfter(200, lines, *state), "c1|c2|c3|c4");
    EXPECT_STREQ(state->codes[95], "c96");
    state->questionCount = 1;
    EXPECT_EQ(parseCodeResource(*state, nullptr, 0), 0);
}

}  // namespace
