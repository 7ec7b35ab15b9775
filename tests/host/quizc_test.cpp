// Host tests of the quiz compiler: Windows-1252 conversion, source errors by line, record bytes,
// round trips through the player's own decoder and parsers, and whole runs writing the outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <sstream>

#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"
#include "quiz/quiz_state.h"
#include "quizc/cp1252.h"
#include "quizc/quiz_compiler.h"
#include "quizc/quiz_source.h"
#include "quizc/quiz_writer.h"
#include "quiz_files_test_support.h"

namespace fs = std::filesystem;

namespace {

// Independent UTF-8 encoder, so the tests do not lean on the decoder they check.
std::string utf8(char32_t c)
{
    const auto cont = [c](int shift) { return static_cast<char>(0x80 | ((c >> shift) & 0x3F)); };
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), cont(0)};
    if (c < 0x10000) return {static_cast<char>(0xE0 | (c >> 12)), cont(6), cont(0)};
    return {static_cast<char>(0xF0 | (c >> 18)), cont(12), cont(6), cont(0)};
}

std::string joinLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::vector<Diagnostic> errorsOf(const ParseResult& result)
{
    std::vector<Diagnostic> errors;
    for (const Diagnostic& diagnostic : result.diagnostics) {
        if (diagnostic.severity == Diagnostic::Severity::Error) errors.push_back(diagnostic);
    }
    return errors;
}

// One small file of each kind the compiler meets, good and bad.
const std::map<std::string, std::string> kMediaFiles = {
    {"pic.jpg", std::string("\xFF\xD8\xFF\xE0", 4) + "jpeg body"},
    {"pics/deep.JPEG", std::string("\xFF\xD8\xFF\xDB", 4) + "other jpeg"},
    {"pic.png", std::string("\x89PNG\r\n\x1A\n", 8) + "png body"},
    {"pic.gif", "GIF89a gif body"},
    {"pic.bmp", "BM bitmap body"},
    {"song.mp3", "ID3\x03 tagged sound"},
    {"bare.mp3", std::string("\xFF\xFB\x90\x64", 4) + "frames"},
    {"clip.avi", std::string("RIFF\x10\0\0\0AVI LIST", 16)},
    {"wave.avi", std::string("RIFF\x10\0\0\0WAVEfmt ", 16)},
    {"fake.jpg", std::string("\x89PNG\r\n\x1A\n", 8) + "png under jpg"},
    {"junk.png", "plain text, not a picture"},
    {"empty.jpg", ""},
    {"folder.jpg/", ""},
};

// ---------------------------------------------------------------------------------------------
// Windows-1252 conversion

// The 27 characters of 0x80-0x9F, the edges of the Latin-1 ranges, and (byte -1) what the code
// page lacks: its five undefined bytes, the C1 controls around them, and beyond Latin-1.
const struct {
    char32_t codePoint;
    int byte;
} kCp1252Cases[] = {
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}, {0x0041, 0x41}, {0x007F, 0x7F}, {0x00A0, 0xA0},
    {0x00E9, 0xE9}, {0x00C7, 0xC7}, {0x00FF, 0xFF}, {0x0000, 0x00},
    {0x0080, -1}, {0x0081, -1}, {0x008D, -1}, {0x008F, -1}, {0x0090, -1}, {0x009D, -1}, {0x009F, -1},
    {0x0100, -1}, {0x0131, -1}, {0x20AD, -1}, {0xFFFD, -1}, {0x1F600, -1},
};

TEST(Cp1252, MapsEveryCharacterOfTheCodePageAndNamesTheOthers)
{
    for (const auto& row : kCp1252Cases) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(row.codePoint));
        SCOPED_TRACE(name);
        std::string out, error;
        EXPECT_EQ(cp1252FromCodePoint(row.codePoint), row.byte);
        if (row.byte < 0) {
            EXPECT_FALSE(utf8ToCp1252("ok " + utf8(row.codePoint), out, error));
            EXPECT_NE(error.find(name), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(utf8ToCp1252(utf8(row.codePoint), out, error)) << error;
        EXPECT_EQ(out, std::string(1, static_cast<char>(row.byte)));
    }
    std::string out, error;
    ASSERT_TRUE(utf8ToCp1252(utf8(0xC9) + "l" + utf8(0xE8) + "ve " + utf8(0x153) + "uvre " + utf8(0x20AC), out, error));
    EXPECT_EQ(out, "\xC9l\xE8ve \x9Cuvre \x80");
}

TEST(Cp1252, RejectsMalformedUtf8)
{
    const std::string malformed[] = {
        std::string("\x80", 1),              // continuation byte without a lead
        std::string("\xC3", 1),              // cut at the end
        std::string("\xE2\x82" "A", 3),      // cut before another character
        std::string("\xC0\xAF", 2),          // overlong '/'
        std::string("\xE0\x80\xAF", 3),      // overlong in three bytes
        std::string("\xED\xA0\x80", 3),      // surrogate
        std::string("\xF4\x90\x80\x80", 4),  // past U+10FFFF
        std::string("\xFF", 1),              // never valid
        std::string("\xE9t\xE9", 3),         // Windows-1252 text mistaken for UTF-8
    };
    for (const std::string& bytes : malformed) {
        std::string out, error;
        EXPECT_FALSE(utf8ToCp1252("ab" + bytes, out, error));
        EXPECT_NE(error.find("invalid UTF-8"), std::string::npos) << error;
        EXPECT_FALSE(checkUtf8(bytes, error));
    }
}

