// The quiz compiler's in-memory quiz and the parser of the readable quiz source (docs/quiz-format.md).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Values equal the player's mediaKind.
enum class QuizKind { Text = 0, Picture = 1, Sound = 2, Video = 3 };

enum class MediaFormat { Jpeg, Gif, Bmp, Png, Mp3, Avi };

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
    std::uint8_t red = 90;
    std::uint8_t green = 95;
    std::uint8_t blue = 150;
    std::vector<std::string> codes;  // one per question once parsed; missing ones are empty
    std::vector<QuizQuestion> questions;
};

struct Diagnostic {
    enum class Severity { Error, Warning, Note };
    Severity severity;
    int line;  // 1-based; 0 when the message is about the whole file
    std::string message;
};

struct ParseResult {
    QuizSource quiz;
    std::vector<Diagnostic> diagnostics;
    bool hasErrors() const;
};

// Parses UTF-8 source text. Media paths are resolved against baseDir and their files are
// opened to check their format. Every problem found is listed; quiz is usable only without errors.
ParseResult parseQuizSource(std::string_view text, const std::filesystem::path& baseDir);

// "FILE:LINE: error: message", the form compilers use, so editors can jump to the line.
std::string formatDiagnostic(const std::string& fileName, const Diagnostic& diagnostic);

// Recognises a media file by its first bytes; empty when none of the accepted formats matches.
std::optional<MediaFormat> detectMediaFormat(const unsigned char* bytes, std::size_t size);

// "JPEG", "MP3", ...: the format's name in messages.
const char* mediaFormatName(MediaFormat format);

// The source's own word for the kind: "text", "picture", "sound" or "video".
const char* quizKindKeyword(QuizKind kind);

// The whole file; false when it cannot be opened or read.
bool readFileBytes(const std::filesystem::path& path, std::vector<unsigned char>& bytes);
// Writes the file anew; false when it cannot be created or written in full.
bool writeFileBytes(const std::filesystem::path& path, const void* data, std::size_t size);

// Blanks (spaces and tabs) cut at both ends.
std::string_view trimBlanks(std::string_view text);

// Calls visit(number, line) for each line of a quiz source, numbered from 1: a leading UTF-8 byte
// order mark is skipped, a line ends at LF and its CR is not part of it.
void forEachSourceLine(std::string_view text, const std::function<void(int, std::string_view)>& visit);

// Paths from and to UTF-8 text, so non-ASCII file names also work on Windows.
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string pathToUtf8(const std::filesystem::path& path);
