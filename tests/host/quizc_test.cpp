// Host tests of the quiz compiler: Windows-1252, source errors by line, record bytes, whole runs (check rules: author_lint_test).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <tuple>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "quizc/quiz_compiler.h"
#include "quizc/quiz_writer.h"
#include "quiz_files_test_support.h"

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

// One small file of each kind the compiler meets, good and bad.
const std::map<std::string, std::string> kMediaFiles = {
    {"pic.jpg", "\xFF\xD8\xFF\xE0 jpeg"}, {"pics/deep.JPEG", "\xFF\xD8\xFF\xDB other jpeg"},
    {"pic.png", "\x89PNG\r\n\x1A\n png"}, {"pic.gif", "GIF89a gif"}, {"pic.bmp", "BM bitmap"},
    {"song.mp3", "ID3\x03 tagged sound"}, {"bare.mp3", "\xFF\xFB\x90\x64 frames"},
    {"clip.avi", std::string("RIFF\x10\0\0\0AVI LIST", 16)}, {"wave.avi", std::string("RIFF\x10\0\0\0WAVEfmt ", 16)},
    {"fake.jpg", "\x89PNG\r\n\x1A\n png under jpg"}, {"junk.png", "plain text"}, {"empty.jpg", ""}};

// 0x80-0x9F, the Latin-1 edges, and (byte -1) the five undefined bytes, C1 controls and what lies beyond Latin-1.
const struct {
    char32_t codePoint;
    int byte;
} kCp1252Cases[] = {
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}, {0x0041, 0x41}, {0x007F, 0x7F}, {0x00A0, 0xA0},
    {0x00E9, 0xE9}, {0x00FF, 0xFF}, {0x0000, 0x00}, {0x0080, -1}, {0x0081, -1}, {0x008D, -1},
    {0x008F, -1}, {0x0090, -1}, {0x009D, -1}, {0x009F, -1}, {0x0100, -1}, {0x20AD, -1}, {0x1F600, -1},
};

TEST(Cp1252, MapsEveryCharacterOfTheCodePageAndNamesTheOthers)
{
    for (const auto& row : kCp1252Cases) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(row.codePoint));
        std::string out, error;
        EXPECT_EQ(cp1252FromCodePoint(row.codePoint), row.byte) << name;
        EXPECT_EQ(utf8ToCp1252("ok " + utf8(row.codePoint), out, error), row.byte >= 0) << name;
        EXPECT_TRUE(row.byte < 0 ? error.find(name) != std::string::npos : out == "ok " + std::string(1, static_cast<char>(row.byte)))
            << name << error;
    }
    // Cut sequences, overlong forms, a surrogate, past U+10FFFF, and Windows-1252 text mistaken for UTF-8.
    for (const std::string bytes : {"\x80", "\xC3", "\xE2\x82" "A", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                    "\xFF", "\xE9t\xE9"}) {
        std::string out, error;
        EXPECT_FALSE(utf8ToCp1252("ab" + bytes, out, error)) << bytes;
        EXPECT_NE(error.find("invalid UTF-8"), std::string::npos) << error;
        EXPECT_FALSE(checkUtf8(bytes, error)) << bytes;
    }
}

// Source parsing

std::vector<Diagnostic> errorsOf(const ParseResult& result)
{
    std::vector<Diagnostic> errors;
    for (const Diagnostic& d : result.diagnostics) if (d.severity == Diagnostic::Severity::Error) errors.push_back(d);
    return errors;
}

class QuizSourceTest : public testing::Test {
protected:
    ParseResult parse(const std::string& text) const { return parseQuizSource(text, scratch.path()); }
    ScratchFolder scratch{kMediaFiles};
};

std::string quizOf(const char* kind, const std::string& rest) { return "title: T\nkind: " + std::string(kind) + "\n" + rest; }
const std::string kQuestion = "question:\nanswer: A\n";

