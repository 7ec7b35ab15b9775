// Host tests of the quiz record and code line parsers: the format's edge cases and the
// team's mends (no read past the bytes, truncation leaves the state untouched, cuts and caps).
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

struct Colour {
    unsigned red;
    unsigned green;
    unsigned blue;
};

// None of these bytes is '|', so a parser that wrongly reads a text over them fails.
constexpr Colour kColour{11, 22, 33};

std::vector<QuestionRecord*> questionList(const QuizState& state)
{
    std::vector<QuestionRecord*> records;
    for (QuestionRecord* record = state.firstQuestion; record != nullptr; record = record->next) {
        records.push_back(record);
    }
    return records;
}

// Everything a failed parse must leave as it was: the record's bytes and every question's bytes.
struct Snapshot {
    std::vector<unsigned char> stateBytes;
    std::vector<std::vector<unsigned char>> questionBytes;

    explicit Snapshot(const QuizState& state)
        : stateBytes(reinterpret_cast<const unsigned char*>(&state),
                     reinterpret_cast<const unsigned char*>(&state) + sizeof(QuizState))
    {
        for (QuestionRecord* record : questionList(state)) {
            const unsigned char* bytes = reinterpret_cast<const unsigned char*>(record);
            questionBytes.emplace_back(bytes, bytes + sizeof(QuestionRecord));
        }
    }
    bool operator==(const Snapshot& other) const
    {
        return stateBytes == other.stateBytes && questionBytes == other.questionBytes;
    }
};

class QuizParseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = std::make_unique<QuizState>();
        resetQuizData(*state);
    }
    void TearDown() override { releaseQuestions(*state); }

    int parse(const QuizRecordBuilder& record) { return parse(record.bytes()); }
    int parse(const std::vector<unsigned char>& bytes)
    {
        ExactBuffer buffer(bytes);
        return parseQuizResource(*state, buffer.data(), buffer.size());
    }
    void expectColour(Colour colour)
    {
        EXPECT_EQ(state->backRed, colour.red);
        EXPECT_EQ(state->backGreen, colour.green);
        EXPECT_EQ(state->backBlue, colour.blue);
    }

    std::unique_ptr<QuizState> state;
};

// A complete record with every kind of text: two answers per question, reveal mode 3.
QuizRecordBuilder fullRecord()
{
    QuizRecordBuilder record;
    record.header(0xEE, 2, 2, 2)
        .texts({"Titre", "Auteur", "Explication", "Prenom", "Nom"})
        .texts({"a1", "b1", "c1", "a2", "b2", "c2"})
        .byte(3)
        .texts({"r1", "s1", "r2", "s2"})
        .colour(kColour.red, kColour.green, kColour.blue);
    return record;
}

TEST_F(QuizParseTest, FullRecordFillsEveryField)
{
    QuizRecordBuilder record = fullRecord();
    record.raw("ignored|\r\n\x01");
    ASSERT_EQ(parse(record), 1);

    EXPECT_EQ(state->mediaKind, kMediaPicture);
    EXPECT_EQ(state->questionCount, 2);
    EXPECT_EQ(state->answersPerQuestion, 2);
    EXPECT_STREQ(state->title, "Titre");
    EXPECT_STREQ(state->author, "Auteur");
    EXPECT_STREQ(state->explanation, "Explication");
    EXPECT_STREQ(state->answerLabel1, "Prenom");
    EXPECT_STREQ(state->answerLabel2, "Nom");
    EXPECT_EQ(state->revealMode, 3);
    expectColour(kColour);

    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(state->firstQuestion, records[0]);
    EXPECT_EQ(state->lastQuestion, records[1]);
    EXPECT_EQ(records[0]->previous, nullptr);
    EXPECT_EQ(records[1]->previous, records[0]);
    EXPECT_STREQ(records[0]->answer1, "a1");
    EXPECT_STREQ(records[0]->answer2, "b1");
    EXPECT_STREQ(records[0]->caption, "c1");
    EXPECT_STREQ(records[0]->revealText, "r1");
    EXPECT_STREQ(records[1]->answer1, "a2");
    EXPECT_STREQ(records[1]->answer2, "b2");
    EXPECT_STREQ(records[1]->caption, "c2");
    EXPECT_STREQ(records[1]->revealText, "r2");

    // What the record does not carry keeps its reset value.
    EXPECT_STREQ(state->codes[0], "");
    EXPECT_EQ(state->allRevealed, 0);
    EXPECT_EQ(state->contentWidth, 0);
    EXPECT_STREQ(state->mediaFolder, "");
}

