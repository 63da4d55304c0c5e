#include "framework/StdPicture.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include "framework/FileBytes.h"
#include "framework/RuntimeError.h"

#include <cmath>
#include <new>

namespace {

enum class FileKind { Unknown, Bitmap, Jpeg, Icon, Cursor };

FileKind sniff(const std::vector<uint8_t>& b) {
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return FileKind::Bitmap;
  if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return FileKind::Jpeg;
  if (b.size() >= 6 && b[0] == 0 && b[1] == 0 && b[3] == 0 && (b[4] | b[5]) != 0) {
    if (b[2] == 1) return FileKind::Icon;
    if (b[2] == 2) return FileKind::Cursor;
  }
  return FileKind::Unknown;
}

// Pictures larger than the largest bitmap the platform hands out cannot be shown anyway.
constexpr size_t kMaxPictureFileBytes = size_t{512} << 20;

// GDI+ wants its start-up call once per process before the first bitmap.
void startGdiplus() {
  static bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

// A bitmap or JPEG file's picture, read by GDI+ from a stream over the bytes; the stream lives
// as long as the GDI+ bitmap, which may read it lazily.
HBITMAP decodeBitmap(const std::vector<uint8_t>& bytes) {
  startGdiplus();
  if (bytes.size() > 0xFFFFFFFFu) return nullptr;
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  HBITMAP result = nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok && bitmap) {
    if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &result, 0) != Gdiplus::Ok) result = nullptr;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  stream->Release();
  return result;
}

uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); }
uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// The directory of an icon or cursor file told as a resource's directory is (14 bytes an entry
// instead of 16, the image's place replaced by its identifier, image n having n + 1), so that the
// system chooses among the file's images as it does among a resource's.
std::vector<BYTE> resourceDirectory(const std::vector<uint8_t>& b, size_t count, bool cursor) {
  std::vector<BYTE> directory(b.begin(), b.begin() + 6);
  for (size_t k = 0; k < count; ++k) {
    const size_t entry = 6 + 16 * k;
    if (cursor) {
      // Width and doubled height as words; a cursor file's planes and depth hold the hot spot.
      const uint32_t width = b[entry] ? b[entry] : 256, height = 2 * (b[entry + 1] ? b[entry + 1] : 256u);
      for (uint32_t word : {width, height, 1u, 0u}) {
        directory.push_back(static_cast<BYTE>(word));
        directory.push_back(static_cast<BYTE>(word >> 8));
      }
    } else {
      directory.insert(directory.end(), b.begin() + static_cast<std::ptrdiff_t>(entry), b.begin() + static_cast<std::ptrdiff_t>(entry + 8));
    }
    directory.insert(directory.end(), b.begin() + static_cast<std::ptrdiff_t>(entry + 8), b.begin() + static_cast<std::ptrdiff_t>(entry + 12));
    directory.push_back(static_cast<BYTE>(k + 1));
    directory.push_back(static_cast<BYTE>((k + 1) >> 8));
  }
  return directory;
}

// The picture that owns handle; the handle is given back when no picture can be made of it.
PictureRef pictureOwning(StdPicture::Kind kind, HANDLE handle, std::vector<uint8_t>& bytes) {
  try {
    return std::make_shared<StdPicture>(kind, handle, std::move(bytes));
  } catch (const std::bad_alloc&) {
    if (kind == StdPicture::Kind::Bitmap) DeleteObject(handle);
    else DestroyIcon(static_cast<HICON>(handle));
    throw;
  }
}

PictureRef decoded(std::vector<uint8_t>& bytes) {
  const FileKind kind = sniff(bytes);
  switch (kind) {
    case FileKind::Bitmap:
    case FileKind::Jpeg:
      if (HBITMAP bitmap = decodeBitmap(bytes)) return pictureOwning(StdPicture::Kind::Bitmap, bitmap, bytes);
      break;
    case FileKind::Icon:
    case FileKind::Cursor:
      if (HICON icon = DecodeIconImage(bytes, 0, 0))
        return pictureOwning(kind == FileKind::Cursor ? StdPicture::Kind::Cursor : StdPicture::Kind::Icon, icon, bytes);
      break;
    case FileKind::Unknown:
      break;
  }
  return nullptr;
}

