// Turns a parsed quiz into the player's resources: the two PATCH records, the media list and the .rc fragment.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "quiz_source.h"

constexpr int kQuizRecordId = 104;
constexpr int kCodeRecordId = 105;
constexpr int kMediaBaseId = 400;
constexpr int kAnswerPictureBaseId = 10400;

// One media file the executable carries, as the player looks it up.
struct MediaResource {
    int id;
    bool rawData;          // PNG pictures go under RT_RCDATA, where the player's own PNG decoder reads them
    std::string fileName;  // plain ASCII name in the output folder
    std::filesystem::path source;
};

struct CompiledQuiz {
    std::vector<unsigned char> quizRecord;  // resource 104, compressed
    std::vector<unsigned char> codeRecord;  // resource 105, compressed
    std::vector<MediaResource> media;
    std::string resourceScript;
};

// The uncompressed bytes of resource 104, laid out as the player's parser reads them.
std::vector<unsigned char> buildQuizRecord(const QuizSource& quiz);

// The uncompressed bytes of resource 105: one "code\r\n" line per question.
std::vector<unsigned char> buildCodeRecord(const QuizSource& quiz);

// Card media at 400 + n, then answer pictures at 10400 + n, in question order.
std::vector<MediaResource> planMediaResources(const QuizSource& quiz);

// Resource-script lines naming the two records and every media file by its output name.
std::string buildResourceScript(const std::vector<MediaResource>& media);

// Everything above, with both records compressed for the player's decoder.
CompiledQuiz compileQuiz(const QuizSource& quiz);

extern const char* const kQuizRecordFile;
extern const char* const kCodeRecordFile;
extern const char* const kResourceScriptFile;
