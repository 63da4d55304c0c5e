// Font realization. Choices where Windows is silent or cannot be copied:
// - Face names: "MS Sans Serif" at a cell one of Windows' own bitmap faces has (13, 16 and 20
//   pixels: 8, 10 and 12 points), upright and not stretched, draws with that bitmap face from
//   Wine's sserife.fon, as Windows draws it; its metrics are the face's own, its underline the
//   second row below the baseline and its strikeout 0.26 em above it. Otherwise a fixed table maps
//   the Windows faces to metric-compatible free fonts; any other name is used only when
//   fontconfig has a family of exactly that name, else the fallback by lfPitchAndFamily
//   (FF_ROMAN: Liberation Serif, FF_MODERN or FIXED_PITCH: Liberation Mono, else Liberation Sans).
// - "Tahoma" draws with fontconfig's family of that name where it has one (Wine's metric-compatible
//   Tahoma files, when fonts-wine is installed, are added to this process's fontconfig for it),
//   else with DejaVu Sans; no other face sees those files.
// - Heights: negative lfHeight is the em in pixels, positive lfHeight the cell height (tmHeight is
//   then exactly lfHeight), 0 means a 12-pixel cell, and either is limited to 2048 pixels.
// - Ascent and descent are usWinAscent and usWinDescent scaled and rounded to the nearest pixel.
// - tmAveCharWidth is the lowercase-and-space weighted average of the advances (the classic OS/2
//   definition), scaled and rounded; a positive lfWidth sets it and stretches the glyphs to match.
// - lfWeight of 600 or more asks for a bold face; a family without one is emboldened by drawing
//   each glyph a second time one pixel to the right, one pixel wider in advance.
// - A family without an italic face is slanted by a 0.2 shear.
// - Underline rows: centred on the font's underline position with its thickness rounded (at least
//   one pixel), never on the row right below the baseline (a one-pixel gap under the letters),
//   kept inside the descent; strikeout rows start at the font's strikeout top.
// - lfEscapement and lfOrientation are not honoured: text is always horizontal.
#include "gdi/RealizedFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

#include "gdi/DeviceContext.h"
#include "gdi/FontFiles.h"
#include "gdi/FontObject.h"
#include "kernel/OutOfMemory.h"

namespace gdi {

namespace {

constexpr int kMaxPixelHeight = 2048;
constexpr int kDefaultCellHeight = 12;
constexpr size_t kRealizedCacheSize = 64;

constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Substitute {
  const char* windowsName;
  const char* family;
  bool ownFamilyFirst = false;  // fontconfig's family of the Windows name wins when it has one
};
constexpr Substitute kSubstitutes[] = {
    {"ms sans serif", "Liberation Sans"},  {"microsoft sans serif", "Liberation Sans"},
    {"arial", "Liberation Sans"},          {"helvetica", "Liberation Sans"},
    {"tahoma", "DejaVu Sans", true},       {"verdana", "DejaVu Sans"},
    {"times new roman", "Liberation Serif"}, {"courier new", "Liberation Mono"},
    {"ms shell dlg", "Liberation Sans"},   {"ms shell dlg 2", "DejaVu Sans"},
    {"system", "Liberation Sans"},         {"ms serif", "Liberation Serif"},
    {"courier", "Liberation Mono"},
};

// Metric-compatible stand-ins that fontconfig is not configured to know; only these files of their
// folder are added, since its other fonts would capture face names that now fall back.
constexpr const char* kStandInFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

// Windows' bitmap faces, one size a face in the file.
constexpr struct {
  const char* windowsName;
  const char* file;
} kBitmapFaces[] = {
    {"ms sans serif", "/usr/share/wine/fonts/sserife.fon"},
};

// Files tried when fontconfig finds nothing, or what it finds cannot be opened.
constexpr const char* kLastResortFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

std::string lowered(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

FT_Library freeType() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

// A face read from the file's bytes in memory, which stay mapped: opening it takes no descriptor
// once the file is in.
FT_Face openFace(FT_Library library, const std::string& path, FT_Long index) {
  FontFileBytes bytes = fontFileBytes(path);
  FT_Face face = nullptr;
  if (bytes.data == nullptr ||
      FT_New_Memory_Face(library, bytes.data, static_cast<FT_Long>(bytes.size), index, &face) != 0)
    return nullptr;
  return face;
}

struct FontFile {
  std::string path;
  int index = 0;
  bool familyMatches = false;
};

// Fontconfig keeps its configuration until FcFini; giving it back at exit keeps leak checkers
// quiet. Nothing of fontconfig is held between calls, so it is safe at any point of shutdown.
void useFontconfig() {
  static bool registered = [] {
    if (FcInit() != FcTrue) return false;
    for (const char* file : kStandInFiles) {
      FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file));  // absent: not added
    }
    std::atexit([] { FcFini(); });
    return true;
  }();
  (void)registered;
}

std::optional<FontFile> askFontconfig(const std::string& family, int weight, bool italic) {
  useFontconfig();
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return std::nullopt;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;

  std::optional<FontFile> found;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
    FontFile f;
    f.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) f.index = index;
    std::string wanted = lowered(family);
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      if (lowered(reinterpret_cast<const char*>(name)) == wanted) f.familyMatches = true;
    }
    found = f;
  }
  FcPatternDestroy(match);
  return found;
}

