// PNG decoder against libpng: PngSuite, random rows of every format and filter, the x*.png files, small edge images.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>

#include "png_test_support.h"

namespace {

using namespace pngtest;

struct Reference {
    std::uint32_t width = 0, height = 0;
    int depth = 0, type = 0;
    Bytes pixels;  // B, G, R, and alpha for colour with alpha
};

// libpng's decoding as the bitmap shows it: 16-bit cut to the high byte, no alpha but RGBA's, no gamma or background.
bool libpngDecode(const Bytes& file, Reference& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::FILE* source = fmemopen(const_cast<unsigned char*>(file.data()), file.size(), "rb");
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(source);
        return false;
    }
    png_init_io(png, source);
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.depth = png_get_bit_depth(png, info);
    out.type = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (out.type != PNG_COLOR_TYPE_RGB_ALPHA) png_set_strip_alpha(png);  // also cancels the palette's and grey's transparency
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    out.pixels.resize(rowBytes * out.height);
    std::vector<png_bytep> rows;
    for (std::uint32_t y = 0; y < out.height; ++y) rows.push_back(out.pixels.data() + y * rowBytes);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(source);
    return true;
}

template <typename... T>
std::string join(T... values)
{
    std::string text;
    ((text += std::to_string(values) + " "), ...);
    return text;
}

// The bitmap's header and stride as each format must get them, and every pixel (through the colour table) as libpng's.
void expectSameAsLibpng(const Bytes& file)
{
    Reference ref;
    ASSERT_TRUE(libpngDecode(file, ref)) << "libpng rejects the image";
    const Decoded d = decode(file);
    ASSERT_EQ(d.outcome, "ok");
    const PngBitmapHeader& h = d.info.header;
    const int bits = ref.type == 2 ? 24 : ref.type == 6 ? 32 : ref.depth == 2 ? 4 : std::min(ref.depth, 8);
    const unsigned colours = ref.type == 0 || ref.type == 4 ? (ref.depth == 2 ? 4u : 1u << bits) : 0u;
    ASSERT_EQ(join(h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, h.biCompression, h.biClrUsed, d.stride),
              join(40, ref.width, -static_cast<std::int64_t>(ref.height), 1, bits, 0, colours, (ref.width * bits + 31) / 32 * 4));
    Bytes shown;
    for (std::uint32_t y = 0; y < ref.height; ++y) {
        const unsigned char* row = d.bits.data() + y * d.stride;
        for (std::size_t x = 0, at = 0; x < ref.width; ++x, at += static_cast<std::size_t>(bits)) {
            const PngColourEntry& c = d.info.colours[bits > 8 ? 0 : (row[at / 8] >> (8 - bits - at % 8)) & ((1 << bits) - 1)];
            if (bits > 8) shown.insert(shown.end(), row + at / 8, row + (at + static_cast<std::size_t>(bits)) / 8);
            else shown.insert(shown.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed});
        }
    }
    const auto first = std::mismatch(shown.begin(), shown.end(), ref.pixels.begin(), ref.pixels.end()).first;
    EXPECT_TRUE(shown == ref.pixels) << "first difference at byte " << (first - shown.begin());
}

// Stems of the folder's PNG files, or one missing name when there is no folder, so its test reports the skip.
std::vector<std::string> suiteFiles(bool damaged)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(suiteFolder(), error)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() == ".png" && (stem[0] == 'x') == damaged) names.push_back(stem);
    }
    std::sort(names.begin(), names.end());
    return names.empty() ? std::vector<std::string>{"FolderMissing"} : names;
}

class PngSuiteImage : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteImage, RendersAsLibpngDecodesIt)
{
    PNGSUITE_FILE_OR_SKIP(file, GetParam());
    expectSameAsLibpng(file);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteImage, testing::ValuesIn(suiteFiles(false)),
                         [](const testing::TestParamInfo<std::string>& row) { return row.param; });

// CRCs are never computed: xcsn0g01 and xhdn0g08, damaged only there, show as their twins.
TEST(PngSuite, DamagedFilesFailOrShowAsTheirTwin)
{
    const std::map<std::string, std::string> expected = {
        {"xc1n0g08", "attach 8193"}, {"xc9n2c08", "attach 8193"}, {"xcrn0g04", "attach 8192"}, {"xcsn0g01", "basn0g01"},
        {"xd0n2c08", "attach 8193"}, {"xd3n2c08", "attach 8193"}, {"xd9n2c08", "attach 8193"}, {"xdtn0g01", "decode 8192"},
        {"xhdn0g08", "basn0g08"},    {"xlfn0g04", "attach 8192"}, {"xs1n0g01", "attach 8192"}, {"xs2n0g01", "attach 8192"},
        {"xs4n0g01", "attach 8192"}, {"xs7n0g01", "attach 8192"},
    };
    for (const std::string& stem : suiteFiles(true)) {
        PNGSUITE_FILE_OR_SKIP(file, stem);
        ASSERT_EQ(expected.count(stem), 1u) << stem << " is a damaged file this table does not describe";
        const Decoded d = decode(file);
        const std::string& want = expected.at(stem);
        if (want[0] != 'b') {
            EXPECT_EQ(d.outcome, want) << stem;
            continue;
        }
        const Decoded twin = decode(readSuiteFile(want));
        EXPECT_TRUE(d.outcome == "ok" && d.bits == twin.bits && std::memcmp(&d.info, &twin.info, sizeof d.info) == 0) << stem;
    }
}

