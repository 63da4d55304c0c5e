// Stretches and raster operations over a full 1024 x 768 screen between 32 bpp DIB sections. The plain
// SRCCOPY beside a memory copy is in GdiCallsBench, with the button's other calls.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "BlitLoops.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void BM_StretchBltHalve(benchmark::State& state) {
  DibSurface from(kWidth * 2, kHeight * 2), to(kWidth, kHeight);
  SetStretchBltMode(to.dc, static_cast<int>(state.range(0)));
  timeStretchBlt(state, to, from);
}
BENCHMARK(BM_StretchBltHalve)->Arg(COLORONCOLOR)->Arg(BLACKONWHITE);

void BM_StretchBltDouble(benchmark::State& state) {
  DibSurface from(kWidth / 2, kHeight / 2), to(kWidth, kHeight);
  SetStretchBltMode(to.dc, COLORONCOLOR);
  timeStretchBlt(state, to, from);
}
BENCHMARK(BM_StretchBltDouble);

void BM_BitBltSrcAndScreen(benchmark::State& state) {
  DibSurface from(kWidth, kHeight), to(kWidth, kHeight);
  timeBitBlt(state, to, from, SRCAND);
}
BENCHMARK(BM_BitBltSrcAndScreen);

}  // namespace
