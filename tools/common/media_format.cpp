// Magic numbers and extensions of the media formats.
#include "media_format.h"

#include <cstring>
#include <string>

#include "file_io.h"

namespace {

// The first extension of a format is the one it is given.
struct Extension {
    const char* text;
    MediaFormat format;
};
const Extension kExtensions[] = {
    {".jpg", MediaFormat::Jpeg}, {".jpeg", MediaFormat::Jpeg}, {".gif", MediaFormat::Gif}, {".bmp", MediaFormat::Bmp},
    {".png", MediaFormat::Png},  {".mp3", MediaFormat::Mp3},   {".avi", MediaFormat::Avi},
};

}  // namespace

std::optional<MediaFormat> detectMediaFormat(const unsigned char* bytes, std::size_t size)
{
    const auto startsWith = [&](const char* magic, std::size_t length, std::size_t offset = 0) {
        return size >= offset + length && std::memcmp(bytes + offset, magic, length) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1A\n", 8))
        return MediaFormat::Png;
    if (startsWith("\xFF\xD8\xFF", 3))
        return MediaFormat::Jpeg;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return MediaFormat::Gif;
    if (startsWith("BM", 2))
        return MediaFormat::Bmp;
    if (startsWith("RIFF", 4) && startsWith("AVI ", 4, 8))
        return MediaFormat::Avi;
    // An MP3 starts with an ID3 tag or directly with an MPEG audio frame (11 sync bits).
    if (startsWith("ID3", 3) || (size >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0)) {
        return MediaFormat::Mp3;
    }
    return std::nullopt;
}

const char* mediaFormatName(MediaFormat format)
{
    switch (format) {
    case MediaFormat::Jpeg:
        return "JPEG";
    case MediaFormat::Gif:
        return "GIF";
    case MediaFormat::Bmp:
        return "BMP";
    case MediaFormat::Png:
        return "PNG";
    case MediaFormat::Mp3:
        return "MP3";
    case MediaFormat::Avi:
        return "AVI";
    }
    return "?";
}

const char* mediaFormatExtension(MediaFormat format)
{
    for (const Extension& extension : kExtensions) {
        if (extension.format == format) {
            return extension.text;
        }
    }
    return ".bin";
}

std::optional<MediaFormat> mediaFormatOfName(const std::filesystem::path& path)
{
    std::string extension = pathToUtf8(path.extension());
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const Extension& known : kExtensions) {
        if (extension == known.text) {
            return known.format;
        }
    }
    return std::nullopt;
}
