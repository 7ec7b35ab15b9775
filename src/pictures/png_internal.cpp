// The PNG formats the decoder reads: for each colour type its channels and allowed bit depths,
// with the bitmap each pair becomes. The container check and the pixel conversion share it.
#include "pictures/png_internal.h"

namespace {

const PngColourFormat kColourFormats[] = {
    {kPngGrey,
     1,
     5,
     {{1, 1, PngConversion::CopyRow},
      {2, 4, PngConversion::TwoBitsToFour},
      {4, 4, PngConversion::CopyRow},
      {8, 8, PngConversion::CopyRow},
      {16, 8, PngConversion::FirstOfTwo}}},
    {kPngColour, 3, 2, {{8, 24, PngConversion::RgbToBgr}, {16, 24, PngConversion::HighRgbToBgr}}},
    {kPngIndexed,
     1,
     4,
     {{1, 1, PngConversion::CopyRow},
      {2, 4, PngConversion::TwoBitsToFour},
      {4, 4, PngConversion::CopyRow},
      {8, 8, PngConversion::CopyRow}}},
    {kPngGreyAlpha, 2, 2, {{8, 8, PngConversion::FirstOfTwo}, {16, 8, PngConversion::FirstOfFour}}},
    {kPngColourAlpha, 4, 2, {{8, 32, PngConversion::RgbaToBgra}, {16, 32, PngConversion::HighRgbaToBgra}}},
};

}  // namespace

const PngColourFormat* pngColourFormat(std::uint8_t colourType)
{
    for (const PngColourFormat& format : kColourFormats) {
        if (format.colourType == colourType) {
            return &format;
        }
    }
    return nullptr;
}

const PngDepthFormat* pngDepthFormat(std::uint8_t bitDepth, std::uint8_t colourType)
{
    const PngColourFormat* format = pngColourFormat(colourType);
    if (format == nullptr) {
        return nullptr;
    }
    for (std::uint8_t i = 0; i < format->depthCount; ++i) {
        if (format->depths[i].bitDepth == bitDepth) {
            return &format->depths[i];
        }
    }
    return nullptr;
}

unsigned pngBitsPerPixel(const PngImage& image)
{
    const PngColourFormat* format = pngColourFormat(image.colourType);
    return format != nullptr ? image.bitDepth * format->channels : 0;
}
