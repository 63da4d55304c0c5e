// The wait window's clip on a real X server. BM_WaitWindowWhileBlocked: the wait window shows and
// starts its clip (the program's own res.dll, 10 frames a second), then the program's thread
// blocks for a second at a time; the counter "fps" is the frames a second the player put on the
// screen meanwhile (the goal is the clip's own rate). BM_FrameFromThread: the cost of one 252 x 58
// frame sent from a thread other than the program's (GetDC, SetDIBitsToDevice, ReleaseDC, until
// the server has it).
#include <benchmark/benchmark.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "DibSurface.h"
#include "PrivateXvfb.h"
#include "forms/frmAttendere.h"
#include "framework/App.h"
#include "framework/media/AviClip.h"

namespace {

PrivateXvfb xvfb;

void pumpUntilIdle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void BM_WaitWindowWhileBlocked(benchmark::State& state) {
  if (xvfb.display().empty()) {
    state.SkipWithError("no X display: Xvfb could not start and DISPLAY is not set");
    return;
  }
  frmAttendere->Inizio();
  pumpUntilIdle();
  if (!frmAttendere->Animation1.isPlaying()) {
    state.SkipWithError("the wait window's clip did not open (res.dll beside the bench?)");
    return;
  }
  const int frames = media::AviClip::load(App.Path() + "\\res.dll").frameCount();
  double shown = 0, seconds = 0;
  for (auto _ : state) {
    const int before = frmAttendere->Animation1.currentFrame();
    const auto start = std::chrono::steady_clock::now();
    // The program's thread blocks, as in a flush; the clip must go on without it.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int after = frmAttendere->Animation1.currentFrame();
    shown += (after - before + frames) % frames;  // under one loop of the clip a second
    seconds += elapsed;
    state.SetIterationTime(elapsed);
  }
  state.counters["fps"] = shown / seconds;
  frmAttendere.Unload();
  frmAttendere.Release();
  pumpUntilIdle();
}
BENCHMARK(BM_WaitWindowWhileBlocked)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

LRESULT CALLBACK greyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void BM_FrameFromThread(benchmark::State& state) {
  if (xvfb.display().empty()) {
    state.SkipWithError("no X display: Xvfb could not start and DISPLAY is not set");
    return;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = greyProc;
  wc.lpszClassName = "BenchThreadFrame";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "BenchThreadFrame", "", WS_POPUP | WS_VISIBLE, 100, 100, 252, 58, nullptr,
                              nullptr, nullptr, nullptr);
  UpdateWindow(hwnd);
  pumpUntilIdle();

  constexpr int kWidth = 252, kHeight = 58;
  std::vector<uint32_t> pixels(kWidth * kHeight);
  const BITMAPINFO bi = topDownDib32(kWidth, kHeight);

  // One painting thread for the whole run; each iteration hands it one frame and times its work.
  std::mutex lock;
  std::condition_variable wake;
  int asked = 0, done = 0;
  bool quit = false;
  double lastSeconds = 0;
  std::thread painter([&] {
    for (int frame = 1;; ++frame) {
      std::unique_lock guard(lock);
      wake.wait(guard, [&] { return quit || asked == frame; });
      if (quit) return;
      guard.unlock();
      for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(frame * 0x010203 + i);
      const auto start = std::chrono::steady_clock::now();
      HDC dc = GetDC(hwnd);
      SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, pixels.data(), &bi, DIB_RGB_COLORS);
      ReleaseDC(hwnd, dc);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      guard.lock();
      lastSeconds = seconds;
      done = frame;
      wake.notify_all();
    }
  });
  for (auto _ : state) {
    std::unique_lock guard(lock);
    const int frame = ++asked;
    wake.notify_all();
    wake.wait(guard, [&] { return done == frame; });
    state.SetIterationTime(lastSeconds);
  }
  {
    std::lock_guard guard(lock);
    quit = true;
  }
  wake.notify_all();
  painter.join();
  DestroyWindow(hwnd);
  UnregisterClassA("BenchThreadFrame", nullptr);
}
BENCHMARK(BM_FrameFromThread)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
