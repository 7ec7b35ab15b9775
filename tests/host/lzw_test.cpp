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

// Builds a stream code by code, most significant bit first, keeping the width the decoder will
// read at. Nothing is checked: malformed streams are made the same way.
class StreamBuilder {
public:
    StreamBuilder& raw(std::uint64_t code, int width)
    {
        for (int bit = width - 1; bit >= 0; --bit, ++bitCount_) {
            if (bitCount_ % 8 == 0) bytes_.push_back(0);
            if ((code >> bit) & 1u) bytes_.back() = static_cast<unsigned char>(bytes_.back() | (0x80u >> (bitCount_ % 8)));
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
    int width() const { return width_; }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    std::size_t bitCount_ = 0;
    int width_ = kLzwStartWidth;
};

// Reads a stream bit by bit, most significant first.
class BitUnpacker {
public:
    explicit BitUnpacker(const Bytes& bytes) : bytes_(bytes) {}
    bool read(int width, std::uint64_t& code)
    {
        if (bitsLeft() < static_cast<std::size_t>(width)) return false;
        code = 0;
        for (int i = 0; i < width; ++i, ++position_) code = (code << 1) | bit(position_);
        return true;
    }
    std::size_t bitsLeft() const { return bytes_.size() * 8 - position_; }
    bool restIsZero() const
    {
        for (std::size_t at = position_; at < bytes_.size() * 8; ++at) {
            if (bit(at)) return false;
        }
        return true;
    }

private:
    unsigned bit(std::size_t at) const { return (bytes_[at / 8] >> (7 - at % 8)) & 1u; }
    const Bytes& bytes_;
    std::size_t position_ = 0;
};

// The codes of a stream as the decoder reads them (widths followed), up to the end code.
struct CodeListing {
    std::vector<std::uint64_t> codes;  // the first code, then every code read, the end code included
    bool ended = false;                // an end code was read
    int widest = kLzwStartWidth;       // largest width any code was read at
    bool paddingIsZero = false;        // after the end code: fewer than 8 bits, all zero
    int count(std::uint64_t code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }
};

CodeListing listCodes(const Bytes& stream)
{
    CodeListing listing;
    BitUnpacker reader(stream);
    int width = kLzwStartWidth;
    std::uint64_t code = 0;
    if (!reader.read(width, code)) return listing;
    listing.codes.push_back(code);
    while (width <= kLzwMaxWidth && reader.read(width, code)) {
        listing.codes.push_back(code);
        listing.widest = std::max(listing.widest, width);
        if (code == kLzwEndCode) {
            listing.ended = true;
            listing.paddingIsZero = reader.bitsLeft() < 8 && reader.restIsZero();
            break;
        }
        width = code == kLzwResetCode ? kLzwStartWidth : width + (code == kLzwWidenCode ? 1 : 0);
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
    for (std::size_t byte = 0; byte < 256; ++byte) dictionary[byte] = std::string(1, static_cast<char>(byte));
    std::uint64_t nextCode = kLzwFirstLearnedCode;
    int width = kLzwStartWidth;
    std::string output;
    std::uint64_t code = 0;
    if (!reader.read(width, code)) return {kLzwNoFirstCode, ""};
    std::string previous(1, static_cast<char>(code & 0xFF));
    for (;;) {
        if (width > kLzwMaxWidth || !reader.read(width, code)) return {kLzwCorrupt, ""};
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
        if (code > nextCode || nextCode >= static_cast<std::uint64_t>(kLzwDictionarySize)) return {kLzwCorrupt, ""};
        // The textbook case of a code not yet in the dictionary: previous + its first byte.
        std::string current = code == nextCode ? previous + previous[0] : dictionary[code];
        std::string learned = previous + current[0];
        if (learned.size() > 4096) return {kLzwCorrupt, ""};
        dictionary[nextCode++] = learned;
        output += previous;
        if (output.size() > kLzwMaxOutput) return {kLzwCorrupt, ""};
        previous = current;
    }
}

// The codes of the textbook LZW encoder (string-keyed dictionary, no control codes), for data
// that does not fill the dictionary.
std::vector<std::uint64_t> textbookCodes(const Bytes& data)
{
    std::map<std::string, std::uint64_t> dictionary;
    for (std::uint64_t byte = 0; byte < 256; ++byte) dictionary[std::string(1, static_cast<char>(byte))] = byte;
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

Bytes prefix(const Bytes& bytes, std::size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

// Data for round trips, deterministic per seed: random bytes, or random letters of a small
// alphabet (low entropy, long dictionary strings).
Bytes randomBytes(std::size_t size, unsigned seed, unsigned alphabet = 0)
{
    std::mt19937 random(seed);
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>(alphabet ? 'a' + random() % alphabet : random());
    }
    return data;
}

// Words of a small vocabulary separated by spaces, like the quiz texts.
Bytes wordBytes(std::size_t size, unsigned seed)
{
    static const char* const kWords[] = {"Quel ", "est ", "le ", "nom ", "de ", "cette ", "ville ", "|",
                                         "Paris ", "Lyon ", "r\xE9ponse ", "BRAVO ", "\r\n", "Enigo "};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) text += kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
    return prefix(bytesOf(text), size);
}

// Runs of one to four equal bytes out of 64: many short repeats.
Bytes runBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        const std::size_t length = 1 + random() % 4;
        data.insert(data.end(), length, static_cast<unsigned char>(random() % 64));
    }
    return prefix(data, size);
}

// ---------------------------------------------------------------------------------------------
// Hand-packed streams.

struct StreamCase {
    const char* name;
    Bytes stream;
    int status;
    std::string output;  // expected bytes when status is kLzwOk
};

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

// Failures name the row, not its bytes.
void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }

class HandPackedStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(HandPackedStream, DecodesAsExpected)
{
    const StreamCase& c = GetParam();
    Decoded decoded = decode(c.stream);
    EXPECT_EQ(decoded.status, c.status);
    EXPECT_FALSE(decoded.output.outputBufferFailed);
    EXPECT_EQ(textOf(decoded.output.bytes), c.output);
    ModelResult model = modelDecode(c.stream);
    EXPECT_EQ(model.status, c.status) << "the model disagrees with the expectation";
    EXPECT_EQ(model.output, c.output);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandPackedStream, ::testing::ValuesIn(handPackedCases()),
                         [](const ::testing::TestParamInfo<StreamCase>& param) { return param.param.name; });

TEST(LzwDecode, ReplacesWhateverTheOutputHeldAndTakesNullInput)
{
    LzwOutput output;
    output.bytes = bytesOf("old contents");
    output.outputBufferFailed = true;
    Bytes stream = start('x').end().bytes();
    ASSERT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOk);
    EXPECT_EQ(textOf(output.bytes), "x");
    EXPECT_FALSE(output.outputBufferFailed);
    EXPECT_EQ(lzwDecode(nullptr, 0, output), kLzwNoFirstCode);
    EXPECT_TRUE(output.bytes.empty());
}

// Every cut of a stream before its last byte loses (part of) the end code.
TEST(LzwDecode, TruncatedStreamsFail)
{
    Bytes handPacked = start('a').text("b").code(259).widen().code(261).reset().text("c").code(259).end().bytes();
    ASSERT_EQ(decode(handPacked).status, kLzwOk);
    for (std::size_t size = 0; size < handPacked.size(); ++size) {
        EXPECT_EQ(decode(prefix(handPacked, size)).status, size < 2 ? kLzwNoFirstCode : kLzwCorrupt) << "cut at " << size;
    }
    Bytes encoded = encode(wordBytes(100000, 7));
    ASSERT_EQ(decode(encoded).status, kLzwOk);
    for (std::size_t size : {std::size_t{2}, std::size_t{3}, std::size_t{100}, encoded.size() / 3, encoded.size() / 2,
                             encoded.size() - 2, encoded.size() - 1}) {
        EXPECT_EQ(decode(prefix(encoded, size)).status, kLzwCorrupt) << "cut at " << size;
    }
}

