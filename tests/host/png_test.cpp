// PNG decoder: PngSuite against libpng, zlib's streams inflated, damaged files and streams with the code
// each gets, and a truncation and bit-flip sweep.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "pictures/png_internal.h"

namespace {

using Byte = unsigned char;
using Bytes = std::vector<Byte>;

void put32(Bytes& out, std::uint32_t v) { out.insert(out.end(), {Byte(v >> 24), Byte(v >> 16), Byte(v >> 8), Byte(v)}); }

struct Png {  // a PNG file assembled in order, every chunk with its correct CRC
    static constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
    Bytes bytes = Bytes(kSignature, kSignature + 8);
    Png& chunk(const char* name, const Bytes& data, std::uint32_t length = 0)  // a length given replaces the data's
    {
        put32(bytes, length != 0 ? length : static_cast<std::uint32_t>(data.size()));
        const std::size_t at = bytes.size();
        bytes.insert(bytes.end(), name, name + 4);
        bytes.insert(bytes.end(), data.begin(), data.end());
        put32(bytes, static_cast<std::uint32_t>(crc32(0, bytes.data() + at, static_cast<uInt>(bytes.size() - at))));
        return *this;
    }
    Png& header(std::uint32_t width, std::uint32_t height, Byte depth, Byte type, Byte interlace = 0)
    {
        return chunk("IHDR", {Byte(width >> 24), Byte(width >> 16), Byte(width >> 8), Byte(width), Byte(height >> 24),
                              Byte(height >> 16), Byte(height >> 8), Byte(height), depth, type, 0, 0, interlace});
    }
    Bytes end() { return chunk("IEND", {}).bytes; }
};

Bytes zlib(const Bytes& data, int level = 6, int strategy = Z_DEFAULT_STRATEGY)
{
    z_stream z{};
    Bytes out(data.size() + data.size() / 100 + 64);
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    z.next_in = const_cast<Bytef*>(data.data()), z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data(), z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    deflateEnd(&z);
    return out.resize(z.total_out), out;
}

Bytes patch(Bytes bytes, std::size_t at, Byte value) { return bytes[at] = value, bytes; }
Bytes cut(Bytes bytes, std::size_t size) { return bytes.resize(size), bytes; }
Bytes flip(Bytes bytes, std::size_t bit) { return bytes[bit / 8] ^= Byte(1 << bit % 8), bytes; }

// The last call and the code it left ("ok 0", "attach 8192"; "large"), the image data, the bitmap and its header.
struct Decoded { std::string outcome; Bytes data, bits; PngBitmapInfo info{}; std::uint32_t format = 0; };

// The picture loader's calls, two out of order (fuzzing checks what failures leave); no image data over maxData.
Decoded decode(const Bytes& file, std::uint32_t maxData = 1u << 22)
{
    Decoded d;
    PngImage image{};
    const auto end = [&](const char* call) { return d.outcome = call + (" " + std::to_string(image.errorCode)), pngCleanup(image), d; };
    if (!pngAttach(image, file.data(), static_cast<std::uint32_t>(file.size()))) return end("attach");
    EXPECT_TRUE(!pngBitmapInfo(image, d.info, d.format) && image.errorCode == kPngWrongState) << "info before inflating";
    if (pngDataSize(image) > maxData) return d.outcome = "large", d;
    if (!pngDecode(image)) return end("decode");
    d.data.assign(image.imageData, image.imageData + image.imageDataSize);
    EXPECT_TRUE(!pngDecode(image) && image.errorCode == kPngWrongState) << "inflated twice";
    if (!pngBitmapInfo(image, d.info, d.format)) return end("info");
    d.bits.assign(pngBitmapStride(image) * image.height, 0xCD);  // not zero, as a new bitmap need not be
    return end(pngRender(image, d.format, d.bits.data(), d.bits.size()) ? "ok" : "render");
}

std::string suiteFolder() { const char* set = std::getenv("ENIGO_PNGSUITE_DIR"); return set ? set : ENIGO_PNGSUITE_DIR; }

Bytes suiteFile(const std::string& stem)  // empty when missing
{
    return Bytes(std::istreambuf_iterator<char>(std::ifstream(suiteFolder() + "/" + stem + ".png").rdbuf()), {});
}

// The bitmap header of each format, and every pixel as libpng's: B, G, R (alpha of RGBA only), high bytes, no gamma.
void expectSameAsLibpng(const Bytes& file, Bytes reference)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) FAIL() << "libpng rejects the image";
    png_init_io(png, fmemopen(reference.data(), reference.size(), "rb"));
    png_read_png(png, info, PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_GRAY_TO_RGB | PNG_TRANSFORM_BGR |
                                (reference[25] == kPngColourAlpha ? 0 : PNG_TRANSFORM_STRIP_ALPHA), nullptr);  // also drops tRNS
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    const int depth = reference[24], type = reference[25];  // as in the file, not as transformed
    Bytes expected, shown;
    for (png_uint_32 y = 0; y < height; ++y)
        expected.insert(expected.end(), png_get_rows(png, info)[y], png_get_rows(png, info)[y] + png_get_rowbytes(png, info));
    std::fclose(static_cast<std::FILE*>(png_get_io_ptr(png)));
    png_destroy_read_struct(&png, &info, nullptr);

    const Decoded d = decode(file);
    ASSERT_EQ(d.outcome, "ok 0");
    const PngBitmapHeader& h = d.info.header;
    const int bits = type == 2 ? 24 : type == 6 ? 32 : depth == 2 ? 4 : std::min(depth, 8);
    const unsigned colours = type == 0 || type == 4 ? (depth == 2 ? 4u : 1u << bits) : 0u;
    EXPECT_EQ(std::vector<std::int64_t>({h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, h.biCompression, h.biClrUsed,
                                         static_cast<std::int64_t>(d.bits.size() / height)}),
              std::vector<std::int64_t>({40, width, -std::int64_t{height}, 1, bits, 0, colours, (width * bits + 31) / 32 * 4}));
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::size_t x = 0, at = y * d.bits.size() / height * 8; x < width; ++x, at += static_cast<std::size_t>(bits)) {
            const PngColourEntry& c = d.info.colours[bits > 8 ? 0 : (d.bits[at / 8] >> (8 - bits - at % 8)) & ((1 << bits) - 1)];
            if (bits > 8) shown.insert(shown.end(), &d.bits[at / 8], &d.bits[at / 8] + bits / 8);
            else shown.insert(shown.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed});
        }
    EXPECT_TRUE(shown == expected) << "from byte " << std::mismatch(shown.begin(), shown.end(), expected.begin()).first - shown.begin();
}

