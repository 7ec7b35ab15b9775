// Host tests of the LZW stream decoder and of the encoder that produces the quiz resources:
// hand-packed streams for every edge of the format, round trips, and a comparison against an
// independent plain model of the decoder.
#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "failing_large_new.h"
#include "failing_new.h"
#include "lzw_encode.h"
#include "quiz_record_builder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string textOf(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Packs codes most significant bit first, any width up to 64 bits, zero-padded at the end.
class BitPacker {
public:
    void put(std::uint64_t code, int width)
    {
        for (int bit = width - 1; bit >= 0; --bit) {
            if (bitCount_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if ((code >> bit) & 1u) {
                bytes_.back() = static_cast<unsigned char>(bytes_.back() | (0x80u >> (bitCount_ % 8)));
            }
            ++bitCount_;
        }
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    std::size_t bitCount_ = 0;
};

// Builds a stream code by code, keeping the width the decoder will read at. Nothing is checked:
// malformed streams are made the same way.
class StreamBuilder {
public:
    StreamBuilder& code(std::uint64_t value)
    {
        packer_.put(value, width_);
        return *this;
    }
    StreamBuilder& text(const std::string& literals)
    {
        for (char byte : literals) {
            code(static_cast<unsigned char>(byte));
        }
        return *this;
    }
    StreamBuilder& widen(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            code(kLzwWidenCode);
            ++width_;
        }
        return *this;
    }
    StreamBuilder& reset()
    {
        code(kLzwResetCode);
        width_ = kLzwStartWidth;
        return *this;
    }
    StreamBuilder& end() { return code(kLzwEndCode); }
    StreamBuilder& raw(std::uint64_t value, int width)
    {
        packer_.put(value, width);
        return *this;
    }
    int width() const { return width_; }
    const Bytes& bytes() const { return packer_.bytes(); }

private:
    BitPacker packer_;
    int width_ = kLzwStartWidth;
};

// Reads a stream bit by bit, most significant first.
class BitUnpacker {
public:
    explicit BitUnpacker(const Bytes& bytes) : bytes_(bytes) {}
    bool read(int width, std::uint64_t& code)
    {
        if (bytes_.size() * 8 - position_ < static_cast<std::size_t>(width)) {
            return false;
        }
        code = 0;
        for (int i = 0; i < width; ++i, ++position_) {
            code = (code << 1) | ((bytes_[position_ / 8] >> (7 - position_ % 8)) & 1u);
        }
        return true;
    }
    std::size_t bitsLeft() const { return bytes_.size() * 8 - position_; }
    // True when every bit not yet read is zero.
    bool restIsZero() const
    {
        for (std::size_t bit = position_; bit < bytes_.size() * 8; ++bit) {
            if ((bytes_[bit / 8] >> (7 - bit % 8)) & 1u) {
                return false;
            }
        }
        return true;
    }

private:
    const Bytes& bytes_;
    std::size_t position_ = 0;
};

// The codes of a stream as the decoder reads them (widths followed), up to the end code.
struct CodeListing {
    std::vector<std::uint64_t> codes;  // the first code, then every code read, the end code included
    bool ended = false;                // an end code was read
    int widest = kLzwStartWidth;       // largest width any code was read at
    bool paddingIsZero = false;        // after the end code: fewer than 8 bits, all zero
    int count(std::uint64_t code) const
    {
        int n = 0;
        for (std::uint64_t c : codes) {
            n += c == code ? 1 : 0;
        }
        return n;
    }
};

CodeListing listCodes(const Bytes& stream)
{
    CodeListing listing;
    BitUnpacker reader(stream);
    int width = kLzwStartWidth;
    std::uint64_t code = 0;
    if (!reader.read(width, code)) {
        return listing;
    }
    listing.codes.push_back(code);
    while (width <= kLzwMaxWidth && reader.read(width, code)) {
        listing.codes.push_back(code);
        listing.widest = std::max(listing.widest, width);
        if (code == kLzwEndCode) {
            listing.ended = true;
            listing.paddingIsZero = reader.bitsLeft() < 8 && reader.restIsZero();
            break;
        }
        if (code == kLzwResetCode) {
            width = kLzwStartWidth;
        } else if (code == kLzwWidenCode) {
            ++width;
        }
    }
    return listing;
}

// An independent plain model of the decoder: whole strings in the dictionary, the stream read
// bit by bit, every rule written out as stated for the format, including the bounds (output of
// 120000 bytes, 4096 codes, strings of 4096 bytes) beyond which a stream fails as corrupt.
struct ModelResult {
    int status;
    std::string output;
};

ModelResult modelDecode(const Bytes& stream)
{
    BitUnpacker reader(stream);
    std::vector<std::string> dictionary(kLzwDictionarySize);
    for (std::size_t byte = 0; byte < 256; ++byte) {
        dictionary[byte] = std::string(1, static_cast<char>(byte));
    }
    std::uint64_t nextCode = kLzwFirstLearnedCode;
    int width = kLzwStartWidth;
    std::string output;
    std::uint64_t code = 0;
    if (!reader.read(width, code)) {
        return {kLzwNoFirstCode, ""};
    }
    std::string previous(1, static_cast<char>(code & 0xFF));
    for (;;) {
        if (width > kLzwMaxWidth || !reader.read(width, code)) {
            return {kLzwCorrupt, ""};
        }
        if (code == kLzwEndCode) {
            output += previous;
            return output.size() > kLzwMaxOutput ? ModelResult{kLzwCorrupt, ""} : ModelResult{kLzwOk, output};
        }
        if (code == kLzwResetCode) {
            nextCode = kLzwFirstLearnedCode;
            width = kLzwStartWidth;
            continue;
        }
        if (code == kLzwWidenCode) {
            ++width;
            continue;
        }
        if (code > nextCode || nextCode >= static_cast<std::uint64_t>(kLzwDictionarySize)) {
            return {kLzwCorrupt, ""};
        }
        // The textbook case of a code not yet in the dictionary: previous + its first byte.
        std::string current = code == nextCode ? previous + previous[0] : dictionary[code];
        std::string learned = previous + current[0];
        if (learned.size() > 4096) {
            return {kLzwCorrupt, ""};
        }
        dictionary[nextCode++] = learned;
        output += previous;
        if (output.size() > kLzwMaxOutput) {
            return {kLzwCorrupt, ""};
        }
        previous = current;
    }
}

// The codes of the textbook LZW encoder (string-keyed dictionary, no control codes), for data
// that does not fill the dictionary.
std::vector<std::uint64_t> textbookCodes(const Bytes& data)
{
    std::map<std::string, std::uint64_t> dictionary;
    for (std::uint64_t byte = 0; byte < 256; ++byte) {
        dictionary[std::string(1, static_cast<char>(byte))] = byte;
    }
    std::uint64_t nextCode = kLzwFirstLearnedCode;
    std::vector<std::uint64_t> codes;
    std::string current;
    for (unsigned char byte : data) {
        std::string longer = current + static_cast<char>(byte);
        if (dictionary.count(longer) != 0) {
            current = longer;
            continue;
        }
        codes.push_back(dictionary[current]);
        dictionary[longer] = nextCode++;
        current = std::string(1, static_cast<char>(byte));
    }
    codes.push_back(dictionary[current]);
    return codes;
}

struct Decoded {
    int status;
    LzwOutput output;
};

// Decodes from a heap block of exactly the stream's bytes, so AddressSanitizer sees any read past it.
Decoded decode(const Bytes& stream)
{
    ExactBuffer input(stream);
    Decoded decoded;
    decoded.status = lzwDecode(input.data(), input.size(), decoded.output);
    return decoded;
}

Bytes encode(const Bytes& data)
{
    return lzwEncode(data.data(), data.size());
}

// Data generators for round trips, deterministic per seed.
Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>(random());
    }
    return data;
}

