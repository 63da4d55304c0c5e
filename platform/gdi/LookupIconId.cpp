// LookupIconIdFromDirectoryEx. Where Windows leaves it open: the choice among the directory's
// images is LoadImageA's for files (closest size, then depth, then order; the display counts as
// 1 bit deep with LR_MONOCHROME, else 32), a directory whose type is neither icon (1) nor cursor
// (2), or that lists nothing, gives 0 with ERROR_INVALID_DATA, and a cursor entry's height is half
// the one it gives, which counts the mask as well.
#include <windows.h>

#include "gdi/ImageFile.h"

int WINAPI LookupIconIdFromDirectoryEx(PBYTE presbits, BOOL fIcon, int cxDesired, int cyDesired,
                                       UINT Flags) {
  if (presbits == nullptr || cxDesired < 0 || cyDesired < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto u16 = [presbits](size_t at) { return static_cast<int>(presbits[at] | presbits[at + 1] << 8); };
  const int type = u16(2), count = u16(4);
  if (u16(0) != 0 || (type != 1 && type != 2) || count == 0) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  std::vector<gdi::imagefile::IconEntry> entries(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    const size_t at = 6 + 14 * static_cast<size_t>(k);
    gdi::imagefile::IconEntry& entry = entries[static_cast<size_t>(k)];
    if (fIcon) {
      entry.width = presbits[at] ? presbits[at] : 256;
      entry.height = presbits[at + 1] ? presbits[at + 1] : 256;
      entry.colorCount = presbits[at + 2];
    } else {
      entry.width = u16(at);
      entry.height = u16(at + 2) / 2;
    }
    entry.planes = u16(at + 4);
    entry.bitCount = u16(at + 6);
  }
  const int cx = cxDesired ? cxDesired : gdi::imagefile::kSystemIconSize;
  const int cy = cyDesired ? cyDesired : gdi::imagefile::kSystemIconSize;
  const size_t chosen = gdi::imagefile::chooseIconEntry(entries, cx, cy, (Flags & LR_MONOCHROME) ? 1 : 32);
  return u16(6 + 14 * chosen + 12);
}
