// Host tests of the quiz compiler and the authoring tool: Windows-1252, the check's rules by line, compiler runs
// read back by the player's decoder and parsers, source and extraction round trips, media and PE headers, and
// the commands over a stand-in for the Windows resource functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "author.h"
#include "common/cp1252.h"
#include "lint.h"
#include "lzw_encode.h"
#include "media_info.h"
#include "pe_stamp.h"
#include "quiz/lzw.h"
#include "quiz_record_builder.h"
#include "quizc/quiz_compiler.h"
#include "source_writer.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Bytes = std::vector<unsigned char>;

std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& path, const std::string& bytes)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file under a folder with its bytes (a folder as "/"), to show what a command changed.
Files filesIn(const fs::path& folder)
{
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path().lexically_relative(folder).string()] = entry.is_regular_file() ? readAll(entry.path()) : "/";
    return files;
}

// A fresh temporary folder holding the given files (a name ending in '/' makes a folder), removed at the end.
struct ScratchFolder {
    explicit ScratchFolder(const Files& files = {})
    {
        fs::create_directories(path);
        for (const auto& [name, bytes] : files) name.back() == '/' ? void(fs::create_directories(path / name)) : writeAll(path / name, bytes);
    }
    ~ScratchFolder() { std::error_code ignored; fs::remove_all(path, ignored); }
    const fs::path path = fs::temp_directory_path() / ("enigo_test_" + std::to_string(std::random_device()()));
};

// Each diagnostic as "E3 message" ("W" a warning), shown as the expected entry at its place when severity and
// line agree and the message holds the rest of that entry.
std::vector<std::string> matched(const std::vector<Diagnostic>& diagnostics, const std::vector<std::string>& expected = {})
{
    std::vector<std::string> got;
    for (const Diagnostic& d : diagnostics) {
        got.push_back("EWN"[static_cast<int>(d.severity)] + std::to_string(d.line) + " " + d.message);
        const std::string want = got.size() <= expected.size() ? expected[got.size() - 1] : "";
        const std::size_t space = want.find(' ');
        if (space != std::string::npos && got.back().compare(0, space + 1, want, 0, space + 1) == 0 &&
            got.back().find(want.substr(space + 1)) != std::string::npos)
            got.back() = want;
    }
    return got;
}