// Bytes from a small alphabet: low entropy, long dictionary strings.
Bytes alphabetBytes(std::size_t size, unsigned alphabet, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>('a' + random() % alphabet);
    }
    return data;
}

// Words of a small vocabulary separated by spaces, like the quiz texts.
Bytes wordBytes(std::size_t size, unsigned seed)
{
    static const char* const kWords[] = {"Quel ", "est ", "le ", "nom ", "de ", "cette ", "ville ", "|",
                                         "Paris ", "Lyon ", "r\xE9ponse ", "BRAVO ", "\r\n", "Enigo "};
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        std::string word = kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
        data.insert(data.end(), word.begin(), word.end());
    }
    data.resize(size);
    return data;
}

// Runs of one to four equal bytes out of 64: many short repeats.
Bytes runBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        std::size_t length = 1 + random() % 4;
        unsigned char byte = static_cast<unsigned char>(random() % 64);
        data.insert(data.end(), length, byte);
    }
    data.resize(size);
    return data;
}

// ---------------------------------------------------------------------------------------------
// Hand-packed streams.

struct StreamCase {
    const char* name;
    Bytes stream;
    int status;
    std::string output;  // expected bytes when status is kLzwOk
};

std::ostream& operator<<(std::ostream& out, const StreamCase& c)
{
    return out << c.name;
}