TEST_F(QuizSourceTest, ReportsEachRuleAtItsLine)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {  // each error: line, then a piece of its message
        {quizOf("text", "colour: red\n" + kQuestion), {"E3 unknown key 'colour'"}},
        {quizOf("text", kQuestion + "Caption: C\n"), {"E5 unknown key 'Caption'"}},
        {quizOf("text", kQuestion + "caption C\n"), {"E5 expected 'key: value'"}},
        {quizOf("text", "title: U\n" + kQuestion), {"E3 duplicate 'title' (first given at line 1)"}},
        {quizOf("text", "answer: A\n" + kQuestion), {"E3 belongs to a question"}},
        {quizOf("text", kQuestion + "code: X\n"), {"E5 'code' belongs before the first question"}},
        {quizOf("text", "question:\ncaption: C\n"), {"E3 question 1 has no 'answer'"}},
        {quizOf("text", "question:\nanswer:\n"), {"E4 empty answer"}},
        {quizOf("text", kQuestion + "answer2: B\n"), {"E5 'answer2' needs 'answers: 2'"}},
        {quizOf("picture", "answers: 2\n" + kQuestion + "media: pic.jpg\n"), {"E4 question 1 has no 'answer2'"}},
        {quizOf("text", "answers: 2\n" + kQuestion + "answer2: B\n"), {"E3 a text quiz shows one answer field"}},
        {quizOf("text", "answers: 3\n" + kQuestion), {"E3 'answers' must be 1 or 2"}},
        {quizOf("text", "reveal: 5\n" + kQuestion), {"E3 'reveal' must be 0 to 4"}},
        {quizOf("text", "reveal: 12\n" + kQuestion), {"E3 'reveal' must be 0 to 4"}},
        {quizOf("text", "reveal: 1\n" + kQuestion + "reveal: R\n"), {"E6 never shown with 'reveal: 1'"}},
        {quizOf("text", "background: #12345\n" + kQuestion), {"E3 'background' must be"}},
        {quizOf("text", "background: #12345G\n" + kQuestion), {"E3 'background' must be"}},
        {quizOf("text", "background: 256 0 0\n" + kQuestion), {"E3 'background' must be"}},
        {quizOf("text", "background: 1 2\n" + kQuestion), {"E3 'background' must be"}},
        {quizOf("text", "background: 1 2 3 4\n" + kQuestion), {"E3 'background' must be"}},
        {quizOf("text", "question:\nanswer: A\tB\n"), {"E4 control character U+0009"}},
        {quizOf("text", "code: A\rB\n" + kQuestion), {"E3 control character U+000D"}},
        {quizOf("text", kQuestion + "caption: d\xE9j\xE0\n"), {"E5 invalid UTF-8"}},
        {"kind: text\n" + kQuestion, {"E0 no 'title'"}},
        {"title: T\n" + kQuestion, {"E0 no 'kind'"}},
        {quizOf("text", ""), {"E0 no question"}},
        {quizOf("picture", kQuestion), {"E3 question 1 has no 'media'"}},
        {quizOf("picture", kQuestion + "media:\n"), {"E5 a file name is needed"}},
        {quizOf("picture", kQuestion + "media: song.mp3\n"), {"E5 a picture must be"}},  // a known format of another kind
        {quizOf("sound", kQuestion + "media: pic.jpg\n"), {"E5 a sound must be"}},
        {quizOf("video", kQuestion + "media: pic.jpg\n"), {"E5 a video must be"}},
        {quizOf("picture", kQuestion + "media: fake.jpg\n"), {"E5 it is a PNG file"}},
        {quizOf("picture", kQuestion + "media: junk.png\n"), {"E5 match no accepted format"}},
        {quizOf("picture", kQuestion + "media: empty.jpg\n"), {"E5 match no accepted format"}},
        {quizOf("video", kQuestion + "media: wave.avi\n"), {"E5 match no accepted format"}},
        {quizOf("picture", "reveal: 1\n" + kQuestion + "media: pic.jpg\nanswer-picture: clip.avi\n"), {"E7 a picture must be"}},
        // Every error, not only the first: the question of line 6 lacks its answer.
        {quizOf("text", "reveal: 9\nquestion:\nanswer: A|B\nquestion:\ncaption: x\nquestion:\nanswer: C\nbogus: 1\n"),
         {"E3 'reveal' must be", "E5 '|' is not allowed", "E10 unknown key 'bogus'", "E6 question 2 has no 'answer'"}},
    };
    for (const auto& [source, expected] : cases) EXPECT_EQ(matched(errorsOf(parse(source)), expected), expected) << source;
}

