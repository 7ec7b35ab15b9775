// Host tests of the LZW decoder (hand-packed streams, bounds, memory) and of the resource encoder (round trips).
#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "failing_new.h"
#include "lzw_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A script as a stream: a character is a literal, a number a code, each '+' widens, '#' resets, '.' ends; unchecked.
Bytes stream(const std::string& script)
{
    Bytes bytes;
    std::size_t bits = 0;
    int width = kLzwStartWidth;
    const auto put = [&](std::uint64_t code) {
        for (int bit = width - 1; bit >= 0; --bit, ++bits) {
            if (bits % 8 == 0) bytes.push_back(0);
            if ((code >> bit) & 1u) bytes.back() |= static_cast<unsigned char>(0x80u >> (bits % 8));
        }
    };
    std::istringstream tokens(script);
    for (std::string t; tokens >> t;) {
        if (t[0] == '+') for (std::size_t i = 0; i < t.size(); ++i) put(kLzwWidenCode), ++width;
        else if (t == "#") put(kLzwResetCode), width = kLzwStartWidth;
        else put(t == "." ? kLzwEndCode : t.size() == 1 ? static_cast<unsigned char>(t[0]) : std::stoull(t));
    }
    return bytes;
}

// "status:output" (its size past 20 bytes), decoded from a block of exactly the stream's size so ASan sees overreads.
std::string decoded(const Bytes& input)
{
    const Bytes exact(input);
    LzwOutput output;
    output.bytes.assign(5, 'x');  // whatever the output held is replaced
    const int status = lzwDecode(exact.data(), exact.size(), output);
    const std::string text(output.bytes.begin(), output.bytes.end());
    return std::to_string(status) + ":" + (text.size() > 20 ? std::to_string(text.size()) : text) +
           (output.outputBufferFailed ? " buffer failed" : "");
}

// `count` literals cycling through 20 letters (or all 'a'), resetting every 3000 codes unless told not to.
std::string literals(std::size_t count, bool resets = true, bool allA = false)
{
    std::string script = "a";
    for (std::size_t i = 1; i < count; ++i)
        script += std::string(resets && i % 3000 == 0 ? " # " : " ") + (allA ? 'a' : char('b' + i % 20));
    return script;
}

TEST(LzwDecode, HandPackedStreamsAndBounds)
{
    const std::size_t learnable = kLzwDictionarySize - kLzwFirstLearnedCode, most = kLzwMaxOutput;
    const std::string widen32 = " " + std::string(23, '+');
    const std::string ok = "0:", bad = "-7:";
    const std::pair<std::string, std::string> cases[] = {
        {"A .", ok + "A"}, {"321 .", ok + "A"},  // the first code is a literal whatever its ninth bit
        {"a b 259 .", ok + "abab"}, {"a 259 .", ok + "aaa"}, {"a b 261 .", bad},  // codes up to the next code
        {"a b # 259 .", ok + "abbb"}, {"a b # c 259 .", ok + "abcbc"},  // the reset keeps the previous string
        {"a b 259 260 # z q 259 .", ok + "ababbazqbaz"},  // 259 is relearned from "ba", 260 must not change it
        {"a b c # d 261 .", bad},
        {"a + b 259 .", ok + "abab"}, {"a + + b # c .", ok + "abc"},  // a 257 is read at the width before it
        {"a" + widen32 + " b 259 .", ok + "abab"}, {"a" + widen32 + " 2147483907 .", bad},  // 32-bit codes
        {"a +" + widen32 + " b .", bad}, {"a b c", bad}, {"", "-5:"},
        {literals(learnable + 1, false) + " .", ok + std::to_string(learnable + 1)},  // fills the last code
        {literals(learnable + 2, false) + " .", bad}, {"a . 511 511 511", ok + "a"},  // bytes after the end: ignored
        {literals(learnable + 1, false) + " # z 260 .", ok + std::to_string(learnable + 4)},
        {literals(most) + " .", ok + std::to_string(most)}, {literals(most + 1) + " .", bad},
        {literals(most - 2, true, true) + " # 259 260 .", bad},  // "aa" fills the output exactly, "aaa" crosses it
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(decoded(stream(script)), expected) << script.substr(0, 40);
    const Bytes run(most + 1, 'a');  // strings grow by one byte a code: a few hundred stream bytes reach the bound
    EXPECT_EQ(decoded(lzwEncode(run.data(), run.size())), bad);
    const Bytes whole = stream("a b 259 + 261 # c .");  // every cut before the last byte loses (part of) the end code
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(decoded(Bytes(whole.begin(), whole.begin() + size)), size < 2 ? "-5:" : bad);
    // Only a failed output buffer is reported as such, and a later call is unaffected.
    { LargeAllocationFailureScope failure(kLzwMaxOutput); EXPECT_EQ(decoded(stream("a .")), "-4: buffer failed"); }
    { NothrowFailureScope failure(0, 1); EXPECT_EQ(decoded(stream("a .")), "-4:"); }
    EXPECT_EQ(decoded(stream("a .")), "0:a");
}

// Random bytes, random letters of a small alphabet (long dictionary strings) and zeros, through several resets.
TEST(LzwEncode, RoundTrips)
{
    std::mt19937 random(1);
    Bytes noise(kLzwMaxOutput), letters(kLzwMaxOutput);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = random() & 0xFF, letters[i] = 'a' + random() % 4;
    std::vector<Bytes> cases = {{'Q'}, noise, letters, Bytes(kLzwMaxOutput, 0)};
    // Three equal bytes slid across where the dictionary fills: a reset right after a one-byte string.
    for (long split = 3900; split < 4000; ++split) {
        cases.emplace_back(noise.begin(), noise.begin() + 6000);
        cases.back().insert(cases.back().begin() + split, 3, 0xAB);
    }
    for (const Bytes& data : cases) {
        const Bytes encoded = lzwEncode(data.data(), data.size());
        LzwOutput output;
        const int status = lzwDecode(encoded.data(), encoded.size(), output);
        EXPECT_TRUE(status == kLzwOk && output.bytes == data) << &data - &cases[0];
    }
    // 'Q' and 256 in 9 bits each, then 6 zero bits.
    EXPECT_TRUE(lzwEncode(nullptr, 0).empty() && lzwEncode(cases[0].data(), 1) == Bytes({0x28, 0xC0, 0x00}));
}

}  // namespace
