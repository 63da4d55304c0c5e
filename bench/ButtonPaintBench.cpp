// How long one full repaint of a button takes: the renderer composing the picture off screen and
// the single copy to the window. Measured on the headless screen. The result window's Ok button
// and an elliptic gradient button have a source of their own (RedrawButtonBench.cpp), shared with
// the Windows build.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "BenchWindow.h"

namespace {

// A new button's look: classic style, solid face, same size.
void BM_RedrawClassicButton(benchmark::State& state) {
  timeRedraw(state, [](ztButtons_H& button) {
    button.setCaption("&Ok");
    button.UserControl.Size(915, 375);
  });
}
BENCHMARK(BM_RedrawClassicButton);

// Every style, at the result window's button size (61 x 25 pixels, solid face) and at 200 x 60
// pixels with a left-to-right gradient face; the rounded style (2) is the yardstick.
void BM_RedrawStyle(benchmark::State& state) {
  timeRedraw(state, [&state](ztButtons_H& button) {
    button.setButtonStyle(static_cast<int32_t>(state.range(0)));
    button.setCaption("&Ok");
    if (state.range(1)) {
      button.setGradientColor(0x804000);
      button.setGradientMode(1);
      button.UserControl.Size(3000, 900);
    } else {
      button.UserControl.Size(915, 375);
    }
  });
}
BENCHMARK(BM_RedrawStyle)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7}, {0, 1}})->ArgNames({"style", "gradient200x60"});

}  // namespace
