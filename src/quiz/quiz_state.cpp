// The state record's reset values and the doubly linked question list it owns.
#include "quiz/quiz_state.h"

#include <cstring>
#include <new>
#include <type_traits>

static_assert(std::is_trivially_copyable<QuizState>::value, "QuizState is reset with memset");

void resetQuizData(QuizState& state)
{
    // Zero first: every text, code, flag, count, handle and the list pointers start empty or null.
    // The list is not released: this runs on a fresh state, whose pointers hold no list yet.
    std::memset(&state, 0, sizeof state);
    copyText(state.title, "nom du enigo");
    copyText(state.author, " createur");
    state.questionCount = 2;
    state.answersPerQuestion = 1;
    state.backRed = kDefaultBackRed;
    state.backGreen = kDefaultBackGreen;
    state.backBlue = kDefaultBackBlue;
}

void copyText(char* destination, const char* src)
{
    std::size_t length = 0;
    if (src != nullptr) {
        while (length < static_cast<std::size_t>(kMaxTextLength) && src[length] != '\0') {
            ++length;
        }
        std::memcpy(destination, src, length);
    }
    destination[length] = '\0';
}

QuestionRecord* appendQuestion(QuizState& state, const char* answer1, const char* answer2, const char* caption)
{
    QuestionRecord* record = new (std::nothrow) QuestionRecord;
    if (record == nullptr) {
        return nullptr;
    }
    copyText(record->answer1, answer1);
    copyText(record->answer2, answer2);
    copyText(record->caption, caption);
    record->revealText[0] = '\0';
    record->previous = state.lastQuestion;
    record->next = nullptr;
    if (state.lastQuestion != nullptr) {
        state.lastQuestion->next = record;
    } else {
        state.firstQuestion = record;
    }
    state.lastQuestion = record;
    return record;
}

QuestionRecord* questionByNumber(const QuizState& state, int number)
{
    QuestionRecord* record = state.firstQuestion;
    // Numbers below 1 take no step and so yield the first record.
    for (int step = 1; record != nullptr && step < number && record->next != nullptr; ++step) {
        record = record->next;
    }
    return record;
}

void releaseQuestions(QuizState& state)
{
    QuestionRecord* record = state.firstQuestion;
    while (record != nullptr) {
        QuestionRecord* next = record->next;
        delete record;
        record = next;
    }
    state.firstQuestion = nullptr;
    state.lastQuestion = nullptr;
}