// ---------------------------------------------------------------------------------------------
// Source parsing

class QuizSourceTest : public testing::Test {
protected:
    ParseResult parse(const std::string& text) const { return parseQuizSource(text, scratch.path()); }
    ScratchFolder scratch{kMediaFiles};
};

struct ErrorCase {
    const char* rule;
    std::string source;
    int line;
    const char* message;  // a piece of the expected message
};

const std::string kTextHead = "title: T\nkind: text\n";
const std::string kPictureHead = "title: T\nkind: picture\n";

const std::vector<ErrorCase> kErrorCases = {
    {"unknown key", kTextHead + "colour: red\nquestion:\nanswer: A\n", 3, "unknown key 'colour'"},
    {"upper-case key", kTextHead + "question:\nanswer: A\nCaption: C\n", 5, "unknown key 'Caption'"},
    {"no colon", kTextHead + "question:\nanswer: A\ncaption C\n", 5, "expected 'key: value'"},
    {"duplicate quiz key", kTextHead + "title: U\nquestion:\nanswer: A\n", 3, "duplicate 'title' (first given at line 1)"},
    {"duplicate question key", kTextHead + "question:\nanswer: A\nanswer: B\n", 5, "duplicate 'answer'"},
    {"question key before a question", kTextHead + "answer: A\nquestion:\nanswer: A\n", 3, "belongs to a question"},
    {"quiz key inside a question", kTextHead + "question:\nanswer: A\ncode: X\n", 5, "'code' belongs before the first question"},
    {"missing answer", kTextHead + "question:\ncaption: C\n", 3, "question 1 has no 'answer'"},
    {"empty answer", kTextHead + "question:\nanswer:\n", 4, "empty answer"},
    {"answer2 with one answer", kTextHead + "question:\nanswer: A\nanswer2: B\n", 5, "'answer2' needs 'answers: 2'"},
    {"missing answer2", kPictureHead + "answers: 2\nquestion:\nanswer: A\nmedia: pic.jpg\n", 4, "question 1 has no 'answer2'"},
    {"two answers in a text quiz", kTextHead + "answers: 2\nquestion:\nanswer: A\nanswer2: B\n", 3, "a text quiz shows one answer field"},
    {"answers out of range", kTextHead + "answers: 3\nquestion:\nanswer: A\n", 3, "'answers' must be 1 or 2"},
    {"unknown kind", "title: T\nkind: slides\nquestion:\nanswer: A\n", 2, "unknown kind 'slides'"},
    {"reveal mode out of range", kTextHead + "reveal: 5\nquestion:\nanswer: A\n", 3, "'reveal' must be 0 to 4"},
    {"reveal mode not a number", kTextHead + "reveal: two\nquestion:\nanswer: A\n", 3, "'reveal' must be 0 to 4"},
    {"reveal text never shown", kTextHead + "reveal: 1\nquestion:\nanswer: A\nreveal: R\n", 6, "never shown with 'reveal: 1'"},
    {"reveal text without reveal mode", kTextHead + "question:\nanswer: A\nreveal: R\n", 5, "never shown with 'reveal: 0'"},
    {"short hex colour", kTextHead + "background: #12345\nquestion:\nanswer: A\n", 3, "'background' must be"},
    {"bad hex digit", kTextHead + "background: #12345G\nquestion:\nanswer: A\n", 3, "'background' must be"},
    {"component above 255", kTextHead + "background: 256 0 0\nquestion:\nanswer: A\n", 3, "'background' must be"},
    {"two components", kTextHead + "background: 1 2\nquestion:\nanswer: A\n", 3, "'background' must be"},
    {"four components", kTextHead + "background: 1 2 3 4\nquestion:\nanswer: A\n", 3, "'background' must be"},
    {"separator in a text", kTextHead + "question:\nanswer: A|B\n", 4, "'|' is not allowed"},
    {"separator in the title", "title: A|B\nkind: text\nquestion:\nanswer: A\n", 1, "'|' is not allowed"},
    {"text of 260 bytes", kTextHead + "question:\nanswer: A\ncaption: " + std::string(260, 'x') + "\n", 5, "260 bytes long"},
    {"accents counted after conversion", kTextHead + "question:\nanswer: A\ncaption: x" + [] {
         std::string text;
         for (int i = 0; i < 259; ++i) text += utf8(0xE9);
         return text;
     }() + "\n", 5, "260 bytes long"},
    {"tab in a text", kTextHead + "question:\nanswer: A\tB\n", 4, "control character U+0009"},
    {"carriage return inside a code", kTextHead + "code: A\rB\nquestion:\nanswer: A\n", 3, "control character U+000D"},
    {"invalid UTF-8", kTextHead + "question:\nanswer: A\ncaption: d\xE9j\xE0\n", 5, "invalid UTF-8"},
    {"character outside Windows-1252", kTextHead + "question:\nanswer: A\ncaption: " + utf8(0x100) + "\n", 5, "U+0100"},
    {"ninety-seventh question", kTextHead + [] {
         std::string text;
         for (int i = 1; i <= 97; ++i) text += "question: " + std::to_string(i) + "\nanswer: A\n";
         return text;
     }(), 2 + 2 * 96 + 1, "at most 96"},
    {"more codes than questions", kTextHead + "code: 1\ncode: 2\nquestion:\nanswer: A\n", 4, "more codes (2) than questions (1)"},
    {"no title", "kind: text\nquestion:\nanswer: A\n", 0, "no 'title'"},
    {"no kind", "title: T\nquestion:\nanswer: A\n", 0, "no 'kind'"},
    {"no question", kTextHead, 0, "no question"},
    {"media in a text quiz", kTextHead + "question:\nanswer: A\nmedia: pic.jpg\n", 5, "a text quiz has no media"},
    {"missing media", kPictureHead + "question:\nanswer: A\n", 3, "question 1 has no 'media'"},
    {"media file not found", kPictureHead + "question:\nanswer: A\nmedia: nowhere.jpg\n", 5, "cannot open 'nowhere.jpg'"},
    {"media is a folder", kPictureHead + "question:\nanswer: A\nmedia: folder.jpg\n", 5, "cannot open 'folder.jpg'"},
    {"media without file name", kPictureHead + "question:\nanswer: A\nmedia:\n", 5, "a file name is needed"},
    {"unsupported picture extension", kPictureHead + "question:\nanswer: A\nmedia: pic.tif\n", 5, "a picture must be"},
    {"sound in a picture quiz", kPictureHead + "question:\nanswer: A\nmedia: song.mp3\n", 5, "a picture must be"},
    {"picture in a sound quiz", "title: T\nkind: sound\nquestion:\nanswer: A\nmedia: pic.jpg\n", 5, "a sound must be"},
    {"picture in a video quiz", "title: T\nkind: video\nquestion:\nanswer: A\nmedia: pic.jpg\n", 5, "a video must be"},
    {"content under the wrong extension", kPictureHead + "question:\nanswer: A\nmedia: fake.jpg\n", 5, "it is a PNG file"},
    {"unrecognised content", kPictureHead + "question:\nanswer: A\nmedia: junk.png\n", 5, "match no accepted format"},
    {"empty media file", kPictureHead + "question:\nanswer: A\nmedia: empty.jpg\n", 5, "match no accepted format"},
    {"RIFF that is not AVI", "title: T\nkind: video\nquestion:\nanswer: A\nmedia: wave.avi\n", 5, "match no accepted format"},
    {"answer picture without its reveal mode", kPictureHead + "reveal: 2\nquestion:\nanswer: A\nmedia: pic.jpg\nanswer-picture: pic.png\n", 7, "answer picture is shown only"},
    {"answer picture in a sound quiz", "title: T\nkind: sound\nreveal: 1\nquestion:\nanswer: A\nmedia: song.mp3\nanswer-picture: pic.png\n", 7, "answer picture is shown only"},
    {"answer picture of the wrong format", kPictureHead + "reveal: 1\nquestion:\nanswer: A\nmedia: pic.jpg\nanswer-picture: clip.avi\n", 7, "a picture must be"},
};

