// The verdict rules for one typed answer, on fixed buffers: judging runs inside a focus change,
// so nothing here allocates, and no input is read past its first 259 bytes.
#include "judging/verdict.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Hints are graded only for stored answers longer than this.
constexpr int kShortAnswer = 3;
// Pieces of stored answers up to this long get no hint.
constexpr int kShortPieceAnswer = 9;

int cappedLength(const char* text)
{
    int length = 0;
    if (text != nullptr)
        while (length < kMaxTextLength && text[length] != '\0')
            ++length;
    return length;
}

int clampLength(int length)
{
    if (length < 0)
        return 0;
    return length > kMaxTextLength ? kMaxTextLength : length;
}

// Only the ASCII letters: accented letters are compared exactly as typed.
char upperAscii(char byte)
{
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - ('a' - 'A')) : byte;
}

NormalisedText upperCopy(const char* text, int begin, int end)
{
    NormalisedText copy;
    copy.length = end - begin;
    for (int i = 0; i < copy.length; ++i)
        copy.bytes[i] = upperAscii(text[begin + i]);
    copy.bytes[copy.length] = '\0';
    return copy;
}

bool equalTexts(const NormalisedText& a, const NormalisedText& b)
{
    return a.length == b.length && std::memcmp(a.bytes, b.bytes, static_cast<std::size_t>(a.length)) == 0;
}

}  // namespace

NormalisedText normaliseTyped(const char* typed)
{
    int end = cappedLength(typed);
    while (end > 0 && typed[end - 1] == ' ')
        --end;
    int begin = 0;
    while (begin < end && typed[begin] == ' ')
        ++begin;
    return upperCopy(typed, begin, end);
}

NormalisedText normaliseStored(const char* stored)
{
    return upperCopy(stored, 0, cappedLength(stored));
}

int editDistance(const char* a, int aLength, const char* b, int bLength)
{
    aLength = clampLength(aLength);
    bLength = clampLength(bLength);
    // A shared head or tail never changes the distance; cutting it keeps near misses cheap.
    while (aLength > 0 && bLength > 0 && *a == *b) {
        ++a;
        ++b;
        --aLength;
        --bLength;
    }
    while (aLength > 0 && bLength > 0 && a[aLength - 1] == b[bLength - 1]) {
        --aLength;
        --bLength;
    }
    if (aLength < bLength) {
        std::swap(a, b);
        std::swap(aLength, bLength);
    }
    if (bLength == 0)
        return aLength;

    // Two rows over the shorter text: row[j] is the distance of a's first i bytes to b's first j.
    uint16_t rows[2][kTextSize];
    uint16_t* previous = rows[0];
    uint16_t* current = rows[1];
    for (int j = 0; j <= bLength; ++j)
        previous[j] = static_cast<uint16_t>(j);
    for (int i = 1; i <= aLength; ++i) {
        const char byte = a[i - 1];
        unsigned left = static_cast<unsigned>(i);
        current[0] = static_cast<uint16_t>(left);
        for (int j = 1; j <= bLength; ++j) {
            // Only the step from the left cell depends on this row: take the other two first.
            const unsigned deletion = previous[j] + 1u;
            const unsigned substitution = previous[j - 1] + (byte == b[j - 1] ? 0u : 1u);
            const unsigned fromAbove = deletion < substitution ? deletion : substitution;
            left = left + 1u < fromAbove ? left + 1u : fromAbove;
            current[j] = static_cast<uint16_t>(left);
        }
        std::swap(previous, current);
    }
    return previous[bLength];
}

bool sameBytes(const char* a, int aLength, const char* b, int bLength)
{
    aLength = clampLength(aLength);
    bLength = clampLength(bLength);
    if (aLength != bLength)
        return false;
    // Equal byte counts are what sorting both copies and comparing them would show.
    int counts[256] = {};
    for (int i = 0; i < aLength; ++i) {
        ++counts[static_cast<unsigned char>(a[i])];
        --counts[static_cast<unsigned char>(b[i])];
    }
    for (int count : counts)
        if (count != 0)
            return false;
    return true;
}

bool findInside(const char* x, int xLength, const char* y, int yLength)
{
    const int s = clampLength(xLength);
    const int end = clampLength(yLength);
    int i = 0;
    int j = 0;
    while (j < s) {
        if (i >= end)
            return false;
        while (y[i] != x[j]) {
            ++i;
            if (i >= end)
                return false;
        }
        while (j < s && i < end && x[j] == y[i]) {
            ++j;
            ++i;
        }
        if (j >= s)
            return true;
        // Start over at the mismatch itself, not one past where the failed run began.
        j = 0;
    }
    return true;
}

Verdict judgeNormalised(const NormalisedText& typed, const NormalisedText& stored)
{
    const int m = typed.length;
    const int n = stored.length;
    if (m == 0)
        return Verdict::Blank;
    if (equalTexts(typed, stored))
        return Verdict::Right;
    if (n <= kShortAnswer)
        return Verdict::Wrong;

    // An anagram at distance 1 or 2 is still an anagram: this test comes before the distance.
    if (sameBytes(typed.bytes, m, stored.bytes, n))
        return Verdict::Anagram;
    const int d = editDistance(typed.bytes, m, stored.bytes, n);
    if (d == 1)
        return Verdict::OneEdit;
    if (d == 2)
        return Verdict::TwoEdits;

    if (m > n && findInside(stored.bytes, n, typed.bytes, m))
        return Verdict::TooLong;
    if (m < n && findInside(typed.bytes, m, stored.bytes, n)) {
        // Percentages in integers: more than 70 % is 10m > 7n, more than 50 % is 2m > n.
        if (n <= kShortPieceAnswer)
            return Verdict::Wrong;
        if (10 * m > 7 * n)
            return Verdict::TooShort;
        if (2 * m > n)
            return Verdict::NotFar;
        return Verdict::Wrong;
    }

    // Similarity 100 (L - d) / L above 80 %, in integers.
    const int longer = m > n ? m : n;
    return 5 * d < longer ? Verdict::Similar : Verdict::Wrong;
}

Verdict judgeTexts(const char* typed, const char* stored)
{
    return judgeNormalised(normaliseTyped(typed), normaliseStored(stored));
}

bool holdsStoredAnswer(const char* typed, const char* stored)
{
    return equalTexts(normaliseTyped(typed), normaliseStored(stored));
}
