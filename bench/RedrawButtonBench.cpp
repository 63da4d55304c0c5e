// One full repaint of the result window's Ok button and of an elliptic gradient button, built both
// for Linux (Google Benchmark, our platform's headless screen) and for Windows (MiniBenchmark.h,
// the real GDI; scripts/bench-vs-wine runs it under Wine), so that the two can be set side by side.
#ifdef _WIN32
#include "MiniBenchmark.h"
#else
#include <benchmark/benchmark.h>
#include <corvane/headless.h>
#endif
#include <windows.h>

#include "BenchWindow.h"
#include "framework/App.h"

namespace {

// Delivers what the window's showing queued (its first paint), so that the loop times repaints alone.
void settle() {
#ifdef _WIN32
  DoEvents();
#else
  corvane::headless::runUntilIdle();
#endif
}

// The result window's Ok button: 915 x 375 twips (61 x 25 pixels), rounded style, darkening face.
void BM_RedrawRoundedOkButton(benchmark::State& state) {
  BenchWindow w;
  w.Load();
  w.Show();
  w.Ok.setButtonStyle(2);
  w.Ok.setCaption("&Ok");
  w.Ok.UserControl.Size(915, 375);
  settle();
  for (auto _ : state) w.Ok.Refresh();
}
BENCHMARK(BM_RedrawRoundedOkButton);

// An elliptic button (80 x 40 pixels) with a top-to-bottom gradient face and its shaded edge ring.
void BM_RedrawEllipticGradientButton(benchmark::State& state) {
  BenchWindow w;
  w.Load();
  w.Show();
  w.Ok.setCaption("&Ok");
  w.Ok.setBackColor(0xFFC080);
  w.Ok.setGradientColor(0x804000);
  w.Ok.setGradientMode(3);
  w.Ok.setButtonShape(4);
  w.Ok.UserControl.Size(1200, 600);
  settle();
  for (auto _ : state) w.Ok.Refresh();
}
BENCHMARK(BM_RedrawEllipticGradientButton);

}  // namespace

#ifdef _WIN32
BENCHMARK_MAIN();
#endif