TEST_F(QuizParseTest, BytesAfterBlueAreIgnoredWhateverTheyAre)
{
    QuizRecordBuilder trailing = fullRecord();
    trailing.raw(std::string(1, '\0') + "||||\r\n" + patternText(500));
    ASSERT_EQ(parse(trailing), 1);
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[1]->revealText, "r2");
    EXPECT_STREQ(state->answerLabel2, "Nom");
    expectColour(kColour);
}

struct HeaderCase {
    unsigned first;
    unsigned media;
    int mediaKind;
};

class HeaderByteTest : public QuizParseTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderByteTest, ByteZeroIsNotReadAndMediaKindIsByteOneMinusOne)
{
    const HeaderCase c = GetParam();
    QuizRecordBuilder record;
    record.header(c.first, c.media, 0, 1).texts({"t", "a", "e", "l1", "l2"}).byte(0).colour(1, 2, 3);
    ASSERT_EQ(parse(record), 1);
    EXPECT_EQ(state->mediaKind, c.mediaKind);
    EXPECT_STREQ(state->title, "t");
    expectColour({1, 2, 3});
}

INSTANTIATE_TEST_SUITE_P(Bytes, HeaderByteTest,
                         ::testing::Values(HeaderCase{0, 1, kMediaText}, HeaderCase{'|', 2, kMediaPicture},
                                           HeaderCase{0xFF, 3, kMediaSound}, HeaderCase{'\r', 4, kMediaVideo},
                                           HeaderCase{0, 0, -1}, HeaderCase{0, 5, 4}, HeaderCase{0, 255, 254}));

struct AnswersCase {
    unsigned answersPerQuestion;
    int textsPerQuestion;  // texts the format has per question for that value
};

class AnswersPerQuestionTest : public QuizParseTest, public ::testing::WithParamInterface<AnswersCase> {};

