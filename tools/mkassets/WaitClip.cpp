#include <cmath>

#include "Art.h"

namespace mkassets {

namespace {

constexpr int kWidth = 252, kHeight = 58, kFrames = 16;
constexpr double kPi = 3.14159265358979323846;
const Rgb kFace = rgb(0xC0C0C0);

// The shape narrowed across by `k` (1 keeps it): a sheet seen tilting away.
Inside narrowed(Inside shape, double k) {
  return {[shape, k](double x, double y) { return shape(x / k, y); }, shape.x0 * k, shape.y0, shape.x1 * k, shape.y1};
}

// A sheet of paper around the origin: 30 x 38 with a folded top-right corner.
void drawSheet(Image& image, double cx, double cy, double scale, double angle, double opacity, double tilt = 1.0) {
  const double w = 15, h = 19, fold = 7;
  auto placed = [tilt](Inside shape, double x, double y, double s, double a) {
    return mkassets::placed(narrowed(std::move(shape), tilt), x, y, s, a);
  };
  auto outline = polygon({{-w - 0.8, -h - 0.8}, {w - fold, -h - 0.8}, {w + 0.8, -h + fold}, {w + 0.8, h + 0.8}, {-w - 0.8, h + 0.8}});
  auto paper = polygon({{-w, -h}, {w - fold, -h}, {w, -h + fold}, {w, h}, {-w, h}});
  auto corner = polygon({{w - fold, -h}, {w - fold, -h + fold}, {w, -h + fold}});
  image.fill(placed(outline, cx, cy, scale, angle), rgb(0x707070), opacity);
  image.fill(placed(paper, cx, cy, scale, angle), verticalGradient(cy - h * scale, rgb(0xFFFFFF), cy + h * scale, rgb(0xE8ECF2)),
             opacity);
  image.fill(placed(corner, cx, cy, scale, angle), rgb(0xC8CCD4), opacity);
  // Lines of text, the first one a heading.
  image.fill(placed(rect(-w + 4, -h + 5, 2, -h + 7), cx, cy, scale, angle), rgb(0x3050A0), opacity);
  for (int line = 0; line < 7; ++line) {
    double y = -h + 11 + line * 3.6;
    double right = (line % 3 == 2) ? 3 : w - 4;
    image.fill(placed(rect(-w + 4, y, right, y + 1.3), cx, cy, scale, angle), rgb(0x9098A8), opacity);
  }
}

void drawStack(Image& image) {
  image.fill(ellipse(31, 52, 19, 2.5), rgb(0x000000), 0.18);
  drawSheet(image, 35, 27, 1.0, 0.0, 1.0);
  drawSheet(image, 33, 29, 1.0, 0.0, 1.0);
}

void drawDrive(Image& image, bool lightOn) {
  image.fill(ellipse(214, 49, 33, 3), rgb(0x000000), 0.2);
  image.fill(roundRect(181, 15, 247, 47, 3.5), rgb(0x55524C));
  image.fill(roundRect(182, 16, 246, 46, 3), verticalGradient(16, rgb(0xF2EFE8), 46, rgb(0xB9B4AA)));
  image.fill(rect(184, 17, 244, 18), rgb(0xFFFFFF), 0.8);
  // The slot the sheet goes into, with a lit lip under it.
  image.fill(roundRect(192, 23, 236, 28, 2), rgb(0x26282C));
  image.fill(rect(194, 28, 234, 29), rgb(0xFFFFFF), 0.7);
  // Grille ridges.
  for (int i = 0; i < 3; ++i) {
    image.fill(rect(188, 36 + 3 * i, 206, 37 + 3 * i), rgb(0x8C877C));
    image.fill(rect(188, 37 + 3 * i, 206, 38 + 3 * i), rgb(0xFFFFFF), 0.6);
  }
  // The activity light.
  if (lightOn) {
    image.fill(ellipse(236, 39, 5.5, 5.5), rgb(0xFFB020), 0.35);
    image.fill(ellipse(236, 39, 2.6, 2.6), rgb(0xFFD040));
    image.fill(ellipse(235.3, 38.3, 1.0, 1.0), rgb(0xFFFFE0));
  } else {
    image.fill(ellipse(236, 39, 2.6, 2.6), rgb(0x4A3A20));
    image.fill(ellipse(235.3, 38.3, 0.9, 0.9), rgb(0x8A7A60));
  }
}

// Where the flying sheet is at time t (0 on the stack, 1 at the slot): a smooth arc over the gap.
// On the way it turns to lie along the slot and tilts until it is a sliver that fits in.
struct Flight {
  double x, y, scale, angle, tilt;
};

Flight flightAt(double t) {
  double e = t * t * (3 - 2 * t);
  double x0 = 31, y0 = 31, cx = 120, cy = 20, x1 = 214, y1 = 25.5;
  double u = 1 - e;
  return {u * u * x0 + 2 * u * e * cx + e * e * x1, u * u * y0 + 2 * u * e * cy + e * e * y1, 1.0 - 0.25 * e,
          -kPi / 2 * e, 1.0 - 0.9 * e};
}

}  // namespace

std::vector<Image> waitClipFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < kFrames; ++f) {
    Image image(kWidth, kHeight, kFace);
    drawStack(image);
    // The light flickers while the sheet is written: on the frames after it went in.
    bool light = f >= 11 && (f % 2 == 1 || f == 12);
    drawDrive(image, light);
    if (f <= 10) {
      double t = f / 10.0;
      for (int ghost = 2; ghost >= 1; --ghost) {
        if (f - ghost < 0) continue;
        Flight g = flightAt((f - ghost) / 10.0);
        drawSheet(image, g.x, g.y, g.scale, g.angle, ghost == 1 ? 0.3 : 0.14, g.tilt);
      }
      Flight now = flightAt(t);
      drawSheet(image, now.x, now.y, now.scale, now.angle, f == 10 ? 0.6 : 1.0, now.tilt);
    }
    frames.push_back(std::move(image));
  }
  return frames;
}

}  // namespace mkassets