// Every file; the damaged ones (x...) fail with their code or, as CRCs are never checked, show as their twin.
TEST(PngSuite, EveryFileShowsAsLibpngDecodesItAndDamageFailsCleanly)
{
    std::map<std::string, std::string> damaged = {{"xc1n0g08", "attach 8193"}, {"xc9n2c08", "attach 8193"},
        {"xcrn0g04", "attach 8192"}, {"xcsn0g01", "basn0g01"}, {"xd0n2c08", "attach 8193"}, {"xd3n2c08", "attach 8193"},
        {"xd9n2c08", "attach 8193"}, {"xdtn0g01", "decode 8192"}, {"xhdn0g08", "basn0g08"}, {"xlfn0g04", "attach 8192"},
        {"xs1n0g01", "attach 8192"}, {"xs2n0g01", "attach 8192"}, {"xs4n0g01", "attach 8192"}, {"xs7n0g01", "attach 8192"}};
    if (!std::filesystem::is_directory(suiteFolder())) GTEST_SKIP() << "no PngSuite at " << suiteFolder() << ": set ENIGO_PNGSUITE_DIR";
    for (const auto& entry : std::filesystem::directory_iterator(suiteFolder())) {
        const std::string stem = entry.path().stem().string(), twin = stem[0] != 'x' ? stem : damaged[stem];
        SCOPED_TRACE(stem);
        if (entry.path().extension() != ".png") continue;
        if (twin[0] == 'b' || twin == stem) expectSameAsLibpng(suiteFile(stem), suiteFile(twin));
        else EXPECT_EQ(decode(suiteFile(stem)).outcome, twin) << "a damaged file the table does not describe?";
    }
    // Each truncation and bit flip of a file of fixed and dynamic blocks, palette and Adam7 rows fails cleanly.
    const Bytes file = suiteFile("basi3p02");
    const std::string allowed = "|ok 0|large|attach 8192|attach 8193|attach 12290|decode 8192|decode 4097|render 8192|";
    const auto listed = [&](const std::string& outcome) { return allowed.find("|" + outcome + "|") != allowed.npos; };
    for (std::size_t i = 0; i < 9 * file.size() && !HasFailure(); ++i)
        EXPECT_PRED1(listed, decode(i < file.size() ? cut(file, i) : flip(file, i - file.size())).outcome) << i;
}

