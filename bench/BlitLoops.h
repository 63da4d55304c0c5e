// The blit loops timed both beside the button's other calls and among the full-screen raster
// operations, on either benchmark harness.
#pragma once

#ifdef _WIN32
#include "MiniBenchmark.h"
#else
#include <benchmark/benchmark.h>
#endif
#include <windows.h>

#include "DibSurface.h"

// Times one whole-surface BitBlt with the given raster operation per iteration.
inline void timeBitBlt(benchmark::State& state, const DibSurface& to, const DibSurface& from, DWORD rop) {
  for (auto _ : state) {
    BitBlt(to.dc, 0, 0, to.width, to.height, from.dc, 0, 0, rop);
    benchmark::ClobberMemory();
  }
}

// Times one StretchBlt of the whole source onto the whole target per iteration, in the target's
// stretch mode.
inline void timeStretchBlt(benchmark::State& state, const DibSurface& to, const DibSurface& from) {
  for (auto _ : state) {
    StretchBlt(to.dc, 0, 0, to.width, to.height, from.dc, 0, 0, from.width, from.height, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
