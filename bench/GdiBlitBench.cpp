// Blits of a full 1024 x 768 screen between 32 bpp bitmaps, beside a plain memory copy of the
// same bytes for scale.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>
#include <vector>

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

void BM_MemcpyScreen(benchmark::State& state) {
  std::vector<BYTE> from(size_t{kWidth} * kHeight * 4, 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(from.size()));
}
BENCHMARK(BM_MemcpyScreen);

void BM_BitBltSrcCopyScreen(benchmark::State& state) {
  Surface from(kWidth, kHeight), to(kWidth, kHeight);
  for (auto _ : state) {
    BitBlt(to.dc, 0, 0, kWidth, kHeight, from.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
}
BENCHMARK(BM_BitBltSrcCopyScreen);

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
