// Card and answer pictures: resource lookup, decoding by the system picture loader (or the PNG
// decoder for raw-data PNGs) and halftone scaling into a card's picture box.
#include "pictures/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "base/message_box.h"
#include "pictures/png_picture.h"
#include "pictures/scale.h"

namespace {

// COM for the calling thread for the length of one picture load. A thread already in another
// apartment keeps it (CoInitialize fails there and must not be undone), and COM still works.
class ComScope {
public:
    ComScope()
        : result_(CoInitialize(nullptr))
    {
    }
    ~ComScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Whether holdPictureApartment entered an apartment that releasePictureApartment must leave.
bool apartmentHeld = false;

void reportCopyFailure(DWORD error)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s plante avec l'erreur : %d\n", "CopyImage", static_cast<int>(error));
    showMessage(nullptr, text, "info", MB_ICONINFORMATION);
}

// The copy outlives the picture object, which owns the handle it returns.
HBITMAP copyPictureBitmap(IPicture* picture)
{
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle)))
        return nullptr;
    // The picture hands out 32 bits; handles widen to 64 with sign extension.
    HANDLE source = LongToHandle(static_cast<LONG>(handle));
    HANDLE copy = CopyImage(source, IMAGE_BITMAP, 0, 0, 0);
    if (!copy)
        reportCopyFailure(GetLastError());
    return static_cast<HBITMAP>(copy);
}

}  // namespace

HBITMAP loadPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight)
{
    HBITMAP decoded = nullptr;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded) {
        const void* bytes = LockResource(loaded);
        if (bytes)
            decoded = loadOlePicture(static_cast<const unsigned char*>(bytes), SizeofResource(module, found));
        FreeResource(loaded);
    } else {
        decoded = loadPngPicture(module, id);
    }
    if (!decoded)
        return nullptr;
    HBITMAP scaled = scaleToFit(decoded, boxWidth, boxHeight);
    // Only the scaled copy goes to the caller; the unscaled picture would otherwise leak.
    DeleteObject(decoded);
    return scaled;
}

HBITMAP loadOlePicture(const unsigned char* bytes, std::size_t size)
{
    // The loader takes the length as a LONG; an empty or larger picture is not one it can read.
    if (!bytes || size == 0 || size > static_cast<std::size_t>(LONG_MAX))
        return nullptr;
    ComScope com;
    // A private copy, so the stream does not depend on the resource staying mapped.
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return nullptr;
    std::memcpy(reinterpret_cast<void*>(block), bytes, size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return nullptr;
    }
    // From here the stream owns the block and frees it on its last release.
    IPicture* picture = nullptr;
    HRESULT loaded =
        OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    HBITMAP copy = nullptr;
    if (SUCCEEDED(loaded) && picture) {
        copy = copyPictureBitmap(picture);
        picture->Release();
    }
    stream->Release();
    return copy;
}

HBITMAP scaleToFit(HBITMAP source, int boxWidth, int boxHeight)
{
    BITMAP info = {};
    if (!source || GetObjectType(source) != OBJ_BITMAP || GetObjectA(source, sizeof info, &info) != sizeof info)
        return nullptr;
    const ScaledSize size = fitToBox(info.bmWidth, info.bmHeight, boxWidth, boxHeight);
    if (size.width <= 0 || size.height <= 0)
        return nullptr;

    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, size.width, size.height);
    BOOL copied = FALSE;
    if (from && to && scaled) {
        // Fails when the source is selected into another device context: nothing to copy then.
        HGDIOBJ previousFrom = SelectObject(from, source);
        HGDIOBJ previousTo = SelectObject(to, scaled);
        if (previousFrom && previousTo) {
            SetStretchBltMode(to, HALFTONE);
            // Halftone stretching needs the brush origin set again after the mode changes.
            SetBrushOrgEx(to, 0, 0, nullptr);
            copied = StretchBlt(to, 0, 0, size.width, size.height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        }
        if (previousTo)
            SelectObject(to, previousTo);
        if (previousFrom)
            SelectObject(from, previousFrom);
    }
    if (to)
        DeleteDC(to);
    if (from)
        DeleteDC(from);
    ReleaseDC(nullptr, screen);
    if (!copied && scaled) {
        DeleteObject(scaled);
        scaled = nullptr;
    }
    return scaled;
}

void holdPictureApartment()
{
    if (!apartmentHeld)
        apartmentHeld = SUCCEEDED(CoInitialize(nullptr));
}

void releasePictureApartment()
{
    if (apartmentHeld)
        CoUninitialize();
    apartmentHeld = false;
}
