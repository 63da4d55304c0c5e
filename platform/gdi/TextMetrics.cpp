// Measuring text with the DC's font. GetTextFaceA names the family actually used (for example
// "Liberation Sans" for "MS Sans Serif") and returns the characters copied, without the NUL.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/DeviceContext.h"
#include "gdi/RealizedFont.h"
#include "gdi/TextPainter.h"

namespace {

gdi::RealizedFont* fontOf(HDC hdc) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  return dc != nullptr ? gdi::realizedFontOf(*dc) : nullptr;
}

BOOL extent(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  gdi::RealizedFont* font = fontOf(hdc);
  if (font == nullptr) return FALSE;
  if (size == nullptr || count < 0 || (text == nullptr && count > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size->cx = gdi::clampToInt(gdi::textAdvance(*font, bytes, static_cast<size_t>(count)));
  size->cy = font->metrics().tmHeight;
  return TRUE;
}

}  // namespace

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  gdi::RealizedFont* font = fontOf(hdc);
  if (font == nullptr) return FALSE;
  if (lptm == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lptm = font->metrics();
  return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  gdi::RealizedFont* font = fontOf(hdc);
  if (font == nullptr) return 0;
  const std::string& name = font->familyName();
  if (lpName == nullptr) return static_cast<int>(name.size()) + 1;
  if (c <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t copied = std::min(name.size(), static_cast<size_t>(c) - 1);
  std::memcpy(lpName, name.data(), copied);
  lpName[copied] = '\0';
  return static_cast<int>(copied);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  return extent(hdc, lpString, c, psizl);
}

BOOL WINAPI GetTextExtentPointA(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz) {
  return extent(hdc, lpString, c, lpsz);
}

BOOL WINAPI GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  gdi::RealizedFont* font = fontOf(hdc);
  if (font == nullptr) return FALSE;
  if (lpBuffer == nullptr || iLast < iFirst) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Codes beyond one byte have no character in the ANSI code page: they get the default char.
  int fallback = font->advance(font->metrics().tmDefaultChar);
  for (UINT code = iFirst;; ++code) {
    lpBuffer[code - iFirst] = code <= 0xFF ? font->advance(static_cast<unsigned char>(code)) : fallback;
    if (code == iLast) break;
  }
  return TRUE;
}
