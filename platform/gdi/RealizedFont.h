// A logical font made real: the font file fontconfig finds for the LOGFONTA, opened in FreeType at
// the pixel size the LOGFONTA asks for, with its text metrics and a cache of monochrome glyphs.
// Realized fonts are plain C++ objects, never GDI objects, so they never change the GDI count.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gdi {

struct DeviceContext;
struct FontObject;

// One row run of set pixels, relative to the glyph's origin on the baseline (y grows downwards,
// so rows above the baseline are negative); x1 is exclusive.
struct GlyphSpan {
  int16_t y;
  int16_t x0;
  int16_t x1;
};

struct Glyph {
  int advance = 0;  // pixels the pen moves on
  RECT box{0, 0, 0, 0};  // ink bounds relative to the origin; empty for a blank glyph
  std::vector<GlyphSpan> spans;
};

// Rows of a decoration line relative to the baseline (0 is the first row below it).
struct LineRows {
  int first = 0;
  int count = 1;
};

class RealizedFont {
 public:
  ~RealizedFont();
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;

  const TEXTMETRICA& metrics() const { return metrics_; }
  const std::string& familyName() const { return family_; }
  const std::string& fontFile() const { return file_; }
  LineRows underline() const { return underline_; }
  LineRows strikeout() const { return strikeout_; }
  bool underlined() const { return metrics_.tmUnderlined != 0; }
  bool struckOut() const { return metrics_.tmStruckOut != 0; }

  // The glyph of a Windows-1252 byte, rendered on first use.
  const Glyph& glyph(unsigned char byte) {
    const Glyph* g = glyphs_[byte].get();
    return g != nullptr ? *g : render(byte);
  }
  int advance(unsigned char byte) { return glyph(byte).advance; }

  // Builds the realization of a LOGFONTA; nullptr when no font file at all can be opened.
  static std::unique_ptr<RealizedFont> create(const LOGFONTA& log);

 private:
  RealizedFont() = default;
  // Windows' own bitmap face of the LOGFONTA's name and cell, when one is installed.
  static std::unique_ptr<RealizedFont> createBitmap(const LOGFONTA& log, int requestedWeight);
  // The weight (with synthetic bold, which widens the average and widest glyph by a pixel) and the
  // decorations of the metrics, once their widths are set.
  void setWeightAndDecorations(const LOGFONTA& log, int requestedWeight, int faceWeight);
  const Glyph& render(unsigned char byte);

  struct FreeTypeFace;
  std::unique_ptr<FreeTypeFace> face_;
  TEXTMETRICA metrics_{};
  std::string family_;
  std::string file_;
  LineRows underline_;
  LineRows strikeout_;
  bool emboldenSynthetic_ = false;
  bool byteCodes_ = false;  // the face's character codes are the Windows-1252 bytes themselves
  std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

// The Unicode code point of a Windows-1252 byte (the five unassigned bytes map to themselves).
uint32_t unicodeFromCp1252(unsigned char byte);

// Starts FreeType and fontconfig and brings into memory the files this code names itself: the
// bitmap faces, the stand-ins and the last resorts that every logical font falls back to. Once
// they are in, text draws even when no file descriptor is left to open a font file.
void loadFontFiles();

// The realized font for a logical font, shared by every font object with the same LOGFONTA and
// kept with the font object; nullptr (ERROR_INVALID_HANDLE) for a handle that is not a font,
// (ERROR_NOT_ENOUGH_MEMORY) when no font file can be opened and (ERROR_OUTOFMEMORY) when memory
// runs out.
RealizedFont* realizeFont(HFONT font);
RealizedFont* realizeFont(const FontObject& font);
// The realized font selected into a DC.
RealizedFont* realizedFontOf(const DeviceContext& dc);

}  // namespace gdi
