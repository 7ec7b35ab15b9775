// Host tests of the authoring tool's source writer and extraction: parse -> write -> parse keeps
// every item of a quiz, and a quiz's resources unpacked into a folder make the same resources.
#include <gtest/gtest.h>

#include <tuple>

#include "lzw_encode.h"
#include "quiz_files_test_support.h"
#include "quiz_record_builder.h"
#include "quiz_resources.h"
#include "quizc/cp1252.h"
#include "quizc/quiz_source.h"
#include "quizc/quiz_writer.h"
#include "source_writer.h"

namespace fs = std::filesystem;

namespace {

const std::string kJpeg("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);
const std::string kPng("\x89PNG\r\n\x1A\n png body", 17);
const std::string kMp3("ID3\x03 sound");
const std::string kAvi("RIFF\x10\0\0\0AVI LIST", 16);

const std::map<std::string, std::string> kFiles = {{"a.jpg", kJpeg}, {"b.png", kPng},
    {"images/c.jpg", kJpeg + "other"}, {"images/d.png", kPng + "other"}, {"s.mp3", kMp3}, {"v.avi", kAvi}};

// Writes what unpacking extracted into the folder `out`, made if need be.
void writeExtracted(const UnpackedQuiz& unpacked, const fs::path& out)
{
    fs::create_directories(out);
    for (const ExtractedFile& file : unpacked.files) {
        writeAll(out / file.name, std::string(file.bytes->begin(), file.bytes->end()));
    }
}

void expectSameFile(const std::optional<MediaFile>& a, const std::optional<MediaFile>& b)
{
    ASSERT_EQ(a.has_value(), b.has_value());
    if (a) {
        EXPECT_EQ(a->path.lexically_normal(), b->path.lexically_normal());
        EXPECT_EQ(a->format, b->format);
    }
}

void expectSameQuiz(const QuizSource& a, const QuizSource& b)
{
    EXPECT_EQ(std::tie(a.title, a.author, a.explanation, a.answerLabel1, a.answerLabel2, a.codes),
              std::tie(b.title, b.author, b.explanation, b.answerLabel1, b.answerLabel2, b.codes));
    EXPECT_EQ(std::tie(a.kind, a.answersPerQuestion, a.revealMode, a.red, a.green, a.blue),
              std::tie(b.kind, b.answersPerQuestion, b.revealMode, b.red, b.green, b.blue));
    ASSERT_EQ(a.questions.size(), b.questions.size());
    for (std::size_t i = 0; i < a.questions.size(); ++i) {
        SCOPED_TRACE("question " + std::to_string(i + 1));
        const QuizQuestion& p = a.questions[i];
        const QuizQuestion& q = b.questions[i];
        EXPECT_EQ(std::tie(p.answer1, p.answer2, p.caption, p.revealText),
                  std::tie(q.answer1, q.answer2, q.caption, q.revealText));
        expectSameFile(p.media, q.media);
        expectSameFile(p.answerPicture, q.answerPicture);
    }
}

// 259 bytes once in Windows-1252, mixing ASCII with characters of 0x80-0x9F and Latin-1.
std::string longText(int seed)
{
    static const char* const kPieces[] = {"\xE2\x82\xAC", "\xC5\x93", "\xC3\xA9", "A", "\xE2\x80\x9C", "z", " ",
                                          "\xC5\xB8", "\xC3\x9F"};
    std::string text;
    for (int i = 0; i < 259; ++i) {
        text += kPieces[(i * 7 + seed) % 9];
    }
    return text;
}

struct RoundTripCase {
    const char* name;
    std::string source;
};

std::vector<RoundTripCase> roundTripCases()
{
    std::string largest = "title: " + longText(1) + "\nauthor: " + longText(2) + "\nexplanation: " + longText(3) +
                          "\nlabel1: " + longText(4) + "\nlabel2: " + longText(5) +
                          "\nkind: picture\nanswers: 2\nreveal: 3\nbackground: 255 255 255\n";
    for (int i = 0; i < 96; ++i) {
        largest += "code: " + longText(i + 10) + "\n";
    }
    for (int i = 0; i < 96; ++i) {
        largest += "question:\nmedia: " + std::string(i % 2 ? "a.jpg" : "images/d.png") + "\nanswer-picture: b.png\n" +
                   "answer: " + longText(i + 200) + "\nanswer2: " + longText(i + 300) + "\ncaption: " +
                   longText(i + 400) + "\nreveal: " + longText(i + 500) + "\n";
    }
    return {
        {"MinimalText", "title: T\nkind: text\nquestion:\nanswer: PARIS\n"},
        {"TextWithEverything",
         "title: Capitales d'\xC3\x89urope\nauthor: Zo\xC3\xAB\nexplanation: Deux points : ici\nkind: text\n"
         "reveal: 2\nbackground: #0A7CFF\ncode: A|B\ncode:\ncode: \xE2\x82\xAC 5\ncode:\n"
         "question: 1\ncaption:   deux blancs devant et deux derri\xC3\xA8re  \nanswer: BRUXELLES\n"
         "reveal: Si\xC3\xA8ge \xE2\x80\x9C" "europ\xC3\xA9" "en\xE2\x80\x9D\n"
         "question: 2\ncaption: question: 2\nanswer: # PAS UN COMMENTAIRE\n"
         "question: 3\ncaption: #\nanswer: \xC5\x92UVRE \xC5\xB8\n"
         "question: 4\nanswer: VIDE\n"},
        {"PictureTwoAnswersInSubfolders",
         "title: Qui est-ce ?\nkind: picture\nanswers: 2\nlabel1: Pr\xC3\xA9nom\nlabel2: Nom\nreveal: 3\n"
         "code: UN\ncode: DEUX\ncode: TROIS\n"
         "question:\nmedia: images/c.jpg\nanswer-picture: images\\d.png\nanswer: VICTOR\nanswer2: HUGO\n"
         "reveal: \xC3\x89" "crivain\n"
         "question:\nmedia: a.jpg\nanswer: \xC3\x89MILE\nanswer2: ZOLA\n"
         "question:\nmedia: b.png\nanswer-picture: a.jpg\nanswer: GEORGE\nanswer2: SAND\n"},
        {"SoundRevealAll", "title: Sons\nkind: sound\nreveal: 4\nbackground: 0 0 0\n"
                           "question:\nmedia: s.mp3\nanswer: SOIXANTE-DIX\nreveal: 70\n"
                           "question:\nmedia: s.mp3\nanswer: QUATRE-VINGTS\n"},
        {"VideoRevealPicture", "title: Films\nauthor:\nexplanation:\nkind: video\nreveal: 1\n"
                               "question:\nmedia: v.avi\nanswer: METROPOLIS\n"},
        {"ByteOrderMarkAndCrLf", "\xEF\xBB\xBFtitle: Fin de ligne\r\nkind: text\r\ncode: X\r\n"
                                 "question:\r\ncaption: Windows\r\nanswer: CRLF \r\n"},
        {"LargestQuiz", largest},
    };
}

class SourceRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SourceRoundTrip, ParseWriteParseKeepsEveryItem)
{
    const ScratchFolder folder(kFiles);
    const ParseResult first = parseQuizSource(GetParam().source, folder.path());
    ASSERT_FALSE(first.hasErrors()) << listed(first.diagnostics);

