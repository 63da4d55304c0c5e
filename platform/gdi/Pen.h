// Pens. A cosmetic pen is one pixel wide whatever its width says; wider pens are solid.
#pragma once

#include <windows.h>

#include "gdi/GdiObject.h"

namespace gdi {

struct DeviceContext;

struct PenObject : GdiObject {
  PenObject() : GdiObject(ObjectKind::Pen) {}
  int describe(int size, void* buffer) const override;

  LOGPEN log{};
  bool dcPen = false;  // the DC_PEN stock object: its colour is the DC's pen colour
};

// The pen behind a handle, or nullptr with ERROR_INVALID_HANDLE.
PenObject* penFromHandle(HPEN handle);

// The pen selected in the DC as it draws: style (PS_STYLE_MASK part only), width at least 1 and
// the colour with DC_PEN resolved and any palette flag removed.
struct EffectivePen {
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};
EffectivePen effectivePen(const DeviceContext& dc);

}  // namespace gdi