// Every text in its own field, in Windows-1252: round trips cannot see two fields swapped alike on both sides.
TEST_F(QuizSourceTest, KeepsValuesAsWritten)
{
    const ParseResult result = parse("\xEF\xBB\xBF# comment\r\ntitle:Sans espace\r\n   \r\nauthor:  two spaces  \r\n"
                                     "  explanation: indented key\r\nkind: sound\r\nanswers: 2\r\nlabel1: L1\r\nlabel2: L2\r\n"
                                     "reveal: 2\r\ncode: K1\r\ncode: K2\r\nquestion: a note nobody reads\r\n  # indented comment\r\n"
                                     "answer: Qu" + utf8(0xE9) + "bec\r\nanswer2: " + utf8(0x20AC) + "\r\ncaption: a: b #c\r\n"
                                     "reveal: R1\r\nmedia: song.mp3\r\nquestion:\r\nanswer: B\r\nanswer2: B2\r\nmedia: bare.mp3");
    ASSERT_FALSE(result.hasErrors()) << listed(result.diagnostics);
    const QuizSource& quiz = result.quiz;
    const QuizQuestion &first = quiz.questions[0], &second = quiz.questions[1];
    EXPECT_EQ((std::vector<std::string>{quiz.title, quiz.author, quiz.explanation, quiz.answerLabel1, quiz.answerLabel2,
                                        quiz.codes[0], quiz.codes[1], first.answer1, first.answer2, first.caption,
                                        first.revealText, std::to_string(first.line), second.answer1, second.answer2}),
              (std::vector<std::string>{"Sans espace", " two spaces  ", "indented key", "L1", "L2", "K1", "K2", "Qu\xE9" "bec",
                                        "\x80", "a: b #c", "R1", "13", "B", "B2"}));
}

// Settings with their defaults, and media recognised by their content whatever their extension's case.
TEST_F(QuizSourceTest, ReadsSettingsAndMedia)
{
    // Quiz lines, question lines, and red green blue answers reveal kind [format path].
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"kind: text\n", "", "90 95 150 1 0 0"},
        {"kind: text\nbackground: #ff00aB\nreveal: 4\n", "", "255 0 171 1 4 0"},
        {"kind: sound\nbackground:  0   7\t255 \nanswers: 2\n", "answer2: B\nmedia: song.mp3\n", "0 7 255 2 0 2 MP3 song.mp3"},
        {"kind: video \nreveal: 3 \nanswers: 1\n", "media: clip.avi\n", "90 95 150 1 3 3 AVI clip.avi"},
        {"kind: picture\nreveal: 1\n", "media: pic.png\n", "90 95 150 1 1 1 PNG pic.png"},
        {"kind: picture\n", "media: pics\\deep.JPEG  \n", "90 95 150 1 0 1 JPEG pics/deep.JPEG"},
        {"kind: picture\n", "media: pic.gif\n", "90 95 150 1 0 1 GIF pic.gif"},
        {"kind: picture\n", "media: pic.bmp\n", "90 95 150 1 0 1 BMP pic.bmp"},
        {"kind: sound\n", "media: bare.mp3\n", "90 95 150 1 0 2 MP3 bare.mp3"},
    };
    for (const auto& [quizLines, questionLines, expected] : cases) {
        const std::string source = "title: T\n" + quizLines + kQuestion + questionLines;
        const ParseResult result = parse(source);
        ASSERT_FALSE(result.hasErrors()) << source << listed(result.diagnostics);
        const QuizSource& quiz = result.quiz;
        const std::optional<MediaFile>& media = quiz.questions[0].media;
        char got[64];
        std::snprintf(got, sizeof got, "%d %d %d %d %d %d", quiz.red, quiz.green, quiz.blue, quiz.answersPerQuestion,
                      quiz.revealMode, static_cast<int>(quiz.kind));
        EXPECT_EQ(got + (media ? std::string(" ") + mediaFormatName(media->format) + " " +
                                     pathToUtf8(media->path.lexically_relative(scratch.path()))
                               : ""),
                  expected) << source;
    }
}

