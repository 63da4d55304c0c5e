// Pixel transfer to and from the X server. A visual whose pixels are not B,G,R,X words takes the
// slow per-pixel path; the shared-memory image is used only after the server accepted it, and any
// failure to make one falls back to XPutImage for the rest of the run. An indexed visual draws
// each colour as the nearest of the colours allocated for the program, without dithering, as
// Windows shows a colour that is not in a 256-colour palette; at least eight colours must be had
// from the colormap, or the visual counts as unusable.
#include "drivers/x11/X11Pixels.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <windows.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "drivers/x11/X11Connection.h"
#include "drivers/x11/X11Scale.h"

namespace x11 {

namespace {

int lowestBit(unsigned long mask) { return mask == 0 ? 0 : std::countr_zero(mask); }
int bitCount(unsigned long mask) { return std::popcount(mask); }

unsigned long packChannel(uint32_t value8, unsigned long mask) {
  const int bits = bitCount(mask);
  if (bits == 0) return 0;
  const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value8) << (bits - 8)
                                         : static_cast<unsigned long>(value8) >> (8 - bits);
  return (scaled << lowestBit(mask)) & mask;
}

uint32_t unpackChannel(unsigned long pixel, unsigned long mask) {
  const int bits = bitCount(mask);
  if (bits == 0) return 0;
  const unsigned long value = (pixel & mask) >> lowestBit(mask);
  if (bits >= 8) return static_cast<uint32_t>(value >> (bits - 8));
  // Scale so that the largest value of a narrow channel becomes 255.
  const unsigned long largest = (1UL << bits) - 1;
  return static_cast<uint32_t>((value * 255 + largest / 2) / largest);
}

}  // namespace

PixelFormat PixelFormat::of(Display* display, Visual* visual, int depth) {
  PixelFormat f;
  f.redMask = visual->red_mask;
  f.greenMask = visual->green_mask;
  f.blueMask = visual->blue_mask;
  f.byteOrder = ImageByteOrder(display);
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == depth) f.bitsPerPixel = formats[i].bits_per_pixel;
  }
  if (formats != nullptr) XFree(formats);
  const bool littleHost = std::endian::native == std::endian::little;
  f.native = f.bitsPerPixel == 32 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 &&
             f.blueMask == 0xFF && (f.byteOrder == LSBFirst) == littleHost;
  return f;
}

unsigned long PixelFormat::pack(uint32_t rgb) const {
  if (indexed()) return nearest[((rgb >> 9) & 0x7C00) | ((rgb >> 6) & 0x3E0) | ((rgb >> 3) & 0x1F)];
  return packChannel((rgb >> 16) & 0xFF, redMask) | packChannel((rgb >> 8) & 0xFF, greenMask) |
         packChannel(rgb & 0xFF, blueMask);
}

uint32_t PixelFormat::unpack(unsigned long pixel) const {
  if (indexed()) return pixel < colours.size() ? colours[pixel] : 0;
  return (unpackChannel(pixel, redMask) << 16) | (unpackChannel(pixel, greenMask) << 8) |
         unpackChannel(pixel, blueMask);
}

bool PixelFormat::forVisual(Display* display, Visual* visual, int depth, Colormap colormap,
                           PixelFormat& format) {
  format = PixelFormat::of(display, visual, depth);
  switch (visual->c_class) {
    case TrueColor:
      return format.bitsPerPixel > 0;
    case PseudoColor:
    case StaticColor:
    case GrayScale:
    case StaticGray:
      break;
    default:
      format = PixelFormat{};
      return false;
  }
  std::vector<std::pair<unsigned long, uint32_t>> allocated;
  for (uint32_t rgb : indexedPalette()) {
    XColor colour{};
    colour.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101);
    colour.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101);
    colour.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
    colour.flags = DoRed | DoGreen | DoBlue;
    // A static or full colormap answers with the nearest colour it has, which is what we want.
    if (XAllocColor(display, colormap, &colour) == 0) continue;
    allocated.emplace_back(colour.pixel, (uint32_t{colour.red} >> 8) << 16 |
                                             (uint32_t{colour.green} >> 8) << 8 | colour.blue >> 8);
  }
  std::vector<uint32_t> distinct;
  for (const auto& a : allocated)
    if (std::find(distinct.begin(), distinct.end(), a.second) == distinct.end()) distinct.push_back(a.second);
  const int entries = visual->map_entries;
  if (distinct.size() < 8 || entries <= 0 || entries > 4096) {
    format = PixelFormat{};
    return false;
  }
  format.nearest = nearestTable(allocated);
  // Every entry, so that other programs' pixels read back from the screen have their colours.
  std::vector<XColor> all(static_cast<size_t>(entries));
  for (int i = 0; i < entries; ++i) all[static_cast<size_t>(i)].pixel = static_cast<unsigned long>(i);
  XQueryColors(display, colormap, all.data(), entries);
  format.colours.resize(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    format.colours[i] = (uint32_t{all[i].red} >> 8) << 16 | (uint32_t{all[i].green} >> 8) << 8 |
                        all[i].blue >> 8;
  }
  return true;
}

