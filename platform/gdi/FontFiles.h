// Font files held in memory: each is mapped at its first use and its descriptor closed at once, so
// that no face holds a file descriptor and a file once in never needs one again. Mappings last as
// long as the process, since realized faces read from them until its end.
#pragma once

#include <cstddef>
#include <string>

namespace gdi {

struct FontFileBytes {
  const unsigned char* data = nullptr;  // nullptr: the file could not be had
  size_t size = 0;
};

// The bytes of a font file; a file that cannot be opened or mapped now is tried again next time.
FontFileBytes fontFileBytes(const std::string& path);

}  // namespace gdi
