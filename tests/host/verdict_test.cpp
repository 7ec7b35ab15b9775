// Host tests of the verdict rules, and of the edit distance against a full matrix.
#include "judging/verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(Verdict, Rules)
{
    const std::string k259(259, 'A');
    const struct {
        std::string stored, typed;
        Verdict expected;
    } cases[] = {
        {"Chat", "  chat  ", Verdict::Right},
        {"ABC", "abd", Verdict::Wrong}, {"ABC", "cab", Verdict::Wrong},  // three bytes or fewer: no hint
        {"ABC", " abc", Verdict::Right}, {"ABC", "   ", Verdict::Blank}, {"", "a", Verdict::Wrong},
        {"\xE9t\xE9", "\xC9T\xC9", Verdict::Wrong},  // accents are not folded
        {"F\xC9" "ES", "f\xE9" "es", Verdict::OneEdit},
        {"@AZ[", "`az{", Verdict::TwoEdits},  // the bytes next to a..z stay
        {"CHAT ", "chat ", Verdict::OneEdit},  // a stored trailing blank is never matched
        {"CHAT", "\tchat\t", Verdict::TwoEdits},  // tabs are not trimmed
        {"CHAT NOIR", "chat  noir", Verdict::OneEdit},
        {"ABCD", "ABDC", Verdict::Anagram},  // before the distance of 2
        {"AABC", "ABCC", Verdict::TwoEdits},
        {"CHAT", "chats", Verdict::OneEdit}, {"CHAT", "chaton", Verdict::TwoEdits},  // the distance before containment
        {"CHAT", "le chat noir", Verdict::TooLong}, {"CHAT", "chien", Verdict::Wrong},
        {"ABCDEFGHIJK", "ABCDEFGH", Verdict::TooShort},  // 72 %
        {"ABCDEFGHIJ", "ABCDEFG", Verdict::NotFar},      // exactly 70 %
        {"ABCDEFGHIJ", "ABCDEF", Verdict::NotFar},
        {"ABCDEFGHIJ", "ABCDE", Verdict::Wrong},         // exactly 50 %
        {"ABCDEFGHI", "ABCDEF", Verdict::Wrong},         // nine bytes or fewer: no hint for a piece
        {"ABCDEFGHIJKLMNOP", "ABCXEFGXIJKXMNOP", Verdict::Similar},  // 81.25 %
        {"ABCDEFGHIJKLMNO", "ABCXEFGXIJKXMNO", Verdict::Wrong},      // exactly 80 %
        {"AAAB", "AAAABXY", Verdict::Wrong},  // the scan resumes at the mismatch and misses these
        {"ABAC", "ababacxy", Verdict::Wrong},
        {"ABDE", "abcabde", Verdict::TooLong},
        {"\xC1" "BCD", "abcd", Verdict::OneEdit},  // no anagram: bytes differing in the top bit
        {"AAAAAAAAAAAAAAAB", "AAAAAAAAAAAAAAAABXY", Verdict::Similar},
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPXYZ", Verdict::TooLong},
        {k259, k259 + "XYZ", Verdict::Right},  // typed text cut at 259 bytes, then trimmed
        {k259, "  " + k259, Verdict::TwoEdits},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(verdictText(judgeTexts(c.typed.c_str(), c.stored.c_str())), verdictText(c.expected))
            << c.stored << " / " << c.typed;
    EXPECT_EQ(judgeTexts(nullptr, "ABC"), Verdict::Blank);
}

// The board compares labels byte for byte; the last is 13 Windows-1252 bytes, not UTF-8.
TEST(Verdict, LabelBytes)
{
    std::string all;
    for (int v = 0; v <= static_cast<int>(Verdict::Similar); ++v) all += std::string(verdictText(Verdict(v))) + "|";
    EXPECT_EQ(all, "?|BRAVO|FAUX|Anagramme|Quasiment|Presque|Trop long|Trop court|pas loin|y a de l'id\xE9" "e|");
}

TEST(Verdict, HoldsStoredAnswerComparesNormalisedTexts)
{
    EXPECT_EQ(std::vector<bool>({holdsStoredAnswer("  madrid ", "Madrid"), holdsStoredAnswer("madrid", "Madrid "),
                                 holdsStoredAnswer("madri", "Madrid"), holdsStoredAnswer("\xC9T", "\xE9t")}),
              std::vector<bool>({true, false, false, false}));
}

// The textbook full-matrix Levenshtein distance.
int referenceDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        for (size_t j = 0; j <= b.size(); ++j)
            d[i][j] = i == 0 || j == 0 ? int(i + j)
                                       : std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
    return d[a.size()][b.size()];
}

int distance(const std::string& a, const std::string& b)
{
    return editDistance(a.data(), int(a.size()), b.data(), int(b.size()));
}

TEST(Verdict, EditDistanceAgreesWithTheFullMatrix)
{
    const std::string a259(259, 'A');
    EXPECT_EQ(distance(a259, std::string(259, 'B')), 259);
    EXPECT_EQ(distance(a259 + "XYZ", a259 + "Q"), 0);  // only the first 259 bytes count
    EXPECT_EQ(editDistance("ABC", -1, "AB", 2), 2);
    // Random texts of up to 259 bytes over two, four and 255 byte values; half the pairs are
    // near misses (up to six edits), where shared heads and tails matter.
    std::mt19937 random(20240517);
    const unsigned alphabet[] = {2, 4, 255};
    for (int round = 0; round < 400; ++round) {
        const auto randomText = [&](size_t length) {
            std::string text(length, ' ');
            for (char& byte : text) byte = static_cast<char>('A' + random() % alphabet[round % 3]);
            return text;
        };
        const std::string a = randomText(random() % 260);
        std::string b = round % 2 ? randomText(random() % 260) : a;
        for (int edits = round % 2 ? 0 : int(random() % 7); edits > 0; --edits) {
            const size_t at = random() % (b.size() + 1);
            if (random() % 2 == 0 && b.size() < 259)
                b.insert(at, randomText(1));
            else if (at < b.size())
                b.replace(at, 1, random() % 2 == 0 ? randomText(1) : "");
        }
        ASSERT_EQ(distance(a, b), referenceDistance(a, b)) << "round " << round;
        ASSERT_EQ(distance(b, a), referenceDistance(a, b)) << "round " << round;
    }
}

}  // namespace
