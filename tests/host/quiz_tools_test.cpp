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
#include "lint.h"
#include "lzw_encode.h"
#include "media_info.h"
#include "new_quiz.h"
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
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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
        for (const auto& [name, bytes] : files)
            name.back() == '/' ? void(fs::create_directories(path / name)) : writeAll(path / name, bytes);
    }
    ~ScratchFolder() { std::error_code ignored; fs::remove_all(path, ignored); }
    const fs::path path = fs::temp_directory_path() / ("enigo_test_" + std::to_string(std::random_device()()));
};

// Each diagnostic as "E3 message" ("W" a warning), shown as the expected entry at its place when severity and
// line agree and the message holds the rest of that entry.
std::vector<std::string> matched(const std::vector<Diagnostic>& diagnostics,
                                 const std::vector<std::string>& expected = {})
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
    for (int number = 1; std::getline(in, line); ++number)
        out += (lines.count(number) ? lines.at(number) : line) + "\n";
    return out;
}

// Clean quizzes; a case turns lines of the first into others, and a code may hold '|'.
const std::string kText = "title: Capitales\nkind: text\n# spare\ncode: UN\ncode: DE|UX\n"  // lines 1-5
                          "question: 1\ncaption: Belgique ?\nanswer: BRUXELLES\n# spare\n"     // 6-9
                          "question: 2\ncaption: Italie ?\nanswer: ROME\n";                     // 10-12
const std::string kPicture = "title: Formes\nkind: picture\nreveal: 3\ncode: UN\ncode: DEUX\nquestion: 1\n"
                             "media: rond.jpg\nanswer-picture: rond-r.png\nanswer: CERCLE\nreveal: Tout rond.\n"
                             "question: 2\nmedia: carre.png\nanswer-picture: carre-r.jpg\nanswer: TRIANGLE\n"
                             "reveal: Trois angles.\n";

// The picture quiz's files, the first two as given.
Files pictures(const std::string& rond = jpeg(), const std::string& rondAnswer = png())
{
    return {{"rond.jpg", rond}, {"rond-r.png", rondAnswer}, {"carre.png", png()}, {"carre-r.jpg", jpeg('\xC2')}};
}

// `count` questions whose answers ('ABABAB', 'ACACAC'...) are three edits apart, no anagrams; as many codes.
std::string manyQuestions(int count)
{
    std::string source = "title: Grand quiz\nkind: text\n";
    for (int i = 0; i < count; ++i) source += "code: C\n";
    for (char a = 'A', b = 'B'; count-- > 0; b = b == 'Z' ? ++a + 1 : b + 1)
        source += "question:\ncaption: Q\nanswer: " + std::string{a, b, a, b, a, b} + "\n";
    return source;
}

