// Device contexts: memory DCs, window DCs for the window system, SaveDC and RestoreDC.
// DeleteDC refuses a window DC (the window system releases it through ReleaseDC); a saved state
// does not hold its objects, so an object deleted after SaveDC comes back from RestoreDC as the
// stock default of its kind (or, for a bitmap now selected elsewhere, the stock bitmap).
#include "gdi/DeviceContext.h"

#include <algorithm>

#include "gdi/Brush.h"
#include "gdi/FontObject.h"
#include "gdi/Palette.h"
#include "gdi/Pen.h"
#include "gdi/StockObjects.h"

namespace gdi {
namespace {

SIZE& screen() {
  static SIZE size{1024, 768};
  return size;
}

void retain(HGDIOBJ handle) {
  if (GdiObject* object = findObject(handle)) ++object->selectCount;
}

void release(HGDIOBJ handle) {
  if (GdiObject* object = findObject(handle)) {
    if (object->selectCount > 0) --object->selectCount;
  }
}

// The handle if it still names a live object of the kind, else the stock default.
HGDIOBJ liveOr(HGDIOBJ handle, ObjectKind kind, HGDIOBJ fallback) {
  GdiObject* object = findObject(handle);
  return (object != nullptr && object->kind == kind) ? handle : fallback;
}

}  // namespace

void setScreenSize(int width, int height) { screen() = SIZE{width, height}; }
SIZE screenSize() { return screen(); }

DeviceContext::DeviceContext(ObjectKind kind) : GdiObject(kind) {
  pen = static_cast<HPEN>(stockObject(BLACK_PEN));
  brush = static_cast<HBRUSH>(stockObject(WHITE_BRUSH));
  font = static_cast<HFONT>(stockObject(SYSTEM_FONT));
  palette = static_cast<HPALETTE>(stockObject(DEFAULT_PALETTE));
  retain(pen);
  retain(brush);
  retain(font);
  retain(palette);
  if (kind == ObjectKind::MemDC) {
    bitmap = stockBitmap();
    retain(bitmap);
    setTarget(bitmapFromHandle(bitmap));
  }
}

DeviceContext::~DeviceContext() { releaseSelections(); }

void DeviceContext::releaseSelections() {
  release(pen);
  release(brush);
  release(font);
  release(palette);
  if (bitmap != nullptr) release(bitmap);
}

void DeviceContext::setTarget(BitmapObject* target) {
  target_ = target;
  invalidateClip();
}

HGDIOBJ DeviceContext::select(GdiObject* object, HGDIOBJ handle) {
  HGDIOBJ* slot = nullptr;
  switch (object->kind) {
    case ObjectKind::Pen: slot = reinterpret_cast<HGDIOBJ*>(&pen); break;
    case ObjectKind::Brush: slot = reinterpret_cast<HGDIOBJ*>(&brush); break;
    case ObjectKind::Font: slot = reinterpret_cast<HGDIOBJ*>(&font); break;
    case ObjectKind::Palette: slot = reinterpret_cast<HGDIOBJ*>(&palette); break;
    case ObjectKind::Bitmap: {
      if (!isMemoryDC()) return nullptr;
      if (handle == bitmap) return bitmap;
      // A bitmap can be selected into one DC at a time; the stock bitmap into any number.
      if (object->selectCount > 0 && !object->stock) return nullptr;
      HGDIOBJ previous = bitmap;
      release(previous);
      bitmap = static_cast<HBITMAP>(handle);
      retain(handle);
      setTarget(static_cast<BitmapObject*>(object));
      return previous;
    }
    default: return nullptr;
  }
  HGDIOBJ previous = *slot;
  if (previous == handle) return previous;
  retain(handle);
  release(previous);
  *slot = handle;
  return previous;
}

void DeviceContext::setClipRegion(std::optional<RegionBands> clip) {
  clip_ = std::move(clip);
  invalidateClip();
}

void DeviceContext::setWindowGeometry(BitmapObject* surface, POINT origin,
                                      const RegionBands& visible) {
  origin_ = origin;
  visible_ = visible;
  hasVisible_ = true;
  setTarget(surface);
}

const RegionBands& DeviceContext::effectiveClip() const {
  if (clipValid_) return clipCache_;
  RECT bounds{0, 0, 0, 0};
  if (target_ != nullptr) bounds = RECT{0, 0, target_->width, target_->height};
  RegionBands result;
  if (clip_) {
    RegionBands moved = *clip_;
    moved.offset(origin_.x, origin_.y);
    result = moved.intersected(bounds);
  } else {
    result = RegionBands::fromRect(bounds);
  }
  if (hasVisible_) result = RegionBands::combine(result, visible_, RGN_AND);
  clipCache_ = std::move(result);
  clipValid_ = true;
  return clipCache_;
}

RECT DeviceContext::clipBoxLogical() const {
  RECT box = effectiveClip().box();
  box.left -= origin_.x;
  box.right -= origin_.x;
  box.top -= origin_.y;
  box.bottom -= origin_.y;
  return box;
}

int DeviceContext::save() {
  SavedState state{bitmap,         pen,        brush,         font,         palette,
                   textColor,      bkColor,    dcPenColor,    dcBrushColor, bkMode,
                   rop2,           stretchMode, mapMode,      currentPosition, brushOrigin,
                   clip_};
  saved_.push_back(std::move(state));
  return static_cast<int>(saved_.size());
}

bool DeviceContext::restore(int level) {
  int depth = static_cast<int>(saved_.size());
  if (level < 0) level = depth + 1 + level;
  if (level < 1 || level > depth) return false;
  saved_.resize(static_cast<size_t>(level));
  SavedState state = std::move(saved_.back());
  saved_.pop_back();
  HGDIOBJ objects[] = {
      liveOr(state.pen, ObjectKind::Pen, stockObject(BLACK_PEN)),
      liveOr(state.brush, ObjectKind::Brush, stockObject(WHITE_BRUSH)),
      liveOr(state.font, ObjectKind::Font, stockObject(SYSTEM_FONT)),
      liveOr(state.palette, ObjectKind::Palette, stockObject(DEFAULT_PALETTE))};
  for (HGDIOBJ h : objects) select(findObject(h), h);
  if (isMemoryDC()) {
    HGDIOBJ b = liveOr(state.bitmap, ObjectKind::Bitmap, stockBitmap());
    if (b != bitmap) {
      GdiObject* object = findObject(b);
      if (select(object, b) == nullptr) select(findObject(stockBitmap()), stockBitmap());
    }
  }
  textColor = state.textColor;
  bkColor = state.bkColor;
  dcPenColor = state.dcPenColor;
  dcBrushColor = state.dcBrushColor;
  bkMode = state.bkMode;
  rop2 = state.rop2;
  stretchMode = state.stretchMode;
  mapMode = state.mapMode;
  currentPosition = state.currentPosition;
  brushOrigin = state.brushOrigin;
  setClipRegion(std::move(state.clip));
  return true;
}

void DeviceContext::reset() {
  while (!saved_.empty()) restore(static_cast<int>(saved_.size()));
  HGDIOBJ defaults[] = {stockObject(BLACK_PEN), stockObject(WHITE_BRUSH), stockObject(SYSTEM_FONT),
                        stockObject(DEFAULT_PALETTE)};
  for (HGDIOBJ h : defaults) select(findObject(h), h);
  if (isMemoryDC()) select(findObject(stockBitmap()), stockBitmap());
  textColor = RGB(0, 0, 0);
  bkColor = RGB(255, 255, 255);
  dcPenColor = RGB(0, 0, 0);
  dcBrushColor = RGB(255, 255, 255);
  bkMode = OPAQUE;
  rop2 = R2_COPYPEN;
  stretchMode = BLACKONWHITE;
  mapMode = MM_TEXT;
  currentPosition = POINT{0, 0};
  brushOrigin = POINT{0, 0};
  setClipRegion(std::nullopt);
}

DeviceContext* dcFromHandle(HDC handle) {
  GdiObject* object = findObject(handle);
  if (object == nullptr || (object->kind != ObjectKind::DC && object->kind != ObjectKind::MemDC)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return static_cast<DeviceContext*>(object);
}

HDC createWindowDC(BitmapObject* surface, POINT origin, const RegionBands& visible) {
  auto dc = std::make_unique<DeviceContext>(ObjectKind::DC);
  dc->setWindowGeometry(surface, origin, visible);
  return static_cast<HDC>(addObject(std::move(dc)));
}

void setWindowDCGeometry(HDC hdc, BitmapObject* surface, POINT origin,
                         const RegionBands& visible) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc != nullptr && !dc->isMemoryDC()) dc->setWindowGeometry(surface, origin, visible);
}

