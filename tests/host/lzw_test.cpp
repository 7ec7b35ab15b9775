// Host tests of the LZW decoder (hand-packed streams, bounds) and of the resource encoder (round trips).
#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "failing_new.h"
#include "lzw_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A stream from a script: a character is a literal, a number a code, "+"/"+n" widen, "#" resets, "." ends; unchecked.
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
        if (t[0] == '+')
            for (int i = t.size() > 1 ? std::stoi(t.substr(1)) : 1; i > 0; --i, ++width) put(kLzwWidenCode);
        else if (t == "#")
            put(kLzwResetCode), width = kLzwStartWidth;
        else
            put(t == "." ? kLzwEndCode : t.size() == 1 ? static_cast<unsigned char>(t[0]) : std::stoull(t));
    }
    return bytes;
}

struct Decoded {
    int status;
    Bytes bytes;
    bool bufferFailed;
};

// The stream is copied into a block of exactly its size, so AddressSanitizer sees a read past it.
Decoded decode(const Bytes& input)
{
    const Bytes exact(input);
    LzwOutput output;
    output.bytes.assign(5, 'x');  // whatever the output held is replaced
    output.outputBufferFailed = true;
    const int status = lzwDecode(exact.data(), exact.size(), output);
    return {status, output.bytes, output.outputBufferFailed};
}

Bytes encode(const Bytes& data) { return lzwEncode(data.data(), data.size()); }

Bytes prefix(const Bytes& bytes, std::size_t size) { return Bytes(bytes.begin(), bytes.begin() + size); }

// Random bytes, or random letters of a small alphabet (low entropy, long dictionary strings).
Bytes randomBytes(std::size_t size, unsigned seed, unsigned alphabet = 0)
{
    std::mt19937 random(seed);
    Bytes data(size);
    for (unsigned char& byte : data) byte = static_cast<unsigned char>(alphabet ? 'a' + random() % alphabet : random());
    return data;
}

TEST(LzwDecode, HandPackedStreams)
{
    const struct {
        const char* script;
        int status;
        std::string output;
    } cases[] = {
        {"A .", kLzwOk, "A"},
        {"321 .", kLzwOk, "A"},  // the first code is a literal whatever its ninth bit
        {"a b 259 .", kLzwOk, "abab"},
        {"a 259 .", kLzwOk, "aaa"},  // a code equal to the next code
        {"a b # 259 .", kLzwOk, "abbb"},
        {"a b # c 259 .", kLzwOk, "abcbc"},  // the reset keeps the previous string: 'c' learns "bc"
        // After the reset 259 is learned from "ba" (old 260); 260 relearned must not change it.
        {"a b 259 260 # z q 259 .", kLzwOk, "ababbazqbaz"},
        {"a b c # d 261 .", kLzwCorrupt, ""},
        {"a + b 259 .", kLzwOk, "abab"},  // the 257 is read at 9 bits, the codes after it at 10
        {"a +2 b # c .", kLzwOk, "abc"},
        {"a b 261 .", kLzwCorrupt, ""},  // a code above the next code
        {"a +23 b 259 .", kLzwOk, "abab"},  // 32-bit codes
        {"a +23 2147483907 .", kLzwCorrupt, ""},
        {"a +24 b .", kLzwCorrupt, ""},
        {"a b c", kLzwCorrupt, ""},  // no end code
        {"", kLzwNoFirstCode, ""},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(stream(c.script));
        EXPECT_EQ(decoded.status, c.status) << c.script;
        EXPECT_EQ(std::string(decoded.bytes.begin(), decoded.bytes.end()), c.output) << c.script;
        EXPECT_FALSE(decoded.bufferFailed) << c.script;
    }
    Bytes trailing = stream("a .");
    trailing.insert(trailing.end(), 4, 0xFF);
    EXPECT_EQ(decode(trailing).bytes, Bytes{'a'});
    LzwOutput output;
    EXPECT_EQ(lzwDecode(nullptr, 0, output), kLzwNoFirstCode);
}

// Every cut of a stream before its last byte loses (part of) the end code.
TEST(LzwDecode, TruncatedStreamsFail)
{
    const Bytes handPacked = stream("a b 259 + 261 # c .");
    for (std::size_t size = 0; size < handPacked.size(); ++size)
        EXPECT_EQ(decode(prefix(handPacked, size)).status, size < 2 ? kLzwNoFirstCode : kLzwCorrupt) << size;
}

// A script of `count` literals from 'a' on, resetting every `resetEvery` codes (0: never).
std::string literals(std::size_t count, char literal = 0, std::size_t resetEvery = 3000)
{
    std::string script = "a";
    for (std::size_t i = 1; i < count; ++i)
        script += std::string(resetEvery && i % resetEvery == 0 ? " # " : " ") + (literal ? literal : char('b' + i % 20));
    return script;
}

