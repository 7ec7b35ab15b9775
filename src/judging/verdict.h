// The verdict of a typed answer against its stored answer: normalisation, edit distance,
// anagram and containment tests, and the rules that grade a near miss. No Win32 here.
#pragma once

#include "quiz/quiz_state.h"

enum class Verdict {
    Blank,  // nothing typed
    Right,
    Wrong,
    Anagram,   // the same bytes in another order
    OneEdit,   // one insertion, deletion or substitution away
    TwoEdits,  // two away
    TooLong,   // the typed text holds the stored answer and more
    TooShort,  // a piece of more than 70 % of a long stored answer
    NotFar,    // a piece of more than 50 % and at most 70 %
    Similar,   // more than 80 % similar
};

// The verdict label's text in Windows-1252 bytes. A label's text is the only record of its
// verdict: the board's colours, F1's filling, the score and the whole-board reveal compare label
// texts byte for byte against these.
constexpr const char* verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Blank:
        return "?";
    case Verdict::Right:
        return "BRAVO";
    case Verdict::Wrong:
        return "FAUX";
    case Verdict::Anagram:
        return "Anagramme";
    case Verdict::OneEdit:
        return "Quasiment";
    case Verdict::TwoEdits:
        return "Presque";
    case Verdict::TooLong:
        return "Trop long";
    case Verdict::TooShort:
        return "Trop court";
    case Verdict::NotFar:
        return "pas loin";
    case Verdict::Similar:
        return "y a de l'id\xE9"
               "e";
    }
    return verdictText(Verdict::Wrong);
}

// Verdict labels are read back into buffers of this size, so up to 254 characters: every
// verdict text fits.
constexpr int kVerdictReadSize = 255;

// A normalised copy of an answer: at most 259 bytes and a terminating zero.
struct NormalisedText {
    char bytes[kTextSize];
    int length;
};

// The typed text's first 259 bytes, blanks (0x20 only) cut at the end and then at the start,
// a to z upper-cased; every other byte, accented letters included, left as it is.
NormalisedText normaliseTyped(const char* typed);

// The stored answer's first 259 bytes upper-cased like the typed text, but not trimmed: a stored
// answer ending in a blank can never be matched.
NormalisedText normaliseStored(const char* stored);

// Levenshtein distance (insertion, deletion, substitution each cost 1). Lengths above 259 count
// as 259, negative ones as 0.
int editDistance(const char* a, int aLength, const char* b, int bLength);

// Whether both texts hold the same bytes the same number of times.
bool sameBytes(const char* a, int aLength, const char* b, int bLength);

// The quiz's containment scan of x in y. After a partial match fails it resumes at the mismatch
// and never steps back, so it misses an occurrence starting inside that partial match
// ('AAAB' is not found in 'AAAABXY'). An empty x is found.
bool findInside(const char* x, int xLength, const char* y, int yLength);

// The verdict of an already normalised typed text against a normalised stored answer.
Verdict judgeNormalised(const NormalisedText& typed, const NormalisedText& stored);

// The verdict of a typed text (as read from its field) against the stored answer.
Verdict judgeTexts(const char* typed, const char* stored);

// Whether the typed text, normalised, equals the stored answer, normalised: what a question's
// completeness check asks of each of its fields.
bool holdsStoredAnswer(const char* typed, const char* stored);
