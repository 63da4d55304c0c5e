// The screen-scramble loop for the effect benchmarks: preset 0, ended by a typed key after a
// given number of blocks. Only the blocks are timed, from the first pass's yield to the last's;
// the copy of the screen before them is not.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "forms/frmGraphics.h"
#include "framework/App.h"
#include "user/WindowSystem.h"

inline double effectLoopSeconds(int blocks) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point first, last;
  // The loop yields once per block, and each yield ends in one idle poll.
  auto polls = std::make_shared<int>(0);
  user::sys().onIdle = [&, polls] {
    const int poll = ++*polls;
    if (poll == 1) first = Clock::now();
    if (poll == blocks + 1) {
      last = Clock::now();
      PostMessageA(frmGraphics.peek()->hWnd(), WM_CHAR, 'q', 0);
    }
  };
  frmGraphics.object().ef = 0;
  frmGraphics->Show(vbModal);
  user::sys().onIdle = nullptr;
  DoEvents();
  return std::chrono::duration<double>(last - first).count();
}

inline void runEffectLoop(benchmark::State& state) {
  constexpr int kBlocks = 2000;
  for (auto _ : state) state.SetIterationTime(effectLoopSeconds(kBlocks));
  state.SetItemsProcessed(state.iterations() * kBlocks);
}
