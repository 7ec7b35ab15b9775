// PNG decoder on bad input: damaged containers and compressed streams with the code each must
// fail with, calls out of order, exhausted memory, and truncation and bit-flip sweeps over real
// files (meant to run under AddressSanitizer and UBSan as well).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "failing_new.h"
#include "pictures/png_internal.h"
#include "png_test_support.h"

namespace {

using namespace pngtest;
using Length = DeflateWriter::LengthCode;

Bytes validStream() { return zlibCompress({0, 7, 7, 7}, 6); }

// A 3 x 1 grey image, whose rows take 4 bytes.
PngBuilder greyImage()
{
    PngBuilder builder;
    builder.header(3, 1, 8, kPngGrey);
    return builder;
}

Bytes goodImage() { return greyImage().imageData(zlibCompress({0, 1, 2, 3}, 6)).end().bytes(); }

Bytes withHeader(const Bytes& header) { return PngBuilder().chunk("IHDR", header).imageData(validStream()).end().bytes(); }

Bytes edited(Bytes bytes, const std::function<void(Bytes&)>& edit)
{
    edit(bytes);
    return bytes;
}

TEST(DamagedContainer, FailsWithItsCode)
{
    const Bytes signature = PngBuilder().bytes();
    const Bytes complete = greyImage().imageData(validStream()).end().bytes();
    Bytes shortHeader = headerData(3, 1, 8, 0);
    shortHeader.pop_back();  // twelve bytes: the interlace method would lie in the CRC
    const struct {
        const char* name;
        Bytes file;
        std::uint32_t attachCode, decodeCode;  // the decode code only when attached
    } cases[] = {
        {"empty", {}, kPngResourceUnreadable, 0},
        {"fifteenBytes", edited(signature, [](Bytes& f) { f.resize(15); }), kPngCorrupt, 0},
        {"sixteenBytesNoHeader", edited(signature, [](Bytes& f) { f.resize(16); }), kPngCorrupt, 0},
        {"signatureDamaged", edited(complete, [](Bytes& f) { f[3] = 'g'; }), kPngCorrupt, 0},
        {"firstChunkNotHeader", PngBuilder().palette(2).chunk("IHDR", headerData(3, 1, 8, 0)).end().bytes(), kPngCorrupt, 0},
        {"headerFrameCut", edited(greyImage().bytes(), [](Bytes& f) { f.pop_back(); }), kPngCorrupt, 0},
        {"headerTooShort", withHeader(shortHeader), kPngCorrupt, 0},
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
        // CRCs are never computed.
        {"wrongCrcs", edited(complete, [](Bytes& f) { f[29] ^= 0xFF; f.back() ^= 0xFF; }), kPngOk, kPngOk},
        {"noImageData", greyImage().end().bytes(), kPngOk, kPngCorrupt},
        // A length near 2^32 must stop the chunk walk, not wrap the cursor round to a small step.
        {"hugeChunkLengthEndsTheWalk",
         greyImage().chunkWithLength("teXt", {'A', 'B', 'C', 'D'}, 0xFFFFFFF4u).chunk("ABCD", {}).imageData(validStream()).end().bytes(),
         kPngOk, kPngCorrupt},
        {"noEndChunk", greyImage().imageData(validStream()).bytes(), kPngOk, kPngOk},
        // Rows of 8 589 934 601 bytes: in 64 bits their total wraps round to under 2^31, so a size
        // only checked at the end would look allocatable (and the short stream decode).
        {"imageDataBeyond32Bits", PngBuilder().header(1073741825, 2147483646, 16, kPngColourAlpha).imageData(validStream()).end().bytes(),
         kPngOk, kPngOutOfMemory},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectCodes(c.file, c.attachCode, c.decodeCode);
    }
}

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

TEST(DamagedStream, FailsAsCorruptAndReleasesTheImageData)
{
    const auto fixed = [] { return DeflateWriter().zlibHeader().block(true, 1); };
    const auto dynamic = [] { return DeflateWriter().zlibHeader().dynamicHeader(true, 257, 1); };
    const auto stored = [](std::uint32_t length, std::uint32_t complement) {
        return DeflateWriter().zlibHeader().block(true, 0).alignToByte().bits(length, 16).bits(complement, 16).bytes({1, 2, 3});
    };
    const Bytes zlibStream = zlibCompress(Bytes(2000, 'q'), 6);
    const Bytes zlibHalf(zlibStream.begin(), zlibStream.begin() + static_cast<std::ptrdiff_t>(zlibStream.size() / 2));
    const struct {
        const char* name;
        Bytes stream;
        std::size_t imageDataSize;
        std::vector<std::size_t> pieces;  // image-data chunk sizes, as PngBuilder::imageData takes them
    } cases[] = {
        {"backReferenceBeforeStart", fixed().fixedSymbol('a').fixedCopy(3, 2).fixedSymbol(256).result(), 4, {}},
        {"backReferenceWithNoOutput", fixed().fixedCopy(3, 1).fixedSymbol(256).result(), 4, {}},
        {"literalsBeyondImageData", fixed().fixedSymbol('a').fixedSymbol('b').fixedSymbol('c').fixedSymbol(256).result(), 2, {}},
        {"copyBeyondImageData", fixed().fixedSymbol('a').fixedCopy(10, 1).fixedSymbol(256).result(), 10, {}},
        {"storedBeyondImageData", DeflateWriter().zlibHeader().stored(true, {1, 2, 3}).result(), 2, {}},
        {"lengthSymbol286", fixed().fixedSymbol('a').fixedSymbol(286).code(0, 5).fixedSymbol(256).result(), 10, {}},
        {"lengthSymbol287", fixed().fixedSymbol('a').fixedSymbol(287).code(0, 5).fixedSymbol(256).result(), 10, {}},
        {"distanceSymbol30", fixed().fixedSymbol('a').fixedSymbol(257).code(30, 5).fixedSymbol(256).result(), 10, {}},
        {"distanceSymbol31", fixed().fixedSymbol('a').fixedSymbol(257).code(31, 5).fixedSymbol(256).result(), 10, {}},
        {"blockType3", DeflateWriter().zlibHeader().block(true, 3).bits(0, 16).result(), 4, {}},
        {"storedLengthsNotComplement", stored(3, 0xFFFD).result(), 4, {}},
        // HCLEN 4: lengths of 16, 17, 18 and 0, only 0 having a code ("0"); "1..." matches nothing.
        {"codeLengthCodeMatchesNothing",
         DeflateWriter().zlibHeader().block(true, 2).bits(0, 5 + 5 + 4).bits(0, 3 * 3).bits(1, 3).code(0x7F, 7).result(), 4, {}},
        {"repeatPreviousWithNothingBefore", dynamic().lengths(Length::kRepeatPrevious, 3).result(), 4, {}},
        // Only 'a' (97) and the end of block have codes, 00 and 01; "11" then matches nothing.
        {"literalCodeMatchesNothing",
         dynamic().lengths(Length::kRepeatManyZeros, 97).lengths(Length::kLength2).lengths(Length::kRepeatManyZeros, 138)
             .lengths(Length::kRepeatManyZeros, 20).lengths(Length::kLength2).lengths(Length::kLength1).code(3, 2).code(0, 13).result(),
         4, {}},
        {"repeatPreviousPastAllLengths", repeatPastEnd(Length::kRepeatPrevious), 4, {}},
        {"repeatZerosPastAllLengths", repeatPastEnd(Length::kRepeatZeros), 4, {}},
        {"repeatManyZerosPastAllLengths", repeatPastEnd(Length::kRepeatManyZeros), 4, {}},
        {"endsBeforeFinalBlock", DeflateWriter().zlibHeader().block(false, 1).fixedSymbol('a').fixedSymbol(256).result(), 4, {}},
        {"endsInsideStoredBlock", stored(10, ~10u & 0xFFFF).result(), 20, {}},
        {"endsInsideBlock", zlibHalf, 2000, {}},
        {"endsInsideSplitStream", zlibHalf, 2000, {1, 2, 3}},
        {"onlyZlibHeader", {0x78, 0x9C}, 4, {}},
        {"emptyImageData", {}, 4, {}},
        {"notZlib", {0x1F, 0x8B, 8, 0}, 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = carrierPng(c.imageDataSize, c.stream, c.pieces);
        ScopedPng png;
        ASSERT_EQ(png.attach(file), 1);
        EXPECT_FAILS_WITH(png, pngDecode(png.image), kPngCorrupt);
        EXPECT_EQ(png.image.decodeState, kPngAccepted);
        EXPECT_EQ(png.image.imageData, nullptr);
    }
}

// ---- calls out of order ----------------------------------------------------------------------

TEST(PngCallOrder, EachCallNeedsItsState)
{
    const Bytes file = goodImage();
    ScopedPng png;
    PngBitmapInfo info;
    std::uint32_t format = 0;
    Bytes bits(64);

    EXPECT_FAILS_WITH(png, pngDecode(png.image), kPngWrongState);
    EXPECT_EQ(pngBitmapStride(png.image), 0u);  // no header, no layout
    ASSERT_EQ(png.attach(file), 1);
    EXPECT_FAILS_WITH(png, pngBitmapInfo(png.image, info, format), kPngWrongState);
    EXPECT_FAILS_WITH(png, pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), kPngWrongState);

    EXPECT_FAILS_WITH(png, png.attach(file), kPngAlreadyAttached);
    EXPECT_EQ(png.image.decodeState, kPngAccepted);  // the first attachment stays

    ASSERT_EQ(pngDecode(png.image), 1);
    EXPECT_FAILS_WITH(png, pngDecode(png.image), kPngWrongState);
    EXPECT_FAILS_WITH(png, png.attach(file), kPngAlreadyAttached);
    EXPECT_EQ(pngBitmapInfo(png.image, info, format), 1);
    EXPECT_EQ(png.image.errorCode, kPngOk);
}

TEST(PngCallOrder, CleanupEmptiesTheRecordFromEveryState)
{
    const Bytes file = goodImage();
    const PngImage empty{};
    for (int steps = 0; steps <= 2; ++steps) {
        SCOPED_TRACE(steps);
        ScopedPng png;
        ASSERT_TRUE(steps < 1 || png.attach(file));
        ASSERT_TRUE(steps < 2 || pngDecode(png.image));
        EXPECT_EQ(pngCleanup(png.image), 1);
        EXPECT_EQ(std::memcmp(&png.image, &empty, sizeof empty), 0);
        EXPECT_EQ(png.attach(file), 1);
    }
}

TEST(PngCallOrder, FailedCallsCanBeFollowedByOthers)
{
    const Bytes good = goodImage();
    const Bytes bad = edited(good, [](Bytes& f) { f[0] = 0; });
    ScopedPng attached;
    EXPECT_EQ(attached.attach(bad), 0);
    EXPECT_EQ(attached.attach(good), 1);

    const Bytes corrupt = carrierPng(4, {0x78, 0x9C});
    ScopedPng decoded;
    ASSERT_EQ(decoded.attach(corrupt), 1);
    EXPECT_EQ(pngDecode(decoded.image), 0);
    EXPECT_FAILS_WITH(decoded, pngDecode(decoded.image), kPngCorrupt);
    EXPECT_EQ(decoded.image.imageData, nullptr);
}

TEST(RenderRequest, TakesTheReportedFormatAndABitmapLargeEnough)
{
    const Bytes file = goodImage();
    ScopedPng png;
    PngBitmapInfo info{};
    std::uint32_t format = 0;
    ASSERT_EQ(png.attach(file), 1);
    ASSERT_EQ(pngDecode(png.image), 1);
    ASSERT_EQ(pngBitmapInfo(png.image, info, format), 1);
    Bytes bits(4);  // 3 grey pixels: one row of 4 bytes with its padding
    EXPECT_EQ(pngRender(png.image, format, bits.data(), bits.size()), 1);
    EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 1);
    EXPECT_FAILS_WITH(png, pngRender(png.image, format + 1, bits.data(), bits.size()), kPngUnsupported);
    EXPECT_FAILS_WITH(png, pngRender(png.image, format, bits.data(), 3), kPngBitmapFailed);
    EXPECT_FAILS_WITH(png, pngRender(png.image, format, nullptr, 4), kPngBitmapFailed);
}

