// Host tests of the quiz record and code line parsers: the format's edge cases and the
// team's mends (no read past the bytes, truncation leaves the state untouched, cuts and caps).
#include "quiz/quiz_parse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "failing_new.h"
#include "quiz_record_builder.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The record's header fields in one line: kind, count x answers, mode, colour, then the five texts.
std::string headerOf(const QuizState& s)
{
    return "kind " + std::to_string(s.mediaKind) + ", " + std::to_string(s.questionCount) + " x " +
           std::to_string(s.answersPerQuestion) + ", mode " + std::to_string(s.revealMode) + ", colour " +
           std::to_string(s.backRed) + " " + std::to_string(s.backGreen) + " " + std::to_string(s.backBlue) + ": " +
           s.title + "|" + s.author + "|" + s.explanation + "|" + s.answerLabel1 + "|" + s.answerLabel2;
}

// The question list as "answer1/answer2/caption/reveal" per record, its links checked on the way.
std::string questionsOf(const QuizState& s)
{
    std::string out;
    const QuestionRecord* previous = nullptr;
    for (const QuestionRecord* record = s.firstQuestion; record != nullptr; previous = record, record = record->next) {
        out += std::string(previous ? ";" : "") + (record->previous != previous ? "<bad back link>" : "") +
               record->answer1 + "/" + record->answer2 + "/" + record->caption + "/" + record->revealText;
    }
    return s.lastQuestion == previous ? out : out + "<bad last>";
}

// Everything a failed parse must leave as it was: the record's bytes and every question's bytes.
Bytes snapshot(const QuizState& state)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&state);
    Bytes all(bytes, bytes + sizeof(QuizState));
    for (const QuestionRecord* record = state.firstQuestion; record != nullptr; record = record->next) {
        all.insert(all.end(), reinterpret_cast<const unsigned char*>(record),
                   reinterpret_cast<const unsigned char*>(record + 1));
    }
    return all;
}

class QuizParseTest : public ::testing::Test {
protected:
    void SetUp() override { resetQuizData(*state); }
    void TearDown() override { releaseQuestions(*state); }
    int parse(const Bytes& bytes)
    {
        ExactBuffer buffer(bytes);
        return parseQuizResource(*state, buffer.data(), buffer.size());
    }
    int parse(const QuizRecordBuilder& record) { return parse(record.bytes()); }

    std::unique_ptr<QuizState> state = std::make_unique<QuizState>();
};

// None of 11, 22, 33 is '|', so a parser that wrongly reads a text over the colour fails.
const std::string kColourText = "colour 11 22 33";

QuizRecordBuilder& withColour(QuizRecordBuilder& record)
{
    return record.colour(11, 22, 33);
}

// A complete record with every kind of text: two answers per question, reveal mode 3.
QuizRecordBuilder fullRecord()
{
    QuizRecordBuilder record;
    record.header(0xEE, 2, 2, 2).texts({"Titre", "Auteur", "Explication", "Prenom", "Nom"});
    record.texts({"a1", "b1", "c1", "a2", "b2", "c2"}).byte(3).texts({"r1", "s1", "r2", "s2"});
    return withColour(record);
}

// Texts per question of each reveal mode: 3 reads two, 2 and 4 read one, every other value none.
int revealTextsOfMode(int mode)
{
    return mode == 3 ? 2 : (mode == 2 || mode == 4) ? 1 : 0;
}

std::string n(int number)
{
    return std::to_string(number);
}

struct RecordCase {
    std::string name;
    Bytes bytes;
    std::string header;     // headerOf the parsed state
    std::string questions;  // questionsOf the parsed state
};

