// A picture object: a bitmap (bitmap and JPEG files, both as DIB sections), an icon or a cursor.
// Pictures are held by reference; the GDI or icon object goes when the last reference goes.
// The bytes of the file a picture came from are kept, so a window description can save it again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int16_t vbPicTypeNone = 0;
constexpr int16_t vbPicTypeBitmap = 1;
constexpr int16_t vbPicTypeIcon = 3;

class StdPicture {
 public:
  enum class Kind { Bitmap, Icon, Cursor };

  // Takes ownership of the handle (an HBITMAP for Kind::Bitmap, else an HICON/HCURSOR).
  StdPicture(Kind kind, HANDLE handle, std::vector<uint8_t> sourceBytes);
  ~StdPicture();
  StdPicture(const StdPicture&) = delete;
  StdPicture& operator=(const StdPicture&) = delete;

  // The GDI handle: an HBITMAP for bitmaps, an HICON for icons and cursors.
  HANDLE Handle() const { return handle_; }
  // 1 for bitmaps, 3 for icons and cursors (a cursor is an icon with a hot spot).
  int16_t Type() const { return kind_ == Kind::Bitmap ? vbPicTypeBitmap : vbPicTypeIcon; }
  Kind kind() const { return kind_; }
  bool isCursor() const { return kind_ == Kind::Cursor; }
  // Size in HIMETRIC (hundredths of a millimetre) at 96 dots per inch, and in pixels.
  int32_t Width() const;
  int32_t Height() const;
  int widthPixels() const { return widthPixels_; }
  int heightPixels() const { return heightPixels_; }

  const std::vector<uint8_t>& sourceBytes() const { return source_; }

 private:
  Kind kind_;
  HANDLE handle_;
  int widthPixels_ = 0;
  int heightPixels_ = 0;
  std::vector<uint8_t> source_;
};

using PictureRef = std::shared_ptr<StdPicture>;

// HIMETRIC for a pixel count at 96 dots per inch, rounded to the nearest unit.
int32_t PixelsToHimetric(int pixels);
int HimetricToPixels(int32_t himetric);

// Loads a BMP, JPEG, ICO or CUR file, recognised by its content. An empty name gives no picture
// (a null reference). A missing file raises RuntimeError 53, anything unreadable 481.
PictureRef LoadPicture(const std::string& path);
// The same from the bytes of such a file (a window description keeps pictures this way), decoded
// in memory: no file is made on the way.
PictureRef LoadPictureFromBytes(const std::vector<uint8_t>& bytes);
// The image of an icon or cursor file's bytes that best fits cx x cy, made that size (0 x 0: the
// system's icon or cursor size); null when the bytes hold no such image.
HICON DecodeIconImage(const std::vector<uint8_t>& bytes, int cx, int cy);
