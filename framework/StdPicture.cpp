#include "framework/StdPicture.h"

#include <gdiplus.h>

#include "framework/FileBytes.h"
#include "framework/RuntimeError.h"

#include <atomic>
#include <cmath>

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

HBITMAP loadBitmapFile(const std::string& path) {
  startGdiplus();
  std::wstring wide(path.begin(), path.end());
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), &bitmap) != Gdiplus::Ok ||
      !bitmap)
    return nullptr;
  HBITMAP result = nullptr;
  if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &result, 0) != Gdiplus::Ok)
    result = nullptr;
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  return result;
}

PictureRef loadKnown(const std::string& path, std::vector<uint8_t> bytes) {
  switch (sniff(bytes)) {
    case FileKind::Bitmap:
    case FileKind::Jpeg: {
      HBITMAP bitmap = loadBitmapFile(path);
      if (!bitmap) break;
      return std::make_shared<StdPicture>(StdPicture::Kind::Bitmap, bitmap, std::move(bytes));
    }
    case FileKind::Icon:
    case FileKind::Cursor: {
      bool cursor = sniff(bytes) == FileKind::Cursor;
      HANDLE icon = LoadImageA(nullptr, path.c_str(), cursor ? IMAGE_CURSOR : IMAGE_ICON, 0, 0,
                               LR_LOADFROMFILE | LR_DEFAULTSIZE);
      if (!icon) break;
      return std::make_shared<StdPicture>(cursor ? StdPicture::Kind::Cursor : StdPicture::Kind::Icon,
                                          icon, std::move(bytes));
    }
    case FileKind::Unknown:
      break;
  }
  throw RuntimeError(ErrInvalidPicture, "Invalid picture");
}

}  // namespace

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
  return loadKnown(path, std::move(bytes));
}

PictureRef LoadPictureFromBytes(const std::vector<uint8_t>& bytes) {
  if (sniff(bytes) == FileKind::Unknown) throw RuntimeError(ErrInvalidPicture, "Invalid picture");
  // The loaders read files, so the bytes pass through a private temporary one. It is closed before
  // the loaders open it, since Windows refuses a second open of a file that another handle holds
  // for writing or deletes on close unless that open shares writing and deleting, which the
  // loaders do not; it is deleted once the picture is made.
  static std::atomic<unsigned> counter{0};
  char folder[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder || bytes.size() > 0xFFFFFFFFu) throw RuntimeError(ErrInvalidPicture, "Invalid picture");
  const std::string file = std::string(folder) + "corvane-picture-" + std::to_string(GetTickCount64()) + "-" +
                           std::to_string(reinterpret_cast<uintptr_t>(&bytes)) + "-" + std::to_string(counter++) + ".tmp";
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw RuntimeError(ErrInvalidPicture, "Invalid picture");
  // The file is this call's from here on, and goes however the loading ends.
  struct Removal {
    const std::string& path;
    ~Removal() { DeleteFileA(path.c_str()); }
  } removal{file};
  DWORD written = 0;
  const bool complete = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
  CloseHandle(handle);
  if (!complete) throw RuntimeError(ErrInvalidPicture, "Invalid picture");
  return loadKnown(file, bytes);
}