TEST_F(QuizSourceTest, ReportsEachRuleAtItsLine)
{
    for (const ErrorCase& row : kErrorCases) {
        SCOPED_TRACE(row.rule);
        const ParseResult result = parse(row.source);
        const std::vector<Diagnostic> errors = errorsOf(result);
        ASSERT_EQ(errors.size(), 1u) << listed(result.diagnostics);
        EXPECT_EQ(errors[0].line, row.line) << listed(errors);
        EXPECT_NE(errors[0].message.find(row.message), std::string::npos) << listed(errors);
        EXPECT_TRUE(result.hasErrors());
    }
}

TEST_F(QuizSourceTest, ListsEveryErrorNotOnlyTheFirst)
{
    // Line by line: 3 reveal 9, 5 '|', 10 unknown key; the question of line 6 lacks its answer.
    const std::vector<Diagnostic> errors = errorsOf(parse(kTextHead + joinLines({"reveal: 9", "question:", "answer: A|B",
        "question:", "caption: no answer", "question:", "answer: C", "bogus: 1"})));
    std::vector<int> lines;
    for (const Diagnostic& error : errors) lines.push_back(error.line);
    EXPECT_EQ(lines, (std::vector<int>{3, 5, 10, 6})) << listed(errors);
}

TEST_F(QuizSourceTest, KeepsValuesAsWritten)
{
    const ParseResult result = parse("\xEF\xBB\xBF"  // a byte order mark some editors add
                                     "# comment\r\ntitle:Sans espace\r\n   \r\nauthor:  two spaces  \r\n"
                                     "  explanation: indented key\r\nkind: text\r\nquestion: a note nobody reads\r\n"
                                     "  # indented comment\r\nanswer: Qu" + utf8(0xE9) + "bec\r\ncaption: a: b #c\r\n"
                                     "question:\r\nanswer: B");  // last line without a line end
    ASSERT_FALSE(result.hasErrors()) << listed(result.diagnostics);
    const QuizSource& quiz = result.quiz;
    EXPECT_EQ(quiz.title, "Sans espace");
    EXPECT_EQ(quiz.author, " two spaces  ");
    EXPECT_EQ(quiz.explanation, "indented key");
    ASSERT_EQ(quiz.questions.size(), 2u);
    EXPECT_EQ(quiz.questions[0].answer1, "Qu\xE9" "bec");
    EXPECT_EQ(quiz.questions[0].caption, "a: b #c");
    EXPECT_EQ(quiz.questions[0].line, 7);
    EXPECT_EQ(quiz.questions[1].answer1, "B");
}

