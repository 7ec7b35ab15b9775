// Parsers of the decoded quiz resources: the quiz record (texts, answers, colour) and the code lines.
#pragma once

#include <cstddef>

#include "quiz/quiz_state.h"

// Ends every text of the quiz record.
constexpr char kRecordTextEnd = '|';

// Fills state from the decoded bytes of the quiz record. Returns 1 on success. Returns 0, leaving
// state untouched, when the bytes end before the record does (a missing '|' or colour byte).
// Texts are cut at 259 bytes; a count above 96 keeps the first 96 questions. On success the
// question list is replaced by the record's questions (on the loader's fresh state it is empty).
int parseQuizResource(QuizState& state, const unsigned char* bytes, std::size_t size);

// Fills state.codes from the decoded bytes of the code lines, one line per question (questionCount
// lines, at most 96), each cut at 259 bytes.
// Returns 1 on success; 0, leaving the codes untouched, when a needed line has no CR.
int parseCodeResource(QuizState& state, const unsigned char* bytes, std::size_t size);
