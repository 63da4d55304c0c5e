// The picture-loading part of GDI+. Where Windows leaves it open: a missing file is FileNotFound,
// an unreadable one AccessDenied or Win32Error; a stream is read whole from its position at the
// call, so the caller may release it once the bitmap is made (an empty rest is
// UnknownImageFormat, a stream that fails to read Win32Error); data that is no BMP, JPEG or PNG is
// UnknownImageFormat; a damaged or oversized picture of a known kind is OutOfMemory, the code GDI+
// gives for both, and so is memory running out, which alone also sets the last-error
// ERROR_OUTOFMEMORY; the flat calls answer GdiplusNotInitialized while no GdiplusStartup is in force;
// GdipCreateHBITMAPFromBitmap makes a bottom-up 32-bit DIB section whose pixels are the picture
// laid over the background colour, (source * a + background * (255 - a) + 127) / 255 per channel.
#include <gdiplus.h>

#include <memory>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "gdi/Bitmap.h"
#include "gdi/ImageFile.h"
#include "kernel/OutOfMemory.h"

namespace Gdiplus {
namespace {

struct DecodedBitmap : GpBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB top-down
};

struct State {
  int starts = 0;
  ULONG_PTR nextToken = 1;
  std::unordered_set<ULONG_PTR> tokens;
  std::unordered_set<const GpImage*> images;
};

State& state() {
  static State* instance = new State;
  return *instance;
}

Status WINAPI hookNothing(ULONG_PTR* token) {
  if (token) *token = 0;
  return Ok;
}
void WINAPI unhookNothing(ULONG_PTR) {}

DecodedBitmap* decodedFrom(GpImage* image) {
  if (image == nullptr || state().images.count(image) == 0) return nullptr;
  return static_cast<DecodedBitmap*>(image);
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-8 form of a path given as code points.
std::string utf8Path(const wchar_t* path) {
  std::string out;
  for (const wchar_t* p = path; *p; ++p) appendUtf8(out, static_cast<uint32_t>(*p));
  return out;
}

// The UTF-8 form of a UTF-16 path; a lone surrogate becomes U+FFFD.
std::string utf8Path(const char16_t* path) {
  std::string out;
  for (const char16_t* p = path; *p; ++p) {
    uint32_t c = *p;
    if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  return out;
}

Status statusFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileNotFound;
    case ERROR_ACCESS_DENIED: return AccessDenied;
    case ERROR_NOT_ENOUGH_MEMORY: return OutOfMemory;
    default: return Win32Error;
  }
}

}  // namespace

Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                             GdiplusStartupOutput* output) {
  if (token == nullptr || input == nullptr) return InvalidParameter;
  if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3) return UnsupportedGdiplusVersion;
  // Without a background thread the caller must be given the hooks to drive it.
  if (input->SuppressBackgroundThread && output == nullptr) return InvalidParameter;
  if (output != nullptr) {
    output->NotificationHook = hookNothing;
    output->NotificationUnhook = unhookNothing;
  }
  State& s = state();
  *token = s.nextToken++;
  s.tokens.insert(*token);
  ++s.starts;
  return Ok;
}

void WINAPI GdiplusShutdown(ULONG_PTR token) {
  State& s = state();
  if (s.tokens.erase(token) == 1) --s.starts;
}

namespace DllExports {

namespace {

GpStatus decodeBitmap(const std::vector<uint8_t>& bytes, GpBitmap** bitmap) {
  auto decoded = std::make_unique<DecodedBitmap>();
  const uint8_t* data = bytes.data();
  size_t size = bytes.size();
  DWORD error = 0;
  bool ok;
  if (gdi::imagefile::isJpeg(data, size)) {
    ok = gdi::imagefile::decodeJpeg(data, size, decoded->width, decoded->height, decoded->argb, error);
  } else if (gdi::imagefile::isPng(data, size)) {
    ok = gdi::imagefile::decodePng(data, size, decoded->width, decoded->height, decoded->argb, error);
  } else if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    gdi::imagefile::Dib dib;
    ok = gdi::imagefile::decodeBmpFile(data, size, dib, error);
    if (ok) {
      decoded->width = dib.width;
      decoded->height = dib.height;
      decoded->argb.resize(static_cast<size_t>(dib.width) * static_cast<size_t>(dib.height));
      // A 32-bit BMP without masks has no alpha for GDI+: its fourth byte is padding.
      for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x)
          decoded->argb[static_cast<size_t>(y) * dib.width + x] = dib.argb(x, y) | 0xFF000000u;
    }
  } else {
    return UnknownImageFormat;
  }
  if (!ok) {
    if (error == ERROR_OUTOFMEMORY) SetLastError(error);
    return OutOfMemory;
  }
  state().images.insert(decoded.get());
  *bitmap = decoded.release();
  return Ok;
}

GpStatus createBitmapFromBytes(const std::vector<uint8_t>& bytes, GpBitmap** bitmap) {
  return kernel::failingOnOutOfMemory<GpStatus>(OutOfMemory, [&] { return decodeBitmap(bytes, bitmap); });
}