TEST(Cp1252, MapsEveryCharacterOfTheCodePageAndNamesTheOthers)
{
    const std::string text = "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸA\x7F\u00A0é\u00FF",
                      bytes = "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A"
                              "\x9B\x9C\x9E\x9F" "A\x7F\xA0\xE9\xFF";
    std::string out, error;
    EXPECT_TRUE(utf8ToCp1252(text, out, error) && out == bytes) << error;
    EXPECT_EQ(cp1252ToUtf8(bytes + "\x81\x8D\x8F\x90\x9D"), text + "\u0081\u008D\u008F\u0090\u009D");  // undefined: C1 controls
    for (const std::string bad : {"\u0080", "\u0081", "\u009D", "\u0100", "\U0001F600"})  // C1 controls and beyond, named
        EXPECT_TRUE(!utf8ToCp1252("ok " + bad, out, error) && error.find("character U+") != std::string::npos) << error;
    for (const std::string bad : {"\x80", "\xC3", "\xE2\x82" "A", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_TRUE(!utf8ToCp1252("ab" + bad, out, error) && !checkUtf8(bad, error) && error.find("invalid UTF-8") == 0) << bad;
}

// A JPEG of 32 x 16 pixels: the given segments, then a frame header of the given coding process.
std::string jpeg(char process = '\xC0', const std::string& before = "")
{
    return "\xFF\xD8" + before + "\xFF" + process +
           std::string("\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 19);
}

// A PngSuite picture of 32 x 32, or the same cut inside its image data, which the decoder refuses.
std::string png(bool cut = false)
{
    const std::string whole = readAll(fs::path(ENIGO_PNGSUITE_DIR) / "basn2c08.png");
    return cut ? whole.substr(0, whole.size() / 2) : whole;
}
const std::string kAvi("RIFF\x10\0\0\0AVI LIST", 16);

// Replaces whole lines (numbered from 1) of a source.
std::string edit(const std::string& source, const std::map<int, std::string>& lines)
{
    std::string out, line;
    std::istringstream in(source);
    for (int number = 1; std::getline(in, line); ++number) out += (lines.count(number) ? lines.at(number) : line) + "\n";
    return out;
}

// Clean quizzes with spare comment lines that cases turn into keys; a code may hold '|'.
const std::string kText = "title: Capitales\nkind: text\n# spare\ncode: UN\ncode: DE|UX\n"  // lines 1-5
                          "question: 1\ncaption: Belgique ?\nanswer: BRUXELLES\n# spare\n"     // 6-9
                          "question: 2\ncaption: Italie ?\nanswer: ROME\n# spare\n";           // 10-13
const std::string kPicture = "title: Formes\nkind: picture\nreveal: 3\n# spare\ncode: UN\ncode: DEUX\n"     // 1-6
                             "question: 1\nmedia: rond.jpg\nanswer-picture: rond-r.png\nanswer: CERCLE\n"  // 7-10
                             "reveal: Tout rond.\n# spare\nquestion: 2\nmedia: carre.png\n"                // 11-14
                             "answer-picture: carre-r.jpg\nanswer: TRIANGLE\nreveal: Trois angles.\n# spare\n";  // 15-18

Files pictures(const Files& changes = {})  // the picture quiz's files; an empty content removes one
{
    Files files = {{"rond.jpg", jpeg()}, {"rond-r.png", png()}, {"carre.png", png()}, {"carre-r.jpg", jpeg('\xC2')}};
    for (const auto& [name, bytes] : changes) bytes.empty() ? void(files.erase(name)) : void(files[name] = bytes);
    return files;
}

// `count` questions whose answers ('ABABAB', 'ACACAC'...) are three edits apart and no anagrams, and as many codes.
std::string manyQuestions(int count)
{
    std::string source = "title: Grand quiz\nkind: text\n";
    for (int i = 0; i < count; ++i) source += "code: C\n";
    for (char a = 'A', b = 'B'; count-- > 0; b = b == 'Z' ? ++a + 1 : b + 1)
        source += "question:\ncaption: Q\nanswer: " + std::string{a, b, a, b, a, b} + "\n";
    return source;
}

// Each source with its files gives exactly these diagnostics, by line: "E" or "W", the line, a piece of the message.
TEST(Check, ReportsExactlyWhatIsWrongAtItsLine)
{
    std::string e259, answers = "title: T\nkind: text\n";
    for (int i = 0; i < 259; ++i) e259 += "é";
    for (const char* answer : {"ROMA", "ROME", "MARSEILLE", "MARCEILE", "CHIEN", "NICHE", "COQ", "COQS", "Bœuf", "ÉTÉ bientôt",
                               "PARIS", "PERSE", "ROME"})  // each on line 5 + 3n
        answers += "question:\ncaption: C\nanswer: " + std::string(answer) + "\n";
    const Files media = {{"song.mp3", "ID3\x03"}, {"fake.jpg", png()}, {"clip.avi", kAvi}, {"junk.png", "plain text"},
                         {"wave.avi", std::string("RIFF\x10\0\0\0WAVEfmt ", 16)}, {"rond.jpg", jpeg()}};
    const std::tuple<std::string, Files, std::vector<std::string>> cases[] = {
        {edit(kText, {{3, "explanation: " + e259}}), {}, {}},  // 259 bytes in Windows-1252
        {kPicture, pictures(), {}},
        {"title: T\nkind: text\ncolour: red\ntitle: U\nanswer: A\nanswers: 3\nreveal: 12\nbackground: #12345G\nlabel1 L\n"
         "author: A\tB\nexplanation: d\xE9j\xE0\ncode: A\rB\nquestion:\nCaption: C\ncode: X\nanswer: A|B\nquestion:\n", {},
         {"E3 unknown key 'colour'", "E4 duplicate 'title' (first given at line 1)", "E5 'answer' belongs to a question",
          "E6 'answers' must be 1 or 2", "E7 'reveal' must be 0 to 4", "E8 'background' must be", "E9 expected 'key: value'",
          "E10 control character U+0009", "E11 invalid UTF-8", "E12 control character U+000D", "E14 unknown key 'Caption'",
          "E15 'code' belongs before the first question", "E16 '|' is not allowed", "E17 question 2 has no 'answer'"}},
        {"author: X\n", {}, {"E0 no 'title'", "E0 no 'kind'", "E0 the quiz has no question"}},
        {"title: T\nkind: picture\nanswers: 2\nbackground: 256 0 0\nreveal: 1\nquestion:\nanswer: ABCD\nmedia: song.mp3\n"
         "reveal: R\nquestion:\nanswer: DUPONT\nanswer2: DUPOND\nmedia: fake.jpg\nanswer-picture: clip.avi\nquestion:\n"
         "answer: MNOP\nanswer2: QRST\nanswer2: UVWX\nmedia:\nquestion:\nanswer: YZAB\nanswer2: CDEF\nmedia: junk.png\n", media,
         {"E4 'background' must be", "E6 question 1 has no 'answer2'", "E8 a picture must be", "E9 never shown with 'reveal: 1'",
          "W12 'DUPOND' and 'DUPONT' (line 11)", "E13 it is a PNG file", "E14 a picture must be", "E18 duplicate 'answer2'",
          "E19 a file name is needed", "E23 match no accepted format"}},
        {"title: T\nkind: text\nanswers: 2\nbackground: 1 2 3 4\nquestion:\nanswer: ABCD\nanswer2: EFGH\n", {},
         {"E3 a text quiz shows one answer field", "E4 'background' must be"}},
        {"title: V\nkind: video\nreveal: 4\ncode: A\ncode: B\nquestion:\nmedia: clip.avi\nanswer: ABCD\nreveal: R\nquestion:\n"
         "answer: EFGH\nreveal: S\nmedia: wave.avi\n", media, {"E13 match no accepted format"}},
        {edit(kText, {{3, "explanation: " + e259 + "é"}, {7, "caption: Łódź ?"}}), {},
         {"E3 text is 260 bytes long in Windows-1252", "E7 U+0141 has no Windows-1252 form"}},
        {manyQuestions(97), {}, {"E" + std::to_string(2 + 97 + 96 * 3 + 1) + " too many questions"}},
        {edit(kPicture, {{8, "media: dossier.jpg"}}), pictures({{"dossier.jpg/", "/"}, {"carre.png", ""}}),
         {"E8 cannot open 'dossier.jpg'", "E14 cannot open 'carre.png'"}},
        {kPicture, pictures({{"rond-r.png", png(true)}, {"rond.jpg", jpeg('\xC9')}}),
         {"W8 the player may not show 'rond.jpg'", "E9 the player cannot show 'rond-r.png'"}},
        // Rules on answers run despite errors; rules on the structure (here the codes) wait for a clean parse.
        {edit(kText, {{2, "kind: poster"}, {5, "#"}, {9, "reveal: R"}, {12, "answer: ROME "}}), {},
         {"E2 unknown kind 'poster': use text, picture, sound or video", "E9 never shown with 'reveal: 0'",
          "W12 starts or ends with a blank"}},
        // A short answer gets no hint itself, but typed into a longer one's field it does; the same answer twice is no trap.
        {answers, {}, {"W0 the quiz has no 'code'", "W8 'ROME' and 'ROMA' (line 5) are so close that a player who types one "
                       "for the other gets \"Quasiment\"", "W14 gets \"Presque\"", "W20 gets \"Anagramme\"",
                       "W23 answer 'COQ' has 3 characters or fewer", "W26 'COQS' and 'COQ' (line 23) are so close",
                       "W29 'BŒUF' typed in capitals gets FAUX", "W32 'ÉTÉ BIENTÔT' typed in capitals gets FAUX",
                       "W41 'ROME' and 'ROMA' (line 5)"}},
        {edit(kText, {{3, "reveal: 2"}, {4, "label1: Nom"}, {9, "reveal: A"}, {11, "#"}, {13, "reveal: B"}}), {},
         {"W3 a text quiz never shows reveal texts", "W4 'label1' is shown only with 'answers: 2'",
          "W5 1 code for 2 questions: the code field is empty once more than 1 are solved", "W10 question 2 has no 'caption'"}},
        {edit(kText, {{3, "code: TROIS"}, {9, "media: rond.jpg"}}), media, {"E5 more codes (3) than questions (2)",
                                                                            "E9 a text quiz has no media"}},
        {edit(kPicture, {{3, "reveal: 2"}}), pictures(),
         {"E9 an answer picture is shown only in a picture quiz with 'reveal: 1' or 'reveal: 3'", "E15 an answer picture"}},
        {edit(kPicture, {{9, "#"}, {15, "#"}}), pictures({{"images/spare.JPG", jpeg()}, {"notes.txt", "to do"}}),
         {"W0 'carre-r.jpg' in the quiz folder is not used", "W0 'images/spare.JPG' in the quiz folder is not used by any",
          "W0 'rond-r.png' in the quiz folder is not used", "W3 'reveal: 3' shows answer pictures, but no question has an"}},
        {edit(kPicture, {{12, "caption: Rond"}, {17, "#"}}), pictures(),
         {"W12 a picture quiz never shows captions", "W13 question 2 has no 'reveal' text"}},
        {edit(kPicture, {{3, "reveal: 4"}, {9, "#"}, {11, "#"}, {15, "#"}, {17, "#"}}), pictures({{"rond-r.png", ""}, {"carre-r.jpg", ""}}),
         {"W3 'reveal: 4' shows reveal texts, but no question has one"}},
        {"title: S\nkind: sound\nreveal: 1\ncode: A\nquestion:\nmedia: song.mp3\nanswer: ABCD\n", {{"song.mp3", "ID3"}},
         {"W3 'reveal: 1' shows answer pictures, which only a picture quiz has"}},
        {kText, {{"photo.jpg", jpeg()}, {"notes.txt", "to do"}}, {"W0 a text quiz shows no media: 'photo.jpg' in the quiz folder"}},
    };
    for (const auto& [source, files, expected] : cases) {
        const ScratchFolder folder(files);
        const CheckResult result = checkQuizSource(source, folder.path);
        EXPECT_EQ(matched(result.diagnostics, expected), expected) << source;
        EXPECT_EQ(result.hasErrors(), std::any_of(expected.begin(), expected.end(), [](auto& e) { return e[0] == 'E'; }));
    }
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

// The resources a source makes (nothing when it has errors).
QuizResourceSet resources(const std::string& source, const fs::path& base)
{
    const ParseResult parsed = parseQuizSource(source, base);
    QuizResourceSet set;
    std::string error;
    EXPECT_TRUE(!parsed.hasErrors() && buildResourceSet(compileQuiz(parsed.quiz), set, error)) << source << error;
    return set;
}

void writeExtracted(const UnpackedQuiz& unpacked, const fs::path& out)
{
    for (const ExtractedFile& file : unpacked.files) writeAll(out / file.name, std::string(file.bytes->begin(), file.bytes->end()));
}

// Parsed and written again, a source makes the same resources and then the same source; its resources unpacked
// into a new folder, written out and compiled again are the same byte for byte, and no difference shows.
void expectRoundTrips(const std::string& source, const fs::path& base)
{
    const QuizResourceSet original = resources(source, base);
    const std::string written = writeQuizSource(parseQuizSource(source, base).quiz, base), out = (base / "extrait").string();
    EXPECT_EQ(writeQuizSource(parseQuizSource(written, base).quiz, base), written);
    EXPECT_EQ(written.find("code:\n\n"), std::string::npos) << "codes after the last one given are left out";
    fs::remove_all(out);
    const UnpackedQuiz unpacked = unpackResourceSet(original, out);
    writeExtracted(unpacked, out);
    const std::string extracted = writeQuizSource(unpacked.quiz, out);
    EXPECT_TRUE(unpacked.diagnostics.empty() && differencesFromSource(original, parseQuizSource(extracted, out).quiz).empty());
    EXPECT_EQ(described(resources(written, base)), described(original));
    EXPECT_EQ(described(resources(extracted, out)), described(original));
}

// A picture quiz with every setting, compiled, then read as the player reads it, with the resource script.
class QuizCompilerRun : public testing::Test {
protected:
    static std::string source(const std::string& title)
    {
        return "\xEF\xBB\xBF# comment\r\ntitle: " + title + "\r\nauthor:  two spaces  \r\n  explanation:indented\r\n"
               "kind: picture\r\nanswers: 2\r\nlabel1: Prénom\r\nlabel2: Nom\r\nreveal: 3\r\nbackground: #ff00aB\r\ncode: K|1\r\n\r\n"
               "question: a note\r\n  # indented comment\r\nanswer: Québec\r\nanswer2: €\r\ncaption: a: b #c\r\nreveal: R1\r\n"
               "media: pics\\deep.JPEG \r\nanswer-picture: pic.png\r\nquestion:\r\nanswer: B\r\nanswer2: B2\r\nmedia: pic.gif";
    }
    std::string played() const
    {
        QuizState state;
        resetQuizData(state);
        LzwOutput record, codes;
        const std::string recordBytes = readAll(out / "quiz104.bin"), codeBytes = readAll(out / "quiz105.bin");
        lzwDecode(reinterpret_cast<const unsigned char*>(recordBytes.data()), recordBytes.size(), record);
        lzwDecode(reinterpret_cast<const unsigned char*>(codeBytes.data()), codeBytes.size(), codes);
        std::string text = std::to_string(parseQuizResource(state, record.bytes.data(), record.bytes.size()));
        text += std::to_string(parseCodeResource(state, codes.bytes.data(), codes.bytes.size())) + " " + quizSummary(state);
        releaseQuestions(state);
        return text + ";" + state.codes[0] + ";" + state.codes[1] + ";" + readAll(out / "quiz.rc");
    }
    int run(const fs::path& from, const std::string& title = "")
    {
        if (!title.empty()) writeAll(from, source(title));
        log.str("");
        return runQuizCompiler(from.string(), out.string(), log);
    }

    ScratchFolder scratch{{{"pic.png", "\x89PNG\r\n\x1A\n png"}, {"pic.gif", "GIF89a gif"}, {"pics/deep.JPEG", jpeg()},
                           {"s.mp3", "ID3\x03"}, {"v.avi", kAvi}}};
    const fs::path quiz = scratch.path / "quiz.txt", out = scratch.path / "out";
    std::ostringstream log;
};

// Every output as the player reads it; a changed source rewrites only the outputs that changed. The quiz and
// others of every kind make the same resources after a round trip through source and extraction.
TEST_F(QuizCompilerRun, WritesWhatThePlayerReadsAndOnlyWhatChanged)
{
    const auto expected = [](const std::string& title) {
        return "11 1 2x2 m3 255,0,171 " + title + "| two spaces  |indented|Pr\xE9nom|Nom:Qu\xE9" "bec/\x80/a: b #c/R1;B/B2//;"
               "K|1;;// Quiz resources made by quizc from the quiz source; regenerated on every build.\n104 PATCH \"quiz104.bin\"\n"
               "105 PATCH \"quiz105.bin\"\n401 IMG \"media401.jpg\"\n402 IMG \"media402.gif\"\n10401 RCDATA \"answer10401.png\"\n";
    };
    ASSERT_EQ(run(quiz, "Titre"), 0) << log.str();
    EXPECT_EQ(played(), expected("Titre"));
    EXPECT_EQ(readAll(out / "media401.jpg") + readAll(out / "media402.gif") + readAll(out / "answer10401.png"),
              jpeg() + "GIF89a gif" + readAll(scratch.path / "pic.png"));
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& output : filesIn(out)) fs::last_write_time(out / output.first, old);
    ASSERT_EQ(run(quiz, "Autre"), 0) << log.str();
    EXPECT_EQ(played(), expected("Autre"));
    std::string rewritten;
    for (const auto& output : filesIn(out)) rewritten += fs::last_write_time(out / output.first) == old ? "" : output.first;
    EXPECT_EQ(rewritten, "quiz104.bin");
    for (const std::string& other : std::vector<std::string>{source("Titre"), manyQuestions(96),
             "title: Capitales d'Éurope\nauthor: Zoë\nkind: text\nreveal: 2\ncode:\ncode: A|B € 5\nquestion: 1\n"
             "caption:   deux blancs  \nanswer: BRUXELLES\nreveal: Siège\nquestion: 2\ncaption: question: 2\nanswer: # PAS UN "
             "COMMENTAIRE\nquestion: 3\ncaption: #\nanswer: ŒUVRE Ÿ\nquestion: 4\nanswer: VIDE\n",
             "title: Sons\nkind: sound\nreveal: 4\nbackground: 0 0 0\nquestion:\nmedia: s.mp3\nanswer: SOIXANTE\nreveal: 70\n"
             "question:\nmedia: s.mp3\nanswer: QUATRE-VINGTS\n",
             "title: Films\nauthor:\nexplanation:\nkind: video\nreveal: 1\nquestion:\nmedia: v.avi\nanswer: METROPOLIS\n"})
        expectRoundTrips(other, scratch.path);
}

// Errors by file and line and nothing written; a write that fails part-way leaves every earlier output as it was.
TEST_F(QuizCompilerRun, FailedRunsKeepThePreviousOutputs)
{
    writeAll(quiz, "title: T\nkind: picture\nquestion:\nanswer: A|B\nmedia: lost.jpg\n");
    EXPECT_EQ(run(quiz), 1);
    EXPECT_NE(log.str().find("quiz.txt:4: error: '|' is not allowed"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("quiz.txt:5: error: cannot open 'lost.jpg'"), std::string::npos) << log.str();
    EXPECT_EQ(run(scratch.path / "missing.txt"), 1);
    EXPECT_FALSE(fs::exists(out));
    ASSERT_EQ(run(quiz, "Titre"), 0) << log.str();
    writeAll(out / "quiz105.bin", "changed");
    fs::create_directories(out / "quiz105.bin.tmp");  // the code record's temporary cannot be written
    const Files before = filesIn(out);
    EXPECT_EQ(run(quiz, "Autre"), 1);
    EXPECT_NE(log.str().find("cannot write"), std::string::npos) << log.str();
    EXPECT_EQ(filesIn(out), before) << "nor a temporary file left behind";
}

// A BMP file header, then an info header of the given size with the picture's size.
std::string bmp(int headerSize, int width, int height)
{
    std::string out = "BM" + std::string(12, '\0');
    for (const auto& [value, bytes] : {std::pair(headerSize, 4), std::pair(width, headerSize == 12 ? 2 : 4),
                                       std::pair(height, headerSize == 12 ? 2 : 4)})
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
    return out + std::string(16, '\0');
}

TEST(MediaInspection, ReadsFormatSizeAndFitness)
{
    const std::pair<std::string, const char*> cases[] = {  // the bytes; format, size, refused (R) or doubtful (D)
        {jpeg('\xC2'), "JPEG 32x16"}, {jpeg('\xC3'), "JPEG 32x16 D"},
        {jpeg('\xC0', std::string("\xFF\xC4\x00\x02\xFF\xFF\xCC\x00\x02", 9)), "JPEG 32x16"},  // tables and a fill byte first
        {std::string("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xDA\x00\x02\xFF\xD9", 14), "JPEG 0x0 R"},  // a scan before any frame
        {std::string("\xFF\xD8\xFF\xE0\x00\x40", 6), "JPEG 0x0 R"}, {std::string("GIF89a\x40\x01\xF0\x00", 10), "GIF 320x240"},
        {"GIF89a\x40", "GIF 0x0 R"}, {bmp(40, 300, -200), "BMP 300x200"}, {bmp(12, 30, 20), "BMP 30x20"},
        {bmp(20, 30, 20), "BMP 0x0 R"}, {png(), "PNG 32x32"}, {png(true), "PNG 32x32 R"}, {"ID3\x03 tag", "MP3 0x0"},
        {"\xFF\xFB\x90\x64", "MP3 0x0"}, {kAvi, "AVI 0x0"}, {"plain text", "none 0x0"},
    };
    for (const auto& [bytes, expected] : cases) {
        const MediaInfo info = inspectMedia(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        EXPECT_EQ((info.format ? mediaFormatName(*info.format) : std::string("none")) + " " + std::to_string(info.width) +
                      "x" + std::to_string(info.height) + (info.refusal.empty() ? "" : " R") + (info.doubt.empty() ? "" : " D"),
                  expected);
    }
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A small PE32+ image: headers, then the resource section at 0x200 holding one resource (type 10, id 1, language 0)
// in a tree of three directories at 0x200, 0x218 and 0x230, each stamped.
constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kChecksum = kOptional + 64, kSection = kOptional + 240;
Bytes smallExecutable(std::uint32_t stamp)
{
    Bytes exe(0x300, 0);
    for (const auto& [offset, value] : std::vector<std::pair<std::size_t, std::uint32_t>>{
             {0, 0x5A4D}, {0x3C, kPe}, {kPe, 0x4550}, {kPe + 4, 0x8664}, {kPe + 6, 1}, {kPe + 8, stamp}, {kPe + 20, 240},
             {kOptional, 0x20B}, {kOptional + 108, 16}, {kOptional + 128, 0x1000}, {kOptional + 132, 0x58},  // resources
             {kSection + 8, 0x100}, {kSection + 12, 0x1000}, {kSection + 16, 0x100}, {kSection + 20, 0x200},  // .rsrc
             {0x248, 0x1058}, {0x24C, 4}, {0x204, stamp}, {0x20E, 1}, {0x210, 10}, {0x214, 0x80000018}, {0x21C, stamp},
             {0x226, 1}, {0x228, 1}, {0x22C, 0x80000030}, {0x234, stamp}, {0x23E, 1}, {0x244, 0x48}})
        put32(exe, offset, value);
    return exe;
}

TEST(PeStamp, NormalisesStampsAndChecksumAndRefusesLyingHeaders)
{
    Bytes early = smallExecutable(0x11111111), late = smallExecutable(0x33333333), expected = smallExecutable(0);
    std::string error;
    ASSERT_TRUE(normaliseExecutable(early, 0x5E000000, error) && normaliseExecutable(late, 0x5E000000, error)) << error;
    put32(expected, kPe + 8, 0x5E000000);  // the header's stamp set, the directories' cleared, the checksum of the result
    put32(expected, kChecksum, peChecksum(expected, kChecksum));
    EXPECT_TRUE(early == expected && late == expected);
    put32(late, kChecksum, 0xDEADBEEF);  // the checksum field itself is not counted
    EXPECT_EQ(peChecksum(late, kChecksum), peChecksum(expected, kChecksum));
    // Words little-endian, carries folded back, an odd last byte, the field skipped, carries folded as it goes.
    EXPECT_EQ(peChecksum({0x01, 0x00, 0x02, 0x01}, 100), 0x0103u + 4);
    EXPECT_EQ(peChecksum({0xFF, 0xFF, 0x02, 0x00, 0x05}, 100), 0x0007u + 5);
    EXPECT_EQ(peChecksum({0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2), 0x0003u + 8);
    EXPECT_EQ(peChecksum(Bytes(2 * 65537, 0xFF), 2 * 65537), 0xFFFFu + 2 * 65537);
    // Where to write a value (beyond the end: cut the file to that size instead), and the error.
    const std::tuple<std::size_t, std::uint32_t, const char*> cases[] = {
        {0, 0x5A4E, "no MZ header"}, {0x3C, 0x2FF0, "not a PE executable"}, {kPe, 0x4551, "not a PE executable"},
        {kPe + 20, 40, "cut short"}, {kPe + 6, 2000, "cut short"}, {kOptional, 0x30B, "unknown PE optional header"},
        {kOptional + 128, 0x9000, "malformed"}, {kOptional + 132, 0x1000, "malformed"},  // in no section, past the end
        {0x20E, 0x4000, "malformed"}, {0x214, 0x80000050, "malformed"},  // entries or a subdirectory beyond the tree
        {0x244, 0x80000030, "malformed"}, {0x1000000, 0x100, "cut short"},  // a directory that holds itself
    };
    for (const auto& [offset, value, expected] : cases) {
        Bytes exe = smallExecutable(1);
        offset >= exe.size() ? exe.resize(value) : put32(exe, offset, value);
        EXPECT_TRUE(!normaliseExecutable(exe, 0, error) && error.find(expected) != std::string::npos) << offset << error;
    }
}

// Executables as small files naming the resource set they stand for; anything else holds no quiz.
struct FakeExeAccess : ExeAccess {
    fs::path toolPath() const override { return tool; }
    bool writeQuizExe(const fs::path& path, const QuizResourceSet& set, std::string& error) override
    {
        sets.push_back(set);
        writeAll(path, failWriting ? "MZ half" : "MZ quiz #" + std::to_string(sets.size() - 1));
        return error = "disk full", !failWriting;
    }
    bool readQuizExe(const fs::path& path, QuizResourceSet& set, std::string&) override
    {
        const std::string bytes = readAll(path);
        return set = bytes.rfind("MZ quiz #", 0) ? QuizResourceSet() : sets.at(std::stoul(bytes.substr(9))), true;
    }
    bool replaceFile(const fs::path& from, const fs::path& to, std::string& error) override
    {
        return error = "file in use", !failReplacing && (fs::rename(from, to), true);
    }
    fs::path tool;
    bool failWriting = false, failReplacing = false;
    std::vector<QuizResourceSet> sets;
};

class AuthorCommands : public testing::Test {
protected:
    AuthorCommands() { access.tool = root / "enigo-auteur.exe"; }
    int run(const std::vector<fs::path>& arguments)
    {
        out.str(""), err.str("");
        std::vector<std::string> texts;
        for (const fs::path& argument : arguments) texts.push_back(argument.string());
        return runAuthor(texts, access, out, err);
    }

    const std::string flags = "title: Drapeaux\nkind: picture\nreveal: 1\ncode: UN\ncode: DEUX\nquestion:\nmedia: france.jpg\n"
                              "answer-picture: france-r.jpg\nanswer: FRANCE\nquestion:\nmedia: italie.jpg\nanswer: REPUBLIQUE-ITALIENNE\n";
    const ScratchFolder scratch{{{"drapeaux/quiz.txt", flags}, {"drapeaux/france.jpg", jpeg() + "fr"},
                                 {"drapeaux/france-r.jpg", jpeg() + "fr, answer"}, {"drapeaux/italie.jpg", jpeg() + "it"},
                                 {"enigo-auteur.exe", "MZ the tool"}}};
    const fs::path root = scratch.path, quiz = root / "drapeaux";
    FakeExeAccess access;
    std::ostringstream out, err;
};

TEST_F(AuthorCommands, MakeShowExtractAndCheck)
{
    ASSERT_EQ(run({"make", quiz, root / "a.exe"}), 0) << err.str();
    std::string media;
    for (const MediaItem& item : access.sets.back().media)
        media += std::to_string(item.id) + (item.rawData ? " raw " : " img ") + std::string(item.bytes.begin(), item.bytes.end()) + "|";
    EXPECT_EQ(media, "401 img " + jpeg() + "fr|402 img " + jpeg() + "it|10401 img " + jpeg() + "fr, answer|");
    EXPECT_NE(out.str().find("picture quiz, 2 questions, 3 media files"), std::string::npos) << out.str();
    ASSERT_EQ(run({"show", quiz}), 0) << err.str();
    const std::string fromFolder = out.str();
    ASSERT_EQ(run({"show", root / "a.exe"}), 0) << err.str();
    for (const char* expected : {"Questions    2, 1 answer each", "Codes        2 of 2: UN DEUX", "Media        3 files, ",
                                 "\n 1  FRANCE               JPEG 32x16, 25 bytes  JPEG 32x16, 33 bytes\n"
                                 " 2  REPUBLIQUE-ITALIENNE JPEG 32x16, 25 bytes  -\n"})
        EXPECT_NE(fromFolder.find(expected), std::string::npos) << expected << "\n" << fromFolder;
    EXPECT_EQ(fromFolder.substr(fromFolder.find('\n')), out.str().substr(out.str().find('\n')));  // only the name differs
    fs::create_directories(root / "vide");
    ASSERT_EQ(run({"extract", root / "a.exe", root / "vide"}), 0) << err.str();
    EXPECT_EQ(readAll(root / "vide/answer01.jpg") + readAll(root / "vide/question02.jpg"), jpeg() + "fr, answer" + jpeg() + "it");
    const fs::path before = fs::current_path();  // without a target: named after the folder, in the current folder
    fs::current_path(quiz);
    const int status = run({"make", "."});
    fs::current_path(before);
    EXPECT_EQ(std::to_string(status) + readAll(quiz / "drapeaux.exe"), "0MZ quiz #1") << err.str();
    for (const auto& [extra, code, summary] : {std::tuple("", 0, "0 errors, 0 warnings"), std::tuple("caption: I\n", 0, "0 errors, 1 warning\n"),
                                               std::tuple("colour: red\n", 1, "1 error, 0 warnings")}) {
        writeAll(quiz / "quiz.txt", flags + extra);
        EXPECT_TRUE(run({"check", quiz}) == code && out.str().find("quiz.txt: " + std::string(summary)) != std::string::npos) << out.str();
    }
    for (const std::vector<fs::path>& wrong : std::vector<std::vector<fs::path>>{{}, {"make"}, {"check", "a", "b"}, {"build", "x"}})
        EXPECT_TRUE(run(wrong) == 2 && err.str().rfind("usage: enigo-auteur", 0) == 0) << err.str();
}

// Failed writes and replacements, a quiz with errors, and refused extractions leave every file as it was.
TEST_F(AuthorCommands, FailuresLeaveEverythingAsItWas)
{
    ASSERT_EQ(run({"make", quiz, root / "a.exe"}), 0) << err.str();
    const fs::path target = root / "drapeaux.exe";
    for (const bool existed : {false, true}) {
        if (existed) writeAll(target, "MZ old quiz"), writeAll(root / "drapeaux.exe.tmp", "notes");  // the user's too
        for (const bool writing : {true, false}) {
            const Files before = filesIn(root);
            access.failWriting = writing, access.failReplacing = !writing;
            EXPECT_EQ(run({"make", quiz, target}), 1);
            EXPECT_NE(err.str().find("cannot write"), std::string::npos) << err.str();
            EXPECT_EQ(filesIn(root), before) << writing << existed;
        }
    }
    writeAll(quiz / "broken.txt", "title: T\nkind: picture\nquestion:\nmedia: absent.jpg\nanswer: ABCD\n");
    const Files before = filesIn(root);
    const std::size_t made = access.sets.size();
    EXPECT_EQ(run({"make", quiz / "broken.txt", target}), 1);
    EXPECT_NE(err.str().find("broken.txt:4: error: cannot open 'absent.jpg'"), std::string::npos) << err.str();
    EXPECT_EQ(run({"extract", root / "a.exe", quiz}) + run({"extract", root / "a.exe", root / "enigo-auteur.exe"}), 2);
    EXPECT_EQ(run({"extract", root / "enigo-auteur.exe", root / "rien"}), 1);  // no quiz, and no folder made for it
    EXPECT_NE(err.str().find("no quiz record"), std::string::npos) << err.str();
    EXPECT_EQ(filesIn(root), before);
    EXPECT_EQ(access.sets.size(), made);
}

Bytes encoded(const std::string& text) { return lzwEncode(reinterpret_cast<const unsigned char*>(text.data()), text.size()); }
Bytes encoded(const QuizRecordBuilder& record) { return lzwEncode(record.bytes().data(), record.bytes().size()); }

// A one-question quiz record: media byte, answers per question and reveal mode as given.
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

TEST(Unpacking, SaysWhatCannotBeExtractedAsItIsAndWhatALaterMakeChanges)
{
    const std::string jpegText = jpeg(), pngText = png();
    const Bytes jpg(jpegText.begin(), jpegText.end()), pngBytes(pngText.begin(), pngText.end()), mp3 = {'I', 'D', '3'};
    const std::vector<MediaItem> card = {{401, false, jpg}};
    const auto one = [](unsigned media, unsigned answers, unsigned mode) { return encoded(oneQuestion(media, answers, mode)); };
    const std::tuple<Bytes, std::vector<MediaItem>, std::string, std::string> cases[] = {  // ..., "E0"/"W0" and a piece, codes
        {{}, {}, "E0 no quiz record (resource 104 of type PATCH)", "C\r\n"}, {{0x00, 0x00}, {}, "E0 does not decode", "C\r\n"},
        {one(5, 1, 0), {}, "E0 no quiz kind the player knows", "C\r\n"},
        {encoded(QuizRecordBuilder().header(0, 1, 0, 1)), {}, "E0 has 0 questions", "C\r\n"},
        {encoded(QuizRecordBuilder().header(0, 1, 97, 1)), {}, "E0 has 97 questions", "C\r\n"},
        {encoded(QuizRecordBuilder().header(0, 2, 1, 3)), {}, "E0 3 answers per question", "C\r\n"},
        {encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "A"})), {}, "E0 ends before its last text or its colour", "C\r\n"},
        {one(1, 1, 5), {}, "E0 reveal mode 5", "C\r\n"},
        {encoded(oneQuestion(1, 1, 0, "A\tB")), {}, "E0 the title holds the byte 0x09", "C\r\n"},
        {encoded(oneQuestion(1, 1, 0, "A\x81")), {}, "E0 the title holds the byte 0x81", "C\r\n"},
        {one(1, 2, 0), {}, "E0 a text quiz with two answers per question", "C\r\n"},
        {encoded(QuizRecordBuilder().header(0, 1, 1, 1).texts({"T", "", "", "", "", "", "L"}).byte(0).colour(1, 2, 3)), {},
         "E0 question 1 has an empty answer", "C\r\n"},
        {one(2, 1, 0), {}, "E0 question 1 has no picture (resource 401)", "C\r\n"},
        {one(3, 1, 0), {{401, true, mp3}}, "E0 question 1 has no sound (resource 401)", "C\r\n"},
        {one(3, 1, 0), card, "E0 resource 401 holds no sound file", "C\r\n"},
        {one(2, 1, 1), {{401, false, jpg}, {10401, false, mp3}}, "E0 resource 10401 holds no picture file", "C\r\n"},
        {one(1, 1, 0), {}, "W0 the codes (resource 105) are missing", ""}, {one(1, 1, 0), {}, "W0 the codes (resource 105)", "C"},
        {one(2, 1, 0), {{401, true, jpg}}, "W0 resource 401 is a JPEG stored under raw data", "C\r\n"},
        {one(2, 1, 2), {{401, false, jpg}, {10401, false, jpg}}, "W0 answer picture 10401 is never shown", "C\r\n"},
        {one(2, 1, 0), {{401, false, jpg}, {402, false, jpg}}, "W0 resource 402 is never shown", "C\r\n"},
        {one(2, 1, 0), {{401, false, jpg}, {400, false, jpg}}, "W0 resource 400 is never shown", "C\r\n"},
        {one(2, 1, 0), {{401, false, jpg}, {401, true, mp3}}, "W0 resource 401 is never shown", "C\r\n"},
        {one(1, 1, 0), card, "W0 resource 401 is never shown", "C\r\n"},
    };
    for (const auto& [record, media, expected, codes] : cases) {
        const UnpackedQuiz unpacked = unpackResourceSet({record, codes.empty() ? Bytes() : encoded(codes), media}, "out");
        EXPECT_TRUE(matched(unpacked.diagnostics, {expected}) == std::vector<std::string>{expected} &&
                    unpacked.hasErrors() == (expected[0] == 'E')) << expected;
    }
    // What the source format cannot say survives unpacking silently; the comparison with the executable finds it.
    const ScratchFolder folder;
    const std::tuple<QuizRecordBuilder, std::string, std::vector<MediaItem>, std::vector<std::string>> lost[] = {
        {QuizRecordBuilder().header(7, 1, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(0).colour(1, 2, 3), "\r\n", {},
         {"the quiz record (resource 104)"}},  // first byte not zero
        {QuizRecordBuilder(oneQuestion(1, 1, 0)).byte(0), "C\r\n", {}, {"the quiz record (resource 104)"}},  // bytes after the colour
        {QuizRecordBuilder().header(0, 2, 1, 1).texts({"T", "", "", "", "", "ABCD", ""}).byte(3).texts({"R", "lost"}).colour(1, 2, 3),
         "\r\n", card, {"the quiz record (resource 104)"}},  // a second reveal text
        {oneQuestion(1, 1, 0), "C\r\nMORE\r\n", {}, {"the codes (resource 105)"}},
        {oneQuestion(2, 1, 0), "C\r\n", {{401, false, pngBytes}}, {"resource 401 (left out)", "resource 401 (stored differently)"}},
    };
    int n = 0;
    for (const auto& [record, codes, media, differences] : lost) {
        const QuizResourceSet set{encoded(record), encoded(codes), media};
        const fs::path out = folder.path / std::to_string(++n);
        const UnpackedQuiz unpacked = unpackResourceSet(set, out);
        writeExtracted(unpacked, out);
        EXPECT_TRUE(!unpacked.hasErrors() && differencesFromSource(set, unpacked.quiz) == differences) << codes;
    }
}

}  // namespace
