// Host tests of the verdict rules and their label texts.
#include "judging/verdict.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each row pins the label the board shows: a wrong verdict and a wrong text both fail it.
TEST(Verdict, RulesGiveTheirLabel)
{
    const std::string k259(259, 'A'), idea = "y a de l'id\xE9" "e";
    const std::string cases[][3] = {  // stored, typed, label
        {"Chat", "  chat  ", "BRAVO"}, {"ABC", "   ", "?"}, {"ABC", "cab", "FAUX"},  // three bytes or fewer: no hint
        {"\xE9t\xE9", "\xC9T\xC9", "FAUX"}, {"@AZ[", "`az{", "Presque"},  // only a..z are folded
        {"CHAT ", "chat ", "Quasiment"}, {"CHAT", "\tchat\t", "Presque"},  // stored blanks stay, typed tabs too
        {"ABCD", "ABDC", "Anagramme"}, {"AABC", "ABCC", "Presque"}, {"\xC1" "BCD", "abcd", "Quasiment"},  // same bytes only
        {"CHAT", "chats", "Quasiment"}, {"CHAT", "chaton", "Presque"},  // the distance before containment
        {"CHAT", "le chat noir", "Trop long"}, {"CHAT", "chien", "FAUX"},
        {"ABCDEFGHIJK", "ABCDEFGH", "Trop court"}, {"ABCDEFGHIJ", "ABCDEFG", "pas loin"},  // 72 %, exactly 70 %
        {"ABCDEFGHIJ", "ABCDE", "FAUX"}, {"ABCDEFGHI", "ABCDEF", "FAUX"},  // exactly 50 %; nine bytes: no hint
        {"ABCDEFGHIJKLMNOP", "ABCXEFGXIJKXMNOP", idea}, {"ABCDEFGHIJKLMNO", "ABCXEFGXIJKXMNO", "FAUX"},  // 81.25, 80 %
        {"AAAB", "AAAABXY", "FAUX"}, {"ABDE", "abcabde", "Trop long"},  // the scan resumes at the mismatch
        {k259, k259 + "XYZ", "BRAVO"}, {k259, "  " + k259, "Presque"},  // typed text cut at 259 bytes, then trimmed
    };
    for (const auto& [stored, typed, label] : cases)
        EXPECT_EQ(verdictText(judgeTexts(typed.c_str(), stored.c_str())), label) << stored << " / " << typed;
    EXPECT_EQ(judgeTexts(nullptr, "ABC"), Verdict::Blank);
}

}  // namespace
