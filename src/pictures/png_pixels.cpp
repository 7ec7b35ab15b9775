// PNG pixel conversion: the bitmap header and colour table of a decoded image, and the rendering
// of its rows (unfiltering, Adam7 placement, sample conversion) into a top-down bitmap.
#include <cstring>

#include "pictures/png_internal.h"

namespace {

// Byte 1 of every output format: a layout a Windows bitmap can hold.
constexpr std::uint32_t kBitmapLayoutFlag = 1u << 8;

constexpr std::uint32_t kBitmapHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::uint32_t kMaxColours = 256;

constexpr unsigned kFilterNone = 0;
constexpr unsigned kFilterSub = 1;
constexpr unsigned kFilterUp = 2;
constexpr unsigned kFilterAverage = 3;
constexpr unsigned kFilterPaeth = 4;

// How the image's rows become a bitmap, or null for a format the decoder does not read.
const PngDepthFormat* layoutOf(const PngImage& image)
{
    return pngDepthFormat(image.bitDepth, image.colourType);
}

std::uint32_t formatOf(const PngImage& image, const PngDepthFormat& layout)
{
    return static_cast<std::uint32_t>(image.colourType) << 24 | static_cast<std::uint32_t>(image.bitDepth) << 16 |
           kBitmapLayoutFlag | static_cast<std::uint32_t>(layout.conversion);
}

std::uint64_t strideOf(const PngImage& image, const PngDepthFormat& layout)
{
    return (pngPackedBytes(image.width, layout.bitmapBits) + 3) & ~std::uint64_t{3};
}

// The layout when the image is ready to be rendered, else null with the reason recorded.
const PngDepthFormat* renderableLayout(PngImage& image)
{
    const PngDepthFormat* layout = image.decodeState == kPngInflated ? layoutOf(image) : nullptr;
    if (layout == nullptr) {
        image.errorCode = kPngWrongState;
    }
    return layout;
}

unsigned char paeth(unsigned char left, unsigned char up, unsigned char upLeft)
{
    const int estimate = left + up - upLeft;
    const int toLeft = estimate > left ? estimate - left : left - estimate;
    const int toUp = estimate > up ? estimate - up : up - estimate;
    const int toUpLeft = estimate > upLeft ? estimate - upLeft : upLeft - estimate;
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return left;
    }
    return toUp <= toUpLeft ? up : upLeft;
}

// Undoes filter Sub, Up, Average or Paeth over count bytes; bytes left of the row count as 0.
// unit is the distance to the corresponding byte of the pixel on the left.
void unfilterRow(unsigned type, const unsigned char* raw, const unsigned char* prior, unsigned char* out,
                 std::size_t count, std::size_t unit)
{
    const std::size_t head = unit < count ? unit : count;
    switch (type) {
    case kFilterSub:
        std::memcpy(out, raw, head);
        for (std::size_t i = unit; i < count; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + out[i - unit]);
        }
        break;
    case kFilterUp:
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + prior[i]);
        }
        break;
    case kFilterAverage:
        for (std::size_t i = 0; i < head; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + prior[i] / 2);
        }
        for (std::size_t i = unit; i < count; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + (out[i - unit] + prior[i]) / 2);
        }
        break;
    default:  // kFilterPaeth; with nothing on the left it predicts the byte above
        for (std::size_t i = 0; i < head; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + prior[i]);
        }
        for (std::size_t i = unit; i < count; ++i) {
            out[i] = static_cast<unsigned char>(raw[i] + paeth(out[i - unit], prior[i], prior[i - unit]));
        }
        break;
    }
}

