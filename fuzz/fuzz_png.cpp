// libFuzzer target: the PNG decoder on arbitrary bytes through every call the picture loader makes, rendering
// into a bitmap of exactly the size the header gives. Failures must carry a code they may have and leave no buffer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pictures/png_internal.h"

static void check(bool condition) { if (!condition) std::abort(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PngImage image{};
    if (size > 0xFFFFFFFFu) return 0;
    const bool attached = pngAttach(image, data, static_cast<std::uint32_t>(size)) == 1;
    const std::uint32_t code = image.errorCode;
    check(attached ? image.width - 1 < 0x7FFFFFFFu && image.height - 1 < 0x7FFFFFFFu
                   : image.decodeState == kPngEmpty && image.sourceState == kPngNoSource &&
                         (size == 0 ? code == kPngResourceUnreadable : code == kPngCorrupt || code == kPngUnsupported));
    // Larger buffers come only from damaged sizes, handled alike: they would test only the fuzzer's memory limit.
    const std::uint64_t bitmapBytes = pngBitmapStride(image) * image.height;
    PngBitmapInfo info;
    std::uint32_t format = 0;
    if (attached && pngDataSize(image) <= (16u << 20) && bitmapBytes <= (16u << 20) && !pngDecode(image)) {
        check((image.errorCode == kPngCorrupt || image.errorCode == kPngOutOfMemory) &&
              image.decodeState == kPngAccepted && image.imageData == nullptr);
    } else if (image.decodeState == kPngInflated) {
        check(pngBitmapInfo(image, info, format) == 1 && info.header.biWidth == static_cast<std::int32_t>(image.width));
        std::vector<unsigned char> bits(static_cast<std::size_t>(bitmapBytes));
        check(pngRender(image, format, bits.data(), bits.size()) == 1 || image.errorCode == kPngCorrupt);  // filter type > 4
    }
    return pngCleanup(image), 0;
}
