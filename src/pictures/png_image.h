// The program's own PNG decoder for pictures stored as raw-data resources: the image record, its
// error codes, and the calls that take PNG bytes to a top-down bitmap in plain memory.
#pragma once

#include <cstddef>
#include <cstdint>

// Values of PngImage::errorCode.
constexpr std::uint32_t kPngOk = 0;
constexpr std::uint32_t kPngOutOfMemory = 4097;          // also: image data beyond 32 bits of bytes
constexpr std::uint32_t kPngAlreadyAttached = 4098;      // a source is attached, or the record is not empty
constexpr std::uint32_t kPngCorrupt = 8192;              // not a PNG, malformed header, corrupt image data
constexpr std::uint32_t kPngUnsupported = 8193;          // critical chunk, depth/type pair or method not handled
constexpr std::uint32_t kPngWrongState = 8195;           // call out of order
constexpr std::uint32_t kPngBitmapFailed = 8198;         // the bitmap cannot be made or is too small
constexpr std::uint32_t kPngResourceNotFound = 12289;    // for the Windows wrapper that finds the resource
constexpr std::uint32_t kPngResourceUnreadable = 12290;  // resource cannot be loaded, or is empty

// Values of PngImage::decodeState.
constexpr std::uint32_t kPngEmpty = 0;
constexpr std::uint32_t kPngAccepted = 1;  // container checked, image data not yet inflated
constexpr std::uint32_t kPngInflated = 2;  // imageData holds the filtered rows

// Values of PngImage::sourceState.
constexpr std::uint32_t kPngNoSource = 0;
constexpr std::uint32_t kPngSourceResource = 2;  // bytes owned by someone else, read in place

// PNG colour types.
constexpr std::uint8_t kPngGrey = 0;
constexpr std::uint8_t kPngColour = 2;
constexpr std::uint8_t kPngIndexed = 3;
constexpr std::uint8_t kPngGreyAlpha = 4;
constexpr std::uint8_t kPngColourAlpha = 6;

// Output format that pngRender accepts in place of the one pngBitmapInfo reports.
constexpr std::uint32_t kPngAutoFormat = 0xFFFFFFFFu;

// One image being decoded. A plain record: pngInit clears it, pngCleanup releases what it owns.
struct PngImage {
    std::uint32_t width;        // pixels, from the header chunk; 1 to 2^31 - 1
    std::uint32_t height;       // pixels; 1 to 2^31 - 1
    std::uint32_t errorCode;    // reason of the last failure, kPngOk after the last success
    std::uint32_t paletteSize;  // entries of the first palette chunk (its length / 3)
    std::uint8_t colourType;
    std::uint8_t bitDepth;
    std::uint8_t interlaceMethod;     // 0 none, 1 Adam7
    const unsigned char* sourceData;  // first byte of the PNG; not owned, never written
    std::uint32_t sourceSize;
    const unsigned char* chunkCursor;  // frame being examined while the container is walked
    unsigned char* imageData;          // inflated, still filtered rows; owned while decodeState is 2
    std::uint32_t imageDataSize;
    const unsigned char* paletteData;  // data of the first palette chunk, or null
    std::uint32_t sourceState;
    const unsigned char* headerData;      // data of the header chunk
    const unsigned char* firstDataChunk;  // length field of the first image-data chunk, or null
    std::uint32_t decodeState;
};

// Bitmap header with the layout of the Windows BITMAPINFOHEADER, so the Windows wrapper can hand
// it to the system as it is.
struct PngBitmapHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // negative: the rows run top-down
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

// Colour-table entry with the layout of the Windows RGBQUAD.
struct PngColourEntry {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

// Header followed by room for the largest colour table, like a BITMAPINFO with 256 entries.
struct PngBitmapInfo {
    PngBitmapHeader header;
    PngColourEntry colours[256];
};

static_assert(sizeof(PngBitmapHeader) == 40, "must match BITMAPINFOHEADER");
static_assert(sizeof(PngColourEntry) == 4, "must match RGBQUAD");
static_assert(sizeof(PngBitmapInfo) == 40 + 256 * 4, "header directly followed by the table");

// Every call returns 1 on success and 0 on failure with the reason in image.errorCode. None throws.

// Clears every field.
int pngInit(PngImage& image);

// Attaches size bytes at data (read in place; they must outlive the record) and checks the
// container: signature, header chunk, every chunk frame. Needs an empty record (else
// kPngAlreadyAttached); no bytes is kPngResourceUnreadable; then kPngCorrupt or kPngUnsupported.
// On success decodeState is kPngAccepted and width, height, bitDepth, colourType and
// interlaceMethod are known.
int pngAttach(PngImage& image, const unsigned char* data, std::uint32_t size);

// Inflates the image data into imageData (exactly the size the header implies). Needs
// kPngAccepted (else kPngWrongState); kPngOutOfMemory when the buffer cannot be had; kPngCorrupt
// for any fault of the compressed data. On success decodeState is kPngInflated.
int pngDecode(PngImage& image);

// Fills info's header (top-down) and colour table for the image, and reports the output format
// that pngRender then takes. Needs kPngInflated.
int pngBitmapInfo(PngImage& image, PngBitmapInfo& info, std::uint32_t& format);

// Bytes from the start of one bitmap row to the next: the row's pixels padded to a multiple of 4.
// The bitmap holds pngBitmapStride(image) * height bytes.
std::uint64_t pngBitmapStride(const PngImage& image);

// Unfilters and converts every row into the bitmap at bits, which holds bitsSize bytes and the
// layout pngBitmapInfo describes. format is kPngAutoFormat or the value pngBitmapInfo reported
// (another is kPngUnsupported). Needs kPngInflated; kPngBitmapFailed when bitsSize is too small;
// kPngCorrupt for a row filter type above 4; kPngOutOfMemory when its row buffers cannot be had.
// Bytes of the bitmap that hold no pixel (row padding) may be left as they were.
int pngRender(PngImage& image, std::uint32_t format, unsigned char* bits, std::size_t bitsSize);

// Releases imageData and clears every field; the attached bytes are left alone.
int pngCleanup(PngImage& image);
