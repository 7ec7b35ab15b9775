// Control ids of the question board, derived from question and answer numbers in one place.
#pragma once

constexpr int kAnswerNameLabelId = 156;
// The list's number labels all take this id; the grid's number labels follow it, one per question.
constexpr int kListNumberLabelId = 2000;
constexpr int kListCaptionLabelId = 3000;
constexpr int kPlayerContainerId = 9900;
// Answer fields follow this id: field n (from 1) is kAnswerFieldBase + n.
constexpr int kAnswerFieldBase = 4000;
constexpr int kFirstAnswerFieldId = kAnswerFieldBase + 1;
// Answer fields and their verdict labels always differ by this much.
constexpr int kVerdictOffset = 1000;

inline int gridNumberLabelId(int question)
{
    return kListNumberLabelId + question;
}

// Answer k (from 1) of question j (from 1). The list layout always has one field per question.
inline int answerFieldId(int question, int answer, int answersPerQuestion)
{
    return answersPerQuestion == 2 ? kAnswerFieldBase + 2 * (question - 1) + answer : kAnswerFieldBase + question;
}

// The question and answer an answer field id stands for: answerFieldId read backwards.
struct AnswerSlot {
    int question;  // from 1
    int answer;    // 1 or 2
};

inline AnswerSlot answerSlotOf(int answerFieldId, int answersPerQuestion)
{
    if (answersPerQuestion == 2)
        return {(answerFieldId - (kAnswerFieldBase - 1)) / 2, (answerFieldId - kAnswerFieldBase) % 2 != 0 ? 1 : 2};
    return {answerFieldId - kAnswerFieldBase, 1};
}

// The field that holds line i (from 1) of the saved answers.
inline int progressFieldId(int line)
{
    return kAnswerFieldBase + line;
}

inline int verdictLabelId(int answerFieldId)
{
    return answerFieldId + kVerdictOffset;
}
inline int playButtonId(int question)
{
    return 6000 + question;
}
inline int stopButtonId(int question)
{
    return 7000 + question;
}
inline int revealLabelId(int question)
{
    return 8000 + question;
}
inline int pictureControlId(int question)
{
    return 9900 + question;
}