// Each source with its files gives exactly these diagnostics by line: "E" or "W", the line, a piece of the message.
TEST(Check, ReportsExactlyWhatIsWrongAtItsLine)
{
    std::string answers = "title: T\nkind: text\n";
    for (const char* answer : {"ROMA", "ROME", "MARSEILLE", "MARCEILE", "CHIEN", "NICHE", "COQ", "COQS", "Bœuf",
                               "ÉTÉ bientôt", "PARIS", "PERSE", "ROME"})  // each on line 5 + 3n
        answers += "question:\ncaption: C\nanswer: " + std::string(answer) + "\n";
    const std::tuple<std::string, Files, std::vector<std::string>> cases[] = {
        {kPicture, pictures(), {}},
        {"author: X\n", {}, {"E0 no 'title'", "E0 no 'kind'", "E0 the quiz has no question"}},
        {manyQuestions(97), {}, {"E" + std::to_string(2 + 97 + 96 * 3 + 1) + " too many questions"}},
        {kPicture, pictures(jpeg('\xC9'), png(true)),
         {"W7 the player may not show 'rond.jpg'", "E8 the player cannot show 'rond-r.png'"}},
        // Rules on answers run despite errors; rules on the structure (here the codes) wait for a clean parse.
        {edit(kText, {{2, "kind: poster"}, {5, "#"}, {9, "reveal: R"}, {12, "answer: ROME "}}), {},
         {"E2 unknown kind 'poster': use text, picture, sound or video", "E9 never shown with 'reveal: 0'",
          "W12 starts or ends with a blank"}},
        // A small tilde opening a run of text in a field or the code field; after a letter it is safe.
        {edit(kText, {{4, "code: ˜UN"}, {8, "answer: BRUXELLES˜"}, {12, "answer: ROME-˜"}}), {},
         {"W4 code '˜UN' has '˜' at its start", "W12 answer 'ROME-˜' has"}},
        // A short answer gets no hint itself, but typed into a longer one's field it does; one answer twice is no trap.
        {answers, {},
         {"W0 the quiz has no 'code'", "W8 answers 'ROME' and 'ROMA' (line 5) are so close that a player who types one "
          "for the other gets \"Quasiment\"", "W14 gets \"Presque\"", "W20 gets \"Anagramme\"",
          "W23 'COQ' has 3 characters or fewer", "W26 'COQS' and 'COQ' (line 23)", "W29 'BŒUF' typed in capitals",
          "W32 'ÉTÉ BIENTÔT' typed", "W41 'ROME' and 'ROMA' (line 5)"}},
    };
    for (const auto& [source, files, expected] : cases) {
        const ScratchFolder folder(files);
        const CheckResult result = checkQuizSource(source, folder.path);
        EXPECT_EQ(matched(result.diagnostics, expected), expected) << source;
        const bool errors = std::any_of(expected.begin(), expected.end(), [](auto& entry) { return entry[0] == 'E'; });
        EXPECT_EQ(result.hasErrors(), errors) << source;
    }
}

