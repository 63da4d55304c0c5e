// What an X key is to the window system: a virtual-key code, its left/right variant and the
// PC/AT (set 1) scan code a US keyboard sends for it.
#pragma once

#include <cstdint>
#include <optional>

namespace x11 {

struct KeyInfo {
  uint8_t vk = 0;        // the code WM_KEYDOWN carries (VK_SHIFT, not VK_LSHIFT)
  uint8_t sidedVk = 0;   // the left/right variant for the key state (VK_LSHIFT ...); else vk
  uint8_t scan = 0;
  bool extended = false; // the E0-prefixed keys: right Ctrl/Alt, the cursor block, keypad Enter and /
};

// The key behind an X keysym, looked up as the keysym of the key without modifiers (index 0 of
// the keycode), or nothing for keysyms that are no key of a US keyboard.
std::optional<KeyInfo> keyFromKeysym(unsigned long keysym);

// The character a keysym types, as a Unicode code point, or 0 when it types none (function,
// cursor and modifier keys, Delete). Return, BackSpace, Tab and Escape type their control codes.
char32_t codePointFromKeysym(unsigned long keysym);

}  // namespace x11