TEST_F(QuizSourceTest, WarnsAndNotesWithoutFailing)
{
    const ParseResult result = parse(quizOf("text", "code: X\nquestion:\nanswer: PARIS \nquestion:\nanswer:  LYON\n" + kQuestion));
    const std::vector<std::string> expected = {"W5 answer starts or ends with a blank", "W7 answer starts or ends with a blank",
                                               "N0 2 of 3 codes are not given and stay empty"};
    EXPECT_EQ(matched(result.diagnostics, expected), expected);
    EXPECT_EQ(result.quiz.questions[0].answer1, "PARIS ");
    EXPECT_EQ(result.quiz.codes, (std::vector<std::string>{"X", "", ""}));
}

// Record bytes

QuizSource smallQuiz(QuizKind kind, int answers, int reveal)
{
    QuizSource quiz;
    quiz.title = "Ti", quiz.author = "Au", quiz.explanation = "Ex", quiz.answerLabel1 = "L1";
    quiz.kind = kind, quiz.answersPerQuestion = answers, quiz.revealMode = reveal;
    quiz.red = 1, quiz.green = 0x7C, quiz.blue = 3;  // the separator's value: a colour byte is not a text
    for (const std::string n : {"1", "2"})
        quiz.questions.push_back({0, "A" + n, answers == 2 ? "B" + n : "", "C" + n, reveal >= 2 ? "R" + n : "", {}, {}});
    quiz.codes = {"K1", ""};
    return quiz;
}

TEST(QuizWriter, LaysOutTheRecords)
{
    const std::string header = "Ti|Au|Ex|L1||", colour("\x01\x7C\x03", 3);
    const std::tuple<QuizKind, int, int, std::string> cases[] = {  // kind, answers, reveal mode, record
        {QuizKind::Text, 1, 0, std::string("\0\x01\x02\x01", 4) + header + "A1|C1|A2|C2|" + std::string(1, '\0') + colour},
        {QuizKind::Picture, 2, 1, std::string("\0\x02\x02\x02", 4) + header + "A1|B1|C1|A2|B2|C2|\x01" + colour},
        {QuizKind::Sound, 1, 2, std::string("\0\x03\x02\x01", 4) + header + "A1|C1|A2|C2|\x02R1|R2|" + colour},
        {QuizKind::Video, 2, 3, std::string("\0\x04\x02\x02", 4) + header + "A1|B1|C1|A2|B2|C2|\x03R1||R2||" + colour},
        {QuizKind::Picture, 1, 4, std::string("\0\x02\x02\x01", 4) + header + "A1|C1|A2|C2|\x04R1|R2|" + colour},
    };
    for (const auto& [kind, answers, reveal, expected] : cases) {
        const std::vector<unsigned char> bytes = buildQuizRecord(smallQuiz(kind, answers, reveal));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected) << reveal;
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
    EXPECT_EQ(pathToUtf8(media[0].source) + " " + pathToUtf8(media[3].source), "a/one.jpeg x.png");
    EXPECT_EQ(buildResourceScript(media), "// Quiz resources made by quizc from the quiz source; regenerated on every build.\n"
              "104 PATCH \"quiz104.bin\"\n105 PATCH \"quiz105.bin\"\n401 IMG \"media401.jpg\"\n402 RCDATA \"media402.png\"\n"
              "403 IMG \"media403.gif\"\n10401 RCDATA \"answer10401.png\"\n10403 IMG \"answer10403.bmp\"\n");
}

// Whole runs

