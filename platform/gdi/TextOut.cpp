// TextOutA and ExtTextOutA. Choices where Windows is silent:
// - With TA_UPDATECP the current position moves to the right end of the text for TA_LEFT, to its
//   left end for TA_RIGHT, and stays where it was for TA_CENTER.
// - The text alignment is kept per DC handle beside the DC; SaveDC and RestoreDC do not save it.
// - An ETO_OPAQUE or ETO_CLIPPED rectangle given upside down is taken with its edges ordered.
#include <windows.h>

#include <algorithm>
#include <unordered_map>

#include "gdi/DeviceContext.h"
#include "gdi/RealizedFont.h"
#include "gdi/TextPainter.h"

namespace {

std::unordered_map<HDC, UINT>& alignments() {
  static auto* table = new std::unordered_map<HDC, UINT>;
  return *table;
}

// Entries of deleted DCs are dropped now and then; a stale handle never matches a new DC.
void forgetDeadDCs() {
  auto& table = alignments();
  for (auto it = table.begin(); it != table.end();) {
    if (gdi::findObject(it->first) == nullptr) {
      it = table.erase(it);
    } else {
      ++it;
    }
  }
}

UINT alignmentOf(HDC hdc) {
  auto& table = alignments();
  auto it = table.find(hdc);
  return it == table.end() ? TA_LEFT | TA_TOP | TA_NOUPDATECP : it->second;
}

RECT ordered(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

}  // namespace

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  if (gdi::dcFromHandle(hdc) == nullptr) return GDI_ERROR;
  UINT previous = alignmentOf(hdc);
  auto& table = alignments();
  if (table.size() > 256) forgetDeadDCs();
  table[hdc] = align & TA_MASK;
  return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
  if (gdi::dcFromHandle(hdc) == nullptr) return GDI_ERROR;
  return alignmentOf(hdc);
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString,
                        UINT c, const INT* lpDx) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (c > static_cast<UINT>(INT32_MAX) || (lpString == nullptr && c > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  gdi::RealizedFont* font = gdi::realizedFontOf(*dc);
  if (font == nullptr) return FALSE;
  const TEXTMETRICA& tm = font->metrics();
  auto* text = reinterpret_cast<const unsigned char*>(lpString);
  size_t count = c;

  UINT align = alignmentOf(hdc);
  if (align & TA_UPDATECP) {
    x = dc->currentPosition.x;
    y = dc->currentPosition.y;
  }
  int64_t width = 0;
  for (size_t i = 0; i < count; ++i) {
    width += lpDx != nullptr ? lpDx[i] : font->advance(text[i]);
    width = std::clamp<int64_t>(width, INT32_MIN, INT32_MAX);
  }
  int64_t left = x;
  switch (align & TA_CENTER) {
    case TA_RIGHT: left = int64_t{x} - width; break;
    case TA_CENTER: left = int64_t{x} - width / 2; break;
    default: break;
  }
  int64_t baseline = y;
  switch (align & TA_BASELINE) {
    case TA_BOTTOM: baseline = int64_t{y} - tm.tmDescent; break;
    case TA_BASELINE: break;
    default: baseline = int64_t{y} + tm.tmAscent; break;
  }
  int penX = gdi::clampToInt(left);
  int base = gdi::clampToInt(baseline);

  RECT clipRect{};
  const RECT* clip = nullptr;
  if (lprect != nullptr && (options & ETO_CLIPPED) != 0) {
    clipRect = ordered(*lprect);
    clip = &clipRect;
  }
  RECT bounds = gdi::drawingBounds(*dc, clip);
  if (lprect != nullptr && (options & ETO_OPAQUE) != 0) {
    gdi::paintRect(*dc, ordered(*lprect), dc->bkColor, gdi::drawingBounds(*dc, nullptr));
  }
  RECT cell{penX, gdi::clampToInt(baseline - tm.tmAscent), gdi::clampToInt(left + width),
            gdi::clampToInt(baseline + tm.tmDescent)};
  if (dc->bkMode == OPAQUE && count > 0) {
    gdi::paintRect(*dc, ordered(cell), dc->bkColor, bounds);
  }

  int64_t pen = left;
  for (size_t i = 0; i < count; ++i) {
    const gdi::Glyph& glyph = font->glyph(text[i]);
    if (pen > INT32_MIN && pen < INT32_MAX) {
      gdi::paintGlyph(*dc, glyph, static_cast<int>(pen), base, dc->textColor, bounds);
    }
    pen += lpDx != nullptr ? lpDx[i] : glyph.advance;
    // Past the right edge (and any ink reaching back from there) nothing more can show, unless
    // lpDx walks backwards.
    if (lpDx == nullptr && pen >= int64_t{bounds.right} + tm.tmMaxCharWidth + tm.tmHeight) break;
  }
  if (count > 0 && font->underlined()) {
    gdi::paintRows(*dc, cell.left, cell.right, base, font->underline(), dc->textColor, bounds);
  }
  if (count > 0 && font->struckOut()) {
    gdi::paintRows(*dc, cell.left, cell.right, base, font->strikeout(), dc->textColor, bounds);
  }

  if (align & TA_UPDATECP) {
    switch (align & TA_CENTER) {
      case TA_RIGHT: dc->currentPosition.x = gdi::clampToInt(int64_t{x} - width); break;
      case TA_CENTER: break;
      default: dc->currentPosition.x = gdi::clampToInt(int64_t{x} + width); break;
    }
  }
  return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0) {
    if (gdi::dcFromHandle(hdc) == nullptr) return FALSE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}
