// The quiz compiler's in-memory quiz and the parser of the readable quiz source (docs/quiz-format.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/media_format.h"
#include "quiz/quiz_parse.h"
#include "quiz/quiz_state.h"

// Values equal the player's mediaKind.
enum class QuizKind { Text = kMediaText, Picture = kMediaPicture, Sound = kMediaSound, Video = kMediaVideo };

struct MediaFile {
    std::filesystem::path path;  // resolved against the source file's folder
    MediaFormat format;          // what the file's first bytes say, which also matched its extension
};

// Every text below is already Windows-1252, checked for length and separators.
struct QuizQuestion {
    int line = 0;  // line of its "question:" key
    std::string answer1;
    std::string answer2;  // empty unless the quiz has two answers per question
    std::string caption;
    std::string revealText;
    std::optional<MediaFile> media;
    std::optional<MediaFile> answerPicture;
};

struct QuizSource {
    std::string title;
    std::string author;
    std::string explanation;
    std::string answerLabel1;
    std::string answerLabel2;
    QuizKind kind = QuizKind::Text;
    int answersPerQuestion = 1;
    int revealMode = 0;
    // The player's own reset colour, used when the source names none.
    std::uint8_t red = kDefaultBackRed;
    std::uint8_t green = kDefaultBackGreen;
    std::uint8_t blue = kDefaultBackBlue;
    std::vector<std::string> codes;  // one per question once parsed; missing ones are empty
    std::vector<QuizQuestion> questions;
};

struct Diagnostic {
    enum class Severity { Error, Warning, Note };
    Severity severity;
    int line;  // 1-based; 0 when the message is about the whole file
    std::string message;
};

// Where the source gave its keys, as the parser read them: the first line of each known key in its
// own block (the quiz block, then each question's), whatever its value, and the line of every code
// taken. The quiz itself keeps only each question's line; checks that point at a key find it here.
struct SourceKeyLines {
    std::map<std::string, int> quizKeys;  // "code" excepted
    std::vector<int> codeLines;
    std::vector<std::map<std::string, int>> questions;  // one per question

    // 0 when the key was not given.
    int quizLine(const std::string& key) const;
    int questionLine(std::size_t question, const std::string& key) const;  // question counts from 0
};

struct ParseResult {
    QuizSource quiz;
    SourceKeyLines keyLines;
    std::vector<Diagnostic> diagnostics;
    bool hasErrors() const;
};

// Parses UTF-8 source text. Media paths are resolved against baseDir and their files are
// opened to check their format. Every problem found is listed; quiz is usable only without errors.
ParseResult parseQuizSource(std::string_view text, const std::filesystem::path& baseDir);

// "FILE:LINE: error: message", the form compilers use, so editors can jump to the line.
std::string formatDiagnostic(const std::string& fileName, const Diagnostic& diagnostic);

// Reveal modes run from 0 to kLastRevealMode. A solved question shows its answer picture (a
// picture quiz's) with modes 1 and 3, its reveal text with 2 and 3; mode 4 shows every reveal text
// once all questions are solved.
constexpr int kLastRevealMode = kRevealWholeBoard;
bool revealShowsAnswerPictures(int revealMode);
bool revealShowsTexts(int revealMode);

// The source's own word for the kind: "text", "picture", "sound" or "video".
const char* quizKindKeyword(QuizKind kind);

// Whether a quiz of the kind carries media files of the format (answer pictures: those of a picture quiz).
bool quizKindAccepts(QuizKind kind, MediaFormat format);

// A text holds no control character: no byte below 0x20, and not 0x7F.
bool isControlCharacter(unsigned char byte);
