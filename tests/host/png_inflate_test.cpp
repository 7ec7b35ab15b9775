// Inflate of the PNG image data against zlib as the producer: every level and strategy (stored,
// fixed and dynamic blocks), overlapping back-references, streams split over many image-data
// chunks, empty stored blocks, and the zlib header checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "png_test_support.h"

namespace {

using namespace pngtest;

// The image data `png` inflates to, with the code in `code` when asked for, else expected kPngOk.
Bytes inflated(const Bytes& png, std::uint32_t* code = nullptr)
{
    ScopedPng decoder;
    const bool ok = decoder.attach(png) && pngDecode(decoder.image);
    if (code != nullptr) {
        *code = decoder.image.errorCode;
    } else {
        EXPECT_EQ(decoder.image.errorCode, kPngOk);
    }
    return ok ? Bytes(decoder.image.imageData, decoder.image.imageData + decoder.image.imageDataSize) : Bytes{};
}

Bytes randomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes data(size);
    for (unsigned char& byte : data) {
        byte = static_cast<unsigned char>(random());
    }
    return data;
}

Bytes textBytes(std::size_t size)
{
    static const char* const words[] = {"quiz ", "enigme ", "reponse ", "image ", "BRAVO ", "FAUX ", "presque ", "\n"};
    std::mt19937 random(3);
    Bytes data;
    while (data.size() < size) {
        const char* word = words[random() % 8];
        data.insert(data.end(), word, word + std::strlen(word));
    }
    data.resize(size);
    return data;
}

// Rows of a smooth picture with a little noise, as the image data of real photographs.
Bytes pictureBytes(std::size_t size)
{
    std::mt19937 random(5);
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<unsigned char>((i % 480) / 3 + (i / 1440) + random() % 5);
    }
    return data;
}

// Over 64 KiB each, so streams outgrow one stored block and the 32 KiB window.
const std::vector<std::pair<const char*, Bytes>>& dataKinds()
{
    static const std::vector<std::pair<const char*, Bytes>> kinds = {
        {"random", randomBytes(70001, 1)}, {"text", textBytes(90000)}, {"zeros", Bytes(100000, 0)}, {"picture", pictureBytes(80000)}};
    return kinds;
}

// Block types of a zlib stream, in order, read with zlib's own inflate stopping at each block.
std::vector<int> blockTypes(const Bytes& stream)
{
    std::vector<int> types;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return types;
    }
    Bytes out(1 << 20);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    for (;;) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&z, Z_BLOCK);
        if (status == Z_STREAM_END || status < 0) {
            break;
        }
        // At a block boundary (bit 7) that is not the end of the last block (bit 6), the next
        // three bits are the next block's header.
        if ((z.data_type & 128) != 0 && (z.data_type & 64) == 0) {
            const std::size_t bit = z.total_in * 8 - static_cast<std::size_t>(z.data_type & 7);
            int type = 0;
            for (int i = 1; i <= 2; ++i) {
                const std::size_t at = bit + static_cast<std::size_t>(i);
                if (at / 8 < stream.size()) {
                    type |= ((stream[at / 8] >> (at % 8)) & 1) << (i - 1);
                }
            }
            types.push_back(type);
        }
    }
    inflateEnd(&z);
    return types;
}

// ---- zlib at every level and strategy --------------------------------------------------------

const std::pair<int, const char*> kStrategies[] = {
    {Z_DEFAULT_STRATEGY, "default"}, {Z_FILTERED, "filtered"}, {Z_HUFFMAN_ONLY, "huffmanOnly"}, {Z_RLE, "rle"}, {Z_FIXED, "fixed"}};

