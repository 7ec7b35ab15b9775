// PNG decoder against libpng: every PngSuite image renders to the pixels libpng decodes (after the
// bitmap conversions: high bytes, BGR order, grey and palette through the colour table), images
// written by libpng with each row filter in every format, the damaged x*.png files, and the
// small-image cases where sizes and palettes go wrong.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pictures/png_internal.h"
#include "png_test_support.h"

namespace {

using namespace pngtest;

// Stems of the folder's PNG files, sorted; a single empty name when the folder is missing, so
// that its test reports the skip instead of vanishing.
std::vector<std::string> suiteFiles(bool damaged)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(suiteFolder(), error)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() == ".png" && (stem[0] == 'x') == damaged) {
            names.push_back(stem);
        }
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        names.push_back("");
    }
    return names;
}

std::string nameOf(const testing::TestParamInfo<std::string>& row)
{
    return row.param.empty() ? "FolderMissing" : row.param;
}

// ---- libpng as the reference decoder -------------------------------------------------------

// What a bitmap pixel should show: blue, green, red, and alpha for 32-bit bitmaps.
struct Expected {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    int channels = 3;            // 3, or 4 with alpha
    std::vector<Bytes> rows;     // BGR or BGRA per pixel
    std::vector<Bytes> indices;  // raw palette indices, one byte per pixel, indexed images only
};