StreamBuilder start(unsigned char first)
{
    StreamBuilder builder;
    builder.code(first);
    return builder;
}

std::vector<StreamCase> handPackedCases()
{
    std::vector<StreamCase> cases;
    auto add = [&](const char* name, const StreamBuilder& builder, int status, std::string output = "") {
        cases.push_back({name, builder.bytes(), status, std::move(output)});
    };

    add("OneByte", start('A').end(), kLzwOk, "A");
    // The first code is a literal whatever its ninth bit: 0x141 is 'A', 0x100 is byte 0.
    add("FirstCodeNinthBitIgnored", StreamBuilder().code(0x141).end(), kLzwOk, "A");
    add("FirstCodeWithEndCodeValueIsByteZero", StreamBuilder().code(kLzwEndCode).end(), kLzwOk,
        std::string(1, '\0'));
    add("Literals", start('a').text("bc").end(), kLzwOk, "abc");
    add("LearnedCode", start('a').text("b").code(259).end(), kLzwOk, "abab");
    // A code equal to the next code: the previous string followed by its own first byte.
    add("CodeEqualToNextCode", start('a').code(259).end(), kLzwOk, "aaa");
    add("CodeEqualToNextCodeLater", start('a').text("b").code(260).code(261).end(), kLzwOk, "abbbbbb");
    add("CodeEqualToNextCodeRightAfterReset", start('a').text("b").reset().code(259).end(), kLzwOk, "abbb");
    // The reset keeps the previous string: 'c' learns "bc" as 259.
    add("ResetKeepsPreviousString", start('a').text("b").reset().text("c").code(259).end(), kLzwOk, "abcbc");
    // 259 was "ab" before the reset and is "abx" after it.
    add("RelearnedCodeReplacesOldString",
        start('a').text("b").code(259).reset().text("x").code(259).end(), kLzwOk, "ababxabx");
    // After the reset 259 is learned from the previous string "ba" (pre-reset code 260); then 260
    // is learned again as "zq". 259 must still read "baz", not be rebuilt from the new 260.
    add("StringFromPreResetCodeSurvivesRelearning",
        start('a').text("b").code(259).code(260).reset().text("zq").code(259).end(), kLzwOk, "ababbazqbaz");
    add("StaleCodeAfterResetIsBeyondDictionary",
        start('a').text("bc").reset().text("d").code(261).end(), kLzwCorrupt);
    // The 257 is read at 9 bits, the codes after it at 10.
    add("WidenCodeReadAtOldWidth", start('a').widen().text("b").code(259).end(), kLzwOk, "abab");
    add("WidenTwiceThenReset", start('a').widen(2).text("b").reset().text("c").end(), kLzwOk, "abc");
    add("CodeAboveNextCode", start('a').code(260).end(), kLzwCorrupt);
    add("CodeAboveNextCodeAfterLearning", start('a').text("b").code(261).end(), kLzwCorrupt);
    // 32-bit codes: 23 widenings from 9 bits.
    add("Width32Codes", start('a').widen(23).text("b").code(259).end(), kLzwOk, "abab");
    add("Width32CodeWithTopBitSet", start('a').widen(23).code(0x80000103u).end(), kLzwCorrupt);
    add("Width32CodeAllOnes", start('a').widen(23).code(0xFFFFFFFFu).end(), kLzwCorrupt);
    // The 24th widening makes the width 33: corrupt before anything further is read.
    add("WidthAbove32", start('a').widen(24).text("b").end(), kLzwCorrupt);
    add("WidthAbove32WithNothingAfter", start('a').widen(24), kLzwCorrupt);
    add("NoEndCode", start('a').text("bc"), kLzwCorrupt);
    add("OnlyFirstCode", start('a'), kLzwCorrupt);
    add("BytesAfterEndCodeIgnored", start('a').end().raw(0xFFFFFFFFu, 32), kLzwOk, "a");
    add("ControlCodesOnlyThenEnd", start('a').widen().reset().widen(3).reset().end(), kLzwOk, "a");
    cases.push_back({"EmptyInput", Bytes(), kLzwNoFirstCode, ""});
    cases.push_back({"PartialFirstCode", Bytes{0x41}, kLzwNoFirstCode, ""});
    return cases;
}

class HandPackedStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(HandPackedStream, DecodesAsExpected)
{
    const StreamCase& c = GetParam();
    Decoded decoded = decode(c.stream);
    EXPECT_EQ(decoded.status, c.status);
    EXPECT_FALSE(decoded.output.outputBufferFailed);
    if (c.status == kLzwOk) {
        EXPECT_EQ(textOf(decoded.output.bytes), c.output);
    }
    ModelResult model = modelDecode(c.stream);
    EXPECT_EQ(model.status, c.status) << "the model disagrees with the expectation";
    if (c.status == kLzwOk) {
        EXPECT_EQ(model.output, c.output);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HandPackedStream, ::testing::ValuesIn(handPackedCases()),
                         [](const ::testing::TestParamInfo<StreamCase>& param) { return param.param.name; });

TEST(LzwDecode, NullInputWithZeroSizeHasNoFirstCode)
{
    LzwOutput output;
    EXPECT_EQ(lzwDecode(nullptr, 0, output), kLzwNoFirstCode);
}

TEST(LzwDecode, ReplacesWhateverTheOutputHeld)
{
    LzwOutput output;
    output.bytes = bytesOf("old contents");
    output.outputBufferFailed = true;
    Bytes stream = start('x').end().bytes();
    ASSERT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOk);
    EXPECT_EQ(textOf(output.bytes), "x");
    EXPECT_FALSE(output.outputBufferFailed);
}

// Every cut of a stream before its last byte loses (part of) the end code.
TEST(LzwDecode, EveryTruncationOfAHandPackedStreamFails)
{
    Bytes stream = start('a').text("b").code(259).widen().code(261).reset().text("c").code(259).end().bytes();
    ASSERT_EQ(decode(stream).status, kLzwOk);
    for (std::size_t size = 0; size < stream.size(); ++size) {
        Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(decode(cut).status, size < 2 ? kLzwNoFirstCode : kLzwCorrupt) << "cut at " << size;
    }
}

TEST(LzwDecode, TruncationsOfALongStreamFail)
{
    Bytes stream = encode(wordBytes(100000, 7));
    ASSERT_EQ(decode(stream).status, kLzwOk);
    for (std::size_t size : {std::size_t{2}, std::size_t{3}, std::size_t{100}, stream.size() / 3,
                             stream.size() / 2, stream.size() - 2, stream.size() - 1}) {
        Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(decode(cut).status, kLzwCorrupt) << "cut at " << size;
    }
}

// ---------------------------------------------------------------------------------------------
// Bounds: 4096 dictionary codes, 120000 output bytes, inputs beyond 65535 bytes.

// A first literal and `dataCodes` literal codes, never resetting: each data code learns one entry.
StreamBuilder literalsWithoutReset(int dataCodes)
{
    StreamBuilder builder = start('a');
    for (int i = 0; i < dataCodes; ++i) {
        builder.code(static_cast<unsigned char>('b' + i % 20));
    }
    return builder;
}

constexpr int kLearnableCodes = kLzwDictionarySize - kLzwFirstLearnedCode;  // 3837

