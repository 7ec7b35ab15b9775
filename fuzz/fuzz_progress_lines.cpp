// libFuzzer target: the progress file's line reader on arbitrary file bytes, checked against a plain
// model of the line rules, and the saved-line writer read back by the reader.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/progress_lines.h"

static void require(bool condition) { if (!condition) std::abort(); }

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    // The model: a line's text runs to its first CR, cut at 259 bytes; the next line starts after the first LF
    // that follows (or at the end); reads at the end give an empty text and the end.
    char text[kTextSize];
    for (std::size_t position = 0, next = 0, reads = 0; reads < 3; position = next, reads += position >= size) {
        std::memset(text, 0x5A, sizeof text);
        next = readProgressLine(data, size, position, text);
        const unsigned char* cr = std::find(data + position, data + size, '\r');
        const std::size_t kept = std::min<std::size_t>(cr - (data + position), kMaxTextLength);
        const std::size_t lf = std::find(cr, data + size, '\n') - data;
        require(!std::memcmp(text, data + position, kept) && !text[kept] && (next > position || next == size) &&
                next == std::min(size, lf + 1));
    }
    // The input up to its first NUL as a field's text: read back up to its first CR, cut at 259 bytes.
    char field[kProgressLineSize + 40] = {}, line[kProgressLineSize];
    std::memcpy(field, data, std::min(size, sizeof field - 1));
    const int written = formatProgressLine(field, line);
    const std::size_t kept = std::min<std::size_t>(std::strcspn(field, "\r"), kMaxTextLength);
    require(written >= 2 && written <= kProgressLineSize && std::size_t(written) ==
            readProgressLine(reinterpret_cast<unsigned char*>(line), written, 0, text) && std::strlen(text) == kept &&
            !std::memcmp(text, field, kept));
    return 0;
}
