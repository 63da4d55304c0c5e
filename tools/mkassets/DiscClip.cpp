#include <cmath>

#include "Art.h"

namespace mkassets {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A rainbow colour for a position 0..1 across the spectrum.
Rgb spectrum(double t) {
  double h = (t - std::floor(t)) * 6;
  double f = h - std::floor(h);
  switch (static_cast<int>(h)) {
    case 0: return {255, 255 * f, 0};
    case 1: return {255 * (1 - f), 255, 0};
    case 2: return {0, 255, 255 * f};
    case 3: return {0, 255 * (1 - f), 255};
    case 4: return {255 * f, 0, 255};
    default: return {255, 0, 255 * (1 - f)};
  }
}

}  // namespace

std::vector<Image> discClipFrames() {
  constexpr int kFrames = 8;
  const double cx = 18, cy = 19, radius = 16.5;
  std::vector<Image> frames;
  for (int f = 0; f < kFrames; ++f) {
    double turn = 2 * kPi * f / kFrames;
    Image image(36, 38, rgb(0xC0C0C0));
    image.fill(ellipse(cx + 1, cy + 1.2, radius, radius), rgb(0x000000), 0.25);
    image.fill(ellipse(cx, cy, radius, radius), rgb(0x7C8088));
    // Silver with two light bands and a rainbow sheen that turn with the disc.
    image.fill(ellipse(cx, cy, radius - 0.7, radius - 0.7), [=](double x, double y) {
      double angle = std::atan2(y - cy, x - cx) - turn;
      double r = std::hypot(x - cx, y - cy) / radius;
      double band = std::pow(0.5 + 0.5 * std::cos(2 * angle), 3);
      Rgb silver = mix(rgb(0xA8ADB6), rgb(0xF6F8FB), band);
      return mix(silver, spectrum(0.15 + 0.7 * r + angle / (2 * kPi)), 0.28 * band);
    });
    // A printed mark near the hub shows which way is up as the disc turns.
    auto mark = [=](double x, double y) {
      double angle = std::atan2(y - cy, x - cx) - turn;
      double a = std::remainder(angle - 0.6, 2 * kPi);
      double r = std::hypot(x - cx, y - cy);
      return r > 7.5 && r < 10.5 && a > -0.55 && a < 0.55;
    };
    image.fill(mark, rgb(0x2B4C8C), 0.85);
    image.fill(ring(cx, cy, 6.2, 3.2), rgb(0xDDE1E6));
    image.fill(ring(cx, cy, 6.2, 5.6), rgb(0x9AA0A8));
    image.fill(ellipse(cx, cy, 3.2, 3.2), rgb(0xC0C0C0));
    image.fill(ring(cx, cy, 3.4, 2.9), rgb(0x80858C));
    frames.push_back(std::move(image));
  }
  return frames;
}

}  // namespace mkassets
