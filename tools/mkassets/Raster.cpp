#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace mkassets {

Rgb rgb(uint32_t hex) { return {double((hex >> 16) & 255), double((hex >> 8) & 255), double(hex & 255)}; }

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

void Image::fill(const Inside& inside, const Paint& paint, double opacity) {
  constexpr int kSamples = 4;
  int left = static_cast<int>(std::clamp(std::floor(inside.x0), 0.0, double(width)));
  int top = static_cast<int>(std::clamp(std::floor(inside.y0), 0.0, double(height)));
  int right = static_cast<int>(std::clamp(std::ceil(inside.x1), 0.0, double(width)));
  int bottom = static_cast<int>(std::clamp(std::ceil(inside.y1), 0.0, double(height)));
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
      if (!hits) continue;
      double cover = opacity * hits / (kSamples * kSamples);
      at(x, y) = mix(at(x, y), paint(x + 0.5, y + 0.5), cover);
      double& a = alpha[static_cast<size_t>(y) * width + x];
      a += (1.0 - a) * cover;
    }
  }
}

void Image::fill(const Inside& inside, Rgb colour, double opacity) {
  fill(inside, [colour](double, double) { return colour; }, opacity);
}

std::vector<uint32_t> Image::packed() const {
  std::vector<uint32_t> out;
  out.reserve(pixels.size());
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  for (const Rgb& p : pixels) out.push_back((channel(p.r) << 16) | (channel(p.g) << 8) | channel(p.b));
  return out;
}

Inside rect(double x0, double y0, double x1, double y1) {
  return {[=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, x0, y0, x1, y1};
}

Inside roundRect(double x0, double y0, double x1, double y1, double radius) {
  return {[=](double x, double y) {
            if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
            double cx = std::clamp(x, x0 + radius, x1 - radius);
            double cy = std::clamp(y, y0 + radius, y1 - radius);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
          },
          x0, y0, x1, y1};
}

Inside ellipse(double cx, double cy, double rx, double ry) {
  return {[=](double x, double y) {
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1.0;
          },
          cx - rx, cy - ry, cx + rx, cy + ry};
}

Inside ring(double cx, double cy, double outer, double inner) {
  return {[=](double x, double y) {
            double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return d <= outer * outer && d >= inner * inner;
          },
          cx - outer, cy - outer, cx + outer, cy + outer};
}

Inside polygon(std::vector<std::pair<double, double>> points) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (auto [x, y] : points) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  Test test = [points = std::move(points)](double x, double y) {
    bool in = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      auto [xi, yi] = points[i];
      auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
  };
  return {std::move(test), x0, y0, x1, y1};
}

Inside rotated(Inside shape, double cx, double cy, double angle) {
  return placed(shape, cx, cy, 1.0, angle, -cx, -cy);
}

Inside placed(Inside local, double cx, double cy, double scale, double angle, double ox, double oy) {
  double c = std::cos(-angle), s = std::sin(-angle);
  // The box of the turned shape is the box of its turned corners.
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  bool bounded = local.x1 - local.x0 < 1e8;
  if (bounded) {
    for (double u : {local.x0 + ox, local.x1 + ox})
      for (double v : {local.y0 + oy, local.y1 + oy}) {
        double x = cx + scale * (u * std::cos(angle) - v * std::sin(angle));
        double y = cy + scale * (u * std::sin(angle) + v * std::cos(angle));
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  }
  Test test = [=](double x, double y) {
    double dx = (x - cx) / scale, dy = (y - cy) / scale;
    return local(dx * c - dy * s - ox, dx * s + dy * c - oy);
  };
  if (!bounded) return test;
  return {std::move(test), x0, y0, x1, y1};
}

Inside both(Inside a, Inside b) {
  return {[=](double x, double y) { return a(x, y) && b(x, y); }, std::max(a.x0, b.x0), std::max(a.y0, b.y0),
          std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

Inside without(Inside a, Inside b) {
  return {[=](double x, double y) { return a(x, y) && !b(x, y); }, a.x0, a.y0, a.x1, a.y1};
}

Paint verticalGradient(double y0, Rgb top, double y1, Rgb bottom) {
  return [=](double, double y) { return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)); };
}

Paint horizontalGradient(double x0, Rgb left, double x1, Rgb right) {
  return [=](double x, double) { return mix(left, right, std::clamp((x - x0) / (x1 - x0), 0.0, 1.0)); };
}

}  // namespace mkassets