void resetDC(HDC hdc) {
  if (DeviceContext* dc = dcFromHandle(hdc)) dc->reset();
}

bool deleteWindowDC(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr || dc->isMemoryDC()) return false;
  dc->reset();
  return removeObject(hdc);
}

}  // namespace gdi

using gdi::DeviceContext;
using gdi::dcFromHandle;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc != nullptr && dcFromHandle(hdc) == nullptr) return nullptr;
  return static_cast<HDC>(gdi::addObject(std::make_unique<DeviceContext>(gdi::ObjectKind::MemDC)));
}

BOOL WINAPI DeleteDC(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr || !dc->isMemoryDC()) return FALSE;
  dc->reset();  // gives back saved selections so the DC's own count reaches zero
  return gdi::removeObject(hdc) ? TRUE : FALSE;
}

int WINAPI SaveDC(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? 0 : dc->save();
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
  DeviceContext* dc = dcFromHandle(hdc);
  return (dc != nullptr && dc->restore(nSavedDC)) ? TRUE : FALSE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  const gdi::BitmapObject* target = dc->target();
  int bpp = 32;
  if (dc->isMemoryDC() && target != nullptr) bpp = target->bitsPerPixel;
  SIZE size = gdi::screenSize();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return size.cx * 254 / 960;  // millimetres at 96 dots per inch
    case VERTSIZE: return size.cy * 254 / 960;
    case HORZRES:
    case DESKTOPHORZRES: return size.cx;
    case VERTRES:
    case DESKTOPVERTRES: return size.cy;
    case BITSPIXEL: return bpp;
    case PLANES: return 1;
    case NUMCOLORS: return bpp <= 8 ? (1 << bpp) : -1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV |
             RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case BLTALIGNMENT: return 0;
    default: return 0;
  }
}

BOOL WINAPI GdiFlush(void) { return TRUE; }