void PrintTo(const RecordCase& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<RecordCase> recordCases()
{
    std::vector<RecordCase> cases;
    const auto add = [&cases](const std::string& name, const QuizRecordBuilder& record, const std::string& header,
                              const std::string& questions) { cases.push_back({name, record.bytes(), header, questions}); };

    const std::string full = "kind 1, 2 x 2, mode 3, " + kColourText + ": Titre|Auteur|Explication|Prenom|Nom";
    add("FullRecord", fullRecord(), full, "a1/b1/c1/r1;a2/b2/c2/r2");
    add("BytesAfterBlueIgnored", fullRecord().raw("ignored|\r\n\x01"), full, "a1/b1/c1/r1;a2/b2/c2/r2");
    add("NulAndSeparatorsAfterBlueIgnored", fullRecord().raw(std::string(1, '\0') + "||||\r\n" + patternText(500)),
        full, "a1/b1/c1/r1;a2/b2/c2/r2");

    // Byte 0 is not read; the media kind is byte 1 minus one, whatever its value.
    const struct {
        unsigned first, media;
        int kind;
    } headers[] = {{0, 1, kMediaText}, {'|', 2, kMediaPicture}, {0xFF, 3, kMediaSound}, {'\r', 4, kMediaVideo},
                   {0, 0, -1},         {0, 5, 4},               {0, 255, 254}};
    for (const auto& h : headers) {
        QuizRecordBuilder record;
        record.header(h.first, h.media, 0, 1).texts({"t", "a", "e", "l1", "l2"}).byte(0).colour(1, 2, 3);
        add("HeaderBytes" + n(h.first) + "And" + n(h.media), record,
            "kind " + n(h.kind) + ", 0 x 1, mode 0, colour 1 2 3: t|a|e|l1|l2", "");
    }

    // Only 2 answers per question read three texts a question; one too few or too many misplaces
    // the mode and the colour.
    for (unsigned answers : {0u, 1u, 2u, 3u, unsigned('|'), 255u}) {
        const int texts = answers == 2 ? 3 : 2;
        QuizRecordBuilder record;
        record.header(0, 1, 3, answers).texts({"t", "a", "e", "l1", "l2"});
        std::string questions;
        for (int q = 1; q <= 3; ++q) {
            for (int k = 0; k < texts; ++k) record.text("q" + n(q) + "t" + n(k));
            questions += (q > 1 ? ";q" : "q") + n(q) + "t0/" + (texts == 3 ? "q" + n(q) + "t1" : "") + "/q" + n(q) +
                         "t" + n(texts - 1) + "/";
        }
        add("AnswersPerQuestion" + n(answers), withColour(record.byte(0)),
            "kind 0, 3 x " + n(answers) + ", mode 0, " + kColourText + ": t|a|e|l1|l2", questions);
    }

    // Every mode byte reads its texts and finds the colour right after them.
    for (int mode = 0; mode < 256; ++mode) {
        const int texts = revealTextsOfMode(mode);
        QuizRecordBuilder record;
        record.header(0, 1, 2, 1).texts({"t", "a", "e", "l1", "l2"}).texts({"a1", "c1", "a2", "c2"}).byte(mode);
        for (int q = 1; q <= 2; ++q) {
            if (texts >= 1) record.text("r" + n(q));
            if (texts == 2) record.text("s" + n(q));
        }
        add("RevealMode" + n(mode), withColour(record),
            "kind 0, 2 x 1, mode " + n(mode) + ", " + kColourText + ": t|a|e|l1|l2",
            texts ? "a1//c1/r1;a2//c2/r2" : "a1//c1/;a2//c2/");
    }

    QuizRecordBuilder empty;
    empty.header(0, 1, 2, 2).texts({"", "", "", "", ""}).texts({"", "", "", "", "", ""}).byte(3).texts({"", "", "", ""});
    add("EmptyTexts", withColour(empty), "kind 0, 2 x 2, mode 3, " + kColourText + ": ||||", "///;///");
    QuizRecordBuilder emptyMode4;
    emptyMode4.header(0, 4, 2, 1).texts({"", "", "", "", ""}).texts({"", "", "a", "c"}).byte(4).texts({"", "r"});
    add("EmptyTextsModeFourBarColour", emptyMode4.colour('|', '|', '|'), "kind 3, 2 x 1, mode 4, colour 124 124 124: ||||",
        "///;a//c/r");

    // No question: the mode byte follows the fifth text and the colour is still read.
    for (int mode : {0, 1, 2, 3, 4, int('|'), 255}) {
        QuizRecordBuilder record;
        record.header(0, 1, 0, 2).texts({"t", "a", "e", "l1", "l2"}).byte(mode);
        add("CountZeroMode" + n(mode), withColour(record),
            "kind 0, 0 x 2, mode " + n(mode) + ", " + kColourText + ": t|a|e|l1|l2", "");
    }

    // Mode and colour bytes equal to '|' are values, not ends of texts.
    QuizRecordBuilder bars;
    bars.header('|', '|', 1, '|').texts({"t", "a", "e", "l1", "l2"}).texts({"a1", "c1"}).byte('|').colour('|', '|', '|');
    add("SeparatorValuesInSingleBytes", bars, "kind 123, 1 x 124, mode 124, colour 124 124 124: t|a|e|l1|l2",
        "a1//c1/");

    // A long text in each position is cut at 259 bytes and the rest skipped.
    const char* const kSlots[] = {"Title", "Author", "Explanation", "Label1", "Label2",
                                  "Answer1", "Answer2", "Caption", "Reveal", "SkippedReveal"};
    for (int slot = 0; slot < 10; ++slot) {
        for (std::size_t length : {258u, 259u, 260u, 1000u}) {
            const std::string longText = patternText(length);
            const std::string kept = longText.substr(0, 259);
            std::vector<std::string> texts = {"T", "A", "E", "L1", "L2", "a1", "b1", "c1", "r1", "s1"};
            std::vector<std::string> seen = texts;
            texts[slot] = longText;
            seen[slot] = kept;
            QuizRecordBuilder record;
            record.header(0, 1, 1, 2);
            for (int i = 0; i < 10; ++i) {
                if (i == 8) record.byte(3);
                record.text(texts[i]);
            }
            add(std::string(kSlots[slot]) + "Of" + n(static_cast<int>(length)) + "Bytes", withColour(record),
                "kind 0, 1 x 2, mode 3, " + kColourText + ": " + seen[0] + "|" + seen[1] + "|" + seen[2] + "|" +
                    seen[3] + "|" + seen[4],
                seen[5] + "/" + seen[6] + "/" + seen[7] + "/" + seen[8]);
        }
    }

    // Above 96 questions the first 96 are kept and the colour is still found; reveal texts of
    // questions beyond 96 must not land on the last kept record.
    const struct {
        int count, mode;
    } caps[] = {{95, 3}, {96, 3}, {97, 3}, {97, 2}, {'|', 4}, {255, 3}, {255, 2}, {255, 0}};
    for (const auto& cap : caps) {
        const int reveal = revealTextsOfMode(cap.mode);
        QuizRecordBuilder record;
        record.header(0, 1, cap.count, 1).texts({"t", "a", "e", "l1", "l2"});
        std::string questions;
        for (int q = 1; q <= cap.count; ++q) record.text("a" + n(q)).text("c" + n(q));
        record.byte(cap.mode);
        for (int q = 1; q <= cap.count; ++q) {
            for (int k = 0; k < reveal; ++k) record.text((k == 0 ? "r" : "s") + n(q));
        }
        for (int q = 1; q <= std::min(cap.count, 96); ++q) {
            questions += (q > 1 ? ";a" : "a") + n(q) + "//c" + n(q) + "/" + (reveal ? "r" + n(q) : "");
        }
        add("Count" + n(cap.count) + "Mode" + n(cap.mode), withColour(record),
            "kind 0, " + n(std::min(cap.count, 96)) + " x 1, mode " + n(cap.mode) + ", " + kColourText +
                ": t|a|e|l1|l2",
            questions);
    }
    return cases;
}

class QuizRecord : public QuizParseTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(QuizRecord, ParsesEveryField)
{
    ASSERT_EQ(parse(GetParam().bytes), 1);
    EXPECT_EQ(headerOf(*state), GetParam().header);
    EXPECT_EQ(questionsOf(*state), GetParam().questions);
    // What the record does not carry keeps its reset value.
    EXPECT_STREQ(state->codes[0], "");
    EXPECT_EQ(state->allRevealed, 0);
    EXPECT_EQ(state->contentWidth, 0);
    EXPECT_STREQ(state->mediaFolder, "");
}

INSTANTIATE_TEST_SUITE_P(Records, QuizRecord, ::testing::ValuesIn(recordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return info.param.name; });

class TruncationTest : public QuizParseTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TruncationTest, EveryCutFailsAndLeavesTheStateUntouched)
{
    // A state already holding a quiz and non-reset values, so any write shows.
    QuizRecordBuilder earlier;
    earlier.header(0, 3, 1, 2).texts({"old", "old", "old", "old", "old", "oa", "ob", "oc"}).byte(2).text("or");
    ASSERT_EQ(parse(earlier.colour(200, 201, 202)), 1);
    std::memset(state->codes[5], 'k', 10);
    state->solvedFlags[1] = 1;
    const Bytes before = snapshot(*state);

