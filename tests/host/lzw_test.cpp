// Host tests of the LZW stream decoder and of the encoder that produces the quiz resources:
// hand-packed streams for every edge of the format, the bounds, and round trips.
#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "failing_large_new.h"
#include "failing_new.h"
#include "lzw_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Packs codes most significant bit first at the width the decoder will read them; checks
// nothing, so malformed streams are made the same way.
class StreamBuilder {
public:
    StreamBuilder& raw(std::uint64_t code, int width)
    {
        for (int bit = width - 1; bit >= 0; --bit, ++bits_) {
            if (bits_ % 8 == 0) bytes_.push_back(0);
            if ((code >> bit) & 1u) bytes_.back() |= static_cast<unsigned char>(0x80u >> (bits_ % 8));
        }
        return *this;
    }
    StreamBuilder& code(std::uint64_t value) { return raw(value, width_); }
    StreamBuilder& text(const std::string& literals)
    {
        for (char byte : literals) code(static_cast<unsigned char>(byte));
        return *this;
    }
    StreamBuilder& widen(int times = 1)
    {
        for (int i = 0; i < times; ++i, ++width_) code(kLzwWidenCode);
        return *this;
    }
    StreamBuilder& reset()
    {
        code(kLzwResetCode);
        width_ = kLzwStartWidth;
        return *this;
    }
    StreamBuilder& end() { return code(kLzwEndCode); }
    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
    std::size_t bits_ = 0;
    int width_ = kLzwStartWidth;
};

StreamBuilder start(unsigned char first) { return StreamBuilder().code(first); }

struct Decoded {
    int status;
    Bytes bytes;
    bool bufferFailed;
};

// The stream is copied into a block of exactly its size, so AddressSanitizer sees a read past it.
Decoded decode(const Bytes& stream)
{
    const Bytes exact(stream);
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
        const char* name;
        Bytes stream;
        int status;
        std::string output;
    } cases[] = {
        {"OneByte", start('A').end().bytes(), kLzwOk, "A"},
        // The first code is a literal whatever its ninth bit.
        {"FirstCodeNinthBitSet", StreamBuilder().code(0x141).end().bytes(), kLzwOk, "A"},
        {"LearnedCode", start('a').text("b").code(259).end().bytes(), kLzwOk, "abab"},
        {"CodeEqualToNextCode", start('a').code(259).end().bytes(), kLzwOk, "aaa"},
        {"CodeEqualToNextCodeLater", start('a').text("b").code(260).code(261).end().bytes(), kLzwOk, "abbbbbb"},
        {"CodeEqualToNextCodeAfterReset", start('a').text("b").reset().code(259).end().bytes(), kLzwOk, "abbb"},
        // The reset keeps the previous string: 'c' learns "bc" as 259.
        {"ResetKeepsPreviousString", start('a').text("b").reset().text("c").code(259).end().bytes(), kLzwOk, "abcbc"},
        // After the reset 259 is learned from "ba" (old 260); 260 relearned must not change it.
        {"OldStringSurvivesRelearning", start('a').text("b").code(259).code(260).reset().text("zq").code(259).end().bytes(),
         kLzwOk, "ababbazqbaz"},
        {"StaleCodeAfterReset", start('a').text("bc").reset().text("d").code(261).end().bytes(), kLzwCorrupt, ""},
        // The 257 is read at 9 bits, the codes after it at 10.
        {"WidenReadAtOldWidth", start('a').widen().text("b").code(259).end().bytes(), kLzwOk, "abab"},
        {"WidenTwiceThenReset", start('a').widen(2).text("b").reset().text("c").end().bytes(), kLzwOk, "abc"},
        {"CodeAboveNextCode", start('a').code(260).end().bytes(), kLzwCorrupt, ""},
        {"CodeAboveNextCodeLater", start('a').text("b").code(261).end().bytes(), kLzwCorrupt, ""},
        {"Width32", start('a').widen(23).text("b").code(259).end().bytes(), kLzwOk, "abab"},
        {"Width32TopBitSet", start('a').widen(23).code(0x80000103u).end().bytes(), kLzwCorrupt, ""},
        {"WidthAbove32", start('a').widen(24).text("b").end().bytes(), kLzwCorrupt, ""},
        {"NoEndCode", start('a').text("bc").bytes(), kLzwCorrupt, ""},
        {"OnlyFirstCode", start('a').bytes(), kLzwCorrupt, ""},
        {"BytesAfterEndCodeIgnored", start('a').end().raw(0xFFFFFFFFu, 32).bytes(), kLzwOk, "a"},
        {"EmptyInput", {}, kLzwNoFirstCode, ""},
        {"PartialFirstCode", {0x41}, kLzwNoFirstCode, ""},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(c.stream);
        EXPECT_EQ(decoded.status, c.status) << c.name;
        EXPECT_EQ(std::string(decoded.bytes.begin(), decoded.bytes.end()), c.output) << c.name;
        EXPECT_FALSE(decoded.bufferFailed) << c.name;
    }
    LzwOutput output;
    EXPECT_EQ(lzwDecode(nullptr, 0, output), kLzwNoFirstCode);
}