const char* const kKindNames[] = {"text", "picture", "sound", "video"};
const char* const kKindMedia[] = {"", "pic.png", "song.mp3", "clip.avi"};

// Settings read with their defaults, and media recognised by their content.
TEST_F(QuizSourceTest, ReadsSettingsAndMedia)
{
    const struct {
        std::string lines;
        std::vector<int> redGreenBlueAnswersReveal;
        QuizKind kind;
        const char* media;     // as written, with trailing blanks after it; none in a text quiz
        const char* resolved;  // where it must be found
        MediaFormat format;
    } cases[] = {
        {"kind: text\n", {90, 95, 150, 1, 0}, QuizKind::Text, "", "", {}},
        {"kind: text\nbackground: #5A5F96\n", {90, 95, 150, 1, 0}, QuizKind::Text, "", "", {}},
        {"kind: text\nbackground: #ff00aB\nreveal: 4\n", {255, 0, 171, 1, 4}, QuizKind::Text, "", "", {}},
        {"kind: sound\nbackground:  0   7\t255 \nanswers: 2\n", {0, 7, 255, 2, 0}, QuizKind::Sound, "song.mp3", "song.mp3", MediaFormat::Mp3},
        {"kind: video \nreveal: 3 \nanswers: 1\n", {90, 95, 150, 1, 3}, QuizKind::Video, "clip.avi", "clip.avi", MediaFormat::Avi},
        {"kind: picture\nreveal: 1\n", {90, 95, 150, 1, 1}, QuizKind::Picture, "pic.png", "pic.png", MediaFormat::Png},
        {"kind: picture\n", {90, 95, 150, 1, 0}, QuizKind::Picture, "pic.jpg", "pic.jpg", MediaFormat::Jpeg},
        {"kind: picture\n", {90, 95, 150, 1, 0}, QuizKind::Picture, "pics/deep.JPEG", "pics/deep.JPEG", MediaFormat::Jpeg},
        // Windows separators work everywhere.
        {"kind: picture\n", {90, 95, 150, 1, 0}, QuizKind::Picture, "pics\\deep.JPEG", "pics/deep.JPEG", MediaFormat::Jpeg},
        {"kind: picture\n", {90, 95, 150, 1, 0}, QuizKind::Picture, "pic.gif", "pic.gif", MediaFormat::Gif},
        {"kind: picture\n", {90, 95, 150, 1, 0}, QuizKind::Picture, "pic.bmp", "pic.bmp", MediaFormat::Bmp},
        {"kind: sound\n", {90, 95, 150, 1, 0}, QuizKind::Sound, "bare.mp3", "bare.mp3", MediaFormat::Mp3},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.lines + row.media);
        const bool hasMedia = row.media[0] != '\0';
        const ParseResult result = parse("title: T\n" + row.lines + "question:\nanswer: A\n" +
                                         (row.redGreenBlueAnswersReveal[3] == 2 ? "answer2: B\n" : "") +
                                         (hasMedia ? std::string("media: ") + row.media + "  \n" : ""));
        ASSERT_FALSE(result.hasErrors()) << listed(result.diagnostics);
        const QuizSource& quiz = result.quiz;
        EXPECT_EQ((std::vector<int>{quiz.red, quiz.green, quiz.blue, quiz.answersPerQuestion, quiz.revealMode}),
                  row.redGreenBlueAnswersReveal);
        EXPECT_EQ(quiz.kind, row.kind);
        const std::optional<MediaFile>& media = quiz.questions[0].media;
        ASSERT_EQ(media.has_value(), hasMedia);
        if (hasMedia) {
            EXPECT_EQ(media->format, row.format);
            EXPECT_TRUE(fs::equivalent(media->path, scratch.path() / row.resolved));
        }
    }
}