    // Valid records whose every proper prefix is a truncated record.
    const std::vector<RecordCase> records = recordCases();
    const auto row = std::find_if(records.begin(), records.end(), [](const RecordCase& c) { return c.name == GetParam(); });
    ASSERT_NE(row, records.end());
    const Bytes& full = row->bytes;
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        ExactBuffer prefix(full.data(), cut);
        ASSERT_EQ(parseQuizResource(*state, prefix.data(), prefix.size()), 0) << "cut at " << cut;
        ASSERT_TRUE(snapshot(*state) == before) << "state changed by the cut at " << cut;
    }
    EXPECT_EQ(parse(full), 1);
}

INSTANTIATE_TEST_SUITE_P(Records, TruncationTest,
                         ::testing::Values("FullRecord", "CountZeroMode2", "EmptyTextsModeFourBarColour", "Count97Mode3"));

TEST_F(QuizParseTest, NoBytesAtAllFail)
{
    const Bytes before = snapshot(*state);
    EXPECT_EQ(parseQuizResource(*state, nullptr, 0), 0);
    EXPECT_EQ(parseQuizResource(*state, nullptr, 100), 0);
    EXPECT_TRUE(snapshot(*state) == before);
}

TEST_F(QuizParseTest, SuccessReplacesAnEarlierList)
{
    ASSERT_EQ(parse(fullRecord()), 1);
    QuizRecordBuilder second;
    second.header(0, 1, 1, 1).texts({"t", "a", "e", "l1", "l2", "z1", "zc"}).byte(2).text("zr").colour(1, 2, 3);
    ASSERT_EQ(parse(second), 1);
    EXPECT_EQ(questionsOf(*state), "z1//zc/zr");
}

