// A brush prepared for one drawing call on one target: the stored value it puts at each device
// pixel, with the brush origin, the DC's colours and its background mode applied.
#pragma once

#include <windows.h>

#include "gdi/Bitmap.h"
#include "gdi/Brush.h"
#include "gdi/DeviceContext.h"

namespace gdi {

class BrushPainter {
 public:
  BrushPainter(const DeviceContext& dc, HBRUSH brush, const BitmapObject& target);

  bool hollow() const { return kind_ == Kind::Hollow; }
  bool solid() const { return kind_ == Kind::Solid; }
  DWORD solidValue() const { return solid_; }
  // The stored value at device pixel (x, y); false where the brush leaves the pixel alone (the
  // background of a hatch in transparent mode).
  bool at(int x, int y, DWORD& value) const;

 private:
  enum class Kind { Hollow, Solid, Hatch, Pattern };
  Kind kind_ = Kind::Hollow;
  DWORD solid_ = 0;
  DWORD hatchValue_ = 0;
  DWORD backValue_ = 0;
  bool opaque_ = true;
  int hatch_ = 0;
  const BitmapObject* pattern_ = nullptr;
  const BitmapObject* target_ = nullptr;
  DWORD monoValues_[2] = {0, 0};  // a monochrome pattern's 0 and 1 on the target
  bool rawPattern_ = false;       // the pattern's stored values go in unchanged
  POINT origin_{0, 0};
};

}  // namespace gdi
