// Pixel packing for X visuals and the two-colour reduction of cursor images.
// gtest comes before the X headers, whose None and Bool macros would break it.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "drivers/x11/X11Cursors.h"
#include "drivers/x11/X11Pixels.h"
#include "drivers/x11/X11WindowHints.h"
#include "ZPixmapImage.h"

namespace {

x11::PixelFormat format(unsigned long r, unsigned long g, unsigned long b, int bpp) {
  x11::PixelFormat f;
  f.redMask = r;
  f.greenMask = g;
  f.blueMask = b;
  f.bitsPerPixel = bpp;
  return f;
}

TEST(X11Pixels, TrueColourPacksBytesAsTheyAre) {
  const auto f = format(0xFF0000, 0x00FF00, 0x0000FF, 32);
  EXPECT_EQ(f.pack(0x123456), 0x123456u);
  EXPECT_EQ(f.unpack(0xFF123456), 0x123456u);  // bits outside the masks are ignored
  const auto swapped = format(0x0000FF, 0x00FF00, 0xFF0000, 32);
  EXPECT_EQ(swapped.pack(0x123456), 0x563412u);
  EXPECT_EQ(swapped.unpack(0x563412), 0x123456u);
}

TEST(X11Pixels, NarrowChannelsKeepTheirExtremes) {
  const auto f = format(0xF800, 0x07E0, 0x001F, 16);  // 5-6-5
  EXPECT_EQ(f.pack(0xFFFFFF), 0xFFFFu);
  EXPECT_EQ(f.pack(0x000000), 0u);
  EXPECT_EQ(f.pack(0xFF8000), (31u << 11) | (32u << 5));
  EXPECT_EQ(f.unpack(0xFFFF), 0xFFFFFFu);
  EXPECT_EQ(f.unpack(0x0000), 0u);
  EXPECT_EQ(f.unpack(31u << 11), 0xFF0000u);
  // Every 5-bit value comes back within one step of where it started.
  for (uint32_t v = 0; v < 256; ++v) {
    const uint32_t back = f.unpack(f.pack(v)) & 0xFF;
    EXPECT_LE(back > v ? back - v : v - back, 8u) << v;
  }
  const auto wide = format(0x3FF00000, 0x000FFC00, 0x000003FF, 32);  // 10-10-10
  EXPECT_EQ(wide.pack(0xFF0001), (0x3FCu << 20) | 0x004u);
  EXPECT_EQ(wide.unpack(wide.pack(0xA1B2C3)), 0xA1B2C3u);
}

TEST(X11Pixels, ImagesCopyBothWaysThroughTheSlowPath) {
  // A 16-bit image forces the per-pixel path; the fast path is the same rows copied as bytes.
  const auto f = format(0xF800, 0x07E0, 0x001F, 16);
  constexpr int w = 5, h = 3;
  std::vector<uint32_t> pixels(w * h);
  for (int i = 0; i < w * h; ++i) pixels[i] = (i % 2) ? 0xFF0000 : 0x00FF00;
  x11::PixelBuffer from{reinterpret_cast<uint8_t*>(pixels.data()), w, h, w * 4};
  std::vector<char> data;
  XImage image = zPixmapImage(data, w, h, f);
  ASSERT_FALSE(HasFailure());
  // Rows 1-2, columns 1-3 of the buffer go to the image's top-left corner.
  x11::copyToImage(f, from, 1, 1, 3, 2, image, 0, 0);
  EXPECT_EQ(XGetPixel(&image, 0, 0), f.pack(pixels[1 * w + 1]));
  EXPECT_EQ(XGetPixel(&image, 2, 1), f.pack(pixels[2 * w + 3]));
  std::vector<uint32_t> back(w * h, 0xABCDEF);
  x11::PixelBuffer to{reinterpret_cast<uint8_t*>(back.data()), w, h, w * 4};
  x11::copyFromImage(f, image, 0, 0, 3, 2, to, 2, 1);
  EXPECT_EQ(back[1 * w + 2], pixels[1 * w + 1]);
  EXPECT_EQ(back[2 * w + 4], pixels[2 * w + 3]);
  EXPECT_EQ(back[0], 0xABCDEFu);          // outside the area: untouched
  EXPECT_EQ(back[1 * w + 1], 0xABCDEFu);
}

TEST(X11Pixels, IndexedVisualsDrawTheNearestAllocatedColour) {
  // A colormap that gave only some of the palette: black, white, button grey, dark grey, red.
  const std::vector<std::pair<unsigned long, uint32_t>> allocated = {
      {0, 0x000000}, {1, 0xFFFFFF}, {7, 0xC0C0C0}, {8, 0x808080}, {9, 0xFF0000}};
  x11::PixelFormat f = format(0, 0, 0, 8);
  f.nearest = x11::nearestTable(allocated);
  f.colours = {0x000000, 0xFFFFFF, 0, 0, 0, 0, 0, 0xC0C0C0, 0x808080, 0xFF0000};
  ASSERT_TRUE(f.indexed());
  EXPECT_EQ(f.pack(0x000000), 0u);
  EXPECT_EQ(f.pack(0xFFFFFF), 1u);
  EXPECT_EQ(f.pack(0xC0C0C0), 7u);
  EXPECT_EQ(f.pack(0x808080), 8u);
  EXPECT_EQ(f.pack(0xE01010), 9u);  // reddish goes to red
  EXPECT_EQ(f.pack(0xB0B4B8), 7u);  // near the face grey
  EXPECT_EQ(f.unpack(7), 0xC0C0C0u);
  EXPECT_EQ(f.unpack(200), 0u);  // beyond the colormap: black, never a read past the end
  // The palette asked for holds the classic system colours the windows are drawn in.
  const std::vector<uint32_t> palette = x11::indexedPalette();
  for (uint32_t c : {0xC0C0C0u, 0x808080u, 0x000080u, 0xFFFFFFu, 0x000000u, 0xFFFFE1u})
    EXPECT_NE(std::find(palette.begin(), palette.end(), c), palette.end()) << std::hex << c;
  EXPECT_LE(palette.size(), 256u);
}

TEST(X11WindowHints, MotifHintsFollowTheWindowsBoxesAndBorder) {
  x11::WindowKind dialog;
  dialog.hasFrame = dialog.title = dialog.closeBox = true;
  // Functions: move and close; decorations: border, title and menu.
  EXPECT_EQ(x11::motifHints(dialog), (std::vector<long>{3, 4 | 32, 2 | 8 | 16, 0, 0}));
  x11::WindowKind sizable = dialog;
  sizable.minimizeBox = sizable.maximizeBox = sizable.sizable = true;
  EXPECT_EQ(x11::motifHints(sizable),
            (std::vector<long>{3, 2 | 4 | 8 | 16 | 32, 2 | 4 | 8 | 16 | 32 | 64, 0, 0}));
  x11::WindowKind frameless;
  frameless.splash = true;
  EXPECT_EQ(x11::motifHints(frameless), (std::vector<long>{2, 0, 0, 0, 0}));
}

TEST(X11Cursors, TwoColoursSplitByLightnessAndAlpha) {
  // Row 0: transparent, half-transparent dark (hidden), opaque black, opaque dark red.
  // Row 1: opaque white, opaque light grey, opaque dark grey, transparent white.
  const std::vector<uint32_t> argb = {
      0x00000000, 0x7F000000, 0xFF000000, 0xFF400000,
      0xFFFFFFFF, 0xFFC0C0C0, 0xFF404040, 0x00FFFFFF,
  };
  const auto two = x11::reduceToTwoColours(argb, 4, 2);
  EXPECT_EQ(two.shown, (std::vector<uint8_t>{0, 0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(two.foreground, (std::vector<uint8_t>{0, 0, 1, 1, 0, 0, 1, 0}));
  // Averages of the dark (black, dark red, dark grey) and light (white, light grey) pixels.
  EXPECT_EQ(two.foregroundColour, ((0x40u + 0x40u) / 3 << 16) | (0x40u / 3 << 8) | 0x40u / 3);
  EXPECT_EQ(two.backgroundColour, 0xDFDFDFu);
}

TEST(X11Cursors, AllTransparentOrShortImagesStayHidden) {
  const auto empty = x11::reduceToTwoColours(std::vector<uint32_t>(4, 0x00FFFFFF), 2, 2);
  EXPECT_EQ(empty.shown, (std::vector<uint8_t>(4, 0)));
  EXPECT_EQ(empty.foregroundColour, 0x000000u);
  EXPECT_EQ(empty.backgroundColour, 0xFFFFFFu);
  // Fewer pixels than the size says: the missing ones are not shown, nothing is read past the end.
  const auto shorter = x11::reduceToTwoColours({0xFF000000}, 2, 2);
  EXPECT_EQ(shorter.shown, (std::vector<uint8_t>{1, 0, 0, 0}));
}

}  // namespace
