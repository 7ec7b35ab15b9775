// The quiz resources of a player executable: built from a compiled quiz for writing, and read
// back into a quiz (source and media files) for extraction and summaries.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "quizc/quiz_source.h"
#include "quizc/quiz_writer.h"

// Resource type of the quiz records, and of pictures the system loader reads, sounds and videos.
extern const char* const kRecordType;  // "PATCH"
extern const char* const kMediaType;   // "IMG"

// One media resource: card media 400 + n or answer picture 10400 + n.
struct MediaItem {
    int id;
    bool rawData;  // under RT_RCDATA (PNG pictures), else under IMG
    std::vector<unsigned char> bytes;
};

struct QuizResourceSet {
    std::vector<unsigned char> quizRecord;  // PATCH 104, compressed as stored
    std::vector<unsigned char> codeRecord;  // PATCH 105, compressed as stored
    std::vector<MediaItem> media;           // in the order they are written: cards, then answer pictures
};

// Takes the records of compiled and reads every media file it names. Returns false, with error
// naming the file, when one cannot be read.
bool buildResourceSet(const CompiledQuiz& compiled, QuizResourceSet& set, std::string& error);

struct ExtractedFile {
    std::string name;  // plain ASCII name inside the quiz folder
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
