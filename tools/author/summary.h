// The one-screen summary that "show" prints for a quiz folder or a quiz executable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "media_info.h"
#include "quizc/quiz_source.h"

struct MediaFacts {
    std::size_t size = 0;
    MediaInfo info;
};

// What "show" knows of a quiz: the quiz itself and, per question, its card media and answer picture.
struct QuizFacts {
    QuizSource quiz;
    std::vector<std::optional<MediaFacts>> cards;    // one entry per question
    std::vector<std::optional<MediaFacts>> answers;  // one entry per question
};

MediaFacts factsOf(const std::vector<unsigned char>& bytes);

// UTF-8 text, lines of at most about 100 columns: settings first, then one line per question.
std::string summariseQuiz(const QuizFacts& facts);
