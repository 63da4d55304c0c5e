// Icons and cursors and their handle table. Where Windows leaves it open: an icon handle is
// (slot + 1) << 16 | generation with bit 33 set, so it never equals a GDI handle; GetIconInfo hands
// out a 32-bit device-dependent colour bitmap (alpha kept in the fourth byte) and a monochrome
// mask; CreateIconIndirect reads mask pixels beyond the mask bitmap as opaque; a colour becomes
// white in a monochrome copy when its luminance (299 R + 587 G + 114 B) / 1000 is 128 or more.
#include "gdi/Icon.h"

#include <algorithm>
#include <memory>

#include "gdi/Bitmap.h"
#include "kernel/OutOfMemory.h"

namespace gdi {
namespace {

struct Slot {
  std::unique_ptr<IconObject> icon;
  uint16_t generation = 0;
};

struct IconTable {
  std::vector<Slot> slots;
  std::vector<size_t> freeSlots;
  DWORD live = 0;
};

constexpr uintptr_t kIconTag = uintptr_t{1} << 33;
constexpr size_t kMaxSlots = 0xFFFF;

IconTable& table() {
  static IconTable* instance = new IconTable;  // outlives statics that may destroy icons
  return *instance;
}

Slot* decode(HICON handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if ((value & ~uintptr_t{0xFFFFFFFF}) != kIconTag) return nullptr;
  uintptr_t index = (value >> 16) & 0xFFFF;
  if (index == 0) return nullptr;
  IconTable& t = table();
  if (index - 1 >= t.slots.size()) return nullptr;
  Slot& s = t.slots[index - 1];
  if (!s.icon || s.generation != static_cast<uint16_t>(value & 0xFFFF)) return nullptr;
  return &s;
}

bool luminanceWhite(uint32_t argb) {
  uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return (299 * r + 587 * g + 114 * b) / 1000 >= 128;
}

imagefile::IconImage imageOf(const IconObject& icon) {
  imagefile::IconImage image;
  image.width = icon.width;
  image.height = icon.height;
  image.bitsPerPixel = icon.bitsPerPixel;
  image.argb = icon.color;
  image.mask = icon.mask;
  image.monoXor = icon.monoXor;
  image.hasAlpha = icon.hasAlpha;
  image.hotX = icon.hotX;
  image.hotY = icon.hotY;
  return image;
}

// Copies of the icon's planes as new GDI bitmaps: a 32-bit colour bitmap and a 1-bit mask.
HBITMAP colorBitmapOf(const IconObject& icon) {
  HBITMAP handle = CreateBitmap(icon.width, icon.height, 1, 32, nullptr);
  BitmapObject* bitmap = bitmapFromHandle(handle);
  if (bitmap == nullptr) return nullptr;
  for (int y = 0; y < icon.height; ++y) {
    BYTE* row = bitmap->row(y);
    for (int x = 0; x < icon.width; ++x) {
      uint32_t v = icon.color[static_cast<size_t>(y) * icon.width + x];
      if (!icon.hasAlpha) v &= 0x00FFFFFF;
      row[4 * x] = static_cast<BYTE>(v);
      row[4 * x + 1] = static_cast<BYTE>(v >> 8);
      row[4 * x + 2] = static_cast<BYTE>(v >> 16);
      row[4 * x + 3] = static_cast<BYTE>(v >> 24);
    }
  }
  return handle;
}

HBITMAP maskBitmapOf(const IconObject& icon) {
  bool mono = icon.color.empty();
  int rows = mono ? icon.height * 2 : icon.height;
  HBITMAP handle = CreateBitmap(icon.width, rows, 1, 1, nullptr);
  BitmapObject* bitmap = bitmapFromHandle(handle);
  if (bitmap == nullptr) return nullptr;
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) {
      size_t k = static_cast<size_t>(y) * icon.width + x;
      bitmap->setRawPixel(x, y, icon.mask[k]);
      if (mono) bitmap->setRawPixel(x, y + icon.height, icon.monoXor[k]);
    }
  return handle;
}

// A pixel of a caller's bitmap as 0xAARRGGBB; alpha only from 32-bit bitmaps with 8-8-8 masks.
uint32_t readColor(const BitmapObject& bitmap, int x, int y) {
  if (bitmap.bitsPerPixel == 32 && bitmap.redMask == 0x00FF0000 && bitmap.greenMask == 0x0000FF00 &&
      bitmap.blueMask == 0x000000FF) {
    const BYTE* p = bitmap.row(y) + 4 * x;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
  COLORREF c = bitmap.pixel(x, y);
  return 0xFF000000u | rgbOf(c);
}

uint8_t readMaskBit(const BitmapObject& bitmap, int x, int y) {
  if (!bitmap.contains(x, y)) return 0;
  if (bitmap.bitsPerPixel == 1) return static_cast<uint8_t>(bitmap.rawPixel(x, y) & 1);
  return (bitmap.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
}

}  // namespace

IconObject* iconFromHandle(HICON icon) {
  Slot* slot = decode(icon);
  if (slot == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return nullptr;
  }
  return slot->icon.get();
}

namespace {

HICON addToTable(IconObject&& icon) {
  IconTable& t = table();
  size_t index;
  if (!t.freeSlots.empty()) {
    index = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else if (t.slots.size() < kMaxSlots) {
    index = t.slots.size();
    t.slots.emplace_back();
  } else {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Slot& s = t.slots[index];
  s.generation = static_cast<uint16_t>(s.generation + 1);
  if (s.generation == 0) s.generation = 1;
  s.icon = std::make_unique<IconObject>(std::move(icon));
  // Shared icons and cursors (the system's, and LR_SHARED ones) live as long as the process, so
  // like the system's own on Windows they are not counted against the program.
  if (!s.icon->shared) ++t.live;
  return reinterpret_cast<HICON>(kIconTag | ((index + 1) << 16) | s.generation);
}

}  // namespace

HICON addIcon(IconObject icon) {
  return kernel::failingOnOutOfMemory<HICON>(nullptr, [&] { return addToTable(std::move(icon)); });
}


bool removeIcon(HICON icon) {
  Slot* slot = decode(icon);
  if (slot == nullptr) return false;
  IconTable& t = table();
  if (!slot->icon->shared) --t.live;
  slot->icon.reset();
  keepFree(t.freeSlots, static_cast<size_t>(slot - t.slots.data()));
  return true;
}

DWORD liveIconCount() { return table().live; }

void shareIcon(HICON icon) {
  Slot* slot = decode(icon);
  if (slot == nullptr || slot->icon->shared) return;
  slot->icon->shared = true;
  --table().live;
}

IconObject iconFromImage(imagefile::IconImage image, bool isIcon) {
  IconObject icon;
  icon.width = image.width;
  icon.height = image.height;
  icon.color = std::move(image.argb);
  icon.mask = std::move(image.mask);
  icon.monoXor = std::move(image.monoXor);
  icon.hasAlpha = image.hasAlpha;
  icon.bitsPerPixel = image.bitsPerPixel;
  icon.isIcon = isIcon;
  icon.hotX = isIcon ? image.width / 2 : image.hotX;
  icon.hotY = isIcon ? image.height / 2 : image.hotY;
  return icon;
}

std::vector<uint32_t> iconToArgb(const IconObject& icon) {
  std::vector<uint32_t> out(static_cast<size_t>(icon.width) * icon.height);
  for (size_t k = 0; k < out.size(); ++k) {
    bool transparent = icon.mask[k] != 0;
    if (icon.color.empty()) {
      bool xorBit = icon.monoXor[k] != 0;
      if (transparent) out[k] = xorBit ? 0xFF000000u : 0;  // inverted pixels show black
      else out[k] = xorBit ? 0xFFFFFFFFu : 0xFF000000u;
    } else if (icon.hasAlpha) {
      out[k] = icon.color[k];
    } else {
      out[k] = transparent ? ((icon.color[k] & 0xFFFFFF) != 0 ? 0xFF000000u : 0) : (icon.color[k] | 0xFF000000u);
    }
  }
  return out;
}

HICON copyIconImage(HICON handle, int cx, int cy, UINT flags) {
  IconObject* icon = iconFromHandle(handle);
  if (icon == nullptr) return nullptr;
  if (cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int system = 32;
  if (cx == 0) cx = (flags & LR_DEFAULTSIZE) ? system : icon->width;
  if (cy == 0) cy = (flags & LR_DEFAULTSIZE) ? system : icon->height;
  bool sameSize = cx == icon->width && cy == icon->height;
  if ((flags & LR_COPYRETURNORG) && sameSize && !(flags & LR_MONOCHROME)) return handle;

  imagefile::IconImage image = imagefile::scaleIconImage(imageOf(*icon), cx, cy);
  if ((flags & LR_MONOCHROME) && !image.argb.empty()) {
    image.monoXor.resize(image.argb.size());
    for (size_t k = 0; k < image.argb.size(); ++k) image.monoXor[k] = luminanceWhite(image.argb[k]) ? 1 : 0;
    image.argb.clear();
    image.hasAlpha = false;
    image.bitsPerPixel = 1;
  }
  IconObject copy = iconFromImage(std::move(image), icon->isIcon);
  HICON result = addIcon(std::move(copy));
  if (result != nullptr && (flags & LR_COPYDELETEORG)) removeIcon(handle);
  return result;
}

}  // namespace gdi

using gdi::IconObject;

HICON WINAPI CreateIconIndirect(PICONINFO info) {
  if (info == nullptr || info->hbmMask == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  gdi::BitmapObject* mask = gdi::bitmapFromHandle(info->hbmMask);
  if (mask == nullptr) return nullptr;
  gdi::BitmapObject* color = nullptr;
  if (info->hbmColor != nullptr) {
    color = gdi::bitmapFromHandle(info->hbmColor);
    if (color == nullptr) return nullptr;
  }
  IconObject icon;
  icon.width = color ? color->width : mask->width;
  icon.height = color ? color->height : mask->height / 2;
  if (icon.width <= 0 || icon.height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  size_t pixels = static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height);
  icon.mask.resize(pixels);
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) icon.mask[static_cast<size_t>(y) * icon.width + x] = gdi::readMaskBit(*mask, x, y);
  if (color) {
    icon.bitsPerPixel = color->bitsPerPixel;
    icon.color.resize(pixels);
    bool anyAlpha = false;
    for (int y = 0; y < icon.height; ++y)
      for (int x = 0; x < icon.width; ++x) {
        uint32_t v = gdi::readColor(*color, x, y);
        icon.color[static_cast<size_t>(y) * icon.width + x] = v;
        if (color->bitsPerPixel == 32 && (v >> 24) != 0) anyAlpha = true;
      }
    icon.hasAlpha = anyAlpha;
    if (!anyAlpha)
      for (uint32_t& v : icon.color) v |= 0xFF000000u;
  } else {
    icon.bitsPerPixel = 1;
    icon.monoXor.resize(pixels);
    for (int y = 0; y < icon.height; ++y)
      for (int x = 0; x < icon.width; ++x)
        icon.monoXor[static_cast<size_t>(y) * icon.width + x] = gdi::readMaskBit(*mask, x, y + icon.height);
  }
  icon.isIcon = info->fIcon != FALSE;
  icon.hotX = icon.isIcon ? icon.width / 2 : static_cast<int>(info->xHotspot);
  icon.hotY = icon.isIcon ? icon.height / 2 : static_cast<int>(info->yHotspot);
  return gdi::addIcon(std::move(icon));
}

BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO info) {
  IconObject* icon = gdi::iconFromHandle(hIcon);
  if (icon == nullptr) return FALSE;
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HBITMAP color = nullptr;
  if (!icon->color.empty()) {
    color = gdi::colorBitmapOf(*icon);
    if (color == nullptr) return FALSE;
  }
  HBITMAP mask = gdi::maskBitmapOf(*icon);
  if (mask == nullptr) {
    if (color) DeleteObject(color);
    return FALSE;
  }
  info->fIcon = icon->isIcon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(icon->hotX);
  info->yHotspot = static_cast<DWORD>(icon->hotY);
  info->hbmColor = color;
  info->hbmMask = mask;
  return TRUE;
}

HICON WINAPI CopyIcon(HICON hIcon) {
  IconObject* icon = gdi::iconFromHandle(hIcon);
  if (icon == nullptr) return nullptr;
  IconObject copy = *icon;
  copy.shared = false;
  return gdi::addIcon(std::move(copy));
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
  IconObject* icon = gdi::iconFromHandle(hIcon);
  if (icon == nullptr) return FALSE;
  if (icon->shared) return TRUE;  // shared icons live as long as the process
  gdi::removeIcon(hIcon);
  return TRUE;
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) { return DestroyIcon(hCursor); }

namespace {

HICON iconFromResource(PBYTE presbits, DWORD dwResSize, BOOL fIcon, int cxDesired, int cyDesired, UINT Flags) {
  if (presbits == nullptr || dwResSize == 0 || cxDesired < 0 || cyDesired < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BYTE* data = presbits;
  size_t size = dwResSize;
  int hotX = 0, hotY = 0;
  // A cursor resource starts with its hot spot as two 16-bit values.
  if (!fIcon) {
    if (size < 4) {
      SetLastError(ERROR_INVALID_DATA);
      return nullptr;
    }
    hotX = data[0] | (data[1] << 8);
    hotY = data[2] | (data[3] << 8);
    data += 4;
    size -= 4;
  }
  gdi::imagefile::IconImage image;
  DWORD error = 0;
  if (!gdi::imagefile::decodeIconResource(data, size, image, error)) {
    SetLastError(error);
    return nullptr;
  }
  image.hotX = std::clamp(hotX, 0, image.width - 1);
  image.hotY = std::clamp(hotY, 0, image.height - 1);
  int cx = cxDesired ? cxDesired : ((Flags & LR_DEFAULTSIZE) ? 32 : image.width);
  int cy = cyDesired ? cyDesired : ((Flags & LR_DEFAULTSIZE) ? 32 : image.height);
  image = gdi::imagefile::scaleIconImage(image, cx, cy);
  IconObject icon = gdi::iconFromImage(std::move(image), fIcon != FALSE);
  icon.shared = (Flags & LR_SHARED) != 0;
  return gdi::addIcon(std::move(icon));
}

}  // namespace

HICON WINAPI CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD,
                                      int cxDesired, int cyDesired, UINT Flags) {
  return kernel::failingOnOutOfMemory<HICON>(
      nullptr, [&] { return iconFromResource(presbits, dwResSize, fIcon, cxDesired, cyDesired, Flags); });
}
