// Shows the screen-scramble window directly, as the About window's signature does, with the
// preset given (0 by default). Says "showing" before and "ended" after; exits 0 when the effect
// closed itself and dropped its window.
//
// Usage: e2e_effect [PRESET]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "forms/frmGraphics.h"

int main(int argc, char** argv) {
  const int16_t preset = static_cast<int16_t>(argc > 1 ? std::atoi(argv[1]) : 0);
  std::printf("showing\n");
  std::fflush(stdout);
  frmGraphics.object().ef = preset;
  frmGraphics->Show(vbModal);
  std::printf("ended\n");
  return frmGraphics.peek() == nullptr ? 0 : 1;
}
