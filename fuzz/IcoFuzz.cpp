// Feeds bytes to LoadImageA as an .ico file and to CreateIconFromResourceEx as one icon image;
// every icon and bitmap made is drawn and freed again.
#include "ImageFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  imagefuzz::fuzzIconFile(data, size, IMAGE_ICON, ".ico");
  gdi::imagefile::IconImage image;
  DWORD error = 0;
  if (gdi::imagefile::decodeIconResource(data, size, image, error, imagefuzz::kBudget)) {
    std::vector<uint8_t> copy(data, data + size);
    imagefuzz::exerciseIcon(CreateIconFromResourceEx(copy.data(), static_cast<DWORD>(copy.size()), TRUE,
                                                     0x00030000, 0, 0, 0));
  }
  return 0;
}