    const std::string written = writeQuizSource(first.quiz, folder.path());
    const ParseResult second = parseQuizSource(written, folder.path());
    ASSERT_FALSE(second.hasErrors()) << listed(second.diagnostics) << written;
    expectSameQuiz(first.quiz, second.quiz);
    // Written again, the source comes out the same: nothing drifts from one extraction to the next.
    EXPECT_EQ(writeQuizSource(second.quiz, folder.path()), written);
}

// The quiz's resources, unpacked into a new folder, written out and compiled again, come back
// byte for byte.
TEST_P(SourceRoundTrip, UnpackedResourcesMakeTheSameResources)
{
    const ScratchFolder folder(kFiles);
    const ParseResult parsed = parseQuizSource(GetParam().source, folder.path());
    ASSERT_FALSE(parsed.hasErrors()) << listed(parsed.diagnostics);
    QuizResourceSet original;
    std::string error;
    ASSERT_TRUE(buildResourceSet(compileQuiz(parsed.quiz), original, error)) << error;

    const fs::path out = folder.path() / "extrait";
    const UnpackedQuiz unpacked = unpackResourceSet(original, out);
    ASSERT_TRUE(unpacked.diagnostics.empty()) << listed(unpacked.diagnostics);
    writeExtracted(unpacked, out);
    const ParseResult reread = parseQuizSource(writeQuizSource(unpacked.quiz, out), out);
    ASSERT_FALSE(reread.hasErrors()) << listed(reread.diagnostics);
    QuizResourceSet rebuilt;
    ASSERT_TRUE(buildResourceSet(compileQuiz(reread.quiz), rebuilt, error)) << error;

    EXPECT_EQ(rebuilt.quizRecord, original.quizRecord);
    EXPECT_EQ(rebuilt.codeRecord, original.codeRecord);
    ASSERT_EQ(rebuilt.media.size(), original.media.size());
    for (std::size_t i = 0; i < original.media.size(); ++i) {
        EXPECT_EQ(rebuilt.media[i].id, original.media[i].id);
        EXPECT_EQ(rebuilt.media[i].rawData, original.media[i].rawData);
        EXPECT_EQ(rebuilt.media[i].bytes, original.media[i].bytes);
    }
    EXPECT_TRUE(differencesFromSource(original, reread.quiz).empty());
}

INSTANTIATE_TEST_SUITE_P(Author, SourceRoundTrip, testing::ValuesIn(roundTripCases()),
                         [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(SourceWriter, WritesCodesUpToTheLastOneGiven)
{
    QuizSource quiz;
    quiz.title = "T";
    quiz.questions.resize(4);
    for (QuizQuestion& question : quiz.questions) {
        question.answer1 = "ABCD";
    }
    quiz.codes = {"", "DEUX", "", ""};
    const std::string written = writeQuizSource(quiz, fs::path());
    EXPECT_NE(written.find("code:\ncode: DEUX\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("code:", written.find("DEUX")), std::string::npos) << written;
}

TEST(SourceWriter, Cp1252ToUtf8CoversTheWholeCodePage)
{
    std::string every;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        every += static_cast<char>(byte);
    }
    std::string back;
    std::string error;
    // The five undefined bytes come out as C1 controls, which the compiler's conversion refuses.
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        EXPECT_FALSE(utf8ToCp1252(cp1252ToUtf8(std::string(1, undefined)), back, error));
        every.erase(every.find(undefined), 1);
    }
    ASSERT_TRUE(utf8ToCp1252(cp1252ToUtf8(every), back, error)) << error;
    EXPECT_EQ(back, every);
    EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xE9"), "\xE2\x82\xAC\xC5\xB8\xC3\xA9");
}

// ---------------------------------------------------------------------------------------------
// Resources that cannot be extracted as they are

std::vector<unsigned char> bytesOf(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::vector<unsigned char> encoded(const std::vector<unsigned char>& bytes)
{
    return lzwEncode(bytes.data(), bytes.size());
}

std::vector<unsigned char> encoded(const std::string& bytes)
{
    return encoded(bytesOf(bytes));
}

std::vector<unsigned char> encoded(const QuizRecordBuilder& record)
{
    return encoded(record.bytes());
}

// A one-question quiz record: kind byte, answers per question and reveal mode as given.
QuizRecordBuilder oneQuestion(unsigned media, unsigned answers, unsigned mode, const std::string& title = "Titre")
{
    QuizRecordBuilder record;
    record.header(0, media, 1, answers).texts({title, "Auteur", "", "", ""}).text("ABCDEF");
    if (answers == 2) {
        record.text("GHIJKL");
    }
    record.text("L\xE9gende").byte(mode);
    if (mode >= 2) {
        record.text("Texte");
    }
    if (mode == 3) {
        record.text("");
    }
    return record.colour(1, 2, 3);
}

struct UnpackCase {
    const char* name;
    std::vector<unsigned char> quizRecord;
    std::vector<MediaItem> media;
    Diagnostic::Severity severity;
    const char* fragment;
    std::vector<unsigned char> codeRecord = encoded("CODE\r\n");
};

std::vector<UnpackCase> unpackCases()
{
    using S = Diagnostic::Severity;
    const auto jpeg = bytesOf(kJpeg);
    const auto png = bytesOf(kPng);
    return {
        {"NoQuizRecord", {}, {}, S::Error, "no quiz record (resource 104 of type PATCH)"},
        {"RecordNotLzw", {0x00, 0x00}, {}, S::Error, "does not decode"},
        {"UnknownKind", encoded(oneQuestion(5, 1, 0)), {}, S::Error, "no quiz kind the player knows"},
        {"NoQuestion", encoded(QuizRecordBuilder().header(0, 1, 0, 1).texts({"T", "", "", "", ""}).byte(0).colour(1, 2, 3)),
         {}, S::Error, "has 0 questions"},
        {"NinetySevenQuestions", encoded(QuizRecordBuilder().header(0, 1, 97, 1)), {}, S::Error, "has 97 questions"},
        {"ThreeAnswers", encoded(QuizRecordBuilder().header(0, 2, 1, 3)), {}, S::Error, "3 answers per question"},
        {"RecordCutShort", encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "A"})), {}, S::Error,
         "ends before its last text or its colour"},
        {"RevealModeFive", encoded(oneQuestion(1, 1, 5)), {}, S::Error, "reveal mode 5"},
        {"TabInTitle", encoded(oneQuestion(1, 1, 0, "A\tB")), {}, S::Error, "the title holds the byte 0x09"},
        {"UndefinedByteInTitle", encoded(oneQuestion(1, 1, 0, "A\x81")), {}, S::Error, "the title holds the byte 0x81"},
        {"TextQuizWithTwoAnswers", encoded(oneQuestion(1, 2, 0)), {}, S::Error,
         "a text quiz with two answers per question"},
        {"EmptyAnswer",
         encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "", "", "", "", "", "L"}).byte(0).colour(1, 2, 3)),
         {}, S::Error, "question 1 has an empty answer"},
        {"PictureMissing", encoded(oneQuestion(2, 1, 0)), {}, S::Error, "question 1 has no picture (resource 401)"},
        {"PictureOnlyUnderRawDataInASoundQuiz", encoded(oneQuestion(3, 1, 0)), {{401, true, bytesOf(kMp3)}},
         S::Error, "question 1 has no sound (resource 401)"},
        {"SoundThatIsNoMp3", encoded(oneQuestion(3, 1, 0)), {{401, false, bytesOf("RIFF\0\0\0\0WAVEfmt ")}},
         S::Error, "resource 401 holds no sound file"},
        {"AnswerPictureThatIsASound", encoded(oneQuestion(2, 1, 1)),
         {{401, false, jpeg}, {10401, false, bytesOf(kMp3)}}, S::Error, "resource 10401 holds no picture file"},
        {"CodesMissing", encoded(oneQuestion(1, 1, 0)), {}, S::Warning, "the codes (resource 105) are missing", {}},
        {"CodesCutShort", encoded(oneQuestion(1, 1, 0)), {}, S::Warning, "the codes (resource 105)", encoded("CODE")},
        {"PngUnderImg", encoded(oneQuestion(2, 1, 0)), {{401, false, png}}, S::Warning,
         "resource 401 is a PNG stored under IMG"},
        {"JpegUnderRawData", encoded(oneQuestion(2, 1, 0)), {{401, true, jpeg}}, S::Warning,
         "resource 401 is a JPEG stored under raw data"},
        {"AnswerPictureNeverShown", encoded(oneQuestion(2, 1, 2)), {{401, false, jpeg}, {10401, false, jpeg}},
         S::Warning, "answer picture 10401 is never shown by this quiz"},
        {"MediaBeyondTheLastQuestion", encoded(oneQuestion(2, 1, 0)), {{401, false, jpeg}, {402, false, jpeg}},
         S::Warning, "resource 402 is never shown"},
        {"PictureUnderBothTypes", encoded(oneQuestion(2, 1, 0)), {{401, false, jpeg}, {401, true, png}},
         S::Warning, "resource 401 is never shown"},
        {"PicturesInATextQuiz", encoded(oneQuestion(1, 1, 0)), {{401, false, jpeg}}, S::Warning,
         "resource 401 is never shown"},
    };
}

