// Host tests of the progress file's byte rules: reading and writing lines, the file's name.
#include "app/progress_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
const std::string k259(259, 'a');

// Every line of a file as read one after the other, then one read at the end.
std::vector<std::string> linesOf(const std::string& file)
{
    const Bytes bytes(file.begin(), file.end());  // exact size: a sanitizer sees a read past the end
    std::vector<std::string> lines;
    for (std::size_t position = 0, next = 0; lines.size() < 100; position = next) {
        char text[kTextSize];
        std::memset(text, 'z', sizeof text);
        next = readProgressLine(bytes.data(), bytes.size(), position, text);
        if (position >= bytes.size()) {
            lines.push_back(next == bytes.size() && text[0] == '\0' ? "<end>" : "<bad end>");
            break;
        }
        lines.push_back(next > position ? std::string(text, strnlen(text, sizeof text)) : "<stuck>");
    }
    return lines;
}

TEST(ProgressLines, ReadSplitsTheFileIntoFieldTexts)
{
    const struct {
        std::string file;
        std::vector<std::string> lines;
    } cases[] = {
        {"Paris\r\nRome\r\n", {"Paris", "Rome", "<end>"}}, {"", {"<end>"}},
        {"\r\n\r\nx\r\n", {"", "", "x", "<end>"}},    {"a\nb\r\nc\r\n", {"a\nb", "c", "<end>"}},  // a bare LF is text
        {"one\rjunk\ntwo\r\n", {"one", "two", "<end>"}}, {"one\r\ntwo\r", {"one", "two", "<end>"}},
        {"a\rb\r\nc\r\n", {"a", "c", "<end>"}}, {"a\rb\rc", {"a", "<end>"}},  // from a CR up to a LF is skipped
        {"first\r\n\xE9t\xE9 \x80\xFF", {"first", "\xE9t\xE9 \x80\xFF", "<end>"}},
        {k259 + "\r\nnext\r\n", {k259, "next", "<end>"}},
        {k259 + "y\r\nnext\r\n", {k259, "next", "<end>"}},
        {k259 + std::string(41, 'b') + "\rjunk\nnext", {k259, "next", "<end>"}},
        {std::string("ab\0cd\r\nnext\r\n", 13), {"ab", "next", "<end>"}},
    };
    for (const auto& c : cases) EXPECT_EQ(linesOf(c.file), c.lines) << c.file.substr(0, 20);
    const unsigned char bytes[] = {'a', 'b', '\r', '\n', 'c'};
    char text[kTextSize] = "stale";
    EXPECT_EQ(readProgressLine(bytes, 3, 10, text), 3u);  // past the given size
    EXPECT_STREQ(text, "");
    EXPECT_EQ(readProgressLine(nullptr, 0, 0, text), 0u);
}

// Each text's line, then all lines written one after the other read back as what they hold.
TEST(ProgressLines, FormatWritesTheTextThenCrLfAndReadsBack)
{
    const struct {
        std::string text, line;
    } cases[] = {
        {"Paris", "Paris\r\n"}, {"", "\r\n"},           {"a\r\nb", "a\r\n"},
        {"a\nb", "a\nb\r\n"},  {k259, k259 + "\r\n"}, {k259 + "bbb", k259 + "\r\n"},
    };
    std::string file;
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        char line[kProgressLineSize];
        const int length = formatProgressLine(c.text.c_str(), line);
        EXPECT_EQ(std::string(line, static_cast<std::size_t>(length)), c.line);
        file += std::string(line, static_cast<std::size_t>(length));
        expected.push_back(c.line.substr(0, c.line.size() - 2));
    }
    expected.push_back("<end>");
    EXPECT_EQ(linesOf(file), expected);
}

TEST(ProgressLines, NameKeepsTheFileNameWithTxtForItsLastThreeLetters)
{
    const struct {
        std::string path, file;
    } cases[] = {
        {"C:\\Jeux\\game.exe", "game.txt"},        {"game.exe", "game.txt"},
        {"C:\\Quiz.v2\\Quiz.EXE", "Quiz.txt"},     {"Z:/tmp/x/quiz.exe", "quiz.txt"},
        {"C:\\dir/sub\\q.exe", "q.txt"},           {"C:\\jeux\\quiz", "qtxt"},
        {"C:\\jeux\\abc", "txt"},                  {"C:\\jeux\\ab", "txt"},
        {"C:\\jeux\\", "txt"},                     {"", "txt"},
        {"C:\\" + std::string(300, 'q'), std::string(253, 'q') + "txt"},  // the path is read up to 259
        {std::string(259, 'r') + "\\late.exe", std::string(256, 'r') + "txt"},
    };
    for (const auto& c : cases) {
        struct {
            char name[kTextSize];
            char guard;
        } buffer;
        std::memset(&buffer, 'z', sizeof buffer);
        progressNameFromPath(c.path.c_str(), buffer.name);
        EXPECT_EQ(std::string(buffer.name) + buffer.guard, c.file + "z") << c.path.substr(0, 30);
    }
}

}  // namespace
