// Host tests of the progress file's byte rules: reading and writing lines, the file's name.
#include "app/progress_lines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string k259(259, 'a');

// Every line of a file as read one after the other ("<stuck>" when the reader does not move), then one read at the end.
std::string linesOf(const std::string& file)
{
    const std::vector<unsigned char> bytes(file.begin(), file.end());  // exact size: ASan sees a read past the end
    std::string lines;
    for (std::size_t position = 0, next = 0; lines.size() < 2000; position = next) {
        char text[kTextSize];
        std::memset(text, 'z', sizeof text);
        next = readProgressLine(bytes.data(), bytes.size(), position, text);
        if (position >= bytes.size()) return lines + (next == bytes.size() && text[0] == '\0' ? "<end>" : "<bad end>");
        lines += next > position ? std::string(text, strnlen(text, sizeof text)) + "|" : "<stuck>";
    }
    return lines;
}

TEST(ProgressLines, ReadFormatAndName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Paris\r\nRome\r\n", "Paris|Rome|<end>"}, {"", "<end>"}, {"\r\n\r\nx\r\n", "||x|<end>"},
        {"a\nb\r\nc\r\n", "a\nb|c|<end>"}, {"one\r\ntwo\r", "one|two|<end>"},  // a bare LF is text
        {"a\rb\r\nc\r\n", "a|c|<end>"}, {"a\rb\rc", "a|<end>"},          // from a CR up to a LF is skipped
        {"first\r\n\xE9t\xE9 \x80\xFF", "first|\xE9t\xE9 \x80\xFF|<end>"},
        {std::string("ab\0cd\r\nz\r\n", 10), "ab|z|<end>"}, {k259 + "y\r\nnext\r\n", k259 + "|next|<end>"},
        {k259 + std::string(41, 'b') + "\rjunk\nnext", k259 + "|next|<end>"},
    };
    for (const auto& [file, lines] : cases) EXPECT_EQ(linesOf(file), lines) << file.substr(0, 20);
    char text[kTextSize] = "stale", line[kProgressLineSize];
    EXPECT_EQ(readProgressLine(reinterpret_cast<const unsigned char*>("ab\r"), 3, 10, text), 3u);  // past the given size
    EXPECT_STREQ(text, "");
    // Each text's line, and all lines written one after the other read back as what they hold.
    std::string file, lines;
    for (const std::string& field : std::vector<std::string>{"Paris", "", "a\r\nb", "a\nb", k259 + "bbb"}) {
        file += std::string(line, static_cast<std::size_t>(formatProgressLine(field.c_str(), line)));
        lines += field.substr(0, std::min(field.find('\r'), k259.size())) + "|";
    }
    EXPECT_EQ(file, "Paris\r\n\r\na\r\na\nb\r\n" + k259 + "\r\n");
    EXPECT_EQ(linesOf(file), lines + "<end>");
    // The file's name keeps the program's, with "txt" for its last three letters.
    const std::pair<std::string, std::string> names[] = {
        {"C:\\Jeux\\game.exe", "game.txt"}, {"C:\\Quiz.v2\\Quiz.EXE", "Quiz.txt"}, {"Z:/tmp/x/quiz.exe", "quiz.txt"},
        {"C:\\dir/sub\\q.exe", "q.txt"}, {"C:\\jeux\\quiz", "qtxt"}, {"C:\\jeux\\ab", "txt"}, {"", "txt"},
        {"C:\\" + std::string(300, 'q'), std::string(253, 'q') + "txt"},  // the path is read up to 259
        {std::string(259, 'r') + "\\late.exe", std::string(256, 'r') + "txt"},
    };
    for (const auto& [path, name] : names) {
        struct { char name[kTextSize], guard = 'z'; } buffer;  // the guard shows a write past the name
        progressNameFromPath(path.c_str(), buffer.name);
        EXPECT_EQ(std::string(buffer.name) + buffer.guard, name + "z") << path.substr(0, 30);
    }
}

}  // namespace