// Converts count bytes of one unfiltered PNG row into bitmap pixels at `to`.
void convertRow(PngConversion conversion, const unsigned char* from, std::size_t count, unsigned char* to)
{
    switch (conversion) {
    case PngConversion::TwoBitsToFour:
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned byte = from[i];
            to[2 * i] = static_cast<unsigned char>((byte >> 6) << 4 | ((byte >> 4) & 3));
            to[2 * i + 1] = static_cast<unsigned char>(((byte >> 2) & 3) << 4 | (byte & 3));
        }
        break;
    case PngConversion::FirstOfTwo:
        for (std::size_t i = 0; i < count / 2; ++i) {
            to[i] = from[2 * i];
        }
        break;
    case PngConversion::FirstOfFour:
        for (std::size_t i = 0; i < count / 4; ++i) {
            to[i] = from[4 * i];
        }
        break;
    case PngConversion::RgbToBgr:
        for (std::size_t i = 0; i < count / 3; ++i) {
            to[3 * i] = from[3 * i + 2];
            to[3 * i + 1] = from[3 * i + 1];
            to[3 * i + 2] = from[3 * i];
        }
        break;
    case PngConversion::HighRgbToBgr:
        for (std::size_t i = 0; i < count / 6; ++i) {
            to[3 * i] = from[6 * i + 4];
            to[3 * i + 1] = from[6 * i + 2];
            to[3 * i + 2] = from[6 * i];
        }
        break;
    case PngConversion::RgbaToBgra:
        for (std::size_t i = 0; i < count / 4; ++i) {
            to[4 * i] = from[4 * i + 2];
            to[4 * i + 1] = from[4 * i + 1];
            to[4 * i + 2] = from[4 * i];
            to[4 * i + 3] = from[4 * i + 3];
        }
        break;
    case PngConversion::HighRgbaToBgra:
        for (std::size_t i = 0; i < count / 8; ++i) {
            to[4 * i] = from[8 * i + 4];
            to[4 * i + 1] = from[8 * i + 2];
            to[4 * i + 2] = from[8 * i];
            to[4 * i + 3] = from[8 * i + 6];
        }
        break;
    default:  // PngConversion::CopyRow
        std::memcpy(to, from, count);
        break;
    }
}

// Puts the `columns` converted pixels of an Adam7 pass row into their bitmap row, from column
// start every step columns. Pixels under 8 bits are ORed into the bitmap, which starts zeroed.
void placePixels(const unsigned char* pixels, std::uint32_t columns, unsigned bits, unsigned char* row,
                 std::uint32_t start, std::uint32_t step)
{
    if (bits >= 8) {
        const std::size_t bytes = bits / 8;
        for (std::uint32_t j = 0; j < columns; ++j) {
            const std::size_t column = start + static_cast<std::size_t>(j) * step;
            std::memcpy(row + column * bytes, pixels + j * bytes, bytes);
        }
        return;
    }
    const unsigned mask = (1u << bits) - 1;
    for (std::uint32_t j = 0; j < columns; ++j) {
        const std::size_t from = static_cast<std::size_t>(j) * bits;
        const unsigned value = (pixels[from / 8] >> (8 - bits - from % 8)) & mask;
        const std::size_t to = (start + static_cast<std::size_t>(j) * step) * bits;
        row[to / 8] = static_cast<unsigned char>(row[to / 8] | value << (8 - bits - to % 8));
    }
}

// What rendering needs besides the image: the bitmap, and the two row buffers that hold the
// current and the prior unfiltered row (a row with filter None is used where it lies instead).
struct RowRenderer {
    const PngDepthFormat* layout;
    unsigned char* bits;
    std::size_t stride;
    std::size_t unit;       // filter distance: bytes of a pixel, at least 1
    unsigned bitsPerPixel;  // of the PNG rows
    unsigned char* rowA;
    unsigned char* rowB;
    unsigned char* scratch;     // converted Adam7 pass row, before its pixels are spread out
    const unsigned char* data;  // filter byte of the next row in imageData
    const unsigned char* prior;
};

// Unfilters the next row of count bytes; null for a filter type the format does not have.
const unsigned char* nextRow(RowRenderer& renderer, std::size_t count)
{
    const unsigned type = renderer.data[0];
    const unsigned char* raw = renderer.data + 1;
    renderer.data += count + 1;
    if (type == kFilterNone) {
        renderer.prior = raw;
        return raw;
    }
    if (type > kFilterPaeth) {
        return nullptr;
    }
    unsigned char* out = renderer.prior == renderer.rowA ? renderer.rowB : renderer.rowA;
    unfilterRow(type, raw, renderer.prior, out, count, renderer.unit);
    renderer.prior = out;
    return out;
}

// Rows above the first one of an image or pass count as zeros.
void startRows(RowRenderer& renderer, std::size_t count)
{
    std::memset(renderer.rowB, 0, count);
    renderer.prior = renderer.rowB;
}

bool renderRows(const PngImage& image, RowRenderer& renderer)
{
    const std::size_t count = static_cast<std::size_t>(pngPackedBytes(image.width, renderer.bitsPerPixel));
    startRows(renderer, count);
    unsigned char* target = renderer.bits;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const unsigned char* row = nextRow(renderer, count);
        if (row == nullptr) {
            return false;
        }
        convertRow(renderer.layout->conversion, row, count, target);
        target += renderer.stride;
    }
    return true;
}