// 4096 codes and 120000 output bytes (an exact block: AddressSanitizer flags a write past it).
TEST(LzwDecode, DictionaryAndOutputBounds)
{
    constexpr std::size_t kLearnable = kLzwDictionarySize - kLzwFirstLearnedCode;
    // 119998 'a's, then two codes equal to the next code: "aa" fills the output exactly, "aaa" crosses it.
    const std::string fullThenAaa = literals(kLzwMaxOutput - 2, 'a') + " # 259 260";
    const struct {
        Bytes input;
        std::size_t size;  // of the output; 0: the stream fails as corrupt
    } cases[] = {
        {stream(literals(kLearnable + 1, 0, 0) + " ."), kLearnable + 1},  // filling the last code
        {stream(literals(kLearnable + 2, 0, 0) + " ."), 0},
        {stream(literals(kLearnable + 1, 0, 0) + " # z 260 ."), kLearnable + 4},
        {stream(literals(kLzwMaxOutput) + " ."), kLzwMaxOutput},
        {stream(literals(kLzwMaxOutput + 1) + " ."), 0},
        {stream(fullThenAaa + " ."), 0},
        // Strings grow by one byte a code: a few hundred stream bytes reach the bound.
        {encode(Bytes(kLzwMaxOutput + 1, 'a')), 0},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(c.input);
        EXPECT_EQ(decoded.status, c.size ? kLzwOk : kLzwCorrupt) << &c - cases;
        EXPECT_EQ(decoded.bytes.size(), c.size) << &c - cases;
    }
}

// Only a failed output buffer is reported as such, and a later call is unaffected.
TEST(LzwDecode, OutOfMemory)
{
    const Bytes input = stream("a .");
    LzwOutput output;
    {
        LargeAllocationFailureScope failure(kLzwMaxOutput);
        EXPECT_EQ(lzwDecode(input.data(), input.size(), output), kLzwOutOfMemory);
        EXPECT_TRUE(LargeAllocationFailureScope::failed() && output.outputBufferFailed);
    }
    {
        NothrowFailureScope failure(0, 1);
        EXPECT_EQ(lzwDecode(input.data(), input.size(), output), kLzwOutOfMemory);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
        EXPECT_TRUE(!output.outputBufferFailed && output.bytes.empty());
    }
    EXPECT_EQ(lzwDecode(input.data(), input.size(), output), kLzwOk);
    EXPECT_EQ(output.bytes, Bytes{'a'});
}

// What an encoded stream holds, read back at the widths the decoder follows.
struct StreamShape {
    std::vector<int> codesBetweenResets;  // data codes before each 258
    int needlessWidens = 0;               // 257s not followed by a code that needs the new width
    int resetsThen259 = 0;                // 258s followed by the code being learned
};

StreamShape shapeOf(const Bytes& stream)
{
    StreamShape shape;
    std::size_t bit = 0;
    const auto read = [&](int width, std::uint64_t& code) {
        if (bit + width > stream.size() * 8) return false;
        for (code = 0; width > 0; --width, ++bit) code = code << 1 | ((stream[bit / 8] >> (7 - bit % 8)) & 1u);
        return true;
    };
    int width = kLzwStartWidth, dataCodes = 1;  // the first code
    std::uint64_t code = 0, before = 0;
    read(width, code);
    for (; width <= kLzwMaxWidth && read(width, code); before = code) {
        if (before == kLzwWidenCode && code != kLzwWidenCode && code >> (width - 1) == 0) ++shape.needlessWidens;
        if (before == kLzwResetCode && code == kLzwFirstLearnedCode) ++shape.resetsThen259;
        if (code == kLzwEndCode) break;
        if (code == kLzwResetCode) {
            shape.codesBetweenResets.push_back(dataCodes);
            dataCodes = 0;
            width = kLzwStartWidth;
        } else if (code == kLzwWidenCode) {
            ++width;
        } else {
            ++dataCodes;
        }
    }
    return shape;
}

// Resets exactly when code 4095 is taken: 3837 data codes before the first 258, 3836 between later ones.
TEST(LzwEncode, RoundTripsThroughSeveralResets)
{
    const struct {
        const char* name;
        Bytes data;
        std::size_t minimumResets;
    } cases[] = {
        {"OneByte", {'Q'}, 0},
        {"Random120000", randomBytes(kLzwMaxOutput, 1), 28},
        {"FourLetters120000", randomBytes(kLzwMaxOutput, 3, 4), 5},
        {"Zeros120000", Bytes(kLzwMaxOutput, 0), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes encoded = encode(c.data);
        const Decoded decoded = decode(encoded);
        EXPECT_EQ(decoded.status, kLzwOk);
        EXPECT_TRUE(decoded.bytes == c.data);
        EXPECT_EQ(encoded[0], c.data[0] >> 1) << "the first code is the first byte at 9 bits";
        const StreamShape shape = shapeOf(encoded);
        EXPECT_EQ(shape.needlessWidens, 0);
        EXPECT_GE(shape.codesBetweenResets.size(), c.minimumResets);
        for (std::size_t i = 0; i < shape.codesBetweenResets.size(); ++i)
            EXPECT_EQ(shape.codesBetweenResets[i], i == 0 ? 3837 : 3836) << "reset " << i;
    }
    EXPECT_TRUE(lzwEncode(nullptr, 0).empty());
    // 'Q' (0x51) and 256 in 9 bits each, then 6 zero bits.
    EXPECT_EQ(encode({'Q'}), (Bytes{0x28, 0xC0, 0x00}));
}

// Three equal bytes slid across where the dictionary fills, until a 258 is followed by the new 259.
TEST(LzwEncode, RoundTripsAroundAReset)
{
    const Bytes random = randomBytes(6000, 14);
    int resetsThen259 = 0;
    for (std::size_t split = 3900; split < 4000; ++split) {
        Bytes data = prefix(random, split);
        data.insert(data.end(), 3, 0xAB);
        data.insert(data.end(), random.begin() + split, random.end());
        ASSERT_TRUE(decode(encode(data)).bytes == data) << split;
        resetsThen259 += shapeOf(encode(data)).resetsThen259;
    }
    EXPECT_GT(resetsThen259, 0);
}

}  // namespace