TEST_P(AnswersPerQuestionTest, ReadsExactlyTheQuestionTextsOfTheFormat)
{
    const AnswersCase c = GetParam();
    const int questions = 3;
    QuizRecordBuilder record;
    record.header(0, 1, questions, c.answersPerQuestion).texts({"t", "a", "e", "l1", "l2"});
    for (int n = 1; n <= questions; ++n) {
        for (int k = 0; k < c.textsPerQuestion; ++k) {
            record.text("q" + std::to_string(n) + "t" + std::to_string(k));
        }
    }
    // Reading one text too few or too many per question misplaces the mode and the colour.
    record.byte(0).colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);
    expectColour(kColour);
    EXPECT_EQ(state->revealMode, 0);
    EXPECT_EQ(state->answersPerQuestion, static_cast<int>(c.answersPerQuestion));

    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), static_cast<std::size_t>(questions));
    for (int n = 1; n <= questions; ++n) {
        const std::string prefix = "q" + std::to_string(n) + "t";
        const QuestionRecord* record = records[n - 1];
        EXPECT_EQ(std::string(record->answer1), prefix + "0");
        EXPECT_EQ(std::string(record->answer2), c.textsPerQuestion == 3 ? prefix + "1" : "");
        EXPECT_EQ(std::string(record->caption), prefix + std::to_string(c.textsPerQuestion - 1));
        EXPECT_STREQ(record->revealText, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Values, AnswersPerQuestionTest,
                         ::testing::Values(AnswersCase{0, 2}, AnswersCase{1, 2}, AnswersCase{2, 3},
                                           AnswersCase{3, 2}, AnswersCase{'|', 2}, AnswersCase{255, 2}));

// Texts per question of each reveal mode, from the format table: 3 reads two, 2 and 4 read one,
// every other value none.
int revealTextsOfMode(int mode)
{
    static const struct {
        int mode;
        int texts;
    } kReading[] = {{2, 1}, {3, 2}, {4, 1}};
    for (const auto& entry : kReading) {
        if (entry.mode == mode) {
            return entry.texts;
        }
    }
    return 0;
}

class RevealModeTest : public QuizParseTest, public ::testing::WithParamInterface<int> {};

TEST_P(RevealModeTest, ReadsTheModesTextsAndFindsTheColourRightAfter)
{
    const int mode = GetParam();
    const int texts = revealTextsOfMode(mode);
    QuizRecordBuilder record;
    record.header(0, 1, 2, 1).texts({"t", "a", "e", "l1", "l2"}).texts({"a1", "c1", "a2", "c2"}).byte(mode);
    for (int n = 1; n <= 2; ++n) {
        if (texts >= 1) {
            record.text("r" + std::to_string(n));
        }
        if (texts == 2) {
            record.text("s" + std::to_string(n));
        }
    }
    record.colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);
    EXPECT_EQ(state->revealMode, mode);
    expectColour(kColour);
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[0]->revealText, texts ? "r1" : "");
    EXPECT_STREQ(records[1]->revealText, texts ? "r2" : "");
}

INSTANTIATE_TEST_SUITE_P(AllModes, RevealModeTest, ::testing::Range(0, 256));

TEST_F(QuizParseTest, EmptyTextsGiveEmptyFields)
{
    QuizRecordBuilder record;
    record.header(0, 1, 2, 2).texts({"", "", "", "", ""}).texts({"", "", "", "", "", ""}).byte(3);
    record.texts({"", "", "", ""}).colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);
    EXPECT_STREQ(state->title, "");
    EXPECT_STREQ(state->author, "");
    EXPECT_STREQ(state->answerLabel2, "");
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), 2u);
    for (const QuestionRecord* question : records) {
        EXPECT_STREQ(question->answer1, "");
        EXPECT_STREQ(question->answer2, "");
        EXPECT_STREQ(question->caption, "");
        EXPECT_STREQ(question->revealText, "");
    }
    expectColour(kColour);
}

class CountZeroTest : public QuizParseTest, public ::testing::WithParamInterface<int> {};

TEST_P(CountZeroTest, ModeByteFollowsTheFifthTextAndTheColourIsStillRead)
{
    QuizRecordBuilder record;
    record.header(0, 1, 0, 2).texts({"t", "a", "e", "l1", "l2"}).byte(GetParam());
    record.colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);
    EXPECT_EQ(state->questionCount, 0);
    EXPECT_EQ(state->revealMode, GetParam());
    EXPECT_EQ(state->firstQuestion, nullptr);
    EXPECT_EQ(state->lastQuestion, nullptr);
    EXPECT_STREQ(state->answerLabel2, "l2");
    expectColour(kColour);
}

INSTANTIATE_TEST_SUITE_P(Modes, CountZeroTest, ::testing::Values(0, 1, 2, 3, 4, '|', 255));

TEST_F(QuizParseTest, TerminatorValuesInSingleBytePositionsAreJustBytes)
{
    // Mode and colour bytes equal to '|' are values, not ends of texts.
    QuizRecordBuilder record;
    record.header('|', '|', 1, '|').texts({"t", "a", "e", "l1", "l2"}).texts({"a1", "c1"}).byte('|');
    record.colour('|', '|', '|');
    ASSERT_EQ(parse(record), 1);
    EXPECT_EQ(state->mediaKind, '|' - 1);
    EXPECT_EQ(state->answersPerQuestion, '|');
    EXPECT_EQ(state->revealMode, '|');
    expectColour({'|', '|', '|'});
}