TEST(LzwDictionaryBound, FillingTheLastCodeSucceeds)
{
    Decoded decoded = decode(literalsWithoutReset(kLearnableCodes).end().bytes());
    EXPECT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes.size(), static_cast<std::size_t>(kLearnableCodes + 1));
}

TEST(LzwDictionaryBound, LearningBeyondTheLastCodeFails)
{
    Bytes stream = literalsWithoutReset(kLearnableCodes + 1).end().bytes();
    EXPECT_EQ(decode(stream).status, kLzwCorrupt);
    EXPECT_EQ(modelDecode(stream).status, kLzwCorrupt);
}

TEST(LzwDictionaryBound, CodeEqualToAFullNextCodeFails)
{
    // 4096 needs 13 bits.
    Bytes stream = literalsWithoutReset(kLearnableCodes).widen(4).code(kLzwDictionarySize).end().bytes();
    EXPECT_EQ(decode(stream).status, kLzwCorrupt);
}

TEST(LzwDictionaryBound, KnownCodeOfAFullDictionaryFails)
{
    Bytes stream = literalsWithoutReset(kLearnableCodes).widen(3).code(4095).end().bytes();
    EXPECT_EQ(decode(stream).status, kLzwCorrupt);
}

TEST(LzwDictionaryBound, ResetAfterAFullDictionaryGoesOn)
{
    Decoded decoded = decode(literalsWithoutReset(kLearnableCodes).reset().text("z").code(260).end().bytes());
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(textOf(decoded.output.bytes).substr(kLearnableCodes), std::string(1, static_cast<char>('b' + (kLearnableCodes - 1) % 20)) + "zzz");
}

// `count` literal codes (a resetting pattern so the dictionary never fills), then the end code.
Bytes literalStream(std::size_t count)
{
    StreamBuilder builder = start('a');
    for (std::size_t i = 1; i < count; ++i) {
        if (i % 3000 == 0) {
            builder.reset();
        }
        builder.code(static_cast<unsigned char>(i % 251));
    }
    return builder.end().bytes();
}

TEST(LzwOutputBound, ExactlyTheBoundSucceeds)
{
    Decoded decoded = decode(literalStream(kLzwMaxOutput));
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes.size(), kLzwMaxOutput);
}

TEST(LzwOutputBound, OneByteMoreFailsAtTheEndCode)
{
    EXPECT_EQ(decode(literalStream(kLzwMaxOutput + 1)).status, kLzwCorrupt);
}

// 119998 literal 'a's, then two codes equal to the next code teaching "aa" and "aaa": the output
// reaches 120000 bytes exactly, and "aaa" crosses the bound when the next code writes it, be it
// the end code or a data code.
StreamBuilder exactlyFullOutputThenAaa()
{
    StreamBuilder builder = start('a');
    for (std::size_t i = 1; i < kLzwMaxOutput - 2; ++i) {
        if (i % 3000 == 0) {
            builder.reset();
        }
        builder.code('a');
    }
    return builder.reset().code(kLzwFirstLearnedCode).code(kLzwFirstLearnedCode + 1);
}

TEST(LzwOutputBound, StringCrossingTheBoundAtTheEndCodeFails)
{
    Bytes stream = exactlyFullOutputThenAaa().end().bytes();
    EXPECT_EQ(decode(stream).status, kLzwCorrupt);
    EXPECT_EQ(modelDecode(stream).status, kLzwCorrupt);
}

TEST(LzwOutputBound, StringCrossingTheBoundAtADataCodeFails)
{
    Bytes stream = exactlyFullOutputThenAaa().code('b').end().bytes();
    EXPECT_EQ(decode(stream).status, kLzwCorrupt);
    EXPECT_EQ(modelDecode(stream).status, kLzwCorrupt);
}

// One byte repeated: every code is the next code, strings grow by one byte each, and 490 codes
// of a few hundred bytes of stream decode to 120000 bytes.
TEST(LzwOutputBound, ShortStreamOfLongStringsStopsAtTheBound)
{
    Bytes atBound = encode(Bytes(kLzwMaxOutput, 'a'));
    Bytes beyond = encode(Bytes(kLzwMaxOutput + 1, 'a'));
    ASSERT_LT(beyond.size(), 1000u);
    Decoded decoded = decode(atBound);
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes, Bytes(kLzwMaxOutput, 'a'));
    EXPECT_EQ(decode(beyond).status, kLzwCorrupt);
}

