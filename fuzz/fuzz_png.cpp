// libFuzzer target: the PNG decoder on arbitrary bytes, through every call the picture loader
// makes: attach and check, inflate, bitmap header and colour table, render into a bitmap of
// exactly the size the header gives. Failures must carry a code they may have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pictures/png_internal.h"

namespace {

// Larger pictures come only from damaged sizes, and the decoder handles them the same way; their
// allocations would only test the fuzzer's memory limit.
constexpr std::uint64_t kMaxBufferBytes = 16u << 20;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void decode(PngImage& image)
{
    const std::uint64_t bitmapBytes = pngBitmapStride(image) * image.height;
    if (pngDataSize(image) > kMaxBufferBytes || bitmapBytes > kMaxBufferBytes) {
        return;
    }
    if (!pngDecode(image)) {
        check(image.errorCode == kPngCorrupt || image.errorCode == kPngOutOfMemory);
        check(image.decodeState == kPngAccepted && image.imageData == nullptr);
        return;
    }
    check(image.imageDataSize == pngDataSize(image));

    PngBitmapInfo info;
    std::uint32_t format = 0;
    check(pngBitmapInfo(image, info, format) == 1);
    check(info.header.biWidth == static_cast<std::int32_t>(image.width) &&
          info.header.biHeight == -static_cast<std::int32_t>(image.height) && info.header.biClrUsed <= 256);

    std::vector<unsigned char> bits(static_cast<std::size_t>(bitmapBytes));
    if (!pngRender(image, format, bits.data(), bits.size())) {
        check(image.errorCode == kPngCorrupt);  // a row filter type above 4
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0xFFFFFFFFu) {
        return 0;
    }
    PngImage image;
    pngInit(image);
    if (pngAttach(image, data, static_cast<std::uint32_t>(size))) {
        check(image.width >= 1 && image.width <= 0x7FFFFFFF && image.height >= 1 && image.height <= 0x7FFFFFFF);
        decode(image);
    } else {
        check(image.errorCode == kPngCorrupt || image.errorCode == kPngUnsupported ||
              (size == 0 && image.errorCode == kPngResourceUnreadable));
        check(image.decodeState == kPngEmpty && image.sourceState == kPngNoSource);
    }
    pngCleanup(image);
    return 0;
}
