// Host tests of the verdict rules: the verdict table with its boundaries, normalisation, the
// containment scan with the occurrences it misses, and the edit distance against a full matrix.
#include "judging/verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(VerdictRules, GiveTheExpectedVerdict)
{
    const std::string k259(259, 'A');
    const struct {
        const char* name;
        std::string stored, typed;
        Verdict expected;
    } cases[] = {
        {"TrimmedAndUpperCased", "Chat", "  chat  ", Verdict::Right},
        {"StoredAnswerIsUpperCasedToo", "chat", "CHAT", Verdict::Right},
        {"ShortAnswerGetsNoHint", "ABC", "abd", Verdict::Wrong},
        {"ShortAnswerAnagramGetsNoHint", "ABC", "cab", Verdict::Wrong},
        {"ShortAnswerContainedGetsNoHint", "ABC", "xxxabc", Verdict::Wrong},
        {"ShortAnswerRight", "ABC", " abc", Verdict::Right},
        {"ShortAnswerOnlyBlanks", "ABC", "   ", Verdict::Blank},
        {"LongAnswerOnlyBlanks", "ABCD", "    ", Verdict::Blank},
        {"NothingTyped", "ABCD", "", Verdict::Blank},
        {"EmptyStoredAnswerNothingTyped", "", "", Verdict::Blank},
        {"EmptyStoredAnswerSomethingTyped", "", "a", Verdict::Wrong},
        {"AccentsAreNotFolded", "\xE9" "t\xE9", "\xC9" "T\xC9", Verdict::Wrong},
        {"AccentsMatchExactly", "\xE9" "t\xE9", "\xE9" "T\xE9", Verdict::Right},
        {"AccentCaseIsAnEdit", "F\xC9" "ES", "f\xE9" "es", Verdict::OneEdit},
        {"BytesNextToTheLetterRangeStay", "@ABC[", "`abc{", Verdict::TwoEdits},
        {"StoredTrailingBlankNeverRight", "CHAT ", "chat ", Verdict::OneEdit},
        {"StoredLeadingBlankNeverRight", " CHAT", " chat", Verdict::OneEdit},
        {"ShortStoredTrailingBlank", "AB ", "ab ", Verdict::Wrong},
        {"TabsAreNotTrimmed", "CHAT", "chat\t", Verdict::OneEdit},
        {"InnerBlanksStay", "CHAT NOIR", "chat  noir", Verdict::OneEdit},
        {"WordsSwapped", "CHAT NOIR", "noir chat", Verdict::Anagram},
        {"AnagramBeforeDistance", "ABCD", "ABDC", Verdict::Anagram},
        {"SameLettersOtherCountsIsNoAnagram", "AABC", "ABCC", Verdict::TwoEdits},
        {"OneInserted", "CHAT", "chats", Verdict::OneEdit},
        {"OneDeleted", "CHAT", "cha", Verdict::OneEdit},
        {"TwoAwayThoughContaining", "CHAT", "chaton", Verdict::TwoEdits},
        {"TwoSubstituted", "CHATEAU", "CHAPEAO", Verdict::TwoEdits},
        {"HoldsTheAnswerAndMore", "CHAT", "le chat noir", Verdict::TooLong},
        {"ThreeAwayNothingInCommon", "CHAT", "chien", Verdict::Wrong},
        {"PieceOfElevenAbove70", "ABCDEFGHIJK", "ABCDEFGH", Verdict::TooShort},
        {"PieceTwoShortIsTwoEdits", "ABCDEFGHIJ", "ABCDEFGH", Verdict::TwoEdits},
        {"PieceOfTenAtExactly70", "ABCDEFGHIJ", "ABCDEFG", Verdict::NotFar},
        {"PieceOfTenAtExactly50", "ABCDEFGHIJ", "ABCDE", Verdict::Wrong},
        {"PieceFromTheMiddle", "ABCDEFGHIJKL", "cdefghijk", Verdict::TooShort},
        {"PieceOfNineGetsNoHint", "ABCDEFGHI", "ABCDEF", Verdict::Wrong},
        {"SixteenWithThreeReplaced", "ABCDEFGHIJKLMNOP", "ABCXEFGXIJKXMNOP", Verdict::Similar},
        {"FifteenWithThreeReplacedIsExactly80", "ABCDEFGHIJKLMNO", "ABCXEFGXIJKXMNO", Verdict::Wrong},
        {"OccurrenceInsideFailedRunIsMissed", "AAAB", "AAAABXY", Verdict::Wrong},
        {"OccurrenceAfterOtherBytesIsFound", "AAAB", "XYZAAAB", Verdict::TooLong},
        {"MissedOccurrenceFallsToSimilarity", "AAAAAAAAAAAAAAAB", "AAAAAAAAAAAAAAAABXY", Verdict::Similar},
        {"ContainmentComesBeforeSimilarity", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPXYZ", Verdict::TooLong},
        {"TypedCutAt259", k259, k259 + "XYZ", Verdict::Right},
        {"TypedCutBeforeTrimming", k259, "  " + k259, Verdict::TwoEdits},
        {"LongAnswerRight", k259, std::string(259, 'a'), Verdict::Right},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(verdictText(judgeTexts(c.typed.c_str(), c.stored.c_str())), verdictText(c.expected)) << c.name;
}

TEST(VerdictText, IsTheLabelsBytesInWindows1252)
{
    const struct {
        Verdict verdict;
        std::string bytes;
    } cases[] = {
        {Verdict::Blank, "?"},          {Verdict::Right, "BRAVO"},          {Verdict::Wrong, "FAUX"},
        {Verdict::Anagram, "Anagramme"}, {Verdict::OneEdit, "Quasiment"},    {Verdict::TwoEdits, "Presque"},
        {Verdict::TooLong, "Trop long"}, {Verdict::TooShort, "Trop court"}, {Verdict::NotFar, "pas loin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(verdictText(c.verdict), c.bytes);
    const unsigned char idea[] = {'y', ' ', 'a', ' ', 'd', 'e', ' ', 'l', '\'', 'i', 'd', 0xE9, 'e'};
    EXPECT_EQ(verdictText(Verdict::Similar), std::string(idea, idea + sizeof idea));
}

TEST(Normalise, TrimsTypedBlanksOnlyAndUpperCasesLettersOnly)
{
    const struct {
        std::string input, typed, stored;
    } cases[] = {
        {"  a b  ", "A B", "  A B  "},
        {"\ttab ", "\tTAB", "\tTAB "},
        {"", "", ""},
        {"   ", "", "   "},
        {"az`{@[", "AZ`{@[", "AZ`{@["},
        {"\xE9" "t\xE9" "\xFF", "\xE9" "T\xE9" "\xFF", "\xE9" "T\xE9" "\xFF"},
        {std::string(300, 'x'), std::string(259, 'X'), std::string(259, 'X')},
    };
    for (const auto& c : cases) {
        const NormalisedText typed = normaliseTyped(c.input.c_str());
        const NormalisedText stored = normaliseStored(c.input.c_str());
        EXPECT_EQ(std::string(typed.bytes, typed.length), c.typed) << c.input;
        EXPECT_EQ(typed.bytes[typed.length], '\0');
        EXPECT_EQ(std::string(stored.bytes, stored.length), c.stored) << c.input;
        EXPECT_EQ(stored.bytes[stored.length], '\0');
    }
    EXPECT_EQ(normaliseTyped(nullptr).length, 0);
}

TEST(HoldsStoredAnswer, ComparesNormalisedTextsExactly)
{
    EXPECT_TRUE(holdsStoredAnswer("  madrid ", "Madrid"));
    EXPECT_TRUE(holdsStoredAnswer("", ""));
    EXPECT_FALSE(holdsStoredAnswer("madrid", "Madrid "));
    EXPECT_FALSE(holdsStoredAnswer("madri", "Madrid"));
    EXPECT_FALSE(holdsStoredAnswer("\xC9" "T\xC9", "\xE9" "t\xE9"));
}

TEST(FindInside, ResumesAtTheMismatchAndMissesOverlappingStarts)
{
    const struct {
        const char* x;
        const char* y;
        bool found;
    } cases[] = {
        {"AAAB", "AAAABXY", false}, // the run AAA fails at the fourth A and the scan resumes there
        {"ABAC", "ABABAC", false},
        {"AAAB", "XYZAAAB", true},
        {"ABD", "ABCABD", true},
        {"ABC", "ABC", true},
        {"B", "AAAB", true},
        {"ABC", "AB", false}, // runs out of y in the middle of a match
        {"ABC", "XYZ", false},
        {"ABC", "", false},
        {"", "ABC", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findInside(c.x, static_cast<int>(std::strlen(c.x)), c.y, static_cast<int>(std::strlen(c.y))), c.found)
            << "'" << c.x << "' in '" << c.y << "'";
}

TEST(SameBytes, CountsEveryByteValue)
{
    EXPECT_TRUE(sameBytes("ABCD", 4, "DCBA", 4));
    EXPECT_TRUE(sameBytes("\xE9" "A\xFF", 3, "\xFF" "A\xE9", 3));
    EXPECT_FALSE(sameBytes("AABC", 4, "ABCC", 4));
    EXPECT_FALSE(sameBytes("\xE9", 1, "\xC9", 1));
    EXPECT_FALSE(sameBytes("\xC1" "B", 2, "AB", 2)); // 0xC1 and 0x41 differ only in the top bit
    EXPECT_FALSE(sameBytes("ABC", 3, "ABCA", 4));
}

// The textbook full-matrix Levenshtein distance.
int referenceDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j)
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    return d[a.size()][b.size()];
}

int distance(const std::string& a, const std::string& b)
{
    return editDistance(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
}

TEST(EditDistance, KnownPairsAndTheLengthCut)
{
    const std::string a259(259, 'A');
    EXPECT_EQ(distance("", ""), 0);
    EXPECT_EQ(distance("ABC", ""), 3);
    EXPECT_EQ(distance("", "ABCD"), 4);
    EXPECT_EQ(distance("KITTEN", "SITTING"), 3);
    EXPECT_EQ(distance("ABCD", "ABDC"), 2);
    EXPECT_EQ(distance("FLAW", "LAWN"), 2);
    EXPECT_EQ(distance(a259, std::string(259, 'B')), 259);
    EXPECT_EQ(distance(a259, ""), 259);
    // Only the first 259 bytes are measured; a negative length counts as none.
    EXPECT_EQ(distance(a259 + "XYZ", a259 + "Q"), 0);
    EXPECT_EQ(editDistance("ABC", -1, "AB", 2), 2);
}

TEST(EditDistance, AgreesWithTheFullMatrixOnRandomTexts)
{
    std::mt19937 random(20240517);
    std::string allBytes;
    for (int byte = 1; byte < 256; ++byte)
        allBytes.push_back(static_cast<char>(byte));
    const std::string alphabets[] = {"AB", "ACGT", allBytes};
    for (int round = 0; round < 400; ++round) {
        const std::string& alphabet = alphabets[round % 3];
        const auto randomText = [&](size_t length) {
            std::string text(length, ' ');
            for (char& byte : text)
                byte = alphabet[random() % alphabet.size()];
            return text;
        };
        const std::string a = randomText(random() % 260);
        std::string b = randomText(random() % 260);
        // Half the pairs are near misses (up to six edits), where shared heads and tails matter.
        if (round % 2 == 0) {
            b = a;
            for (int edits = static_cast<int>(random() % 7); edits > 0; --edits) {
                const size_t at = random() % (b.size() + 1);
                const std::string byte = randomText(1);
                if (random() % 2 == 0 && b.size() < 259)
                    b.insert(at, byte);
                else if (at < b.size())
                    b.replace(at, 1, random() % 2 == 0 ? byte : "");
            }
        }
        ASSERT_EQ(distance(a, b), referenceDistance(a, b)) << "round " << round;
        ASSERT_EQ(distance(b, a), referenceDistance(a, b)) << "round " << round;
    }
}

} // namespace
