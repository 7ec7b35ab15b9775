// Line rules of the progress file: a line ends at CR, its text is cut at 259 bytes, and the
// reader never looks past the bytes it is given.
#include "app/progress_lines.h"

namespace {

constexpr unsigned char kCarriageReturn = 0x0D;
constexpr unsigned char kLineFeed = 0x0A;

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

void progressNameFromPath(const char* path, char (&name)[kTextSize])
{
    std::size_t length = 0;
    std::size_t start = 0;
    while (length < static_cast<std::size_t>(kMaxTextLength) && path[length] != '\0') {
        // '/' cannot be part of a Windows file name, so it is a folder separator wherever it appears.
        if (isSeparator(path[length])) {
            start = length + 1;
        }
        ++length;
    }
    std::size_t nameLength = length - start;
    for (std::size_t i = 0; i < nameLength; ++i) {
        name[i] = path[start + i];
    }
    const std::size_t extension = nameLength >= 3 ? nameLength - 3 : 0;
    name[extension] = 't';
    name[extension + 1] = 'x';
    name[extension + 2] = 't';
    name[extension + 3] = '\0';
}

std::size_t readProgressLine(const unsigned char* bytes, std::size_t size, std::size_t position,
                             char (&text)[kTextSize])
{
    std::size_t length = 0;
    while (position < size && bytes[position] != kCarriageReturn) {
        if (length < static_cast<std::size_t>(kMaxTextLength)) {
            text[length++] = static_cast<char>(bytes[position]);
        }
        ++position;
    }
    text[length] = '\0';
    while (position < size && bytes[position] != kLineFeed) {
        ++position;
    }
    return position < size ? position + 1 : size;
}

int formatProgressLine(const char* text, char (&line)[kProgressLineSize])
{
    // A CR LF inside a field would split it into two lines and move every later answer to the
    // wrong field; the reader stops the field's text at its first CR anyway.
    int length = 0;
    while (length < kMaxTextLength && text[length] != '\0' && text[length] != '\r') {
        line[length] = text[length];
        ++length;
    }
    line[length++] = '\r';
    line[length++] = '\n';
    return length;
}
