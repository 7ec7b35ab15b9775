// Control ids of the question board, derived from question and answer numbers in one place.
#pragma once

constexpr int kAnswerNameLabelId = 156;
constexpr int kListNumberLabelId = 2000;
constexpr int kListCaptionLabelId = 3000;
constexpr int kPlayerContainerId = 9900;
constexpr int kFirstAnswerFieldId = 4001;
// Answer fields and their verdict labels always differ by this much.
constexpr int kVerdictOffset = 1000;

inline int gridNumberLabelId(int question) { return 2000 + question; }

// Answer k (from 1) of question j (from 1). The list layout always has one field per question.
inline int answerFieldId(int question, int answer, int answersPerQuestion)
{
    return answersPerQuestion == 2 ? 4000 + 2 * (question - 1) + answer : 4000 + question;
}

// The field that holds line i (from 1) of the saved answers.
inline int progressFieldId(int line) { return 4000 + line; }

inline int verdictLabelId(int answerFieldId) { return answerFieldId + kVerdictOffset; }
inline int playButtonId(int question) { return 6000 + question; }
inline int stopButtonId(int question) { return 7000 + question; }
inline int revealLabelId(int question) { return 8000 + question; }
inline int pictureControlId(int question) { return 9900 + question; }
