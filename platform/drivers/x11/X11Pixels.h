// Pixels between 32 bpp B,G,R,X buffers and the X server: sending an area of a buffer to a
// window (MIT-SHM when the server offers it, else plain XPutImage) and reading the root window.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

namespace x11 {

// A 32 bpp top-down B,G,R,X buffer described by its first row and its row pitch in bytes.
struct PixelBuffer {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// How a visual packs a pixel: masks and the image layout the server uses for its depth.
struct PixelFormat {
  unsigned long redMask = 0, greenMask = 0, blueMask = 0;
  int bitsPerPixel = 0;
  int byteOrder = LSBFirst;
  // True when X pixels are the bytes B, G, R, X of our buffers, so rows copy as they are.
  bool native = false;

  static PixelFormat of(Display* display, Visual* visual, int depth);
  // The X pixel value of a 0x00RRGGBB value and back.
  unsigned long pack(uint32_t rgb) const;
  uint32_t unpack(unsigned long pixel) const;
};

// Copies an area of an X image (ZPixmap of this format) into a buffer at the same coordinates
// shifted by (dx, dy); both areas are inside their images.
void copyFromImage(const PixelFormat& format, XImage& image, int sx, int sy, int width, int height,
                   PixelBuffer& to, int dx, int dy);
// The reverse: an area of a buffer into an X image.
void copyToImage(const PixelFormat& format, const PixelBuffer& from, int sx, int sy, int width,
                 int height, XImage& image, int dx, int dy);

// Sends areas of buffers to one drawable. Keeps one shared-memory image that grows to the largest
// area sent; the image is written again only after the server has finished reading it.
class Presenter {
 public:
  Presenter(Display* display, Visual* visual, int depth, bool useShm);
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Shows the width x height area of from at (sx, sy) in the drawable at (dx, dy).
  void put(Drawable drawable, GC gc, const PixelBuffer& from, int sx, int sy, int width, int height,
           int dx, int dy);
  bool usesShm() const { return shmImage_ != nullptr || useShm_; }

 private:
  bool ensureShmImage(int width, int height);
  void releaseShmImage();

  Display* display_;
  Visual* visual_;
  int depth_;
  PixelFormat format_;
  bool useShm_;
  XImage* shmImage_ = nullptr;
  XShmSegmentInfo shmInfo_{};
  bool shmBusy_ = false;
  std::vector<char> scratch_;
};

// Whether the server offers MIT-SHM to this (local) client.
bool shmAvailable(Display* display);

// Reads the root window into target (the screen's size). Areas the server cannot give stay black.
void readRoot(Display* display, ::Window root, Visual* visual, int depth, PixelBuffer& target);

}  // namespace x11