class Unpacking : public testing::TestWithParam<UnpackCase> {};

TEST_P(Unpacking, SaysWhatCannotBeExtractedAsItIs)
{
    const UnpackCase& row = GetParam();
    const QuizResourceSet set{row.quizRecord, row.codeRecord, row.media};
    const UnpackedQuiz unpacked = unpackResourceSet(set, "out");
    ASSERT_EQ(unpacked.diagnostics.size(), 1u) << listed(unpacked.diagnostics);
    EXPECT_EQ(unpacked.diagnostics[0].severity, row.severity);
    EXPECT_NE(unpacked.diagnostics[0].message.find(row.fragment), std::string::npos) << unpacked.diagnostics[0].message;
    EXPECT_EQ(unpacked.hasErrors(), row.severity == Diagnostic::Severity::Error);
}

INSTANTIATE_TEST_SUITE_P(Author, Unpacking, testing::ValuesIn(unpackCases()),
                         [](const testing::TestParamInfo<UnpackCase>& info) { return info.param.name; });

// What the source format cannot say survives unpacking silently; the comparison with the
// executable finds it.
TEST(Unpacking, DifferencesFromTheSourceNameWhatIsLost)
{
    struct Case {
        const char* name;
        QuizRecordBuilder record;
        std::string codes;
        std::vector<MediaItem> media;
        std::vector<std::string> differences;
    };
    const ScratchFolder folder(kFiles);
    const std::vector<unsigned char> jpeg = bytesOf(kJpeg);
    QuizRecordBuilder firstByte;
    firstByte.header(7, 1, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(0).colour(1, 2, 3);
    QuizRecordBuilder trailing = oneQuestion(1, 1, 0);
    trailing.byte(0);
    const std::vector<Case> cases = {
        {"NothingLost", oneQuestion(2, 1, 1), "CODE\r\n", {{401, false, jpeg}, {10401, false, jpeg}}, {}},
        {"FirstByteNotZero", firstByte, "\r\n", {}, {"the quiz record (resource 104)"}},
        {"BytesAfterTheColour", trailing, "CODE\r\n", {}, {"the quiz record (resource 104)"}},
        {"SecondRevealTextOfModeThree",
         QuizRecordBuilder().header(0, 2, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(3).texts({"R", "lost"}).colour(1, 2, 3),
         "\r\n", {{401, false, jpeg}}, {"the quiz record (resource 104)"}},
        {"ExtraCodeLines", oneQuestion(1, 1, 0), "CODE\r\nMORE\r\n", {}, {"the codes (resource 105)"}},
        {"PngUnderImg", oneQuestion(2, 1, 0), "CODE\r\n", {{401, false, bytesOf(kPng)}},
         {"resource 401 (left out)", "resource 401 (stored differently)"}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const QuizResourceSet set{encoded(row.record.bytes()), encoded(row.codes), row.media};
        const fs::path out = folder.path() / row.name;
        const UnpackedQuiz unpacked = unpackResourceSet(set, out);
        ASSERT_FALSE(unpacked.hasErrors()) << listed(unpacked.diagnostics);
        writeExtracted(unpacked, out);
        EXPECT_EQ(differencesFromSource(set, unpacked.quiz), row.differences);
    }
}

}  // namespace
