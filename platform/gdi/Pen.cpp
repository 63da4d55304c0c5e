// Pens. CreatePen keeps the magnitude of a negative width, hands out the stock NULL_PEN for
// PS_NULL, and makes PS_USERSTYLE, PS_ALTERNATE and the unused styles 9 to 15 solid, as Windows
// does; a width of 0 draws one pixel wide and a styled pen (dash, dot) wider than one pixel draws
// solid. Where Windows is silent: bits outside the style, end cap and join masks are refused with
// ERROR_INVALID_PARAMETER.
#include "gdi/Pen.h"

#include <climits>
#include <cstring>
#include <memory>

#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"

namespace gdi {

int PenObject::describe(int size, void* buffer) const {
  if (buffer == nullptr) return sizeof(LOGPEN);
  if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
  std::memcpy(buffer, &log, sizeof log);
  return sizeof(LOGPEN);
}

PenObject* penFromHandle(HPEN handle) { return objectAs<PenObject>(handle, ObjectKind::Pen); }

EffectivePen effectivePen(const DeviceContext& dc) {
  EffectivePen result;
  GdiObject* object = findObject(dc.pen);
  if (object == nullptr || object->kind != ObjectKind::Pen) return result;
  const PenObject* pen = static_cast<const PenObject*>(object);
  result.style = static_cast<int>(pen->log.lopnStyle & PS_STYLE_MASK);
  result.width = pen->log.lopnWidth.x < 1 ? 1 : pen->log.lopnWidth.x;
  result.color = plainColor(pen->dcPen ? dc.dcPenColor : pen->log.lopnColor);
  if (result.width > 1 && result.style != PS_NULL && result.style != PS_INSIDEFRAME)
    result.style = PS_SOLID;
  if (result.style == PS_INSIDEFRAME) result.style = PS_SOLID;
  return result;
}

}  // namespace gdi

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  int style = iStyle & PS_STYLE_MASK;
  if ((iStyle & ~(PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (style == PS_NULL) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  if (style >= PS_USERSTYLE) iStyle &= ~PS_STYLE_MASK;  // PS_SOLID
  auto pen = std::make_unique<gdi::PenObject>();
  pen->log.lopnStyle = static_cast<UINT>(iStyle);
  // INT_MIN has no positive counterpart; Windows' own width wraps, ours stops at INT_MAX.
  pen->log.lopnWidth = POINT{cWidth == INT_MIN ? INT_MAX : (cWidth < 0 ? -cWidth : cWidth), 0};
  pen->log.lopnColor = color;
  return static_cast<HPEN>(gdi::addObject(std::move(pen)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (plpen == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}
