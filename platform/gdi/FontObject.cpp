// Logical fonts: CreateFontA copies at most 31 characters of the face name and always ends it
// with a NUL; a NULL face name gives an empty one.
#include "gdi/FontObject.h"

#include <cstring>

namespace gdi {

int FontObject::describe(int size, void* buffer) const {
  if (buffer == nullptr) return sizeof(LOGFONTA);
  if (size <= 0) return 0;
  int n = size < static_cast<int>(sizeof(LOGFONTA)) ? size : static_cast<int>(sizeof(LOGFONTA));
  std::memcpy(buffer, &log, static_cast<size_t>(n));
  return n;
}

FontObject* fontFromHandle(HFONT handle) { return objectAs<FontObject>(handle, ObjectKind::Font); }

}  // namespace gdi

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (lplf == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto font = std::make_unique<gdi::FontObject>();
  font->log = *lplf;
  font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(gdi::addObject(std::move(font)));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = static_cast<BYTE>(bItalic);
  lf.lfUnderline = static_cast<BYTE>(bUnderline);
  lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(iCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  lf.lfQuality = static_cast<BYTE>(iQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName != nullptr) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}