TEST_F(QuizSourceTest, WarnsAndNotesWithoutFailing)
{
    const ParseResult result =
        parse(kTextHead + "code: X\nquestion:\nanswer: PARIS \nquestion:\nanswer:  LYON\nquestion:\nanswer: NICE\n");
    ASSERT_FALSE(result.hasErrors()) << listed(result.diagnostics);
    ASSERT_EQ(result.diagnostics.size(), 3u) << listed(result.diagnostics);
    EXPECT_EQ(formatDiagnostic("q.txt", result.diagnostics[0]).rfind("q.txt:5: warning: ", 0), 0u);
    EXPECT_EQ(formatDiagnostic("q.txt", result.diagnostics[1]).rfind("q.txt:7: warning: ", 0), 0u);
    EXPECT_EQ(formatDiagnostic("q.txt", result.diagnostics[2]), "q.txt: note: 2 of 3 codes are not given and stay empty");
    EXPECT_EQ(result.quiz.questions[0].answer1, "PARIS ");
    EXPECT_EQ(result.quiz.codes, (std::vector<std::string>{"X", "", ""}));
}

// ---------------------------------------------------------------------------------------------
// Record bytes

QuizSource smallQuiz(QuizKind kind, int answers, int reveal)
{
    QuizSource quiz;
    quiz.title = "Ti";
    quiz.author = "Au";
    quiz.explanation = "Ex";
    quiz.answerLabel1 = "L1";
    quiz.kind = kind;
    quiz.answersPerQuestion = answers;
    quiz.revealMode = reveal;
    quiz.red = 1;
    quiz.green = 0x7C;  // the separator's value: a colour byte is not a text
    quiz.blue = 3;
    for (const std::string n : {"1", "2"}) {
        quiz.questions.push_back({0, "A" + n, answers == 2 ? "B" + n : "", "C" + n, reveal >= 2 ? "R" + n : "", {}, {}});
    }
    quiz.codes = {"K1", ""};
    return quiz;
}

TEST(QuizWriter, LaysOutTheRecords)
{
    const std::string header = "Ti|Au|Ex|L1||";
    const std::string colour("\x01\x7C\x03", 3);
    const struct {
        QuizKind kind;
        int answers;
        int reveal;
        std::string expected;
    } cases[] = {
        {QuizKind::Text, 1, 0, std::string("\0\x01\x02\x01", 4) + header + "A1|C1|A2|C2|" + std::string(1, '\0') + colour},
        {QuizKind::Picture, 2, 1, std::string("\0\x02\x02\x02", 4) + header + "A1|B1|C1|A2|B2|C2|\x01" + colour},
        {QuizKind::Sound, 1, 2, std::string("\0\x03\x02\x01", 4) + header + "A1|C1|A2|C2|\x02R1|R2|" + colour},
        {QuizKind::Video, 2, 3, std::string("\0\x04\x02\x02", 4) + header + "A1|B1|C1|A2|B2|C2|\x03R1||R2||" + colour},
        {QuizKind::Picture, 1, 4, std::string("\0\x02\x02\x01", 4) + header + "A1|C1|A2|C2|\x04R1|R2|" + colour},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << "answers " << row.answers << ", reveal " << row.reveal);
        const std::vector<unsigned char> bytes = buildQuizRecord(smallQuiz(row.kind, row.answers, row.reveal));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), row.expected);
    }
    const std::vector<unsigned char> codes = buildCodeRecord(smallQuiz(QuizKind::Text, 1, 0));
    EXPECT_EQ(std::string(codes.begin(), codes.end()), "K1\r\n\r\n") << "one code line per question";
}

TEST(QuizWriter, NamesMediaAsThePlayerLooksThemUp)
{
    QuizSource quiz = smallQuiz(QuizKind::Picture, 1, 3);
    quiz.questions.push_back(quiz.questions[0]);
    quiz.questions[0].media = MediaFile{"a/one.jpeg", MediaFormat::Jpeg};
    quiz.questions[1].media = MediaFile{"two.png", MediaFormat::Png};
    quiz.questions[2].media = MediaFile{"three.gif", MediaFormat::Gif};
    quiz.questions[0].answerPicture = MediaFile{"x.png", MediaFormat::Png};
    quiz.questions[2].answerPicture = MediaFile{"y.bmp", MediaFormat::Bmp};
    const std::vector<MediaResource> media = planMediaResources(quiz);
    ASSERT_EQ(media.size(), 5u);
    EXPECT_EQ(media[0].source, fs::path("a/one.jpeg"));
    EXPECT_EQ(media[3].source, fs::path("x.png"));
    EXPECT_EQ(buildResourceScript(media),
              "// Quiz resources made by quizc from the quiz source; regenerated on every build.\n"
              "104 PATCH \"quiz104.bin\"\n"
              "105 PATCH \"quiz105.bin\"\n"
              "401 IMG \"media401.jpg\"\n"
              "402 RCDATA \"media402.png\"\n"
              "403 IMG \"media403.gif\"\n"
              "10401 RCDATA \"answer10401.png\"\n"
              "10403 IMG \"answer10403.bmp\"\n");

    QuizSource sound = smallQuiz(QuizKind::Sound, 1, 0);
    sound.questions[1].media = MediaFile{"s.mp3", MediaFormat::Mp3};
    EXPECT_EQ(buildResourceScript(planMediaResources(sound)).substr(buildResourceScript({}).size()),
              "402 IMG \"media402.mp3\"\n");
}

