// Steps and shared facts of the PNG decoder behind png_image.h: chunk frames, the image-data size,
// inflate, the formats it reads and the Adam7 pattern. Included by the decoder's files and by its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "pictures/png_image.h"

// Kinds of chunk, from the chunk name.
constexpr std::uint32_t kChunkAncillary = 0;  // unknown, lower-case first letter: skipped
constexpr std::uint32_t kChunkHeader = 1;     // IHDR
constexpr std::uint32_t kChunkPalette = 2;    // PLTE
constexpr std::uint32_t kChunkImageData = 3;  // IDAT
constexpr std::uint32_t kChunkEnd = 4;        // IEND
constexpr std::uint32_t kChunkCritical = 5;   // unknown, upper-case first letter: not supported

// One chunk frame: 4-byte length, 4-byte name, length data bytes, 4-byte CRC.
struct ChunkInfo {
    std::uint32_t kind;
    std::uint32_t length;  // of the data
    std::uint32_t crc;     // read, never verified
};

// Bytes of a frame besides its data.
constexpr std::uint32_t kChunkFrameBytes = 12;

// True when a whole frame (up to and including its CRC) starts at offset of the source; its data
// length goes to length. offset may be anywhere up to sourceSize.
bool pngFrameAt(const PngImage& image, std::uint64_t offset, std::uint32_t& length);

// Reads the frame at chunkCursor. 0 when it is not wholly inside the source; errorCode untouched.
int pngReadChunk(const PngImage& image, ChunkInfo& info);

// Checks signature, header and every chunk frame of the attached source, filling the record.
int pngCheckHeader(PngImage& image);

// Bytes of the inflated image data the header implies (rows with their filter bytes, all Adam7
// passes), or 0 when that does not fit in 32 bits.
std::uint32_t pngDataSize(const PngImage& image);

// Inflates the zlib stream of the image-data chunks into imageData (imageDataSize bytes). On
// success bytes the stream did not fill are zero.
int pngInflate(PngImage& image);

// Records code as the reason of a failure; returns the failing result, 0.
inline int pngFail(PngImage& image, std::uint32_t code)
{
    image.errorCode = code;
    return 0;
}

// The decoder's buffers come from the nothrow operator new: running out of memory is a null
// result, never an exception.
inline unsigned char* pngAllocate(std::size_t size)
{
    return static_cast<unsigned char*>(::operator new(size, std::nothrow));
}

inline void pngRelease(unsigned char* block)
{
    ::operator delete(block);
}

// How the rows of a format become bitmap pixels. The number is also the low byte of the output
// format that pngBitmapInfo reports.
enum class PngConversion : std::uint8_t {
    CopyRow = 0,     // packed pixels keep their PNG order
    FirstOfTwo = 6,  // high byte of 16-bit grey, or grey of grey-alpha
    HighRgbToBgr = 7,
    HighRgbaToBgra = 9,
    FirstOfFour = 10,    // high grey byte of 16-bit grey-alpha
    TwoBitsToFour = 11,  // the bitmap has no 2-bit pixels
    RgbToBgr = 12,
    RgbaToBgra = 14,
};

// One bit depth a colour type allows, and the bitmap its rows become.
struct PngDepthFormat {
    std::uint8_t bitDepth;
    std::uint8_t bitmapBits;  // bits of one bitmap pixel
    PngConversion conversion;
};

// One colour type of the PNG standard: its samples per pixel and every bit depth allowed with it.
struct PngColourFormat {
    std::uint8_t colourType;
    std::uint8_t channels;
    std::uint8_t depthCount;
    PngDepthFormat depths[5];
};

// The colour type's entry, or null for a type the PNG standard does not define.
const PngColourFormat* pngColourFormat(std::uint8_t colourType);

// The entry of a pair of bit depth and colour type the PNG standard allows, or null.
const PngDepthFormat* pngDepthFormat(std::uint8_t bitDepth, std::uint8_t colourType);

// Bits of one pixel of the PNG rows: bit depth times the channels of the colour type (0 for an
// undefined colour type).
unsigned pngBitsPerPixel(const PngImage& image);

// Bytes holding `pixels` pixels of `bitsPerPixel` bits, rounded up; no filter byte.
inline std::uint64_t pngPackedBytes(std::uint64_t pixels, unsigned bitsPerPixel)
{
    return (pixels * bitsPerPixel + 7) / 8;
}

// One pass of the Adam7 interlace pattern.
struct Adam7Pass {
    std::uint32_t startColumn;
    std::uint32_t startRow;
    std::uint32_t columnStep;
    std::uint32_t rowStep;
};

inline constexpr Adam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};

// Pixels of a pass along one side of `size` pixels; 0 when the pass misses that side.
inline std::uint32_t adam7Count(std::uint32_t size, std::uint32_t start, std::uint32_t step)
{
    return size > start ? (size - start + step - 1) / step : 0;
}
