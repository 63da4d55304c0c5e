// The window that directly holds a button, as the button keeps it: its handle in decimal text in
// the host surface's tag. Arrow keys go there and the custom click measures against it.
#pragma once

#include <windows.h>

#include <charconv>
#include <cstdint>
#include <string>

namespace ztbuttons {

// The container named by the tag; none when the text is not a whole number or names no window.
inline HWND ContainerFromTag(const std::string& tag) {
  intptr_t handle = 0;
  const char* end = tag.data() + tag.size();
  auto [rest, error] = std::from_chars(tag.data(), end, handle);
  if (error != std::errc() || rest != end || handle == 0) return nullptr;
  HWND container = reinterpret_cast<HWND>(handle);
  return IsWindow(container) ? container : nullptr;
}

}  // namespace ztbuttons