// Every cut of a stream before its last byte loses (part of) the end code.
TEST(LzwDecode, TruncatedStreamsFail)
{
    const Bytes handPacked = start('a').text("b").code(259).widen().code(261).reset().text("c").end().bytes();
    for (std::size_t size = 0; size < handPacked.size(); ++size)
        EXPECT_EQ(decode(prefix(handPacked, size)).status, size < 2 ? kLzwNoFirstCode : kLzwCorrupt) << size;
    const Bytes encoded = encode(randomBytes(100000, 7, 5));
    for (std::size_t size : {std::size_t{100}, encoded.size() / 2, encoded.size() - 1})
        EXPECT_EQ(decode(prefix(encoded, size)).status, kLzwCorrupt) << size;
}

// Literal codes after a first 'a', resetting every 3000 codes so the dictionary never fills.
StreamBuilder literals(std::size_t count, int literal = -1, std::size_t resetEvery = 3000)
{
    StreamBuilder builder = start('a');
    for (std::size_t i = 1; i < count; ++i) {
        if (i % resetEvery == 0) builder.reset();
        builder.code(literal >= 0 ? literal : 'b' + i % 20);
    }
    return builder;
}

// 4096 codes and 120000 output bytes; the output block is exactly 120000 bytes, so AddressSanitizer
// flags any write past it.
TEST(LzwDecode, DictionaryAndOutputBounds)
{
    constexpr std::size_t kLearnable = kLzwDictionarySize - kLzwFirstLearnedCode;
    constexpr std::size_t kNever = 1000000;
    // 119998 'a's, then two codes equal to the next code: "aa" fills the output exactly, "aaa" crosses it.
    const StreamBuilder fullThenAaa = literals(kLzwMaxOutput - 2, 'a').reset().code(259).code(260);
    const struct {
        const char* name;
        Bytes stream;
        std::size_t size;  // of the output; 0: the stream fails as corrupt
    } cases[] = {
        {"FillingTheLastCode", literals(kLearnable + 1, -1, kNever).end().bytes(), kLearnable + 1},
        {"LearningBeyondTheLastCode", literals(kLearnable + 2, -1, kNever).end().bytes(), 0},
        {"ResetAfterAFullDictionary", literals(kLearnable + 1, -1, kNever).reset().text("z").code(260).end().bytes(),
         kLearnable + 4},
        {"OutputOfExactlyTheBound", literals(kLzwMaxOutput).end().bytes(), kLzwMaxOutput},
        {"OneByteMoreAtTheEndCode", literals(kLzwMaxOutput + 1).end().bytes(), 0},
        {"StringCrossingAtTheEndCode", StreamBuilder(fullThenAaa).end().bytes(), 0},
        {"StringCrossingAtADataCode", StreamBuilder(fullThenAaa).code('b').end().bytes(), 0},
        // Strings grow by one byte a code: a few hundred stream bytes reach the bound.
        {"LongStringsBeyondTheBound", encode(Bytes(kLzwMaxOutput + 1, 'a')), 0},
        {"EncodedDataOneByteBeyond", encode(randomBytes(kLzwMaxOutput + 1, 11)), 0},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(c.stream);
        EXPECT_EQ(decoded.status, c.size ? kLzwOk : kLzwCorrupt) << c.name;
        EXPECT_EQ(decoded.bytes.size(), c.size) << c.name;
    }
}

