// Card and answer pictures: a resource turned into a bitmap scaled to fit a box.
#pragma once

#include <windows.h>

#include <cstddef>

// The picture of id (base/quiz_resources.h): under type (system picture loader) or, when missing
// there, a PNG under raw data; scaled into boxWidth x boxHeight. Null when there is no picture.
// Caller owns it.
HBITMAP loadPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight);

// Encoded picture bytes decoded by the system picture loader; unscaled; null on failure.
HBITMAP loadOlePicture(const unsigned char* bytes, std::size_t size);

// A new screen-compatible bitmap, source scaled proportionally into the box; source untouched.
HBITMAP scaleToFit(HBITMAP source, int boxWidth, int boxHeight);

// Start-up and exit of a picture quiz: the user-interface thread holds a COM apartment for the
// whole run, so that each load's own CoInitialize and CoUninitialize only count up and down
// instead of building and tearing down the apartment around every picture.
void holdPictureApartment();
void releasePictureApartment();
