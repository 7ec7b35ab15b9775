// PNG pictures stored as raw data, decoded by the program's own decoder into DIB sections.
#pragma once

#include <windows.h>

#include "pictures/png_image.h"

// Attaches the raw-data (RT_RCDATA) resource id of module to an empty image and checks it.
int pngLoadResource(PngImage& image, HMODULE module, int id);

// A top-down DIB section of the inflated image for window's device context (null: the
// screen's); null with errorCode set when it cannot be made. The caller owns the bitmap.
HBITMAP pngCreateBitmap(PngImage& image, HWND window);

// The raw-data PNG of id in module as an unscaled bitmap, or null.
HBITMAP loadPngPicture(HMODULE module, int id);
