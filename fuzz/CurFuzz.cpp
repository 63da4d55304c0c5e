// Feeds bytes to LoadImageA as a .cur file; every cursor and bitmap made is drawn and freed again.
#include "ImageFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  imagefuzz::fuzzIconFile(data, size, IMAGE_CURSOR, ".cur");
  return 0;
}
