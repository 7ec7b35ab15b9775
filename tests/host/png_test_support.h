// Helpers for the PNG decoder tests: PNG files built chunk by chunk, zlib streams made by zlib,
// deflate streams written bit by bit, and a record that cleans up after itself.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/png_image.h"

namespace pngtest {

using Bytes = std::vector<unsigned char>;

inline void appendBigEndian32(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

inline Bytes headerData(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                        int interlace = 0, int compression = 0, int filter = 0)
{
    Bytes data;
    appendBigEndian32(data, width);
    appendBigEndian32(data, height);
    for (int field : {bitDepth, colourType, compression, filter, interlace}) {
        data.push_back(static_cast<unsigned char>(field));
    }
    return data;
}

// The PngSuite folder: ENIGO_PNGSUITE_DIR from the environment, else from the build; "" if
// neither names one.
inline std::string suiteFolder()
{
    if (const char* fromEnvironment = std::getenv("ENIGO_PNGSUITE_DIR")) {
        return fromEnvironment;
    }
#ifdef ENIGO_PNGSUITE_DIR
    return ENIGO_PNGSUITE_DIR;
#else
    return "";
#endif
}

// The bytes of a PngSuite file, none when it cannot be read.
inline Bytes readSuiteFile(const std::string& stem)
{
    std::ifstream file(std::filesystem::path(suiteFolder()) / (stem + ".png"), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Declares `file` as the PngSuite file `stem`, or skips the test when there is none to read.
#define PNGSUITE_FILE_OR_SKIP(file, stem)                                                     \
    const pngtest::Bytes file = pngtest::readSuiteFile(stem);                                 \
    if (file.empty()) {                                                                       \
        GTEST_SKIP() << "PngSuite not in '" << pngtest::suiteFolder() << "': set ENIGO_PNGSUITE_DIR"; \
    }

// A call on the ScopedPng `png` that must fail, leaving `code` in its record.
#define EXPECT_FAILS_WITH(png, call, code)          \
    do {                                            \
        EXPECT_EQ((call), 0) << #call;              \
        EXPECT_EQ((png).image.errorCode, (code));   \
    } while (0)

// A PNG file assembled in order; every chunk gets its correct CRC unless told otherwise.
class PngBuilder {
public:
    PngBuilder() : bytes_{137, 80, 78, 71, 13, 10, 26, 10} {}

    PngBuilder& chunk(const std::string& name, const Bytes& data)
    {
        return chunkWithLength(name, data, static_cast<std::uint32_t>(data.size()));
    }

    // A frame whose length field says `length`, whatever data follows.
    PngBuilder& chunkWithLength(const std::string& name, const Bytes& data, std::uint32_t length)
    {
        appendBigEndian32(bytes_, length);
        const std::size_t nameAt = bytes_.size();
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        const uLong crc = crc32(0, bytes_.data() + nameAt, static_cast<uInt>(bytes_.size() - nameAt));
        appendBigEndian32(bytes_, static_cast<std::uint32_t>(crc));
        return *this;
    }

    PngBuilder& header(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, int interlace = 0)
    {
        return chunk("IHDR", headerData(width, height, bitDepth, colourType, interlace));
    }

    PngBuilder& palette(int entries)
    {
        Bytes data;
        for (int i = 0; i < entries; ++i) {
            const auto index = static_cast<unsigned char>(i);
            data.insert(data.end(), {index, static_cast<unsigned char>(255 - i), static_cast<unsigned char>(i * 7)});
        }
        return chunk("PLTE", data);
    }

    // The stream split into image-data chunks of the given sizes, the last one taking the rest.
    PngBuilder& imageData(const Bytes& stream, const std::vector<std::size_t>& pieces = {})
    {
        std::size_t at = 0;
        for (std::size_t piece : pieces) {
            const std::size_t take = std::min(piece, stream.size() - at);
            chunk("IDAT", Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                                stream.begin() + static_cast<std::ptrdiff_t>(at + take)));
            at += take;
        }
        return chunk("IDAT", Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at), stream.end()));
    }

    PngBuilder& end() { return chunk("IEND", {}); }

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// zlib's own compression, the reference producer of the streams the decoder reads.
inline Bytes zlibCompress(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY, int windowBits = 15)
{
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, strategy) != Z_OK) {
        return {};
    }
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END ? out : Bytes{};
}