// The texts of a record in the order they are stored: the position a long text is put in.
enum class TextSlot { Title, Author, Explanation, Label1, Label2, Answer1, Answer2, Caption, Reveal, SkippedReveal };

const char* slotName(TextSlot slot)
{
    static const char* const kNames[] = {"Title",  "Author",  "Explanation", "Label1", "Label2",
                                         "Answer1", "Answer2", "Caption",     "Reveal", "SkippedReveal"};
    return kNames[static_cast<int>(slot)];
}

struct LengthCase {
    std::size_t length;
    std::size_t kept;
};

class TextLengthTest : public QuizParseTest,
                       public ::testing::WithParamInterface<std::tuple<TextSlot, LengthCase>> {};

TEST_P(TextLengthTest, LongTextsAreCutAt259AndTheRestSkipped)
{
    const TextSlot slot = std::get<0>(GetParam());
    const LengthCase c = std::get<1>(GetParam());
    const std::string longText = patternText(c.length);
    auto pick = [&](TextSlot at, const char* normal) { return at == slot ? longText : std::string(normal); };

    QuizRecordBuilder record;
    record.header(0, 1, 1, 2)
        .texts({pick(TextSlot::Title, "T"), pick(TextSlot::Author, "A"), pick(TextSlot::Explanation, "E"),
                pick(TextSlot::Label1, "L1"), pick(TextSlot::Label2, "L2")})
        .texts({pick(TextSlot::Answer1, "a1"), pick(TextSlot::Answer2, "b1"), pick(TextSlot::Caption, "c1")})
        .byte(3)
        .texts({pick(TextSlot::Reveal, "r1"), pick(TextSlot::SkippedReveal, "s1")})
        .colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);

    const std::string kept = longText.substr(0, c.kept);
    auto expectText = [&](TextSlot at, const char* actual, const char* normal) {
        EXPECT_EQ(std::string(actual), at == slot ? kept : std::string(normal)) << slotName(at);
    };
    expectText(TextSlot::Title, state->title, "T");
    expectText(TextSlot::Author, state->author, "A");
    expectText(TextSlot::Explanation, state->explanation, "E");
    expectText(TextSlot::Label1, state->answerLabel1, "L1");
    expectText(TextSlot::Label2, state->answerLabel2, "L2");
    ASSERT_NE(state->firstQuestion, nullptr);
    expectText(TextSlot::Answer1, state->firstQuestion->answer1, "a1");
    expectText(TextSlot::Answer2, state->firstQuestion->answer2, "b1");
    expectText(TextSlot::Caption, state->firstQuestion->caption, "c1");
    expectText(TextSlot::Reveal, state->firstQuestion->revealText, "r1");
    expectColour(kColour);
}

INSTANTIATE_TEST_SUITE_P(
    SlotsAndLengths, TextLengthTest,
    ::testing::Combine(::testing::Values(TextSlot::Title, TextSlot::Author, TextSlot::Explanation, TextSlot::Label1,
                                         TextSlot::Label2, TextSlot::Answer1, TextSlot::Answer2, TextSlot::Caption,
                                         TextSlot::Reveal, TextSlot::SkippedReveal),
                       ::testing::Values(LengthCase{258, 258}, LengthCase{259, 259}, LengthCase{260, 259},
                                         LengthCase{1000, 259})));

struct CapCase {
    unsigned count;
    unsigned mode;
};

class CountCapTest : public QuizParseTest, public ::testing::WithParamInterface<CapCase> {};

