// The single application state record and the question list it owns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "quiz/handles.h"

// Every quiz text, answer, code and label is held in a buffer of this size: 259 bytes and a zero.
constexpr int kTextSize = 260;
constexpr int kMaxTextLength = kTextSize - 1;
// Code table, command id ranges and media file numbers all stop at this many questions.
constexpr int kMaxQuestions = 96;
constexpr int kMaxRows = 32;
// Room of the per-question flag arrays, indexed by question number.
constexpr int kFlagSlots = 260;

// mediaKind values
constexpr int kMediaText = 0;
constexpr int kMediaPicture = 1;
constexpr int kMediaSound = 2;
constexpr int kMediaVideo = 3;

// The background colour of a quiz that names none.
constexpr std::uint8_t kDefaultBackRed = 90;
constexpr std::uint8_t kDefaultBackGreen = 95;
constexpr std::uint8_t kDefaultBackBlue = 150;

// revealMode values: what solving a question brings to light.
constexpr int kRevealNothing = 0;
constexpr int kRevealPicture = 1;          // the card's answer picture
constexpr int kRevealLabel = 2;            // the card's reveal label
constexpr int kRevealLabelAndPicture = 3;  // both
constexpr int kRevealWholeBoard = 4;       // every reveal label, once every answer on the board is right

// Modes above kRevealPicture have reveal labels: the board makes them and leaves them room.
inline bool hasRevealLabels(int revealMode)
{
    return revealMode > kRevealPicture;
}

struct QuestionRecord {
    char answer1[kTextSize];
    char answer2[kTextSize];
    char caption[kTextSize];
    char revealText[kTextSize];
    QuestionRecord* previous;
    QuestionRecord* next;
};

struct QuizState {
    int32_t contentWidth;
    int32_t contentHeight;
    int32_t mediaKind;
    char title[kTextSize];
    char author[kTextSize];
    char explanation[kTextSize];
    char answerLabel1[kTextSize];
    char answerLabel2[kTextSize];
    int32_t questionCount;
    int32_t answersPerQuestion;
    char codes[kMaxQuestions][kTextSize];
    int32_t solvedFlags[kFlagSlots];
    int32_t answerPictureShown[kFlagSlots];
    int32_t revealMode;
    HFONT boardFont;
    HFONT scoreFont;
    HFONT titleFont;
    int32_t allRevealed;
    HWND boardWindow;
    int32_t rowHeights[kMaxRows];
    int32_t cardStates[kFlagSlots];
    uint8_t backRed;
    uint8_t backBlue;
    uint8_t backGreen;
    HBRUSH backBrush;
    HBRUSH wrongBrush;
    HBRUSH anagramBrush;
    HBRUSH hintBrush;
    HBRUSH captionBrush;
    HWND headerWindow;
    char mediaFolder[512];
    QuestionRecord* firstQuestion;
    QuestionRecord* lastQuestion;
};

// Sets the data fields to their reset values (texts, counts, flags, colour, empty list, null handles).
// Fonts and brushes are the Win32 side's business; their handles are left null here, so create them after.
// Meant for a fresh state: it does not release an existing question list (it only forgets it).
void resetQuizData(QuizState& state);

// Copies src into a text buffer of kTextSize bytes, cut at 259 bytes, always terminated.
void copyText(char* destination, const char* src);

// Links a new record at the tail; returns it, or null (nothing added) when it cannot be allocated.
QuestionRecord* appendQuestion(QuizState& state, const char* answer1, const char* answer2, const char* caption);

// The n-th record from the head (n from 1); numbers past the end yield the last record, numbers below 1
// the first; null on an empty list.
QuestionRecord* questionByNumber(const QuizState& state, int number);

// Releases every record and empties the list.
void releaseQuestions(QuizState& state);