// ---------------------------------------------------------------------------------------------
// Round trips: source text -> compiled resources -> the player's decoder and parsers

struct LoadedQuiz {
    LoadedQuiz() : state(new QuizState) { resetQuizData(*state); }
    ~LoadedQuiz() { releaseQuestions(*state); }
    std::unique_ptr<QuizState> state;
};

// Decodes and parses both compiled records as the player does at start-up.
void loadCompiled(const CompiledQuiz& compiled, QuizState& state)
{
    LzwOutput quizBytes, codeBytes;
    ASSERT_EQ(lzwDecode(compiled.quizRecord.data(), compiled.quizRecord.size(), quizBytes), kLzwOk);
    ASSERT_EQ(parseQuizResource(state, quizBytes.bytes.data(), quizBytes.bytes.size()), 1);
    ASSERT_EQ(lzwDecode(compiled.codeRecord.data(), compiled.codeRecord.size(), codeBytes), kLzwOk);
    ASSERT_EQ(parseCodeResource(state, codeBytes.bytes.data(), codeBytes.bytes.size()), 1);
}

// Each question's answer1, answer2, caption and reveal text, in the source (UTF-8) and as the
// player must hold them (Windows-1252).
const std::vector<std::vector<std::pair<std::string, std::string>>> kQuestions = {
    {{"BRUXELLES", "BRUXELLES"}, {"BELGIQUE", "BELGIQUE"}, {"Capitale ?", "Capitale ?"}, {"Si" + utf8(0xE8) + "ge", "Si\xE8ge"}},
    {{"RH" + utf8(0xD4) + "NE", "RH\xD4NE"}, {utf8(0x152) + "IL", "\x8CIL"}, {"", ""}, {"", ""}},
    {{"FRAN" + utf8(0xC7) + "AIS", "FRAN\xC7" "AIS"}, {"x", "x"}, {"  espac" + utf8(0xE9) + "  ", "  espac\xE9  "}, {utf8(0x20AC) + " 5", "\x80 5"}},
};

TEST(QuizRoundTrip, PlayerReadsBackWhatTheSourceSays)
{
    struct Case {
        QuizKind kind;
        int answers;
        int reveal;
    };
    std::vector<Case> cases = {{QuizKind::Sound, 2, 4}, {QuizKind::Video, 1, 2}};
    for (int reveal = 0; reveal <= 4; ++reveal) {
        cases.push_back({QuizKind::Text, 1, reveal});
        cases.push_back({QuizKind::Picture, 2, reveal});
    }
    const ScratchFolder scratch(kMediaFiles);
    for (const Case& row : cases) {
        const int kind = static_cast<int>(row.kind);
        const bool answerPictures = row.kind == QuizKind::Picture && (row.reveal == 1 || row.reveal == 3);
        SCOPED_TRACE(testing::Message() << kKindNames[kind] << ", answers " << row.answers << ", reveal " << row.reveal);
        std::string text = "title: Le Qu" + utf8(0xE9) + "bec\nauthor: Zo" + utf8(0xEB) + "\nexplanation: \n" +
                           "label1: Premi" + utf8(0xE8) + "re\nlabel2: Seconde\nkind: " + kKindNames[kind] +
                           "\nanswers: " + std::to_string(row.answers) + "\nreveal: " + std::to_string(row.reveal) +
                           "\nbackground: #0A7C" "FF\ncode: C" + utf8(0xE9) + "1\ncode: A|B\n";
        for (const auto& question : kQuestions) {
            text += "question:\nanswer: " + question[0].first + "\ncaption: " + question[2].first + "\n";
            if (row.answers == 2) text += "answer2: " + question[1].first + "\n";
            if (row.reveal >= 2) text += "reveal: " + question[3].first + "\n";
            if (kind) text += std::string("media: ") + kKindMedia[kind] + "\n";
            if (answerPictures) text += "answer-picture: pic.jpg\n";
        }
        const ParseResult parsed = parseQuizSource(text, scratch.path());
        ASSERT_FALSE(parsed.hasErrors()) << listed(parsed.diagnostics);

        const CompiledQuiz compiled = compileQuiz(parsed.quiz);
        EXPECT_EQ(compiled.media.size(), (kind ? 3u : 0u) + (answerPictures ? 3u : 0u));
        LoadedQuiz loaded;
        loadCompiled(compiled, *loaded.state);
        const QuizState& state = *loaded.state;
        EXPECT_EQ(std::string(state.title) + "|" + state.author + "|" + state.explanation + "|" + state.answerLabel1 +
                      "|" + state.answerLabel2 + "|" + state.codes[0] + "|" + state.codes[1] + "|" + state.codes[2],
                  "Le Qu\xE9" "bec|Zo\xEB||Premi\xE8re|Seconde|C\xE9" "1|A|B|");
        EXPECT_EQ((std::vector<int>{state.mediaKind, state.questionCount, state.answersPerQuestion, state.revealMode,
                                    state.backRed, state.backGreen, state.backBlue}),
                  (std::vector<int>{kind, 3, row.answers, row.reveal, 0x0A, 0x7C, 0xFF}));
        for (int n = 1; n <= 3; ++n) {
            const auto& expected = kQuestions[static_cast<std::size_t>(n - 1)];
            const QuestionRecord* record = questionByNumber(state, n);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->answer1, expected[0].second);
            EXPECT_EQ(record->answer2, row.answers == 2 ? expected[1].second : "");
            EXPECT_EQ(record->caption, expected[2].second);
            EXPECT_EQ(record->revealText, row.reveal >= 2 ? expected[3].second : "");
        }
        EXPECT_EQ(questionByNumber(state, 3)->next, nullptr);
    }
}

