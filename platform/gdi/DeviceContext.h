// Device contexts. A memory DC draws into the bitmap selected in it; a window DC draws into a
// window surface owned by the window system, at the client origin inside that surface and within
// the visible region the window system hands it. Logical coordinates are client coordinates
// (MM_TEXT); adding the origin gives surface coordinates.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "gdi/Bitmap.h"
#include "gdi/GdiObject.h"
#include "gdi/Region.h"

namespace gdi {

struct DeviceContext : GdiObject {
  // kind is ObjectKind::MemDC or ObjectKind::DC (a window DC). Starts with the defaults of a new
  // DC: black pen, white brush, system font, default palette, and for a memory DC the stock
  // 1 x 1 monochrome bitmap.
  explicit DeviceContext(ObjectKind kind);
  ~DeviceContext() override;  // gives back every selected object

  // What drawing lands in: the selected bitmap of a memory DC, the surface of a window DC.
  BitmapObject* target() const { return target_; }
  // The same, about to be read or drawn into: a target whose pixels come from elsewhere (the
  // screen's) is filled first, once.
  BitmapObject* pixels() {
    if (pendingFill_ != nullptr) std::exchange(pendingFill_, nullptr)(*target_);
    return target_;
  }
  // For the window system: fill runs on the target just before its pixels are first used.
  void deferFill(void (*fill)(BitmapObject& target)) { pendingFill_ = fill; }
  bool isMemoryDC() const { return kind == ObjectKind::MemDC; }

  // The selected objects (never NULL).
  HBITMAP bitmap = nullptr;  // memory DC only
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;

  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF dcPenColor = RGB(0, 0, 0);
  COLORREF dcBrushColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int mapMode = MM_TEXT;
  POINT currentPosition{0, 0};  // logical
  POINT brushOrigin{0, 0};      // device (surface) coordinates, as on Windows

  // Puts a pen, brush, font or bitmap in its slot and returns the previous one (NULL and no
  // change when the object cannot go in: a bitmap into a window DC, a bitmap already selected in
  // another DC, or a bitmap whose format the DC cannot take). Keeps the selection counts.
  HGDIOBJ select(GdiObject* object, HGDIOBJ handle);

  // The application clip region in logical coordinates; nullopt when there is none.
  const std::optional<RegionBands>& clipRegion() const { return clip_; }
  void setClipRegion(std::optional<RegionBands> clip);

  // Window DCs: the client origin inside the surface and the visible region (surface coordinates).
  POINT origin() const { return origin_; }
  const RegionBands& visibleRegion() const { return visible_; }
  void setWindowGeometry(BitmapObject* surface, POINT origin, const RegionBands& visible);

  // Where drawing may land, in surface coordinates: the application clip moved by the origin,
  // within the visible region (window DCs) and the target's bounds. Cached until something it
  // depends on changes.
  const RegionBands& effectiveClip() const;
  // The box of the application clip in logical coordinates, or the whole target when none.
  RECT clipBoxLogical() const;

  // SaveDC / RestoreDC.
  int save();
  bool restore(int level);
  int saveDepth() const { return static_cast<int>(saved_.size()); }

  // Back to the state of a new DC (GetDC of a window without its own DC).
  void reset();

 private:
  struct SavedState {
    HBITMAP bitmap;
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    HPALETTE palette;
    COLORREF textColor, bkColor, dcPenColor, dcBrushColor;
    int bkMode, rop2, stretchMode, mapMode;
    POINT currentPosition, brushOrigin;
    std::optional<RegionBands> clip;
  };
  void setTarget(BitmapObject* target);
  void invalidateClip() { clipValid_ = false; }
  void releaseSelections();

  BitmapObject* target_ = nullptr;
  void (*pendingFill_)(BitmapObject& target) = nullptr;
  std::optional<RegionBands> clip_;
  POINT origin_{0, 0};
  RegionBands visible_;
  bool hasVisible_ = false;
  mutable RegionBands clipCache_;
  mutable bool clipValid_ = false;
  std::vector<SavedState> saved_;
};

// The DC behind a handle (window or memory), or nullptr with ERROR_INVALID_HANDLE.
DeviceContext* dcFromHandle(HDC handle);

// For the window system: a DC drawing into a window surface. The surface stays owned by the
// window system and must outlive the DC or be replaced with setWindowDCGeometry first.
HDC createWindowDC(BitmapObject* surface, POINT origin, const RegionBands& visible);
void setWindowDCGeometry(HDC hdc, BitmapObject* surface, POINT origin, const RegionBands& visible);
// Defaults back (pen, brush, font, colours, modes, clip, saved states), keeping the geometry.
void resetDC(HDC hdc);
// Releases a window DC; false when the handle is not a window DC.
bool deleteWindowDC(HDC hdc);

// The screen size that HORZRES and VERTRES report (1024 x 768 until the window system says).
void setScreenSize(int width, int height);
SIZE screenSize();

}  // namespace gdi
