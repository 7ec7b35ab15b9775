// Inflate of the PNG image data: zlib's streams at every level and strategy, hand-written streams
// for what zlib never writes, damaged streams with their code, and streams over many chunks.
#include <gtest/gtest.h>

#include <random>

#include "png_test_support.h"

namespace {

using namespace pngtest;
using L = DeflateWriter::Length;

// Bytes below `range`: 256 gives incompressible data, small ranges many short matches.
Bytes randomBytes(std::size_t size, unsigned range = 256)
{
    std::mt19937 random(static_cast<std::uint32_t>(size));
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>(random() % range);
    }
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
    Bytes far = randomBytes(60000);
    std::copy(far.begin(), far.begin() + 30000, far.begin() + 30000);
    const std::vector<Bytes> kinds = {randomBytes(3), randomBytes(70001), randomBytes(90000, 6), Bytes(300000, 0), far};
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
        for (int level = 0; level <= 9; ++level) {
            for (const Bytes& data : kinds) {
                const Bytes file = carrier(zlibCompress(data, level, strategy), data.size());
                EXPECT_TRUE(decode(file).data == data) << "strategy " << strategy << " level " << level << " size " << data.size();
            }
        }
    }
}

// Hand-written streams for what zlib never writes, damaged streams, and streams over many chunks,
// of which only those directly after the first carry the stream on.
TEST(Inflate, HandWrittenAndSplitStreams)
{
    const auto fixed = [] { return DeflateWriter().zlibHeader().block(true, 1); };
    const auto withHeader = [](unsigned char method, unsigned char flags) {
        return DeflateWriter().bytes({method, flags}).block(true, 1).text("z!").fixed(256).out;
    };
    const auto repeatOfLength1 = [](int distanceCount) {
        return DeflateWriter().zlibHeader().dynamicHeader(distanceCount).lengths(L::kRepeatManyZeros, 138)
            .lengths(L::kRepeatManyZeros, 117).lengths(L::kLength1).lengths(L::kRepeatPrevious, 3)
            .code(0, 1).code(0, 1).code(0, 1).code(1, 1).out;
    };
    const Bytes sample = randomBytes(150, 6);
    Bytes noTrailer = zlibCompress(sample, 6);
    noTrailer.resize(noTrailer.size() - 4);
    Bytes badTrailer = zlibCompress(sample, 6);
    badTrailer.back() ^= 0x55;
    const Bytes zlibHalf = Bytes(noTrailer.begin(), noTrailer.begin() + noTrailer.size() / 2);
    const std::string corrupt = "decode 8192";
    const Bytes data = randomBytes(5000, 6);
    const Bytes stream6 = zlibCompress(data, 6);
    const Bytes stream0 = zlibCompress(data, 0);
    const auto twoChunks = [&](const char* between, const char* second) {
        PngBuilder png;
        png.header(4999, 1, 8, kPngGrey).chunk("IDAT", Bytes(stream6.begin(), stream6.begin() + 100));
        if (*between != 0) {
            png.chunk(between, {'a', 0, 'b'});
        }
        return png.chunk(second, Bytes(stream6.begin() + 100, stream6.end())).end();
    };
    const struct {
        const char* name;
        Bytes file;
        std::string expected;
    } cases[] = {
        // Back-references shorter than their length repeat what they write.
        {"overlapDistance1", carrier(fixed().text("a").copy(10, 1).fixed(256).out, 11), std::string(11, 'a')},
        {"overlapDistance3", carrier(fixed().text("abc").copy(10, 3).fixed(256).out, 13), "abcabcabcabca"},
        {"longestCopy", carrier(fixed().text("x").copy(258, 1).fixed(256).out, 259), std::string(259, 'x')},
        {"reachesFirstByte", carrier(fixed().text("abcd").copy(3, 4).fixed(256).out, 7), "abcdabc"},
        {"notOverlapping", carrier(fixed().text("abcdef").copy(3, 6).fixed(256).out, 9), "abcdefabc"},
        {"emptyStoredBlocks",
         carrier(DeflateWriter().zlibHeader().stored(false, 0, 0xFFFF, {}).block(false, 1).text("xy").fixed(256)
             .stored(false, 0, 0xFFFF, {}).stored(true, 0, 0xFFFF, {}).out, 2), "xy"},
        // Literal 255 and the end of block get codes 0 and 1; a repeat carries length 1 on into
        // both distance codes, or with one distance code runs one past the last length.
        {"repeatCrossesIntoDistances", carrier(repeatOfLength1(2), 3), "\xFF\xFF\xFF"},
        {"repeatOnePastAllLengths", carrier(repeatOfLength1(1), 3), corrupt},
        // The header's check bits are not tested, nor is the Adler-32 trailer read.
        {"usualHeader", carrier(withHeader(0x78, 0x9C), 2), "z!"},
        {"smallestWindow", carrier(withHeader(0x08, 0x1D), 2), "z!"},
        {"wrongCheckBits", carrier(withHeader(0x78, 0x00), 2), "z!"},
        {"windowInfo8", carrier(withHeader(0x88, 0x1C), 2), corrupt},
        {"method7", carrier(withHeader(0x77, 0x01), 2), corrupt},
        {"method9", carrier(withHeader(0x79, 0x01), 2), corrupt},
        {"presetDictionary", carrier(withHeader(0x78, 0xBB), 2), corrupt},
        {"wrongTrailer", carrier(badTrailer, 150), text(sample)},
        {"noTrailer", carrier(noTrailer, 150), text(sample)},
        {"shortStreamLeavesZeros", carrier(noTrailer, 200), text(sample) + std::string(50, '\0')},
        // Faults of the compressed data.
        {"backReferenceBeforeStart", carrier(fixed().text("a").copy(3, 2).fixed(256).out, 4), corrupt},
        {"backReferenceWithNoOutput", carrier(fixed().copy(3, 1).fixed(256).out, 4), corrupt},
        {"literalsBeyondImageData", carrier(fixed().text("abc").fixed(256).out, 2), corrupt},
        {"copyBeyondImageData", carrier(fixed().text("a").copy(10, 1).fixed(256).out, 10), corrupt},
        {"storedBeyondImageData", carrier(DeflateWriter().zlibHeader().stored(true, 3, 0xFFFC, {1, 2, 3}).out, 2), corrupt},
        {"storedLengthsNotComplement", carrier(DeflateWriter().zlibHeader().stored(true, 3, 0xFFFD, {1, 2, 3}).out, 4), corrupt},
        {"lengthSymbol286", carrier(fixed().text("a").fixed(286).code(0, 5).fixed(256).out, 10), corrupt},
        {"distanceSymbol30", carrier(fixed().text("a").fixed(257).code(30, 5).fixed(256).out, 10), corrupt},
        {"blockType3", carrier(DeflateWriter().zlibHeader().block(true, 3).bits(0, 16).out, 4), corrupt},
        // HCLEN 4: only symbol 0 has a code, "0"; "1..." matches nothing.
        {"codeLengthCodeMatchesNothing", carrier(DeflateWriter().zlibHeader().block(true, 2).bits(0, 14 + 9).bits(1, 3).code(0x7F, 7).out, 4), corrupt},
        {"repeatPreviousWithNothingBefore", carrier(DeflateWriter().zlibHeader().dynamicHeader(1).lengths(L::kRepeatPrevious, 3).out, 4), corrupt},
        // Only 'a' and the end of block have codes, 00 and 01; "11" matches nothing.
        {"literalCodeMatchesNothing",
         carrier(DeflateWriter().zlibHeader().dynamicHeader(1).lengths(L::kRepeatManyZeros, 97).lengths(L::kLength2)
             .lengths(L::kRepeatManyZeros, 138).lengths(L::kRepeatManyZeros, 20).lengths(L::kLength2).lengths(L::kLength1)
             .code(3, 2).code(0, 13).out, 4), corrupt},
        {"repeatZerosFarPastAllLengths", carrier(DeflateWriter().zlibHeader().dynamicHeader(1).lengths(L::kRepeatManyZeros, 138).lengths(L::kRepeatManyZeros, 138).out, 4), corrupt},
        {"endsBeforeFinalBlock", carrier(DeflateWriter().zlibHeader().block(false, 1).text("a").fixed(256).out, 4), corrupt},
        {"endsInsideStoredBlock", carrier(DeflateWriter().zlibHeader().stored(true, 10, 0xFFF5, {1, 2, 3}).out, 20), corrupt},
        {"endsInsideBlock", carrier(zlibHalf, 150), corrupt},
        {"onlyZlibHeader", carrier({0x78, 0x9C}, 4), corrupt},
        {"emptyImageData", carrier({}, 4), corrupt},
        {"notZlib", carrier({0x1F, 0x8B, 8, 0}, 4), corrupt},
        // Streams over many chunks.
        {"headerSplit", carrier(stream6, 5000, {1, 1}), text(data)},
        {"oneByteChunks", carrier(stream6, 5000, std::vector<std::size_t>(3000, 1)), text(data)},
        {"emptyChunksBetween", carrier(stream6, 5000, {0, 5, 0, 0, 9, 0, 1, 0}), text(data)},
        {"storedHeaderSplit", carrier(stream0, 5000, {2, 1, 1, 1, 1, 4000, 1, 2, 3}), text(data)},
        {"directlyAfter", twoChunks("", "IDAT"), text(data)},
        {"firstLetterLowerCase", twoChunks("", "iDAT"), corrupt},
        {"otherChunkBetween", twoChunks("tEXt", "IDAT"), corrupt},
        {"lastLetterLowerCase", twoChunks("", "IDAt"), "attach 8193"},  // an unknown critical chunk
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(inflated(c.file) == c.expected) << c.name << ": " << inflated(c.file).substr(0, 300);
    }
}

}  // namespace
