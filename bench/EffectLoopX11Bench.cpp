// Blocks per second of the screen-scramble loop (preset 0) on a real X server (a private Xvfb of
// 1024 x 768): each pass copies a block and yields, and the yield shows the block on the server.
// Read items_per_second; without a display the benchmark skips.
#include <benchmark/benchmark.h>

#include "EffectLoop.h"
#include "PrivateXvfb.h"

namespace {

PrivateXvfb xvfb;

void BM_EffectLoopX11(benchmark::State& state) {
  if (xvfb.display().empty()) {
    state.SkipWithError("no X display: Xvfb could not start and DISPLAY is not set");
    return;
  }
  runEffectLoop(state);
}
BENCHMARK(BM_EffectLoopX11)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
