// A font object: what a window or control remembers about its font. Fonts are held by reference,
// so two holders of one FontRef see each other's changes, as the program expects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// Fixed-point money arithmetic: the value times 10000 in 64 bits. Font sizes live in it so that
// 8.25 points stays exactly 8.25.
struct Currency {
  int64_t scaled = 0;

  static Currency fromDouble(double value);  // rounds to 4 decimals, halves to even
  static Currency fromUnits(int64_t units) { return Currency{units * 10000}; }
  double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
  bool operator==(const Currency&) const = default;
};

class StdFont {
 public:
  std::string Name = "MS Sans Serif";
  Currency Size = Currency{82500};  // 8.25 points
  int16_t Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  int16_t Charset = 0;

  // Bold is a view of the weight: anything from semi-bold up counts as bold.
  bool Bold() const { return Weight >= 600; }
  void setBold(bool bold) { Weight = bold ? 700 : 400; }

  std::shared_ptr<StdFont> clone() const { return std::make_shared<StdFont>(*this); }
  bool sameAs(const StdFont& other) const;

  // A GDI font for this description at the screen's resolution; the caller deletes it.
  HFONT createHandle() const;
  // The character height in pixels that the font asks for (negative, as lfHeight wants it).
  LONG logicalHeight() const;
};

using FontRef = std::shared_ptr<StdFont>;

inline FontRef NewFont() { return std::make_shared<StdFont>(); }
