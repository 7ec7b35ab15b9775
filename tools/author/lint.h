// The authoring tool's check of a quiz source: the parser's errors plus warnings about the traps
// of the judging rules and about texts, pictures and files the player never shows.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "quizc/quiz_source.h"

struct CheckResult {
    ParseResult parsed;                   // the quiz, usable when there is no error
    std::vector<Diagnostic> diagnostics;  // everything to report, whole-file ones first, then by line
    bool hasErrors() const;
};

// Parses text (a quiz source whose media paths are relative to baseDir) and checks it. Rules on
// answers and pictures run whatever else is wrong; rules on the quiz's structure (codes, reveal
// mode, kind, files of the folder) only once the parser found no error, as they would otherwise
// guess from a half-read quiz.
CheckResult checkQuizSource(std::string_view text, const std::filesystem::path& baseDir);
