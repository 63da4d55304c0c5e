// One full repaint of the result window's Ok button and of an elliptic gradient button, built both
// for Linux (Google Benchmark, our platform's headless screen) and for Windows (MiniBenchmark.h,
// the real GDI; scripts/bench-vs-wine runs it under Wine), so that the two can be set side by side.
#ifdef _WIN32
#include "MiniBenchmark.h"
#else
#include <benchmark/benchmark.h>
#endif
#include <windows.h>

#include "BenchWindow.h"

namespace {

// The result window's Ok button: 915 x 375 twips (61 x 25 pixels), rounded style, darkening face.
void BM_RedrawRoundedOkButton(benchmark::State& state) {
  timeRedraw(state, [](ztButtons_H& button) {
    button.setButtonStyle(2);
    button.setCaption("&Ok");
    button.UserControl.Size(915, 375);
  });
}
BENCHMARK(BM_RedrawRoundedOkButton);

// An elliptic button (80 x 40 pixels) with a top-to-bottom gradient face and its shaded edge ring.
void BM_RedrawEllipticGradientButton(benchmark::State& state) {
  timeRedraw(state, [](ztButtons_H& button) {
    button.setCaption("&Ok");
    button.setBackColor(0xFFC080);
    button.setGradientColor(0x804000);
    button.setGradientMode(3);
    button.setButtonShape(4);
    button.UserControl.Size(1200, 600);
  });
}
BENCHMARK(BM_RedrawEllipticGradientButton);

}  // namespace

#ifdef _WIN32
BENCHMARK_MAIN();
#endif
