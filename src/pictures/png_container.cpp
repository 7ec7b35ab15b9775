// PNG container: the record's life cycle, the signature and chunk walk, and the size and
// allocation of the inflated image data.
#include <cstring>

#include "pictures/png_internal.h"

namespace {

const unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Shortest source the signature check accepts; reading the header chunk then checks that its
// frame is whole.
constexpr std::uint32_t kMinimumSourceSize = 16;

// Bytes of the header chunk's fields: width, height, depth, colour type, compression, filter,
// interlace.
constexpr std::uint32_t kHeaderLength = 13;

// The PNG standard keeps width and height below 2^31; the bitmap header stores them signed.
constexpr std::uint32_t kMaxDimension = 0x7FFFFFFFu;

struct NamedKind {
    char name[4];
    std::uint32_t kind;
};

const NamedKind kKnownChunks[] = {
    {{'I', 'H', 'D', 'R'}, kChunkHeader},
    {{'P', 'L', 'T', 'E'}, kChunkPalette},
    {{'I', 'D', 'A', 'T'}, kChunkImageData},
    {{'I', 'E', 'N', 'D'}, kChunkEnd},
};

// Bit 5 of an ASCII letter is its case.
constexpr unsigned char kCaseBit = 0x20;

std::uint32_t readBigEndian32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

// Known chunks are recognised whatever the case of their first letter.
std::uint32_t chunkKind(const unsigned char* name)
{
    for (const NamedKind& known : kKnownChunks) {
        if ((name[0] | kCaseBit) == (static_cast<unsigned char>(known.name[0]) | kCaseBit) &&
            std::memcmp(name + 1, known.name + 1, 3) == 0) {
            return known.kind;
        }
    }
    return (name[0] & kCaseBit) != 0 ? kChunkAncillary : kChunkCritical;
}

std::uint64_t cursorOffset(const PngImage& image)
{
    return static_cast<std::uint64_t>(image.chunkCursor - image.sourceData);
}

// Bytes of `rows` rows of `columns` pixels, each with its filter byte, added to total; false when
// the sum leaves 32 bits.
bool addRows(std::uint64_t& total, std::uint32_t columns, std::uint32_t rows, unsigned bitsPerPixel)
{
    if (columns == 0 || rows == 0) {
        return true;
    }
    const std::uint64_t rowBytes = pngPackedBytes(columns, bitsPerPixel) + 1;
    if (rowBytes > 0xFFFFFFFFu / rows) {
        return false;
    }
    total += rowBytes * rows;
    return total <= 0xFFFFFFFFu;
}

}  // namespace

bool pngFrameAt(const PngImage& image, std::uint64_t offset, std::uint32_t& length)
{
    if (offset >= image.sourceSize || image.sourceSize - offset < kChunkFrameBytes) {
        return false;
    }
    length = readBigEndian32(image.sourceData + offset);
    // 64 bits: a length near 2^32 must not wrap round to a small frame.
    return offset + kChunkFrameBytes + length <= image.sourceSize;
}

int pngReadChunk(const PngImage& image, ChunkInfo& info)
{
    const std::uint64_t offset = cursorOffset(image);
    std::uint32_t length = 0;
    if (!pngFrameAt(image, offset, length)) {
        return 0;
    }
    info.kind = chunkKind(image.chunkCursor + 4);
    info.length = length;
    info.crc = readBigEndian32(image.chunkCursor + 8 + length);
    return 1;
}

