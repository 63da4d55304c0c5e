// The About window on the headless screen, from the click on the result window's Info button to
// the About window's first paint (its description read, its pictures and clip loaded, every
// control drawn). The window is closed once painted and released, so each click opens it afresh.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <corvane/headless.h>

#include <chrono>
#include <cstdlib>

#include "forms/frmAbout.h"
#include "forms/frmFine.h"

namespace hl = corvane::headless;

namespace {

bool painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetUpdateRect(child, nullptr, FALSE)) return false;
  return true;
}

void BM_InfoClickToAboutWindowPainted(benchmark::State& state) {
  setenv("CORVANE_DRIVER", "headless", 1);
  SetMsgBoxHook([](const std::string&, int, const std::string&) { return vbOK; });
  frmFine->Show(vbModeless);
  hl::runUntilIdle();
  RECT info;
  GetWindowRect(frmFine->ztButtons_H2.hWnd(), &info);
  const POINT centre{(info.left + info.right) / 2, (info.top + info.bottom) / 2};

  using Clock = std::chrono::steady_clock;
  Clock::time_point clicked, shown;
  bool clipPlayed = true;
  hl::onIdle([&](int) {
    AboutWindow* about = frmAbout.peek();
    if (!about || !about->Visible() || !painted(about->hWnd())) return;
    shown = Clock::now();
    clipPlayed = clipPlayed && about->Animation1.isPlaying();
    PostMessageA(about->hWnd(), WM_CLOSE, 0, 0);
  });
  for (auto _ : state) {
    clicked = Clock::now();
    hl::click(centre.x, centre.y);
    hl::runUntilIdle();
    state.SetIterationTime(std::chrono::duration<double>(shown - clicked).count());
    frmAbout.Release();
  }
  hl::onIdle({});
  frmFine.Unload();
  frmFine.Release();
  // 1 when every opening played its clip, so that loading the clip is part of the measure.
  state.counters["clip_played"] = clipPlayed;
}
BENCHMARK(BM_InfoClickToAboutWindowPainted)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
