// libFuzzer target: the progress file's line reader on arbitrary file bytes, checked against a
// plain model of the line rules, and the saved-line writer read back by the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/progress_lines.h"

namespace {

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// The model: a line's text runs to the first CR, the next line starts after the first LF that
// follows that CR (or at the end).
void checkLine(const uint8_t* data, std::size_t size, std::size_t position, const char (&text)[kTextSize],
               std::size_t next)
{
    const uint8_t* begin = data + position;
    const std::size_t rest = size - position;
    const void* cr = std::memchr(begin, '\r', rest);
    const std::size_t lineLength = cr ? static_cast<std::size_t>(static_cast<const uint8_t*>(cr) - begin) : rest;
    const std::size_t kept = lineLength < static_cast<std::size_t>(kMaxTextLength) ? lineLength : kMaxTextLength;
    require(std::memcmp(text, begin, kept) == 0);
    require(text[kept] == '\0');
    const void* lf = std::memchr(begin + lineLength, '\n', rest - lineLength);
    const std::size_t expectedNext = lf ? static_cast<std::size_t>(static_cast<const uint8_t*>(lf) - data) + 1 : size;
    require(next == expectedNext);
}

void checkReader(const uint8_t* data, std::size_t size)
{
    std::size_t position = 0;
    std::size_t lines = 0;
    while (position < size) {
        char text[kTextSize];
        std::memset(text, 0x5A, sizeof text);
        const std::size_t next = readProgressLine(data, size, position, text);
        require(next > position && next <= size);
        checkLine(data, size, position, text, next);
        position = next;
        require(++lines <= size);
    }
    for (int extra = 0; extra < 3; ++extra) {
        char text[kTextSize];
        std::memset(text, 0x5A, sizeof text);
        require(readProgressLine(data, size, position, text) == size);
        require(text[0] == '\0');
    }
}

// The input, up to its first NUL, as a field's text: what the reader gives back is that text up
// to its first CR, cut at 259 bytes, and nothing of it spills into a second line.
void checkRoundTrip(const uint8_t* data, std::size_t size)
{
    char field[kProgressLineSize + 40];
    const std::size_t length = size < sizeof field - 1 ? size : sizeof field - 1;
    if (length > 0) {
        std::memcpy(field, data, length);
    }
    field[length] = '\0';

    char line[kProgressLineSize];
    const int written = formatProgressLine(field, line);
    require(written >= 2 && written <= kProgressLineSize);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(line);
    char text[kTextSize];
    require(readProgressLine(bytes, static_cast<std::size_t>(written), 0, text) ==
            static_cast<std::size_t>(written));
    const std::size_t expected = std::strcspn(field, "\r");
    const std::size_t kept = expected < static_cast<std::size_t>(kMaxTextLength) ? expected : kMaxTextLength;
    require(std::strlen(text) == kept);
    require(std::memcmp(text, field, kept) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    checkReader(data, size);
    checkRoundTrip(data, size);
    return 0;
}