// What load() makes of a picture's bytes, with a picture that memory cannot be had for told apart
// from one that cannot be decoded: the decoders say so by the last-error, or an allocation of this
// code itself fails.
template <typename Load>
PictureRef decodePicture(Load load) {
  SetLastError(ERROR_SUCCESS);
  try {
    if (PictureRef picture = load()) return picture;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_OUTOFMEMORY);
  }
  if (GetLastError() == ERROR_OUTOFMEMORY) throw RuntimeError(ErrOutOfMemory, "Out of memory");
  throw RuntimeError(ErrInvalidPicture, "Invalid picture");
}

}  // namespace

HICON DecodeIconImage(const std::vector<uint8_t>& b, int cx, int cy) {
  const FileKind kind = sniff(b);
  if (kind != FileKind::Icon && kind != FileKind::Cursor) return nullptr;
  const bool cursor = kind == FileKind::Cursor;
  const size_t count = u16(b, 4);
  if (6 + 16 * count > b.size()) return nullptr;
  std::vector<BYTE> directory = resourceDirectory(b, count, cursor);
  const int id = LookupIconIdFromDirectoryEx(directory.data(), !cursor, cx, cy, LR_DEFAULTCOLOR);
  if (id < 1 || static_cast<size_t>(id) > count) return nullptr;
  const size_t entry = 6 + 16 * static_cast<size_t>(id - 1);
  const size_t size = u32(b, entry + 8), offset = u32(b, entry + 12);
  if (offset > b.size() || size > b.size() - offset) return nullptr;
  // A cursor's image starts with its hot spot, which the file keeps in the directory.
  std::vector<BYTE> image;
  if (cursor) image.assign(b.begin() + static_cast<std::ptrdiff_t>(entry + 4), b.begin() + static_cast<std::ptrdiff_t>(entry + 8));
  image.insert(image.end(), b.begin() + static_cast<std::ptrdiff_t>(offset), b.begin() + static_cast<std::ptrdiff_t>(offset + size));
  if (image.size() > 0xFFFFFFFFu) return nullptr;
  return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), !cursor, 0x00030000, cx, cy,
                                  LR_DEFAULTSIZE);
}

StdPicture::StdPicture(Kind kind, HANDLE handle, std::vector<uint8_t> sourceBytes)
    : kind_(kind), handle_(handle), source_(std::move(sourceBytes)) {
  if (kind_ == Kind::Bitmap) {
    BITMAP bm{};
    if (GetObjectA(handle_, sizeof bm, &bm)) {
      widthPixels_ = bm.bmWidth;
      heightPixels_ = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    }
  } else {
    ICONINFO info{};
    if (GetIconInfo(static_cast<HICON>(handle_), &info)) {
      BITMAP bm{};
      if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
        widthPixels_ = bm.bmWidth;
        heightPixels_ = bm.bmHeight;
      } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        // A monochrome icon keeps its AND and XOR masks stacked in one bitmap.
        widthPixels_ = bm.bmWidth;
        heightPixels_ = bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
}

StdPicture::~StdPicture() {
  if (!handle_) return;
  switch (kind_) {
    case Kind::Bitmap: DeleteObject(handle_); break;
    case Kind::Icon: DestroyIcon(static_cast<HICON>(handle_)); break;
    case Kind::Cursor: DestroyCursor(static_cast<HCURSOR>(handle_)); break;
  }
}

int32_t StdPicture::Width() const { return PixelsToHimetric(widthPixels_); }
int32_t StdPicture::Height() const { return PixelsToHimetric(heightPixels_); }

int32_t PixelsToHimetric(int pixels) {
  return static_cast<int32_t>(std::nearbyint(pixels * 2540.0 / 96.0));
}

int HimetricToPixels(int32_t himetric) {
  return static_cast<int>(std::nearbyint(himetric * 96.0 / 2540.0));
}

PictureRef LoadPicture(const std::string& path) {
  if (path.empty()) return nullptr;
  std::vector<uint8_t> bytes;
  switch (ReadFileBytes(path, kMaxPictureFileBytes, bytes)) {
    case FileBytesResult::Ok: break;
    case FileBytesResult::TooLarge: throw RuntimeError(ErrInvalidPicture, "Invalid picture");
    default: throw RuntimeError(ErrFileNotFound, "File not found: " + path);
  }
  return decodePicture([&] { return decoded(bytes); });
}

PictureRef LoadPictureFromBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > kMaxPictureFileBytes) throw RuntimeError(ErrInvalidPicture, "Invalid picture");
  return decodePicture([&] {
    std::vector<uint8_t> copy(bytes);
    return decoded(copy);
  });
}
