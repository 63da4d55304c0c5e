// Keys of the X11 driver: virtual-key codes and scan codes of a US keyboard, and the characters
// keysyms type.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <utility>

#include "drivers/x11/X11Keymap.h"

namespace {

using x11::keyFromKeysym;
using x11::KeyInfo;

void expectKey(unsigned long keysym, UINT vk, UINT sided, UINT scan, bool extended) {
  SCOPED_TRACE(testing::Message() << "keysym 0x" << std::hex << keysym);
  const auto key = keyFromKeysym(keysym);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->vk, vk);
  EXPECT_EQ(key->sidedVk, sided);
  EXPECT_EQ(key->scan, scan);
  EXPECT_EQ(key->extended, extended);
}

void expectKey(unsigned long keysym, UINT vk, UINT scan, bool extended) {
  expectKey(keysym, vk, vk, scan, extended);
}

TEST(X11Keymap, LettersAndDigitsWhateverTheCase) {
  expectKey(XK_a, 'A', 0x1E, false);
  expectKey(XK_A, 'A', 0x1E, false);
  expectKey(XK_q, 'Q', 0x10, false);
  expectKey(XK_m, 'M', 0x32, false);
  expectKey(XK_Z, 'Z', 0x2C, false);
  expectKey(XK_1, '1', 0x02, false);
  expectKey(XK_9, '9', 0x0A, false);
  expectKey(XK_0, '0', 0x0B, false);
  // Shifted digits name the digit key.
  expectKey(XK_exclam, '1', 0x02, false);
  expectKey(XK_parenright, '0', 0x0B, false);
}

TEST(X11Keymap, FunctionKeysAcrossTheirScanCodeGaps) {
  expectKey(XK_F1, VK_F1, 0x3B, false);
  expectKey(XK_F10, VK_F10, 0x44, false);
  expectKey(XK_F11, VK_F11, 0x57, false);
  expectKey(XK_F12, VK_F12, 0x58, false);
  expectKey(XK_F13, 0x7C, 0x64, false);
  expectKey(XK_F23, 0x86, 0x6E, false);
  expectKey(XK_F24, 0x87, 0x76, false);
}

TEST(X11Keymap, CursorBlockIsExtendedButTheKeypadCopyIsNot) {
  expectKey(XK_Left, VK_LEFT, 0x4B, true);
  expectKey(XK_KP_Left, VK_LEFT, 0x4B, false);
  expectKey(XK_Home, VK_HOME, 0x47, true);
  expectKey(XK_KP_Home, VK_HOME, 0x47, false);
  expectKey(XK_End, VK_END, 0x4F, true);
  expectKey(XK_Prior, VK_PRIOR, 0x49, true);
  expectKey(XK_Next, VK_NEXT, 0x51, true);
  expectKey(XK_Up, VK_UP, 0x48, true);
  expectKey(XK_Down, VK_DOWN, 0x50, true);
  expectKey(XK_Right, VK_RIGHT, 0x4D, true);
  expectKey(XK_Insert, VK_INSERT, 0x52, true);
  expectKey(XK_Delete, VK_DELETE, 0x53, true);
  expectKey(XK_KP_Delete, VK_DELETE, 0x53, false);
  expectKey(XK_KP_Begin, VK_CLEAR, 0x4C, false);
}

TEST(X11Keymap, ModifiersNameTheGenericKeyAndKeepTheirSide) {
  expectKey(XK_Shift_L, VK_SHIFT, VK_LSHIFT, 0x2A, false);
  expectKey(XK_Shift_R, VK_SHIFT, VK_RSHIFT, 0x36, false);
  expectKey(XK_Control_L, VK_CONTROL, VK_LCONTROL, 0x1D, false);
  expectKey(XK_Control_R, VK_CONTROL, VK_RCONTROL, 0x1D, true);
  expectKey(XK_Alt_L, VK_MENU, VK_LMENU, 0x38, false);
  expectKey(XK_Alt_R, VK_MENU, VK_RMENU, 0x38, true);
  expectKey(XK_Meta_L, VK_MENU, VK_LMENU, 0x38, false);
}

TEST(X11Keymap, EditingKeysAndKeypad) {
  expectKey(XK_Tab, VK_TAB, 0x0F, false);
  expectKey(XK_ISO_Left_Tab, VK_TAB, 0x0F, false);
  expectKey(XK_Return, VK_RETURN, 0x1C, false);
  expectKey(XK_KP_Enter, VK_RETURN, 0x1C, true);
  expectKey(XK_Escape, VK_ESCAPE, 0x01, false);
  expectKey(XK_BackSpace, VK_BACK, 0x0E, false);
  expectKey(XK_space, VK_SPACE, 0x39, false);
  expectKey(XK_KP_0, VK_NUMPAD0, 0x52, false);
  expectKey(XK_KP_5, VK_NUMPAD5, 0x4C, false);
  expectKey(XK_KP_9, VK_NUMPAD9, 0x49, false);
  expectKey(XK_KP_Divide, VK_DIVIDE, 0x35, true);
  expectKey(XK_KP_Multiply, VK_MULTIPLY, 0x37, false);
  expectKey(XK_KP_Subtract, VK_SUBTRACT, 0x4A, false);
  expectKey(XK_KP_Add, VK_ADD, 0x4E, false);
  expectKey(XK_KP_Decimal, VK_DECIMAL, 0x53, false);
  expectKey(XK_Num_Lock, VK_NUMLOCK, 0x45, true);
}

