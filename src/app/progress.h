// The progress file: the typed answers, one line per answer field, beside the working folder.
#pragma once

#include <windows.h>

#include "quiz/quiz_state.h"

// Name of the progress file: the executable's file name with its last three letters made "txt".
// Writes at most MAX_PATH bytes into name.
void progressFileName(char* name);

// Writes every answer field of the board into the progress file. Returns 1 when the file was
// written in full; on failure the previous file is left as it was and 0 is returned.
int saveProgress(const QuizState& state);

// Reads the progress file back while the board builds its fields; a missing or unreadable
// file reads as an empty one.
class ProgressReader {
public:
    ProgressReader() = default;
    ~ProgressReader();
    ProgressReader(const ProgressReader&) = delete;
    ProgressReader& operator=(const ProgressReader&) = delete;

    void open();
    // The next line's text (cut at 259 bytes), or the empty text past the end.
    void nextLine(char (&text)[kTextSize]);
    void close();

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const unsigned char* view_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};
