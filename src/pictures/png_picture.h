// PNG pictures stored as raw data, decoded by the program's own decoder.
#pragma once

#include <windows.h>

// The raw-data (RT_RCDATA) PNG of id in module as an unscaled bitmap, or null.
HBITMAP loadPngPicture(HMODULE module, int id);