// The largest quiz: 96 questions, two answers, reveal mode 3 and every text 259 bytes, in
// letters that compress badly, so the record comes close to the decoder's output limit.
TEST(QuizRoundTrip, LargestQuizSurvivesTheDecoder)
{
    const ScratchFolder scratch(kMediaFiles);
    std::mt19937 random(1234);
    const auto longText = [&random]() {
        std::string text;
        for (int i = 0; i < kMaxTextLength; ++i) text += static_cast<char>('A' + random() % 26);
        return text;
    };
    std::string source = "title: " + longText() + "\nauthor: " + longText() + "\nexplanation: " + longText() +
                         "\nlabel1: " + longText() + "\nlabel2: " + longText() +
                         "\nkind: picture\nanswers: 2\nreveal: 3\nbackground: 1 2 3\n";
    for (int n = 1; n <= kMaxQuestions; ++n) source += "code: " + longText() + "\n";
    std::vector<std::vector<std::string>> questions;
    for (int n = 1; n <= kMaxQuestions; ++n) {
        questions.push_back({longText(), longText(), longText(), longText()});
        source += "question: " + std::to_string(n) + "\nanswer: " + questions.back()[0] + "\nanswer2: " +
                  questions.back()[1] + "\ncaption: " + questions.back()[2] + "\nreveal: " + questions.back()[3] +
                  "\nmedia: pic.jpg\nanswer-picture: pic.png\n";
    }
    const ParseResult parsed = parseQuizSource(source, scratch.path());
    ASSERT_FALSE(parsed.hasErrors()) << listed(parsed.diagnostics);
    EXPECT_GT(buildQuizRecord(parsed.quiz).size(), 100000u);

    const CompiledQuiz compiled = compileQuiz(parsed.quiz);
    EXPECT_EQ(compiled.media.size(), 2u * kMaxQuestions);
    LoadedQuiz loaded;
    loadCompiled(compiled, *loaded.state);
    const QuizState& state = *loaded.state;
    ASSERT_EQ(state.questionCount, kMaxQuestions);
    EXPECT_EQ(state.title, parsed.quiz.title);
    EXPECT_EQ(state.answerLabel2, parsed.quiz.answerLabel2);
    EXPECT_EQ(state.backBlue, 3);
    for (int n = 1; n <= kMaxQuestions; ++n) {
        const QuestionRecord* record = questionByNumber(state, n);
        ASSERT_EQ((std::vector<std::string>{record->answer1, record->answer2, record->caption, record->revealText}),
                  questions[static_cast<std::size_t>(n - 1)]) << n;
        ASSERT_EQ(state.codes[n - 1], parsed.quiz.codes[static_cast<std::size_t>(n - 1)]) << n;
    }
    EXPECT_EQ(questionByNumber(state, kMaxQuestions)->next, nullptr);
}

// The demo text quiz shipped with the player: it must build cleanly and load as a list quiz.
TEST(DemoQuiz, TextQuizCompilesCleanly)
{
    const fs::path source = fs::path(__FILE__).parent_path() / ".." / ".." / "quizzes" / "texte" / "quiz.txt";
    const std::string text = readAll(source);
    ASSERT_FALSE(text.empty()) << pathToUtf8(source);
    const ParseResult parsed = parseQuizSource(text, source.parent_path());
    EXPECT_TRUE(parsed.diagnostics.empty()) << listed(parsed.diagnostics);
    const QuizSource& quiz = parsed.quiz;
    EXPECT_EQ(quiz.kind, QuizKind::Text);
    EXPECT_EQ(quiz.answersPerQuestion, 1);
    EXPECT_EQ(quiz.revealMode, 0) << "a list never shows reveal texts";
    EXPECT_GE(quiz.questions.size(), 8u);
    EXPECT_LE(quiz.questions.size(), 12u);
    for (const QuizQuestion& question : quiz.questions) {
        EXPECT_FALSE(question.caption.empty()) << question.line;
        EXPECT_TRUE(question.revealText.empty()) << question.line;
    }
    for (const std::string& code : quiz.codes) EXPECT_FALSE(code.empty());

    LoadedQuiz loaded;
    loadCompiled(compileQuiz(quiz), *loaded.state);
    EXPECT_EQ(loaded.state->questionCount, static_cast<int>(quiz.questions.size()));
    EXPECT_STREQ(loaded.state->author, "L'\xE9quipe Enigo");
}