// A PNG whose inflated image data is exactly `size` bytes: one row of 8-bit grey.
inline Bytes carrierPng(std::size_t size, const Bytes& stream, const std::vector<std::size_t>& pieces = {})
{
    return PngBuilder()
        .header(static_cast<std::uint32_t>(size - 1), 1, 8, kPngGrey)
        .imageData(stream, pieces)
        .end()
        .bytes();
}

// Writes a deflate stream: fields least significant bit first, Huffman codes most significant
// bit first, as the format packs them.
class DeflateWriter {
public:
    DeflateWriter& bits(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            putBit((value >> i) & 1u);
        }
        return *this;
    }

    DeflateWriter& code(std::uint32_t value, int length)
    {
        for (int i = length - 1; i >= 0; --i) {
            putBit((value >> i) & 1u);
        }
        return *this;
    }

    DeflateWriter& zlibHeader() { return bytes({0x78, 0x01}); }

    // Block header: final bit and type.
    DeflateWriter& block(bool last, int type) { return bits(last ? 1 : 0, 1).bits(static_cast<std::uint32_t>(type), 2); }

    // The rest of the current byte is left as padding.
    DeflateWriter& alignToByte()
    {
        bitCount_ = 0;
        return *this;
    }

    DeflateWriter& bytes(const Bytes& data)
    {
        alignToByte();
        out_.insert(out_.end(), data.begin(), data.end());
        return *this;
    }

    DeflateWriter& stored(bool last, const Bytes& data)
    {
        const auto length = static_cast<std::uint32_t>(data.size());
        return block(last, 0).alignToByte().bits(length, 16).bits(~length & 0xFFFFu, 16).bytes(data);
    }

    // A symbol of the fixed literal/length code.
    DeflateWriter& fixedSymbol(int symbol)
    {
        if (symbol < 144) {
            return code(0x30u + static_cast<std::uint32_t>(symbol), 8);
        }
        if (symbol < 256) {
            return code(0x190u + static_cast<std::uint32_t>(symbol - 144), 9);
        }
        if (symbol < 280) {
            return code(static_cast<std::uint32_t>(symbol - 256), 7);
        }
        return code(0xC0u + static_cast<std::uint32_t>(symbol - 280), 8);
    }

    // A back-reference in a fixed block: length 3 to 258, distance 1 to 32768.
    DeflateWriter& fixedCopy(int length, int distance)
    {
        static const int lengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const int distanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                             33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        int l = 28;
        while (lengthBase[l] > length) {
            --l;
        }
        fixedSymbol(257 + l).bits(static_cast<std::uint32_t>(length - lengthBase[l]), lengthExtra[l]);
        int d = 29;
        while (distanceBase[d] > distance) {
            --d;
        }
        return code(static_cast<std::uint32_t>(d), 5).bits(static_cast<std::uint32_t>(distance - distanceBase[d]), d < 4 ? 0 : d / 2 - 1);
    }

    // Code-length symbols 0, 1, 2, 16, 17 and 18 by their 3-bit codes under dynamicHeader.
    enum LengthCode { kLength0, kLength1, kLength2, kRepeatPrevious, kRepeatZeros, kRepeatManyZeros };

    // A dynamic block header whose code-length code gives the symbols 0, 1, 2, 16, 17 and 18
    // the 3-bit codes 0 to 5; the literal/length and distance lengths follow with lengths().
    DeflateWriter& dynamicHeader(bool last, int literalCount, int distanceCount)
    {
        static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        block(last, 2).bits(static_cast<std::uint32_t>(literalCount - 257), 5);
        bits(static_cast<std::uint32_t>(distanceCount - 1), 5).bits(19 - 4, 4);
        for (int symbol : order) {
            bits(symbol <= 2 || symbol >= 16 ? 3 : 0, 3);
        }
        return *this;
    }

    // One code-length symbol with its repeat count (3-6, 3-10 or 11-138 for the repeats).
    DeflateWriter& lengths(LengthCode symbol, int repeat = 0)
    {
        code(static_cast<std::uint32_t>(symbol), 3);
        if (symbol == kRepeatPrevious) {
            bits(static_cast<std::uint32_t>(repeat - 3), 2);
        } else if (symbol == kRepeatZeros) {
            bits(static_cast<std::uint32_t>(repeat - 3), 3);
        } else if (symbol == kRepeatManyZeros) {
            bits(static_cast<std::uint32_t>(repeat - 11), 7);
        }
        return *this;
    }

    const Bytes& result() const { return out_; }