TEST(LzwOutputBound, EncodedDataOfTheBoundRoundTripsAndOneMoreByteFails)
{
    Bytes data = randomBytes(kLzwMaxOutput + 1, 11);
    Bytes longer = encode(data);
    data.pop_back();
    Decoded decoded = decode(encode(data));
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes, data);
    EXPECT_EQ(decode(longer).status, kLzwCorrupt);
}

TEST(LzwLongInput, StreamsBeyond65535BytesDecode)
{
    Bytes data = randomBytes(70000, 3);
    Bytes stream = encode(data);
    ASSERT_GT(stream.size(), 65535u);
    Decoded decoded = decode(stream);
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes, data);
}

TEST(LzwLongInput, HandPackedStreamBeyond65535BytesDecodes)
{
    Bytes stream = literalStream(70000);
    ASSERT_GT(stream.size(), 65535u);
    Decoded decoded = decode(stream);
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes.size(), 70000u);
    EXPECT_EQ(decoded.output.bytes[65537], 65537 % 251);
}

// ---------------------------------------------------------------------------------------------
// Out of memory.

TEST(LzwMemory, OutputBufferFailureIsReportedAsSuch)
{
    Bytes stream = start('a').end().bytes();
    LzwOutput output;
    int status;
    {
        LargeAllocationFailureScope failure(kLzwMaxOutput);
        status = lzwDecode(stream.data(), stream.size(), output);
        EXPECT_TRUE(largeAllocationFailed());
    }
    EXPECT_EQ(status, kLzwOutOfMemory);
    EXPECT_TRUE(output.outputBufferFailed);
}

TEST(LzwMemory, WorkMemoryFailureIsNotAnOutputBufferFailure)
{
    Bytes stream = start('a').end().bytes();
    LzwOutput output;
    int status;
    {
        NothrowFailureScope failure(0, 1);
        status = lzwDecode(stream.data(), stream.size(), output);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(status, kLzwOutOfMemory);
    EXPECT_FALSE(output.outputBufferFailed);
    EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOk) << "a later call is unaffected";
    EXPECT_EQ(textOf(output.bytes), "a");
}

// ---------------------------------------------------------------------------------------------
// Encoder and round trips.

struct RoundTripCase {
    const char* name;
    Bytes data;
    int minimumResets;  // 258 codes the stream must hold
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c)
{
    return out << c.name;
}

std::vector<RoundTripCase> roundTripCases()
{
    Bytes everyByte;
    for (int i = 0; i < 256 * 3; ++i) {
        everyByte.push_back(static_cast<unsigned char>(i * 7));
    }
    return {
        {"OneByte", bytesOf("Q"), 0},
        {"TwoEqualBytes", bytesOf("zz"), 0},
        {"ByteZero", Bytes(1, 0), 0},
        {"Textbook", bytesOf("TOBEORNOTTOBEORTOBEORNOT#"), 0},
        {"RunOfOneByte", Bytes(5000, 'a'), 0},
        {"EveryByteValue", everyByte, 0},
        {"Random120000", randomBytes(kLzwMaxOutput, 1), 28},
        {"Random100000", randomBytes(100000, 2), 23},
        {"FourLetters120000", alphabetBytes(kLzwMaxOutput, 4, 3), 5},
        {"TwoLetters120000", alphabetBytes(kLzwMaxOutput, 2, 4), 3},
        {"Words120000", wordBytes(kLzwMaxOutput, 5), 4},
        {"Runs120000", runBytes(kLzwMaxOutput, 6), 11},
        {"Zeros120000", Bytes(kLzwMaxOutput, 0), 0},
    };
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DecodesToTheSameBytes)
{
    const RoundTripCase& c = GetParam();
    Bytes stream = encode(c.data);
    Decoded decoded = decode(stream);
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes, c.data);
    ModelResult model = modelDecode(stream);
    EXPECT_EQ(model.status, kLzwOk);
    EXPECT_TRUE(model.output == textOf(c.data)) << "the model decodes the encoder's stream differently";
}

