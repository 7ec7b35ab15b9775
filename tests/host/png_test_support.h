// Helpers for the PNG decoder tests: PNG files chunk by chunk, zlib streams, deflate bit by bit, the whole decoder.
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

#include "pictures/png_internal.h"

namespace pngtest {

using Bytes = std::vector<unsigned char>;

inline void put32(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

inline Bytes headerData(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace = 0,
                        int compression = 0, int filter = 0)
{
    Bytes data;
    put32(data, width);
    put32(data, height);
    for (int field : {depth, type, compression, filter, interlace}) data.push_back(static_cast<unsigned char>(field));
    return data;
}

// A PNG file assembled in order; every chunk gets its correct CRC.
struct PngBuilder {
    static constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes bytes = Bytes(kSignature, kSignature + 8);

    // A negative length writes the data's own in the length field.
    PngBuilder& chunk(const std::string& name, const Bytes& data, std::int64_t length = -1)
    {
        put32(bytes, static_cast<std::uint32_t>(length < 0 ? static_cast<std::int64_t>(data.size()) : length));
        const std::size_t nameAt = bytes.size();
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
        put32(bytes, static_cast<std::uint32_t>(crc32(0, bytes.data() + nameAt, static_cast<uInt>(bytes.size() - nameAt))));
        return *this;
    }
    PngBuilder& header(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace = 0)
    {
        return chunk("IHDR", headerData(width, height, depth, type, interlace));
    }
    // The stream split into image-data chunks of the given sizes, the last one taking the rest.
    PngBuilder& imageData(const Bytes& stream, const std::vector<std::size_t>& pieces = {})
    {
        std::size_t at = 0;
        for (std::size_t piece : pieces) {
            const std::size_t take = std::min(piece, stream.size() - at);
            chunk("IDAT", Bytes(stream.begin() + at, stream.begin() + at + take));
            at += take;
        }
        return chunk("IDAT", Bytes(stream.begin() + at, stream.end()));
    }
    Bytes end() { return chunk("IEND", {}).bytes; }
};

inline Bytes zlibCompress(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY)
{
    z_stream z{};
    Bytes out(data.size() + data.size() / 100 + 64);
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A PNG whose image data inflates to exactly `size` bytes: one row of 8-bit grey.
inline Bytes carrier(const Bytes& stream, std::size_t size, const std::vector<std::size_t>& pieces = {})
{
    return PngBuilder().header(static_cast<std::uint32_t>(size - 1), 1, 8, kPngGrey).imageData(stream, pieces).end();
}

// Writes a deflate stream: fields least significant bit first, Huffman codes most significant first.
struct DeflateWriter {
    Bytes out;
    int bitCount = 0;  // bits used in the last byte

    DeflateWriter& bits(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i, bitCount = (bitCount + 1) % 8) {
            out.resize(out.size() + (bitCount == 0 ? 1 : 0));
            out.back() = static_cast<unsigned char>(out.back() | ((value >> i) & 1u) << bitCount);
        }
        return *this;
    }
    DeflateWriter& code(std::uint32_t value, int length)
    {
        for (int i = length - 1; i >= 0; --i) bits(value >> i, 1);
        return *this;
    }
    DeflateWriter& bytes(const Bytes& data)
    {
        bitCount = 0;
        out.insert(out.end(), data.begin(), data.end());
        return *this;
    }
    DeflateWriter& zlibHeader() { return bytes({0x78, 0x01}); }
    DeflateWriter& block(bool last, int type) { return bits(last, 1).bits(static_cast<std::uint32_t>(type), 2); }
    DeflateWriter& stored(bool last, std::uint32_t length, std::uint32_t complement, const Bytes& data)
    {
        block(last, 0).bitCount = 0;
        return bits(length, 16).bits(complement, 16).bytes(data);
    }
    DeflateWriter& fixed(int symbol)
    {
        const auto s = static_cast<std::uint32_t>(symbol);
        return symbol < 144 ? code(0x30 + s, 8) : symbol < 256 ? code(0x190 + s - 144, 9) : symbol < 280 ? code(s - 256, 7) : code(0xC0 + s - 280, 8);
    }
    DeflateWriter& text(const std::string& literals)
    {
        for (char c : literals) fixed(static_cast<unsigned char>(c));
        return *this;
    }
    // A back-reference in a fixed block: length 3 to 10 or 258, distance 1 to 6.
    DeflateWriter& copy(int length, int distance)
    {
        fixed(length == 258 ? 285 : 254 + length);
        return distance <= 4 ? code(static_cast<std::uint32_t>(distance - 1), 5) : code(4, 5).bits(static_cast<std::uint32_t>(distance - 5), 1);
    }
    // Code-length symbols 0, 1, 2, 16, 17 and 18, by their 3-bit codes under dynamicHeader.
    enum Length { kLength0, kLength1, kLength2, kRepeatPrevious, kRepeatZeros, kRepeatManyZeros };

    // A dynamic block of 257 literal/length codes whose code-length code gives the Length symbols the
    // codes 0 to 5.
    DeflateWriter& dynamicHeader(int distanceCount)
    {
        block(true, 2).bits(0, 5).bits(static_cast<std::uint32_t>(distanceCount - 1), 5).bits(15, 4);
        for (int symbol : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15})
            bits(symbol <= 2 || symbol >= 16 ? 3 : 0, 3);
        return *this;
    }
    // One code-length symbol with its repeat count.
    DeflateWriter& lengths(Length symbol, int repeat = 0)
    {
        code(symbol, 3);
        const auto extra = static_cast<std::uint32_t>(repeat - (symbol == kRepeatManyZeros ? 11 : 3));
        return symbol < kRepeatPrevious ? *this : bits(extra, symbol == kRepeatPrevious ? 2 : symbol == kRepeatZeros ? 3 : 7);
    }
};

// A PngImage that is cleaned up at the end of its scope; the bytes must outlive it.
struct ScopedPng {
    PngImage image{};
    ~ScopedPng() { pngCleanup(image); }
    int attach(const Bytes& bytes) { return pngAttach(image, bytes.data(), static_cast<std::uint32_t>(bytes.size())); }
};

struct Decoded {
    std::string outcome;  // "ok", or the failed step and its code: "attach 8192"
    Bytes data;           // inflated image data
    PngBitmapInfo info{};
    std::uint64_t stride = 0;
    Bytes bits;
};

// Runs every call on `file`, checking what each failure leaves; data beyond `maxData` bytes stops at "large".
inline Decoded decode(const Bytes& file, std::uint32_t maxData = 1u << 26)
{
    Decoded d;
    ScopedPng png;
    PngImage& image = png.image;
    const auto failed = [&](const char* step) {
        d.outcome = step + (" " + std::to_string(image.errorCode));
        return d;
    };
    if (!png.attach(file)) {
        EXPECT_TRUE(image.decodeState == kPngEmpty && image.sourceState == kPngNoSource) << "a refused file stays attached";
        return failed("attach");
    }
    if (pngDataSize(image) > maxData) return d.outcome = "large", d;
    Bytes(pngDataSize(image), 0xAA);  // the image data is not zeroed when allocated: this freed block is likely handed out again
    if (!pngDecode(image)) {
        EXPECT_TRUE(image.decodeState == kPngAccepted && image.imageData == nullptr) << "failed decode keeps its buffer";
        return failed("decode");
    }
    d.data.assign(image.imageData, image.imageData + image.imageDataSize);
    std::uint32_t format = 0;
    if (!pngBitmapInfo(image, d.info, format)) return failed("info");
    d.stride = pngBitmapStride(image);
    d.bits.assign(d.stride * image.height, 0xCD);  // not zero, as a new system bitmap need not be
    if (!pngRender(image, format, d.bits.data(), d.bits.size())) return failed("render");
    d.outcome = "ok";
    return d;
}

// The PngSuite folder: ENIGO_PNGSUITE_DIR from the environment, else from the build.
inline std::string suiteFolder()
{
    const char* folder = std::getenv("ENIGO_PNGSUITE_DIR");
    return folder != nullptr ? folder : ENIGO_PNGSUITE_DIR;
}

inline Bytes readSuiteFile(const std::string& stem)
{
    std::ifstream file(std::filesystem::path(suiteFolder()) / (stem + ".png"), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Declares `file` as the PngSuite file `stem`, or skips the test when there is none to read.
#define PNGSUITE_FILE_OR_SKIP(file, stem)                                                      \
    const pngtest::Bytes file = pngtest::readSuiteFile(stem);                                  \
    if (file.empty()) GTEST_SKIP() << "no PngSuite in '" << pngtest::suiteFolder() << "': set ENIGO_PNGSUITE_DIR";

}  // namespace pngtest
