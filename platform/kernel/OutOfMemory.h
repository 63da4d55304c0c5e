// Platform calls never throw: one that runs out of memory fails as a Win32 call fails, with the
// last-error ERROR_OUTOFMEMORY, which tells it from data the call refused (ERROR_NOT_ENOUGH_MEMORY
// for a picture larger than any that can be shown, ERROR_INVALID_DATA for a damaged one).
#pragma once

#include <windows.h>

#include <new>

namespace kernel {

// What body returns, or failed once an allocation in it has failed.
template <typename Result, typename Body>
Result failingOnOutOfMemory(Result failed, Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_OUTOFMEMORY);
    return failed;
  }
}

}  // namespace kernel
