// libFuzzer target: the quiz record parser on arbitrary decoded bytes, with its invariants checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "quiz/quiz_parse.h"

namespace {

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool terminated(const char* text, std::size_t room)
{
    return std::memchr(text, '\0', room) != nullptr;
}

// Everything a failed parse must leave as it was.
std::vector<unsigned char> snapshot(const QuizState& state)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&state);
    return std::vector<unsigned char>(bytes, bytes + sizeof(QuizState));
}

void checkParsed(const QuizState& state, const uint8_t* data)
{
    require(state.questionCount >= 0 && state.questionCount <= kMaxQuestions);
    require(state.questionCount == (data[2] < kMaxQuestions ? data[2] : kMaxQuestions));
    require(state.mediaKind == data[1] - 1);
    require(state.answersPerQuestion == data[3]);
    require(state.revealMode >= 0 && state.revealMode <= 255);
    require(terminated(state.title, kTextSize) && terminated(state.author, kTextSize) &&
            terminated(state.explanation, kTextSize) && terminated(state.answerLabel1, kTextSize) &&
            terminated(state.answerLabel2, kTextSize));

    int length = 0;
    const QuestionRecord* previous = nullptr;
    for (const QuestionRecord* record = state.firstQuestion; record != nullptr; record = record->next) {
        ++length;
        require(length <= state.questionCount);
        require(record->previous == previous);
        require(terminated(record->answer1, kTextSize) && terminated(record->answer2, kTextSize) &&
                terminated(record->caption, kTextSize) && terminated(record->revealText, kTextSize));
        require(state.answersPerQuestion == 2 || record->answer2[0] == '\0');
        previous = record;
    }
    require(state.lastQuestion == previous);
    // Without allocation failures every kept question has its record.
    require(length == state.questionCount);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Parse from an exact copy, so AddressSanitizer sees any read past the end.
    std::vector<unsigned char> bytes(data, data + size);
    static QuizState state;
    resetQuizData(state);

    // Every other input starts from a state that already holds a list, so replacing it is exercised.
    if (size > 0 && (data[0] & 1) != 0) {
        appendQuestion(state, "old", "old", "old");
    }
    const std::vector<unsigned char> before = snapshot(state);

    const int result = parseQuizResource(state, bytes.data(), bytes.size());
    if (result == 0) {
        require(snapshot(state) == before);
    } else {
        require(result == 1);
        require(size >= 4);
        checkParsed(state, data);
    }
    releaseQuestions(state);
    require(state.firstQuestion == nullptr && state.lastQuestion == nullptr);
    return 0;
}
