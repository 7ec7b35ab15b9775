// The size a picture takes when fitted proportionally into a card's picture box.
#pragma once

struct ScaledSize {
    int width;
    int height;
};

// width x height scaled by the smaller of boxWidth / width and boxHeight / height, each side
// truncated toward zero. Small pictures are enlarged too. A side of 0 or less, of the picture or
// of the box, gives 0 x 0 (no picture); a very thin picture may also come out 0 on one side.
ScaledSize fitToBox(int width, int height, int boxWidth, int boxHeight);
