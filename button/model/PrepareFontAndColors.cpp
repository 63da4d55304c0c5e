// Derives what drawing needs from the stored properties: the GDI font selected into the buffer,
// the measured size and kind of the picture, and the four face colours of the current style.
#include "button/ztButtons_H.h"

#include "framework/App.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string folded(const std::string& s) {
  std::string f = s;
  for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return f;
}

// -20 x size / twips per pixel: the product exact in currency units (value x 10000), the
// quotient rounded to the nearest integer with halves to even.
LONG fontHeightPixels(const Currency& size, float twipsPerPixel) {
  const int64_t numerator = 20 * size.scaled;
  const int64_t denominator = Currency::fromDouble(twipsPerPixel).scaled;
  if (denominator <= 0) return 0;
  int64_t quotient = numerator / denominator;
  int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    remainder = -remainder;
  }
  const int64_t twice = 2 * remainder;
  if (twice > denominator || (twice == denominator && (quotient % 2) != 0))
    quotient += numerator < 0 ? -1 : 1;
  return static_cast<LONG>(-quotient);
}

}  // namespace

void ztButtons_H::PrepareFontAndColors(const std::string& Which) {
  const std::string which = folded(Which);

  if (which == "font") {
    // Without a buffer there is nothing to select the font into; the buffer's creation runs this
    // again, so creating one now would only leak it.
    if (!BufferDC) return;
    const FontRef font = UserControl.Font();
    if (!font) return;
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = fontHeightPixels(font->Size, Screen.TwipsPerPixelY());
    lf.lfWeight = font->Weight;
    lf.lfItalic = font->Italic ? 1 : 0;
    lf.lfUnderline = font->Underline ? 1 : 0;
    lf.lfStrikeOut = font->Strikethrough ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    // The face name always keeps its terminating NUL inside the 32-character field.
    std::strncpy(lf.lfFaceName, font->Name.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    HFONT created = CreateFontIndirectA(&lf);
    if (!created) return;
    HGDIOBJ previous = SelectObject(BufferDC, created);
    if (!previous) {
      DeleteObject(created);
      return;
    }
    if (!OldFont)
      OldFont = static_cast<HFONT>(previous);  // the DC's own font, put back at the end
    else
      DeleteObject(previous);  // the font this procedure made last time
    return;
  }

  if (which == "picture") {
    if (!stored.Picture) {
      if (ScaledPicture) {
        DeleteObject(ScaledPicture);
        ScaledPicture = nullptr;
      }
      PictureWidth = 0;
      PictureHeight = 0;
      return;
    }
    HANDLE handle = stored.Picture->Handle();
    BITMAP bm;
    std::memset(&bm, 0, sizeof bm);
    if (!GetObjectA(handle, sizeof bm, &bm)) std::memset(&bm, 0, sizeof bm);
    if (bm.bmBits) {
      PictureIsIcon = 0;
    } else {
      ICONINFO ii;
      std::memset(&ii, 0, sizeof ii);
      if (GetIconInfo(static_cast<HICON>(handle), &ii)) {
        if (ii.hbmColor) {
          std::memset(&bm, 0, sizeof bm);
          GetObjectA(ii.hbmColor, sizeof bm, &bm);
          PictureIsIcon = 1;
        } else if (ii.hbmMask) {
          // A monochrome icon: its mask holds the AND and XOR halves one above the other.
          std::memset(&bm, 0, sizeof bm);
          GetObjectA(ii.hbmMask, sizeof bm, &bm);
          bm.bmHeight /= 2;
          PictureIsIcon = 1;
        }
        // GetIconInfo hands out copies of both bitmaps; they are ours to delete.
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
      }
    }
    PictureWidth = bm.bmWidth;
    PictureHeight = bm.bmHeight;
    return;
  }

  if (which == "backcolor") {
    FaceColor = PressedFaceColor = TranslateColor(static_cast<int32_t>(stored.BackColor));
    HoverFaceColor = TranslateColor(static_cast<int32_t>(stored.HoverBackColor));
    switch (stored.ButtonStyle) {
      case StyleInverse:
        FaceColor = ShadeColor(FaceColor, 31, vbFalse);
        PressedFaceColor = ShadeColor(0x808080, -16, vbFalse);
        HoverFaceColor = ShadeColor(HoverFaceColor, 31, vbFalse);
        CheckedFaceColor = ShadeColor(0x808080, 16, vbTrue);
        break;
      case StyleRounded:
        FaceColor = ShadeColor(FaceColor, 48, vbTrue);
        PressedFaceColor = ShadeColor(FaceColor, -32, vbTrue);
        HoverFaceColor = ShadeColor(HoverFaceColor, 48, vbTrue);
        CheckedFaceColor = ShadeColor(0xFFFFFF, -32, vbTrue);
        break;
      case StyleEtched:
        PressedFaceColor = ShadeColor(0x808080, 12, vbFalse);
        CheckedFaceColor = ShadeColor(PressedFaceColor, 31, vbFalse);
        break;
      default:
        CheckedFaceColor = ShadeColor(0xFFFFFF, -32, vbFalse);
        break;
    }
  }
}
