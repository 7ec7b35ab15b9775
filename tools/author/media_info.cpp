// Media inspection: picture headers read with bounds checks, PNG decoded by the player's own decoder.
#include "media_info.h"

#include <cstdio>
#include <memory>
#include <new>

#include "pictures/png_image.h"

namespace {

// A decoded bitmap beyond this is more than a card ever needs and more than is sensible to allocate.
constexpr std::uint64_t kLargestBitmap = 256u * 1024u * 1024u;

unsigned readBig16(const unsigned char* bytes)
{
    return static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
}

unsigned readLittle16(const unsigned char* bytes)
{
    return static_cast<unsigned>(bytes[0] | bytes[1] << 8);
}

std::int32_t readLittle32(const unsigned char* bytes)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                     static_cast<std::uint32_t>(bytes[2]) << 16 |
                                     static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Walks the JPEG markers up to the frame header, which gives the size and the coding process.
void inspectJpeg(const unsigned char* bytes, std::size_t size, MediaInfo& info)
{
    std::size_t position = 2;
    while (position + 4 <= size) {
        if (bytes[position] != 0xFF) {
            info.refusal = "its JPEG markers are broken before the frame header";
            return;
        }
        const unsigned char marker = bytes[position + 1];
        if (marker == 0xFF) {
            ++position;  // fill byte
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) {
            break;  // end of image or start of scan: no frame header came first
        }
        const std::size_t length = readBig16(bytes + position + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (position + 9 > size) {
                break;
            }
            info.height = static_cast<int>(readBig16(bytes + position + 5));
            info.width = static_cast<int>(readBig16(bytes + position + 7));
            if (marker > 0xC2) {
                info.doubt = "it is a lossless, hierarchical or arithmetic-coded JPEG; the system picture loader "
                             "reads baseline and progressive JPEG";
            }
            return;
        }
        position += 2 + length;
    }
    info.refusal = "it holds no JPEG frame header (a cut or damaged file)";
}

void inspectGif(const unsigned char* bytes, std::size_t size, MediaInfo& info)
{
    if (size < 10) {
        info.refusal = "it is too short for a GIF header";
        return;
    }
    info.width = static_cast<int>(readLittle16(bytes + 6));
    info.height = static_cast<int>(readLittle16(bytes + 8));
}

void inspectBmp(const unsigned char* bytes, std::size_t size, MediaInfo& info)
{
    if (size < 26) {
        info.refusal = "it is too short for a BMP header";
        return;
    }
    const std::int32_t headerSize = readLittle32(bytes + 14);
    if (headerSize == 12) {
        info.width = static_cast<int>(readLittle16(bytes + 18));
        info.height = static_cast<int>(readLittle16(bytes + 20));
    } else if (headerSize >= 40) {
        info.width = readLittle32(bytes + 18);
        const std::int32_t height = readLittle32(bytes + 22);
        info.height = height < 0 ? -height : height;  // negative: rows stored top-down
    } else {
        info.refusal = "its BMP header is of no known kind";
    }
}

const char* pngReason(std::uint32_t code)
{
    switch (code) {
    case kPngUnsupported:
        return "uses a PNG feature the player's decoder does not handle";
    case kPngOutOfMemory:
        return "is too large for the player's decoder";
    default:
        return "is a damaged PNG the player's decoder rejects";
    }
}

// Runs the whole decoder, as the player will: header, inflate, row filters and conversion.
void inspectPng(const unsigned char* bytes, std::size_t size, MediaInfo& info)
{
    PngImage image;
    pngInit(image);
    const bool attached = size <= 0xFFFFFFFFu && pngAttach(image, bytes, static_cast<std::uint32_t>(size)) == 1;
    if (attached) {
        info.width = static_cast<int>(image.width);
        info.height = static_cast<int>(image.height);
    }
    bool shown = false;
    if (attached && pngBitmapStride(image) > kLargestBitmap / image.height) {
        image.errorCode = kPngOutOfMemory;
    } else if (attached && pngDecode(image) == 1) {
        auto bitmapInfo = std::make_unique<PngBitmapInfo>();
        std::uint32_t format = 0;
        if (pngBitmapInfo(image, *bitmapInfo, format) == 1) {
            const std::size_t bitsSize = static_cast<std::size_t>(pngBitmapStride(image) * image.height);
            std::unique_ptr<unsigned char[]> bits(new (std::nothrow) unsigned char[bitsSize]);
            if (!bits) {
                image.errorCode = kPngOutOfMemory;
            } else {
                shown = pngRender(image, format, bits.get(), bitsSize) == 1;
            }
        }
    }
    if (!shown) {
        info.refusal =
            std::string("it ") + pngReason(image.errorCode) + " (error " + std::to_string(image.errorCode) + ")";
    }
    pngCleanup(image);
}

std::string oneDecimal(double value, const char* unit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, unit);
    return text;
}

}  // namespace

MediaInfo inspectMedia(const unsigned char* bytes, std::size_t size)
{
    MediaInfo info;
    info.format = detectMediaFormat(bytes, size);
    if (!info.format) {
        return info;
    }
    switch (*info.format) {
    case MediaFormat::Jpeg:
        inspectJpeg(bytes, size, info);
        break;
    case MediaFormat::Gif:
        inspectGif(bytes, size, info);
        break;
    case MediaFormat::Bmp:
        inspectBmp(bytes, size, info);
        break;
    case MediaFormat::Png:
        inspectPng(bytes, size, info);
        break;
    case MediaFormat::Mp3:
    case MediaFormat::Avi:
        break;
    }
    return info;
}

std::string describeSize(std::size_t size)
{
    if (size < 1024) {
        return std::to_string(size) + " bytes";
    }
    if (size < 1024 * 1024) {
        return oneDecimal(static_cast<double>(size) / 1024.0, "KB");
    }
    return oneDecimal(static_cast<double>(size) / (1024.0 * 1024.0), "MB");
}

std::string describeMedia(const MediaInfo& info, std::size_t size)
{
    std::string text = info.format ? mediaFormatName(*info.format) : "unknown";
    if (info.width > 0 && info.height > 0) {
        text += " " + std::to_string(info.width) + "x" + std::to_string(info.height);
    }
    return text + ", " + describeSize(size);
}
