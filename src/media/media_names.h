// Which card button a board command stands for, and the names of the extracted media files.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int kFirstPlayButtonId = 6001;
constexpr int kFirstStopButtonId = 7001;
// Media files are numbered by question; no quiz has more than this many.
constexpr int kMaxMediaQuestions = 96;

// The media of question n is resource 400 + n, like a card picture.
inline int cardMediaId(int question) { return 400 + question; }
inline int mediaQuestionOf(int resourceId) { return resourceId - 400; }

enum class MediaButton { None, Play, Stop };

struct MediaCommand {
    MediaButton button;
    int question;
};

// The whole command parameter is compared with the button ranges, so a notification other than
// a plain click (code 0 in the high word) is no media command.
inline MediaCommand mediaCommand(std::uint64_t command)
{
    if (command >= kFirstPlayButtonId && command < kFirstPlayButtonId + kMaxMediaQuestions)
        return {MediaButton::Play, static_cast<int>(command - kFirstPlayButtonId) + 1};
    if (command >= kFirstStopButtonId && command < kFirstStopButtonId + kMaxMediaQuestions)
        return {MediaButton::Stop, static_cast<int>(command - kFirstStopButtonId) + 1};
    return {MediaButton::None, 0};
}

// "enigo3.mp3" or "enigo3.avi" behind folder (the empty text puts it in the current directory).
inline void mediaFileName(char* buffer, std::size_t size, const char* folder, int question, bool video)
{
    std::snprintf(buffer, size, "%senigo%d%s", folder, question, video ? ".avi" : ".mp3");
}