bool renderPasses(const PngImage& image, RowRenderer& renderer)
{
    const unsigned bitmapBits = renderer.layout->bitmapBits;
    if (bitmapBits < 8) {
        std::memset(renderer.bits, 0, renderer.stride * image.height);
    }
    for (const Adam7Pass& pass : kAdam7Passes) {
        const std::uint32_t columns = adam7Count(image.width, pass.startColumn, pass.columnStep);
        const std::uint32_t rows = adam7Count(image.height, pass.startRow, pass.rowStep);
        if (columns == 0 || rows == 0) {
            continue;
        }
        const std::size_t count = static_cast<std::size_t>(pngPackedBytes(columns, renderer.bitsPerPixel));
        startRows(renderer, count);
        for (std::uint32_t k = 0; k < rows; ++k) {
            const unsigned char* row = nextRow(renderer, count);
            if (row == nullptr) {
                return false;
            }
            convertRow(renderer.layout->conversion, row, count, renderer.scratch);
            const std::size_t y = pass.startRow + static_cast<std::size_t>(k) * pass.rowStep;
            placePixels(renderer.scratch, columns, bitmapBits, renderer.bits + y * renderer.stride, pass.startColumn,
                        pass.columnStep);
        }
    }
    return true;
}

}  // namespace

std::uint64_t pngBitmapStride(const PngImage& image)
{
    const PngDepthFormat* layout = layoutOf(image);
    return layout != nullptr ? strideOf(image, *layout) : 0;
}

int pngBitmapInfo(PngImage& image, PngBitmapInfo& info, std::uint32_t& format)
{
    const PngDepthFormat* layout = renderableLayout(image);
    if (layout == nullptr) {
        return 0;
    }
    info = PngBitmapInfo{};
    PngBitmapHeader& header = info.header;
    header.biSize = kBitmapHeaderSize;
    header.biWidth = static_cast<std::int32_t>(image.width);
    header.biHeight = -static_cast<std::int32_t>(image.height);
    header.biPlanes = 1;
    header.biBitCount = layout->bitmapBits;
    header.biCompression = kUncompressed;

    if (image.colourType == kPngGrey || image.colourType == kPngGreyAlpha) {
        // 2-bit grey sits in 4-bit pixels but keeps its four levels.
        const std::uint32_t levels = image.bitDepth == 2 ? 4 : 1u << layout->bitmapBits;
        for (std::uint32_t i = 0; i < levels; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (levels - 1));
            info.colours[i] = PngColourEntry{grey, grey, grey, 0};
        }
        header.biClrUsed = levels;
    } else if (image.colourType == kPngIndexed) {
        // biClrUsed stays 0: the bitmap takes a full table, zero past the palette. A palette of
        // more than 256 entries gives its first 256.
        const std::uint32_t entries = image.paletteSize < kMaxColours ? image.paletteSize : kMaxColours;
        for (std::uint32_t i = 0; i < entries; ++i) {
            const unsigned char* rgb = image.paletteData + 3 * i;
            info.colours[i] = PngColourEntry{rgb[2], rgb[1], rgb[0], 0};
        }
    }
    format = formatOf(image, *layout);
    image.errorCode = kPngOk;
    return 1;
}

int pngRender(PngImage& image, std::uint32_t format, unsigned char* bits, std::size_t bitsSize)
{
    const PngDepthFormat* layout = renderableLayout(image);
    if (layout == nullptr) {
        return 0;
    }
    if (format != kPngAutoFormat && format != formatOf(image, *layout)) {
        return pngFail(image, kPngUnsupported);  // the rows convert one way only
    }
    const std::uint64_t stride = strideOf(image, *layout);
    if (bits == nullptr || stride * image.height > bitsSize) {
        return pngFail(image, kPngBitmapFailed);
    }

    RowRenderer renderer{};
    renderer.layout = layout;
    renderer.bits = bits;
    renderer.stride = static_cast<std::size_t>(stride);
    renderer.bitsPerPixel = pngBitsPerPixel(image);
    renderer.unit = renderer.bitsPerPixel >= 8 ? renderer.bitsPerPixel / 8 : 1;
    renderer.data = image.imageData;
    // Rows of the full width are the widest of any pass; a converted row fits in a bitmap row.
    const std::size_t rowBytes = static_cast<std::size_t>(pngPackedBytes(image.width, renderer.bitsPerPixel));
    const std::size_t scratchBytes = image.interlaceMethod != 0 ? renderer.stride : 0;
    unsigned char* buffers = pngAllocate(2 * rowBytes + scratchBytes);
    if (buffers == nullptr) {
        return pngFail(image, kPngOutOfMemory);
    }
    renderer.rowA = buffers;
    renderer.rowB = buffers + rowBytes;
    renderer.scratch = buffers + 2 * rowBytes;

    const bool rendered = image.interlaceMethod != 0 ? renderPasses(image, renderer) : renderRows(image, renderer);
    pngRelease(buffers);
    if (!rendered) {
        return pngFail(image, kPngCorrupt);  // a filter type above 4
    }
    image.errorCode = kPngOk;
    return 1;
}