// ---------------------------------------------------------------------------------------------
// Bounds: 4096 dictionary codes, 120000 output bytes, inputs beyond 65535 bytes.

constexpr int kLearnableCodes = kLzwDictionarySize - kLzwFirstLearnedCode;  // 3837

// A first literal and `dataCodes` literal codes, never resetting: each data code learns one entry.
StreamBuilder literalsWithoutReset(int dataCodes)
{
    StreamBuilder builder = start('a');
    for (int i = 0; i < dataCodes; ++i) builder.code(static_cast<unsigned char>('b' + i % 20));
    return builder;
}

// `count` codes of `literal(i)` after a first 'a', resetting every 3000 so the dictionary never fills.
template <typename Literal>
StreamBuilder resettingLiterals(std::size_t count, Literal literal)
{
    StreamBuilder builder = start('a');
    for (std::size_t i = 1; i < count; ++i) {
        if (i % 3000 == 0) builder.reset();
        builder.code(literal(i));
    }
    return builder;
}

Bytes literalStream(std::size_t count)
{
    return resettingLiterals(count, [](std::size_t i) { return static_cast<unsigned char>(i % 251); }).end().bytes();
}

// 119998 literal 'a's, then two codes equal to the next code teaching "aa" and "aaa": the output
// reaches 120000 bytes exactly, and "aaa" crosses the bound when the next code writes it, be it
// the end code or a data code.
StreamBuilder exactlyFullOutputThenAaa()
{
    return resettingLiterals(kLzwMaxOutput - 2, [](std::size_t) { return 'a'; })
        .reset().code(kLzwFirstLearnedCode).code(kLzwFirstLearnedCode + 1);
}

// Each stream decodes as the model says, to the given number of bytes or failing as corrupt.
TEST(LzwBounds, StreamsAtAndBeyondEachBound)
{
    const Bytes random = randomBytes(kLzwMaxOutput + 1, 11);
    const Bytes random70000 = randomBytes(70000, 3);
    // One byte repeated: every code is the next code and strings grow by one byte each, so a few
    // hundred bytes of stream decode to 120000 bytes.
    const Bytes repeatedAtBound = encode(Bytes(kLzwMaxOutput, 'a'));
    const Bytes repeatedBeyond = encode(Bytes(kLzwMaxOutput + 1, 'a'));
    EXPECT_LT(repeatedBeyond.size(), 1000u);
    const struct {
        const char* name;
        Bytes stream;
        std::size_t size;  // of the output; 0: the stream fails as corrupt
    } cases[] = {
        {"FillingTheLastCode", literalsWithoutReset(kLearnableCodes).end().bytes(), kLearnableCodes + 1u},
        {"LearningBeyondTheLastCode", literalsWithoutReset(kLearnableCodes + 1).end().bytes(), 0},
        // 4096 needs 13 bits.
        {"CodeEqualToAFullNextCode",
         literalsWithoutReset(kLearnableCodes).widen(4).code(kLzwDictionarySize).end().bytes(), 0},
        {"KnownCodeOfAFullDictionary", literalsWithoutReset(kLearnableCodes).widen(3).code(4095).end().bytes(), 0},
        {"ResetAfterAFullDictionary", literalsWithoutReset(kLearnableCodes).reset().text("z").code(260).end().bytes(),
         kLearnableCodes + 4u},
        {"OutputOfExactlyTheBound", literalStream(kLzwMaxOutput), kLzwMaxOutput},
        {"OneByteMoreAtTheEndCode", literalStream(kLzwMaxOutput + 1), 0},
        {"StringCrossingTheBoundAtTheEndCode", exactlyFullOutputThenAaa().end().bytes(), 0},
        {"StringCrossingTheBoundAtADataCode", exactlyFullOutputThenAaa().code('b').end().bytes(), 0},
        {"LongStringsUpToTheBound", repeatedAtBound, kLzwMaxOutput},
        {"LongStringsBeyondTheBound", repeatedBeyond, 0},
        {"EncodedDataOfTheBound", encode(prefix(random, kLzwMaxOutput)), kLzwMaxOutput},
        {"EncodedDataOneByteBeyond", encode(random), 0},
        {"EncodedStreamBeyond65535Bytes", encode(random70000), 70000},
        {"HandPackedStreamBeyond65535Bytes", literalStream(70000), 70000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = decode(c.stream);
        const ModelResult model = modelDecode(c.stream);
        EXPECT_EQ(decoded.status, c.size ? kLzwOk : kLzwCorrupt);
        EXPECT_EQ(model.status, decoded.status);
        EXPECT_EQ(decoded.output.bytes.size(), c.size);
        EXPECT_TRUE(textOf(decoded.output.bytes) == model.output) << "the model decodes the stream differently";
    }
    EXPECT_GT(literalStream(70000).size(), 65535u);
    EXPECT_GT(encode(random70000).size(), 65535u);
    EXPECT_EQ(decode(encode(random70000)).output.bytes, random70000);
}

// ---------------------------------------------------------------------------------------------
// Out of memory.

// Only a failed output buffer is reported as such; a failed work block is not, and a later
// call is unaffected by either.
TEST(LzwMemory, OutputBufferAndWorkMemoryFailures)
{
    const Bytes stream = start('a').end().bytes();
    LzwOutput output;
    {
        LargeAllocationFailureScope failure(kLzwMaxOutput);
        EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOutOfMemory);
        EXPECT_TRUE(largeAllocationFailed());
    }
    EXPECT_TRUE(output.outputBufferFailed);
    {
        NothrowFailureScope failure(0, 1);
        EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOutOfMemory);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_FALSE(output.outputBufferFailed);
    EXPECT_EQ(lzwDecode(stream.data(), stream.size(), output), kLzwOk);
    EXPECT_EQ(textOf(output.bytes), "a");
}