// ---------------------------------------------------------------------------------------------
// Whole runs

class QuizCompilerRun : public testing::Test {
protected:
    void SetUp() override { writeSource("Images"); }
    void writeSource(const std::string& title, const std::string& code = "K1")
    {
        writeAll(source, joinLines({"title: " + title, "kind: picture", "reveal: 1", "code: " + code, "question:",
                                    "answer: A", "media: pic.jpg", "answer-picture: pic.png", "question:", "answer: B",
                                    "media: pics/deep.JPEG"}));
    }
    int run(const fs::path& outDir)
    {
        log.str("");
        return runQuizCompiler(pathToUtf8(source), pathToUtf8(outDir), log);
    }
    std::vector<std::string> filesIn(const fs::path& dir) const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            names.push_back(pathToUtf8(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch{kMediaFiles};
    fs::path source = scratch.path() / "quiz.txt";
    fs::path out = scratch.path() / "out";
    std::ostringstream log;
};

TEST_F(QuizCompilerRun, WritesRecordsMediaAndScript)
{
    ASSERT_EQ(run(out), 0) << log.str();
    EXPECT_EQ(filesIn(out), (std::vector<std::string>{"answer10401.png", "media401.jpg", "media402.jpg", "quiz.rc",
                                                      "quiz104.bin", "quiz105.bin"}));
    EXPECT_EQ(readAll(out / "media401.jpg"), kMediaFiles.at("pic.jpg"));
    EXPECT_EQ(readAll(out / "media402.jpg"), kMediaFiles.at("pics/deep.JPEG"));
    EXPECT_EQ(readAll(out / "answer10401.png"), kMediaFiles.at("pic.png"));
    EXPECT_NE(readAll(out / "quiz.rc").find("\n10401 RCDATA \"answer10401.png\"\n"), std::string::npos);

    const std::string packed = readAll(out / "quiz104.bin");
    LzwOutput decoded;
    ASSERT_EQ(lzwDecode(reinterpret_cast<const unsigned char*>(packed.data()), packed.size(), decoded), kLzwOk);
    EXPECT_EQ(std::string(decoded.bytes.begin() + 4, decoded.bytes.begin() + 11), "Images|");
}

// The same source gives the same bytes; a changed source rewrites only the outputs that changed.
TEST_F(QuizCompilerRun, IsReproducibleAndLeavesUnchangedOutputsAlone)
{
    ASSERT_EQ(run(out), 0) << log.str();
    ASSERT_EQ(run(scratch.path() / "again"), 0) << log.str();
    std::map<std::string, fs::file_time_type> stamps;
    for (const std::string& name : filesIn(out)) {
        EXPECT_EQ(readAll(out / name), readAll(scratch.path() / "again" / name)) << name;
        fs::last_write_time(out / name, fs::file_time_type::clock::now() - std::chrono::hours(24));
        stamps[name] = fs::last_write_time(out / name);
    }
    writeSource("Autre titre");
    ASSERT_EQ(run(out), 0) << log.str();
    for (const std::string& name : filesIn(out)) {
        EXPECT_EQ(fs::last_write_time(out / name) == stamps[name], name != "quiz104.bin") << name;
    }
}

TEST_F(QuizCompilerRun, FailedRunsWriteNothing)
{
    writeAll(source, joinLines({"title: T", "kind: picture", "question:", "answer: A|B", "media: lost.jpg"}));
    EXPECT_EQ(run(out), 1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(log.str().find("quiz.txt:4: error: '|' is not allowed"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("quiz.txt:5: error: cannot open 'lost.jpg'"), std::string::npos) << log.str();

    EXPECT_EQ(runQuizCompiler(pathToUtf8(scratch.path() / "missing.txt"), pathToUtf8(out), log), 1);
    EXPECT_FALSE(fs::exists(out));
}

// A write that fails part-way leaves every earlier output as it was and no temporary behind.
TEST_F(QuizCompilerRun, FailedWriteKeepsThePreviousOutputs)
{
    ASSERT_EQ(run(out), 0) << log.str();
    const std::string oldQuiz = readAll(out / "quiz104.bin");
    writeSource("Autre titre", "K2");
    fs::create_directories(out / "quiz105.bin.tmp");  // the code record's temporary cannot be written
    EXPECT_EQ(run(out), 1);
    EXPECT_NE(log.str().find("cannot write"), std::string::npos) << log.str();
    EXPECT_EQ(readAll(out / "quiz104.bin"), oldQuiz);
    EXPECT_FALSE(fs::exists(out / "quiz104.bin.tmp"));

    fs::remove(out / "quiz105.bin.tmp");
    ASSERT_EQ(run(out), 0) << log.str();
    EXPECT_NE(readAll(out / "quiz104.bin"), oldQuiz);
}

}  // namespace
