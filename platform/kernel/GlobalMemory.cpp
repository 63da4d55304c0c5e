// Every block, fixed or movable, is kept in one table so that a wrong handle fails with
// ERROR_INVALID_HANDLE instead of corrupting the heap; a block never moves, a zero-byte block
// still has one addressable byte, and the local functions share the global ones' blocks.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Block {
  void* data = nullptr;
  SIZE_T size = 0;
  UINT lockCount = 0;
  bool movable = false;
};

std::mutex blocksLock;
// Never destroyed: blocks still alive at exit (the clipboard's, say) stay reachable, so leak
// checkers do not report them and late callers during exit still find the table.
std::map<uintptr_t, Block>& blocks() {
  static auto* table = new std::map<uintptr_t, Block>;
  return *table;
}
// Movable handles are small numbers, far below any address the heap hands out.
uintptr_t nextMovable = 0x20004;

Block* findBlock(HGLOBAL handle) {
  auto found = blocks().find(reinterpret_cast<uintptr_t>(handle));
  return found == blocks().end() ? nullptr : &found->second;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  if (dwBytes > (SIZE_T(1) << 40)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* data = (uFlags & GMEM_ZEROINIT) ? std::calloc(dwBytes ? dwBytes : 1, 1) : std::malloc(dwBytes ? dwBytes : 1);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Block block{data, dwBytes, 0, (uFlags & GMEM_MOVEABLE) != 0};
  std::lock_guard lock(blocksLock);
  uintptr_t handle = reinterpret_cast<uintptr_t>(data);
  if (block.movable) {
    handle = nextMovable;
    nextMovable += 8;
  }
  blocks().emplace(handle, block);
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  std::lock_guard lock(blocksLock);
  Block* block = findBlock(hMem);
  if (!block) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (block->movable) ++block->lockCount;
  return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  std::lock_guard lock(blocksLock);
  Block* block = findBlock(hMem);
  if (!block) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!block->movable) return TRUE;  // a fixed block is never locked, so it stays "locked"
  if (block->lockCount == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->lockCount > 0) return TRUE;
  SetLastError(NO_ERROR);  // documented: the last unlock reports FALSE with NO_ERROR
  return FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  std::lock_guard lock(blocksLock);
  auto found = blocks().find(reinterpret_cast<uintptr_t>(hMem));
  if (found == blocks().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;
  }
  std::free(found->second.data);
  blocks().erase(found);
  return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  std::lock_guard lock(blocksLock);
  Block* block = findBlock(hMem);
  if (!block) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return block->size;
}

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) { return GlobalAlloc(uFlags, uBytes); }

HLOCAL WINAPI LocalFree(HLOCAL hMem) { return GlobalFree(hMem); }

void WINAPI RtlMoveMemory(void* Destination, const void* Source, SIZE_T Length) {
  if (Length) std::memmove(Destination, Source, Length);
}
