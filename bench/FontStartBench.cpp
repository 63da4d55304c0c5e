// A fresh process's way to its first text: the window system's start (which brings the font
// files in) and a line drawn in each face the result window and the run-time error box use. Each
// round is a child process of its own, so that no font, mapping or fontconfig state is left from
// an earlier one; the time is the child's whole life, fork to exit, on the wall clock.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "user/Driver.h"

namespace {

void drawLine(HDC dc, const char* face, const char* text) {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  TextOutA(dc, 0, 0, text, static_cast<int>(std::strlen(text)));
  SelectObject(dc, old);
  DeleteObject(font);
}

bool inked(HDC dc) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x)
      if (GetPixel(dc, x, y) == RGB(255, 255, 255)) return true;
  return false;
}

// The child's part: 0 when every line was drawn.
int firstText() {
  drivers::currentDriver();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(320, 40, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  bool drawn = true;
  for (const char* face : {"MS Sans Serif", "MS Shell Dlg"}) {
    PatBlt(dc, 0, 0, 320, 40, BLACKNESS);
    drawLine(dc, face, "The operation completed successfully.");
    drawn = drawn && inked(dc);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return drawn ? 0 : 1;
}

double milliseconds(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Beside the wall clock, the processor time the child used, which other work on the machine
// disturbs far less.
void BM_FirstTextOfAFreshProcess(benchmark::State& state) {
  setenv("CORVANE_DRIVER", "headless", 1);
  double childMilliseconds = 0;
  for (auto _ : state) {
    pid_t child = fork();
    if (child == 0) _exit(firstText());  // no exit handlers: they are the parent's
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    childMilliseconds += milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the child could not draw");
  }
  state.counters["child_cpu_ms"] = benchmark::Counter(childMilliseconds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirstTextOfAFreshProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);

}  // namespace