TEST(X11Keymap, UsPunctuationShiftedOrNot) {
  expectKey(XK_semicolon, VK_OEM_1, 0x27, false);
  expectKey(XK_colon, VK_OEM_1, 0x27, false);
  expectKey(XK_equal, VK_OEM_PLUS, 0x0D, false);
  expectKey(XK_comma, VK_OEM_COMMA, 0x33, false);
  expectKey(XK_minus, VK_OEM_MINUS, 0x0C, false);
  expectKey(XK_period, VK_OEM_PERIOD, 0x34, false);
  expectKey(XK_slash, VK_OEM_2, 0x35, false);
  expectKey(XK_grave, VK_OEM_3, 0x29, false);
  expectKey(XK_bracketleft, VK_OEM_4, 0x1A, false);
  expectKey(XK_backslash, VK_OEM_5, 0x2B, false);
  expectKey(XK_bracketright, VK_OEM_6, 0x1B, false);
  expectKey(XK_apostrophe, VK_OEM_7, 0x28, false);
  expectKey(XK_quotedbl, VK_OEM_7, 0x28, false);
  expectKey(XK_less, VK_OEM_102, 0x56, false);
}

TEST(X11Keymap, KeysymsOfNoUsKeyAreNotKeys) {
  EXPECT_FALSE(keyFromKeysym(XK_eacute).has_value());
  EXPECT_FALSE(keyFromKeysym(0x1008FF11).has_value());  // a volume key
  EXPECT_FALSE(keyFromKeysym(0).has_value());
  EXPECT_FALSE(keyFromKeysym(0x01000416).has_value());  // a Cyrillic letter
}

// One physical key (scan code and extension) is one virtual key, except on the keypad, whose
// keys change meaning with Num Lock.
TEST(X11Keymap, NoTwoKeysShareAScanCode) {
  std::map<std::pair<int, bool>, std::pair<int, unsigned long>> seen;
  auto check = [&seen](unsigned long keysym) {
    if (keysym >= 0xFF80 && keysym <= 0xFFBD) return;  // keypad
    const auto key = keyFromKeysym(keysym);
    if (!key) return;
    EXPECT_NE(key->scan, 0) << std::hex << keysym;
    EXPECT_NE(key->vk, 0) << std::hex << keysym;
    const auto where = std::make_pair(int{key->scan}, key->extended);
    auto [it, inserted] = seen.emplace(where, std::make_pair(int{key->vk}, keysym));
    EXPECT_EQ(it->second.first, key->vk)
        << "keysyms 0x" << std::hex << keysym << " and 0x" << it->second.second
        << " share scan code 0x" << where.first;
  };
  for (unsigned long k = 0x20; k <= 0x7E; ++k) check(k);
  for (unsigned long k = 0xFE00; k <= 0xFFFF; ++k) check(k);
  EXPECT_GT(seen.size(), 95u);
}

TEST(X11Keymap, CharactersTyped) {
  using x11::codePointFromKeysym;
  EXPECT_EQ(codePointFromKeysym(XK_a), U'a');
  EXPECT_EQ(codePointFromKeysym(XK_A), U'A');
  EXPECT_EQ(codePointFromKeysym(XK_asciitilde), U'~');
  EXPECT_EQ(codePointFromKeysym(XK_eacute), U'\u00E9');
  EXPECT_EQ(codePointFromKeysym(XK_nobreakspace), U'\u00A0');
  EXPECT_EQ(codePointFromKeysym(0x20AC), U'\u20AC');      // EuroSign
  EXPECT_EQ(codePointFromKeysym(0x13BD), U'\u0153');      // oe
  EXPECT_EQ(codePointFromKeysym(0x01000401), U'\u0401');  // a Unicode keysym
  EXPECT_EQ(codePointFromKeysym(XK_Return), 0x0Du);
  EXPECT_EQ(codePointFromKeysym(XK_KP_Enter), 0x0Du);
  EXPECT_EQ(codePointFromKeysym(XK_BackSpace), 0x08u);
  EXPECT_EQ(codePointFromKeysym(XK_Tab), 0x09u);
  EXPECT_EQ(codePointFromKeysym(XK_Escape), 0x1Bu);
  EXPECT_EQ(codePointFromKeysym(XK_KP_7), U'7');
  EXPECT_EQ(codePointFromKeysym(XK_KP_Divide), U'/');
  // Keys that type nothing.
  EXPECT_EQ(codePointFromKeysym(XK_Delete), 0u);
  EXPECT_EQ(codePointFromKeysym(XK_KP_Home), 0u);
  EXPECT_EQ(codePointFromKeysym(XK_F1), 0u);
  EXPECT_EQ(codePointFromKeysym(XK_Left), 0u);
  EXPECT_EQ(codePointFromKeysym(XK_Shift_L), 0u);
  EXPECT_EQ(codePointFromKeysym(0), 0u);
}

}  // namespace
