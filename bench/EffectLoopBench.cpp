// Blocks per second of the screen-scramble loop (preset 0) on the headless 1024 x 768 screen:
// the cost of the block copy and the yield, without an X server. Read items_per_second.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "EffectLoop.h"

namespace {

void BM_EffectLoopHeadless(benchmark::State& state) {
  setenv("CORVANE_DRIVER", "headless", 1);
  runEffectLoop(state);
}
BENCHMARK(BM_EffectLoopHeadless)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
