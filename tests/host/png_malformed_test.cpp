// PNG decoder on bad input: a table of damaged containers and compressed streams with the code
// each must fail with, calls out of order, exhausted memory, and truncation and bit-flip sweeps
// over real files (meant to run under AddressSanitizer and UBSan as well).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "failing_new.h"
#include "pictures/png_internal.h"
#include "png_test_support.h"

namespace {

using namespace pngtest;

// A zlib stream opening its one fixed block; the symbols and copies are up to the caller.
DeflateWriter fixedStream()
{
    DeflateWriter writer;
    writer.zlibHeader().block(true, 1);
    return writer;
}

Bytes validStream()
{
    return zlibCompress({0, 7, 7, 7}, 6);
}

// A 3 x 1 grey image whose rows take 4 bytes.
PngBuilder greyImage()
{
    PngBuilder builder;
    builder.header(3, 1, 8, kPngGrey);
    return builder;
}

// ---- damaged containers ----------------------------------------------------------------------

struct ContainerCase {
    const char* name;
    Bytes file;
    std::uint32_t attachCode;
    std::uint32_t decodeCode;  // when attached
};

Bytes withHeader(const Bytes& header)
{
    return PngBuilder().chunk("IHDR", header).imageData(validStream()).end().bytes();
}

// Twelve of the header's thirteen bytes: its interlace method would lie in the CRC.
Bytes shortHeader()
{
    Bytes header = headerData(3, 1, 8, 0);
    header.pop_back();
    return header;
}

Bytes signatureOnly(std::size_t extra)
{
    Bytes file = PngBuilder().bytes();
    file.resize(file.size() + extra, 0);
    return file;
}

Bytes damagedSignature()
{
    Bytes file = greyImage().imageData(validStream()).end().bytes();
    file[3] = 'g';
    return file;
}

Bytes cutHeaderFrame()
{
    Bytes file = greyImage().bytes();
    file.resize(file.size() - 1);  // the header's CRC is one byte short
    return file;
}

Bytes wrongCrcs()
{
    Bytes file = greyImage().imageData(validStream()).end().bytes();
    for (std::size_t at : {std::size_t{29}, file.size() - 1}) {
        file[at] ^= 0xFF;
    }
    return file;
}

// A length field near 2^32 must stop the chunk walk, not wrap the cursor round to a small step.
Bytes hugeChunkLength()
{
    return greyImage()
        .chunkWithLength("teXt", {'A', 'B', 'C', 'D'}, 0xFFFFFFF4u)
        .chunk("ABCD", {})
        .imageData(validStream())
        .end()
        .bytes();
}

std::vector<ContainerCase> containerCases()
{
    return {
        {"empty", {}, kPngResourceUnreadable, 0},
        {"fifteenBytes", signatureOnly(7), kPngCorrupt, 0},
        {"sixteenBytesNoHeader", signatureOnly(8), kPngCorrupt, 0},
        {"signatureDamaged", damagedSignature(), kPngCorrupt, 0},
        {"firstChunkNotHeader", PngBuilder().palette(2).chunk("IHDR", headerData(3, 1, 8, 0)).end().bytes(), kPngCorrupt, 0},
        {"headerFrameCut", cutHeaderFrame(), kPngCorrupt, 0},
        {"headerTooShort", withHeader(shortHeader()), kPngCorrupt, 0},
        {"widthZero", withHeader(headerData(0, 1, 8, 0)), kPngCorrupt, 0},
        {"heightZero", withHeader(headerData(3, 0, 8, 0)), kPngCorrupt, 0},
        {"width2pow31", withHeader(headerData(0x80000000u, 1, 8, 0)), kPngCorrupt, 0},
        {"height2pow31", withHeader(headerData(3, 0x80000000u, 8, 0)), kPngCorrupt, 0},
        {"headerNameLowerCase", PngBuilder().chunk("iHDR", headerData(3, 1, 8, 0)).imageData(validStream()).end().bytes(), kPngOk, kPngOk},
        {"unknownCriticalChunk", greyImage().chunk("ABCD", {}).imageData(validStream()).end().bytes(), kPngUnsupported, 0},
        {"unknownCriticalAfterEnd", greyImage().imageData(validStream()).end().chunk("ABCD", {}).bytes(), kPngUnsupported, 0},
        {"unknownAncillaryChunk", greyImage().chunk("abCD", {1, 2}).imageData(validStream()).end().bytes(), kPngOk, kPngOk},
        {"indexedDepth16", withHeader(headerData(3, 1, 16, 3)), kPngUnsupported, 0},
        {"colourType5", withHeader(headerData(3, 1, 8, 5)), kPngUnsupported, 0},
        {"greyDepth3", withHeader(headerData(3, 1, 3, 0)), kPngUnsupported, 0},
        {"colourDepth4", withHeader(headerData(3, 1, 4, 2)), kPngUnsupported, 0},
        {"compressionMethod1", withHeader(headerData(3, 1, 8, 0, 0, 1)), kPngUnsupported, 0},
        {"filterMethod1", withHeader(headerData(3, 1, 8, 0, 0, 0, 1)), kPngUnsupported, 0},
        {"interlaceMethod2", withHeader(headerData(3, 1, 8, 0, 2)), kPngUnsupported, 0},
        {"indexedWithoutPalette", withHeader(headerData(3, 1, 8, 3)), kPngCorrupt, 0},
        {"paletteAfterImageData", PngBuilder().header(3, 1, 8, 3).imageData(validStream()).palette(8).end().bytes(), kPngOk, kPngOk},
        {"wrongCrcs", wrongCrcs(), kPngOk, kPngOk},
        {"noImageData", greyImage().end().bytes(), kPngOk, kPngCorrupt},
        {"hugeChunkLengthEndsTheWalk", hugeChunkLength(), kPngOk, kPngCorrupt},
        {"noEndChunk", greyImage().imageData(validStream()).bytes(), kPngOk, kPngOk},
    };
}

class DamagedContainer : public testing::TestWithParam<ContainerCase> {};

TEST_P(DamagedContainer, FailsWithItsCode)
{
    const ContainerCase& c = GetParam();
    ScopedPng png;
    EXPECT_EQ(png.attach(c.file), c.attachCode == kPngOk ? 1 : 0);
    EXPECT_EQ(png.image.errorCode, c.attachCode);
    if (c.attachCode != kPngOk) {
        EXPECT_EQ(png.image.decodeState, kPngEmpty);
        EXPECT_EQ(png.image.sourceState, kPngNoSource);
        return;
    }
    EXPECT_EQ(png.image.decodeState, kPngAccepted);
    EXPECT_EQ(pngDecode(png.image), c.decodeCode == kPngOk ? 1 : 0);
    EXPECT_EQ(png.image.errorCode, c.decodeCode);
}

INSTANTIATE_TEST_SUITE_P(Container, DamagedContainer, testing::ValuesIn(containerCases()),
                         caseName<ContainerCase>);

// ---- damaged compressed streams ------------------------------------------------------------

struct StreamCase {
    const char* name;
    Bytes stream;
    std::size_t imageDataSize;
    std::vector<std::size_t> pieces;  // image-data chunk sizes, as PngBuilder::imageData takes them
};

using Length = DeflateWriter::LengthCode;

// A dynamic block of 257 literal/length and 1 distance lengths, the first 139 of them 0 (138)
// and 1, then repeats of `symbol` until they run past the 258 lengths.
Bytes repeatPastEnd(Length symbol)
{
    DeflateWriter writer;
    writer.zlibHeader().dynamicHeader(true, 257, 1).lengths(Length::kRepeatManyZeros, 138).lengths(Length::kLength1);
    const int repeat = symbol == Length::kRepeatPrevious ? 6 : symbol == Length::kRepeatZeros ? 10 : 138;
    for (int filled = 139; filled <= 258; filled += repeat) {
        writer.lengths(symbol, repeat);
    }
    return writer.result();
}

Bytes repeatPreviousFirst()
{
    DeflateWriter writer;
    writer.zlibHeader().dynamicHeader(true, 257, 1).lengths(Length::kRepeatPrevious, 3);
    return writer.result();
}

Bytes incompleteCodeLengthCode()
{
    // HCLEN 4: lengths of 16, 17, 18 and 0, only 0 having a code ("0"); "1..." matches nothing.
    DeflateWriter writer;
    writer.zlibHeader().block(true, 2).bits(0, 5).bits(0, 5).bits(0, 4);
    writer.bits(0, 3).bits(0, 3).bits(0, 3).bits(1, 3);
    writer.code(0x7F, 7);
    return writer.result();
}

Bytes incompleteLiteralCode()
{
    // Only 'a' (97) and the end of block have literal/length codes, 00 and 01; the data then
    // starts with 11, which no code of up to 15 bits completes.
    DeflateWriter writer;
    writer.zlibHeader().dynamicHeader(true, 257, 1);
    writer.lengths(Length::kRepeatManyZeros, 97).lengths(Length::kLength2);
    writer.lengths(Length::kRepeatManyZeros, 138).lengths(Length::kRepeatManyZeros, 20);
    writer.lengths(Length::kLength2).lengths(Length::kLength1);
    writer.code(3, 2).code(0, 13);
    return writer.result();
}

Bytes storedLengthsNotComplement()
{
    DeflateWriter writer;
    writer.zlibHeader().block(true, 0).alignToByte().bits(3, 16).bits(0xFFFD, 16).bytes({1, 2, 3});
    return writer.result();
}

Bytes storedLongerThanSource()
{
    DeflateWriter writer;
    writer.zlibHeader().block(true, 0).alignToByte().bits(10, 16).bits(~10u & 0xFFFF, 16).bytes({1, 2, 3});
    return writer.result();
}

Bytes halfOf(const Bytes& whole)
{
    return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
}

std::vector<StreamCase> streamCases()
{
    const Bytes zlibStream = zlibCompress(Bytes(2000, 'q'), 6);
    return {
        {"backReferenceBeforeStart", fixedStream().fixedSymbol('a').fixedCopy(3, 2).fixedSymbol(256).result(), 4, {}},
        {"backReferenceWithNoOutput", fixedStream().fixedCopy(3, 1).fixedSymbol(256).result(), 4, {}},
        {"literalsBeyondImageData", fixedStream().fixedSymbol('a').fixedSymbol('b').fixedSymbol('c').fixedSymbol(256).result(), 2, {}},
        {"copyBeyondImageData", fixedStream().fixedSymbol('a').fixedCopy(10, 1).fixedSymbol(256).result(), 10, {}},
        {"storedBeyondImageData", DeflateWriter().zlibHeader().stored(true, {1, 2, 3}).result(), 2, {}},
        {"lengthSymbol286", fixedStream().fixedSymbol('a').fixedSymbol(286).code(0, 5).fixedSymbol(256).result(), 10, {}},
        {"lengthSymbol287", fixedStream().fixedSymbol('a').fixedSymbol(287).code(0, 5).fixedSymbol(256).result(), 10, {}},
        {"distanceSymbol30", fixedStream().fixedSymbol('a').fixedSymbol(257).code(30, 5).fixedSymbol(256).result(), 10, {}},
        {"distanceSymbol31", fixedStream().fixedSymbol('a').fixedSymbol(257).code(31, 5).fixedSymbol(256).result(), 10, {}},
        {"blockType3", DeflateWriter().zlibHeader().block(true, 3).bits(0, 16).result(), 4, {}},
        {"storedLengthsNotComplement", storedLengthsNotComplement(), 4, {}},
        {"codeLengthCodeMatchesNothing", incompleteCodeLengthCode(), 4, {}},
        {"repeatPreviousWithNothingBefore", repeatPreviousFirst(), 4, {}},
        {"literalCodeMatchesNothing", incompleteLiteralCode(), 4, {}},
        {"repeatPreviousPastAllLengths", repeatPastEnd(Length::kRepeatPrevious), 4, {}},
        {"repeatZerosPastAllLengths", repeatPastEnd(Length::kRepeatZeros), 4, {}},
        {"repeatManyZerosPastAllLengths", repeatPastEnd(Length::kRepeatManyZeros), 4, {}},
        {"endsBeforeFinalBlock", DeflateWriter().zlibHeader().block(false, 1).fixedSymbol('a').fixedSymbol(256).result(), 4, {}},
        {"endsInsideStoredBlock", storedLongerThanSource(), 20, {}},
        {"endsInsideBlock", halfOf(zlibStream), 2000, {}},
        {"endsInsideSplitStream", halfOf(zlibStream), 2000, {1, 2, 3}},
        {"onlyZlibHeader", {0x78, 0x9C}, 4, {}},
        {"emptyImageData", {}, 4, {}},
        {"notZlib", {0x1F, 0x8B, 8, 0}, 4, {}},
    };
}

class DamagedStream : public testing::TestWithParam<StreamCase> {};

TEST_P(DamagedStream, FailsAsCorruptAndReleasesTheImageData)
{
    const StreamCase& c = GetParam();
    const Bytes file = carrierPng(c.imageDataSize, c.stream, c.pieces);
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(png.image.errorCode, kPngCorrupt);
    EXPECT_EQ(png.image.decodeState, kPngAccepted);
    EXPECT_EQ(png.image.imageData, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Inflate, DamagedStream, testing::ValuesIn(streamCases()),
                         caseName<StreamCase>);

// ---- calls out of order ----------------------------------------------------------------------

Bytes goodImage()
{
    return greyImage().imageData(zlibCompress({0, 1, 2, 3}, 6)).end().bytes();
}

TEST(PngCallOrder, EachCallNeedsItsState)
{
    const Bytes file = goodImage();
    ScopedPng png;
    PngBitmapInfo info;
    std::uint32_t format = 0;
    Bytes bits(64);

    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(png.image.errorCode, kPngWrongState);
    EXPECT_EQ(pngBitmapStride(png.image), 0u);  // no header, no layout
    ASSERT_EQ(png.attach(file), 1);
    EXPECT_EQ(pngBitmapInfo(png.image, info, format), 0);
    EXPECT_EQ(png.image.errorCode, kPngWrongState);
    EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 0);
    EXPECT_EQ(png.image.errorCode, kPngWrongState);

    EXPECT_EQ(png.attach(file), 0);
    EXPECT_EQ(png.image.errorCode, kPngAlreadyAttached);
    EXPECT_EQ(png.image.decodeState, kPngAccepted);  // the first attachment stays

    ASSERT_EQ(pngDecode(png.image), 1);
    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(png.image.errorCode, kPngWrongState);
    EXPECT_EQ(png.attach(file), 0);
    EXPECT_EQ(png.image.errorCode, kPngAlreadyAttached);
    EXPECT_EQ(pngBitmapInfo(png.image, info, format), 1);
    EXPECT_EQ(png.image.errorCode, kPngOk);
}

TEST(PngCallOrder, CleanupEmptiesTheRecordFromEveryState)
{
    const Bytes file = goodImage();
    const PngImage empty{};
    for (int steps = 0; steps <= 2; ++steps) {
        SCOPED_TRACE(steps);
        PngImage image;
        pngInit(image);
        if (steps >= 1) {
            ASSERT_EQ(pngAttach(image, file.data(), static_cast<std::uint32_t>(file.size())), 1);
        }
        if (steps >= 2) {
            ASSERT_EQ(pngDecode(image), 1);
        }
        EXPECT_EQ(pngCleanup(image), 1);
        EXPECT_EQ(std::memcmp(&image, &empty, sizeof image), 0);
        EXPECT_EQ(pngAttach(image, file.data(), static_cast<std::uint32_t>(file.size())), 1);
        pngCleanup(image);
    }
}

TEST(PngCallOrder, AFailedAttachLeavesTheRecordFreeForAnother)
{
    Bytes bad = goodImage();
    bad[0] = 0;
    const Bytes good = goodImage();
    ScopedPng png;
    EXPECT_EQ(png.attach(bad), 0);
    EXPECT_EQ(png.attach(good), 1);
}

TEST(PngCallOrder, AFailedDecodeCanBeTriedAgain)
{
    const Bytes file = carrierPng(4, {0x78, 0x9C});
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(png.image.errorCode, kPngCorrupt);
    EXPECT_EQ(png.image.imageData, nullptr);
}

// ---- rendering into the caller's bitmap -------------------------------------------------------

class RenderRequest : public testing::Test {
protected:
    void SetUp() override
    {
        file_ = goodImage();
        ASSERT_EQ(png_.attach(file_), 1);
        ASSERT_EQ(pngDecode(png_.image), 1);
        ASSERT_EQ(pngBitmapInfo(png_.image, info_, format_), 1);
    }

