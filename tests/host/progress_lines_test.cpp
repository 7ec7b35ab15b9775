// Host tests of the progress file's byte rules: line splitting and cutting, the saved line's
// format, the writer-reader round trip, and the file name derived from the executable's path.
#include "app/progress_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct LineCase {
    const char* name;
    std::string file;
    std::vector<std::string> lines;
};

// Failures name the row, not its bytes.
void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ReadProgressLine : public testing::TestWithParam<LineCase> {};

TEST_P(ReadProgressLine, SplitsTheFileIntoFieldTexts)
{
    const LineCase& c = GetParam();
    // An exact-size copy, so that a sanitizer sees any read past the end.
    const Bytes bytes(c.file.begin(), c.file.end());
    std::size_t position = 0;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        char text[kTextSize];
        std::memset(text, 'z', sizeof text);
        const std::size_t next = readProgressLine(bytes.data(), bytes.size(), position, text);
        const std::string& expected = c.lines[i];
        ASSERT_LE(expected.size(), static_cast<std::size_t>(kMaxTextLength));
        EXPECT_EQ(std::string(text, expected.size()), expected) << "line " << i + 1;  // NUL bytes included
        EXPECT_EQ(text[expected.size()], '\0') << "line " << i + 1;
        EXPECT_GT(next, position) << "line " << i + 1;
        EXPECT_LE(next, bytes.size()) << "line " << i + 1;
        position = next;
    }
    EXPECT_EQ(position, bytes.size()) << "every byte belongs to one of the lines";
    for (int extra = 0; extra < 3; ++extra) {
        char text[kTextSize] = "stale";
        EXPECT_EQ(readProgressLine(bytes.data(), bytes.size(), position, text), bytes.size());
        EXPECT_STREQ(text, "") << "fields past the end start empty";
    }
}