// ---------------------------------------------------------------------------------------------
// Encoder and round trips.

struct RoundTripCase {
    const char* name;
    Bytes data;
    int minimumResets;  // 258 codes the stream must hold
};

std::vector<RoundTripCase> roundTripCases()
{
    Bytes everyByte;
    for (int i = 0; i < 256 * 3; ++i) everyByte.push_back(static_cast<unsigned char>(i * 7));
    return {
        {"OneByte", bytesOf("Q"), 0},
        {"TwoEqualBytes", bytesOf("zz"), 0},
        {"ByteZero", Bytes(1, 0), 0},
        {"Textbook", bytesOf("TOBEORNOTTOBEORTOBEORNOT#"), 0},
        {"RunOfOneByte", Bytes(5000, 'a'), 0},
        {"EveryByteValue", everyByte, 0},
        {"Random120000", randomBytes(kLzwMaxOutput, 1), 28},
        {"Random100000", randomBytes(100000, 2), 23},
        {"FourLetters120000", randomBytes(kLzwMaxOutput, 3, 4), 5},
        {"TwoLetters120000", randomBytes(kLzwMaxOutput, 4, 2), 3},
        {"Words120000", wordBytes(kLzwMaxOutput, 5), 4},
        {"Runs120000", runBytes(kLzwMaxOutput, 6), 11},
        {"Zeros120000", Bytes(kLzwMaxOutput, 0), 0},
    };
}