private:
    void putBit(std::uint32_t bit)
    {
        if (bitCount_ == 0) {
            out_.push_back(0);
        }
        out_.back() = static_cast<unsigned char>(out_.back() | bit << bitCount_);
        bitCount_ = (bitCount_ + 1) % 8;
    }

    Bytes out_;
    int bitCount_ = 0;
};

// A PngImage that is cleaned up at the end of its scope.
struct ScopedPng {
    PngImage image;
    ScopedPng() { pngInit(image); }
    ~ScopedPng() { pngCleanup(image); }
    ScopedPng(const ScopedPng&) = delete;
    ScopedPng& operator=(const ScopedPng&) = delete;

    // The bytes are read in place: they must outlive the record.
    int attach(const Bytes& bytes) { return pngAttach(image, bytes.data(), static_cast<std::uint32_t>(bytes.size())); }
    int attach(Bytes&&) = delete;
};

// A rendered bitmap: its header and colour table, and the pixel rows.
struct Bitmap {
    PngBitmapInfo info{};
    std::uint32_t format = 0;
    std::size_t stride = 0;
    Bytes bits;
};

// Attaches and decodes, expecting each step to end with its code; a refused file must leave
// the record empty, as a fresh one.
inline void expectCodes(const Bytes& file, std::uint32_t attachCode, std::uint32_t decodeCode)
{
    ScopedPng png;
    ASSERT_EQ(png.attach(file), attachCode == kPngOk ? 1 : 0);
    EXPECT_EQ(png.image.errorCode, attachCode);
    if (attachCode != kPngOk) {
        EXPECT_EQ(png.image.decodeState, kPngEmpty);
        EXPECT_EQ(png.image.sourceState, kPngNoSource);
        return;
    }
    EXPECT_EQ(png.image.decodeState, kPngAccepted);
    EXPECT_EQ(pngDecode(png.image), decodeCode == kPngOk ? 1 : 0);
    EXPECT_EQ(png.image.errorCode, decodeCode);
}

// Attaches, decodes and renders; on failure returns the failing code (else kPngOk).
inline std::uint32_t decodeToBitmap(const Bytes& png, Bitmap& bitmap)
{
    ScopedPng decoder;
    PngImage& image = decoder.image;
    if (!decoder.attach(png) || !pngDecode(image) || !pngBitmapInfo(image, bitmap.info, bitmap.format)) {
        return image.errorCode;
    }
    bitmap.stride = static_cast<std::size_t>(pngBitmapStride(image));
    // Not zero, as a new bitmap of the system need not be: every pixel must be written.
    bitmap.bits.assign(bitmap.stride * image.height, 0xCD);
    if (!pngRender(image, kPngAutoFormat, bitmap.bits.data(), bitmap.bits.size())) {
        return image.errorCode;
    }
    return kPngOk;
}

// Value of the pixel at column x of a bitmap row of `bits`-bit pixels (1, 4, 8); for wider
// pixels the bytes, first byte lowest.
inline std::uint32_t bitmapPixel(const Bitmap& bitmap, std::uint32_t x, std::uint32_t y)
{
    const unsigned bits = bitmap.info.header.biBitCount;
    const unsigned char* row = bitmap.bits.data() + y * bitmap.stride;
    if (bits >= 8) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < bits / 8; ++i) {
            value |= static_cast<std::uint32_t>(row[x * (bits / 8) + i]) << (8 * i);
        }
        return value;
    }
    const std::size_t at = static_cast<std::size_t>(x) * bits;
    return (row[at / 8] >> (8 - bits - at % 8)) & ((1u << bits) - 1);
}

}  // namespace pngtest
