// Writes a quiz back as readable quiz source, the form its author edits (docs/quiz-format.md).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "quizc/quiz_source.h"

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined become the C1
// control characters of the same value, which the source parser then refuses by name.
std::string cp1252ToUtf8(std::string_view text);

// The quiz as source text that parseQuizSource reads back into the same quiz: every setting,
// text, code and file. Media paths are written relative to baseDir, with '/' between folders.
// Codes after the last non-empty one are left out (the parser gives missing codes as empty).
std::string writeQuizSource(const QuizSource& quiz, const std::filesystem::path& baseDir);
