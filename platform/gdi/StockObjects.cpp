// The stock fonts carry the LOGFONTA that Windows reports for them at 96 dots per inch where it
// is known (SYSTEM_FONT "System" 16 bold, DEFAULT_GUI_FONT "MS Shell Dlg" -11) and, for the
// fixed and OEM fonts, the classic faces at the classic cell heights.
#include "gdi/StockObjects.h"

#include <cstring>
#include <memory>

#include "gdi/Bitmap.h"
#include "gdi/Brush.h"
#include "gdi/FontObject.h"
#include "gdi/Palette.h"
#include "gdi/Pen.h"

namespace gdi {
namespace {

HGDIOBJ stockPen(int style, COLORREF color, bool dcPen = false) {
  auto pen = std::make_unique<PenObject>();
  pen->log.lopnStyle = static_cast<UINT>(style);
  pen->log.lopnWidth = POINT{1, 0};
  pen->log.lopnColor = color;
  pen->dcPen = dcPen;
  return addStockObject(std::move(pen));
}

HGDIOBJ stockBrush(int style, COLORREF color, bool dcBrush = false) {
  auto brush = std::make_unique<BrushObject>();
  brush->log.lbStyle = static_cast<UINT>(style);
  brush->log.lbColor = color;
  brush->dcBrush = dcBrush;
  return addStockObject(std::move(brush));
}

HGDIOBJ stockFont(const char* face, LONG height, LONG width, LONG weight, BYTE charset,
                  BYTE pitchAndFamily) {
  auto font = std::make_unique<FontObject>();
  font->log.lfHeight = height;
  font->log.lfWidth = width;
  font->log.lfWeight = weight;
  font->log.lfCharSet = charset;
  font->log.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
  return addStockObject(std::move(font));
}

struct StockTable {
  HGDIOBJ objects[STOCK_LAST + 1] = {};
  HBITMAP bitmap = nullptr;

  StockTable() {
    objects[WHITE_BRUSH] = stockBrush(BS_SOLID, RGB(255, 255, 255));
    objects[LTGRAY_BRUSH] = stockBrush(BS_SOLID, RGB(192, 192, 192));
    objects[GRAY_BRUSH] = stockBrush(BS_SOLID, RGB(128, 128, 128));
    objects[DKGRAY_BRUSH] = stockBrush(BS_SOLID, RGB(64, 64, 64));
    objects[BLACK_BRUSH] = stockBrush(BS_SOLID, RGB(0, 0, 0));
    objects[NULL_BRUSH] = stockBrush(BS_NULL, 0);
    objects[WHITE_PEN] = stockPen(PS_SOLID, RGB(255, 255, 255));
    objects[BLACK_PEN] = stockPen(PS_SOLID, RGB(0, 0, 0));
    objects[NULL_PEN] = stockPen(PS_NULL, 0);
    objects[OEM_FIXED_FONT] = stockFont("Terminal", 12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN);
    objects[ANSI_FIXED_FONT] = stockFont("Courier", 12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN);
    objects[ANSI_VAR_FONT] = stockFont("MS Sans Serif", 12, 9, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    objects[SYSTEM_FONT] = stockFont("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    objects[DEVICE_DEFAULT_FONT] = stockFont("System", 16, 0, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    objects[DEFAULT_PALETTE] = addStockObject(makeDefaultPalette());
    objects[SYSTEM_FIXED_FONT] = stockFont("Fixedsys", 15, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN);
    objects[DEFAULT_GUI_FONT] = stockFont("MS Shell Dlg", -11, 0, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS);
    objects[DC_BRUSH] = stockBrush(BS_SOLID, RGB(255, 255, 255), true);
    objects[DC_PEN] = stockPen(PS_SOLID, RGB(0, 0, 0), true);
    bitmap = static_cast<HBITMAP>(addStockObject(BitmapObject::create(1, 1, 1)));
  }
};

StockTable& stock() {
  static StockTable* table = new StockTable;  // lives as long as the handle table
  return *table;
}

}  // namespace

HGDIOBJ stockObject(int index) {
  if (index < 0 || index > STOCK_LAST) return nullptr;
  return stock().objects[index];
}

HBITMAP stockBitmap() { return stock().bitmap; }

}  // namespace gdi

HGDIOBJ WINAPI GetStockObject(int i) { return gdi::stockObject(i); }
