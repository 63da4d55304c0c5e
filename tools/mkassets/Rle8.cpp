// RLE8 as AVI uses it: rows bottom-up, runs and literal stretches for changed pixels, move
// escapes over pixels that stay as they were in the previous frame.
#include <algorithm>

#include "Bytes.h"
#include "Formats.h"

namespace mkassets {

namespace {

// Encodes pixels [from, to) of one row as runs (three or more equal) and literal stretches.
void encodeSpan(Bytes& out, const uint8_t* row, int from, int to) {
  int x = from;
  while (x < to) {
    int run = 1;
    while (x + run < to && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 3 || to - x < 3) {
      int n = std::min(run, to - x);
      out.u8(static_cast<uint32_t>(n));
      out.u8(row[x]);
      x += n;
      continue;
    }
    // A literal stretch lasts until a run of three begins.
    int end = x;
    while (end < to && end - x < 255) {
      if (end + 2 < to && row[end] == row[end + 1] && row[end] == row[end + 2]) break;
      ++end;
    }
    int n = end - x;
    if (n < 3) {
      for (int i = 0; i < n; ++i) out.u8(1), out.u8(row[x + i]);
    } else {
      out.u8(0);
      out.u8(static_cast<uint32_t>(n));
      for (int i = 0; i < n; ++i) out.u8(row[x + i]);
      if (n & 1) out.u8(0);
    }
    x = end;
  }
}

}  // namespace

std::vector<uint8_t> rle8Frame(int width, int height, const std::vector<uint8_t>& frame,
                               const std::vector<uint8_t>* previous) {
  Bytes out;
  int cx = 0, cy = 0;  // where the decoder stands: cy counts rows from the bottom
  auto moveTo = [&](int x, int y) {
    if (x < cx) {
      out.u8(0), out.u8(0);  // end of line: back to the left edge, one row up
      cx = 0, ++cy;
    }
    while (x > cx || y > cy) {
      int dx = std::min(x - cx, 255), dy = std::min(y - cy, 255);
      out.u8(0), out.u8(2), out.u8(static_cast<uint32_t>(dx)), out.u8(static_cast<uint32_t>(dy));
      cx += dx, cy += dy;
    }
  };
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = frame.data() + static_cast<size_t>(height - 1 - y) * width;
    const uint8_t* before = previous ? previous->data() + static_cast<size_t>(height - 1 - y) * width : nullptr;
    int x = 0;
    while (x < width) {
      if (before && row[x] == before[x]) {
        ++x;
        continue;
      }
      // A changed stretch ends at four unchanged pixels in a row; shorter gaps are cheaper redrawn.
      int end = x + 1;
      int quiet = 0;
      while (end < width && (!before || quiet < 4)) {
        quiet = (before && row[end] == before[end]) ? quiet + 1 : 0;
        ++end;
      }
      end -= quiet;
      moveTo(x, y);
      encodeSpan(out, row, x, end);
      cx = end;
      x = end;
    }
  }
  out.u8(0), out.u8(1);  // end of picture
  return out.data;
}

}  // namespace mkassets
