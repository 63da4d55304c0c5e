// Kernel handles are multiples of 4 counted upward from 0x1000 and never reused within a run, so
// a stale handle fails with ERROR_INVALID_HANDLE instead of reaching a newer file.
#include "kernel/FileObject.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace kernel {

namespace {
std::mutex tableLock;
std::unordered_map<uintptr_t, FileObject>& table() {
  static std::unordered_map<uintptr_t, FileObject> files;
  return files;
}
uintptr_t nextHandle = 0x1000;
}  // namespace

HANDLE addFile(const FileObject& file) {
  std::lock_guard lock(tableLock);
  uintptr_t value = nextHandle;
  nextHandle += 4;
  table().emplace(value, file);
  return reinterpret_cast<HANDLE>(value);
}

bool findFile(HANDLE handle, FileObject& file) {
  std::lock_guard lock(tableLock);
  auto found = table().find(reinterpret_cast<uintptr_t>(handle));
  if (found == table().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  file = found->second;
  return true;
}

bool takeFile(HANDLE handle, FileObject& file) {
  std::lock_guard lock(tableLock);
  auto found = table().find(reinterpret_cast<uintptr_t>(handle));
  if (found == table().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  file = found->second;
  table().erase(found);
  return true;
}

}  // namespace kernel
