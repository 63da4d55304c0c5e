// X cursors for HCURSORs: the system cursors become the matching cursors of the X cursor font,
// any other cursor a two-colour pixmap cursor made from its image and mask.
#pragma once

#include <windows.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace x11 {

// A cursor image reduced to what XCreatePixmapCursor takes: which pixels are shown, which of them
// get the foreground colour, and the two colours (0x00RRGGBB).
struct TwoColourCursor {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> shown;       // 1 per pixel: opaque
  std::vector<uint8_t> foreground;  // 1 per pixel: the darker colour
  uint32_t foregroundColour = 0x000000;
  uint32_t backgroundColour = 0xFFFFFF;
};

// Pixels with alpha of at least 128 are shown; those darker than middle grey (by luma) take the
// foreground colour, the average of them all, and the lighter ones the background colour.
TwoColourCursor reduceToTwoColours(const std::vector<uint32_t>& argb, int width, int height);

class Cursors {
 public:
  // Cursors made from images are enlarged by the display's factor, as the windows are.
  Cursors(Display* display, ::Window root, int factor);
  ~Cursors();
  Cursors(const Cursors&) = delete;
  Cursors& operator=(const Cursors&) = delete;

  // The X cursor of an HCURSOR (None for a bad handle); NULL gives an invisible cursor.
  Cursor forHandle(HCURSOR cursor);

 private:
  Cursor fromImage(HCURSOR cursor);
  Cursor invisible();

  Display* display_;
  ::Window root_;
  int factor_;
  bool systemLoaded_ = false;
  std::map<HCURSOR, unsigned> systemShapes_;
  std::map<unsigned, Cursor> fontCursors_;
  // Made cursors by a digest of their image, so that a destroyed handle reused for another image
  // never finds the old one.
  std::map<uint64_t, Cursor> imageCursors_;
  Cursor invisible_ = None;
};

}  // namespace x11
