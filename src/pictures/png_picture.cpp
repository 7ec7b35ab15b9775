// PNG pictures stored as raw data. The program's own PNG decoder is not wired in yet, so a
// picture stored only as raw data is reported as missing.
#include "pictures/png_picture.h"

HBITMAP loadPngPicture(HMODULE, int)
{
    return nullptr;
}
