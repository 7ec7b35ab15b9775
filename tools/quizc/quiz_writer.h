// Turns a parsed quiz into the player's resources (base/quiz_resources.h): the two quiz records, the
// media list and the .rc fragment.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/quiz_resources.h"
#include "quiz_source.h"

// One media file the executable carries, as the player looks it up.
struct MediaResource {
    int id;
    bool rawData;          // see storedAsRawData
    std::string fileName;  // plain ASCII name in the output folder
    std::filesystem::path source;
};

struct CompiledQuiz {
    std::vector<unsigned char> quizRecord;  // resource kQuizRecordId, compressed
    std::vector<unsigned char> codeRecord;  // resource kCodeRecordId, compressed
    std::vector<MediaResource> media;
    std::string resourceScript;
};

// PNG pictures go under raw data, where the player's own PNG decoder reads them; the others under
// the media type, where the system picture loader and the media player find them.
bool storedAsRawData(MediaFormat format);

// The uncompressed bytes of the quiz record, laid out as the player's parser reads them.
std::vector<unsigned char> buildQuizRecord(const QuizSource& quiz);

// The uncompressed bytes of the code record: one "code\r\n" line per question.
std::vector<unsigned char> buildCodeRecord(const QuizSource& quiz);

// Card media (cardResourceId), then answer pictures (answerPictureId), in question order.
std::vector<MediaResource> planMediaResources(const QuizSource& quiz);

// Resource-script lines naming the two records and every media file by its output name.
std::string buildResourceScript(const std::vector<MediaResource>& media);

// Everything above, with both records compressed for the player's decoder.
CompiledQuiz compileQuiz(const QuizSource& quiz);

extern const char* const kQuizRecordFile;
extern const char* const kCodeRecordFile;
extern const char* const kResourceScriptFile;
