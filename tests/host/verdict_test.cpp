// Host tests of the verdict rules: the verdict table with its boundaries, normalisation, the
// containment scan with the occurrences it misses, and the edit distance against a full matrix.
#include "judging/verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct VerdictCase {
    const char* name;
    std::string stored;
    std::string typed;
    Verdict expected;
};

void PrintTo(const VerdictCase& c, std::ostream* out) { *out << c.name; }

class VerdictRules : public testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictRules, GiveTheExpectedVerdict)
{
    const VerdictCase& c = GetParam();
    EXPECT_STREQ(verdictText(judgeTexts(c.typed.c_str(), c.stored.c_str())), verdictText(c.expected))
        << "stored '" << c.stored << "', typed '" << c.typed << "'";
}

const std::string k259(259, 'A');

INSTANTIATE_TEST_SUITE_P(
    Table, VerdictRules,
    testing::Values(
        VerdictCase{"TrimmedAndUpperCased", "Chat", "  chat  ", Verdict::Right},
        VerdictCase{"StoredAnswerIsUpperCasedToo", "chat", "CHAT", Verdict::Right},
        VerdictCase{"ShortAnswerGetsNoHint", "ABC", "abd", Verdict::Wrong},
        VerdictCase{"ShortAnswerAnagramGetsNoHint", "ABC", "cab", Verdict::Wrong},
        VerdictCase{"ShortAnswerContainedGetsNoHint", "ABC", "xxxabc", Verdict::Wrong},
        VerdictCase{"ShortAnswerRight", "ABC", " abc", Verdict::Right},
        VerdictCase{"ShortAnswerOnlyBlanks", "ABC", "   ", Verdict::Blank},
        VerdictCase{"LongAnswerOnlyBlanks", "ABCD", "    ", Verdict::Blank},
        VerdictCase{"NothingTyped", "ABCD", "", Verdict::Blank},
        VerdictCase{"EmptyStoredAnswerNothingTyped", "", "", Verdict::Blank},
        VerdictCase{"EmptyStoredAnswerSomethingTyped", "", "a", Verdict::Wrong},
        VerdictCase{"AccentsAreNotFolded", "\xE9" "t\xE9", "\xC9" "T\xC9", Verdict::Wrong},
        VerdictCase{"AccentsMatchExactly", "\xE9" "t\xE9", "\xE9" "T\xE9", Verdict::Right},
        VerdictCase{"AccentCaseIsAnEdit", "F\xC9" "ES", "f\xE9" "es", Verdict::OneEdit},
        VerdictCase{"BytesNextToTheLetterRangeStay", "@ABC[", "`abc{", Verdict::TwoEdits},
        VerdictCase{"StoredTrailingBlankNeverRight", "CHAT ", "chat ", Verdict::OneEdit},
        VerdictCase{"StoredLeadingBlankNeverRight", " CHAT", " chat", Verdict::OneEdit},
        VerdictCase{"ShortStoredTrailingBlank", "AB ", "ab ", Verdict::Wrong},
        VerdictCase{"TabsAreNotTrimmed", "CHAT", "chat\t", Verdict::OneEdit},
        VerdictCase{"InnerBlanksStay", "CHAT NOIR", "chat  noir", Verdict::OneEdit},
        VerdictCase{"WordsSwapped", "CHAT NOIR", "noir chat", Verdict::Anagram},
        VerdictCase{"AnagramBeforeDistance", "ABCD", "ABDC", Verdict::Anagram},
        VerdictCase{"SameLettersOtherCountsIsNoAnagram", "AABC", "ABCC", Verdict::TwoEdits},
        VerdictCase{"OneInserted", "CHAT", "chats", Verdict::OneEdit},
        VerdictCase{"OneDeleted", "CHAT", "cha", Verdict::OneEdit},
        VerdictCase{"TwoAwayThoughContaining", "CHAT", "chaton", Verdict::TwoEdits},
        VerdictCase{"TwoSubstituted", "CHATEAU", "CHAPEAO", Verdict::TwoEdits},
        VerdictCase{"HoldsTheAnswerAndMore", "CHAT", "le chat noir", Verdict::TooLong},
        VerdictCase{"ThreeAwayNothingInCommon", "CHAT", "chien", Verdict::Wrong},
        VerdictCase{"PieceOfElevenAbove70", "ABCDEFGHIJK", "ABCDEFGH", Verdict::TooShort},
        VerdictCase{"PieceTwoShortIsTwoEdits", "ABCDEFGHIJ", "ABCDEFGH", Verdict::TwoEdits},
        VerdictCase{"PieceOfTenAtExactly70", "ABCDEFGHIJ", "ABCDEFG", Verdict::NotFar},
        VerdictCase{"PieceOfTenAt60", "ABCDEFGHIJ", "ABCDEF", Verdict::NotFar},
        VerdictCase{"PieceOfTenAtExactly50", "ABCDEFGHIJ", "ABCDE", Verdict::Wrong},
        VerdictCase{"PieceFromTheMiddle", "ABCDEFGHIJKL", "cdefghijk", Verdict::TooShort},
        VerdictCase{"PieceOfNineGetsNoHint", "ABCDEFGHI", "ABCDEF", Verdict::Wrong},
        VerdictCase{"SixteenWithThreeReplaced", "ABCDEFGHIJKLMNOP", "ABCXEFGXIJKXMNOP", Verdict::Similar},
        VerdictCase{"FifteenWithThreeReplacedIsExactly80", "ABCDEFGHIJKLMNO", "ABCXEFGXIJKXMNO", Verdict::Wrong},
        VerdictCase{"OccurrenceInsideFailedRunIsMissed", "AAAB", "AAAABXY", Verdict::Wrong},
        VerdictCase{"OccurrenceAfterOtherBytesIsFound", "AAAB", "XYZAAAB", Verdict::TooLong},
        VerdictCase{"MissedOccurrenceFallsToSimilarity", "AAAAAAAAAAAAAAAB", "AAAAAAAAAAAAAAAABXY", Verdict::Similar},
        VerdictCase{"ContainmentComesBeforeSimilarity", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPXYZ", Verdict::TooLong},
        VerdictCase{"TypedCutAt259", k259, k259 + "XYZ", Verdict::Right},
        VerdictCase{"TypedCutBeforeTrimming", k259, "  " + k259, Verdict::TwoEdits},
        VerdictCase{"LongAnswerRight", k259, std::string(259, 'a'), Verdict::Right}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

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

struct NormaliseCase {
    std::string input;
    std::string typed;
    std::string stored;
};

TEST(Normalise, TrimsTypedBlanksOnlyAndUpperCasesLettersOnly)
{
    const NormaliseCase cases[] = {
        {"  a b  ", "A B", "  A B  "},
        {"\ttab ", "\tTAB", "\tTAB "},
        {"", "", ""},
        {"   ", "", "   "},
        {"az`{@[", "AZ`{@[", "AZ`{@["},
        {"\xE9" "t\xE9" "\xFF", "\xE9" "T\xE9" "\xFF", "\xE9" "T\xE9" "\xFF"},
        {std::string(300, 'x'), std::string(259, 'X'), std::string(259, 'X')},
    };
    for (const NormaliseCase& c : cases) {
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

struct ScanCase {
    const char* x;
    const char* y;
    bool found;
};

TEST(FindInside, ResumesAtTheMismatchAndMissesOverlappingStarts)
{
    const ScanCase cases[] = {
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
    for (const ScanCase& c : cases) {
        const int s = static_cast<int>(std::string(c.x).size());
        const int l = static_cast<int>(std::string(c.y).size());
        EXPECT_EQ(findInside(c.x, s, c.y, l), c.found) << "'" << c.x << "' in '" << c.y << "'";
    }
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

TEST(EditDistance, KnownPairs)
{
    EXPECT_EQ(distance("", ""), 0);
    EXPECT_EQ(distance("ABC", ""), 3);
    EXPECT_EQ(distance("", "ABCD"), 4);
    EXPECT_EQ(distance("KITTEN", "SITTING"), 3);
    EXPECT_EQ(distance("ABCD", "ABDC"), 2);
    EXPECT_EQ(distance("FLAW", "LAWN"), 2);
    EXPECT_EQ(distance(std::string(259, 'A'), std::string(259, 'B')), 259);
    EXPECT_EQ(distance(std::string(259, 'A'), ""), 259);
}

TEST(EditDistance, MeasuresAtMost259Bytes)
{
    const std::string a = std::string(259, 'A') + "XYZ";
    const std::string b = std::string(259, 'A') + "Q";
    EXPECT_EQ(distance(a, b), 0);
    EXPECT_EQ(editDistance("ABC", -1, "AB", 2), 2);
}

// A copy of text with a few random substitutions, insertions and deletions.
std::string mutated(std::string text, std::mt19937& random, const std::string& alphabet)
{
    std::uniform_int_distribution<int> editCount(0, 6);
    for (int edits = editCount(random); edits > 0; --edits) {
        const char byte = alphabet[random() % alphabet.size()];
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 3) {
        case 0:
            if (at < text.size())
                text[at] = byte;
            break;
        case 1:
            if (text.size() < 259)
                text.insert(text.begin() + at, byte);
            break;
        default:
            if (at < text.size())
                text.erase(text.begin() + at);
        }
    }
    return text;
}

TEST(EditDistance, AgreesWithTheFullMatrixOnRandomTexts)
{
    std::mt19937 random(20240517);
    std::string allBytes;
    for (int byte = 1; byte < 256; ++byte)
        allBytes.push_back(static_cast<char>(byte));
    const std::string alphabets[] = {"AB", "ACGT", allBytes};
    std::uniform_int_distribution<int> length(0, 259);
    for (int round = 0; round < 400; ++round) {
        const std::string& alphabet = alphabets[round % 3];
        std::string a;
        for (int i = length(random); i > 0; --i)
            a.push_back(alphabet[random() % alphabet.size()]);
        // Half the pairs are near misses, where shared heads and tails matter.
        std::string b;
        if (round % 2 == 0) {
            b = mutated(a, random, alphabet);
        } else {
            for (int i = length(random); i > 0; --i)
                b.push_back(alphabet[random() % alphabet.size()]);
        }
        ASSERT_EQ(distance(a, b), referenceDistance(a, b)) << "round " << round;
        ASSERT_EQ(distance(b, a), referenceDistance(a, b)) << "round " << round;
    }
}

} // namespace
