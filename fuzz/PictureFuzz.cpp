// Any bytes given as a picture file either load as a picture with a size, or are refused with a
// run-time error; nothing leaks once the picture is let go.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/RuntimeError.h"
#include "framework/StdPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  std::vector<uint8_t> bytes(data, data + size);
  DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  try {
    PictureRef picture = LoadPictureFromBytes(bytes);
    if (!picture || picture->widthPixels() <= 0 || picture->heightPixels() <= 0) std::abort();
    if (picture->Type() != vbPicTypeBitmap && picture->Type() != vbPicTypeIcon) std::abort();
  } catch (const RuntimeError&) {
  }
  // The small image a window takes from an icon, chosen and made from the same bytes.
  if (HICON small = DecodeIconImage(bytes, 16, 16)) DestroyIcon(small);
  if (GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != before) std::abort();
  return 0;
}