// Records and media of a resource set in one string.
std::string described(const QuizResourceSet& set)
{
    std::string text = std::string(set.quizRecord.begin(), set.quizRecord.end()) + "#" +
                       std::string(set.codeRecord.begin(), set.codeRecord.end());
    for (const MediaItem& item : set.media)
        text += "#" + std::to_string(item.id) + (item.rawData ? "raw" : "img") +
                std::string(item.bytes.begin(), item.bytes.end());
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

// Parsed and written again, a source makes the same resources and then the same source; its resources unpacked
// into a new folder, written out and compiled again are the same byte for byte, and no difference shows.
void expectRoundTrips(const std::string& source, const fs::path& base)
{
    const QuizResourceSet original = resources(source, base);
    const std::string written = writeQuizSource(parseQuizSource(source, base).quiz, base);
    EXPECT_EQ(writeQuizSource(parseQuizSource(written, base).quiz, base), written);
    EXPECT_EQ(written.find("code:\n\n"), std::string::npos) << "codes after the last one given are left out";
    const fs::path out = base / "extrait";
    fs::remove_all(out);
    const UnpackedQuiz unpacked = unpackResourceSet(original, out);
    for (const ExtractedFile& file : unpacked.files)
        writeAll(out / file.name, std::string(file.bytes->begin(), file.bytes->end()));
    const std::string extracted = writeQuizSource(unpacked.quiz, out);
    EXPECT_TRUE(unpacked.diagnostics.empty());
    EXPECT_TRUE(differencesFromSource(original, parseQuizSource(extracted, out).quiz).empty());
    EXPECT_EQ(described(resources(written, base)), described(original));
    EXPECT_EQ(described(resources(extracted, out)), described(original));
}

// A picture quiz with every setting.
std::string demo(const std::string& title)
{
    return "\xEF\xBB\xBF# comment\r\ntitle: " + title + "\r\nauthor:  two spaces  \r\n  explanation:indented\r\n"
           "kind: picture\r\nanswers: 2\r\nlabel1: Prénom\r\nlabel2: Nom\r\nreveal: 3\r\nbackground: #ff00aB\r\n"
           "code: K|1\r\n\r\nquestion: a note\r\n  # indented comment\r\nanswer: Québec\r\nanswer2: €\r\n"
           "caption: a: b #c “Ÿ”\u00A0\r\nreveal: R1\r\nmedia: pics\\deep.JPEG \r\nanswer-picture: pic.png\r\n"
           "question:\r\nanswer: B\r\nanswer2: B2\r\nmedia: pic.gif";
}

// A compiled quiz as the player reads its records, with the resource script; a changed source rewrites only the
// outputs that changed; errors come by file and line, and a failed run leaves the previous outputs as they were.
TEST(QuizCompiler, WritesWhatThePlayerReadsOnlyWhenChangedAndNothingOnFailure)
{
    const ScratchFolder scratch({{"pic.png", "\x89PNG\r\n\x1A\n png"}, {"pic.gif", "GIF89a gif"},
                                 {"pics/deep.JPEG", jpeg()}, {"s.mp3", "ID3\x03"}, {"v.avi", kAvi}});
    const fs::path quiz = scratch.path / "quiz.txt", out = scratch.path / "out";
    std::ostringstream log;
    const auto run = [&](const std::string& source) {
        writeAll(quiz, source);
        log.str("");
        return runQuizCompiler(quiz.string(), out.string(), log);
    };
    const auto played = [&out] {
        QuizState state;
        resetQuizData(state);
        LzwOutput record, codes;
        const std::string recordBytes = readAll(out / "quiz104.bin"), codeBytes = readAll(out / "quiz105.bin");
        lzwDecode(reinterpret_cast<const unsigned char*>(recordBytes.data()), recordBytes.size(), record);
        lzwDecode(reinterpret_cast<const unsigned char*>(codeBytes.data()), codeBytes.size(), codes);
        std::string text = std::to_string(parseQuizResource(state, record.bytes.data(), record.bytes.size()));
        text += std::to_string(parseCodeResource(state, codes.bytes.data(), codes.bytes.size()));
        text += " " + quizSummary(state) + ";" + state.codes[0] + ";" + state.codes[1] + ";" + readAll(out / "quiz.rc");
        releaseQuestions(state);
        return text;
    };
    const auto expected = [](const std::string& title) {
        return "11 1 2x2 m3 255,0,171 " + title + "| two spaces  |indented|Pr\xE9nom|Nom:Qu\xE9" "bec/\x80/"
               "a: b #c \x93\x9F\x94\xA0/R1;B/B2//;K|1;;"
               "// Quiz resources made by quizc from the quiz source; regenerated on every build.\n"
               "104 PATCH \"quiz104.bin\"\n105 PATCH \"quiz105.bin\"\n401 IMG \"media401.jpg\"\n"
               "402 IMG \"media402.gif\"\n10401 RCDATA \"answer10401.png\"\n";
    };
    EXPECT_EQ(run("title: T\nkind: picture\nquestion:\nanswer: A|B\nmedia: lost.jpg\n"), 1);
    EXPECT_NE(log.str().find("quiz.txt:4: error: '|' is not allowed"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("quiz.txt:5: error: cannot open 'lost.jpg'"), std::string::npos) << log.str();
    EXPECT_TRUE(runQuizCompiler((scratch.path / "missing.txt").string(), out.string(), log) == 1 && !fs::exists(out));
    ASSERT_EQ(run(demo("Titre")), 0) << log.str();
    EXPECT_EQ(played(), expected("Titre"));
    EXPECT_EQ(readAll(out / "media401.jpg") + readAll(out / "media402.gif") + readAll(out / "answer10401.png"),
              jpeg() + "GIF89a gif" + readAll(scratch.path / "pic.png"));
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& output : filesIn(out)) fs::last_write_time(out / output.first, old);
    ASSERT_EQ(run(demo("Autre")), 0) << log.str();
    EXPECT_EQ(played(), expected("Autre"));
    std::string rewritten;
    for (const auto& output : filesIn(out))
        rewritten += fs::last_write_time(out / output.first) == old ? "" : output.first;
    EXPECT_EQ(rewritten, "quiz104.bin");
    writeAll(out / "quiz105.bin", "changed");
    fs::create_directories(out / "quiz105.bin.tmp");  // the code record's temporary cannot be written
    const Files before = filesIn(out);
    EXPECT_TRUE(run(demo("Titre")) == 1 && log.str().find("cannot write") != std::string::npos) << log.str();
    EXPECT_EQ(filesIn(out), before) << "nor a temporary file left behind";
    // The quiz and others of every kind make the same resources after a round trip through source and extraction.
    for (const std::string& other : std::vector<std::string>{demo("Titre"), manyQuestions(96),
             "title: Capitales d'Éurope\nauthor: Zoë\nkind: text\nreveal: 2\ncode:\ncode: A|B € 5\nquestion: 1\n"
             "caption:   deux blancs  \nanswer: BRUXELLES\nreveal: Siège\nquestion: 2\ncaption: question: 2\n"
             "answer: # PAS UN COMMENTAIRE\nquestion: 3\ncaption: #\nanswer: ŒUVRE Ÿ\nquestion: 4\nanswer: VIDE\n",
             "title: Sons\nkind: sound\nreveal: 4\nbackground: 0 0 0\nquestion:\nmedia: s.mp3\nanswer: SOIXANTE\n"
             "reveal: 70\nquestion:\nmedia: s.mp3\nanswer: QUATRE-VINGTS\n",
             "title: Films\nauthor:\nexplanation:\nkind: video\nreveal: 1\nquestion:\nmedia: v.avi\nanswer: METRO\n"})
        expectRoundTrips(other, scratch.path);
}

// Format, size and whether the player can (R: cannot; D: may not) show a picture; PNG and JPEG doubts: the check
// table. A BMP is a file header, then an info header of 40 or 12 bytes with the size in 32 or 16 bits.
TEST(MediaInspection, ReadsFormatSizeAndFitness)
{
    const auto bmp = [](const char* info, std::size_t size) {
        return "BM" + std::string(12, '\0') + std::string(info, size) + std::string(16, '\0');
    };
    const std::pair<std::string, const char*> cases[] = {
        {jpeg('\xC0', std::string("\xFF\xC4\x00\x02\xFF\xFF\xCC\x00\x02", 9)), "JPEG 32x16"},  // tables, a fill byte
        {std::string("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xDA\x00\x02\xFF\xD9", 14), "JPEG 0x0 R"},  // a scan first
        {std::string("\xFF\xD8\xFF\xE0\x00\x40", 6), "JPEG 0x0 R"}, {"GIF89a\x40", "GIF 0x0 R"},
        {std::string("GIF89a\x40\x01\xF0\x00", 10), "GIF 320x240"}, {"\xFF\xFB\x90\x64", "MP3 0x0"},
        {bmp("\x28\0\0\0\x2C\x01\0\0\x38\xFF\xFF\xFF", 12), "BMP 300x200"},
        {bmp("\x0C\0\0\0\x1E\0\x14\0", 8), "BMP 30x20"},
        {bmp("\x14\0\0\0\x1E\0\0\0\x14\0\0\0", 12), "BMP 0x0 R"}, {"plain text", "none 0x0"},
    };
    for (const auto& [bytes, expected] : cases) {
        const MediaInfo info = inspectMedia(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        const std::string size = std::to_string(info.width) + "x" + std::to_string(info.height);
        EXPECT_EQ((info.format ? mediaFormatName(*info.format) : std::string("none")) + " " + size +
                      (info.refusal.empty() ? "" : " R") + (info.doubt.empty() ? "" : " D"), expected);
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
             {0, 0x5A4D}, {0x3C, kPe}, {kPe, 0x4550}, {kPe + 4, 0x8664}, {kPe + 6, 1}, {kPe + 8, stamp},
             {kPe + 20, 240}, {kOptional, 0x20B}, {kOptional + 108, 16},
             {kOptional + 128, 0x1000}, {kOptional + 132, 0x58},  // resources
             {kSection + 8, 0x100}, {kSection + 12, 0x1000}, {kSection + 16, 0x100}, {kSection + 20, 0x200},  // .rsrc
             {0x248, 0x1058}, {0x24C, 4}, {0x204, stamp}, {0x20E, 1}, {0x210, 10}, {0x214, 0x80000018},
             {0x21C, stamp}, {0x226, 1}, {0x228, 1}, {0x22C, 0x80000030}, {0x234, stamp}, {0x23E, 1}, {0x244, 0x48}})
        put32(exe, offset, value);
    return exe;
}

TEST(PeStamp, NormalisesStampsAndChecksumAndRefusesLyingHeaders)
{
    Bytes early = smallExecutable(0x11111111), late = smallExecutable(0x33333333), expected = smallExecutable(0);
    std::string error;
    ASSERT_TRUE(normaliseExecutable(early, 0x5E000000, error) && normaliseExecutable(late, 0x5E000000, error)) << error;
    // The header's stamp set, the directories' cleared, and the checksum of the result, its own field not counted.
    put32(expected, kPe + 8, 0x5E000000);
    put32(expected, kChecksum, peChecksum(expected, kChecksum));
    EXPECT_TRUE(early == expected && late == expected);
    put32(late, kChecksum, 0xDEADBEEF);
    EXPECT_EQ(peChecksum(late, kChecksum), peChecksum(expected, kChecksum));
    // Words little-endian with carries folded back and an odd last byte; the checksum field's four bytes skipped.
    EXPECT_EQ(peChecksum({0xFF, 0xFF, 0x02, 0x01, 0x05}, 100), 0x0107u + 5);
    EXPECT_EQ(peChecksum({0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2), 0x0003u + 8);
    // Where to write a value, and the error.
    for (const auto& [offset, value, expected] : {std::tuple(std::size_t{0}, 0x5A4Eu, "no MZ header"),
                                                  std::tuple(std::size_t{0x244}, 0x80000030u, "malformed")}) {
        Bytes exe = smallExecutable(1);  // the second a directory that holds itself
        put32(exe, offset, value);
        EXPECT_TRUE(!normaliseExecutable(exe, 0, error) && error.find(expected) != std::string::npos) << error;
    }
}

// Executables as small files naming the resource set they stand for; anything else holds no quiz.
struct FakeExeAccess : ExeAccess {
    fs::path toolPath() const override { return tool; }
    bool writeQuizExe(const fs::path& path, const QuizResourceSet& set, std::string& error) override
    {
        sets.push_back(set);
        writeAll(path, failWriting ? "MZ half" : "MZ quiz #" + std::to_string(sets.size() - 1));
        error = "disk full";
        return !failWriting;
    }
    bool readQuizExe(const fs::path& path, QuizResourceSet& set, std::string&) override
    {
        const std::string bytes = readAll(path);
        set = bytes.rfind("MZ quiz #", 0) == 0 ? sets.at(std::stoul(bytes.substr(9))) : QuizResourceSet();
        return true;
    }
    bool replaceFile(const fs::path& from, const fs::path& to, std::string& error) override
    {
        error = "file in use";
        if (!failReplacing) fs::rename(from, to);
        return !failReplacing;
    }
    bool runQuiz(const fs::path& exe, std::string&) override { return fs::exists(ran = exe); }
    fs::path tool, ran;
    bool failWriting = false, failReplacing = false;
    std::vector<QuizResourceSet> sets;
};

// make, show, extract and check on a quiz folder; failed writes and replacements, a quiz with errors and refused
// extractions, each leaving every file as it was.
TEST(AuthorCommands, RunOnAFolderAndFailWithoutATrace)
{
    const std::string flags = "title: Drapeaux\nkind: picture\nreveal: 1\ncode: UN\ncode: DEUX\nquestion:\n"
                              "media: france.jpg\nanswer-picture: france-r.jpg\nanswer: FRANCE\nquestion:\n"
                              "media: italie.jpg\nanswer: REPUBLIQUE-ITALIENNE\n";
    const ScratchFolder scratch({{"drapeaux/quiz.txt", flags}, {"drapeaux/france.jpg", jpeg() + "fr"},
                                 {"drapeaux/france-r.jpg", jpeg() + "fr, answer"},
                                 {"drapeaux/italie.jpg", jpeg() + "it"}, {"enigo-auteur.exe", "MZ the tool"}});
    const fs::path root = scratch.path;
    const std::string quiz = (root / "drapeaux").string(), made = (root / "a.exe").string();
    FakeExeAccess access;
    access.tool = root / "enigo-auteur.exe";
    std::ostringstream out, err;
    const auto run = [&](const std::vector<std::string>& arguments) {
        out.str(""), err.str("");
        return runAuthor(arguments, access, out, err);
    };
    ASSERT_EQ(run({"make", quiz, made}), 0) << err.str();
    const std::string media = described(access.sets.back());
    EXPECT_EQ(media.substr(media.find("#401")), "#401img" + jpeg() + "fr#402img" + jpeg() + "it#10401img" + jpeg() +
                                                 "fr, answer");
    EXPECT_NE(out.str().find("picture quiz, 2 questions, 3 media files"), std::string::npos) << out.str();
    ASSERT_EQ(run({"show", quiz}), 0) << err.str();
    const std::string fromFolder = out.str();
    ASSERT_EQ(run({"show", made}), 0) << err.str();
    EXPECT_NE(fromFolder.find("Questions    2, 1 answer each\n"
                              "Reveal       1: a solved question shows its answer picture\n"
                              "Background   90 95 150 (#5A5F96)\nCodes        2 of 2: UN DEUX\n"
                              "Media        3 files, 83 bytes\n\n"
                              " #  answer               media                 answer picture\n"
                              " 1  FRANCE               JPEG 32x16, 25 bytes  JPEG 32x16, 33 bytes\n"
                              " 2  REPUBLIQUE-ITALIENNE JPEG 32x16, 25 bytes  -\n"),
              std::string::npos) << fromFolder;
    // Only the first line, naming what is shown, differs.
    EXPECT_EQ(fromFolder.substr(fromFolder.find('\n')), out.str().substr(out.str().find('\n')));
    fs::create_directories(root / "vide");
    ASSERT_EQ(run({"extract", made, (root / "vide").string()}), 0) << err.str();
    EXPECT_EQ(readAll(root / "vide/answer01.jpg") + readAll(root / "vide/question02.jpg"),
              jpeg() + "fr, answer" + jpeg() + "it");
    const std::string target = (root / "drapeaux.exe").string();
    for (const bool existed : {false, true}) {
        if (existed) writeAll(target, "MZ old quiz"), writeAll(target + ".tmp", "notes");  // the user's too
        for (const bool writing : {true, false}) {
            const Files before = filesIn(root);
            access.failWriting = writing, access.failReplacing = !writing;
            EXPECT_TRUE(run({"make", quiz, target}) == 1 && err.str().find("cannot write") != std::string::npos);
            EXPECT_EQ(filesIn(root), before) << writing << existed;
        }
    }
    writeAll(root / "drapeaux/broken.txt", "title: T\nkind: picture\nquestion:\nmedia: absent.jpg\nanswer: ABCD\n");
    const Files before = filesIn(root);
    const std::size_t sets = access.sets.size();
    EXPECT_EQ(run({"make", quiz + "/broken.txt", target}), 1);
    EXPECT_NE(err.str().find("broken.txt:4: error: cannot open 'absent.jpg'"), std::string::npos) << err.str();
    EXPECT_EQ(run({"extract", made, quiz}) + run({"extract", made, access.tool.string()}), 2);
    EXPECT_EQ(run({"extract", access.tool.string(), (root / "rien").string()}), 1);  // no quiz, no folder made
    EXPECT_NE(err.str().find("no quiz record"), std::string::npos) << err.str();
    EXPECT_TRUE(filesIn(root) == before && access.sets.size() == sets);
    for (const auto& [extra, code, summary] : {std::tuple("", 0, "0 errors, 0 warnings"),
                                               std::tuple("caption: I\n", 0, "0 errors, 1 warning\n"),
                                               std::tuple("colour: red\n", 1, "1 error, 0 warnings")}) {
        writeAll(root / "drapeaux/quiz.txt", flags + extra);
        EXPECT_EQ(run({"check", quiz}), code);
        EXPECT_NE(out.str().find("quiz.txt: " + std::string(summary)), std::string::npos) << out.str();
    }
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{{}, {"make"}, {"build", "x"}})
        EXPECT_TRUE(run(wrong) == 2 && err.str().rfind("usage: enigo-auteur", 0) == 0) << err.str();
}

// Answers from file names ("!" and a piece of the error when there is none), then the quiz a folder's files give.
TEST(NewQuiz, AnswersFromFileNamesKindAndAnswerPictures)
{
    const std::string a259(259, 'a');
    for (const auto& [name, expected] : std::vector<std::pair<std::string, std::string>>{
             {" mont--saint__ -michel .jpg", "MONT SAINT MICHEL"}, {"route 66.v2.mp3", "ROUTE 66.V2"},
             {"été_œuvre-ÿšž ßµ÷à.png", "ÉTÉ ŒUVRE ŸŠŽ ßµ÷À"}, {a259 + ".gif", std::string(259, 'A')},
             {a259 + "a.gif", "!'" + a259 + "a.gif': its name gives an answer of 260 characters"},
             {"_-_.jpg", "!'_-_.jpg': its name gives an empty answer"}, {"lā.avi", "!'lā.avi': character U+0101"}}) {
        std::string answer, error;
        EXPECT_EQ(answerFromFileName(name, answer, error) ? answer : "!" + error.substr(0, expected.size() - 1),
                  expected);
    }
    std::vector<std::string> many;
    for (int i = 0; i < 97; ++i) many.push_back(std::to_string(i) + ".bmp");
    for (const auto& [files, expected] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"b.jpg", "z.reponse.gif", "a.png", "A.Reponse.JPG", "a.reponse.bmp", "c.mp3", "d.txt"},
              "picture a.png+A.Reponse.JPG=A b.jpg=B"},
             {{"x.mp3", "p.reponse.jpg", "y.MP3", "p.jpg"}, "sound x.mp3=X y.MP3=Y"},
             {{"v.avi", "p.gif"}, "picture p.gif=P"}, {{"v.avi", "w.avi", "p.gif"}, "video v.avi=V w.avi=W"},
             {{"lisez-moi.txt"}, "text =PARIS =HUIT =LOIRE"}, {{"ā.jpg", "b.jpg", "é.jpg"}, "picture ! 1"},
             {many, "picture ! 1"}}) {
        const NewQuiz quiz = planNewQuiz("Vacances", files);
        std::string got = quizKindKeyword(quiz.kind);
        for (const NewQuestion& question : quiz.questions)
            got += " " + question.media + (question.answerPicture.empty() ? "" : "+" + question.answerPicture) + "=" +
                   question.answer;
        EXPECT_EQ(quiz.errors.empty() ? got : got.substr(0, got.find(' ')) + " ! " + std::to_string(quiz.errors.size()),
                  expected);
    }
}