int pngCheckHeader(PngImage& image)
{
    image.chunkCursor = nullptr;
    image.headerData = nullptr;
    image.firstDataChunk = nullptr;
    image.paletteData = nullptr;
    image.errorCode = kPngOk;
    if (image.sourceSize < kMinimumSourceSize || std::memcmp(image.sourceData, kSignature, 8) != 0) {
        return pngFail(image, kPngCorrupt);
    }

    image.chunkCursor = image.sourceData + sizeof kSignature;
    ChunkInfo chunk{};
    // The header's seven fields must lie inside its data, not in the CRC or beyond.
    if (!pngReadChunk(image, chunk) || chunk.kind != kChunkHeader || chunk.length < kHeaderLength) {
        return pngFail(image, kPngCorrupt);
    }
    image.headerData = image.chunkCursor + 8;
    image.width = readBigEndian32(image.headerData);
    image.height = readBigEndian32(image.headerData + 4);
    if (image.width == 0 || image.height == 0 || image.width > kMaxDimension || image.height > kMaxDimension) {
        return pngFail(image, kPngCorrupt);
    }

    // Every chunk, also after the end chunk, until a frame no longer fits in the source. A frame
    // that was read fits, so the cursor never passes the end.
    for (;;) {
        image.chunkCursor += static_cast<std::uint64_t>(chunk.length) + kChunkFrameBytes;
        if (!pngReadChunk(image, chunk)) {
            break;
        }
        if (chunk.kind == kChunkCritical) {
            return pngFail(image, kPngUnsupported);
        }
        if (chunk.kind == kChunkPalette && image.paletteData == nullptr) {
            image.paletteData = image.chunkCursor + 8;
            image.paletteSize = chunk.length / 3;
        } else if (chunk.kind == kChunkImageData && image.firstDataChunk == nullptr) {
            image.firstDataChunk = image.chunkCursor;
        }
    }

    image.bitDepth = image.headerData[8];
    image.colourType = image.headerData[9];
    image.interlaceMethod = image.headerData[12];
    if (pngDepthFormat(image.bitDepth, image.colourType) == nullptr || image.headerData[10] != 0 ||
        image.headerData[11] != 0 || image.interlaceMethod > 1) {
        return pngFail(image, kPngUnsupported);
    }
    // Indexed pixels mean nothing without their palette.
    if (image.colourType == kPngIndexed && image.paletteData == nullptr) {
        return pngFail(image, kPngCorrupt);
    }
    return 1;
}

std::uint32_t pngDataSize(const PngImage& image)
{
    const unsigned bitsPerPixel = pngBitsPerPixel(image);
    std::uint64_t total = 0;
    if (image.interlaceMethod == 0) {
        if (!addRows(total, image.width, image.height, bitsPerPixel)) {
            return 0;
        }
    } else {
        for (const Adam7Pass& pass : kAdam7Passes) {
            if (!addRows(total, adam7Count(image.width, pass.startColumn, pass.columnStep),
                         adam7Count(image.height, pass.startRow, pass.rowStep), bitsPerPixel)) {
                return 0;
            }
        }
    }
    return static_cast<std::uint32_t>(total);
}

int pngInit(PngImage& image)
{
    image = PngImage{};
    return 1;
}

int pngAttach(PngImage& image, const unsigned char* data, std::uint32_t size)
{
    if (image.decodeState != kPngEmpty || image.sourceState != kPngNoSource) {
        return pngFail(image, kPngAlreadyAttached);
    }
    image.errorCode = kPngOk;
    if (data == nullptr || size == 0) {
        return pngFail(image, kPngResourceUnreadable);
    }
    image.sourceData = data;
    image.chunkCursor = data;
    image.sourceSize = size;
    image.sourceState = kPngSourceResource;
    if (!pngCheckHeader(image)) {
        image.sourceState = kPngNoSource;
        return 0;
    }
    image.decodeState = kPngAccepted;
    return 1;
}

int pngDecode(PngImage& image)
{
    if (image.decodeState != kPngAccepted) {
        return pngFail(image, kPngWrongState);
    }
    image.imageDataSize = pngDataSize(image);
    if (image.imageDataSize == 0) {
        return pngFail(image, kPngOutOfMemory);  // more than any 32-bit buffer can hold
    }
    image.imageData = pngAllocate(image.imageDataSize);
    if (image.imageData == nullptr) {
        return pngFail(image, kPngOutOfMemory);
    }
    if (!pngInflate(image)) {
        pngRelease(image.imageData);
        image.imageData = nullptr;
        return 0;
    }
    image.decodeState = kPngInflated;
    return 1;
}

int pngCleanup(PngImage& image)
{
    if (image.decodeState == kPngInflated) {
        pngRelease(image.imageData);
    }
    return pngInit(image);
}
