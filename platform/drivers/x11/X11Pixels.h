// Pixels between 32 bpp B,G,R,X buffers and the X server: sending an area of a buffer to a
// window (MIT-SHM when the server offers it, else plain XPutImage) and reading the root window.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "drivers/x11/X11Scale.h"

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
  // Indexed visuals (PseudoColor, StaticColor, GrayScale, StaticGray) only; empty otherwise.
  // nearest: the pixel value closest to each colour cut to 5 bits a channel (index
  // r << 10 | g << 5 | b); colours: the colour each pixel value of the colormap shows.
  std::vector<unsigned long> nearest;
  std::vector<uint32_t> colours;

  // The format of a true-colour visual, or an indexed one without colours yet.
  static PixelFormat of(Display* display, Visual* visual, int depth);
  // The format of any visual the driver can draw on, with the colours of an indexed visual
  // allocated in colormap. False (and the format empty) for a visual it cannot use (DirectColor,
  // or an indexed visual whose colormap gives too few colours).
  static bool forVisual(Display* display, Visual* visual, int depth, Colormap colormap,
                        PixelFormat& format);
  bool indexed() const { return !nearest.empty(); }
  // The X pixel value of a 0x00RRGGBB value and back.
  unsigned long pack(uint32_t rgb) const;
  uint32_t unpack(unsigned long pixel) const;
};

// Copies an area of an X image (ZPixmap of this format) into a buffer at the same coordinates
// shifted by (dx, dy); both areas are inside their images. With a factor above 1 the buffer gets
// every factor-th pixel of every factor-th row: width x height is the buffer's area.
void copyFromImage(const PixelFormat& format, XImage& image, int sx, int sy, int width, int height,
                   PixelBuffer& to, int dx, int dy, int factor = 1);
// The reverse: an area of a buffer into an X image, each pixel enlarged to factor x factor.
void copyToImage(const PixelFormat& format, const PixelBuffer& from, int sx, int sy, int width,
                 int height, XImage& image, int dx, int dy, int factor = 1);

// Sends areas of buffers to one drawable. Keeps one shared-memory image that grows to the largest
// area sent; the image is written again only after the server has finished reading it.
class Presenter {
 public:
  Presenter(Display* display, Visual* visual, int depth, PixelFormat format, bool useShm);
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Shows the width x height area of from at (sx, sy) in the drawable at (dx, dy), both in the
  // program's pixels, enlarged by the scale on the way.
  void put(Drawable drawable, GC gc, const PixelBuffer& from, int sx, int sy, int width, int height,
           int dx, int dy, const Scale& scale = Scale{});
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

// Fills target (the screen's size divided by factor) from a picture of the screen (an image in
// format), one screen pixel of each factor x factor block, the top left one. What the picture
// does not reach, or all of target when there is no picture, is black.
void sampleScreen(const PixelFormat& format, XImage* screen, PixelBuffer& target, int factor);
// The top-left width x height of the root window as the server gives it, or nullptr; the caller
// destroys it.
XImage* rootImage(Display* display, ::Window root, int width, int height);
// Reads the root window (whose pixels are in format) into target as sampleScreen does.
void readRoot(Display* display, ::Window root, const PixelFormat& format, PixelBuffer& target,
              int factor = 1);

// The colours an indexed visual is given to draw with: the twenty colours of the Windows palette
// (the system colours of the classic scheme among them) and a cube of six levels a channel.
std::vector<uint32_t> indexedPalette();
// The nearest table of a set of (pixel value, colour) pairs, by squared distance.
std::vector<unsigned long> nearestTable(const std::vector<std::pair<unsigned long, uint32_t>>& allocated);

}  // namespace x11
