// Shared by the picture-file fuzzers: a scratch file per process for LoadImageA, and the checks
// that run on whatever a load produced before it is freed again.
#pragma once

#include <unistd.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "gdi/ImageFile.h"

namespace imagefuzz {

// Decoding budget for the fuzzers: large pictures only cost time, not coverage.
constexpr size_t kBudget = size_t{256} << 10;

// The scratch file goes away when the fuzzer ends.
struct ScratchFile {
  explicit ScratchFile(std::string p) : path(std::move(p)) {}
  ~ScratchFile() { unlink(path.c_str()); }
  std::string path;
};

// In memory when the system offers a memory file system, since every input is written once.
inline const std::string& scratchPath(const char* extension) {
  static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  static const ScratchFile file(folder + "/corvane-fuzz-" + std::to_string(getpid()) + extension);
  return file.path;
}

inline bool writeScratch(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(data, 1, size, f) == size || size == 0;
  return std::fclose(f) == 0 && ok;
}

// Draws the icon into a small bitmap, asks for its bitmaps, and frees everything it made.
inline void exerciseIcon(HICON icon) {
  if (icon == nullptr) return;
  ICONINFO info{};
  if (GetIconInfo(icon, &info)) {
    BITMAP bm{};
    if (info.hbmColor) {
      GetObjectA(info.hbmColor, sizeof bm, &bm);
      DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
  }
  HBITMAP canvas = CreateBitmap(16, 16, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  DrawIconEx(dc, -3, 2, icon, 0, 0, 0, nullptr, DI_NORMAL);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  HICON copy = CopyIcon(icon);
  DestroyIcon(copy);
  DestroyIcon(icon);
}

// Loads an icon or cursor file through LoadImageA when every image in it fits the budget.
inline void fuzzIconFile(const uint8_t* data, size_t size, UINT type, const char* extension) {
  std::vector<gdi::imagefile::IconEntry> entries;
  bool isCursor = false;
  DWORD error = 0;
  if (gdi::imagefile::readIconDirectory(data, size, entries, isCursor, error)) {
    for (const auto& entry : entries) {
      gdi::imagefile::IconImage image;
      if (!gdi::imagefile::decodeIconEntry(data, size, entry, isCursor, image, error, kBudget) &&
          error == ERROR_NOT_ENOUGH_MEMORY)
        return;
    }
  }
  const std::string& path = scratchPath(extension);
  if (!writeScratch(path, data, size)) return;
  exerciseIcon(static_cast<HICON>(LoadImageA(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE)));
  exerciseIcon(static_cast<HICON>(LoadImageA(nullptr, path.c_str(), type, 16, 16, LR_LOADFROMFILE | LR_MONOCHROME)));
  exerciseIcon(static_cast<HICON>(LoadImageA(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
}

}  // namespace imagefuzz
