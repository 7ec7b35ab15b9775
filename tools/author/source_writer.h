// Writes a quiz back as readable quiz source, the form its author edits (docs/quiz-format.md).
#pragma once

#include <filesystem>
#include <string>

#include "quizc/quiz_source.h"

// The quiz as source text that parseQuizSource reads back into the same quiz: every setting,
// text, code and file. Media paths are written relative to baseDir, with '/' between folders.
// Codes after the last non-empty one are left out (the parser gives missing codes as empty).
std::string writeQuizSource(const QuizSource& quiz, const std::filesystem::path& baseDir);
