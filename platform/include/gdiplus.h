// The part of GDI+ that loads a picture (BMP, JPEG, PNG; a file or a stream) into a 32-bit DIB section, with the
// names, namespaces and signatures a Windows program uses: Gdiplus::GdiplusStartup and the flat
// calls in Gdiplus::DllExports. File names are wchar_t strings as on Windows (32 bits wide here, so
// L"..." paths work); a second form takes the 16-bit WCHAR strings of the kernel calls.
#pragma once

#include <windows.h>

#include "objidl.h"

typedef unsigned int UINT32;

#define GDIPCONST const
#define WINGDIPAPI

namespace Gdiplus {

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};
typedef Status GpStatus;

typedef DWORD ARGB;

enum DebugEventLevel { DebugEventLevelFatal, DebugEventLevelWarning };
typedef void(WINAPI* DebugEventProc)(DebugEventLevel level, CHAR* message);
typedef Status(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef void(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;

  GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr,
                      BOOL suppressBackgroundThread = FALSE, BOOL suppressExternalCodecs = FALSE)
      : GdiplusVersion(1),
        DebugEventCallback(debugEventCallback),
        SuppressBackgroundThread(suppressBackgroundThread),
        SuppressExternalCodecs(suppressExternalCodecs) {}
};

struct GdiplusStartupOutput {
  NotificationHookProc NotificationHook;
  NotificationUnhookProc NotificationUnhook;
};

// Opaque objects of the flat API.
class GpImage {
 public:
  virtual ~GpImage() = default;
};
class GpBitmap : public GpImage {};

extern "C" {
Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                             GdiplusStartupOutput* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
}

namespace DllExports {
extern "C" {
GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST wchar_t* filename, GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus WINGDIPAPI GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn,
                                                ARGB background);
GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image);
}
// The same with a UTF-16 file name.
GpStatus GdipCreateBitmapFromFile(GDIPCONST char16_t* filename, GpBitmap** bitmap);
}  // namespace DllExports

}  // namespace Gdiplus
