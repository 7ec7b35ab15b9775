// PNG decoder on bad input: damaged containers with their codes, calls out of order, exhausted
// memory, and truncation and bit-flip sweeps over real files (for the sanitizers as well).
#include <gtest/gtest.h>

#include <cstring>

#include "failing_new.h"
#include "png_test_support.h"

namespace {

using namespace pngtest;

const Bytes kStream = zlibCompress({0, 7, 7, 7}, 6);

// A 3 x 1 grey image, whose rows take 4 bytes.
PngBuilder grey() { return PngBuilder().header(3, 1, 8, kPngGrey); }

Bytes withHeader(const Bytes& header) { return PngBuilder().chunk("IHDR", header).imageData(kStream).end(); }

Bytes cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

Bytes flip(Bytes bytes, std::size_t at, unsigned char bits)
{
    bytes[at] ^= bits;
    return bytes;
}

TEST(PngContainer, DamagedFailsWithItsCode)
{
    const Bytes complete = grey().imageData(kStream).end();
    const struct {
        const char* name;
        Bytes file;
        const char* outcome;
    } cases[] = {
        {"empty", {}, "attach 12290"},
        {"fifteenBytes", cut(complete, 15), "attach 8192"},
        {"sixteenBytesNoHeader", cut(complete, 16), "attach 8192"},
        {"signatureDamaged", flip(complete, 3, 0x20), "attach 8192"},
        {"firstChunkNotHeader", PngBuilder().chunk("PLTE", {1, 2, 3}).chunk("IHDR", headerData(3, 1, 8, 0)).end(), "attach 8192"},
        {"headerFrameCut", cut(grey().bytes, 32), "attach 8192"},
        {"headerTooShort", withHeader(cut(headerData(3, 1, 8, 0), 12)), "attach 8192"},  // interlace would lie in the CRC
        {"widthZero", withHeader(headerData(0, 1, 8, 0)), "attach 8192"},
        {"heightZero", withHeader(headerData(3, 0, 8, 0)), "attach 8192"},
        {"width2pow31", withHeader(headerData(0x80000000u, 1, 8, 0)), "attach 8192"},
        {"height2pow31", withHeader(headerData(3, 0x80000000u, 8, 0)), "attach 8192"},
        {"headerNameLowerCase", PngBuilder().chunk("iHDR", headerData(3, 1, 8, 0)).imageData(kStream).end(), "ok"},
        {"unknownCriticalChunk", grey().chunk("ABCD", {}).imageData(kStream).end(), "attach 8193"},
        {"unknownCriticalAfterEnd", grey().imageData(kStream).chunk("IEND", {}).chunk("ABCD", {}).bytes, "attach 8193"},
        {"unknownAncillaryChunk", grey().chunk("abCD", {1, 2}).imageData(kStream).end(), "ok"},
        {"indexedDepth16", withHeader(headerData(3, 1, 16, 3)), "attach 8193"},
        {"colourType5", withHeader(headerData(3, 1, 8, 5)), "attach 8193"},
        {"compressionMethod1", withHeader(headerData(3, 1, 8, 0, 0, 1)), "attach 8193"},
        {"filterMethod1", withHeader(headerData(3, 1, 8, 0, 0, 0, 1)), "attach 8193"},
        {"interlaceMethod2", withHeader(headerData(3, 1, 8, 0, 2)), "attach 8193"},
        {"indexedWithoutPalette", withHeader(headerData(3, 1, 8, 3)), "attach 8192"},
        {"paletteAfterImageData", PngBuilder().header(3, 1, 8, 3).imageData(kStream).chunk("PLTE", Bytes(24, 9)).end(), "ok"},
        {"wrongCrcsAreNotChecked", flip(flip(complete, 29, 0xFF), complete.size() - 1, 0xFF), "ok"},
        {"noImageData", grey().end(), "decode 8192"},
        // A length near 2^32 must stop the chunk walk, not wrap the cursor round to a small step.
        {"hugeChunkLengthEndsTheWalk", grey().chunk("teXt", {'A', 'B', 'C', 'D'}, 0xFFFFFFF4u).chunk("ABCD", {}).imageData(kStream).end(), "decode 8192"},
        {"noEndChunk", grey().imageData(kStream).bytes, "ok"},
        // Rows of 8 589 934 601 bytes: their 64-bit total wraps to under 2^31 unless checked on the way.
        {"imageDataBeyond32Bits", PngBuilder().header(1073741825, 2147483646, 16, kPngColourAlpha).imageData(kStream).end(), "decode 4097"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode(c.file).outcome, c.outcome) << c.name;
    }
}

TEST(PngCalls, EachNeedsItsStateAndCleanupEmptiesEveryState)
{
    const Bytes file = grey().imageData(kStream).end();
    ScopedPng png;
    PngBitmapInfo info;
    std::uint32_t format = 0;
    Bytes bits(4);
    const auto code = [&](int result) { return std::to_string(result) + " " + std::to_string(png.image.errorCode); };
    EXPECT_EQ(code(pngDecode(png.image)), "0 8195");
    EXPECT_EQ(pngBitmapStride(png.image), 0u);
    EXPECT_EQ(code(png.attach(file)), "1 0");
    EXPECT_EQ(code(pngBitmapInfo(png.image, info, format)), "0 8195");
    EXPECT_EQ(code(pngRender(png.image, kPngAutoFormat, bits.data(), bits.size())), "0 8195");
    EXPECT_EQ(code(png.attach(file)), "0 4098");
    EXPECT_EQ(code(pngDecode(png.image)), "1 0");
    EXPECT_EQ(code(pngDecode(png.image)), "0 8195");
    EXPECT_EQ(code(png.attach(file)), "0 4098");
    EXPECT_EQ(code(pngBitmapInfo(png.image, info, format)), "1 0");
    // The reported format or the automatic one, and a bitmap of at least 4 bytes.
    EXPECT_EQ(code(pngRender(png.image, format, bits.data(), 4)), "1 0");
    EXPECT_EQ(code(pngRender(png.image, format + 1, bits.data(), 4)), "0 8193");
    EXPECT_EQ(code(pngRender(png.image, format, bits.data(), 3)), "0 8198");
    EXPECT_EQ(code(pngRender(png.image, format, nullptr, 4)), "0 8198");

    const PngImage empty{};
    for (int steps = 0; steps <= 2; ++steps) {
        ScopedPng other;
        ASSERT_TRUE((steps < 1 || other.attach(file)) && (steps < 2 || pngDecode(other.image)));
        EXPECT_EQ(pngCleanup(other.image), 1);
        EXPECT_EQ(std::memcmp(&other.image, &empty, sizeof empty), 0) << steps;
    }
}

TEST(PngCalls, FailedAllocationsReportOutOfMemoryAndCanBeRetried)
{
    const Bytes file = grey().imageData(kStream).end();
    ScopedPng png;
    Bytes bits(4);
    ASSERT_EQ(png.attach(file), 1);
    for (int call = 0; call < 2; ++call) {  // the image data, then the row buffers
        {
            NothrowFailureScope failure(0, 1);
            EXPECT_EQ(call == 0 ? pngDecode(png.image) : pngRender(png.image, kPngAutoFormat, bits.data(), 4), 0);
            EXPECT_EQ(nothrowAllocationsSeen(), 1);
        }
        EXPECT_EQ(png.image.errorCode, kPngOutOfMemory);
        EXPECT_EQ(call == 0 ? pngDecode(png.image) : pngRender(png.image, kPngAutoFormat, bits.data(), 4), 1);
    }
}

// Each outcome a damaged file may have; memory faults are for the sanitizers to find.
void expectCleanFailure(const Bytes& file, const std::string& damage)
{
    SCOPED_TRACE(damage);
    static const std::vector<std::string> allowed = {"ok", "large", "attach 8192", "attach 8193", "decode 8192", "decode 4097", "render 8192"};
    const std::string outcome = decode(file, 1u << 22).outcome;
    EXPECT_TRUE(std::find(allowed.begin(), allowed.end(), outcome) != allowed.end() || (file.empty() && outcome == "attach 12290"))
        << outcome;
}

class DamagedSuiteFile : public testing::TestWithParam<const char*> {};

// Each copy has exactly its size, so that AddressSanitizer sees any read beyond it.
TEST_P(DamagedSuiteFile, EveryTruncationAndBitFlipFailsCleanly)
{
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
    for (std::size_t size = 0; size < file.size() && !HasFailure(); ++size) {
        expectCleanFailure(cut(file, size), "cut to " + std::to_string(size));
    }
    for (std::size_t bit = 0; bit < 8 * file.size() && !HasFailure(); ++bit) {
        expectCleanFailure(flip(file, bit / 8, static_cast<unsigned char>(1 << bit % 8)), "bit flipped: " + std::to_string(bit));
    }
}

// Fixed and dynamic blocks, interlaced palette rows, all filter types, one-byte image-data chunks.
INSTANTIATE_TEST_SUITE_P(PngSuite, DamagedSuiteFile,
                         testing::Values("basn0g01", "basi3p02", "z09n2c08", "f99n0g04", "oi9n0g16", "basi2c16"));

}  // namespace