TEST_P(RoundTrip, StreamHasTheProducerShape)
{
    const RoundTripCase& c = GetParam();
    CodeListing listing = listCodes(encode(c.data));
    ASSERT_FALSE(listing.codes.empty());
    EXPECT_EQ(listing.codes.front(), c.data.front()) << "first code is the first byte as a literal";
    EXPECT_TRUE(listing.ended);
    EXPECT_TRUE(listing.paddingIsZero);
    EXPECT_LE(listing.widest, 12) << "codes stay below 4096";
    EXPECT_GE(listing.count(kLzwResetCode), c.minimumResets);
    // The encoder learns one entry per data code and resets when code 4095 is taken: 3837 data
    // codes before the first 258, and 3836 between later ones (259 comes with the reset).
    int dataCodes = 0;
    int resets = 0;
    for (std::uint64_t code : listing.codes) {
        if (code == kLzwResetCode) {
            EXPECT_EQ(dataCodes, resets == 0 ? kLearnableCodes : kLearnableCodes - 1) << "reset " << resets;
            dataCodes = 0;
            ++resets;
        } else if (code != kLzwWidenCode && code != kLzwEndCode) {
            ++dataCodes;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Data, RoundTrip, ::testing::ValuesIn(roundTripCases()),
                         [](const ::testing::TestParamInfo<RoundTripCase>& param) { return param.param.name; });

TEST(LzwEncode, EmptyDataGivesEmptyStream)
{
    EXPECT_TRUE(lzwEncode(nullptr, 0).empty());
}

TEST(LzwEncode, OneByteIsTheLiteralThenTheEndCode)
{
    // 'Q' (0x51) and 256 in 9 bits each: 0 0101 0001 | 1 0000 0000, then 6 zero bits.
    EXPECT_EQ(encode(bytesOf("Q")), (Bytes{0x28, 0xC0, 0x00}));
}

TEST(LzwEncode, CodesMatchTheTextbookEncoderUntilTheFirstReset)
{
    for (const Bytes& data : {bytesOf("TOBEORNOTTOBEORTOBEORNOT"), bytesOf("abababababababab"),
                              Bytes(3000, 'x'), alphabetBytes(6000, 3, 8), randomBytes(3000, 9)}) {
        CodeListing listing = listCodes(encode(data));
        ASSERT_EQ(listing.count(kLzwResetCode), 0);
        std::vector<std::uint64_t> dataCodes;
        for (std::uint64_t code : listing.codes) {
            if (code != kLzwWidenCode && code != kLzwEndCode) {
                dataCodes.push_back(code);
            }
        }
        EXPECT_EQ(dataCodes, textbookCodes(data));
    }
}

// Each 257 comes right before the first code that needs the new width, never earlier.
TEST(LzwEncode, WidensOnlyWhenACodeNeedsIt)
{
    CodeListing listing = listCodes(encode(alphabetBytes(60000, 3, 10)));
    int width = kLzwStartWidth;
    int widenings = 0;
    for (std::size_t i = 1; i < listing.codes.size(); ++i) {
        std::uint64_t code = listing.codes[i];
        if (code == kLzwWidenCode) {
            ++width;
            ++widenings;
            std::size_t next = i + 1;
            while (listing.codes[next] == kLzwWidenCode) {
                ++next;
            }
            EXPECT_GE(listing.codes[next], std::uint64_t{1} << (width - 1)) << "needless 257 before code " << i;
        } else if (code == kLzwResetCode) {
            width = kLzwStartWidth;
        }
    }
    EXPECT_GT(widenings, 3);
}

// Prefixes of one input ending at every length around the first reset: the end may fall right
// before or after the 258, or on the code after it.
TEST(LzwEncode, RoundTripsEndingAroundAReset)
{
    for (const Bytes& whole : {randomBytes(6000, 12), runBytes(30000, 13)}) {
        std::size_t firstReset = 0;
        for (std::size_t size = 2000; size <= whole.size() && firstReset == 0; size += 100) {
            if (listCodes(lzwEncode(whole.data(), size)).count(kLzwResetCode) > 0) {
                firstReset = size;
            }
        }
        ASSERT_NE(firstReset, 0u);
        for (std::size_t size = firstReset - 110; size <= firstReset + 20; ++size) {
            Bytes data(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            Decoded decoded = decode(encode(data));
            ASSERT_EQ(decoded.status, kLzwOk) << "size " << size;
            ASSERT_EQ(decoded.output.bytes, data) << "size " << size;
        }
    }
}

// The decoder's code-equals-next-code case right after a reset, reached by real encoder output:
// when the string that fills the dictionary is a byte x followed by x, and x x x y follows, the
// encoder's first code after the 258 is the new entry 259. A run of three equal bytes is slid
// across the point where random data fills the dictionary until that happens.
TEST(LzwEncode, EmitsTheNewEntry259RightAfterAReset)
{
    Bytes random = randomBytes(6000, 14);
    int seen = 0;
    for (std::size_t split = 3900; split < 4000; ++split) {
        Bytes data(random.begin(), random.begin() + static_cast<std::ptrdiff_t>(split));
        data.insert(data.end(), 3, 0xAB);
        data.insert(data.end(), random.begin() + static_cast<std::ptrdiff_t>(split), random.end());
        Bytes stream = encode(data);
        CodeListing listing = listCodes(stream);
        bool resetThen259 = false;
        for (std::size_t i = 0; i + 1 < listing.codes.size(); ++i) {
            resetThen259 = resetThen259 || (listing.codes[i] == kLzwResetCode && listing.codes[i + 1] == kLzwFirstLearnedCode);
        }
        if (resetThen259) {
            ++seen;
            Decoded decoded = decode(stream);
            ASSERT_EQ(decoded.status, kLzwOk) << "split " << split;
            EXPECT_EQ(decoded.output.bytes, data) << "split " << split;
        }
    }
    EXPECT_GT(seen, 0);
}

// ---------------------------------------------------------------------------------------------
// Random code streams, well-formed or not, against the model.

Bytes randomCodeStream(std::mt19937& random)
{
    StreamBuilder builder;
    builder.code(random() % 512);
    std::uint64_t nextCode = kLzwFirstLearnedCode;
    int steps = static_cast<int>(random() % 4000);
    for (int step = 0; step < steps; ++step) {
        unsigned roll = static_cast<unsigned>(random() % 1000);
        std::uint64_t code;
        if (roll < 4) {
            builder.widen();
            continue;
        }
        if (roll < 8) {
            builder.reset();
            nextCode = kLzwFirstLearnedCode;
            continue;
        }
        if (roll < 9) {
            code = nextCode + 1 + random() % 3;  // beyond the dictionary
        } else if (roll < 500 || nextCode == kLzwFirstLearnedCode) {
            code = random() % 256;
        } else {
            code = kLzwFirstLearnedCode + random() % (nextCode - kLzwFirstLearnedCode + 1);
        }
        while (builder.width() <= kLzwMaxWidth && (code >> builder.width()) != 0) {
            builder.widen();
        }
        builder.code(code);
        ++nextCode;
    }
    if (random() % 10 != 0) {
        builder.end();
    }
    Bytes stream = builder.bytes();
    if (random() % 10 == 0 && !stream.empty()) {
        stream.resize(random() % stream.size());
    }
    return stream;
}

TEST(LzwDecode, AgreesWithTheModelOnRandomCodeStreams)
{
    std::mt19937 random(2024);
    std::map<int, int> statuses;
    for (int i = 0; i < 800; ++i) {
        Bytes stream = randomCodeStream(random);
        Decoded decoded = decode(stream);
        ModelResult model = modelDecode(stream);
        ASSERT_EQ(decoded.status, model.status) << "stream " << i;
        ASSERT_TRUE(textOf(decoded.output.bytes) == model.output) << "stream " << i;
        ++statuses[decoded.status];
    }
    // Both successes and failures were exercised.
    EXPECT_GT(statuses[kLzwOk], 100);
    EXPECT_GT(statuses[kLzwCorrupt], 100);
}

}  // namespace
