// The resources a quiz executable carries: what the player reads and the quiz tools write.
// Portable (no <windows.h>), so the compiler and the authoring tool share it with the player.
#pragma once

// Quiz texts, answers and colours (104) and one code per score (105), LZW-compressed.
constexpr const char* kQuizRecordType = "PATCH";
constexpr int kQuizRecordId = 104;
constexpr int kCodeRecordId = 105;

// A question's picture, sound or video, and its answer picture. PNG pictures may stand under
// raw data (RT_RCDATA, type 10) instead, where the player's own PNG decoder reads them.
constexpr const char* kMediaResourceType = "IMG";
constexpr int kRawDataResourceType = 10;
constexpr int kCardResourceBase = 400;
constexpr int kAnswerPictureBase = 10400;

// Question n counts from 1.
constexpr int cardResourceId(int question)
{
    return kCardResourceBase + question;
}
constexpr int answerPictureId(int question)
{
    return kAnswerPictureBase + question;
}