GpStatus createBitmapFromPath(const std::string& path, GpBitmap** bitmap) {
  *bitmap = nullptr;
  if (state().starts == 0) return GdiplusNotInitialized;
  std::vector<uint8_t> bytes;
  DWORD error = 0;
  if (!gdi::imagefile::readWholeFile(path.c_str(), bytes, error)) return statusFromError(error);
  return createBitmapFromBytes(bytes, bitmap);
}

// The stream's bytes from its current position to its end; a stream larger than a picture can be
// is refused before it is read, as a file is.
GpStatus readStream(IStream* stream, std::vector<uint8_t>& bytes) {
  STATSTG stat{};
  ULARGE_INTEGER position{};
  LARGE_INTEGER none{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(none, STREAM_SEEK_CUR, &position)))
    return Win32Error;
  if (position.QuadPart >= stat.cbSize.QuadPart) return UnknownImageFormat;
  const ULONGLONG left = stat.cbSize.QuadPart - position.QuadPart;
  if (left > gdi::imagefile::kMaxPictureBytes) return OutOfMemory;
  try {
    bytes.resize(static_cast<size_t>(left));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_OUTOFMEMORY);
    return OutOfMemory;
  }
  ULONG got = 0;
  if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(left), &got))) return Win32Error;
  bytes.resize(got);
  return Ok;
}

}  // namespace

GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST wchar_t* filename, GpBitmap** bitmap) {
  if (filename == nullptr || bitmap == nullptr) return InvalidParameter;
  return createBitmapFromPath(utf8Path(filename), bitmap);
}

GpStatus WINGDIPAPI GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) {
  if (stream == nullptr || bitmap == nullptr) return InvalidParameter;
  *bitmap = nullptr;
  if (state().starts == 0) return GdiplusNotInitialized;
  std::vector<uint8_t> bytes;
  GpStatus status = readStream(stream, bytes);
  return status == Ok ? createBitmapFromBytes(bytes, bitmap) : status;
}

GpStatus GdipCreateBitmapFromFile(GDIPCONST char16_t* filename, GpBitmap** bitmap) {
  if (filename == nullptr || bitmap == nullptr) return InvalidParameter;
  return createBitmapFromPath(utf8Path(filename), bitmap);
}

GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width) {
  DecodedBitmap* bitmap = decodedFrom(image);
  if (bitmap == nullptr || width == nullptr) return InvalidParameter;
  *width = static_cast<UINT>(bitmap->width);
  return Ok;
}

GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height) {
  DecodedBitmap* bitmap = decodedFrom(image);
  if (bitmap == nullptr || height == nullptr) return InvalidParameter;
  *height = static_cast<UINT>(bitmap->height);
  return Ok;
}

namespace {

GpStatus bitmapOver(const DecodedBitmap* bitmap, HBITMAP* hbmReturn, ARGB background) {
  auto target = gdi::BitmapObject::create(bitmap->width, bitmap->height, 32, false);
  if (!target) return OutOfMemory;
  target->isDibSection = true;
  uint32_t backA = background >> 24;
  for (int y = 0; y < bitmap->height; ++y) {
    BYTE* row = target->row(y);
    for (int x = 0; x < bitmap->width; ++x) {
      uint32_t v = bitmap->argb[static_cast<size_t>(y) * bitmap->width + x];
      uint32_t a = v >> 24;
      auto mix = [a](uint32_t s, uint32_t b) { return (s * a + b * (255 - a) + 127) / 255; };
      row[4 * x] = static_cast<BYTE>(mix(v & 0xFF, background & 0xFF));
      row[4 * x + 1] = static_cast<BYTE>(mix((v >> 8) & 0xFF, (background >> 8) & 0xFF));
      row[4 * x + 2] = static_cast<BYTE>(mix((v >> 16) & 0xFF, (background >> 16) & 0xFF));
      row[4 * x + 3] = static_cast<BYTE>(mix(255, backA));
    }
  }
  HBITMAP handle = static_cast<HBITMAP>(gdi::addObject(std::move(target)));
  if (handle == nullptr) return OutOfMemory;
  *hbmReturn = handle;
  return Ok;
}

}  // namespace

GpStatus WINGDIPAPI GdipCreateHBITMAPFromBitmap(GpBitmap* image, HBITMAP* hbmReturn,
                                                ARGB background) {
  DecodedBitmap* bitmap = decodedFrom(image);
  if (bitmap == nullptr || hbmReturn == nullptr) return InvalidParameter;
  *hbmReturn = nullptr;
  return kernel::failingOnOutOfMemory<GpStatus>(OutOfMemory, [&] { return bitmapOver(bitmap, hbmReturn, background); });
}

GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image) {
  DecodedBitmap* bitmap = decodedFrom(image);
  if (bitmap == nullptr) return InvalidParameter;
  state().images.erase(image);
  delete bitmap;
  return Ok;
}

}  // namespace DllExports
}  // namespace Gdiplus
