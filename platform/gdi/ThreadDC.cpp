// The hook is set once by the window system, before a thread DC exists, and read by any thread.
#include "gdi/ThreadDC.h"

#include <atomic>

namespace gdi {

namespace {
std::atomic<ThreadDibBlit> installed{nullptr};
}  // namespace

void setThreadDibBlit(ThreadDibBlit blit) { installed.store(blit); }

bool threadDibBlit(HDC hdc, int x, int y, int width, int height, const BitmapObject& image, int sx,
                   int sy) {
  ThreadDibBlit blit = installed.load();
  if (blit == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return blit(hdc, x, y, width, height, image, sx, sy);
}

}  // namespace gdi
