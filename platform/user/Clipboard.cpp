// The clipboard: an in-process store of memory handles by format, which the driver may publish
// to other programs (CF_TEXT only). Data handed to SetClipboardData belongs to the clipboard and
// is freed when the clipboard is emptied or its format is set again; text taken from another
// program is handed out as a handle the clipboard owns likewise. Delayed rendering (a NULL
// handle) is not supported and fails with ERROR_INVALID_PARAMETER.
#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "user/WindowSystem.h"

namespace user {
namespace {

struct ClipboardState {
  bool open = false;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  std::map<UINT, HANDLE> data;
  HGLOBAL foreign = nullptr;  // text read from another program
};

ClipboardState& clip() {
  static ClipboardState* state = new ClipboardState;
  return *state;
}

void freeForeign() {
  ClipboardState& c = clip();
  if (c.foreign != nullptr) GlobalFree(c.foreign);
  c.foreign = nullptr;
}

void freeAll() {
  ClipboardState& c = clip();
  for (auto& [format, handle] : c.data) GlobalFree(handle);
  c.data.clear();
  freeForeign();
}

bool requireOpen() {
  if (!clip().open) {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
  }
  return true;
}

}  // namespace

bool clipboardTextForDriver(std::string& text) {
  ClipboardState& c = clip();
  auto it = c.data.find(CF_TEXT);
  if (it == c.data.end()) return false;
  const char* p = static_cast<const char*>(GlobalLock(it->second));
  if (p == nullptr) return false;
  SIZE_T size = GlobalSize(it->second);
  text.assign(p, strnlen(p, size));
  GlobalUnlock(it->second);
  return true;
}

void clipboardLostByDriver() {
  freeAll();
  clip().owner = nullptr;
}

}  // namespace user

using namespace user;

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
  ClipboardState& c = clip();
  if (hWndNewOwner != nullptr && checkWindow(hWndNewOwner) == nullptr) return FALSE;
  if (c.open) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  c.open = true;
  c.openWindow = hWndNewOwner;
  return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
  if (!requireOpen()) return FALSE;
  clip().open = false;
  clip().openWindow = nullptr;
  return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
  if (!requireOpen()) return FALSE;
  freeAll();
  clip().owner = clip().openWindow;
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  if (!requireOpen()) return nullptr;
  if (hMem == nullptr || uFormat == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ClipboardState& c = clip();
  auto it = c.data.find(uFormat);
  if (it != c.data.end() && it->second != hMem) GlobalFree(it->second);
  c.data[uFormat] = hMem;
  if (uFormat == CF_TEXT) {
    freeForeign();
    driver().claimClipboard();
  }
  return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
  if (!requireOpen()) return nullptr;
  ClipboardState& c = clip();
  auto it = c.data.find(uFormat);
  if (it != c.data.end()) return it->second;
  if ((uFormat == CF_TEXT || uFormat == CF_OEMTEXT) && c.data.empty()) {
    std::string text;
    if (!driver().readForeignClipboard(text)) return nullptr;
    freeForeign();
    c.foreign = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (c.foreign == nullptr) return nullptr;
    char* p = static_cast<char*>(GlobalLock(c.foreign));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(c.foreign);
    return c.foreign;
  }
  return nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  ClipboardState& c = clip();
  if (c.data.count(format)) return TRUE;
  if ((format == CF_TEXT || format == CF_OEMTEXT) && c.data.empty()) {
    std::string text;
    return driver().readForeignClipboard(text) ? TRUE : FALSE;
  }
  return FALSE;
}

HWND WINAPI GetClipboardOwner(void) {
  ClipboardState& c = clip();
  if (c.owner != nullptr && windowFromHandle(c.owner) == nullptr) c.owner = nullptr;
  return c.owner;
}

HWND WINAPI GetOpenClipboardWindow(void) { return clip().open ? clip().openWindow : nullptr; }

int WINAPI CountClipboardFormats(void) { return static_cast<int>(clip().data.size()); }
