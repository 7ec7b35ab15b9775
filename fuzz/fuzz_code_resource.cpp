// libFuzzer target: the code line parser on arbitrary decoded bytes. The first byte, read as signed, is
// the question count (so counts below 0 and above 96 are tried too); the rest is the resource.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "quiz/quiz_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::vector<unsigned char> bytes(data + 1, data + size);  // exact size: ASan sees a read past the end
    static QuizState state, before;
    resetQuizData(state);
    for (auto& code : state.codes) copyText(code, "untouched");
    state.questionCount = static_cast<signed char>(data[0]);
    std::memcpy(&before, &state, sizeof state);
    const int lines = std::clamp(state.questionCount, 0, kMaxQuestions);
    const int result = parseCodeResource(state, bytes.data(), bytes.size());
    // A failure changes nothing; a success only the codes of the first `lines` questions, each terminated.
    bool ok = result == 1 || (result == 0 && lines > 0);
    for (int i = 0; ok && i < kMaxQuestions; ++i)
        ok = std::memchr(state.codes[i], '\0', kTextSize) && (i < lines || !std::strcmp(state.codes[i], "untouched"));
    if (result == 1) std::memcpy(state.codes, before.codes, sizeof state.codes);
    if (!ok || std::memcmp(&state, &before, sizeof state) != 0) std::abort();
    return 0;
}
