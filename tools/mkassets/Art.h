// The drawings and the sound that become the program's media files.
#pragma once

#include <cstdint>
#include <vector>

#include "Raster.h"

namespace mkassets {

// The wait clip: a sheet flies from a stack of paper into a drive whose light then blinks.
// 252 x 58 pixels, 16 frames.
std::vector<Image> waitClipFrames();

// The About clip: a compact disc turning, 36 x 38 pixels, 8 frames.
std::vector<Image> discClipFrames();

// The program's icon at `size` pixels (16 or 32); coverage in the alpha of each pixel.
Image programIcon(int size);

// The hand cursor, 32 x 32: 0 transparent, 1 black, 2 white; the finger points at (12, 9).
std::vector<uint8_t> handCursorPixels();

// The About picture, 48 x 60.
Image aboutPicture();

// The chime: mono samples at 22050 Hz, under a second long.
std::vector<int16_t> chimeSamples();

}  // namespace mkassets
