// Host tests of the authoring tool's check, on real folders so media rules see real files, and of media inspection.
#include <gtest/gtest.h>

#include <sstream>

#include "lint.h"
#include "media_info.h"
#include "quiz_files_test_support.h"

namespace {

using Files = std::map<std::string, std::string>;

// A JPEG of 32 x 16 pixels: the given segments, then a frame header of the given coding process.
std::string jpeg(char process = '\xC0', const std::string& before = "")
{
    return "\xFF\xD8" + before + "\xFF" + process +
           std::string("\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 19);
}

// A scan that starts before any frame header, as in a file cut and pasted together.
const std::string kJpegWithoutFrame("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xDA\x00\x02\xFF\xD9", 14);

// A PngSuite picture, or (cut) the same cut inside its image data, which the decoder refuses.
std::string suitePng(const char* stem, bool cut = false)
{
    const std::string whole = readAll(fs::path(ENIGO_PNGSUITE_DIR) / (std::string(stem) + ".png"));
    return cut ? whole.substr(0, whole.size() / 2) : whole;
}

// Replaces whole lines (numbered from 1) of a source.
std::string edit(const std::string& source, const std::map<int, std::string>& lines)
{
    std::string out, line;
    std::istringstream in(source);
    for (int number = 1; std::getline(in, line); ++number) out += (lines.count(number) ? lines.at(number) : line) + "\n";
    return out;
}

// Clean quizzes with spare comment lines that cases turn into keys.
const std::string kTextQuiz =
    "title: Capitales\nkind: text\n# spare\ncode: UN\ncode: DEUX\n"  // lines 1-5
    "question: 1\ncaption: Belgique ?\nanswer: BRUXELLES\n# spare\n"   // 6-9
    "question: 2\ncaption: Autriche ?\nanswer: VIENNE\n# spare\n";     // 10-13
const std::string kPictureQuiz =
    "title: Formes\nkind: picture\nreveal: 3\n# spare\ncode: UN\ncode: DEUX\n"                          // lines 1-6
    "question: 1\nmedia: rond.jpg\nanswer-picture: rond-r.png\nanswer: CERCLE\nreveal: Tout rond.\n# spare\n"  // 7-12
    "question: 2\nmedia: carre.png\nanswer-picture: carre-r.jpg\nanswer: TRIANGLE\nreveal: Trois angles.\n# spare\n";  // 13-18
const std::string kSoundQuiz = "title: Sons\nkind: sound\n#\ncode: A\nquestion:\nmedia: a.mp3\nanswer: ABCD\n";

// The picture quiz's files, with some replaced (an empty content removes the file).
Files pictureFiles(const Files& changes = {})
{
    Files files = {{"rond.jpg", jpeg()}, {"rond-r.png", suitePng("basn2c08")}, {"carre.png", suitePng("basi0g08")},
                   {"carre-r.jpg", jpeg('\xC2')}};
    for (const auto& change : changes) {
        if (change.second.empty()) files.erase(change.first);
        else files[change.first] = change.second;
    }
    return files;
}

// count questions whose answers ('ABABAB', 'ACACAC'...) are three edits apart and no anagrams, and as many codes.
std::string manyQuestions(int count)
{
    std::string source = "title: Grand quiz\nkind: text\n";
    for (int i = 0; i < count; ++i) source += "code: C" + std::to_string(i) + "\n";
    for (char a = 'A'; count > 0; ++a) {
        for (char b = static_cast<char>(a + 1); b <= 'Z' && count > 0; ++b, --count)
            source += "question:\ncaption: Q\nanswer: " + std::string{a, b, a, b, a, b} + "\n";
    }
    return source;
}

TEST(Check, ReportsExactlyWhatIsWrongAtItsLine)
{
    const std::string e = "\xC3\xA9";  // é, one byte in Windows-1252
    std::string longE;
    for (int i = 0; i < 259; ++i) longE += e;
    const Files pictures = pictureFiles(), sound = {{"a.mp3", "ID3\x03"}};
    // Name, source, files, and exactly these diagnostics in this order: "E" or "W", the line, a piece of the message.
    const std::tuple<const char*, std::string, Files, std::vector<std::string>> cases[] = {
        {"clean text quiz", kTextQuiz, {}, {}},
        {"clean picture quiz", kPictureQuiz, pictures, {}},
        {"outside Windows-1252", edit(kTextQuiz, {{7, "caption: \xC5\x81\xC3\xB3\x64\xC5\xBA ?"}}), {}, {"E7 U+0141 has no Windows-1252 form"}},
        {"inside Windows-1252", edit(kTextQuiz, {{7, "caption: \xE2\x82\xAC \xC5\x93 \xC5\xB8 ?"}}), {}, {}},
        {"separator in a text", edit(kTextQuiz, {{11, "caption: Autriche | Hongrie"}}), {}, {"E11 '|' is not allowed in a text"}},
        {"separator in a code", edit(kTextQuiz, {{5, "code: DE|UX"}}), {}, {}},
        {"97 questions", manyQuestions(97), {}, {"E" + std::to_string(2 + 97 + 96 * 3 + 1) + " too many questions"}},
        {"96 questions", manyQuestions(96), {}, {}},
        {"260 bytes", edit(kTextQuiz, {{3, "explanation: " + longE + e}}), {}, {"E3 text is 260 bytes long in Windows-1252"}},
        {"259 bytes in 518 of UTF-8", edit(kTextQuiz, {{3, "explanation: " + longE}}), {}, {}},
        {"missing media", kPictureQuiz, pictureFiles({{"carre.png", ""}}), {"E14 cannot open 'carre.png'"}},
        {"unreadable media", edit(kPictureQuiz, {{8, "media: dossier.jpg"}}), pictureFiles({{"dossier.jpg/", "/"}}), {"E8 cannot open 'dossier.jpg'"}},
        {"picture of another format", edit(kPictureQuiz, {{8, "media: rond.tif"}}), pictureFiles({{"rond.tif", "II*"}}),
         {"E8 a picture must be a .jpg"}},
        {"PNG the decoder refuses", kPictureQuiz, pictureFiles({{"rond-r.png", suitePng("basn2c08", true)}}),
         {"E9 the player cannot show 'rond-r.png'"}},
        {"arithmetic-coded JPEG", kPictureQuiz, pictureFiles({{"rond.jpg", jpeg('\xC9')}}), {"W8 the player may not show 'rond.jpg'"}},
        {"answer ending in a blank", edit(kTextQuiz, {{12, "answer: VIENNE "}}), {}, {"W12 starts or ends with a blank"}},
        {"answer with an inner blank", edit(kTextQuiz, {{12, "answer: LA VIENNE"}}), {}, {}},
        {"answer of 3 characters", edit(kTextQuiz, {{12, "answer: RIO"}}), {}, {"W12 answer 'RIO' has 3 characters or fewer"}},
        {"answer of 4 characters", edit(kTextQuiz, {{12, "answer: ROME"}}), {}, {}},
        {"lower-case accent", edit(kTextQuiz, {{12, "answer: Bient\xC3\xB4t"}}), {}, {"W12 'BIENT\xC3\x94T' typed in capitals gets FAUX"}},
        {"lower-case ligature", edit(kTextQuiz, {{12, "answer: B\xC5\x93UF"}}), {}, {"W12 'B\xC5\x92UF' typed in capitals gets FAUX"}},
        {"capital accents, lower-case ASCII", edit(kTextQuiz, {{12, "answer: \xC3\x89t\xC3\x89 stra\xC3\x9F" "e"}}), {}, {}},
        {"one edit apart", edit(kTextQuiz, {{12, "answer: BRUXELLE"}}), {},
         {"W12 'BRUXELLE' and 'BRUXELLES' (line 8) are so close that a player who types one for the other gets \"Quasiment\""}},
        {"anagrams", edit(kTextQuiz, {{8, "answer: CHIEN"}, {12, "answer: niche"}}), {}, {"W12 gets \"Anagramme\""}},
        {"presque", edit(kTextQuiz, {{8, "answer: MARSEILLE"}, {12, "answer: MARCEILE"}}), {}, {"W12 gets \"Presque\""}},
        // The short answer gets no hint itself, but typed into the longer one's field it does.
        {"short answer inside a longer one", edit(kTextQuiz, {{8, "answer: COQ"}, {12, "answer: COQS"}}), {},
         {"W8 answer 'COQ' has 3 characters", "W12 'COQS' and 'COQ' (line 8) are so close"}},
        {"same answer twice", edit(kTextQuiz, {{12, "answer: BRUXELLES"}}), {}, {}},
        {"three edits apart", edit(kTextQuiz, {{8, "answer: PARIS"}, {12, "answer: PERSE"}}), {}, {}},
        {"first and second answer close", "title: T\nkind: picture\nanswers: 2\nlabel1: A\nlabel2: B\ncode: X\nquestion:\n"
         "media: rond.jpg\nanswer: DUPONT\nanswer2: DUPOND\n", {{"rond.jpg", jpeg()}}, {"W10 'DUPOND' and 'DUPONT' (line 9)"}},
        {"fewer codes", edit(kTextQuiz, {{5, "#"}}), {}, {"W4 1 code for 2 questions: the code field is empty once more than 1 are solved"}},
        {"no code", edit(kTextQuiz, {{4, "#"}, {5, "#"}}), {}, {"W0 the quiz has no 'code'"}},
        {"more codes", edit(kTextQuiz, {{3, "code: TROIS"}}), {}, {"E5 more codes (3) than questions (2)"}},
        {"reveal text without reveal mode", edit(kTextQuiz, {{9, "reveal: Bruxelles"}}), {}, {"E9 never shown with 'reveal: 0'"}},
        {"reveal texts in a text quiz", edit(kTextQuiz, {{3, "reveal: 2"}, {9, "reveal: A"}, {13, "reveal: B"}}), {},
         {"W3 a text quiz never shows reveal texts"}},
        {"answer pictures the mode never shows", edit(kPictureQuiz, {{3, "reveal: 2"}}), pictures,
         {"E9 an answer picture is shown only in a picture quiz with 'reveal: 1' or 'reveal: 3'", "E15 an answer picture"}},
        {"picture reveal without answer pictures", edit(kPictureQuiz, {{9, "#"}, {15, "#"}}), pictures,
         {"W0 'carre-r.jpg' in the quiz folder is not used", "W0 'rond-r.png' in the quiz folder is not used",
          "W3 'reveal: 3' shows answer pictures, but no question has an 'answer-picture'"}},
        {"picture reveal in a sound quiz", edit(kSoundQuiz, {{3, "reveal: 1"}}), sound,
         {"W3 'reveal: 1' shows answer pictures, which only a picture quiz has"}},
        {"one question without reveal text", edit(kPictureQuiz, {{17, "#"}}), pictures, {"W13 question 2 has no 'reveal' text"}},
        {"no reveal text at all", edit(kPictureQuiz, {{3, "reveal: 4"}, {9, "#"}, {11, "#"}, {15, "#"}, {17, "#"}}),
         pictureFiles({{"rond-r.png", ""}, {"carre-r.jpg", ""}}), {"W3 'reveal: 4' shows reveal texts, but no question has one"}},
        {"media in a text quiz", edit(kTextQuiz, {{9, "media: rond.jpg"}}), {{"rond.jpg", jpeg()}}, {"E9 a text quiz has no media"}},
        {"answer picture in a sound quiz", kSoundQuiz + "answer-picture: b.jpg\n", {{"a.mp3", "ID3"}, {"b.jpg", jpeg()}},
         {"E8 an answer picture is shown only"}},
        {"pictures in a text quiz's folder", kTextQuiz, {{"photo.jpg", jpeg()}},
         {"W0 a text quiz shows no media: 'photo.jpg' in the quiz folder is not used"}},
        {"unused file in a subfolder", kPictureQuiz, pictureFiles({{"images/spare.JPG", jpeg()}}),
         {"W0 'images/spare.JPG' in the quiz folder is not used by any question"}},
        {"other files in the folder", kPictureQuiz, pictureFiles({{"notes.txt", "to do"}}), {}},
        {"caption in a picture quiz", edit(kPictureQuiz, {{12, "caption: Rond"}}), pictures, {"W12 a picture quiz never shows captions"}},
        {"answer labels with one answer", edit(kTextQuiz, {{3, "label1: Nom"}}), {}, {"W3 'label1' is shown only with 'answers: 2'"}},
        {"text question without caption", edit(kTextQuiz, {{11, "#"}}), {}, {"W10 question 2 has no 'caption'"}},
        // Rules on answers run despite errors; rules on the structure (here the codes) wait for a quiz the parser understood.
        {"answer rules despite errors", edit(kTextQuiz, {{2, "kind: poster"}, {5, "#"}, {12, "answer: RIO"}}), {},
         {"E2 unknown kind 'poster'", "W12 answer 'RIO'"}},
    };
    for (const auto& [name, source, files, expected] : cases) {
        const ScratchFolder folder(files);
        const CheckResult result = checkQuizSource(source, folder.path());
        EXPECT_EQ(matched(result.diagnostics, expected), expected) << name;
        EXPECT_EQ(result.hasErrors(), expected.size() && expected[0][0] == 'E') << name;
    }
}

// A BMP file header, then an info header of the given size with the picture's size.
std::string bmp(int headerSize, int width, int height)
{
    const auto le = [](int value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
        return out;
    };
    const int size = headerSize == 12 ? 2 : 4;
    return "BM" + std::string(12, '\0') + le(headerSize, 4) + le(width, size) + le(height, size) + std::string(16, '\0');
}

TEST(MediaInspection, ReadsFormatSizeAndFitness)
{
    const std::pair<std::string, const char*> cases[] = {  // the bytes; format, size, refused (R) or doubtful (D)
        {jpeg('\xC2'), "JPEG 32x16"},
        {jpeg('\xC3'), "JPEG 32x16 D"},
        {jpeg('\xC0', std::string("\xFF\xC4\x00\x02\xFF\xFF\xCC\x00\x02", 9)), "JPEG 32x16"},  // tables and a fill byte first
        {kJpegWithoutFrame, "JPEG 0x0 R"},
        {std::string("\xFF\xD8\xFF\xE0\x00\x40", 6), "JPEG 0x0 R"},  // cut in its first marker
        {std::string("GIF89a\x40\x01\xF0\x00", 10), "GIF 320x240"},
        {"GIF89a\x40", "GIF 0x0 R"},
        {bmp(40, 300, -200), "BMP 300x200"},
        {bmp(12, 30, 20), "BMP 30x20"},
        {bmp(20, 30, 20), "BMP 0x0 R"},
        {suitePng("basn2c08"), "PNG 32x32"},
        {suitePng("basn2c08", true), "PNG 32x32 R"},
        {"ID3\x03 tag", "MP3 0x0"},
        {"plain text", "none 0x0"},
    };
    for (const auto& row : cases) {
        const MediaInfo info = inspectMedia(reinterpret_cast<const unsigned char*>(row.first.data()), row.first.size());
        EXPECT_EQ((info.format ? mediaFormatName(*info.format) : std::string("none")) + " " + std::to_string(info.width) + "x" +
                      std::to_string(info.height) + (info.refusal.empty() ? "" : " R") + (info.doubt.empty() ? "" : " D"),
                  row.second);
    }
}

}  // namespace