// Reveal texts go to questionByNumber(n): numbers past a list shortened by failed allocations
// land on its last record.
TEST_F(QuizParseTest, AFailedRecordMakesTheListShorter)
{
    const struct {
        int succeed, fail;  // allocations that succeed before the failures, allocations that fail
        const char* questions;
    } cases[] = {{1, 1, "a1//c1/r1;a3//c3/r3"}, {2, 1, "a1//c1/r1;a2//c2/r3"}, {0, 1, "a2//c2/r1;a3//c3/r3"},
                 {0, 3, ""}, {1, 2, "a1//c1/r3"}};
    QuizRecordBuilder record;
    record.header(0, 1, 3, 1).texts({"t", "a", "e", "l1", "l2", "a1", "c1", "a2", "c2", "a3", "c3"}).byte(2);
    withColour(record.texts({"r1", "r2", "r3"}));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.succeed << " then " << c.fail << " failing");
        releaseQuestions(*state);
        resetQuizData(*state);
        int result = 0;
        {
            NothrowFailureScope failures(c.succeed, c.fail);
            result = parse(record);
        }
        ASSERT_EQ(result, 1);
        EXPECT_EQ(headerOf(*state), "kind 0, 3 x 1, mode 2, " + kColourText + ": t|a|e|l1|l2");
        EXPECT_EQ(questionsOf(*state), c.questions);
    }
}

