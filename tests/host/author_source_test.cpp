// Host tests of the authoring tool's source writer and extraction: parse -> write -> parse, and unpack -> make.
#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "lzw_encode.h"
#include "quiz_files_test_support.h"
#include "quiz_record_builder.h"
#include "quizc/quiz_writer.h"
#include "resource_set.h"
#include "source_writer.h"

namespace {

const std::string kJpeg("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);
const std::string kPng("\x89PNG\r\n\x1A\n png body", 17), kMp3("ID3\x03 sound");
const std::map<std::string, std::string> kFiles = {{"a.jpg", kJpeg}, {"b.png", kPng}, {"images/c.jpg", kJpeg + "other"},
    {"images/d.png", kPng + "other"}, {"s.mp3", kMp3}, {"v.avi", std::string("RIFF\x10\0\0\0AVI LIST", 16)}};

// A parsed quiz whole: its records as compiled, then every media file relative to base and its format.
std::string described(const QuizSource& quiz, const fs::path& base)
{
    const std::vector<unsigned char> record = buildQuizRecord(quiz), codes = buildCodeRecord(quiz);
    std::string text = std::string(record.begin(), record.end()) + "#" + std::string(codes.begin(), codes.end());
    for (const QuizQuestion& question : quiz.questions) {
        for (const auto* file : {&question.media, &question.answerPicture})
            text += *file ? " " + pathToUtf8((*file)->path.lexically_relative(base)) + mediaFormatName((*file)->format) : " -";
    }
    return text;
}

// Records and media of a resource set in one string.
std::string described(const QuizResourceSet& set)
{
    std::string text = std::string(set.quizRecord.begin(), set.quizRecord.end()) + "#" +
                       std::string(set.codeRecord.begin(), set.codeRecord.end());
    for (const MediaItem& item : set.media)
        text += "#" + std::to_string(item.id) + (item.rawData ? "raw" : "img") + std::string(item.bytes.begin(), item.bytes.end());
    return text;
}

// Writes what unpacking extracted into the folder out.
void writeExtracted(const UnpackedQuiz& unpacked, const fs::path& out)
{
    fs::create_directories(out);
    for (const ExtractedFile& file : unpacked.files) writeAll(out / file.name, std::string(file.bytes->begin(), file.bytes->end()));
}

// 259 bytes once in Windows-1252, mixing ASCII with characters of 0x80-0x9F and Latin-1.
std::string longText(int seed)
{
    const char* const pieces[] = {"\xE2\x82\xAC", "\xC5\x93", "\xC3\xA9", "A", "\xE2\x80\x9C", "z", " ", "\xC5\xB8", "\xC3\x9F"};
    std::string text;
    for (int i = 0; i < 259; ++i) text += pieces[(i * 7 + seed) % 9];
    return text;
}

TEST(SourceRoundTrip, ParseWriteParseKeepsEveryItemAndUnpackingMakesTheSameResources)
{
    std::string largest = "title: " + longText(1) + "\nauthor: " + longText(2) + "\nexplanation: " + longText(3) +
                          "\nlabel1: " + longText(4) + "\nlabel2: " + longText(5) + "\nkind: picture\nanswers: 2\nreveal: 3\n";
    for (int i = 0; i < 96; ++i) largest += "code: " + longText(i + 10) + "\n";
    for (int i = 0; i < 96; ++i) {
        largest += "question:\nmedia: " + std::string(i % 2 ? "a.jpg" : "images/d.png") + "\nanswer-picture: b.png\nanswer: " +
                   longText(i + 200) + "\nanswer2: " + longText(i + 300) + "\ncaption: " + longText(i + 400) +
                   "\nreveal: " + longText(i + 500) + "\n";
    }
    const std::string cases[] = {
        "title: T\nkind: text\nquestion:\nanswer: PARIS\n",
        "title: Capitales d'\xC3\x89urope\nauthor: Zo\xC3\xAB\nexplanation: Deux points : ici\nkind: text\nreveal: 2\n"
        "background: #0A7CFF\ncode: A|B\ncode:\ncode: \xE2\x82\xAC 5\ncode:\n"
        "question: 1\ncaption:   deux blancs devant et deux derri\xC3\xA8re  \nanswer: BRUXELLES\n"
        "reveal: Si\xC3\xA8ge \xE2\x80\x9C" "europ\xC3\xA9" "en\xE2\x80\x9D\n"
        "question: 2\ncaption: question: 2\nanswer: # PAS UN COMMENTAIRE\n"
        "question: 3\ncaption: #\nanswer: \xC5\x92UVRE \xC5\xB8\nquestion: 4\nanswer: VIDE\n",
        "title: Qui est-ce ?\nkind: picture\nanswers: 2\nlabel1: Pr\xC3\xA9nom\nlabel2: Nom\nreveal: 3\ncode: UN\ncode: DEUX\n"
        "question:\nmedia: images/c.jpg\nanswer-picture: images\\d.png\nanswer: VICTOR\nanswer2: HUGO\nreveal: \xC3\x89" "crivain\n"
        "question:\nmedia: a.jpg\nanswer: \xC3\x89MILE\nanswer2: ZOLA\n"
        "question:\nmedia: b.png\nanswer-picture: a.jpg\nanswer: GEORGE\nanswer2: SAND\n",
        "title: Sons\nkind: sound\nreveal: 4\nbackground: 0 0 0\nquestion:\nmedia: s.mp3\nanswer: SOIXANTE-DIX\nreveal: 70\n"
        "question:\nmedia: s.mp3\nanswer: QUATRE-VINGTS\n",
        "title: Films\nauthor:\nexplanation:\nkind: video\nreveal: 1\nquestion:\nmedia: v.avi\nanswer: METROPOLIS\n",
        "\xEF\xBB\xBFtitle: Fin de ligne\r\nkind: text\r\ncode: X\r\nquestion:\r\ncaption: Windows\r\nanswer: CRLF \r\n",
        largest,
    };
    const ScratchFolder folder(kFiles);
    const fs::path base = folder.path(), out = base / "extrait";
    for (const std::string& source : cases) {
        SCOPED_TRACE(source.substr(0, 40));
        const ParseResult first = parseQuizSource(source, base);
        ASSERT_FALSE(first.hasErrors()) << listed(first.diagnostics);
        const std::string written = writeQuizSource(first.quiz, base);
        const ParseResult second = parseQuizSource(written, base);
        ASSERT_FALSE(second.hasErrors()) << listed(second.diagnostics) << written;
        EXPECT_EQ(described(second.quiz, base), described(first.quiz, base));
        // Written again, the source comes out the same: nothing drifts from one extraction to the next.
        EXPECT_EQ(writeQuizSource(second.quiz, base), written);

        // Compiled, unpacked into a new folder, written out and compiled again: the same resources byte for byte.
        QuizResourceSet original, rebuilt;
        std::string error;
        ASSERT_TRUE(buildResourceSet(compileQuiz(first.quiz), original, error)) << error;
        fs::remove_all(out);
        const UnpackedQuiz unpacked = unpackResourceSet(original, out);
        ASSERT_TRUE(unpacked.diagnostics.empty()) << listed(unpacked.diagnostics);
        writeExtracted(unpacked, out);
        const ParseResult reread = parseQuizSource(writeQuizSource(unpacked.quiz, out), out);
        ASSERT_FALSE(reread.hasErrors()) << listed(reread.diagnostics);
        ASSERT_TRUE(buildResourceSet(compileQuiz(reread.quiz), rebuilt, error)) << error;
        EXPECT_EQ(described(rebuilt), described(original));
        EXPECT_TRUE(differencesFromSource(original, reread.quiz).empty());
    }
}

TEST(SourceWriter, WritesCodesUpToTheLastOneGiven)
{
    QuizSource quiz;
    quiz.questions.resize(4);
    quiz.codes = {"", "DEUX", "", ""};
    const std::string written = writeQuizSource(quiz, fs::path());
    EXPECT_EQ(written.substr(written.find("code:"), written.find("question:") - written.find("code:")), "code:\ncode: DEUX\n\n");
}

TEST(SourceWriter, Cp1252ToUtf8CoversTheWholeCodePage)
{
    std::string every, back, error;
    for (int byte = 0x20; byte <= 0xFF; ++byte) every += static_cast<char>(byte);
    // The five undefined bytes come out as C1 controls, which the compiler's conversion refuses.
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        EXPECT_FALSE(utf8ToCp1252(cp1252ToUtf8(std::string(1, undefined)), back, error));
        every.erase(every.find(undefined), 1);
    }
    ASSERT_TRUE(utf8ToCp1252(cp1252ToUtf8(every), back, error)) << error;
    EXPECT_EQ(back, every);
    EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xE9"), "\xE2\x82\xAC\xC5\xB8\xC3\xA9");
}

// Resources that cannot be extracted as they are

std::vector<unsigned char> bytesOf(const std::string& text) { return std::vector<unsigned char>(text.begin(), text.end()); }
std::vector<unsigned char> encoded(const std::vector<unsigned char>& bytes) { return lzwEncode(bytes.data(), bytes.size()); }
std::vector<unsigned char> encoded(const QuizRecordBuilder& record) { return encoded(record.bytes()); }

// A one-question quiz record: kind byte, answers per question and reveal mode as given.
QuizRecordBuilder oneQuestion(unsigned media, unsigned answers, unsigned mode, const std::string& title = "Titre")
{
    QuizRecordBuilder record;
    record.header(0, media, 1, answers).texts({title, "Auteur", "", "", ""}).text("ABCDEF");
    if (answers == 2) record.text("GHIJKL");
    record.text("L\xE9gende").byte(mode);
    if (mode >= 2) record.text("Texte");
    if (mode == 3) record.text("");
    return record.colour(1, 2, 3);
}

TEST(Unpacking, SaysWhatCannotBeExtractedAsItIs)
{
    const auto jpeg = bytesOf(kJpeg), png = bytesOf(kPng), mp3 = bytesOf(kMp3), codes = encoded(bytesOf("CODE\r\n"));
    const struct {
        std::vector<unsigned char> quizRecord;
        std::vector<MediaItem> media;
        std::string expected;  // "E0" or "W0", then a piece of the one message
        std::vector<unsigned char> codeRecord;
    } cases[] = {
        {{}, {}, "E0 no quiz record (resource 104 of type PATCH)", codes},
        {{0x00, 0x00}, {}, "E0 does not decode", codes},
        {encoded(oneQuestion(5, 1, 0)), {}, "E0 no quiz kind the player knows", codes},
        {encoded(QuizRecordBuilder().header(0, 1, 0, 1).texts({"T", "", "", "", ""}).byte(0).colour(1, 2, 3)), {}, "E0 has 0 questions", codes},
        {encoded(QuizRecordBuilder().header(0, 1, 97, 1)), {}, "E0 has 97 questions", codes},
        {encoded(QuizRecordBuilder().header(0, 2, 1, 3)), {}, "E0 3 answers per question", codes},
        {encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "A"})), {}, "E0 ends before its last text or its colour", codes},
        {encoded(oneQuestion(1, 1, 5)), {}, "E0 reveal mode 5", codes},
        {encoded(oneQuestion(1, 1, 0, "A\tB")), {}, "E0 the title holds the byte 0x09", codes},
        {encoded(oneQuestion(1, 1, 0, "A\x81")), {}, "E0 the title holds the byte 0x81", codes},
        {encoded(oneQuestion(1, 2, 0)), {}, "E0 a text quiz with two answers per question", codes},
        {encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "", "", "", "", "", "L"}).byte(0).colour(1, 2, 3)), {},
         "E0 question 1 has an empty answer", codes},
        {encoded(oneQuestion(2, 1, 0)), {}, "E0 question 1 has no picture (resource 401)", codes},
        {encoded(oneQuestion(3, 1, 0)), {{401, true, mp3}}, "E0 question 1 has no sound (resource 401)", codes},
        {encoded(oneQuestion(3, 1, 0)), {{401, false, bytesOf("RIFF\0\0\0\0WAVEfmt ")}}, "E0 resource 401 holds no sound file", codes},
        {encoded(oneQuestion(2, 1, 1)), {{401, false, jpeg}, {10401, false, mp3}}, "E0 resource 10401 holds no picture file", codes},
        {encoded(oneQuestion(1, 1, 0)), {}, "W0 the codes (resource 105) are missing", {}},
        {encoded(oneQuestion(1, 1, 0)), {}, "W0 the codes (resource 105)", encoded(bytesOf("CODE"))},
        {encoded(oneQuestion(2, 1, 0)), {{401, false, png}}, "W0 resource 401 is a PNG stored under IMG", codes},
        {encoded(oneQuestion(2, 1, 0)), {{401, true, jpeg}}, "W0 resource 401 is a JPEG stored under raw data", codes},
        {encoded(oneQuestion(2, 1, 2)), {{401, false, jpeg}, {10401, false, jpeg}}, "W0 answer picture 10401 is never shown", codes},
        {encoded(oneQuestion(2, 1, 0)), {{401, false, jpeg}, {402, false, jpeg}}, "W0 resource 402 is never shown", codes},
        {encoded(oneQuestion(2, 1, 0)), {{401, false, jpeg}, {400, false, jpeg}}, "W0 resource 400 is never shown", codes},
        {encoded(oneQuestion(2, 1, 0)), {{401, false, jpeg}, {401, true, png}}, "W0 resource 401 is never shown", codes},
        {encoded(oneQuestion(1, 1, 0)), {{401, false, jpeg}}, "W0 resource 401 is never shown", codes},
    };
    for (const auto& row : cases) {
        const UnpackedQuiz unpacked = unpackResourceSet({row.quizRecord, row.codeRecord, row.media}, "out");
        EXPECT_EQ(matched(unpacked.diagnostics, {row.expected}), std::vector<std::string>{row.expected});
        EXPECT_EQ(unpacked.hasErrors(), row.expected[0] == 'E');
    }
}

