// Proportional fit of a picture into a box, in exact integer arithmetic.
#include "pictures/scale.h"

#include <cstdint>

ScaledSize fitToBox(int width, int height, int boxWidth, int boxHeight)
{
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {0, 0};
    // The factor is a ratio of integers, so compare and apply it with 64-bit products (no
    // overflow for any int sizes): side x factor in floating point can land just below a whole
    // number that it equals exactly (27 x 260 / 30 = 233.99999...) and truncate one pixel short.
    const std::int64_t w = width;
    const std::int64_t h = height;
    if (boxWidth * h <= boxHeight * w)
        return {boxWidth, static_cast<int>(h * boxWidth / w)};
    return {static_cast<int>(w * boxHeight / h), boxHeight};
}