// Fontconfig's answers, kept: every font of a family asks the same question, and a question once
// answered needs no fontconfig call again, which does not survive memory running out.
std::optional<FontFile> matchFamily(const std::string& family, int weight, bool italic) {
  static auto* answers = new std::map<std::tuple<std::string, int, bool>, std::optional<FontFile>>;
  auto key = std::make_tuple(family, weight, italic);
  auto it = answers->find(key);
  if (it != answers->end()) return it->second;
  std::optional<FontFile> found = askFontconfig(family, weight, italic);
  answers->emplace(std::move(key), found);
  return found;
}

// The LOGFONTA's face name, which need not end in a NUL.
std::string faceName(const LOGFONTA& log) { return std::string(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE)); }

const char* fallbackFamily(BYTE pitchAndFamily) {
  if ((pitchAndFamily & 0xF0) == FF_ROMAN) return "Liberation Serif";
  if ((pitchAndFamily & 0xF0) == FF_MODERN || (pitchAndFamily & 0x03) == FIXED_PITCH) {
    return "Liberation Mono";
  }
  return "Liberation Sans";
}

// The family to open for a LOGFONTA's face name.
std::string chooseFamily(const LOGFONTA& log, int weight, bool italic) {
  std::string name = faceName(log);
  std::string key = lowered(name);
  auto fontconfigHasIt = [&] {
    std::optional<FontFile> direct = matchFamily(name, weight, italic);
    return direct && direct->familyMatches;
  };
  for (const Substitute& s : kSubstitutes) {
    if (key == s.windowsName) return s.ownFamilyFirst && fontconfigHasIt() ? name : s.family;
  }
  if (!name.empty() && fontconfigHasIt()) return name;
  return fallbackFamily(log.lfPitchAndFamily);
}

// The lowercase letters and the space with their weights per thousand, as the first OS/2 table
// defined the average character width.
constexpr struct {
  char c;
  int weight;
} kAverageWeights[] = {
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42},
    {'i', 63}, {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20},  {'n', 56}, {'o', 56}, {'p', 17},
    {'q', 4},  {'r', 49}, {'s', 56}, {'t', 71}, {'u', 31},  {'v', 10}, {'w', 18}, {'x', 3},
    {'y', 18}, {'z', 2},  {' ', 166}};

// The weighted average advance in font units, or 0 when the font lacks a needed glyph.
double averageAdvanceUnits(FT_Face face) {
  double total = 0;
  for (const auto& entry : kAverageWeights) {
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(entry.c));
    FT_Fixed advance = 0;
    if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
    total += static_cast<double>(advance) * entry.weight;
  }
  return total / 1000.0;
}

