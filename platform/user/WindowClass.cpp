// Window classes. Class names compare without regard to case, as atoms do; every class is
// process-wide whatever the instance handle, and atoms are numbered from 0xC000 up.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "user/WindowSystem.h"

namespace user {

namespace {

bool sameName(const std::string& a, LPCSTR b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

ATOM nextAtom = 0xC000;

}  // namespace

WindowClass* findClass(LPCSTR name) {
  if (name == nullptr) return nullptr;
  for (auto& c : sys().classes) {
    if (IS_INTRESOURCE(name)) {
      if (c->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))) return c.get();
    } else if (sameName(c->name, name)) {
      return c.get();
    }
  }
  return nullptr;
}

}  // namespace user

using namespace user;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXA) || wc->lpszClassName == nullptr ||
      wc->lpfnWndProc == nullptr || wc->cbClsExtra < 0 || wc->cbWndExtra < 0 ||
      wc->cbClsExtra > 40000 || wc->cbWndExtra > 40000 ||
      (!IS_INTRESOURCE(wc->lpszClassName) && wc->lpszClassName[0] == '\0') ||
      IS_INTRESOURCE(wc->lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (findClass(wc->lpszClassName) != nullptr) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_unique<WindowClass>();
  c->name = wc->lpszClassName;
  c->style = wc->style;
  c->proc = wc->lpfnWndProc;
  c->clsExtra = wc->cbClsExtra;
  c->wndExtra = wc->cbWndExtra;
  c->instance = wc->hInstance;
  c->icon = wc->hIcon;
  c->iconSmall = wc->hIconSm;
  c->cursor = wc->hCursor;
  c->background = wc->hbrBackground;
  c->extra.assign(static_cast<size_t>(wc->cbClsExtra), 0);
  c->atom = nextAtom++;
  if (nextAtom == 0) nextAtom = 0xC000;
  ATOM atom = c->atom;
  sys().classes.push_back(std::move(c));
  return atom;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
  if (wc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof(ex);
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassExA(&ex);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  WindowClass* c = findClass(lpClassName);
  if (c == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& classes = sys().classes;
  classes.erase(std::remove_if(classes.begin(), classes.end(),
                               [c](const std::unique_ptr<WindowClass>& p) { return p.get() == c; }),
                classes.end());
  return TRUE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEXA wc) {
  WindowClass* c = findClass(lpszClass);
  if (c == nullptr || wc == nullptr) {
    SetLastError(c == nullptr ? ERROR_CLASS_DOES_NOT_EXIST : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  wc->cbSize = sizeof(WNDCLASSEXA);
  wc->style = c->style;
  wc->lpfnWndProc = c->proc;
  wc->cbClsExtra = c->clsExtra;
  wc->cbWndExtra = c->wndExtra;
  wc->hInstance = c->instance;
  wc->hIcon = c->icon;
  wc->hCursor = c->cursor;
  wc->hbrBackground = c->background;
  wc->lpszMenuName = nullptr;
  wc->lpszClassName = lpszClass;
  wc->hIconSm = c->iconSmall;
  return c->atom;
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR lpClassName, LPWNDCLASSA wc) {
  WNDCLASSEXA ex{};
  if (wc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BOOL atom = GetClassInfoExA(instance, lpClassName, &ex);
  if (!atom) return FALSE;
  wc->style = ex.style;
  wc->lpfnWndProc = ex.lpfnWndProc;
  wc->cbClsExtra = ex.cbClsExtra;
  wc->cbWndExtra = ex.cbWndExtra;
  wc->hInstance = ex.hInstance;
  wc->hIcon = ex.hIcon;
  wc->hCursor = ex.hCursor;
  wc->hbrBackground = ex.hbrBackground;
  wc->lpszMenuName = nullptr;
  wc->lpszClassName = lpClassName;
  return atom;
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hWnd, int nIndex) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->cls == nullptr) return 0;
  WindowClass* c = w->cls;
  switch (nIndex) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c->icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c->iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c->instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->proc);
    case GCL_STYLE: return c->style;
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c->wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c->clsExtra);
    case -32: return c->atom;  // GCW_ATOM
    default:
      if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) <= c->extra.size()) {
        ULONG_PTR v;
        std::memcpy(&v, c->extra.data() + nIndex, sizeof v);
        return v;
      }
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR value) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->cls == nullptr) return 0;
  ULONG_PTR old = GetClassLongPtrA(hWnd, nIndex);
  WindowClass* c = w->cls;
  switch (nIndex) {
    case GCLP_HBRBACKGROUND: c->background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c->icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HICONSM: c->iconSmall = reinterpret_cast<HICON>(value); break;
    case GCLP_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c->style = static_cast<UINT>(value); break;
    default:
      if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) <= c->extra.size()) {
        std::memcpy(c->extra.data() + nIndex, &value, sizeof value);
        break;
      }
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
  return old;
}

DWORD WINAPI GetClassLongA(HWND hWnd, int nIndex) {
  return static_cast<DWORD>(GetClassLongPtrA(hWnd, nIndex));
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  if (lpClassName == nullptr || nMaxCount <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::string name = w->isDesktop ? "#32769" : w->cls->name;
  size_t n = std::min(name.size(), static_cast<size_t>(nMaxCount - 1));
  std::memcpy(lpClassName, name.data(), n);
  lpClassName[n] = '\0';
  return static_cast<int>(n);
}
