// Inflate of the PNG image data: zlib's streams at every level and strategy, hand-written streams
// for what zlib never writes, damaged streams with their code, and streams over many chunks.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "png_test_support.h"

namespace {

using namespace pngtest;
using L = DeflateWriter::Length;

Bytes randomBytes(std::size_t size)
{
    std::mt19937 random(static_cast<std::uint32_t>(size));
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>(random());
    }
    return data;
}

Bytes textBytes(std::size_t size)
{
    static const std::string words[] = {"quiz ", "enigme ", "reponse ", "image ", "BRAVO ", "FAUX ", "presque ", "\n"};
    std::mt19937 random(3);
    Bytes data;
    while (data.size() < size) {
        const std::string& word = words[random() % 8];
        data.insert(data.end(), word.begin(), word.end());
    }
    data.resize(size);
    return data;
}

// The image data as text, or the outcome when the file does not inflate.
std::string inflated(const Bytes& file)
{
    const Decoded d = decode(file);
    return d.data.empty() ? d.outcome : std::string(d.data.begin(), d.data.end());
}

std::string text(const Bytes& data) { return std::string(data.begin(), data.end()); }

TEST(Inflate, ZlibStreamsAtEveryLevelAndStrategy)
{
    // Outgrowing one stored block and the window; a repeat 30000 bytes back reaches the farthest
    // distance codes.
    Bytes far = randomBytes(30000);
    far.insert(far.end(), far.begin(), far.begin() + 30000);
    const std::vector<Bytes> kinds = {randomBytes(3), randomBytes(70001), textBytes(90000), Bytes(300000, 0), far};
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
        for (int level = 0; level <= 9; ++level) {
            for (const Bytes& data : kinds) {
                const Bytes file = carrier(zlibCompress(data, level, strategy), data.size());
                EXPECT_TRUE(decode(file).data == data) << "strategy " << strategy << " level " << level << " size " << data.size();
            }
        }
    }
}

TEST(Inflate, HandWrittenStreams)
{
    const auto fixed = [] { return DeflateWriter().zlibHeader().block(true, 1); };
    const auto withHeader = [](unsigned char method, unsigned char flags) {
        return DeflateWriter().bytes({method, flags}).block(true, 1).text("z!").fixed(256).out;
    };
    std::string xy258;
    while (xy258.size() < 260) {
        xy258 += "xy";
    }
    const Bytes text150 = textBytes(150);
    Bytes noTrailer = zlibCompress(text150, 6);
    noTrailer.resize(noTrailer.size() - 4);
    Bytes badTrailer = zlibCompress(text150, 6);
    badTrailer.back() ^= 0x55;
    const Bytes zlibHalf = Bytes(noTrailer.begin(), noTrailer.begin() + 40);
    const std::string corrupt = "decode 8192";
    const auto repeatOfLength1 = [](int distanceCount) {
        return DeflateWriter().zlibHeader().dynamicHeader(257, distanceCount).lengths(L::kRepeatManyZeros, 138)
            .lengths(L::kRepeatManyZeros, 117).lengths(L::kLength1).lengths(L::kRepeatPrevious, 3)
            .code(0, 1).code(0, 1).code(0, 1).code(1, 1).out;
    };
    const struct {
        const char* name;
        Bytes stream;
        std::string expected;
        std::size_t size = 0;  // of the image data, when not the expected text's
    } cases[] = {
        // Back-references shorter than their length repeat what they write.
        {"overlapDistance1", fixed().text("a").copy(10, 1).fixed(256).out, std::string(11, 'a')},
        {"overlapDistance3", fixed().text("abc").copy(10, 3).fixed(256).out, "abcabcabcabca"},
        {"longestCopy", fixed().text("xy").copy(258, 2).fixed(256).out, xy258},
        {"reachesFirstByte", fixed().text("abcd").copy(3, 4).fixed(256).out, "abcdabc"},
        {"notOverlapping", fixed().text("abcdef").copy(3, 6).fixed(256).out, "abcdefabc"},
        {"emptyStoredBlocks",
         DeflateWriter().zlibHeader().stored(false, 0, 0xFFFF, {}).block(false, 1).text("xy").fixed(256)
             .stored(false, 0, 0xFFFF, {}).stored(true, 0, 0xFFFF, {}).out, "xy"},
        // Literal 255 and the end of block get codes 0 and 1; a repeat carries length 1 on into
        // both distance codes, or with one distance code runs one past the last length.
        {"repeatCrossesIntoDistances", repeatOfLength1(2), "\xFF\xFF\xFF"},
        {"repeatOnePastAllLengths", repeatOfLength1(1), corrupt, 3},
        // The header's check bits are not tested, nor is the Adler-32 trailer read.
        {"usualHeader", withHeader(0x78, 0x9C), "z!"},
        {"smallestWindow", withHeader(0x08, 0x1D), "z!"},
        {"wrongCheckBits", withHeader(0x78, 0x00), "z!"},
        {"windowInfo8", withHeader(0x88, 0x1C), corrupt, 2},
        {"method7", withHeader(0x77, 0x01), corrupt, 2},
        {"method9", withHeader(0x79, 0x01), corrupt, 2},
        {"presetDictionary", withHeader(0x78, 0xBB), corrupt, 2},
        {"wrongTrailer", badTrailer, text(text150)},
        {"noTrailer", noTrailer, text(text150)},
        {"shortStreamLeavesZeros", noTrailer, text(text150) + std::string(50, '\0'), 200},
        // Faults of the compressed data.
        {"backReferenceBeforeStart", fixed().text("a").copy(3, 2).fixed(256).out, corrupt, 4},
        {"backReferenceWithNoOutput", fixed().copy(3, 1).fixed(256).out, corrupt, 4},
        {"literalsBeyondImageData", fixed().text("abc").fixed(256).out, corrupt, 2},
        {"copyBeyondImageData", fixed().text("a").copy(10, 1).fixed(256).out, corrupt, 10},
        {"storedBeyondImageData", DeflateWriter().zlibHeader().stored(true, 3, 0xFFFC, {1, 2, 3}).out, corrupt, 2},
        {"storedLengthsNotComplement", DeflateWriter().zlibHeader().stored(true, 3, 0xFFFD, {1, 2, 3}).out, corrupt, 4},
        {"lengthSymbol286", fixed().text("a").fixed(286).code(0, 5).fixed(256).out, corrupt, 10},
        {"distanceSymbol30", fixed().text("a").fixed(257).code(30, 5).fixed(256).out, corrupt, 10},
        {"blockType3", DeflateWriter().zlibHeader().block(true, 3).bits(0, 16).out, corrupt, 4},
        // HCLEN 4: only symbol 0 has a code, "0"; "1..." matches nothing.
        {"codeLengthCodeMatchesNothing", DeflateWriter().zlibHeader().block(true, 2).bits(0, 14 + 9).bits(1, 3).code(0x7F, 7).out, corrupt, 4},
        {"repeatPreviousWithNothingBefore", DeflateWriter().zlibHeader().dynamicHeader(257, 1).lengths(L::kRepeatPrevious, 3).out, corrupt, 4},
        // Only 'a' and the end of block have codes, 00 and 01; "11" matches nothing.
        {"literalCodeMatchesNothing",
         DeflateWriter().zlibHeader().dynamicHeader(257, 1).lengths(L::kRepeatManyZeros, 97).lengths(L::kLength2)
             .lengths(L::kRepeatManyZeros, 138).lengths(L::kRepeatManyZeros, 20).lengths(L::kLength2).lengths(L::kLength1)
             .code(3, 2).code(0, 13).out, corrupt, 4},
        {"repeatZerosFarPastAllLengths", DeflateWriter().zlibHeader().dynamicHeader(257, 1).lengths(L::kRepeatManyZeros, 138).lengths(L::kRepeatManyZeros, 138).out, corrupt, 4},
        {"endsBeforeFinalBlock", DeflateWriter().zlibHeader().block(false, 1).text("a").fixed(256).out, corrupt, 4},
        {"endsInsideStoredBlock", DeflateWriter().zlibHeader().stored(true, 10, 0xFFF5, {1, 2, 3}).out, corrupt, 20},
        {"endsInsideBlock", zlibHalf, corrupt, 150},
        {"onlyZlibHeader", {0x78, 0x9C}, corrupt, 4},
        {"emptyImageData", {}, corrupt, 4},
        {"notZlib", {0x1F, 0x8B, 8, 0}, corrupt, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inflated(carrier(c.stream, c.size != 0 ? c.size : c.expected.size())), c.expected) << c.name;
    }
}

