// Which card button a board command stands for, and the names of the extracted media files.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/quiz_resources.h"
#include "board/board_ids.h"
#include "quiz/quiz_state.h"

// The question whose media is resource resourceId: cardResourceId read backwards.
inline int mediaQuestionOf(int resourceId)
{
    return resourceId - kCardResourceBase;
}

enum class MediaButton { None, Play, Stop };

struct MediaCommand {
    MediaButton button;
    int question;
};

// The whole command parameter is compared with the button ranges, so a notification other than
// a plain click (code 0 in the high word) is no media command.
inline MediaCommand mediaCommand(std::uint64_t command)
{
    if (command >= std::uint64_t(playButtonId(1)) && command <= std::uint64_t(playButtonId(kMaxQuestions)))
        return {MediaButton::Play, static_cast<int>(command - playButtonId(0))};
    if (command >= std::uint64_t(stopButtonId(1)) && command <= std::uint64_t(stopButtonId(kMaxQuestions)))
        return {MediaButton::Stop, static_cast<int>(command - stopButtonId(0))};
    return {MediaButton::None, 0};
}

// "enigo3.mp3" or "enigo3.avi" behind folder (the empty text puts it in the current directory).
inline void mediaFileName(char* buffer, std::size_t size, const char* folder, int question, bool video)
{
    std::snprintf(buffer, size, "%senigo%d%s", folder, question, video ? ".avi" : ".mp3");
}