// new writes a quiz that checks without error and never over another; a folder alone is made beside itself,
// and try plays the quiz from a folder that goes afterwards.
TEST(NewQuiz, WrittenMadeFromAFolderAloneAndTried)
{
    const ScratchFolder scratch({{"Tour de France/paris.jpg", jpeg()}, {"Tour de France/paris.reponse.jpg", jpeg()},
                                 {"Tour de France/été.jpg", jpeg()}, {"Tour de France/Thumbs.db", "x"}});
    const std::string folder = (scratch.path / "Tour de France").string();
    FakeExeAccess access;
    std::ostringstream out, err;
    AuthorReport report;
    ASSERT_EQ(runAuthor({folder}, access, out, err, &report), 0) << err.str();
    EXPECT_NE(readAll(folder + "/quiz.txt").find("title: Tour de France\n"), std::string::npos);
    EXPECT_EQ(report.made, (scratch.path / "Tour de France.exe").string() + " (2 questions)");
    EXPECT_EQ(report.sourceWritten + "|" + std::to_string(report.diagnostics.size()), folder + "/quiz.txt|1");
    EXPECT_NE(out.str().find("picture quiz, 2 questions, 1 answer picture\n"), std::string::npos) << out.str();
    fs::remove(folder + "/quiz.txt");
    EXPECT_EQ(runAuthor({"new", folder}, access, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("quiz.txt: 0 errors, 1 warning"), std::string::npos) << out.str();  // no code
    const std::string written = readAll(folder + "/quiz.txt");
    EXPECT_EQ(runAuthor({"new", folder}, access, out, err), 1);
    EXPECT_EQ(readAll(folder + "/quiz.txt"), written);
    ASSERT_EQ(runAuthor({"try", folder}, access, out, err), 0) << err.str();
    EXPECT_TRUE(access.ran.filename() == "Tour de France.exe" && !fs::exists(access.ran.parent_path()));
}

Bytes encoded(const std::string& text)
{
    return lzwEncode(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// Each resource set unpacks with exactly one diagnostic ("E0" or "W0" and a piece of it).
TEST(Unpacking, SaysWhatCannotBeExtractedAsItIs)
{
    const std::string jpegText = jpeg();
    const Bytes jpg(jpegText.begin(), jpegText.end()), mp3 = {'I', 'D', '3'};
    // One question: media byte, answers per question and reveal mode (one that reads no reveal text) as given.
    const auto one = [](unsigned media, unsigned answers, unsigned mode, const std::string& title = "Titre") {
        QuizRecordBuilder record;
        record.header(0, media, 1, answers).texts({title, "", "", "", "", "ABCDEF"});
        if (answers == 2) record.text("GHIJ");
        const Bytes& bytes = record.text("L").byte(mode).colour(1, 2, 3).bytes();
        return encoded(std::string(bytes.begin(), bytes.end()));
    };
    const std::tuple<Bytes, std::vector<MediaItem>, std::string> cases[] = {  // record, media, the diagnostic
        {{}, {}, "E0 no quiz record (resource 104 of type PATCH)"}, {{0, 0}, {}, "E0 does not decode"},
        {one(5, 1, 0), {}, "E0 no quiz kind the player knows"}, {one(1, 1, 5), {}, "E0 reveal mode 5"},
        {one(1, 1, 0, "A\x81"), {}, "E0 the title holds the byte 0x81"},
        {one(1, 2, 0), {}, "E0 a text quiz with two answers per question"},
        {one(3, 1, 0), {{401, true, mp3}}, "E0 question 1 has no sound (resource 401)"},
        {one(2, 1, 1), {{401, false, jpg}, {10401, false, mp3}}, "E0 resource 10401 holds no picture file"},
        {one(2, 1, 0), {{401, true, jpg}}, "W0 resource 401 is a JPEG stored under raw data"},
        {one(2, 1, 0), {{401, false, jpg}, {402, false, jpg}}, "W0 resource 402 is never shown"},
    };
    for (const auto& [record, media, expected] : cases) {
        const UnpackedQuiz unpacked = unpackResourceSet({record, encoded("C\r\n"), media}, "out");
        EXPECT_TRUE(matched(unpacked.diagnostics, {expected}) == std::vector<std::string>{expected} &&
                    unpacked.hasErrors() == (expected[0] == 'E')) << expected;
    }
}

}  // namespace