class ZlibStream : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(ZlibStream, InflatesToWhatWasCompressed)
{
    const auto [level, strategy] = GetParam();
    for (const auto& [name, data] : dataKinds()) {
        SCOPED_TRACE(name);
        const Bytes stream = zlibCompress(data, level, kStrategies[strategy].first);
        ASSERT_FALSE(stream.empty());
        EXPECT_EQ(inflated(carrierPng(data.size(), stream)), data);
    }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, ZlibStream, testing::Combine(testing::Range(0, 10), testing::Range(0, 5)),
                         [](const testing::TestParamInfo<std::tuple<int, int>>& row) {
                             return "level" + std::to_string(std::get<0>(row.param)) + "_" +
                                    kStrategies[std::get<1>(row.param)].second;
                         });

// The matrix above would prove little if zlib never wrote one of the block types.
TEST(ZlibStream, WritesEveryBlockType)
{
    const struct {
        const char* name;
        int level, strategy;
        std::size_t kind;  // index into dataKinds()
        int blockType;     // 0 stored, 1 fixed, 2 dynamic
    } cases[] = {
        {"stored_level0", 0, Z_DEFAULT_STRATEGY, 1, 0},  {"stored_incompressible", 9, Z_DEFAULT_STRATEGY, 0, 0},
        {"fixed_strategy", 6, Z_FIXED, 1, 1},            {"dynamic_text", 6, Z_DEFAULT_STRATEGY, 1, 2},
        {"dynamic_picture", 9, Z_FILTERED, 3, 2},
    };
    for (const auto& c : cases) {
        const std::vector<int> types = blockTypes(zlibCompress(dataKinds()[c.kind].second, c.level, c.strategy));
        EXPECT_NE(std::find(types.begin(), types.end(), c.blockType), types.end()) << c.name;
    }
}

TEST(ZlibStream, SmallestAndLargeImagesInflate)
{
    for (std::size_t size : {2, 3, 258, 65535, 65536, 300000}) {
        SCOPED_TRACE(size);
        const Bytes data = randomBytes(size, static_cast<std::uint32_t>(size));
        EXPECT_EQ(inflated(carrierPng(size, zlibCompress(data, 6))), data);
    }
}

// ---- back-references whose distance is shorter than their length -----------------------------

TEST(OverlappingCopy, RepeatsTheBytesItWrites)
{
    std::string xy130;
    while (xy130.size() < 260) {
        xy130 += "xy";
    }
    const struct {
        std::string literals;
        int length, distance;
        std::string expected;
    } cases[] = {
        {"a", 10, 1, std::string(11, 'a')},
        {"abc", 10, 3, "abcabcabcabca"},
        {"xy", 258, 2, xy130},  // the longest copy
        {"abcd", 3, 4, "abcdabc"},  // reaches back to the first byte
        {"abcdef", 3, 6, "abcdefabc"},  // not overlapping
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        DeflateWriter writer;
        writer.zlibHeader().block(true, 1);
        for (char letter : c.literals) {
            writer.fixedSymbol(static_cast<unsigned char>(letter));
        }
        writer.fixedCopy(c.length, c.distance).fixedSymbol(256);
        const Bytes expected(c.expected.begin(), c.expected.end());
        EXPECT_EQ(inflated(carrierPng(expected.size(), writer.result())), expected);
    }
}

TEST(OverlappingCopy, ZlibRunLengthStreamsUseDistanceOne)
{
    Bytes data;
    for (int run = 1; run < 600; run += 7) {
        data.insert(data.end(), static_cast<std::size_t>(run), static_cast<unsigned char>(run));
    }
    EXPECT_EQ(inflated(carrierPng(data.size(), zlibCompress(data, 9, Z_RLE))), data);
}

// ---- one stream over many image-data chunks ---------------------------------------------------

TEST(SplitStream, InflatesAcrossChunkBoundaries)
{
    const struct {
        const char* name;
        int level;
        std::vector<std::size_t> pieces;  // sizes of the leading chunks; the last chunk takes the rest
    } cases[] = {
        {"headerSplit", 6, {1, 1}},
        {"oddSizes", 6, {3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}},
        {"oneByteChunks", 6, std::vector<std::size_t>(3000, 1)},
        {"emptyChunksBetween", 6, {0, 5, 0, 0, 9, 0, 1, 0}},
        {"storedHeaderSplit", 0, {2, 1, 1, 1, 1, 4000, 1, 2, 3}},
        {"storedOneByteChunks", 0, std::vector<std::size_t>(3000, 1)},
    };
    const Bytes data = pictureBytes(5000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(inflated(carrierPng(data.size(), zlibCompress(data, c.level), c.pieces)), data);
    }
}

