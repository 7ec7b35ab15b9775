// The media formats a quiz may carry: recognised by their first bytes, named in messages, and
// the file extensions that stand for them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

enum class MediaFormat { Jpeg, Gif, Bmp, Png, Mp3, Avi };

// Recognises a media file by its first bytes; empty when none of the formats matches.
std::optional<MediaFormat> detectMediaFormat(const unsigned char* bytes, std::size_t size);

// How many first bytes detectMediaFormat needs at most.
constexpr std::size_t kMediaSniffSize = 12;

// "JPEG", "MP3", ...: the format's name in messages.
const char* mediaFormatName(MediaFormat format);

// ".jpg", ".mp3", ...: the extension a file of the format is given.
const char* mediaFormatExtension(MediaFormat format);

// The format a file's extension stands for (".jpeg" too, in any case); empty for any other.
std::optional<MediaFormat> mediaFormatOfName(const std::filesystem::path& path);