// The stream as a PNG of one 8-bit grey row of `size` image data bytes: in chunks of these sizes, then the rest.
Bytes asPng(const Bytes& stream, std::size_t size = 5000, const std::vector<std::size_t>& pieces = {})
{
    Png png = Png().header(static_cast<std::uint32_t>(size - 1), 1, 8, kPngGrey);
    auto at = stream.begin();
    for (std::size_t piece : pieces) png.chunk("IDAT", Bytes(at, at + static_cast<std::ptrdiff_t>(piece))), at += piece;
    return png.chunk("IDAT", Bytes(at, stream.end())).end();
}

Bytes randomBytes(std::size_t size, unsigned range)  // 256: incompressible; small ranges: many short matches
{
    Bytes data;
    for (std::mt19937 random(size); data.size() < size;) data.push_back(Byte(random() % range));
    return data;
}

// zlib's streams inflate; damaged files and streams fail with their codes, CRCs unchecked. A header has its length at
// byte 11, name 12, width, height, depth 24, colour type 25, methods 26 to 28 (a header 12 long: interlace in the CRC).
TEST(PngFiles, StreamsInflateAndDamageFailsWithItsCodeOrIsPassedOver)
{
    Bytes far = randomBytes(60000, 256);  // a repeat 30000 bytes back takes the farthest distance codes
    std::copy(far.begin(), far.begin() + 30000, far.begin() + 30000);
    for (const Bytes& data : {randomBytes(70001, 256), randomBytes(90000, 6), Bytes(300000, 0), far})
        for (const auto& [level, strategy] : {std::pair{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY}, {9, Z_FILTERED},
                                              {6, Z_HUFFMAN_ONLY}, {6, Z_RLE}, {6, Z_FIXED}})
            EXPECT_TRUE(decode(asPng(zlib(data, level, strategy), data.size())).data == data) << level << " " << strategy;
    const auto head = [] { return Png().header(3, 1, 8, kPngGrey); };  // 3 x 1 grey: rows of 4 bytes
    const auto indexed = [] { return Png().header(3, 1, 8, kPngIndexed); };
    const Bytes row = zlib({0, 2, 0, 1}), grey = head().chunk("IDAT", row).end(), data = randomBytes(5000, 6);
    const Bytes stream = zlib(data), stored = zlib(data, 0), palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        const char *attach = "attach 8192", *unsupported = "attach 8193", *corrupt = "decode 8192";
    const std::tuple<const char*, Bytes, const char*> cases[] = {  // name, file, outcome
        {"empty", {}, "attach 12290"}, {"firstChunkNotHeader", patch(grey, 12, 'P'), attach},
        {"headerTooShort", patch(grey, 11, 12), attach}, {"widthZero", patch(grey, 19, 0), attach},
        {"width2pow31", patch(grey, 16, 0x80), attach}, {"height2pow31", patch(grey, 20, 0x80), attach},
        {"indexedWithoutPalette", patch(grey, 25, kPngIndexed), attach}, {"depth3", patch(grey, 24, 3), unsupported},
        {"compressionMethod1", patch(grey, 26, 1), unsupported}, {"filterMethod1", patch(grey, 27, 1), unsupported},
        {"interlaceMethod2", patch(grey, 28, 2), unsupported},
        {"unknownCriticalAfterEnd", Png{grey}.chunk("ABCD", {}).bytes, unsupported},
        {"unknownCritical", head().chunk("ABCD", {}).chunk("IDAT", row).end(), unsupported},
        {"hugeLengthEndsTheWalk", head().chunk("teXt", {'A'}, 0xFFFFFFF4u).chunk("ABCD", {}).chunk("IDAT", row).end(), corrupt},
        {"rowsWrapTo31Bits", Png().header(1073741825, 2147483646, 16, kPngColourAlpha).chunk("IDAT", row).end(), "decode 4097"},
        // The image data is what the rows and passes fill, no more: 2, 2, 2, 4, 4, 8, 8 bytes here.
        {"passesExact", Png().header(8, 8, 1, kPngGrey, 1).chunk("IDAT", zlib(Bytes(30, 0))).end(), "ok 0"},
        {"passesOneMore", Png().header(8, 8, 1, kPngGrey, 1).chunk("IDAT", zlib(Bytes(31, 0))).end(), corrupt},
        {"filterType5", head().chunk("IDAT", zlib({5, 1, 2, 3})).end(), "render 8192"},
        // The zlib header's check bits are not tested, nor is the Adler-32 trailer read.
        {"noTrailerNoCheck", asPng(patch(cut(stream, stream.size() - 4), 1, 0), 5002), "ok 0"},
        {"windowInfo8", asPng(patch(stream, 0, 0x88)), corrupt}, {"method7", asPng(patch(stream, 0, 0x77)), corrupt},
        {"presetDictionary", asPng(patch(stream, 1, 0xBB)), corrupt}, {"endsInside", asPng(cut(stream, 900)), corrupt},
        {"storedNotComplement", asPng(patch(stored, 5, Byte(stored[5] ^ 1))), corrupt},
        {"storedBeyond", asPng(stored, 4999), corrupt}, {"copyBeyond", asPng(zlib(Bytes(31, 0)), 30), corrupt},
        {"literalsBeyond", asPng(zlib(data, 6, Z_HUFFMAN_ONLY), 4999), corrupt},
        // Fixed blocks: "a" then 3 bytes 2 back; "a", length symbol 286; "a", distance symbol 30; block type 3.
        {"backReferenceBeforeStart", asPng({0x78, 0x01, 0x4B, 0x04, 0x42, 0x00}, 4), corrupt},
        {"backReferenceBeforeStartWithRoom", asPng(cut({0x78, 0x01, 0x4B, 0x04, 0x42, 0x00}, 40), 400), corrupt},
        {"lengthSymbol286", asPng({0x78, 0x01, 0x4B, 0x1C, 0x03, 0x00}, 10), corrupt},
        {"distanceSymbol30", asPng({0x78, 0x01, 0x4B, 0x04, 0x3E, 0x00}, 10), corrupt},
        {"blockType3", asPng({0x78, 0x01, 0x07, 0x00, 0x00}, 4), corrupt},
        // Streams over many chunks: only those directly after the first carry them on (their names at 149).
        {"oneByteChunks", asPng(stream, 5000, std::vector<std::size_t>(1000, 1)), "ok 0"},
        {"storedSplitWithEmpty", asPng(stored, 5000, {2, 1, 0, 1, 4000, 0, 3}), "ok 0"},
        {"secondNamediDAT", patch(asPng(stream, 5000, {100}), 149, 'i'), corrupt},
        {"emptyAncillaryBetween", patch(asPng(stream, 5000, {100, 0}), 149, 't'), corrupt},
    };
    for (const auto& [name, file, outcome] : cases) EXPECT_EQ(decode(file).outcome, outcome) << name;
    // A second palette, one after the image data, ancillary chunks, no end chunk, iHDR, CRCs: all passed over.
    const Bytes plain = indexed().chunk("PLTE", palette).chunk("IDAT", row).end();
    for (const Bytes& twin : {indexed().chunk("PLTE", palette).chunk("PLTE", {9, 9, 9}).chunk("IDAT", row).end(),
                              indexed().chunk("IDAT", row).chunk("PLTE", palette).chunk("abCD", {1}).bytes,
                              flip(patch(plain, 12, 'i'), 29 * 8)})
        expectSameAsLibpng(twin, plain);
}

}  // namespace
