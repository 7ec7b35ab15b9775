// The quiz resources of a player executable (base/quiz_resources.h) as a set of bytes: built from a
// compiled quiz for writing, and read back into a quiz (source and media files) for extraction and summaries.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/quiz_resources.h"
#include "quizc/quiz_source.h"
#include "quizc/quiz_writer.h"

// One media resource: a card's media or an answer picture.
struct MediaItem {
    int id;
    bool rawData;  // under raw data (PNG pictures), else under the media type
    std::vector<unsigned char> bytes;
};

struct QuizResourceSet {
    std::vector<unsigned char> quizRecord;  // kQuizRecordId, compressed as stored
    std::vector<unsigned char> codeRecord;  // kCodeRecordId, compressed as stored
    std::vector<MediaItem> media;           // in the order they are written: cards, then answer pictures
};

// Takes the records of compiled and reads every media file it names. Returns false, with error
// naming the file, when one cannot be read.
bool buildResourceSet(const CompiledQuiz& compiled, QuizResourceSet& set, std::string& error);

struct ExtractedFile {
    std::string name;                         // plain ASCII name inside the quiz folder
    const std::vector<unsigned char>* bytes;  // points into the resource set it came from
};

struct UnpackedQuiz {
    QuizSource quiz;  // media paths are folder / file name
    std::vector<ExtractedFile> files;
    // Line 0 throughout. Errors: the resources cannot be turned into a source that makes a quiz.
    // Warnings: the source can, but something of the executable is left out or will change.
    std::vector<Diagnostic> diagnostics;
    bool hasErrors() const;
};

// Decodes the records and sorts the media into cards and answer pictures, as the player would
// look them up, naming each file after its question (question01.jpg, answer01.png).
UnpackedQuiz unpackResourceSet(const QuizResourceSet& set, const std::filesystem::path& folder);

// What of the executable a quiz made from source would not reproduce: compares the decoded
// records and the media with those made from quiz. Empty when they are the same.
std::vector<std::string> differencesFromSource(const QuizResourceSet& set, const QuizSource& quiz);
