// libFuzzer target: the quiz record parser on arbitrary decoded bytes, with its invariants checked.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "quiz/quiz_parse.h"

static void require(bool condition) { if (!condition) std::abort(); }
static bool terminated(const char* text) { return std::memchr(text, '\0', kTextSize) != nullptr; }

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);  // exact size: ASan sees a read past the end
    static QuizState state, before;
    resetQuizData(state);
    if (size > 0 && (data[0] & 1) != 0) appendQuestion(state, "old", "old", "old");  // half the inputs replace a list
    std::memcpy(&before, &state, sizeof state);
    if (parseQuizResource(state, bytes.data(), bytes.size()) == 0) {
        require(std::memcmp(&state, &before, sizeof state) == 0);  // a failure changes nothing
    } else {
        require(size >= 4 && state.questionCount == std::min<int>(data[2], kMaxQuestions) &&
                state.mediaKind == data[1] - 1 && state.answersPerQuestion == data[3] && terminated(state.title) &&
                terminated(state.author) && terminated(state.explanation) && terminated(state.answerLabel1) &&
                terminated(state.answerLabel2));
        int length = 0;  // without allocation failures every kept question has its record, linked both ways
        const QuestionRecord* previous = nullptr;
        for (const QuestionRecord* r = state.firstQuestion; r != nullptr; previous = r, r = r->next, ++length)
            require(r->previous == previous && terminated(r->answer1) && terminated(r->answer2) &&
                    terminated(r->caption) && terminated(r->revealText) &&
                    (state.answersPerQuestion == 2 || r->answer2[0] == '\0'));
        require(state.lastQuestion == previous && length == state.questionCount);
    }
    releaseQuestions(state);
    require(state.firstQuestion == nullptr && state.lastQuestion == nullptr);
    return 0;
}