TEST_P(CountCapTest, CountAbove96KeepsTheFirst96AndFindsTheColour)
{
    const CapCase c = GetParam();
    const int reveal = revealTextsOfMode(static_cast<int>(c.mode));
    QuizRecordBuilder record;
    record.header(0, 1, c.count, 1).texts({"t", "a", "e", "l1", "l2"});
    for (unsigned n = 1; n <= c.count; ++n) {
        record.text("a" + std::to_string(n)).text("c" + std::to_string(n));
    }
    record.byte(c.mode);
    for (unsigned n = 1; n <= c.count; ++n) {
        for (int k = 0; k < reveal; ++k) {
            record.text((k == 0 ? "r" : "s") + std::to_string(n));
        }
    }
    record.colour(kColour.red, kColour.green, kColour.blue);
    ASSERT_EQ(parse(record), 1);

    const unsigned kept = std::min(c.count, 96u);
    EXPECT_EQ(state->questionCount, static_cast<int>(kept));
    EXPECT_EQ(state->revealMode, static_cast<int>(c.mode));
    expectColour(kColour);
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), kept);
    for (unsigned n = 1; n <= kept; ++n) {
        EXPECT_EQ(std::string(records[n - 1]->answer1), "a" + std::to_string(n));
        EXPECT_EQ(std::string(records[n - 1]->caption), "c" + std::to_string(n));
        // Reveal texts of questions beyond 96 must not land on the last kept record.
        EXPECT_EQ(std::string(records[n - 1]->revealText), reveal ? "r" + std::to_string(n) : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, CountCapTest,
                         ::testing::Values(CapCase{95, 3}, CapCase{96, 3}, CapCase{97, 3}, CapCase{97, 2},
                                           CapCase{'|', 4}, CapCase{255, 3}, CapCase{255, 2}, CapCase{255, 0}));

// Valid records whose every proper prefix is a truncated record.
std::vector<unsigned char> truncationRecord(int which)
{
    QuizRecordBuilder record;
    switch (which) {
    case 0:
        return fullRecord().bytes();
    case 1:  // no question, mode 2
        record.header(0, 1, 0, 1).texts({"t", "a", "e", "l1", "l2"}).byte(2).colour(1, 2, 3);
        break;
    case 2:  // one answer, mode 4, empty texts, '|' colour bytes
        record.header(0, 4, 2, 1).texts({"", "", "", "", ""}).texts({"", "", "a", "c"}).byte(4);
        record.texts({"", "r"}).colour('|', '|', '|');
        break;
    default:  // capped count: 97 questions, mode 3
        record.header(0, 1, 97, 1).texts({"t", "a", "e", "l1", "l2"});
        for (int n = 0; n < 97; ++n) {
            record.texts({"a", "c"});
        }
        record.byte(3);
        for (int n = 0; n < 97; ++n) {
            record.texts({"r", ""});
        }
        record.colour(7, 8, 9);
        break;
    }
    return record.bytes();
}

class TruncationTest : public QuizParseTest, public ::testing::WithParamInterface<int> {};

TEST_P(TruncationTest, EveryCutFailsAndLeavesTheStateUntouched)
{
    // A state already holding a quiz and non-reset values, so any write shows.
    QuizRecordBuilder earlier;
    earlier.header(0, 3, 1, 2).texts({"old", "old", "old", "old", "old", "oa", "ob", "oc"}).byte(2).text("or");
    earlier.colour(200, 201, 202);
    ASSERT_EQ(parse(earlier), 1);
    std::memset(state->codes[5], 'k', 10);
    state->solvedFlags[1] = 1;
    const Snapshot before(*state);

    const std::vector<unsigned char> full = truncationRecord(GetParam());
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        ExactBuffer prefix(full.data(), cut);
        ASSERT_EQ(parseQuizResource(*state, prefix.data(), prefix.size()), 0) << "cut at " << cut;
        ASSERT_TRUE(Snapshot(*state) == before) << "state changed by the cut at " << cut;
    }
    EXPECT_EQ(parse(full), 1);
}

INSTANTIATE_TEST_SUITE_P(Records, TruncationTest, ::testing::Values(0, 1, 2, 3));

