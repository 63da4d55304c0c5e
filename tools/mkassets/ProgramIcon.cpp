#include "Art.h"

namespace mkassets {

// A drive with a green arrow pointing into it: data going down to the disk.
Image programIcon(int size) {
  double s = size / 32.0;
  Image image(size, size, rgb(0xC0C0C0), 0.0);
  auto scaled = [s](double v) { return v * s; };
  // The drive.
  image.fill(roundRect(scaled(1.5), scaled(17.5), scaled(30.5), scaled(30), scaled(3)), rgb(0x3C3A36));
  image.fill(roundRect(scaled(2.5), scaled(18.5), scaled(29.5), scaled(29), scaled(2.5)),
             verticalGradient(scaled(18.5), rgb(0xF4F1EA), scaled(29), rgb(0xA8A398)));
  image.fill(rect(scaled(5), scaled(22), scaled(21), scaled(24)), rgb(0x2A2A2A));
  image.fill(ellipse(scaled(25.5), scaled(25), scaled(2), scaled(2)), rgb(0xFFB020));
  // The arrow, outlined so it reads on any desktop.
  auto outline = polygon({{scaled(10.5), scaled(0.5)}, {scaled(21.5), scaled(0.5)}, {scaled(21.5), scaled(9)},
                          {scaled(27.5), scaled(9)}, {scaled(16), scaled(20.5)}, {scaled(4.5), scaled(9)},
                          {scaled(10.5), scaled(9)}});
  auto arrow = polygon({{scaled(12), scaled(2)}, {scaled(20), scaled(2)}, {scaled(20), scaled(10.5)},
                        {scaled(24), scaled(10.5)}, {scaled(16), scaled(18.5)}, {scaled(8), scaled(10.5)},
                        {scaled(12), scaled(10.5)}});
  image.fill(outline, rgb(0x104010));
  image.fill(arrow, horizontalGradient(scaled(8), rgb(0x7CD86C), scaled(24), rgb(0x1F8A2A)));
  return image;
}

}  // namespace mkassets