// Only image-data chunks directly after the first carry the stream on; a chunk that ends it early
// leaves the stream without its final block.
TEST(FollowingChunk, CarriesTheStreamOnOrEndsIt)
{
    const struct {
        const char* name;
        std::string between;     // chunk placed between the two halves, empty for none
        std::string secondName;  // name of the chunk holding the second half
        std::uint32_t code;      // kPngOk when the whole stream is inflated
    } cases[] = {
        {"directlyAfter", "", "IDAT", kPngOk},
        {"firstLetterLowerCase", "", "iDAT", kPngCorrupt},
        {"otherChunkBetween", "tEXt", "IDAT", kPngCorrupt},
        {"lastLetterLowerCase", "", "IDAt", kPngUnsupported},  // an unknown critical chunk to the container
    };
    const Bytes data = textBytes(3000);
    const Bytes stream = zlibCompress(data, 6);
    const auto half = static_cast<std::ptrdiff_t>(stream.size() / 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PngBuilder builder;
        builder.header(static_cast<std::uint32_t>(data.size() - 1), 1, 8, kPngGrey)
            .chunk("IDAT", Bytes(stream.begin(), stream.begin() + half));
        if (!c.between.empty()) {
            builder.chunk(c.between, {'a', 0, 'b'});
        }
        builder.chunk(c.secondName, Bytes(stream.begin() + half, stream.end())).end();
        std::uint32_t code = 0;
        const Bytes out = inflated(builder.bytes(), &code);
        EXPECT_EQ(code, c.code);
        if (c.code == kPngOk) {
            EXPECT_EQ(out, data);
        }
    }
}

TEST(FollowingChunk, AfterACompleteStreamIsNeverRead)
{
    const Bytes data = textBytes(500);
    const Bytes file = PngBuilder().header(static_cast<std::uint32_t>(data.size() - 1), 1, 8, kPngGrey).chunk("IDAT", zlibCompress(data, 6))
                           .chunk("tEXt", {'k', 0, 'v'}).chunk("IDAT", {0xFF, 0xFF, 0xFF}).end().bytes();
    EXPECT_EQ(inflated(file), data);
}

// ---- empty stored blocks ---------------------------------------------------------------------

TEST(EmptyStoredBlock, FromZlibFlushesIsSkipped)
{
    const Bytes data = textBytes(4000);
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 6), Z_OK);
    Bytes stream(8000);
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    // Each sync and full flush ends with an empty stored block; the first two come before any data.
    const struct {
        int flush;
        std::size_t from, to;
    } steps[] = {{Z_SYNC_FLUSH, 0, 0}, {Z_FULL_FLUSH, 0, 0}, {Z_SYNC_FLUSH, 0, 1000}, {Z_FULL_FLUSH, 1000, 2000}, {Z_FINISH, 2000, 4000}};
    for (const auto& step : steps) {
        z.next_in = const_cast<Bytef*>(data.data() + step.from);
        z.avail_in = static_cast<uInt>(step.to - step.from);
        ASSERT_GE(deflate(&z, step.flush), 0);
    }
    stream.resize(z.total_out);
    deflateEnd(&z);
    const std::vector<int> types = blockTypes(stream);
    EXPECT_GE(std::count(types.begin(), types.end(), 0), 3);
    EXPECT_EQ(inflated(carrierPng(data.size(), stream)), data);
}

TEST(EmptyStoredBlock, AsTheFinalBlockEndsTheStream)
{
    DeflateWriter writer;
    writer.zlibHeader().stored(false, {}).block(false, 1).fixedSymbol('x').fixedSymbol('y').fixedSymbol(256);
    writer.stored(false, {}).stored(true, {});
    EXPECT_EQ(inflated(carrierPng(2, writer.result())), Bytes({'x', 'y'}));
}

