// What a media file is as far as the player is concerned: its format, a picture's size, and
// whether the player can show it at all.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/media_format.h"

struct MediaInfo {
    std::optional<MediaFormat> format;  // none when the first bytes match no accepted format
    int width = 0;                      // pictures only; 0 when the header does not say
    int height = 0;
    std::string refusal;  // why the player cannot show this picture; empty when it can
    std::string doubt;    // why the system picture loader may not read it; empty when no doubt
};

// Looks at a whole file. PNG pictures go through the player's own decoder, so a PNG that passes
// here is one the player shows; JPEG, GIF and BMP headers are read only as far as their size.
MediaInfo inspectMedia(const unsigned char* bytes, std::size_t size);

// Short description for a summary: "JPEG 480x360, 12.3 KB", "MP3, 1.2 MB".
std::string describeMedia(const MediaInfo& info, std::size_t size);

// "812 bytes", "12.3 KB", "1.2 MB".
std::string describeSize(std::size_t size);
