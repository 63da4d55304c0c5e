#include "Art.h"

namespace mkassets {

// The hand is a union of rounded shapes sampled once per pixel; its edge is drawn black and its
// inside white, with short black creases between the fingers.
std::vector<uint8_t> handCursorPixels() {
  std::vector<Inside> parts = {
      roundRect(10, 9, 15, 24, 2.5),   // index finger, its tip at the hot spot
      roundRect(14, 15, 19, 24, 2.4),  // middle
      roundRect(18, 16, 23, 24, 2.4),  // ring
      roundRect(22, 17, 26, 24, 2.0),  // little finger
      roundRect(10, 21, 26, 31, 3.5),  // palm
      placed(roundRect(-2.5, -6, 2.5, 6, 2.5), 8.5, 23.5, 1.0, -0.75),  // thumb
  };
  auto inside = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= 32 || y >= 32) return false;
    for (const Inside& part : parts)
      if (part(x + 0.5, y + 0.5)) return true;
    return false;
  };
  std::vector<uint8_t> pixels(32 * 32, 0);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!inside(x, y)) continue;
      bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      pixels[y * 32 + x] = edge ? 1 : 2;
    }
  }
  const int creases[][3] = {{14, 16, 20}, {18, 17, 20}, {22, 18, 20}};  // x, from y, to y
  for (auto& crease : creases)
    for (int y = crease[1]; y <= crease[2]; ++y) pixels[y * 32 + crease[0]] = 1;
  return pixels;
}

}  // namespace mkassets
