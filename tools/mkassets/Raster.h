// Anti-aliased drawing for the generated pictures: every shape is an inside-test sampled 4 x 4
// times per pixel, painted with a colour that may vary across the picture.
#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace mkassets {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb rgb(uint32_t hex);  // 0xRRGGBB
Rgb mix(Rgb a, Rgb b, double t);

using Test = std::function<bool(double x, double y)>;
using Paint = std::function<Rgb(double x, double y)>;

// A shape: its inside-test and a box that holds all of it, so filling skips the rest.
struct Inside {
  Test test;
  double x0 = -1e9, y0 = -1e9, x1 = 1e9, y1 = 1e9;

  Inside() = default;
  template <typename F>
    requires(!std::is_same_v<std::decay_t<F>, Inside>)
  Inside(F f) : test(std::move(f)) {}
  Inside(Test f, double left, double top, double right, double bottom)
      : test(std::move(f)), x0(left), y0(top), x1(right), y1(bottom) {}
  bool operator()(double x, double y) const { return test(x, y); }
};

struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  std::vector<double> alpha;  // how much of each pixel the shapes cover, over the starting coverage

  Image(int w, int h, Rgb background, double coverage = 1.0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * h, background), alpha(pixels.size(), coverage) {}
  Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

  void fill(const Inside& inside, const Paint& paint, double opacity = 1.0);
  void fill(const Inside& inside, Rgb colour, double opacity = 1.0);

  // 0xRRGGBB of each pixel, rounded.
  std::vector<uint32_t> packed() const;
};

// Shapes in pixel coordinates (pixel x covers x .. x+1).
Inside rect(double x0, double y0, double x1, double y1);
Inside roundRect(double x0, double y0, double x1, double y1, double radius);
Inside ellipse(double cx, double cy, double rx, double ry);
Inside ring(double cx, double cy, double outer, double inner);
Inside polygon(std::vector<std::pair<double, double>> points);
// The shape turned by `angle` radians about (cx, cy).
Inside rotated(Inside shape, double cx, double cy, double angle);
// `local` drawn around the origin (shifted by ox, oy first), scaled, turned by `angle` and centred
// on (cx, cy).
Inside placed(Inside local, double cx, double cy, double scale, double angle, double ox = 0, double oy = 0);
Inside both(Inside a, Inside b);
Inside without(Inside a, Inside b);

Paint verticalGradient(double y0, Rgb top, double y1, Rgb bottom);
Paint horizontalGradient(double x0, Rgb left, double x1, Rgb right);

}  // namespace mkassets
