// The GDI calls the button makes, at the sizes it makes them, on 32-bit DIB sections. The same
// source builds against our platform (Google Benchmark) and, with mingw-w64, against a real Win32
// GDI (the small harness in MiniBenchmark.h), so that scripts/bench-vs-wine can set the two side by
// side call for call.
#include "BlitLoops.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The result window's Ok button, and the elliptic gradient button of the button benchmarks.
constexpr int kOkWidth = 61, kOkHeight = 25;
constexpr int kEllipseWidth = 80, kEllipseHeight = 40;

void MemcpyScreen(benchmark::State& state) {
  std::vector<unsigned char> from(size_t{kScreenWidth} * kScreenHeight * 4, 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(MemcpyScreen);

void BitBltSrcCopyScreen(benchmark::State& state) {
  DibSurface from(kScreenWidth, kScreenHeight), to(kScreenWidth, kScreenHeight);
  timeBitBlt(state, to, from, SRCCOPY);
}
BENCHMARK(BitBltSrcCopyScreen);

void StretchBltHalve(benchmark::State& state) {
  DibSurface from(kScreenWidth, kScreenHeight), to(kScreenWidth / 2, kScreenHeight / 2);
  SetStretchBltMode(to.dc, COLORONCOLOR);
  timeStretchBlt(state, to, from);
}
BENCHMARK(StretchBltHalve);

// Region builders from 8x8 up to 400x300: ellipses, rings (an ellipse with the ellipse two pixels
// inside it cut out), rounded rectangles, slanted outlines and rectangles with cut corners, each
// made and deleted once per iteration. A row built from `shapes` shapes cycles through that many,
// up to three pixels wider and taller than its size (and corners as much larger): sixteen is more
// than any cache of recent shapes holds, so every iteration builds its shape from scratch.
struct ShapeCycle {
  int shapes, next = 0;
  // Pixels added to the width and the height of the next shape.
  std::pair<int, int> grow() {
    int k = next;
    next = (next + 1) % shapes;
    return {k & 3, k >> 2};
  }
};
constexpr int kFreshShapes = 16;

void timeEllipse(benchmark::State& state, int w, int h, int shapes) {
  ShapeCycle cycle{shapes};
  for (auto _ : state) {
    auto [dw, dh] = cycle.grow();
    HRGN region = CreateEllipticRgn(0, 0, w + dw, h + dh);
    benchmark::DoNotOptimize(region);
    DeleteObject(region);
  }
}

void timeRing(benchmark::State& state, int w, int h, int shapes) {
  ShapeCycle cycle{shapes};
  for (auto _ : state) {
    auto [dw, dh] = cycle.grow();
    HRGN outer = CreateEllipticRgn(0, 0, w + dw, h + dh);
    HRGN inner = CreateEllipticRgn(2, 2, w + dw - 2, h + dh - 2);
    CombineRgn(outer, outer, inner, RGN_DIFF);
    benchmark::DoNotOptimize(outer);
    DeleteObject(inner);
    DeleteObject(outer);
  }
}

void timeRoundRect(benchmark::State& state, int w, int h, int shapes) {
  int corner = std::min(w, h) / 2;
  ShapeCycle cycle{shapes};
  for (auto _ : state) {
    auto [dw, dh] = cycle.grow();
    HRGN region = CreateRoundRectRgn(0, 0, w + dw + 1, h + dh + 1, corner + dw, corner + dh);
    benchmark::DoNotOptimize(region);
    DeleteObject(region);
  }
}

void timeSlanted(benchmark::State& state, int w, int h, int) {
  int d = std::min(h + 1, w / 2);
  const POINT points[4] = {{0, 0}, {d, h + 1}, {w + 1, h + 1}, {w + 1 - d, 0}};
  for (auto _ : state) {
    HRGN region = CreatePolygonRgn(points, 4, WINDING);
    benchmark::DoNotOptimize(region);
    DeleteObject(region);
  }
}

void timeCutCorners(benchmark::State& state, int w, int h, int) {
  int c = std::min(3, std::min(w, h) / 2);
  const POINT corners[4][3] = {{{0, 0}, {c - 1, 0}, {0, c - 1}},
                               {{0, h}, {c, h}, {0, h - c}},
                               {{w, 0}, {w - c + 1, 0}, {w, c - 1}},
                               {{w, h}, {w - c, h}, {w, h - c}}};
  for (auto _ : state) {
    HRGN region = CreateRectRgn(0, 0, w + 1, h + 1);
    for (const auto& corner : corners) {
      HRGN trim = CreatePolygonRgn(corner, 3, WINDING);
      CombineRgn(region, region, trim, RGN_DIFF);
      DeleteObject(trim);
    }
    benchmark::DoNotOptimize(region);
    DeleteObject(region);
  }
}

#define REGION_BENCHMARK(shape, name, w, h, shapes)                                      \
  void Region##name##_##w##x##h(benchmark::State& state) { time##shape(state, w, h, shapes); } \
  BENCHMARK(Region##name##_##w##x##h);
#define REGION_SIZES_NAMED(shape, name, shapes)  \
  REGION_BENCHMARK(shape, name, 8, 8, shapes)     \
  REGION_BENCHMARK(shape, name, 16, 16, shapes)   \
  REGION_BENCHMARK(shape, name, 32, 24, shapes)   \
  REGION_BENCHMARK(shape, name, 61, 25, shapes)   \
  REGION_BENCHMARK(shape, name, 100, 30, shapes)  \
  REGION_BENCHMARK(shape, name, 200, 100, shapes) \
  REGION_BENCHMARK(shape, name, 400, 300, shapes)
#define REGION_SIZES(shape) REGION_SIZES_NAMED(shape, shape, 1)
#define REGION_SIZES_UNCACHED(shape) REGION_SIZES_NAMED(shape, shape##Uncached, kFreshShapes)
REGION_SIZES(Ellipse)
REGION_SIZES_UNCACHED(Ellipse)
REGION_SIZES(Ring)
REGION_SIZES_UNCACHED(Ring)
REGION_SIZES(RoundRect)
REGION_SIZES_UNCACHED(RoundRect)
REGION_SIZES(Slanted)
REGION_SIZES(CutCorners)

void EllipticRgnWithHole(benchmark::State& state) {
  HRGN hole = CreateRectRgn(40, 10, 60, 20);
  for (auto _ : state) {
    HRGN ellipse = CreateEllipticRgn(0, 0, 100, 30);
    CombineRgn(ellipse, ellipse, hole, RGN_DIFF);
    benchmark::DoNotOptimize(ellipse);
    DeleteObject(ellipse);
  }
  DeleteObject(hole);
}
BENCHMARK(EllipticRgnWithHole);

// The outline of the elliptic button and its two clip regions, one and two pixels inside it.
void EllipticButtonRegions(benchmark::State& state) {
  for (auto _ : state) {
    HRGN outline = CreateEllipticRgn(0, 0, kEllipseWidth, kEllipseHeight);
    HRGN outer = CreateEllipticRgn(1, 1, kEllipseWidth - 1, kEllipseHeight - 1);
    HRGN inner = CreateEllipticRgn(2, 2, kEllipseWidth - 2, kEllipseHeight - 2);
    benchmark::DoNotOptimize(inner);
    DeleteObject(inner);
    DeleteObject(outer);
    DeleteObject(outline);
  }
}
BENCHMARK(EllipticButtonRegions);

// The Ok button's outline slanted on the left, on the right and on both sides.
void PolygonRgnSlanted(benchmark::State& state) {
  constexpr int W = kOkWidth, H = kOkHeight, d = H + 1, e = W - d;
  const POINT shapes[3][4] = {
      {{0, 0}, {d, H + 1}, {W + 1, H + 1}, {W + 1, 0}},
      {{0, 0}, {0, H + 1}, {W + 1, H + 1}, {e + 1, 0}},
      {{0, 0}, {d, H + 1}, {W + 1, H + 1}, {e + 1, 0}},
  };
  for (auto _ : state) {
    for (const auto& points : shapes) {
      HRGN region = CreatePolygonRgn(points, 4, WINDING);
      benchmark::DoNotOptimize(region);
      DeleteObject(region);
    }
  }
}
BENCHMARK(PolygonRgnSlanted);

// A rounded style's outline: the rectangle with its four corner triangles cut out.
void RectRgnWithCutCorners(benchmark::State& state) { timeCutCorners(state, kOkWidth, kOkHeight, 1); }
BENCHMARK(RectRgnWithCutCorners);

void RowsWithOwnPenAndBrush(benchmark::State& state) {
  DibSurface surface(kOkWidth, kOkHeight);
  for (auto _ : state) {
    for (int y = 0; y < kOkHeight; ++y) {
      COLORREF color = RGB(y * 9, 255 - y * 9, 128);
      HBRUSH brush = CreateSolidBrush(color);
      HPEN pen = CreatePen(PS_SOLID, 1, color);
      HGDIOBJ oldBrush = SelectObject(surface.dc, brush);
      HGDIOBJ oldPen = SelectObject(surface.dc, pen);
      Rectangle(surface.dc, 0, y, kOkWidth, y + 1);
      SelectObject(surface.dc, oldPen);
      SelectObject(surface.dc, oldBrush);
      DeleteObject(pen);
      DeleteObject(brush);
    }
  }
}
BENCHMARK(RowsWithOwnPenAndBrush);

// The three rings of the bevelled edge around the Ok button: twelve one-segment polylines, each
// with its own pen.
void BevelRingPolylines(benchmark::State& state) {
  constexpr int W = kOkWidth, H = kOkHeight;
  const POINT p[14] = {{2, H - 3},     {2, 2},     {W - 3, 2}, {W - 3, H - 3}, {1, H - 3},
                       {1, H - 2},     {1, 1},     {W - 2, 1}, {W - 2, H - 2}, {0, H - 2},
                       {0, H - 1},     {0, 0},     {W - 1, 0}, {W - 1, H - 1}};
  DibSurface surface(W, H);
  for (auto _ : state) {
    for (int j = 0; j <= 13; ++j) {
      if (j == 4 || j == 9) continue;
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(j * 20, 0, 255 - j * 20));
      HGDIOBJ oldPen = SelectObject(surface.dc, pen);
      Polyline(surface.dc, &p[j], 2);
      SelectObject(surface.dc, oldPen);
      DeleteObject(pen);
    }
  }
}
BENCHMARK(BevelRingPolylines);

// A top-to-bottom gradient face of the elliptic button: one brush and one FillRect per row.
void GradientFillRectBands(benchmark::State& state) {
  DibSurface surface(kEllipseWidth, kEllipseHeight);
  for (auto _ : state) {
    for (int y = 0; y < kEllipseHeight; ++y) {
      HBRUSH brush = CreateSolidBrush(RGB(255 - y * 3, 192 - y * 2, 128));
      RECT band{0, y, kEllipseWidth, y + 1};
      FillRect(surface.dc, &band, brush);
      DeleteObject(brush);
    }
  }
}
BENCHMARK(GradientFillRectBands);

void FocusRect(benchmark::State& state) {
  DibSurface surface(kOkWidth, kOkHeight);
  const RECT focus{4, 4, kOkWidth - 4, kOkHeight - 4};
  for (auto _ : state) DrawFocusRect(surface.dc, &focus);
}
BENCHMARK(FocusRect);

void DrawTextOkCentred(benchmark::State& state) {
  DibSurface surface(kOkWidth, kOkHeight);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  HGDIOBJ oldFont = SelectObject(surface.dc, font);
  SetBkMode(surface.dc, TRANSPARENT);
  for (auto _ : state) {
    RECT box{0, 0, kOkWidth, kOkHeight};
    DrawTextA(surface.dc, "&Ok", 3, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(surface.dc, oldFont);
  DeleteObject(font);
}
BENCHMARK(DrawTextOkCentred);

// The window region of a slanted button handed to its (hidden) child window.
void SetWindowRgnOnChild(benchmark::State& state) {
#ifndef _WIN32
  setenv("CORVANE_DRIVER", "headless", 0);  // timings without an X server
#endif
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "GdiCallsBenchWindow";
  RegisterClassA(&windowClass);
  HWND parent = CreateWindowExA(0, windowClass.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  HWND child = CreateWindowExA(0, windowClass.lpszClassName, "", WS_CHILD | WS_VISIBLE, 10, 10, kOkWidth, kOkHeight,
                               parent, nullptr, windowClass.hInstance, nullptr);
  const POINT slant[4] = {{0, 0}, {kOkHeight + 1, kOkHeight + 1}, {kOkWidth + 1, kOkHeight + 1}, {kOkWidth + 1, 0}};
  for (auto _ : state) {
    HRGN region = CreatePolygonRgn(slant, 4, WINDING);
    if (!SetWindowRgn(child, region, TRUE)) DeleteObject(region);
  }
  DestroyWindow(parent);
  UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
}
BENCHMARK(SetWindowRgnOnChild);

}  // namespace

#ifdef _WIN32
BENCHMARK_MAIN();
#endif
