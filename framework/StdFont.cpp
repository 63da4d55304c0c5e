#include "framework/StdFont.h"

#include <cmath>
#include <cstring>

Currency Currency::fromDouble(double value) {
  return Currency{static_cast<int64_t>(std::nearbyint(value * 10000.0))};
}

bool StdFont::sameAs(const StdFont& o) const {
  return Name == o.Name && Size == o.Size && Weight == o.Weight && Italic == o.Italic &&
         Underline == o.Underline && Strikethrough == o.Strikethrough && Charset == o.Charset;
}

LONG StdFont::logicalHeight() const {
  // 20 twips per point and 15 twips per pixel; the product stays exact in currency units.
  int64_t twipsScaled = Size.scaled * 20;  // twips * 10000
  double pixels = static_cast<double>(twipsScaled) / (15.0 * 10000.0);
  return -static_cast<LONG>(std::nearbyint(pixels));
}

HFONT StdFont::createHandle() const {
  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = logicalHeight();
  lf.lfWeight = Weight;
  lf.lfItalic = Italic ? 1 : 0;
  lf.lfUnderline = Underline ? 1 : 0;
  lf.lfStrikeOut = Strikethrough ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(Charset);
  std::strncpy(lf.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}