std::vector<uint32_t> indexedPalette() {
  std::vector<uint32_t> palette = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0,
      0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
      0x00FFFF, 0xFFFFFF};
  for (int i = 0; i <= COLOR_MENUBAR; ++i) {
    const COLORREF c = GetSysColor(i);
    palette.push_back(static_cast<uint32_t>(GetRValue(c)) << 16 |
                      static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c));
  }
  for (uint32_t r = 0; r < 6; ++r)
    for (uint32_t g = 0; g < 6; ++g)
      for (uint32_t b = 0; b < 6; ++b) palette.push_back((r * 51) << 16 | (g * 51) << 8 | b * 51);
  std::vector<uint32_t> distinct;
  for (uint32_t c : palette)
    if (std::find(distinct.begin(), distinct.end(), c) == distinct.end()) distinct.push_back(c);
  return distinct;
}

std::vector<unsigned long> nearestTable(
    const std::vector<std::pair<unsigned long, uint32_t>>& allocated) {
  std::vector<unsigned long> table(32768, 0);
  if (allocated.empty()) return table;
  for (uint32_t index = 0; index < table.size(); ++index) {
    // Each 5-bit level spread over 0 to 255, so that black and white stay exact.
    const auto level = [](uint32_t five) { return static_cast<int>(five * 255 / 31); };
    const int r = level(index >> 10), g = level((index >> 5) & 31), b = level(index & 31);
    long best = -1;
    for (const auto& [pixel, rgb] : allocated) {
      const int dr = r - static_cast<int>((rgb >> 16) & 0xFF);
      const int dg = g - static_cast<int>((rgb >> 8) & 0xFF);
      const int db = b - static_cast<int>(rgb & 0xFF);
      const long distance = long{dr} * dr + long{dg} * dg + long{db} * db;
      if (best < 0 || distance < best) {
        best = distance;
        table[index] = pixel;
      }
    }
  }
  return table;
}

void copyFromImage(const PixelFormat& format, XImage& image, int sx, int sy, int width, int height,
                   PixelBuffer& to, int dx, int dy, int factor) {
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<uint32_t*>(to.bits + static_cast<ptrdiff_t>(dy + y) * to.stride) + dx;
    const int inY = sy + y * factor;
    if (format.native && image.bits_per_pixel == 32) {
      const char* in = image.data + static_cast<ptrdiff_t>(inY) * image.bytes_per_line + sx * 4;
      if (factor == 1) {
        std::memcpy(out, in, static_cast<size_t>(width) * 4);
      } else {
        for (int x = 0; x < width; ++x) std::memcpy(&out[x], in + static_cast<ptrdiff_t>(x) * factor * 4, 4);
      }
      for (int x = 0; x < width; ++x) out[x] &= 0x00FFFFFF;
    } else {
      for (int x = 0; x < width; ++x) out[x] = format.unpack(XGetPixel(&image, sx + x * factor, inY));
    }
  }
}

void copyToImage(const PixelFormat& format, const PixelBuffer& from, int sx, int sy, int width,
                 int height, XImage& image, int dx, int dy, int factor) {
  const int outWidth = width * factor;
  for (int y = 0; y < height; ++y) {
    const auto* in =
        reinterpret_cast<const uint32_t*>(from.bits + static_cast<ptrdiff_t>(sy + y) * from.stride) + sx;
    const int outY = dy + y * factor;
    if (format.native && image.bits_per_pixel == 32) {
      char* out = image.data + static_cast<ptrdiff_t>(outY) * image.bytes_per_line + dx * 4;
      if (factor == 1) {
        std::memcpy(out, in, static_cast<size_t>(width) * 4);
        continue;
      }
      enlargeRow(in, width, factor, reinterpret_cast<uint32_t*>(out));
      // The other rows of the enlarged row are copies of its first.
      for (int k = 1; k < factor; ++k) {
        std::memcpy(out + static_cast<ptrdiff_t>(k) * image.bytes_per_line, out, static_cast<size_t>(outWidth) * 4);
      }
    } else {
      for (int x = 0; x < outWidth; ++x) {
        const unsigned long pixel = format.pack(in[x / factor] & 0xFFFFFF);
        for (int k = 0; k < factor; ++k) XPutPixel(&image, dx + x, outY + k, pixel);
      }
    }
  }
}

bool shmAvailable(Display* display) {
  // A server on another machine would accept the extension query but never see our segment;
  // only a local connection (a Unix socket, so no host before the colon) can use it.
  const char* name = DisplayString(display);
  if (name == nullptr || (name[0] != ':' && std::strncmp(name, "unix:", 5) != 0)) return false;
  return XShmQueryExtension(display) == True;
}

Presenter::Presenter(Display* display, Visual* visual, int depth, PixelFormat format, bool useShm)
    : display_(display), visual_(visual), depth_(depth), format_(std::move(format)),
      useShm_(useShm) {}

Presenter::~Presenter() { releaseShmImage(); }

