// An X image in memory, as the server would send one of a visual's format, for tests of the
// copies between the program's buffers and X images.
#pragma once

// gtest comes before the X headers, whose None and Bool macros would break it.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstddef>
#include <vector>

#include "drivers/x11/X11Pixels.h"

// A width x height ZPixmap image of the format, least significant byte first, all pixels 0,
// whose pixels live in data.
inline XImage zPixmapImage(std::vector<char>& data, int width, int height, const x11::PixelFormat& f) {
  XImage image{};
  image.width = width;
  image.height = height;
  image.format = ZPixmap;
  image.byte_order = LSBFirst;
  image.bitmap_unit = f.bitsPerPixel;
  image.bitmap_bit_order = LSBFirst;
  image.bitmap_pad = f.bitsPerPixel;
  image.depth = f.bitsPerPixel == 32 ? 24 : f.bitsPerPixel;
  image.bits_per_pixel = f.bitsPerPixel;
  image.bytes_per_line = width * f.bitsPerPixel / 8;
  image.red_mask = f.redMask;
  image.green_mask = f.greenMask;
  image.blue_mask = f.blueMask;
  data.assign(static_cast<size_t>(image.bytes_per_line) * static_cast<size_t>(height), 0);
  image.data = data.data();
  if (XInitImage(&image) == 0) ADD_FAILURE() << "Xlib refuses a " << f.bitsPerPixel << " bpp image";
  return image;
}
