// The whole flush run on the headless screen, from the wait window to the result window's first
// paint (the result window is closed as soon as it has painted), with the root file system as the
// volume; and the peak resident memory of the process after the runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <windows.h>

#include <corvane/headless.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Module1.h"
#include "forms/frmFine.h"
#include "kernel/CommandLine.h"

namespace fs = std::filesystem;

namespace {

void CALLBACK CloseOncePainted(HWND, UINT, UINT_PTR id, DWORD) {
  ResultWindow* window = frmFine.peek();
  if (window == nullptr || !window->Loaded() || !IsWindowVisible(window->hWnd())) return;
  if (GetUpdateRect(window->hWnd(), nullptr, FALSE)) return;  // not painted yet
  KillTimer(nullptr, id);
  window->Unload();
}

void BM_FlushRunToResultWindow(benchmark::State& state) {
  setenv("CORVANE_DRIVER", "headless", 1);
  fs::path root = fs::temp_directory_path() / "corvane-flush-bench";
  fs::remove_all(root);
  fs::create_directories(root / "drives");
  fs::create_symlink("/", root / "drives" / "e:");
  setenv("CORVANE_DRIVES", (root / "drives").c_str(), 1);
  std::vector<std::string> args = {"corvane", "E:"};
  std::vector<char*> argv = {args[0].data(), args[1].data()};
  kernel::recordCommandLine(2, argv.data());

  for (auto _ : state) {
    UINT_PTR timer = SetTimer(nullptr, 0, 1, CloseOncePainted);
    RunFlushSequence();
    KillTimer(nullptr, timer);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  fs::remove_all(root);
}
BENCHMARK(BM_FlushRunToResultWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