    Bytes file_;
    ScopedPng png_;
    PngBitmapInfo info_{};
    std::uint32_t format_ = 0;
};

TEST_F(RenderRequest, TakesTheReportedOrTheAutomaticFormatOnly)
{
    Bytes bits(4);
    EXPECT_EQ(pngRender(png_.image, format_, bits.data(), bits.size()), 1);
    EXPECT_EQ(pngRender(png_.image, kPngAutoFormat, bits.data(), bits.size()), 1);
    EXPECT_EQ(pngRender(png_.image, format_ + 1, bits.data(), bits.size()), 0);
    EXPECT_EQ(png_.image.errorCode, kPngUnsupported);
}

TEST_F(RenderRequest, RefusesABitmapTooSmallForIt)
{
    // 3 grey pixels: one row of 4 bytes with its padding.
    Bytes bits(3);
    EXPECT_EQ(pngRender(png_.image, format_, bits.data(), bits.size()), 0);
    EXPECT_EQ(png_.image.errorCode, kPngBitmapFailed);
    EXPECT_EQ(pngRender(png_.image, format_, nullptr, 4), 0);
    EXPECT_EQ(png_.image.errorCode, kPngBitmapFailed);
}

// ---- memory that cannot be had --------------------------------------------------------------

TEST(PngMemory, ImageDataThatCannotBeAllocated)
{
    const Bytes file = goodImage();
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    {
        NothrowFailureScope failure(0, 1);
        EXPECT_EQ(pngDecode(png.image), 0);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
    EXPECT_EQ(png.image.decodeState, kPngAccepted);
    EXPECT_EQ(pngDecode(png.image), 1);
}

TEST(PngMemory, ImageDataLargerThan32Bits)
{
    // Rows of 8 589 934 601 bytes: in 64 bits their total wraps round to under 2^31, so a size
    // that is only checked at the end would look allocatable.
    const Bytes file = PngBuilder().header(1073741825, 2147483646, 16, kPngColourAlpha).imageData(validStream()).end().bytes();
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    EXPECT_EQ(pngDataSize(png.image), 0u);
    EXPECT_EQ(pngDecode(png.image), 0);
    EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
}

TEST(PngMemory, RowBuffersThatCannotBeAllocated)
{
    const Bytes file = goodImage();
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    ASSERT_EQ(pngDecode(png.image), 1);
    Bytes bits(static_cast<std::size_t>(pngBitmapStride(png.image)));
    {
        NothrowFailureScope failure(0, 1);
        EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 0);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
    EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 1);
}

// ---- truncation and bit-flip sweeps over real files -----------------------------------------

// Larger images than these come only from damaged dimensions; they are refused or allocated
// the same way, so the sweep does not spend its time on them.
constexpr std::uint32_t kSweepMaxDataSize = 1u << 22;

// Runs every call on a damaged file and checks that each failure carries a code it may have
// and leaves the record as documented. Memory faults are for the sanitizers to find.
void decodeDamaged(const Bytes& file)
{
    ScopedPng png;
    if (!png.attach(file)) {
        ASSERT_TRUE(png.image.errorCode == kPngCorrupt || png.image.errorCode == kPngUnsupported ||
                    (file.empty() && png.image.errorCode == kPngResourceUnreadable))
            << png.image.errorCode;
        ASSERT_EQ(png.image.sourceState, kPngNoSource);
        return;
    }
    if (pngDataSize(png.image) > kSweepMaxDataSize) {
        return;
    }
    if (!pngDecode(png.image)) {
        // A damaged width or height may ask for more than 32 bits can count.
        ASSERT_TRUE(png.image.errorCode == kPngCorrupt || png.image.errorCode == kPngOutOfMemory) << png.image.errorCode;
        ASSERT_EQ(png.image.imageData, nullptr);
        return;
    }
    PngBitmapInfo info;
    std::uint32_t format = 0;
    ASSERT_EQ(pngBitmapInfo(png.image, info, format), 1);
    Bytes bits(static_cast<std::size_t>(pngBitmapStride(png.image) * png.image.height));
    if (!pngRender(png.image, format, bits.data(), bits.size())) {
        ASSERT_EQ(png.image.errorCode, kPngCorrupt);
    }
}

class DamagedSuiteFile : public testing::TestWithParam<const char*> {};

#define LOAD_OR_SKIP(file)                                                                              \
    const Bytes file = readSuiteFile(GetParam());                                                       \
    if (file.empty()) {                                                                                 \
        GTEST_SKIP() << "PngSuite not found in '" << suiteFolder() << "': set ENIGO_PNGSUITE_DIR";      \
    }

TEST_P(DamagedSuiteFile, EveryTruncationFailsCleanly)
{
    LOAD_OR_SKIP(file);
    for (std::size_t size = 0; size < file.size(); ++size) {
        // A copy of exactly that size, so that AddressSanitizer sees any read beyond it.
        decodeDamaged(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)));
        if (HasFatalFailure()) {
            FAIL() << "cut to " << size << " bytes";
        }
    }
}

TEST_P(DamagedSuiteFile, EveryBitFlipFailsCleanlyOrDecodes)
{
    LOAD_OR_SKIP(file);
    Bytes damaged = file;
    for (std::size_t bit = 0; bit < 8 * file.size(); ++bit) {
        damaged[bit / 8] = static_cast<unsigned char>(file[bit / 8] ^ (1u << (bit % 8)));
        decodeDamaged(damaged);
        damaged[bit / 8] = file[bit / 8];
        if (HasFatalFailure()) {
            FAIL() << "bit " << bit << " flipped";
        }
    }
}

std::string fileName(const testing::TestParamInfo<const char*>& row)
{
    return row.param;
}

// Fixed and dynamic blocks, interlaced palette rows, all filter types, one-byte image-data chunks.
INSTANTIATE_TEST_SUITE_P(PngSuite, DamagedSuiteFile,
                         testing::Values("basn0g01", "basi3p02", "z09n2c08", "f99n0g04", "oi9n0g16", "basi2c16"),
                         fileName);

}  // namespace
