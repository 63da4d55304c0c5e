// Brushes. A hatch index outside HS_HORIZONTAL..HS_DIAGCROSS and an unknown brush style are
// refused with ERROR_INVALID_PARAMETER; a packed-DIB pattern brush takes DIB_RGB_COLORS only.
#include "gdi/Brush.h"

#include <cstring>
#include <memory>

#include "gdi/DibFormat.h"

namespace gdi {

int BrushObject::describe(int size, void* buffer) const {
  if (buffer == nullptr) return sizeof(LOGBRUSH);
  if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
  std::memcpy(buffer, &log, sizeof log);
  return sizeof(LOGBRUSH);
}

BrushObject* brushFromHandle(HBRUSH handle) {
  return objectAs<BrushObject>(handle, ObjectKind::Brush);
}

bool brushIsHollow(HBRUSH handle) {
  GdiObject* object = findObject(handle);
  if (object == nullptr || object->kind != ObjectKind::Brush) return true;
  return static_cast<BrushObject*>(object)->log.lbStyle == BS_NULL;
}

namespace {

HBRUSH addBrush(std::unique_ptr<BrushObject> brush) {
  return static_cast<HBRUSH>(addObject(std::move(brush)));
}

// A private copy of a bitmap's pixels in its own format.
std::unique_ptr<BitmapObject> copyOf(const BitmapObject& source) {
  auto copy = BitmapObject::create(source.width, source.height, source.bitsPerPixel, true);
  if (!copy) return nullptr;
  copy->colorTable = source.colorTable;
  copy->redMask = source.redMask;
  copy->greenMask = source.greenMask;
  copy->blueMask = source.blueMask;
  copy->isDibSection = source.isDibSection;
  size_t bytes = static_cast<size_t>(source.stride);
  for (int y = 0; y < source.height; ++y) std::memcpy(copy->row(y), source.row(y), bytes);
  return copy;
}

}  // namespace

}  // namespace gdi

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  auto brush = std::make_unique<gdi::BrushObject>();
  brush->log.lbStyle = BS_SOLID;
  brush->log.lbColor = color;
  return gdi::addBrush(std::move(brush));
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto brush = std::make_unique<gdi::BrushObject>();
  brush->log.lbStyle = BS_HATCHED;
  brush->log.lbColor = color;
  brush->log.lbHatch = static_cast<ULONG_PTR>(iHatch);
  return gdi::addBrush(std::move(brush));
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
  gdi::BitmapObject* bitmap = gdi::bitmapFromHandle(hbm);
  if (bitmap == nullptr) return nullptr;
  auto brush = std::make_unique<gdi::BrushObject>();
  brush->log.lbStyle = BS_PATTERN;
  brush->log.lbHatch = reinterpret_cast<ULONG_PTR>(hbm);
  brush->pattern = gdi::copyOf(*bitmap);
  if (!brush->pattern) return nullptr;
  return gdi::addBrush(std::move(brush));
}

HBRUSH WINAPI CreateDIBPatternBrushPt(const VOID* lpPackedDIB, UINT iUsage) {
  if (lpPackedDIB == nullptr || iUsage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFO* info = static_cast<const BITMAPINFO*>(lpPackedDIB);
  gdi::DibFormat format;
  if (!gdi::readDibFormat(info, DIB_RGB_COLORS, format)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BYTE* bits = reinterpret_cast<const BYTE*>(info) + format.headerBytes;
  auto pattern = gdi::bitmapFromDib(format, bits, format.height);
  if (!pattern) return nullptr;
  auto brush = std::make_unique<gdi::BrushObject>();
  brush->log.lbStyle = BS_DIBPATTERNPT;
  brush->log.lbColor = DIB_RGB_COLORS;
  brush->log.lbHatch = reinterpret_cast<ULONG_PTR>(lpPackedDIB);
  brush->pattern = std::move(pattern);
  return gdi::addBrush(std::move(brush));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (plbrush == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  switch (plbrush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    case BS_DIBPATTERNPT:
      return CreateDIBPatternBrushPt(reinterpret_cast<const VOID*>(plbrush->lbHatch),
                                     plbrush->lbColor);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}