// ---- dynamic block headers zlib does not write -------------------------------------------------

TEST(DynamicBlock, ARepeatMayCrossFromLiteralToDistanceLengths)
{
    // Literal 255 and the end of block get the 1-bit codes 0 and 1; one repeat of the previous
    // length gives the end of block and both distance codes length 1.
    using Length = DeflateWriter::LengthCode;
    DeflateWriter writer;
    writer.zlibHeader().dynamicHeader(true, 257, 2);
    writer.lengths(Length::kRepeatManyZeros, 138).lengths(Length::kRepeatManyZeros, 117).lengths(Length::kLength1);
    writer.lengths(Length::kRepeatPrevious, 3);
    writer.code(0, 1).code(0, 1).code(0, 1).code(1, 1);
    EXPECT_EQ(inflated(carrierPng(3, writer.result())), Bytes({255, 255, 255}));
}

// ---- the zlib wrapper --------------------------------------------------------------------------

// The check bits are not tested: only the method, the window size and the dictionary flag count.
TEST(ZlibHeader, IsCheckedForMethodWindowAndDictionary)
{
    const struct {
        const char* name;
        unsigned char method;  // CMF: compression method and window size
        unsigned char flags;   // FLG: check bits, preset dictionary, level
        bool accepted;
    } cases[] = {
        {"usual", 0x78, 0x9C, true},          {"smallestWindow", 0x08, 0x1D, true},
        {"largestWindowInfo7", 0x78, 0x01, true}, {"wrongCheckBits", 0x78, 0x00, true},
        {"windowInfo8", 0x88, 0x1C, false},   {"windowInfo15", 0xF8, 0x1C, false},
        {"method7", 0x77, 0x01, false},       {"method9", 0x79, 0x01, false},
        {"method15", 0x7F, 0x01, false},      {"presetDictionary", 0x78, 0xBB, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeflateWriter writer;
        writer.bytes({c.method, c.flags}).block(true, 1).fixedSymbol('z').fixedSymbol('!').fixedSymbol(256);
        std::uint32_t code = 0;
        const Bytes out = inflated(carrierPng(2, writer.result()), &code);
        EXPECT_EQ(code, c.accepted ? kPngOk : kPngCorrupt);
        if (c.accepted) {
            EXPECT_EQ(out, Bytes({'z', '!'}));
        }
    }
}

TEST(ZlibHeader, EveryWindowSizeZlibWritesIsAccepted)
{
    const Bytes data = textBytes(20000);
    for (int windowBits = 9; windowBits <= 15; ++windowBits) {
        SCOPED_TRACE(windowBits);
        EXPECT_EQ(inflated(carrierPng(data.size(), zlibCompress(data, 6, Z_DEFAULT_STRATEGY, windowBits))), data);
    }
}

TEST(ZlibTrailer, IsNeitherComparedNorRequired)
{
    const Bytes data = textBytes(1000);
    Bytes stream = zlibCompress(data, 6);
    stream.back() ^= 0x55;  // wrong Adler-32
    EXPECT_EQ(inflated(carrierPng(data.size(), stream)), data);
    stream.resize(stream.size() - 4);  // no Adler-32 at all
    EXPECT_EQ(inflated(carrierPng(data.size(), stream)), data);
}

TEST(ShortStream, LeavesTheRestOfTheImageDataZero)
{
    const Bytes data = textBytes(150);
    Bytes expected = data;
    expected.resize(200, 0);
    const Bytes png = carrierPng(200, zlibCompress(data, 6));
    // The image data is not zeroed when allocated: under AddressSanitizer new memory is filled
    // with 0xBE, and otherwise this freed block of the same size is likely handed out again.
    {
        Bytes dirty(200, 0xAA);
    }
    EXPECT_EQ(inflated(png), expected);
}

}  // namespace