// Decodes with libpng into 8-bit BGR(A): grey scaled to 8 bits and spread to three channels,
// 16-bit samples cut to their high byte, grey's alpha dropped, palette looked up here without
// its transparency. Transparency, gamma and background chunks are not applied.
bool libpngDecode(const Bytes& file, Expected& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Bytes unread = file;  // consumed from the front
    // Rows live in `out`, so nothing the error path needs is a local changed after setjmp.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &unread, [](png_structp from, png_bytep to, png_size_t count) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(from));
        if (count > bytes->size()) {
            png_error(from, "read past the end");
        }
        std::memcpy(to, bytes->data(), count);
        bytes->erase(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(count));
    });
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    out.colourType = png_get_color_type(png, info);
    const bool indexed = out.colourType == PNG_COLOR_TYPE_PALETTE;
    if (indexed) {
        png_set_packing(png);  // one index per byte
    } else {
        if (out.bitDepth < 8) {
            png_set_expand_gray_1_2_4_to_8(png);
        }
        png_set_strip_16(png);
        if (out.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_strip_alpha(png);
        }
        if ((out.colourType & PNG_COLOR_MASK_COLOR) == 0) {
            png_set_gray_to_rgb(png);
        }
        png_set_bgr(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    std::vector<Bytes> rows(out.height, Bytes(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) {
        pointers.push_back(row.data());
    }
    png_read_image(png, pointers.data());
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (indexed) {
        png_get_PLTE(png, info, &palette, &paletteSize);
    }
    out.channels = out.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
    if (indexed) {
        out.indices = rows;
        for (Bytes& row : rows) {
            Bytes bgr;
            for (unsigned char index : row) {
                const png_color colour = index < paletteSize ? palette[index] : png_color{0, 0, 0};
                bgr.insert(bgr.end(), {colour.blue, colour.green, colour.red});
            }
            row = bgr;
        }
    }
    out.rows = rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Bits per pixel and colour-table length of the bitmap each PNG format becomes.
struct Layout {
    int bitCount;
    std::uint32_t coloursUsed;
};

// By (colour type, bit depth).
const std::map<std::pair<int, int>, Layout> kLayouts = {
    {{0, 1}, {1, 2}},  {{0, 2}, {4, 4}},  {{0, 4}, {4, 16}}, {{0, 8}, {8, 256}}, {{0, 16}, {8, 256}},
    {{2, 8}, {24, 0}}, {{2, 16}, {24, 0}},
    {{3, 1}, {1, 0}},  {{3, 2}, {4, 0}},  {{3, 4}, {4, 0}},  {{3, 8}, {8, 0}},
    {{4, 8}, {8, 256}}, {{4, 16}, {8, 256}},
    {{6, 8}, {32, 0}}, {{6, 16}, {32, 0}},
};

// Decodes with both and compares the bitmap header, stride, and every pixel as shown.
void expectSameAsLibpng(const Bytes& file)
{
    Expected expected;
    ASSERT_TRUE(libpngDecode(file, expected)) << "libpng rejects the image";
    Bitmap bitmap;
    ASSERT_EQ(decodeToBitmap(file, bitmap), kPngOk);

    const PngBitmapHeader& header = bitmap.info.header;
    const Layout layout = kLayouts.at({expected.colourType, expected.bitDepth});
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, static_cast<std::int32_t>(expected.width));
    EXPECT_EQ(header.biHeight, -static_cast<std::int32_t>(expected.height));  // top-down rows
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biCompression, 0u);
    ASSERT_EQ(header.biBitCount, layout.bitCount);
    EXPECT_EQ(header.biClrUsed, layout.coloursUsed);
    // The Windows rule for DIB rows: whole 32-bit words.
    EXPECT_EQ(bitmap.stride, (expected.width * static_cast<std::size_t>(header.biBitCount) + 31) / 32 * 4);
    EXPECT_EQ(bitmap.format >> 16, static_cast<std::uint32_t>(expected.colourType << 8 | expected.bitDepth));

    int mismatches = 0;
    for (std::uint32_t y = 0; y < expected.height; ++y) {
        for (std::uint32_t x = 0; x < expected.width; ++x) {
            const std::uint32_t pixel = bitmapPixel(bitmap, x, y);
            Bytes shown;
            if (header.biBitCount <= 8) {
                const PngColourEntry& entry = bitmap.info.colours[pixel];
                shown = {entry.rgbBlue, entry.rgbGreen, entry.rgbRed, entry.rgbReserved};
                if (!expected.indices.empty() && pixel != expected.indices[y][x]) {
                    ADD_FAILURE() << "index at " << x << "," << y << ": " << pixel << " instead of "
                                  << int{expected.indices[y][x]};
                }
            } else {
                for (int i = 0; i < header.biBitCount / 8; ++i) {
                    shown.push_back(static_cast<unsigned char>(pixel >> (8 * i)));
                }
            }
            Bytes want(expected.rows[y].begin() + x * expected.channels, expected.rows[y].begin() + (x + 1) * expected.channels);
            if (header.biBitCount <= 8) {
                want.push_back(0);  // a colour table's reserved byte
            }
            if (shown != want && ++mismatches <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << " differs from libpng";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// ---- every valid PngSuite image ----------------------------------------------------------

class PngSuiteImage : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteImage, RendersAsLibpngDecodesIt)
{
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
    expectSameAsLibpng(file);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteImage, testing::ValuesIn(suiteFiles(false)), nameOf);

// ---- the damaged x*.png files ------------------------------------------------------------

struct DamagedFile {
    const char* stem;
    std::uint32_t attachCode, decodeCode;
    const char* twin;  // undamaged file it must render like, when it is accepted
    const char* reason;
};

// Chunk CRCs are never computed, so files damaged only there are shown as if intact.
const DamagedFile kDamagedFiles[] = {
    {"xc1n0g08", kPngUnsupported, 0, nullptr, "colour type 1 does not exist"},
    {"xc9n2c08", kPngUnsupported, 0, nullptr, "colour type 9 does not exist"},
    {"xcrn0g04", kPngCorrupt, 0, nullptr, "signature: line feed turned into CR LF"},
    {"xcsn0g01", kPngOk, kPngOk, "basn0g01", "accepted: only the image-data CRC is wrong"},
    {"xd0n2c08", kPngUnsupported, 0, nullptr, "bit depth 0"},
    {"xd3n2c08", kPngUnsupported, 0, nullptr, "bit depth 3"},
    {"xd9n2c08", kPngUnsupported, 0, nullptr, "bit depth 99"},
    {"xdtn0g01", kPngOk, kPngCorrupt, nullptr, "container is fine, but there is no image-data chunk"},
    {"xhdn0g08", kPngOk, kPngOk, "basn0g08", "accepted: only the header chunk's CRC is wrong"},
    {"xlfn0g04", kPngCorrupt, 0, nullptr, "signature: CR LF turned into CR CR LF"},
    {"xs1n0g01", kPngCorrupt, 0, nullptr, "signature byte 1 lost its top bit"},
    {"xs2n0g01", kPngCorrupt, 0, nullptr, "signature byte 2 is 'Q'"},
    {"xs4n0g01", kPngCorrupt, 0, nullptr, "signature byte 4 is lower case"},
    {"xs7n0g01", kPngCorrupt, 0, nullptr, "signature byte 7 is a space instead of 26"},
};

class PngSuiteDamaged : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteDamaged, FailsOrIsShownAsTheTableSays)
{
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
    const std::string& stem = GetParam();
    const DamagedFile* entry = std::find_if(std::begin(kDamagedFiles), std::end(kDamagedFiles),
                                            [&](const DamagedFile& row) { return stem == row.stem; });
    ASSERT_NE(entry, std::end(kDamagedFiles)) << "a damaged file this table does not describe";
    SCOPED_TRACE(entry->reason);
    expectCodes(file, entry->attachCode, entry->decodeCode);
    if (entry->twin != nullptr) {
        Bitmap damaged;
        Bitmap twin;
        ASSERT_EQ(decodeToBitmap(file, damaged), kPngOk);
        ASSERT_EQ(decodeToBitmap(readSuiteFile(entry->twin), twin), kPngOk);
        EXPECT_EQ(damaged.bits, twin.bits);
        EXPECT_EQ(0, std::memcmp(&damaged.info, &twin.info, sizeof damaged.info));
    }
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteDamaged, testing::ValuesIn(suiteFiles(true)), nameOf);

// ---- images written by libpng with one forced row filter ---------------------------------

struct WrittenFormat {
    int colourType, bitDepth, interlace;
};

// Random samples (and a random full palette) of `format` written by libpng with filter type
// `filter` (0 None to 4 Paeth) forced on every row.
Bytes libpngWrite(const WrittenFormat& format, unsigned filter, std::uint32_t width, std::uint32_t height, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const int channels = format.colourType == 0 || format.colourType == 3 ? 1 : format.colourType == 4 ? 2 : format.colourType == 2 ? 3 : 4;
    std::vector<Bytes> rows(height, Bytes((width * static_cast<std::size_t>(channels * format.bitDepth) + 7) / 8));
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) {
        for (unsigned char& byte : row) {
            byte = static_cast<unsigned char>(random());
        }
        pointers.push_back(row.data());
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    const auto write = [](png_structp to, png_bytep data, png_size_t count) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(to));
        bytes->insert(bytes->end(), data, data + count);
    };
    png_set_write_fn(png, &out, write, [](png_structp) {});
    png_set_IHDR(png, info, width, height, format.bitDepth, format.colourType, format.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(256);
    for (png_color& colour : palette) {
        colour = {static_cast<png_byte>(random()), static_cast<png_byte>(random()), static_cast<png_byte>(random())};
    }
    if (format.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), 1 << format.bitDepth);
    }
    png_set_filter(png, 0, PNG_FILTER_NONE << filter);  // the flags run None, Sub, Up, Average, Paeth
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Every format the decoder knows, plain and interlaced.
std::vector<WrittenFormat> writtenFormats()
{
    std::vector<WrittenFormat> all;
    for (const auto& format : kLayouts) {
        for (int interlace : {0, 1}) {
            all.push_back({format.first.first, format.first.second, interlace});
        }
    }
    return all;
}

class LibpngWritten : public testing::TestWithParam<WrittenFormat> {};

// Each row filter in turn at sizes that leave Adam7 passes empty (1x1, 3x2), fill all of them
// (8x8), and end mid-byte.
TEST_P(LibpngWritten, RendersAsLibpngDecodesIt)
{
    const WrittenFormat& format = GetParam();
    for (unsigned filter = 0; filter <= 4; ++filter) {
        for (const auto& [width, height] : {std::pair{1u, 1u}, {3u, 2u}, {8u, 8u}, {13u, 7u}, {33u, 5u}}) {
            SCOPED_TRACE("filter " + std::to_string(filter) + ", " + std::to_string(width) + "x" + std::to_string(height));
            const Bytes file = libpngWrite(format, filter, width, height, width * 131 + static_cast<std::uint32_t>(format.bitDepth));
            ASSERT_FALSE(file.empty());
            // The first row of the image, or of its first pass, is the one whose row above counts
            // as zeros. libpng leaves a lone pixel unfiltered.
            ScopedPng png;
            ASSERT_EQ(png.attach(file), 1);
            ASSERT_EQ(pngDecode(png.image), 1);
            EXPECT_EQ(png.image.imageData[0], width * height == 1 ? 0 : filter);
            expectSameAsLibpng(file);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, LibpngWritten, testing::ValuesIn(writtenFormats()),
                         [](const testing::TestParamInfo<WrittenFormat>& row) {
                             return "type" + std::to_string(row.param.colourType) + "_depth" +
                                    std::to_string(row.param.bitDepth) + (row.param.interlace != 0 ? "_adam7" : "");
                         });

// ---- small images where sizes and rows bite ----------------------------------------------

// The size is what the inflated stream must fill: exactly that many bytes decode, one more is
// corrupt data.
TEST(DataSize, IsExactlyWhatTheStreamMayFill)
{
    const struct {
        const char* name;
        std::uint32_t width, height;
        std::uint8_t bitDepth, colourType, interlace;
        std::uint32_t bytes;
    } cases[] = {
        {"colour_3x2", 3, 2, 8, kPngColour, 0, 20},               // 2 rows of 9 bytes and a filter byte
        {"grey1_adam7_8x8", 8, 8, 1, kPngGrey, 1, 30},            // 2, 2, 2, 4, 4, 8 and 8
        {"colour_adam7_1x1", 1, 1, 8, kPngColour, 1, 4},          // pass 1 only
        {"grey1_width9", 9, 1, 1, kPngGrey, 0, 3},                // a ninth bit starts a byte
        {"rgba16_adam7_5x3", 5, 3, 16, kPngColourAlpha, 1, 127},  // all passes but the third
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PngImage image{};
        image.width = c.width;
        image.height = c.height;
        image.bitDepth = c.bitDepth;
        image.colourType = c.colourType;
        image.interlaceMethod = c.interlace;
        EXPECT_EQ(pngDataSize(image), c.bytes);
        for (std::uint32_t length : {c.bytes, c.bytes + 1}) {
            const Bytes file = PngBuilder().header(c.width, c.height, c.bitDepth, c.colourType, c.interlace)
                                   .imageData(zlibCompress(Bytes(length, 0), 9)).end().bytes();
            ScopedPng png;
            ASSERT_EQ(png.attach(file), 1);
            EXPECT_EQ(pngDecode(png.image), length == c.bytes ? 1 : 0) << length << " bytes";
        }
    }
}

// An image of the given filtered rows (filter bytes included).
Bytes imageOf(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, const Bytes& rows)
{
    return PngBuilder().header(width, height, bitDepth, colourType).imageData(zlibCompress(rows, 6)).end().bytes();
}

TEST(PngSmallImage, TwoBitGreyBecomesFourBitWithFourGreyLevels)
{
    // One pixel of level 2; the other three pixels of the byte are padding.
    Bitmap bitmap;
    ASSERT_EQ(decodeToBitmap(imageOf(1, 1, 2, kPngGrey, {0, 0x80}), bitmap), kPngOk);
    ASSERT_EQ(bitmap.info.header.biClrUsed, 4u);
    for (int i = 0; i < 4; ++i) {
        const PngColourEntry& entry = bitmap.info.colours[i];
        const auto level = static_cast<unsigned char>(85 * i);
        EXPECT_EQ(Bytes({entry.rgbBlue, entry.rgbGreen, entry.rgbRed, entry.rgbReserved}), Bytes({level, level, level, 0}));
    }
    EXPECT_EQ(bitmap.bits[0], 0x20);
}

TEST(PngSmallImage, FilterTypeFiveFailsTheRender)
{
    const Bytes file = imageOf(3, 2, 8, kPngGrey, {0, 1, 2, 3, 5, 4, 5, 6});
    Bitmap bitmap;
    EXPECT_EQ(decodeToBitmap(file, bitmap), kPngCorrupt);
}

TEST(PngPalette, TheFirstChunkCountsAndOnlyItsFirst256Entries)
{
    Bitmap bitmap;
    const Bytes twoChunks = PngBuilder().header(1, 1, 8, kPngIndexed).chunk("PLTE", {1, 2, 3, 4, 5, 6}).chunk("PLTE", {9, 9, 9})
                                .imageData(zlibCompress({0, 1}, 6)).end().bytes();
    ASSERT_EQ(decodeToBitmap(twoChunks, bitmap), kPngOk);
    const PngColourEntry* colours = bitmap.info.colours;
    EXPECT_EQ(Bytes({colours[1].rgbBlue, colours[1].rgbGreen, colours[1].rgbRed}), Bytes({6, 5, 4}));
    EXPECT_EQ(Bytes({colours[2].rgbBlue, colours[2].rgbGreen, colours[2].rgbRed}), Bytes({0, 0, 0}));
    EXPECT_EQ(bitmap.info.header.biClrUsed, 0u);

    Bytes entries;
    for (int i = 0; i < 300; ++i) {
        entries.insert(entries.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8), 7});
    }
    const Bytes longPalette =
        PngBuilder().header(1, 1, 8, kPngIndexed).chunk("PLTE", entries).imageData(zlibCompress({0, 255}, 6)).end().bytes();
    Bitmap last;
    ASSERT_EQ(decodeToBitmap(longPalette, last), kPngOk);
    EXPECT_EQ(bitmapPixel(last, 0, 0), 255u);
    const PngColourEntry& entry = last.info.colours[255];
    EXPECT_EQ(Bytes({entry.rgbBlue, entry.rgbGreen, entry.rgbRed}), Bytes({7, 0, 255}));
}

}  // namespace