// What the source format cannot say survives unpacking silently; the comparison with the executable finds it.
TEST(Unpacking, DifferencesFromTheSourceNameWhatIsLost)
{
    const ScratchFolder folder(kFiles);
    const std::vector<unsigned char> jpeg = bytesOf(kJpeg);
    const std::tuple<QuizRecordBuilder, std::string, std::vector<MediaItem>, std::vector<std::string>> cases[] = {
        {oneQuestion(2, 1, 1), "CODE\r\n", {{401, false, jpeg}, {10401, false, jpeg}}, {}},
        {QuizRecordBuilder().header(7, 1, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(0).colour(1, 2, 3), "\r\n", {},
         {"the quiz record (resource 104)"}},  // first byte not zero
        {QuizRecordBuilder(oneQuestion(1, 1, 0)).byte(0), "CODE\r\n", {}, {"the quiz record (resource 104)"}},  // bytes after the colour
        {QuizRecordBuilder().header(0, 2, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(3).texts({"R", "lost"}).colour(1, 2, 3),
         "\r\n", {{401, false, jpeg}}, {"the quiz record (resource 104)"}},  // second reveal text of mode 3
        {oneQuestion(1, 1, 0), "CODE\r\nMORE\r\n", {}, {"the codes (resource 105)"}},
        {oneQuestion(2, 1, 0), "CODE\r\n", {{401, false, bytesOf(kPng)}}, {"resource 401 (left out)", "resource 401 (stored differently)"}},
    };
    int n = 0;
    for (const auto& [record, codes, media, differences] : cases) {
        const QuizResourceSet set{encoded(record), encoded(bytesOf(codes)), media};
        const fs::path out = folder.path() / std::to_string(++n);
        const UnpackedQuiz unpacked = unpackResourceSet(set, out);
        ASSERT_FALSE(unpacked.hasErrors()) << n << listed(unpacked.diagnostics);
        writeExtracted(unpacked, out);
        EXPECT_EQ(differencesFromSource(set, unpacked.quiz), differences) << n;
    }
}

}  // namespace