// Only image-data chunks directly after the first carry the stream on.
TEST(Inflate, StreamOverManyChunks)
{
    const Bytes data = textBytes(5000);
    const Bytes stream6 = zlibCompress(data, 6);
    const Bytes stream0 = zlibCompress(data, 0);
    const Bytes firstHalf(stream6.begin(), stream6.begin() + 100);
    const Bytes secondHalf(stream6.begin() + 100, stream6.end());
    const auto twoChunks = [&](const char* between, const char* second) {
        PngBuilder png;
        png.header(4999, 1, 8, kPngGrey).chunk("IDAT", firstHalf);
        if (*between != 0) {
            png.chunk(between, {'a', 0, 'b'});
        }
        return png.chunk(second, secondHalf).end();
    };
    const std::vector<std::size_t> oneByteChunks(3000, 1);
    const struct {
        const char* name;
        Bytes file;
        std::string expected;
    } cases[] = {
        {"headerSplit", carrier(stream6, 5000, {1, 1}), text(data)},
        {"oneByteChunks", carrier(stream6, 5000, oneByteChunks), text(data)},
        {"emptyChunksBetween", carrier(stream6, 5000, {0, 5, 0, 0, 9, 0, 1, 0}), text(data)},
        {"storedHeaderSplit", carrier(stream0, 5000, {2, 1, 1, 1, 1, 4000, 1, 2, 3}), text(data)},
        {"storedOneByteChunks", carrier(stream0, 5000, oneByteChunks), text(data)},
        {"directlyAfter", twoChunks("", "IDAT"), text(data)},
        {"firstLetterLowerCase", twoChunks("", "iDAT"), "decode 8192"},
        {"otherChunkBetween", twoChunks("tEXt", "IDAT"), "decode 8192"},
        {"lastLetterLowerCase", twoChunks("", "IDAt"), "attach 8193"},  // an unknown critical chunk
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(inflated(c.file) == c.expected) << c.name;
    }
}

}  // namespace