void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DecodesToTheSameBytesFromAStreamOfTheProducersShape)
{
    const RoundTripCase& c = GetParam();
    const Bytes stream = encode(c.data);
    Decoded decoded = decode(stream);
    ASSERT_EQ(decoded.status, kLzwOk);
    EXPECT_EQ(decoded.output.bytes, c.data);
    ModelResult model = modelDecode(stream);
    EXPECT_EQ(model.status, kLzwOk);
    EXPECT_TRUE(model.output == textOf(c.data)) << "the model decodes the encoder's stream differently";

    CodeListing listing = listCodes(stream);
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

TEST(LzwEncode, EmptyDataGivesNoStreamAndOneByteItsLiteralThenTheEndCode)
{
    EXPECT_TRUE(lzwEncode(nullptr, 0).empty());
    // 'Q' (0x51) and 256 in 9 bits each: 0 0101 0001 | 1 0000 0000, then 6 zero bits.
    EXPECT_EQ(encode(bytesOf("Q")), (Bytes{0x28, 0xC0, 0x00}));
}

TEST(LzwEncode, CodesMatchTheTextbookEncoderUntilTheFirstReset)
{
    for (const Bytes& data : {bytesOf("TOBEORNOTTOBEORTOBEORNOT"), bytesOf("abababababababab"),
                              Bytes(3000, 'x'), randomBytes(6000, 8, 3), randomBytes(3000, 9)}) {
        CodeListing listing = listCodes(encode(data));
        ASSERT_EQ(listing.count(kLzwResetCode), 0);
        std::vector<std::uint64_t> dataCodes;
        for (std::uint64_t code : listing.codes) {
            if (code != kLzwWidenCode && code != kLzwEndCode) dataCodes.push_back(code);
        }
        EXPECT_EQ(dataCodes, textbookCodes(data));
    }
}

// Each 257 comes right before the first code that needs the new width, never earlier.
TEST(LzwEncode, WidensOnlyWhenACodeNeedsIt)
{
    CodeListing listing = listCodes(encode(randomBytes(60000, 10, 3)));
    int width = kLzwStartWidth;
    int widenings = 0;
    for (std::size_t i = 1; i < listing.codes.size(); ++i) {
        std::uint64_t code = listing.codes[i];
        if (code == kLzwWidenCode) {
            ++width;
            ++widenings;
            std::size_t next = i + 1;
            while (listing.codes[next] == kLzwWidenCode) ++next;
            EXPECT_GE(listing.codes[next], std::uint64_t{1} << (width - 1)) << "needless 257 before code " << i;
        } else if (code == kLzwResetCode) {
            width = kLzwStartWidth;
        }
    }
    EXPECT_GT(widenings, 3);
}

// Round trips where the data ends or the stream turns around the first reset: prefixes ending at
// every length near it (right before or after the 258, or on the code after it), and a run of
// three equal bytes slid across the point where random data fills the dictionary, until the
// encoder's first code after the 258 is the new entry 259 (the decoder's code-equals-next-code
// case right after a reset, reached by real encoder output).
TEST(LzwEncode, RoundTripsAroundAReset)
{
    for (const Bytes& whole : {randomBytes(6000, 12), runBytes(30000, 13)}) {
        std::size_t firstReset = 0;
        for (std::size_t size = 2000; size <= whole.size() && firstReset == 0; size += 100) {
            firstReset = listCodes(encode(prefix(whole, size))).count(kLzwResetCode) > 0 ? size : 0;
        }
        ASSERT_NE(firstReset, 0u);
        for (std::size_t size = firstReset - 110; size <= firstReset + 20; ++size) {
            ASSERT_EQ(decode(encode(prefix(whole, size))).output.bytes, prefix(whole, size)) << "size " << size;
        }
    }
    const Bytes random = randomBytes(6000, 14);
    int seen = 0;
    for (std::size_t split = 3900; split < 4000; ++split) {
        Bytes data = prefix(random, split);
        data.insert(data.end(), 3, 0xAB);
        data.insert(data.end(), random.begin() + static_cast<std::ptrdiff_t>(split), random.end());
        const Bytes stream = encode(data);
        const std::vector<std::uint64_t> codes = listCodes(stream).codes;
        const std::uint64_t resetThen259[] = {kLzwResetCode, kLzwFirstLearnedCode};
        if (std::search(codes.begin(), codes.end(), resetThen259, resetThen259 + 2) != codes.end()) {
            ++seen;
            EXPECT_EQ(decode(stream).output.bytes, data) << "split " << split;
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
        while (builder.width() <= kLzwMaxWidth && (code >> builder.width()) != 0) builder.widen();
        builder.code(code);
        ++nextCode;
    }
    if (random() % 10 != 0) builder.end();
    Bytes stream = builder.bytes();
    if (random() % 10 == 0 && !stream.empty()) stream.resize(random() % stream.size());
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
