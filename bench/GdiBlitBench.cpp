// Stretches and raster operations over a full 1024 x 768 screen between 32 bpp bitmaps. The plain
// SRCCOPY beside a memory copy is in GdiCallsBench, with the button's other calls.
#include <benchmark/benchmark.h>
#include <windows.h>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Surface {
  Surface(int width, int height)
      : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height, 1, 32, nullptr)) {
    old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void BM_StretchBltHalve(benchmark::State& state) {
  Surface from(kWidth * 2, kHeight * 2), to(kWidth, kHeight);
  SetStretchBltMode(to.dc, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    StretchBlt(to.dc, 0, 0, kWidth, kHeight, from.dc, 0, 0, kWidth * 2, kHeight * 2, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StretchBltHalve)->Arg(COLORONCOLOR)->Arg(BLACKONWHITE);

void BM_StretchBltDouble(benchmark::State& state) {
  Surface from(kWidth / 2, kHeight / 2), to(kWidth, kHeight);
  SetStretchBltMode(to.dc, COLORONCOLOR);
  for (auto _ : state) {
    StretchBlt(to.dc, 0, 0, kWidth, kHeight, from.dc, 0, 0, kWidth / 2, kHeight / 2, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StretchBltDouble);

void BM_BitBltSrcAndScreen(benchmark::State& state) {
  Surface from(kWidth, kHeight), to(kWidth, kHeight);
  for (auto _ : state) {
    BitBlt(to.dc, 0, 0, kWidth, kHeight, from.dc, 0, 0, SRCAND);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BitBltSrcAndScreen);

}  // namespace
