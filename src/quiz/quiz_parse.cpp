// Parsers of the decoded quiz record and code lines (base/quiz_resources.h).
// Each walks its bytes twice: a dry walk that only checks every terminator is there, then, only
// when it is, the walk that writes. So a truncated resource leaves the state untouched, and the
// parsers need no temporary copy of the quiz.
#include "quiz/quiz_parse.h"

#include <cstring>

namespace {

constexpr unsigned char kLineEnd = '\r';
constexpr std::size_t kHeaderSize = 4;

// Read position inside the decoded bytes; every read checks the end before it looks.
struct Reader {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t position;
};

// Finds the next terminator from the read position; false when the bytes end first.
bool findTerminator(const Reader& reader, unsigned char terminator, std::size_t& length)
{
    if (reader.position >= reader.size) {
        return false;
    }
    const unsigned char* start = reader.bytes + reader.position;
    const void* found = std::memchr(start, terminator, reader.size - reader.position);
    if (found == nullptr) {
        return false;
    }
    length = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - start);
    return true;
}

// Copies the run of length bytes at the read position, cut at 259, into destination (a
// kTextSize buffer), or skips it when destination is null.
void takeText(const Reader& reader, std::size_t length, char* destination)
{
    if (destination == nullptr) {
        return;
    }
    const std::size_t kept = length < static_cast<std::size_t>(kMaxTextLength) ? length : kMaxTextLength;
    std::memcpy(destination, reader.bytes + reader.position, kept);
    destination[kept] = '\0';
}

// One '|'-terminated text: copied (or skipped), then the '|' stepped over.
bool readText(Reader& reader, char* destination)
{
    std::size_t length = 0;
    if (!findTerminator(reader, kRecordTextEnd, length)) {
        return false;
    }
    takeText(reader, length, destination);
    reader.position += length + 1;
    return true;
}

bool readByte(Reader& reader, unsigned char& value)
{
    if (reader.position >= reader.size) {
        return false;
    }
    value = reader.bytes[reader.position++];
    return true;
}

// Walks the quiz record after its header. With target null it only checks that the record is
// complete; with a target it fills it (the caller has checked completeness, so nothing fails
// half-way then). The walk always follows the real count byte, so the mode and colour are found
// at their true place; only the first kMaxQuestions questions are kept.
bool walkQuizRecord(Reader reader, QuizState* target)
{
    const int count = reader.bytes[2];
    const int answers = reader.bytes[3];
    const int keptCount = count < kMaxQuestions ? count : kMaxQuestions;
    reader.position = kHeaderSize;

    if (!readText(reader, target ? target->title : nullptr) || !readText(reader, target ? target->author : nullptr) ||
        !readText(reader, target ? target->explanation : nullptr) ||
        !readText(reader, target ? target->answerLabel1 : nullptr) ||
        !readText(reader, target ? target->answerLabel2 : nullptr)) {
        return false;
    }

    char answer1[kTextSize];
    char answer2[kTextSize];
    char caption[kTextSize];
    for (int number = 1; number <= count; ++number) {
        const bool kept = target != nullptr && number <= keptCount;
        answer2[0] = '\0';
        if (!readText(reader, kept ? answer1 : nullptr) ||
            (answers == 2 && !readText(reader, kept ? answer2 : nullptr)) ||
            !readText(reader, kept ? caption : nullptr)) {
            return false;
        }
        if (kept) {
            // A record that cannot be allocated is left out: the list gets shorter; later numbers then resolve to the
            // last record.
            appendQuestion(*target, answer1, answer2, caption);
        }
    }

    unsigned char mode = 0;
    if (!readByte(reader, mode)) {
        return false;
    }
    const int textsPerQuestion = mode == kRevealLabelAndPicture                        ? 2
                                 : (mode == kRevealLabel || mode == kRevealWholeBoard) ? 1
                                                                                       : 0;
    for (int number = 1; number <= count && textsPerQuestion > 0; ++number) {
        // questionByNumber: with a shortened list, later numbers land on the last record.
        QuestionRecord* record =
            (target != nullptr && number <= keptCount) ? questionByNumber(*target, number) : nullptr;
        if (!readText(reader, record ? record->revealText : nullptr) ||
            (textsPerQuestion == 2 && !readText(reader, nullptr))) {
            return false;
        }
    }

    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    if (!readByte(reader, red) || !readByte(reader, green) || !readByte(reader, blue)) {
        return false;
    }
    if (target != nullptr) {
        target->mediaKind = static_cast<int>(reader.bytes[1]) - 1;
        target->questionCount = keptCount;
        target->answersPerQuestion = answers;
        target->revealMode = mode;
        target->backRed = red;
        target->backGreen = green;
        target->backBlue = blue;
    }
    return true;
}

// Walks the code lines: each line up to its CR, then the CR and the byte after it stepped over.
// With codes null it only checks that every needed line has its CR.
bool walkCodeLines(Reader reader, int lines, char (*codes)[kTextSize])
{
    for (int line = 0; line < lines; ++line) {
        std::size_t length = 0;
        if (!findTerminator(reader, kLineEnd, length)) {
            return false;
        }
        takeText(reader, length, codes ? codes[line] : nullptr);
        // May step one past the end when the CR is the last byte; the next find then fails.
        reader.position += length + 2;
    }
    return true;
}

}  // namespace

int parseQuizResource(QuizState& state, const unsigned char* bytes, std::size_t size)
{
    if (bytes == nullptr || size < kHeaderSize) {
        return 0;
    }
    const Reader reader{bytes, size, kHeaderSize};
    if (!walkQuizRecord(reader, nullptr)) {
        return 0;
    }
    // The list is replaced, never extended, so question n is the record's n-th question.
    releaseQuestions(state);
    walkQuizRecord(reader, &state);
    return 1;
}

int parseCodeResource(QuizState& state, const unsigned char* bytes, std::size_t size)
{
    int lines = state.questionCount;
    if (lines < 0) {
        lines = 0;
    }
    if (lines > kMaxQuestions) {
        lines = kMaxQuestions;
    }
    if (lines == 0) {
        return 1;
    }
    if (bytes == nullptr) {
        return 0;
    }
    const Reader reader{bytes, size, 0};
    if (!walkCodeLines(reader, lines, nullptr)) {
        return 0;
    }
    walkCodeLines(reader, lines, state.codes);
    return 1;
}