int roundToInt(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

struct RealizedFont::FreeTypeFace {
  FT_Face face = nullptr;
  ~FreeTypeFace() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

uint32_t unicodeFromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
  return byte;
}

RealizedFont::~RealizedFont() = default;

void loadFontFiles() {
  if (freeType() == nullptr) return;
  // The fallback family's answer: the run-time error box's face needs it, when memory may not
  // be had for fontconfig any more.
  matchFamily(fallbackFamily(DEFAULT_PITCH), FW_NORMAL, false);
  for (const auto& entry : kBitmapFaces) fontFileBytes(entry.file);
  for (const char* file : kStandInFiles) fontFileBytes(file);
  for (const char* file : kLastResortFiles) fontFileBytes(file);
}

namespace {

// The face of a bitmap font file whose cell (positive height) or em (negative) is the one asked
// for, or nullptr.
FT_Face openBitmapFace(FT_Library library, const char* file, LONG height, FT_WinFNT_HeaderRec& header) {
  FT_Face face = openFace(library, file, -1);
  if (face == nullptr) return nullptr;
  FT_Long faces = face->num_faces;
  FT_Done_Face(face);
  for (FT_Long i = 0; i < faces; ++i) {
    if ((face = openFace(library, file, i)) == nullptr) continue;
    if (FT_Get_WinFNT_Header(face, &header) == 0 && face->num_fixed_sizes == 1 &&
        (height > 0 ? height == header.pixel_height
                    : -static_cast<long long>(height) == header.pixel_height - header.internal_leading) &&
        FT_Select_Size(face, 0) == 0 && face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0)
      return face;
    FT_Done_Face(face);
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<RealizedFont> RealizedFont::createBitmap(const LOGFONTA& log, int requestedWeight) {
  std::string key = lowered(faceName(log));
  if (log.lfWidth > 0 || log.lfItalic != 0 || log.lfHeight == 0) return nullptr;
  for (const auto& entry : kBitmapFaces) {
    if (key != entry.windowsName) continue;
    FT_WinFNT_HeaderRec h{};
    FT_Face face = openBitmapFace(freeType(), entry.file, log.lfHeight, h);
    if (face == nullptr) return nullptr;
    auto font = std::unique_ptr<RealizedFont>(new RealizedFont);
    font->face_ = std::make_unique<FreeTypeFace>();
    font->face_->face = face;
    font->file_ = entry.file;
    font->family_ = face->family_name != nullptr ? face->family_name : log.lfFaceName;
    font->byteCodes_ = face->charmap->encoding != FT_ENCODING_UNICODE;
    TEXTMETRICA& tm = font->metrics_;
    tm.tmHeight = h.pixel_height;
    tm.tmAscent = h.ascent;
    tm.tmDescent = h.pixel_height - h.ascent;
    tm.tmInternalLeading = h.internal_leading;
    tm.tmExternalLeading = h.external_leading;
    tm.tmAveCharWidth = h.avg_width;
    tm.tmMaxCharWidth = h.max_width;
    tm.tmDigitizedAspectX = h.horizontal_resolution;
    tm.tmDigitizedAspectY = h.vertical_resolution;
    tm.tmFirstChar = static_cast<BYTE>(h.first_char);
    tm.tmLastChar = static_cast<BYTE>(h.last_char);
    tm.tmDefaultChar = static_cast<BYTE>(h.first_char + h.default_char);
    tm.tmBreakChar = static_cast<BYTE>(h.first_char + h.break_char);
    font->setWeightAndDecorations(log, requestedWeight, h.weight);
    // The low bit of a bitmap face's pitch is set for variable pitch, as TMPF_FIXED_PITCH means.
    tm.tmPitchAndFamily = h.pitch_and_family;
    tm.tmCharSet = h.charset;
    int em = h.pixel_height - h.internal_leading;
    font->underline_ = LineRows{std::min(1, tm.tmDescent - 1), 1};
    font->strikeout_ = LineRows{-std::max(1, roundToInt(0.26 * em)), 1};
    return font;
  }
  return nullptr;
}

std::unique_ptr<RealizedFont> RealizedFont::create(const LOGFONTA& log) {
  FT_Library library = freeType();
  if (library == nullptr) return nullptr;

  int requestedWeight = log.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(log.lfWeight, 1000);
  if (std::unique_ptr<RealizedFont> bitmap = createBitmap(log, requestedWeight)) return bitmap;
  bool wantItalic = log.lfItalic != 0;

  std::string family = chooseFamily(log, requestedWeight, wantItalic);
  std::vector<FontFile> candidates;
  if (std::optional<FontFile> f = matchFamily(family, requestedWeight, wantItalic)) {
    candidates.push_back(*f);
  }
  for (const char* path : kLastResortFiles) candidates.push_back(FontFile{path, 0, false});

  auto font = std::unique_ptr<RealizedFont>(new RealizedFont);
  font->face_ = std::make_unique<FreeTypeFace>();
  for (const FontFile& candidate : candidates) {
    FT_Face face = openFace(library, candidate.path, candidate.index);
    if (face == nullptr) continue;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      continue;
    }
    font->face_->face = face;
    font->file_ = candidate.path;
    break;
  }
  FT_Face face = font->face_->face;
  if (face == nullptr) return nullptr;
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 && face->num_charmaps > 0) {
    FT_Set_Charmap(face, face->charmaps[0]);
  }
  font->family_ = face->family_name != nullptr ? face->family_name : family;

  const double upem = face->units_per_EM;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  bool haveOs2 = os2 != nullptr && os2->version != 0xFFFF;
  double winAscent = haveOs2 ? os2->usWinAscent : face->ascender;
  double winDescent = haveOs2 ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) {
    winAscent = upem * 0.8;
    winDescent = upem * 0.2;
  }

  // Pixel em and cell.
  int ppem;
  int ascent;
  int descent;
  LONG height = log.lfHeight == 0 ? kDefaultCellHeight : log.lfHeight;
  if (height < 0) {
    ppem = height < -kMaxPixelHeight ? kMaxPixelHeight : static_cast<int>(-height);
    ascent = roundToInt(winAscent * ppem / upem);
    descent = roundToInt(winDescent * ppem / upem);
  } else {
    int cell = std::min<LONG>(height, kMaxPixelHeight);
    double scale = cell / (winAscent + winDescent);
    ppem = std::max(1, roundToInt(upem * scale));
    ascent = roundToInt(winAscent * scale);
    descent = cell - ascent;
  }
  const double scale = ppem / upem;

  double averageUnits = averageAdvanceUnits(face);
  if (averageUnits <= 0) averageUnits = haveOs2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
  int xppem = ppem;
  int averageWidth = std::max(1, roundToInt(averageUnits * scale));
  if (log.lfWidth > 0) {
    LONG width = std::min<LONG>(log.lfWidth, kMaxPixelHeight);
    xppem = std::clamp(roundToInt(width * upem / averageUnits), 1, 4 * kMaxPixelHeight);
    averageWidth = static_cast<int>(width);
  }
  if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(xppem), static_cast<FT_UInt>(ppem)) != 0) {
    return nullptr;
  }
  const double xscale = xppem / upem;

  if (wantItalic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0) {
    FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
  }

  TEXTMETRICA& tm = font->metrics_;
  tm.tmAscent = ascent;
  tm.tmDescent = descent;
  tm.tmHeight = ascent + descent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - ppem);
  double lineGap = hhea != nullptr ? hhea->Line_Gap : 0;
  double hheaHeight = hhea != nullptr ? hhea->Ascender - hhea->Descender : winAscent + winDescent;
  tm.tmExternalLeading =
      std::max(0, roundToInt((lineGap - ((winAscent + winDescent) - hheaHeight)) * scale));
  tm.tmAveCharWidth = averageWidth;
  double maxAdvance = hhea != nullptr ? hhea->advance_Width_Max : face->max_advance_width;
  tm.tmMaxCharWidth = std::max(1, roundToInt(maxAdvance * xscale));
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x1E;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = wantItalic ? 0xFF : 0;
  int faceWeight = haveOs2 && os2->usWeightClass > 0 ? os2->usWeightClass : FW_NORMAL;
  font->setWeightAndDecorations(log, requestedWeight, faceWeight);
  BYTE family_bits = FF_SWISS;
  if (FT_IS_FIXED_WIDTH(face)) {
    family_bits = FF_MODERN;
  } else if (lowered(font->family_).find("serif") != std::string::npos &&
             lowered(font->family_).find("sans") == std::string::npos) {
    family_bits = FF_ROMAN;
  }
  tm.tmPitchAndFamily = static_cast<BYTE>(family_bits | TMPF_VECTOR | TMPF_TRUETYPE |
                                          (FT_IS_FIXED_WIDTH(face) ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = ANSI_CHARSET;

  // Decoration rows.
  double underlineCentre = -static_cast<double>(face->underline_position) * scale;
  int underlineCount = std::max(1, roundToInt(face->underline_thickness * scale));
  int underlineFirst = roundToInt(underlineCentre - underlineCount / 2.0);
  underlineFirst = std::max(0, std::min(std::max(1, underlineFirst), descent - underlineCount));
  font->underline_ = LineRows{underlineFirst, underlineCount};
  double strikeTop = haveOs2 ? os2->yStrikeoutPosition : upem * 0.26;
  double strikeSize = haveOs2 ? os2->yStrikeoutSize : face->underline_thickness;
  int strikeCount = std::max(1, roundToInt(strikeSize * scale));
  font->strikeout_ = LineRows{-std::max(1, roundToInt(strikeTop * scale)), strikeCount};
  return font;
}

void RealizedFont::setWeightAndDecorations(const LOGFONTA& log, int requestedWeight, int faceWeight) {
  // Bold asked of a lighter face is made by drawing each glyph a second time a pixel to the right,
  // which widens every glyph by that pixel.
  emboldenSynthetic_ = requestedWeight >= FW_SEMIBOLD && faceWeight < FW_SEMIBOLD;
  const int synthetic = emboldenSynthetic_ ? 1 : 0;
  metrics_.tmAveCharWidth += synthetic;
  metrics_.tmMaxCharWidth += synthetic;
  metrics_.tmWeight = emboldenSynthetic_ ? requestedWeight : faceWeight;
  metrics_.tmUnderlined = log.lfUnderline != 0 ? 0xFF : 0;
  metrics_.tmStruckOut = log.lfStrikeOut != 0 ? 0xFF : 0;
}

const Glyph& RealizedFont::render(unsigned char byte) {
  auto glyph = std::make_unique<Glyph>();
  FT_Face face = face_->face;
  FT_UInt index = FT_Get_Char_Index(face, byteCodes_ ? byte : unicodeFromCp1252(byte));
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0 &&
      (face->glyph->format == FT_GLYPH_FORMAT_BITMAP ||
       FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0)) {
    FT_GlyphSlot slot = face->glyph;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    int extra = emboldenSynthetic_ ? 1 : 0;
    int width = static_cast<int>(bitmap.width);
    std::vector<uint8_t> row(static_cast<size_t>(width + extra));
    LONG minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
    for (unsigned r = 0; r < bitmap.rows && bitmap.pixel_mode == FT_PIXEL_MODE_MONO; ++r) {
      const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
      std::fill(row.begin(), row.end(), 0);
      for (int x = 0; x < width; ++x) {
        if ((src[x >> 3] >> (7 - (x & 7))) & 1) {
          row[static_cast<size_t>(x)] = 1;
          if (extra != 0) row[static_cast<size_t>(x + 1)] = 1;
        }
      }
      int y = static_cast<int>(r) - slot->bitmap_top;
      for (int x = 0; x < static_cast<int>(row.size());) {
        if (row[static_cast<size_t>(x)] == 0) {
          ++x;
          continue;
        }
        int start = x;
        while (x < static_cast<int>(row.size()) && row[static_cast<size_t>(x)] != 0) ++x;
        int x0 = start + slot->bitmap_left;
        int x1 = x + slot->bitmap_left;
        glyph->spans.push_back(GlyphSpan{static_cast<int16_t>(y), static_cast<int16_t>(x0),
                                         static_cast<int16_t>(x1)});
        minX = std::min<LONG>(minX, x0);
        maxX = std::max<LONG>(maxX, x1);
        minY = std::min<LONG>(minY, y);
        maxY = std::max<LONG>(maxY, y + 1);
      }
    }
    if (!glyph->spans.empty()) glyph->box = RECT{minX, minY, maxX, maxY};
    glyph->advance += extra;
  }
  glyphs_[byte] = std::move(glyph);
  return *glyphs_[byte];
}