TEST_F(QuizParseTest, NoBytesAtAllFail)
{
    const Snapshot before(*state);
    EXPECT_EQ(parseQuizResource(*state, nullptr, 0), 0);
    EXPECT_EQ(parseQuizResource(*state, nullptr, 100), 0);
    EXPECT_TRUE(Snapshot(*state) == before);
}

TEST_F(QuizParseTest, SuccessReplacesAnEarlierList)
{
    ASSERT_EQ(parse(fullRecord()), 1);
    QuizRecordBuilder second;
    second.header(0, 1, 1, 1).texts({"t", "a", "e", "l1", "l2", "z1", "zc"}).byte(2).text("zr").colour(1, 2, 3);
    ASSERT_EQ(parse(second), 1);
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0]->answer1, "z1");
    EXPECT_STREQ(records[0]->revealText, "zr");
    EXPECT_EQ(state->lastQuestion, records[0]);
}

struct MemoryCase {
    int succeed;            // allocations that succeed before the failures
    int fail;               // allocations that fail
    std::vector<std::string> answers;   // answer1 of each record in the shortened list
    std::vector<std::string> reveals;   // revealText of each record
};

class OutOfMemoryTest : public QuizParseTest, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(OutOfMemoryTest, AFailedRecordMakesTheListShorter)
{
    const MemoryCase c = GetParam();
    QuizRecordBuilder record;
    record.header(0, 1, 3, 1).texts({"t", "a", "e", "l1", "l2", "a1", "c1", "a2", "c2", "a3", "c3"}).byte(2);
    record.texts({"r1", "r2", "r3"}).colour(kColour.red, kColour.green, kColour.blue);
    ExactBuffer buffer(record.bytes());
    int result = 0;
    {
        NothrowFailureScope failures(c.succeed, c.fail);
        result = parseQuizResource(*state, buffer.data(), buffer.size());
    }
    ASSERT_EQ(result, 1);
    EXPECT_EQ(state->questionCount, 3);
    expectColour(kColour);
    const std::vector<QuestionRecord*> records = questionList(*state);
    ASSERT_EQ(records.size(), c.answers.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->answer1, c.answers[i]) << i;
        EXPECT_EQ(records[i]->revealText, c.reveals[i]) << i;
    }
}

// Reveal texts go to questionByNumber(n): numbers past the shortened list land on its last record.
INSTANTIATE_TEST_SUITE_P(
    Failures, OutOfMemoryTest,
    ::testing::Values(MemoryCase{1, 1, {"a1", "a3"}, {"r1", "r3"}}, MemoryCase{2, 1, {"a1", "a2"}, {"r1", "r3"}},
                      MemoryCase{0, 1, {"a2", "a3"}, {"r1", "r3"}}, MemoryCase{0, 3, {}, {}},
                      MemoryCase{1, 2, {"a1"}, {"r3"}}));

// ---- code lines (resource 105) ----

class CodeParseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = std::make_unique<QuizState>();
        resetQuizData(*state);
        // Marked entries, so that a write where none belongs shows.
        for (int i = 0; i < kMaxQuestions; ++i) {
            copyText(state->codes[i], "untouched");
        }
    }
    int parse(int questionCount, const std::string& bytes)
    {
        state->questionCount = questionCount;
        ExactBuffer buffer(bytes);
        return parseCodeResource(*state, buffer.data(), buffer.size());
    }

    std::unique_ptr<QuizState> state;
};

TEST_F(CodeParseTest, OneLinePerQuestion)
{
    ASSERT_EQ(parse(3, "ONE\r\nTWO\r\nTHREE\r\n"), 1);
    EXPECT_STREQ(state->codes[0], "ONE");
    EXPECT_STREQ(state->codes[1], "TWO");
    EXPECT_STREQ(state->codes[2], "THREE");
    EXPECT_STREQ(state->codes[3], "untouched");
}

class CodeSeparatorTest : public CodeParseTest, public ::testing::WithParamInterface<char> {};