// ---- code lines (resource 105) ----

class CodeParseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetQuizData(*state);
        // Marked entries, so that a write where none belongs shows.
        for (int i = 0; i < kMaxQuestions; ++i) copyText(state->codes[i], "untouched");
    }
    int parse(int questionCount, const std::string& bytes)
    {
        state->questionCount = questionCount;
        ExactBuffer buffer(bytes);
        return parseCodeResource(*state, buffer.data(), buffer.size());
    }
    std::string firstCodes() const
    {
        return std::string(state->codes[0]) + "|" + state->codes[1] + "|" + state->codes[2] + "|" + state->codes[3];
    }

    std::unique_ptr<QuizState> state = std::make_unique<QuizState>();
};

TEST_F(CodeParseTest, ReadsOneLinePerQuestion)
{
    const std::string k1000 = patternText(1000);
    struct Case {
        int count;
        std::string bytes;
        std::string codes;  // the first four codes after the parse
    };
    std::vector<Case> cases = {
        {3, "ONE\r\nTWO\r\nTHREE\r\n", "ONE|TWO|THREE|untouched"},
        {2, "c1\r\nc2\r", "c1|c2|untouched|untouched"},  // a CR as the very last byte ends the last line
        {2, "c1\r\nc2\r\nc3\r\nc4 without end", "c1|c2|untouched|untouched"},
        {0, "", "untouched|untouched|untouched|untouched"},
        {0, "no line end", "untouched|untouched|untouched|untouched"},
        {-5, "", "untouched|untouched|untouched|untouched"},
    };
    // The byte after a CR is skipped whatever it is.
    for (char after : {'\n', '\r', '|', '\0', 'X', '\xFF'}) {
        cases.push_back({3, "c1\r" + std::string(1, after) + "c2\r" + std::string(1, after) + "\r" + after,
                         "c1|c2||untouched"});
    }
    // Long codes are cut at 259 bytes and the rest of the line skipped.
    for (std::size_t length : {0u, 258u, 259u, 260u, 1000u}) {
        cases.push_back({2, k1000.substr(0, length) + "\r\nnext\r\n",
                         k1000.substr(0, std::min<std::size_t>(length, 259)) + "|next|untouched|untouched"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 40)));
        SetUp();
        ASSERT_EQ(parse(c.count, c.bytes), 1);
        EXPECT_EQ(firstCodes(), c.codes);
    }
    state->questionCount = 0;
    EXPECT_EQ(parseCodeResource(*state, nullptr, 0), 1) << "no line needed, no bytes needed";
}

TEST_F(CodeParseTest, CountsOutsideTheTableReadAtMost96Lines)
{
    std::string lines;
    for (int i = 1; i <= 96; ++i) lines += "code" + n(i) + "\r\n";
    ASSERT_EQ(parse(200, lines), 1);
    EXPECT_STREQ(state->codes[95], "code96");
}

TEST_F(CodeParseTest, EveryCutBeforeTheLastNeededCrFailsAndLeavesTheCodes)
{
    const std::string full = "first\r\n\r\nthird\r\nextra";
    const std::size_t lastCr = full.find("third\r") + 5;
    state->questionCount = 1;
    const Bytes untouched = snapshot(*state);
    EXPECT_EQ(parseCodeResource(*state, nullptr, 0), 0) << "no bytes while a line is needed";
    EXPECT_TRUE(snapshot(*state) == untouched);
    state->questionCount = 3;
    const Bytes before = snapshot(*state);
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        ExactBuffer prefix(reinterpret_cast<const unsigned char*>(full.data()), cut);
        const int result = parseCodeResource(*state, prefix.data(), prefix.size());
        if (cut <= lastCr) {
            ASSERT_EQ(result, 0) << "cut at " << cut;
            ASSERT_TRUE(snapshot(*state) == before) << "cut at " << cut;
        } else {
            ASSERT_EQ(result, 1) << "cut at " << cut;
            EXPECT_STREQ(state->codes[2], "third");
        }
    }
}

}  // namespace
