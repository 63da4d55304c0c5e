// The cost of the display's scale: one frame of the result window (312 x 124 pixels) sent to its
// X window at factor 1 and enlarged to factor 2 (and 3), through shared memory as the driver does
// when the server offers it, and through plain XPutImage; each frame waits until the server has
// drawn it. The bench runs its own Xvfb (so it never draws on a desktop); without Xvfb it uses
// $DISPLAY, and without either it skips.
#include <benchmark/benchmark.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PrivateXvfb.h"
#include "drivers/x11/X11Connection.h"
#include "drivers/x11/X11Pixels.h"

namespace {

PrivateXvfb xvfb;
constexpr int kWidth = 312, kHeight = 124;

void BM_PresentResultFrame(benchmark::State& state) {
  const int factor = static_cast<int>(state.range(0));
  const bool shm = state.range(1) != 0;
  std::string error;
  std::unique_ptr<x11::Connection> c(xvfb.display().empty() ? nullptr : x11::Connection::open(nullptr, error));
  if (!c) {
    state.SkipWithError(("no X display: " + error).c_str());
    return;
  }
  Display* d = c->display();
  if (shm && !x11::shmAvailable(d)) {
    state.SkipWithError("the server offers no shared memory");
    return;
  }
  XSetWindowAttributes attributes{};
  attributes.colormap = c->colormap();
  attributes.border_pixel = 0;
  const ::Window window = XCreateWindow(d, c->root(), 0, 0, kWidth * factor, kHeight * factor, 0,
                                        c->depth(), InputOutput, c->visual(),
                                        CWColormap | CWBorderPixel, &attributes);
  XMapWindow(d, window);
  const GC gc = XCreateGC(d, window, 0, nullptr);
  // Something of the window's kind: a grey face, a dark frame, a few lines of text-like dots.
  std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0xC0C0C0);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (x < 2 || y < 2 || (y > 10 && y < 20 && (x * 7 + y) % 5 == 0)) pixels[static_cast<size_t>(y) * kWidth + x] = 0;
  const x11::PixelBuffer buffer{reinterpret_cast<uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4};
  x11::Presenter presenter(d, c->visual(), c->depth(), c->format(), shm);
  XSync(d, False);
  for (auto _ : state) {
    presenter.put(window, gc, buffer, 0, 0, kWidth, kHeight, 0, 0, x11::Scale{factor});
    XSync(d, False);
  }
  state.counters["screen_pixels"] = kWidth * kHeight * factor * factor;
  XFreeGC(d, gc);
  XDestroyWindow(d, window);
  XSync(d, False);
}
BENCHMARK(BM_PresentResultFrame)
    ->ArgNames({"factor", "shm"})
    ->ArgsProduct({{1, 2, 3}, {1, 0}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
