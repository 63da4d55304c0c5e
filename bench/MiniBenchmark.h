// The few pieces of Google Benchmark that the benchmarks shared with Windows use, for the Windows
// build, where no build of that library comes with the cross compiler. Each benchmark runs five
// repetitions of enough iterations to last about half a second and prints its medians (wall and
// thread time) in the same form as Google Benchmark's aggregate rows, so one parser reads both.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace benchmark {

inline double secondsNow() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Time spent by this thread, user and kernel, in seconds.
inline double threadSeconds() {
  FILETIME creation, exit, kernel, user;
  GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

struct Timing {
  double real, cpu;  // seconds
};

// As in Google Benchmark, only the loop "for (auto _ : state)" is timed, not the set-up before it
// nor the tear-down after it.
class State {
 public:
  explicit State(int64_t iterations) : iterations_(iterations) {}
  struct __attribute__((unused)) Value {};  // the loop variable of "for (auto _ : state)"
  struct Iterator {
    State* state;
    int64_t left;
    bool operator!=(const Iterator&) const {
      if (left != 0) return true;
      state->stop();
      return false;
    }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };
  Iterator begin() {
    started_ = Timing{secondsNow(), threadSeconds()};
    return {this, iterations_};
  }
  Iterator end() { return {this, 0}; }
  int64_t iterations() const { return iterations_; }
  void SetBytesProcessed(int64_t) {}
  Timing elapsed() const { return elapsed_; }

 private:
  void stop() { elapsed_ = Timing{secondsNow() - started_.real, threadSeconds() - started_.cpu}; }
  int64_t iterations_;
  Timing started_{}, elapsed_{};
};

template <typename T>
inline void DoNotOptimize(T const& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

using Function = void (*)(State&);
struct Entry {
  const char* name;
  Function function;
};
inline std::vector<Entry>& registry() {
  static std::vector<Entry> entries;
  return entries;
}
inline int add(const char* name, Function function) {
  registry().push_back(Entry{name, function});
  return 0;
}

inline Timing timeRun(Function function, int64_t iterations) {
  State state(iterations);
  function(state);
  return state.elapsed();
}

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// --benchmark_filter=TEXT runs only the benchmarks whose names contain TEXT.
inline int runAll(int argc, char** argv) {
  const char* filter = "";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0) filter = argv[i] + 19;
  constexpr int kRepetitions = 5;
  constexpr double kRepetitionSeconds = 0.5;  // thread times tick coarsely under Wine
  for (const Entry& entry : registry()) {
    if (std::strstr(entry.name, filter) == nullptr) continue;
    timeRun(entry.function, 1);  // the first run pays for page faults and caches
    int64_t iterations = 1;
    for (;;) {
      double seconds = timeRun(entry.function, iterations).real;
      if (seconds >= kRepetitionSeconds / 10 || iterations >= (int64_t{1} << 40)) {
        iterations = std::max<int64_t>(1, static_cast<int64_t>(iterations * kRepetitionSeconds / std::max(seconds, 1e-9)));
        break;
      }
      iterations *= 10;
    }
    std::vector<double> real, cpu;
    for (int r = 0; r < kRepetitions; ++r) {
      Timing t = timeRun(entry.function, iterations);
      real.push_back(t.real * 1e9 / static_cast<double>(iterations));
      cpu.push_back(t.cpu * 1e9 / static_cast<double>(iterations));
    }
    std::printf("%s_median %14.0f ns %14.0f ns %10lld\n", entry.name, median(real), median(cpu),
                static_cast<long long>(iterations));
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace benchmark

#define BENCHMARK(function) static const int function##_registered = benchmark::add(#function, function)
#define BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return benchmark::runAll(argc, argv); }