TEST_P(CodeSeparatorTest, TheByteAfterCrIsSkippedWhateverItIs)
{
    const std::string after(1, GetParam());
    ASSERT_EQ(parse(3, "c1\r" + after + "c2\r" + after + "\r" + after), 1);
    EXPECT_STREQ(state->codes[0], "c1");
    EXPECT_STREQ(state->codes[1], "c2");
    EXPECT_STREQ(state->codes[2], "");
}

INSTANTIATE_TEST_SUITE_P(Bytes, CodeSeparatorTest,
                         ::testing::Values('\n', '\r', '|', '\0', 'X', '\xFF'));

TEST_F(CodeParseTest, ACrAsTheVeryLastByteEndsTheLastLine)
{
    ASSERT_EQ(parse(2, "c1\r\nc2\r"), 1);
    EXPECT_STREQ(state->codes[1], "c2");
}

TEST_F(CodeParseTest, LinesBeyondTheQuestionCountAreIgnored)
{
    ASSERT_EQ(parse(2, "c1\r\nc2\r\nc3\r\nc4 without end"), 1);
    EXPECT_STREQ(state->codes[0], "c1");
    EXPECT_STREQ(state->codes[1], "c2");
    EXPECT_STREQ(state->codes[2], "untouched");
}

TEST_F(CodeParseTest, CountZeroReadsNothing)
{
    EXPECT_EQ(parse(0, ""), 1);
    EXPECT_EQ(parse(0, "no line end"), 1);
    EXPECT_EQ(parseCodeResource(*state, nullptr, 0), 1);
    EXPECT_STREQ(state->codes[0], "untouched");
}

TEST_F(CodeParseTest, EveryCutBeforeTheLastNeededCrFailsAndLeavesTheCodes)
{
    const std::string full = "first\r\n\r\nthird\r\nextra";
    const std::size_t lastCr = full.find("third\r") + 5;
    state->questionCount = 3;
    const Snapshot before(*state);
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        ExactBuffer prefix(reinterpret_cast<const unsigned char*>(full.data()), cut);
        const int result = parseCodeResource(*state, prefix.data(), prefix.size());
        if (cut <= lastCr) {
            ASSERT_EQ(result, 0) << "cut at " << cut;
            ASSERT_TRUE(Snapshot(*state) == before) << "cut at " << cut;
        } else {
            ASSERT_EQ(result, 1) << "cut at " << cut;
            EXPECT_STREQ(state->codes[2], "third");
        }
    }
}

TEST_F(CodeParseTest, NullBytesWithLinesNeededFail)
{
    state->questionCount = 1;
    EXPECT_EQ(parseCodeResource(*state, nullptr, 0), 0);
    EXPECT_STREQ(state->codes[0], "untouched");
}

class CodeLengthTest : public CodeParseTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(CodeLengthTest, LongCodesAreCutAt259AndTheLineSkipped)
{
    const std::string code = patternText(GetParam().length);
    ASSERT_EQ(parse(2, code + "\r\nnext\r\n"), 1);
    EXPECT_EQ(std::string(state->codes[0]), code.substr(0, GetParam().kept));
    EXPECT_STREQ(state->codes[1], "next");
}

INSTANTIATE_TEST_SUITE_P(Lengths, CodeLengthTest,
                         ::testing::Values(LengthCase{0, 0}, LengthCase{258, 258}, LengthCase{259, 259},
                                           LengthCase{260, 259}, LengthCase{1000, 259}));

TEST_F(CodeParseTest, CountsOutsideTheTableReadAtMost96Lines)
{
    std::string lines;
    for (int i = 1; i <= 96; ++i) {
        lines += "code" + std::to_string(i) + "\r\n";
    }
    ASSERT_EQ(parse(200, lines), 1);
    EXPECT_STREQ(state->codes[95], "code96");
    EXPECT_EQ(parse(-5, ""), 1);
}

} // namespace
