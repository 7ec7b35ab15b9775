// Host tests of the authoring tool's check: every rule with a quiz that triggers it and one
// that does not, run on real folders so media rules see real files.
#include <gtest/gtest.h>

#include <algorithm>

#include "lint.h"
#include "media_info.h"
#include "quiz_files_test_support.h"

namespace fs = std::filesystem;

namespace {

using Severity = Diagnostic::Severity;

// Baseline JPEG: start of image, a frame header for 32 x 16 pixels (coding process in byte 3), end.
std::string jpeg(char process = '\xC0')
{
    return std::string("\xFF\xD8\xFF", 3) + process + std::string("\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 19);
}

// A JPEG whose scan starts before any frame header, as in a file cut and pasted together.
const std::string kJpegWithoutFrame = std::string("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xDA\x00\x02\xFF\xD9", 14);

std::string suitePng(const char* stem)
{
    return readAll(fs::path(ENIGO_PNGSUITE_DIR) / (std::string(stem) + ".png"));
}

// A valid PNG cut inside its image data: the signature is right, the decoder refuses it.
std::string truncatedPng()
{
    const std::string whole = suitePng("basn2c08");
    return whole.substr(0, whole.size() / 2);
}

// Replaces whole lines (numbered from 1) of a source.
std::string edit(const std::string& source, const std::map<int, std::string>& lines)
{
    std::string out;
    int number = 0;
    std::size_t start = 0;
    while (start < source.size()) {
        const std::size_t end = source.find('\n', start);
        ++number;
        const auto replacement = lines.find(number);
        out += replacement != lines.end() ? replacement->second : source.substr(start, end - start);
        out += '\n';
        start = end + 1;
    }
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

using Files = std::map<std::string, std::string>;

// The picture quiz's files, with some replaced (an empty content removes the file).
Files pictureFiles(const Files& changes = {})
{
    Files files = {{"rond.jpg", jpeg()}, {"rond-r.png", suitePng("basn2c08")}, {"carre.png", suitePng("basi0g08")},
                   {"carre-r.jpg", jpeg('\xC2')}};
    for (const auto& change : changes) {
        if (change.second.empty()) {
            files.erase(change.first);
        } else {
            files[change.first] = change.second;
        }
    }
    return files;
}

struct Expected {
    Severity severity;
    int line;
    std::string fragment;
};

struct LintCase {
    std::string name;
    std::string source;
    Files files;
    std::vector<Expected> expected;  // exactly these, in this order; none for a clean quiz
};

// Many questions with answers pairwise far apart: 'ABABAB', 'ACACAC'... (three edits or more,
// never anagrams of each other), and as many codes.
std::string manyQuestions(int count, int codes)
{
    std::string source = "title: Grand quiz\nkind: text\n";
    for (int i = 0; i < codes; ++i) {
        source += "code: C" + std::to_string(i) + "\n";
    }
    int made = 0;
    for (char a = 'A'; a <= 'Z' && made < count; ++a) {
        for (char b = static_cast<char>(a + 1); b <= 'Z' && made < count; ++b, ++made) {
            const std::string pair{a, b};
            source += "question:\ncaption: Q\nanswer: " + pair + pair + pair + "\n";
        }
    }
    return source;
}

const std::string kUtf8E = "\xC3\xA9";  // é

std::vector<LintCase> lintCases()
{
    const Files pictures = pictureFiles();
    std::string longE;
    for (int i = 0; i < 259; ++i) {
        longE += kUtf8E;
    }
    return {
        {"TextQuizClean", kTextQuiz, {}, {}},
        {"PictureQuizClean", kPictureQuiz, pictures, {}},

        {"TextOutsideCp1252", edit(kTextQuiz, {{7, "caption: \xC5\x81\xC3\xB3\x64\xC5\xBA ?"}}), {},
         {{Severity::Error, 7, "U+0141 has no Windows-1252 form"}}},
        {"TextInsideCp1252", edit(kTextQuiz, {{7, "caption: \xE2\x82\xAC \xC5\x93 \xC5\xB8 ?"}}), {}, {}},

        {"SeparatorInText", edit(kTextQuiz, {{11, "caption: Autriche | Hongrie"}}), {},
         {{Severity::Error, 11, "'|' is not allowed in a text"}}},
        {"SeparatorInCode", edit(kTextQuiz, {{5, "code: DE|UX"}}), {}, {}},

        {"NinetySevenQuestions", manyQuestions(97, 97), {},
         {{Severity::Error, 2 + 97 + 96 * 3 + 1, "too many questions"}}},
        {"NinetySixQuestions", manyQuestions(96, 96), {}, {}},

        {"TextOf260Bytes", edit(kTextQuiz, {{3, "explanation: " + longE + kUtf8E}}), {},
         {{Severity::Error, 3, "text is 260 bytes long in Windows-1252"}}},
        {"TextOf259BytesIn518Utf8Bytes", edit(kTextQuiz, {{3, "explanation: " + longE}}), {}, {}},

        {"MissingMedia", kPictureQuiz, pictureFiles({{"carre.png", ""}}),
         {{Severity::Error, 14, "cannot open 'carre.png'"}}},
        {"UnreadableMedia", edit(kPictureQuiz, {{8, "media: dossier.jpg"}}), pictures,
         {{Severity::Error, 8, "cannot open 'dossier.jpg'"}}},

        {"PictureOfAnotherFormat", edit(kPictureQuiz, {{8, "media: rond.tif"}}),
         pictureFiles({{"rond.jpg", ""}, {"rond.tif", "II*"}}),
         {{Severity::Error, 8, "a picture must be a .jpg"}}},
        {"PngTheDecoderRefuses", kPictureQuiz, pictureFiles({{"rond-r.png", truncatedPng()}}),
         {{Severity::Error, 9, "the player cannot show 'rond-r.png'"}}},
        {"JpegWithoutFrame", kPictureQuiz, pictureFiles({{"rond.jpg", kJpegWithoutFrame}}),
         {{Severity::Error, 8, "the player cannot show 'rond.jpg': it holds no JPEG frame header"}}},
        {"ArithmeticJpeg", kPictureQuiz, pictureFiles({{"rond.jpg", jpeg('\xC9')}}),
         {{Severity::Warning, 8, "the player may not show 'rond.jpg'"}}},

        {"AnswerEndingInBlank", edit(kTextQuiz, {{12, "answer: VIENNE "}}), {},
         {{Severity::Warning, 12, "starts or ends with a blank"}}},
        {"AnswerWithInnerBlank", edit(kTextQuiz, {{12, "answer: LA VIENNE"}}), {}, {}},

        {"AnswerOfThreeCharacters", edit(kTextQuiz, {{12, "answer: RIO"}}), {},
         {{Severity::Warning, 12, "answer 'RIO' has 3 characters or fewer"}}},
        {"AnswerOfFourCharacters", edit(kTextQuiz, {{12, "answer: ROME"}}), {}, {}},

        {"LowerCaseAccents", edit(kTextQuiz, {{12, "answer: Bient\xC3\xB4t"}}), {},
         {{Severity::Warning, 12, "'BIENT\xC3\x94T' typed in capitals gets FAUX"}}},
        {"LowerCaseLigature", edit(kTextQuiz, {{12, "answer: B\xC5\x93UF"}}), {},
         {{Severity::Warning, 12, "'B\xC5\x92UF' typed in capitals gets FAUX"}}},
        {"CapitalAccentsAndLowerCaseAscii", edit(kTextQuiz, {{12, "answer: \xC3\x89t\xC3\x89 stra\xC3\x9F" "e"}}), {},
         {}},

        {"AnswersOneEditApart", edit(kTextQuiz, {{12, "answer: BRUXELLE"}}), {},
         {{Severity::Warning, 12, "'BRUXELLE' and 'BRUXELLES' (line 8) are so close that a player who types one "
                                  "for the other gets \"Quasiment\""}}},
        {"AnswersTwoEditsApart", edit(kTextQuiz, {{12, "answer: BRUXELES"}}), {},
         {{Severity::Warning, 12, "gets \"Quasiment\""}}},
        {"AnswersThatAreAnagrams", edit(kTextQuiz, {{8, "answer: CHIEN"}, {12, "answer: niche"}}), {},
         {{Severity::Warning, 12, "gets \"Anagramme\""}}},
        {"AnswersPresque", edit(kTextQuiz, {{8, "answer: MARSEILLE"}, {12, "answer: MARCEILE"}}), {},
         {{Severity::Warning, 12, "gets \"Presque\""}}},
        // The short answer gets no hint itself, but typed into the longer one's field it does.
        {"ShortAnswerInsideALongerOne", edit(kTextQuiz, {{8, "answer: COQ"}, {12, "answer: COQS"}}), {},
         {{Severity::Warning, 8, "answer 'COQ' has 3 characters or fewer"},
          {Severity::Warning, 12, "'COQS' and 'COQ' (line 8) are so close that a player who types one for the "
                                  "other gets \"Quasiment\""}}},
        {"SameAnswerTwice", edit(kTextQuiz, {{12, "answer: BRUXELLES"}}), {}, {}},
        {"AnswersThreeEditsApart", edit(kTextQuiz, {{8, "answer: PARIS"}, {12, "answer: PERSE"}}), {}, {}},
        {"FirstAndSecondAnswerClose",
         "title: T\nkind: picture\nanswers: 2\nlabel1: A\nlabel2: B\ncode: X\nquestion:\nmedia: rond.jpg\n"
         "answer: DUPONT\nanswer2: DUPOND\n",
         {{"rond.jpg", jpeg()}},
         {{Severity::Warning, 10, "'DUPOND' and 'DUPONT' (line 9)"}}},

        {"FewerCodes", edit(kTextQuiz, {{5, "# no second code"}}), {},
         {{Severity::Warning, 4, "1 code for 2 questions: the code field is empty once more than 1 are solved"}}},
        {"NoCode", edit(kTextQuiz, {{4, "#"}, {5, "#"}}), {},
         {{Severity::Warning, 0, "the quiz has no 'code'"}}},
        {"MoreCodes", edit(kTextQuiz, {{3, "code: TROIS"}}), {},
         {{Severity::Error, 5, "more codes (3) than questions (2)"}}},

        {"RevealTextWithoutRevealMode", edit(kTextQuiz, {{9, "reveal: Bruxelles"}}), {},
         {{Severity::Error, 9, "never shown with 'reveal: 0'"}}},
        {"RevealTextsInATextQuiz", edit(kTextQuiz, {{3, "reveal: 2"}, {9, "reveal: A"}, {13, "reveal: B"}}), {},
         {{Severity::Warning, 3, "a text quiz never shows reveal texts"}}},
        {"AnswerPictureWithoutPictureReveal", edit(kPictureQuiz, {{3, "reveal: 2"}}), pictures,
         {{Severity::Error, 9, "an answer picture is shown only in a picture quiz with 'reveal: 1' or 'reveal: 3'"},
          {Severity::Error, 15, "an answer picture is shown only"}}},
        {"PictureRevealWithoutAnswerPictures", edit(kPictureQuiz, {{9, "#"}, {15, "#"}}), pictures,
         {{Severity::Warning, 0, "'carre-r.jpg' in the quiz folder is not used"},
          {Severity::Warning, 0, "'rond-r.png' in the quiz folder is not used"},
          {Severity::Warning, 3, "'reveal: 3' shows answer pictures, but no question has an 'answer-picture'"}}},
        {"PictureRevealInASoundQuiz",
         "title: Sons\nkind: sound\nreveal: 1\ncode: A\nquestion:\nmedia: a.mp3\nanswer: ABCD\n",
         {{"a.mp3", "ID3\x03"}},
         {{Severity::Warning, 3, "'reveal: 1' shows answer pictures, which only a picture quiz has"}}},
        {"QuestionWithoutRevealText", edit(kPictureQuiz, {{17, "#"}}), pictures,
         {{Severity::Warning, 13, "question 2 has no 'reveal' text"}}},
        {"NoRevealTextAtAll", edit(kPictureQuiz, {{3, "reveal: 4"}, {9, "#"}, {11, "#"}, {15, "#"}, {17, "#"}}),
         pictureFiles({{"rond-r.png", ""}, {"carre-r.jpg", ""}}),
         {{Severity::Warning, 3, "'reveal: 4' shows reveal texts, but no question has one"}}},

        {"MediaInATextQuiz", edit(kTextQuiz, {{9, "media: rond.jpg"}}), {{"rond.jpg", jpeg()}},
         {{Severity::Error, 9, "a text quiz has no media"}}},
        {"AnswerPictureInASoundQuiz",
         "title: Sons\nkind: sound\ncode: A\nquestion:\nmedia: a.mp3\nanswer-picture: b.jpg\nanswer: ABCD\n",
         {{"a.mp3", "ID3\x03"}, {"b.jpg", jpeg()}},
         {{Severity::Error, 6, "an answer picture is shown only"}}},
        {"PictureFilesInATextQuizFolder", kTextQuiz, {{"photo.jpg", jpeg()}},
         {{Severity::Warning, 0, "a text quiz shows no media: 'photo.jpg' in the quiz folder is not used"}}},
        {"UnusedFileInASubfolder", kPictureQuiz, pictureFiles({{"images/spare.JPG", jpeg()}}),
         {{Severity::Warning, 0, "'images/spare.JPG' in the quiz folder is not used by any question"}}},
        {"OtherFilesInTheFolder", kPictureQuiz, pictureFiles({{"notes.txt", "to do"}}), {}},
        {"CaptionInAPictureQuiz", edit(kPictureQuiz, {{12, "caption: Rond"}}), pictures,
         {{Severity::Warning, 12, "a picture quiz never shows captions"}}},
        {"AnswerLabelsWithOneAnswer", edit(kTextQuiz, {{3, "label1: Nom"}}), {},
         {{Severity::Warning, 3, "'label1' is shown only with 'answers: 2'"}}},
        {"TextQuestionWithoutCaption", edit(kTextQuiz, {{11, "# no caption"}}), {},
         {{Severity::Warning, 10, "question 2 has no 'caption'"}}},
    };
}

class LintRule : public testing::TestWithParam<LintCase> {};

TEST_P(LintRule, ReportsExactlyWhatIsWrongAtItsLine)
{
    const LintCase& row = GetParam();
    Files files = row.files;
    files["dossier.jpg/"] = "";  // a folder where a picture is expected
    const ScratchFolder folder(files);
    const CheckResult result = checkQuizSource(row.source, folder.path());
    ASSERT_EQ(result.diagnostics.size(), row.expected.size()) << listed(result.diagnostics);
    for (std::size_t i = 0; i < row.expected.size(); ++i) {
        const Diagnostic& got = result.diagnostics[i];
        const Expected& want = row.expected[i];
        EXPECT_EQ(got.severity, want.severity) << listed(result.diagnostics);
        EXPECT_EQ(got.line, want.line) << listed(result.diagnostics);
        EXPECT_NE(got.message.find(want.fragment), std::string::npos)
            << "want: " << want.fragment << "\n got: " << got.message;
    }
    const bool anyError = std::any_of(row.expected.begin(), row.expected.end(),
                                      [](const Expected& e) { return e.severity == Severity::Error; });
    EXPECT_EQ(result.hasErrors(), anyError);
}

INSTANTIATE_TEST_SUITE_P(Check, LintRule, testing::ValuesIn(lintCases()),
                         [](const testing::TestParamInfo<LintCase>& info) { return info.param.name; });

// Rules on answers keep working when another part of the quiz is wrong; rules on the quiz's
// structure wait for a quiz the parser understood.
TEST(Check, AnswerRulesRunDespiteErrorsStructureRulesDoNot)
{
    const ScratchFolder folder;
    const CheckResult result =
        checkQuizSource(edit(kTextQuiz, {{2, "kind: poster"}, {5, "#"}, {12, "answer: RIO"}}), folder.path());
    ASSERT_EQ(result.diagnostics.size(), 2u) << listed(result.diagnostics);
    EXPECT_EQ(result.diagnostics[0].line, 2);
    EXPECT_EQ(result.diagnostics[1].line, 12);
    EXPECT_TRUE(result.hasErrors());
}

struct MediaCase {
    const char* name;
    std::string bytes;
    const char* format;
    int width;
    int height;
    bool refused;
    bool doubtful;
};

class MediaInspection : public testing::TestWithParam<MediaCase> {};

TEST_P(MediaInspection, ReadsFormatSizeAndFitness)
{
    const MediaCase& row = GetParam();
    const auto* bytes = reinterpret_cast<const unsigned char*>(row.bytes.data());
    const MediaInfo info = inspectMedia(bytes, row.bytes.size());
    EXPECT_EQ(info.format ? mediaFormatName(*info.format) : "none", std::string(row.format));
    EXPECT_EQ(info.width, row.width);
    EXPECT_EQ(info.height, row.height);
    EXPECT_EQ(!info.refusal.empty(), row.refused) << info.refusal;
    EXPECT_EQ(!info.doubt.empty(), row.doubtful) << info.doubt;
}

std::string bmp(int headerSize, int width, int height)
{
    std::string bytes = "BM" + std::string(12, '\0');
    const auto append32 = [&bytes](int value) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((static_cast<unsigned>(value) >> (8 * i)) & 0xFF);
        }
    };
    append32(headerSize);
    if (headerSize == 12) {
        bytes += {static_cast<char>(width), 0, static_cast<char>(height), 0};
    } else {
        append32(width);
        append32(height);
    }
    return bytes + std::string(16, '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Media, MediaInspection,
    testing::Values(MediaCase{"BaselineJpeg", jpeg(), "JPEG", 32, 16, false, false},
                    MediaCase{"ProgressiveJpeg", jpeg('\xC2'), "JPEG", 32, 16, false, false},
                    MediaCase{"LosslessJpeg", jpeg('\xC3'), "JPEG", 32, 16, false, true},
                    MediaCase{"ArithmeticJpeg", jpeg('\xC9'), "JPEG", 32, 16, false, true},
                    MediaCase{"JpegWithoutFrame", kJpegWithoutFrame, "JPEG", 0, 0, true, false},
                    MediaCase{"JpegCutInItsFirstMarker", std::string("\xFF\xD8\xFF\xE0\x00\x40", 6), "JPEG", 0, 0,
                              true, false},
                    MediaCase{"Gif", std::string("GIF89a\x40\x01\xF0\x00", 10), "GIF", 320, 240, false, false},
                    MediaCase{"GifCutShort", "GIF89a\x40", "GIF", 0, 0, true, false},
                    MediaCase{"BmpTopDown", bmp(40, 300, -200), "BMP", 300, 200, false, false},
                    MediaCase{"BmpOs2Header", bmp(12, 30, 20), "BMP", 30, 20, false, false},
                    MediaCase{"BmpUnknownHeader", bmp(20, 30, 20), "BMP", 0, 0, true, false},
                    MediaCase{"Png", suitePng("basn2c08"), "PNG", 32, 32, false, false},
                    MediaCase{"InterlacedPng", suitePng("basi0g08"), "PNG", 32, 32, false, false},
                    MediaCase{"PngCutInItsImageData", truncatedPng(), "PNG", 32, 32, true, false},
                    MediaCase{"Mp3", "ID3\x03 tag", "MP3", 0, 0, false, false},
                    MediaCase{"Text", "plain text", "none", 0, 0, false, false}),
    [](const testing::TestParamInfo<MediaCase>& info) { return info.param.name; });

}  // namespace
