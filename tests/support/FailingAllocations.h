// Allocations that fail on demand, for the tests of running out of memory. Including this header
// replaces the global operator new of the test executable, so one file of an executable at most
// includes it (each test file is an executable of its own).
#pragma once

#include <cstdlib>
#include <new>

namespace allocation {

// Allocations that still succeed before the one that fails; -1 while none is to fail.
inline long countdown = -1;

// Ends the failing; true when the failing allocation came.
inline bool disarm() {
  const bool came = countdown == -1;
  countdown = -1;
  return came;
}

// Calls call() with the first allocation failing, then with the second failing, and so on, until
// a call makes fewer allocations than the one set to fail; check(outcome, failed, n) looks at each
// call's outcome, failed telling whether allocation n + 1 failed in it. Returns the number of calls
// in which an allocation failed.
template <typename Call, typename Check>
long eachAllocationFailing(Call call, Check check) {
  constexpr long kMost = 200000;
  for (long n = 0; n < kMost; ++n) {
    countdown = n;
    auto outcome = call();
    const bool failed = disarm();
    check(outcome, failed, n);
    if (!failed) return n;
  }
  return kMost;
}

}  // namespace allocation

void* operator new(std::size_t size) {
  if (allocation::countdown == 0) {
    allocation::countdown = -1;
    throw std::bad_alloc();
  }
  if (allocation::countdown > 0) --allocation::countdown;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