// Only a failed output buffer is reported as such, and a later call is unaffected.
TEST(LzwDecode, OutOfMemory)
{
    const Bytes stream = start('a').end().bytes();
    LzwOutput output;
    {
        LargeAllocationFailureScope failure(kLzwMaxOutput);
        EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOutOfMemory);
        EXPECT_TRUE(LargeAllocationFailureScope::failed());
        EXPECT_TRUE(output.outputBufferFailed);
    }
    {
        NothrowFailureScope failure(0, 1);
        EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOutOfMemory);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
        EXPECT_FALSE(output.outputBufferFailed);
        EXPECT_TRUE(output.bytes.empty());
    }
    EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOk);
    EXPECT_EQ(output.bytes, Bytes{'a'});
}

// What an encoded stream holds, read back at the widths the decoder follows.
struct StreamShape {
    std::vector<int> codesBetweenResets;  // data codes before each 258
    int needlessWidens = 0;               // 257s not followed by a code that needs the new width
    int resetsThen259 = 0;                // 258s followed by the code being learned
    bool endedWithZeroPadding = false;
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
        if (code == kLzwEndCode) {
            shape.endedWithZeroPadding = stream.size() * 8 - bit < 8 && (stream.back() & ((1u << (stream.size() * 8 - bit)) - 1)) == 0;
            break;
        }
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

// The encoder resets exactly when code 4095 is taken: 3837 data codes before the first 258, 3836
// between later ones (259 comes with the reset from the string that filled the dictionary).
TEST(LzwEncode, RoundTripsThroughSeveralResets)
{
    std::string words;
    static const char* const kWords[] = {"Quel ", "est ", "le ", "nom ", "|", "r\xE9ponse ", "\r\n", "BRAVO "};
    for (std::mt19937 random(5); words.size() < kLzwMaxOutput;) words += kWords[random() % 8];
    const struct {
        const char* name;
        Bytes data;
        std::size_t minimumResets;
    } cases[] = {
        {"OneByte", {'Q'}, 0},
        {"TwoEqualBytes", {'z', 'z'}, 0},
        {"Textbook", Bytes{'T', 'O', 'B', 'E', 'O', 'R', 'N', 'O', 'T', 'T', 'O', 'B', 'E', 'O', 'R', 'T', 'O', 'B'}, 0},
        {"Random120000", randomBytes(kLzwMaxOutput, 1), 28},
        {"FourLetters120000", randomBytes(kLzwMaxOutput, 3, 4), 5},
        {"Words120000", prefix(Bytes(words.begin(), words.end()), kLzwMaxOutput), 4},
        {"Zeros120000", Bytes(kLzwMaxOutput, 0), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes stream = encode(c.data);
        const Decoded decoded = decode(stream);
        EXPECT_EQ(decoded.status, kLzwOk);
        EXPECT_TRUE(decoded.bytes == c.data);
        EXPECT_EQ(stream[0], c.data[0] >> 1) << "the first code is the first byte at 9 bits";
        const StreamShape shape = shapeOf(stream);
        EXPECT_TRUE(shape.endedWithZeroPadding);
        EXPECT_EQ(shape.needlessWidens, 0);
        EXPECT_GE(shape.codesBetweenResets.size(), c.minimumResets);
        for (std::size_t i = 0; i < shape.codesBetweenResets.size(); ++i)
            EXPECT_EQ(shape.codesBetweenResets[i], i == 0 ? 3837 : 3836) << "reset " << i;
    }
    EXPECT_TRUE(lzwEncode(nullptr, 0).empty());
    // 'Q' (0x51) and 256 in 9 bits each, then 6 zero bits.
    EXPECT_EQ(encode({'Q'}), (Bytes{0x28, 0xC0, 0x00}));
}

// Data ending at every length around the first reset, and a run of three equal bytes slid across
// the point where the dictionary fills, so that the encoder's code after some 258 is the new 259.
TEST(LzwEncode, RoundTripsAroundAReset)
{
    const Bytes random = randomBytes(6000, 14);
    std::size_t firstReset = 2000;
    while (shapeOf(encode(prefix(random, firstReset))).codesBetweenResets.empty()) ++firstReset;
    for (std::size_t size = firstReset - 40; size <= firstReset + 20; ++size)
        ASSERT_TRUE(decode(encode(prefix(random, size))).bytes == prefix(random, size)) << size;
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
