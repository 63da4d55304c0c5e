// The button's geometry: building the window region of each shape, preparing a 48 x 48 bitmap
// picture (its scaled copy and key-colour scan), and a whole resize (buffer, region, layout and
// paint) of a 100 x 30 button.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "BenchWindow.h"
#include "framework/StdPicture.h"
#include "tests/button/support/ztButtonsInspector.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A 48 x 48 picture: a key-coloured border with a few near-key pixels, a blue body.
PictureRef picture48() {
  BITMAPINFO bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 48;
  bi.bmiHeader.biHeight = -48;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* p = static_cast<uint32_t*>(bits);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const bool border = x < 6 || y < 6 || x >= 42 || y >= 42;
      const bool nearKey = border && (x + y) % 7 == 0;
      p[y * 48 + x] = border ? (nearKey ? 0xFD02FD : 0xFF00FF) : 0x0000C8;
    }
  return std::make_shared<StdPicture>(StdPicture::Kind::Bitmap, bmp, std::vector<uint8_t>{});
}

void sizeButton(ztButtons_H& b, int w, int h) { b.Move(0, 0, w * 15, h * 15); }

void BM_CreateButtonRegion(benchmark::State& state) {
  BenchWindow window;
  window.Load();
  ztButtons_H& b = window.Ok;
  ztButtonsInspector in(b);
  const auto shape = static_cast<int32_t>(state.range(0));
  b.setPicture(picture48());
  sizeButton(b, 100, 30);
  if (shape >= 7)
    b.setButtonShape(shape);  // fits the button to the picture once
  else
    in.stored().ButtonShape = shape;
  for (auto _ : state) in.CreateButtonRegion();
}
BENCHMARK(BM_CreateButtonRegion)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);

void BM_PrepareScaledPicture48(benchmark::State& state) {
  BenchWindow window;
  window.Load();
  ztButtons_H& b = window.Ok;
  ztButtonsInspector in(b);
  b.setPicture(picture48());
  for (auto _ : state) {
    HRGN none = nullptr;
    in.PrepareScaledPicture(48, 48, none);
  }
}
BENCHMARK(BM_PrepareScaledPicture48)->Unit(benchmark::kMicrosecond);

void BM_FullResize(benchmark::State& state) {
  BenchWindow window;
  window.Load();
  ztButtons_H& b = window.Ok;
  b.setCaption("Resize me");
  b.setButtonStyle(2);
  b.setPicture(picture48());
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    sizeButton(b, wide ? 101 : 100, 30);
  }
}
BENCHMARK(BM_FullResize)->Unit(benchmark::kMicrosecond);

}  // namespace
