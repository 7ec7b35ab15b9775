// PNG pictures stored as raw data: find the resource, run the portable decoder on its bytes in
// place, and render into a DIB section.
#include "pictures/png_picture.h"

#include "base/message_box.h"
#include "base/quiz_resources.h"

namespace {

constexpr const char* kCaption = "APPNAME";

}  // namespace

static_assert(sizeof(PngBitmapHeader) == sizeof(BITMAPINFOHEADER), "the decoder's header is a BITMAPINFOHEADER");
static_assert(sizeof(PngColourEntry) == sizeof(RGBQUAD), "the decoder's colour entries are RGBQUADs");

int pngLoadResource(PngImage& image, HMODULE module, int id)
{
    if (image.decodeState != kPngEmpty || image.sourceState != kPngNoSource) {
        image.errorCode = kPngAlreadyAttached;
        return 0;
    }
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kRawDataResourceType));
    if (!info) {
        image.errorCode = kPngResourceNotFound;
        return 0;
    }
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        image.errorCode = kPngResourceUnreadable;
        return 0;
    }
    return pngAttach(image, static_cast<const unsigned char*>(bytes), SizeofResource(module, info));
}

HBITMAP pngCreateBitmap(PngImage& image, HWND window)
{
    if (image.decodeState != kPngInflated) {
        image.errorCode = kPngWrongState;
        return nullptr;
    }
    PngBitmapInfo info;
    std::uint32_t format = kPngAutoFormat;
    if (!pngBitmapInfo(image, info, format))
        return nullptr;
    HDC dc = GetDC(window);
    void* bits = nullptr;
    HBITMAP section =
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        image.errorCode = kPngBitmapFailed;
        ReleaseDC(window, dc);
        return nullptr;
    }
    const std::uint64_t size = pngBitmapStride(image) * image.height;
    if (!pngRender(image, kPngAutoFormat, static_cast<unsigned char*>(bits), static_cast<std::size_t>(size))) {
        DeleteObject(section);
        section = nullptr;
    }
    ReleaseDC(window, dc);
    return section;
}

HBITMAP loadPngPicture(HMODULE module, int id)
{
    PngImage image;
    pngInit(image);
    // A picture with no raw-data PNG either is the ordinary case: no message.
    if (!pngLoadResource(image, module, id))
        return nullptr;
    if (!pngDecode(image)) {
        showMessage(nullptr, "Error: couldn't decode PNG resource", kCaption, MB_OK | MB_ICONERROR);
        pngCleanup(image);
        return nullptr;
    }
    HBITMAP bitmap = pngCreateBitmap(image, nullptr);
    if (!bitmap)
        showMessage(nullptr, "Error: couldn't create bitmap", kCaption, MB_OK | MB_ICONERROR);
    pngCleanup(image);
    return bitmap;
}
