// Feeds bytes to the .bmp reader and, when the picture is small, to LoadImageA in both bitmap
// forms; every bitmap made is deleted again.
#include "ImageFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gdi::imagefile::Dib dib;
  DWORD error = 0;
  if (gdi::imagefile::decodeBmpFile(data, size, dib, error, imagefuzz::kBudget)) {
    uint32_t sum = 0;
    for (int y = 0; y < dib.height; ++y)
      for (int x = 0; x < dib.width; ++x) sum += dib.argb(x, y);
    if (sum == 0x12345678u) std::fputc('\0', stderr);  // keeps the reads
  } else if (error == ERROR_NOT_ENOUGH_MEMORY) {
    return 0;
  }
  const std::string& path = imagefuzz::scratchPath(".bmp");
  if (!imagefuzz::writeScratch(path, data, size)) return 0;
  const UINT flags[] = {LR_LOADFROMFILE, LR_LOADFROMFILE | LR_CREATEDIBSECTION,
                        LR_LOADFROMFILE | LR_MONOCHROME};
  for (UINT f : flags) {
    HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, f);
    if (bitmap) DeleteObject(bitmap);
  }
  HANDLE small = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 7, 5, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (small) DeleteObject(small);
  return 0;
}