class QuizCompilerRun : public testing::Test {
protected:
    void SetUp() override { writeSource("Images", "K1"); }
    void writeSource(const std::string& title, const std::string& code)
    {
        writeAll(source, "title: " + title + "\nkind: picture\nreveal: 1\ncode: " + code +
                             "\nquestion:\nanswer: A\nmedia: pic.jpg\nanswer-picture: pic.png\n"
                             "question:\nanswer: B\nmedia: pics/deep.JPEG\n");
    }
    int run(const fs::path& outDir)
    {
        log.str("");
        return runQuizCompiler(pathToUtf8(source), pathToUtf8(outDir), log);
    }
    // Every output file with its bytes.
    std::map<std::string, std::string> filesIn(const fs::path& dir) const
    {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) files[pathToUtf8(entry.path().filename())] = readAll(entry.path());
        return files;
    }

    ScratchFolder scratch{kMediaFiles};
    fs::path source = scratch.path() / "quiz.txt", out = scratch.path() / "out";
    std::ostringstream log;
};

// The same source gives the same bytes; a changed source rewrites only the outputs that changed.
TEST_F(QuizCompilerRun, WritesEveryOutputReproduciblyAndOnlyWhenChanged)
{
    ASSERT_EQ(run(out), 0) << log.str();
    const std::map<std::string, std::string> files = filesIn(out);
    const CompiledQuiz compiled = compileQuiz(parseQuizSource(readAll(source), scratch.path()).quiz);
    EXPECT_EQ(files, (std::map<std::string, std::string>{
                         {"answer10401.png", kMediaFiles.at("pic.png")}, {"media401.jpg", kMediaFiles.at("pic.jpg")},
                         {"media402.jpg", kMediaFiles.at("pics/deep.JPEG")}, {"quiz.rc", compiled.resourceScript},
                         {"quiz104.bin", std::string(compiled.quizRecord.begin(), compiled.quizRecord.end())},
                         {"quiz105.bin", std::string(compiled.codeRecord.begin(), compiled.codeRecord.end())}}));
    ASSERT_EQ(run(scratch.path() / "again"), 0) << log.str();
    EXPECT_EQ(filesIn(scratch.path() / "again"), files);

    for (const auto& file : files) fs::last_write_time(out / file.first, fs::file_time_type::clock::now() - std::chrono::hours(24));
    std::map<std::string, fs::file_time_type> stamps;
    for (const auto& file : files) stamps[file.first] = fs::last_write_time(out / file.first);
    writeSource("Autre titre", "K1");
    ASSERT_EQ(run(out), 0) << log.str();
    for (const auto& file : files) EXPECT_EQ(fs::last_write_time(out / file.first) == stamps[file.first], file.first != "quiz104.bin") << file.first;
}

// Errors by file and line and nothing written; a write that fails part-way leaves every earlier output as it was.
TEST_F(QuizCompilerRun, FailedRunsKeepThePreviousOutputs)
{
    writeAll(source, "title: T\nkind: picture\nquestion:\nanswer: A|B\nmedia: lost.jpg\n");
    EXPECT_EQ(run(out), 1);
    EXPECT_NE(log.str().find("quiz.txt:4: error: '|' is not allowed"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("quiz.txt:5: error: cannot open 'lost.jpg'"), std::string::npos) << log.str();
    EXPECT_EQ(runQuizCompiler(pathToUtf8(scratch.path() / "missing.txt"), pathToUtf8(out), log), 1);
    EXPECT_FALSE(fs::exists(out));

    writeSource("Images", "K1");
    ASSERT_EQ(run(out), 0) << log.str();
    const std::map<std::string, std::string> before = filesIn(out);
    writeSource("Autre titre", "K2");
    fs::create_directories(out / "quiz105.bin.tmp");  // the code record's temporary cannot be written
    EXPECT_EQ(run(out), 1);
    EXPECT_NE(log.str().find("cannot write"), std::string::npos) << log.str();
    fs::remove(out / "quiz105.bin.tmp");
    EXPECT_EQ(filesIn(out), before) << "nor a temporary file left behind";
    ASSERT_EQ(run(out), 0) << log.str();
    EXPECT_NE(filesIn(out), before);
}

}  // namespace