// Every format, plain and Adam7, one filter throughout, at sizes leaving passes empty, filling them, ending mid-byte.
TEST(PngRows, EveryFormatAndFilterRendersAsLibpngDecodesIt)
{
    std::mt19937 random(7);
    const int formats[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                              {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (const auto& [type, depth] : formats)
        for (int interlace : {0, 1})
            for (unsigned char filter = 0; filter <= 4; ++filter)
                for (const auto& [width, height] : {std::pair{1u, 1u}, {3u, 2u}, {13u, 7u}, {33u, 5u}}) {
                    SCOPED_TRACE(join(type, depth, interlace, filter, width, height));
                    const int pixelBits = depth * (type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1);
                    Bytes data, palette(type == kPngIndexed ? 3u << depth : 0);
                    const auto rows = [&](std::uint32_t columns, std::uint32_t count) {
                        for (std::uint32_t row = 0; columns != 0 && row < count; ++row)
                            for (std::uint32_t i = 0; i <= (columns * pixelBits + 7) / 8; ++i)
                                data.push_back(i == 0 ? filter : static_cast<unsigned char>(random()));
                    };
                    if (interlace == 0) rows(width, height);
                    else for (const Adam7Pass& pass : kAdam7Passes)
                        rows(adam7Count(width, pass.startColumn, pass.columnStep), adam7Count(height, pass.startRow, pass.rowStep));
                    for (unsigned char& entry : palette) entry = static_cast<unsigned char>(random());
                    PngBuilder png;
                    png.header(width, height, depth, type, interlace);
                    if (!palette.empty()) png.chunk("PLTE", palette);
                    expectSameAsLibpng(png.imageData(zlibCompress(data, 6)).end());
                }
}

// The size the inflated stream must fill: exactly that many bytes decode, one more is corrupt data.
TEST(PngImageData, SizeIsExactlyWhatTheStreamMayFill)
{
    const struct {
        std::uint32_t width, height;
        int depth, type, interlace;
        std::size_t bytes;
    } cases[] = {
        {3, 2, 8, kPngColour, 0, 20},               // 2 rows of 9 bytes and a filter byte
        {8, 8, 1, kPngGrey, 1, 30},                 // 2, 2, 2, 4, 4, 8 and 8
        {1, 1, 8, kPngColour, 1, 4},                // pass 1 only
        {9, 1, 1, kPngGrey, 0, 3},                  // a ninth bit starts a byte
        {5, 3, 16, kPngColourAlpha, 1, 127},        // all passes but the third
    };
    for (const auto& c : cases) {
        for (std::size_t extra : {0, 1}) {
            const Bytes file = PngBuilder().header(c.width, c.height, c.depth, c.type, c.interlace)
                                   .imageData(zlibCompress(Bytes(c.bytes + extra, 0), 9)).end();
            EXPECT_EQ(decode(file).outcome, extra == 0 ? "ok" : "decode 8192") << c.bytes << " + " << extra;
        }
    }
}

std::string hex(const unsigned char* data, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += {"0123456789abcdef"[data[i] >> 4], "0123456789abcdef"[data[i] & 15]};
    return text;
}

// Formats, strides and grey levels are PngRows's; here what random rows never make.
TEST(PngSmallImage, SizesFiltersAndColourTables)
{
    const auto image = [](std::uint32_t width, std::uint32_t height, int depth, int type, const Bytes& rows, const Bytes& palette = {}) {
        PngBuilder png;
        png.header(width, height, depth, type);
        if (!palette.empty()) png.chunk("PLTE", palette).chunk("PLTE", {9, 9, 9});  // only the first counts
        return decode(png.imageData(zlibCompress(rows, 6)).end());
    };
    Bytes longPalette(900, 7);  // 300 entries, the 256th of them red 1
    longPalette[765] = 1;
    const struct {
        const char* name;
        Decoded d;
        int firstColour, colours;  // colour-table entries shown
        std::size_t bytes;         // bitmap bytes shown
        const char* expected;      // outcome, stride, colours used, the entries, the bytes
    } cases[] = {
        {"filterType5", image(3, 2, 8, kPngGrey, {0, 1, 2, 3, 5, 4, 5, 6}), 0, 0, 0, "render 8192 4 256  "},
        {"zeroPastPalette", image(1, 1, 8, kPngIndexed, {0, 1}, {1, 2, 3, 4, 5, 6}), 0, 3, 1, "ok 4 0 030201000605040000000000 01"},
        {"paletteCutAt256", image(1, 1, 8, kPngIndexed, {0, 255}, longPalette), 255, 1, 1, "ok 4 0 07070100 ff"},
    };
    for (const auto& c : cases) {
        const auto* table = reinterpret_cast<const unsigned char*>(c.d.info.colours + c.firstColour);
        EXPECT_EQ(c.d.outcome + " " + join(c.d.stride, c.d.info.header.biClrUsed) + hex(table, 4u * c.colours) + " " +
                      hex(c.d.bits.data(), std::min(c.bytes, c.d.bits.size())), c.expected) << c.name;
    }
}

}  // namespace