// ---- memory that cannot be had --------------------------------------------------------------

TEST(PngMemory, FailedAllocationsReportOutOfMemoryAndCanBeRetried)
{
    const Bytes file = goodImage();
    ScopedPng png;
    ASSERT_EQ(png.attach(file), 1);
    {
        NothrowFailureScope failure(0, 1);  // the image data
        EXPECT_EQ(pngDecode(png.image), 0);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
    EXPECT_EQ(png.image.decodeState, kPngAccepted);
    ASSERT_EQ(pngDecode(png.image), 1);

    Bytes bits(static_cast<std::size_t>(pngBitmapStride(png.image)));
    {
        NothrowFailureScope failure(0, 1);  // the row buffers
        EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 0);
        EXPECT_EQ(nothrowAllocationsSeen(), 1);
    }
    EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
    EXPECT_EQ(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size()), 1);
}

// ---- truncation and bit-flip sweeps over real files -----------------------------------------

// Runs every call on a damaged file: each failure must carry a code it may have and leave the
// record as documented. Memory faults are for the sanitizers to find.
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
    // Larger images come only from damaged dimensions and are refused or allocated alike.
    if (pngDataSize(png.image) > (1u << 22)) {
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

TEST_P(DamagedSuiteFile, EveryTruncationFailsCleanly)
{
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
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
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
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

// Fixed and dynamic blocks, interlaced palette rows, all filter types, one-byte image-data chunks.
INSTANTIATE_TEST_SUITE_P(PngSuite, DamagedSuiteFile,
                         testing::Values("basn0g01", "basi3p02", "z09n2c08", "f99n0g04", "oi9n0g16", "basi2c16"),
                         [](const testing::TestParamInfo<const char*>& row) { return std::string(row.param); });

}  // namespace
