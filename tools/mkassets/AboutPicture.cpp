#include "Art.h"

namespace mkassets {

// A diskette standing in the evening light.
Image aboutPicture() {
  Image image(48, 60, rgb(0x000000));
  image.fill(rect(0, 0, 48, 60), verticalGradient(0, rgb(0x1B2A4A), 60, rgb(0x8FB8E0)));
  image.fill(ellipse(24, 55, 20, 3.5), rgb(0x0A1020), 0.35);
  // Body.
  auto body = polygon({{5, 9}, {39, 9}, {43, 13}, {43, 51}, {5, 51}});
  image.fill(body, verticalGradient(9, rgb(0x3A4C78), 51, rgb(0x141C34)));
  image.fill(polygon({{6, 10}, {38.5, 10}, {42, 13.5}, {42, 11}, {39, 10}}), rgb(0xFFFFFF), 0.15);
  // Metal shutter and its window.
  image.fill(rect(13, 9, 35, 25), horizontalGradient(13, rgb(0xE8ECF0), 35, rgb(0x8C949E)));
  image.fill(rect(27, 11, 31, 23), rgb(0x1A1E26));
  image.fill(rect(13, 9, 35, 10), rgb(0xFFFFFF), 0.6);
  // Label.
  image.fill(rect(9, 30, 39, 50), verticalGradient(30, rgb(0xFFFDF5), 50, rgb(0xE6E1D2)));
  image.fill(rect(9, 30, 39, 33), rgb(0xC83C3C));
  for (int line = 0; line < 4; ++line) image.fill(rect(12, 37 + 3.5 * line, 36 - 5 * (line % 2), 38 + 3.5 * line), rgb(0x5870A8));
  // Write-protect notch and hub hint.
  image.fill(rect(38, 45, 41, 48), rgb(0x0A0E18));
  image.fill(rect(6, 45, 8, 48), rgb(0x0A0E18));
  return image;
}

}  // namespace mkassets