const std::string k259(259, 'x');
const std::string k300 = std::string(259, 'a') + std::string(41, 'b');

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProgressLine,
    testing::Values(
        LineCase{"CrLfLines", "Paris\r\nRome\r\n", {"Paris", "Rome"}},
        LineCase{"EmptyFile", "", {}},
        LineCase{"EmptyLines", "\r\n\r\nx\r\n", {"", "", "x"}},
        LineCase{"BareLfIsText", "a\nb\r\nc\r\n", {"a\nb", "c"}},
        LineCase{"LeadingLfIsText", "\n\r\nz\r\n", {"\n", "z"}},
        LineCase{"JunkBetweenCrAndLfSkipped", "one\rjunk\ntwo\r\n", {"one", "two"}},
        LineCase{"CrCrLf", "a\r\r\nb\r\n", {"a", "b"}},
        LineCase{"CrAtTheVeryEnd", "one\r\ntwo\r", {"one", "two"}},
        LineCase{"CrWithoutLfSwallowsTheRest", "a\rb\r\nc\r\n", {"a", "c"}},
        LineCase{"CrNeverFollowedByLf", "a\rb\rc", {"a"}},
        LineCase{"LastLineWithoutCrLf", "first\r\nlast", {"first", "last"}},
        LineCase{"OnlyLineWithoutCrLf", "seul", {"seul"}},
        LineCase{"Line259Whole", k259 + "\r\nnext\r\n", {k259, "next"}},
        LineCase{"Line260Cut", k259 + "y\r\nnext\r\n", {k259, "next"}},
        LineCase{"Line300CutRestSkipped", k300 + "\r\nnext\r\n", {std::string(259, 'a'), "next"}},
        LineCase{"LongLineWithJunkAfterCr", k300 + "\rjunk\nnext", {std::string(259, 'a'), "next"}},
        LineCase{"LongLastLineWithoutCrLf", "x\r\n" + k300, {"x", std::string(259, 'a')}},
        LineCase{"NulInsideALine", std::string("ab\0cd\r\nnext\r\n", 13), {std::string("ab\0cd", 5), "next"}},
        LineCase{"Windows1252Bytes", "\xE9t\xE9 \x80\x9C\xFF\r\n\xC0\r\n", {"\xE9t\xE9 \x80\x9C\xFF", "\xC0"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(ReadProgressLineLimits, StopsAtTheGivenSizeAndGivesEmptyTextsPastIt)
{
    const unsigned char bytes[] = {'a', 'b', '\r', '\n', 'c'};
    char text[kTextSize];
    EXPECT_EQ(readProgressLine(bytes, 2, 0, text), 2u);
    EXPECT_STREQ(text, "ab");
    EXPECT_EQ(readProgressLine(bytes, 3, 0, text), 3u) << "a CR as the last byte ends the file";
    EXPECT_STREQ(text, "ab");
    std::strcpy(text, "stale");
    EXPECT_EQ(readProgressLine(bytes, 3, 10, text), 3u);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "stale");
    EXPECT_EQ(readProgressLine(nullptr, 0, 0, text), 0u);
    EXPECT_STREQ(text, "");
}

struct FormatCase {
    const char* name;
    std::string text;
    std::string line;
};

// In the order the round trip below writes them: an empty line between others, a cut before a long one.
const std::vector<FormatCase> kFormatCases = {
    {"Word", "Paris", "Paris\r\n"}, {"Empty", "", "\r\n"}, {"CutAtCr", "a\r\nb", "a\r\n"},
    {"BareLfKept", "a\nb", "a\nb\r\n"}, {"Whole259", k259, k259 + "\r\n"},
    {"Cut300", k300, std::string(259, 'a') + "\r\n"}, {"Accents", "\xE9t\xE9 \x80", "\xE9t\xE9 \x80\r\n"}};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class FormatProgressLine : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatProgressLine, WritesTheTextThenCrLf)
{
    const FormatCase& c = GetParam();
    char line[kProgressLineSize];
    const int length = formatProgressLine(c.text.c_str(), line);
    ASSERT_GE(length, 2);
    ASSERT_LE(length, kProgressLineSize);
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(length)), c.line);
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatProgressLine, testing::ValuesIn(kFormatCases),
                         [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

// The lines of every text above written one after the other read back as the texts they hold.
TEST(ProgressLineRoundTrip, EveryFieldComesBackOnItsOwnLine)
{
    Bytes file;
    for (const FormatCase& c : kFormatCases) {
        char line[kProgressLineSize];
        file.insert(file.end(), line, line + formatProgressLine(c.text.c_str(), line));
    }
    std::size_t position = 0;
    for (const FormatCase& c : kFormatCases) {
        char text[kTextSize];
        position = readProgressLine(file.data(), file.size(), position, text);
        EXPECT_EQ(std::string(text) + "\r\n", c.line) << c.name;
    }
    EXPECT_EQ(position, file.size());
}

struct NameCase {
    const char* name;
    std::string path;
    std::string file;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class ProgressNameFromPath : public testing::TestWithParam<NameCase> {};

TEST_P(ProgressNameFromPath, KeepsTheFileNameWithTxtForItsLastThreeLetters)
{
    const NameCase& c = GetParam();
    struct {
        char name[kTextSize];
        char guard;
    } buffer;
    std::memset(&buffer, 'z', sizeof buffer);
    progressNameFromPath(c.path.c_str(), buffer.name);
    EXPECT_EQ(std::string(buffer.name), c.file);
    EXPECT_EQ(buffer.guard, 'z') << "wrote past the name buffer";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgressNameFromPath,
    testing::Values(NameCase{"Plain", "C:\\Jeux\\game.exe", "game.txt"},
                    NameCase{"OneLetter", "Z:\\tmp\\a.exe", "a.txt"},
                    NameCase{"NoFolder", "game.exe", "game.txt"},
                    NameCase{"DottedFolderUpperCase", "C:\\Quiz.v2\\Quiz.EXE", "Quiz.txt"},
                    NameCase{"ForwardSlashes", "Z:/tmp/x/quiz.exe", "quiz.txt"},
                    NameCase{"MixedSeparators", "C:\\dir/sub\\q.exe", "q.txt"},
                    NameCase{"NoExtension", "C:\\jeux\\quiz", "qtxt"},
                    NameCase{"ThreeLetters", "C:\\jeux\\abc", "txt"},
                    NameCase{"TwoLetters", "C:\\jeux\\ab", "txt"},
                    NameCase{"TrailingSeparator", "C:\\jeux\\", "txt"},
                    NameCase{"EmptyPath", "", "txt"},
                    NameCase{"Accented", "C:\\Jeux\\\xE9nigme.exe", "\xE9nigme.txt"},
                    NameCase{"PathCutAt259", "C:\\" + std::string(300, 'q'), std::string(253, 'q') + "txt"},
                    NameCase{"SeparatorBeyond259Ignored", std::string(259, 'r') + "\\late.exe",
                             std::string(256, 'r') + "txt"}),
    [](const testing::TestParamInfo<NameCase>& info) { return info.param.name; });

} // namespace
