// Window properties. Names compare without regard to case, as atoms do; an integer atom
// (MAKEINTATOM) is its own name "#n". A window's properties go with it.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "user/WindowSystem.h"

namespace user {
namespace {

bool propKey(LPCSTR name, std::string& key, std::string& shown) {
  if (name == nullptr) return false;
  if (IS_INTRESOURCE(name)) {
    WORD atom = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    if (atom == 0) return false;
    char number[8];
    std::snprintf(number, sizeof number, "#%u", static_cast<unsigned>(atom));
    shown = number;
  } else {
    shown = name;
  }
  key = shown;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return true;
}

}  // namespace

void removeWindowProps(Window* w) {
  w->props.clear();
  w->propNames.clear();
}

}  // namespace user

using namespace user;

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  std::string key, shown;
  if (!propKey(lpString, key, shown)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  w->props[key] = hData;
  w->propNames.emplace(key, shown);
  return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return nullptr;
  std::string key, shown;
  if (!propKey(lpString, key, shown)) return nullptr;
  auto it = w->props.find(key);
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return nullptr;
  std::string key, shown;
  if (!propKey(lpString, key, shown)) return nullptr;
  auto it = w->props.find(key);
  if (it == w->props.end()) return nullptr;
  HANDLE data = it->second;
  w->props.erase(it);
  w->propNames.erase(key);
  return data;
}

int WINAPI EnumPropsA(HWND hWnd, PROPENUMPROCA lpEnumFunc) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || lpEnumFunc == nullptr) return -1;
  // A copy, so the callback may remove properties as it goes.
  auto names = w->propNames;
  auto values = w->props;
  int result = -1;
  for (auto& [key, shown] : names) {
    result = lpEnumFunc(hWnd, shown.c_str(), values[key]);
    if (!result) break;
    if (windowFromHandle(hWnd) == nullptr) break;
  }
  return result;
}
