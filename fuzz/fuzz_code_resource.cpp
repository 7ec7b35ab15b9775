// libFuzzer target: the code line parser on arbitrary decoded bytes, with its invariants checked.
// The first input byte, read as signed, is the question count (so counts below 0 and above 96
// are tried too); the rest is the resource.
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

const char kMark[] = "untouched";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const int count = static_cast<int8_t>(data[0]);
    std::vector<unsigned char> bytes(data + 1, data + size);

    static QuizState state;
    resetQuizData(state);
    for (int i = 0; i < kMaxQuestions; ++i) {
        copyText(state.codes[i], kMark);
    }
    state.questionCount = count;
    static QuizState before;
    std::memcpy(&before, &state, sizeof state);

    const int result = parseCodeResource(state, bytes.data(), bytes.size());
    const int lines = count < 0 ? 0 : (count > kMaxQuestions ? kMaxQuestions : count);
    if (result == 0) {
        require(lines > 0);
        require(std::memcmp(&state, &before, sizeof state) == 0);
        return 0;
    }
    require(result == 1);
    for (int i = 0; i < kMaxQuestions; ++i) {
        require(std::memchr(state.codes[i], '\0', kTextSize) != nullptr);
        if (i >= lines) {
            require(std::strcmp(state.codes[i], kMark) == 0);
        }
    }
    // Nothing but the codes changes.
    std::memcpy(state.codes, before.codes, sizeof state.codes);
    require(std::memcmp(&state, &before, sizeof state) == 0);
    return 0;
}