namespace {

struct CacheEntry {
  std::shared_ptr<RealizedFont> font;
  uint64_t lastUse = 0;
};

std::map<std::string, CacheEntry>& realizedCache() {
  static auto* cache = new std::map<std::string, CacheEntry>;
  return *cache;
}

std::string cacheKey(const LOGFONTA& log) {
  LOGFONTA normal = log;
  size_t length = strnlen(normal.lfFaceName, LF_FACESIZE);
  std::memset(normal.lfFaceName + length, 0, LF_FACESIZE - length);
  // Decorations do not change the face; they are kept in the metrics, so they stay in the key.
  return std::string(reinterpret_cast<const char*>(&normal), sizeof normal);
}

}  // namespace

namespace {

RealizedFont* realize(const FontObject& font) {
  static uint64_t tick = 0;
  auto& cache = realizedCache();
  std::string key = cacheKey(font.log);
  auto it = cache.find(key);
  if (it == cache.end()) {
    std::shared_ptr<RealizedFont> made = RealizedFont::create(font.log);
    if (!made) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (cache.size() >= kRealizedCacheSize) {
      auto oldest = std::min_element(cache.begin(), cache.end(), [](const auto& a, const auto& b) {
        return a.second.lastUse < b.second.lastUse;
      });
      cache.erase(oldest);  // font objects that hold it keep it alive
    }
    it = cache.emplace(key, CacheEntry{std::move(made), 0}).first;
  }
  it->second.lastUse = ++tick;
  font.realized = std::static_pointer_cast<void>(it->second.font);
  return it->second.font.get();
}

}  // namespace

RealizedFont* realizeFont(const FontObject& font) {
  if (font.realized) return static_cast<RealizedFont*>(font.realized.get());
  return kernel::failingOnOutOfMemory<RealizedFont*>(nullptr, [&] { return realize(font); });
}

RealizedFont* realizeFont(HFONT handle) {
  FontObject* font = fontFromHandle(handle);
  return font != nullptr ? realizeFont(*font) : nullptr;
}

RealizedFont* realizedFontOf(const DeviceContext& dc) { return realizeFont(dc.font); }

}  // namespace gdi
