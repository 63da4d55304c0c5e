// What the pointer costs a button: one mouse move while the pointer is already over it (no
// repaint is due), and one press with its release, each with the repaint it brings. Input goes
// through the headless driver, so the real window messages reach the button. The clock is
// frozen: the hover poll falls due only when a measurement moves the clock itself.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "BenchWindow.h"

#include <corvane/headless.h>

namespace {

namespace hl = corvane::headless;

// The result window's Ok button: 61 x 25 pixels, rounded style, caption "&Ok"; the pointer is
// over its middle when this returns, and the hover has started.
POINT openWithPointerOver(BenchWindow& w) {
  hl::freezeClock(true);
  w.Load();
  w.Ok.Move(2640, 1440, 915, 375);
  w.Show();
  w.Ok.setButtonStyle(2);
  w.Ok.setCaption("&Ok");
  hl::runUntilIdle();
  RECT r;
  GetWindowRect(w.Ok.hWnd(), &r);
  POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  hl::mouseMove(middle.x, middle.y);
  hl::runUntilIdle();
  return middle;
}

void close(BenchWindow& w) {
  hl::mouseMove(0, 0);
  hl::runFor(200);
  w.Unload();
  hl::freezeClock(false);
}

void BM_MouseMoveWhileHovering(benchmark::State& state) {
  BenchWindow w;
  POINT middle = openWithPointerOver(w);
  int step = 0;
  for (auto _ : state) {
    hl::mouseMove(middle.x + (step++ & 1), middle.y);
    hl::runUntilIdle();
  }
  close(w);
}
BENCHMARK(BM_MouseMoveWhileHovering);

void BM_PressAndReleaseOkButton(benchmark::State& state) {
  BenchWindow w;
  openWithPointerOver(w);
  for (auto _ : state) {
    hl::mouseDown();
    hl::runUntilIdle();
    hl::mouseUp();
    hl::runUntilIdle();
    // Far enough apart that the next press is not the second half of a double click.
    state.PauseTiming();
    hl::advanceTime(1000);
    hl::runUntilIdle();
    state.ResumeTiming();
  }
  close(w);
}
BENCHMARK(BM_PressAndReleaseOkButton);

}  // namespace