void Presenter::releaseShmImage() {
  if (shmImage_ == nullptr) return;
  XShmDetach(display_, &shmInfo_);
  XSync(display_, False);
  XDestroyImage(shmImage_);
  shmdt(shmInfo_.shmaddr);
  shmImage_ = nullptr;
  shmBusy_ = false;
}

bool Presenter::ensureShmImage(int width, int height) {
  if (shmImage_ != nullptr && shmImage_->width >= width && shmImage_->height >= height) {
    if (shmBusy_) {
      // The server reads the segment while it handles the request: wait before writing it again.
      XSync(display_, False);
      shmBusy_ = false;
    }
    return true;
  }
  if (shmImage_ != nullptr) {
    width = std::max(width, shmImage_->width);
    height = std::max(height, shmImage_->height);
    releaseShmImage();
  }
  XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap,
                                  nullptr, &shmInfo_, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height));
  if (image == nullptr) return false;
  const size_t size = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height);
  shmInfo_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (shmInfo_.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  shmInfo_.shmaddr = static_cast<char*>(shmat(shmInfo_.shmid, nullptr, 0));
  if (shmInfo_.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return false;
  }
  image->data = shmInfo_.shmaddr;
  shmInfo_.readOnly = True;
  bool attached = false;
  {
    ErrorTrap trap(display_);
    attached = XShmAttach(display_, &shmInfo_) == True && !trap.failed();
  }
  // Once both sides are attached the segment may be marked for removal: it goes away with us.
  shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(shmInfo_.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    return false;
  }
  shmImage_ = image;
  return true;
}

void Presenter::put(Drawable drawable, GC gc, const PixelBuffer& from, int sx, int sy, int width,
                    int height, int programX, int programY, const Scale& scale) {
  const int factor = scale.factor;
  if (width <= 0 || height <= 0 || factor < 1) return;
  const int dx = scale.toScreen(programX), dy = scale.toScreen(programY);
  const int outWidth = width * factor, outHeight = height * factor;
  if (useShm_) {
    if (ensureShmImage(outWidth, outHeight)) {
      copyToImage(format_, from, sx, sy, width, height, *shmImage_, 0, 0, factor);
      XShmPutImage(display_, drawable, gc, shmImage_, 0, 0, dx, dy, static_cast<unsigned>(outWidth),
                   static_cast<unsigned>(outHeight), False);
      shmBusy_ = true;
      return;
    }
    useShm_ = false;
  }
  if (format_.native && factor == 1) {
    // Xlib copies the pixels into its request buffer, so the image may point at the buffer.
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                 reinterpret_cast<char*>(from.bits), static_cast<unsigned>(from.width),
                                 static_cast<unsigned>(from.height), 32, from.stride);
    if (image == nullptr) return;
    XPutImage(display_, drawable, gc, image, sx, sy, dx, dy, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    image->data = nullptr;
    XDestroyImage(image);
    return;
  }
  const int pad = format_.bitsPerPixel > 16 ? 32 : (format_.bitsPerPixel > 8 ? 16 : 8);
  XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(outWidth), static_cast<unsigned>(outHeight), pad, 0);
  if (image == nullptr) return;
  scratch_.resize(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(outHeight));
  image->data = scratch_.data();
  copyToImage(format_, from, sx, sy, width, height, *image, 0, 0, factor);
  XPutImage(display_, drawable, gc, image, 0, 0, dx, dy, static_cast<unsigned>(outWidth),
            static_cast<unsigned>(outHeight));
  image->data = nullptr;
  XDestroyImage(image);
}

void sampleScreen(const PixelFormat& format, XImage* screen, PixelBuffer& target, int factor) {
  for (int y = 0; y < target.height; ++y) {
    std::memset(target.bits + static_cast<ptrdiff_t>(y) * target.stride, 0,
                static_cast<size_t>(target.width) * 4);
  }
  if (screen == nullptr || factor < 1) return;
  // Whole blocks only: a block cut by the screen's edge has no pixel of its own in the target.
  const int width = std::min(target.width, screen->width / factor);
  const int height = std::min(target.height, screen->height / factor);
  if (width <= 0 || height <= 0) return;
  copyFromImage(format, *screen, 0, 0, width, height, target, 0, 0, factor);
}

XImage* rootImage(Display* display, ::Window root, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  ErrorTrap trap(display);
  XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (trap.failed() && image != nullptr) {
    XDestroyImage(image);
    image = nullptr;
  }
  return image;
}

void readRoot(Display* display, ::Window root, const PixelFormat& format, PixelBuffer& target,
              int factor) {
  XImage* image = nullptr;
  XWindowAttributes attributes{};
  if (factor >= 1 && XGetWindowAttributes(display, root, &attributes) != 0) {
    // Only what the target has room for.
    image = rootImage(display, root, std::min(target.width * factor, attributes.width),
                      std::min(target.height * factor, attributes.height));
  }
  sampleScreen(format, image, target, factor);
  if (image != nullptr) XDestroyImage(image);
}

}  // namespace x11
