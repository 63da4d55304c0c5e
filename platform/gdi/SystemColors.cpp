// The system colours of the classic Windows Standard scheme. Index 25, which has no name, is
// black; an index outside 0..30 gives 0 from GetSysColor and NULL from GetSysColorBrush. The
// system-colour brushes are stock objects: never counted and never deleted.
#include <windows.h>

#include <memory>

#include "gdi/Brush.h"

namespace {

constexpr int kColorCount = 31;

constexpr COLORREF kColors[kColorCount] = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(192, 192, 192),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25
    RGB(0, 0, 255),      // COLOR_HOTLIGHT
    RGB(16, 132, 208),   // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // COLOR_MENUBAR
};

bool validIndex(int index) { return index >= 0 && index < kColorCount && index != 25; }

}  // namespace

DWORD WINAPI GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex >= kColorCount) return 0;
  return kColors[nIndex];
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  static HBRUSH* brushes = [] {
    auto* table = new HBRUSH[kColorCount]();
    for (int i = 0; i < kColorCount; ++i) {
      if (!validIndex(i)) continue;
      auto brush = std::make_unique<gdi::BrushObject>();
      brush->log.lbStyle = BS_SOLID;
      brush->log.lbColor = kColors[i];
      table[i] = static_cast<HBRUSH>(gdi::addStockObject(std::move(brush)));
    }
    return table;
  }();
  if (!validIndex(nIndex)) return nullptr;
  return brushes[nIndex];
}
