// A memory DC with a top-down 32-bit DIB section selected: the surface the GDI benchmarks draw on
// and the text tests read back. Plain Win32: it builds for Linux and, with mingw-w64, for Windows.
#pragma once

#include <windows.h>

#include <cstdint>

// The header of a top-down 32-bit DIB of the given size: row 0 first, one DWORD a pixel.
inline BITMAPINFO topDownDib32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

struct DibSurface {
  DibSurface(int width, int height) : width(width), height(height), dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = topDownDib32(width, height);
    void* pixels = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<uint32_t*>(pixels);
    old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
  }
  ~DibSurface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  int width, height;
  HDC dc;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* bits = nullptr;
};
