// Keysyms to virtual keys for a US layout. A keysym that reaches index 0 of a keycode only through
// a remapped spare keycode (xdotool does this for characters missing from the keymap) is given the
// US key that types it, so shifted punctuation still names a key.
#include "drivers/x11/X11Keymap.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>

namespace x11 {

namespace {

// Virtual-key codes as Win32 numbers them.
enum : uint8_t {
  kBack = 0x08, kTab = 0x09, kClear = 0x0C, kReturn = 0x0D, kShift = 0x10, kControl = 0x11,
  kMenu = 0x12, kPause = 0x13, kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21,
  kNext = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
  kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E, kLWin = 0x5B, kRWin = 0x5C, kApps = 0x5D,
  kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSeparator = 0x6C, kSubtract = 0x6D,
  kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kNumLock = 0x90, kScroll = 0x91, kLShift = 0xA0,
  kRShift = 0xA1, kLControl = 0xA2, kRControl = 0xA3, kLMenu = 0xA4, kRMenu = 0xA5,
  kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD, kOemPeriod = 0xBE,
  kOem2 = 0xBF, kOem3 = 0xC0, kOem4 = 0xDB, kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE,
  kOem102 = 0xE2,
};

struct Entry {
  unsigned long keysym;
  KeyInfo key;
};

constexpr KeyInfo plain(uint8_t vk, uint8_t scan) { return KeyInfo{vk, vk, scan, false}; }
constexpr KeyInfo extended(uint8_t vk, uint8_t scan) { return KeyInfo{vk, vk, scan, true}; }

// Keys other than letters, digits and F-keys, which follow their own runs below.
constexpr Entry kTable[] = {
    {XK_BackSpace, plain(kBack, 0x0E)},
    {XK_Tab, plain(kTab, 0x0F)},
    {XK_ISO_Left_Tab, plain(kTab, 0x0F)},
    {XK_Return, plain(kReturn, 0x1C)},
    {XK_Pause, plain(kPause, 0x45)},
    {XK_Scroll_Lock, plain(kScroll, 0x46)},
    {XK_Escape, plain(kEscape, 0x01)},
    {XK_Delete, extended(kDelete, 0x53)},
    {XK_Home, extended(kHome, 0x47)},
    {XK_Left, extended(kLeft, 0x4B)},
    {XK_Up, extended(kUp, 0x48)},
    {XK_Right, extended(kRight, 0x4D)},
    {XK_Down, extended(kDown, 0x50)},
    {XK_Prior, extended(kPrior, 0x49)},
    {XK_Next, extended(kNext, 0x51)},
    {XK_End, extended(kEnd, 0x4F)},
    {XK_Print, extended(kSnapshot, 0x37)},
    {XK_Insert, extended(kInsert, 0x52)},
    {XK_Menu, extended(kApps, 0x5D)},
    {XK_Num_Lock, extended(kNumLock, 0x45)},
    {XK_Caps_Lock, plain(kCapital, 0x3A)},
    {XK_space, plain(kSpace, 0x39)},
    // Modifiers: the message names the generic key, the key state also the side.
    {XK_Shift_L, KeyInfo{kShift, kLShift, 0x2A, false}},
    {XK_Shift_R, KeyInfo{kShift, kRShift, 0x36, false}},
    {XK_Control_L, KeyInfo{kControl, kLControl, 0x1D, false}},
    {XK_Control_R, KeyInfo{kControl, kRControl, 0x1D, true}},
    {XK_Alt_L, KeyInfo{kMenu, kLMenu, 0x38, false}},
    {XK_Alt_R, KeyInfo{kMenu, kRMenu, 0x38, true}},
    {XK_Meta_L, KeyInfo{kMenu, kLMenu, 0x38, false}},
    {XK_Meta_R, KeyInfo{kMenu, kRMenu, 0x38, true}},
    {XK_ISO_Level3_Shift, KeyInfo{kMenu, kRMenu, 0x38, true}},
    {XK_Super_L, extended(kLWin, 0x5B)},
    {XK_Super_R, extended(kRWin, 0x5C)},
    // Keypad with Num Lock on.
    {XK_KP_0, plain(kNumpad0 + 0, 0x52)},
    {XK_KP_1, plain(kNumpad0 + 1, 0x4F)},
    {XK_KP_2, plain(kNumpad0 + 2, 0x50)},
    {XK_KP_3, plain(kNumpad0 + 3, 0x51)},
    {XK_KP_4, plain(kNumpad0 + 4, 0x4B)},
    {XK_KP_5, plain(kNumpad0 + 5, 0x4C)},
    {XK_KP_6, plain(kNumpad0 + 6, 0x4D)},
    {XK_KP_7, plain(kNumpad0 + 7, 0x47)},
    {XK_KP_8, plain(kNumpad0 + 8, 0x48)},
    {XK_KP_9, plain(kNumpad0 + 9, 0x49)},
    {XK_KP_Decimal, plain(kDecimal, 0x53)},
    {XK_KP_Separator, plain(kSeparator, 0x53)},
    // Keypad with Num Lock off: the cursor keys, but with the keypad's own (unextended) scan codes.
    {XK_KP_Insert, plain(kInsert, 0x52)},
    {XK_KP_End, plain(kEnd, 0x4F)},
    {XK_KP_Down, plain(kDown, 0x50)},
    {XK_KP_Next, plain(kNext, 0x51)},
    {XK_KP_Left, plain(kLeft, 0x4B)},
    {XK_KP_Begin, plain(kClear, 0x4C)},
    {XK_KP_Right, plain(kRight, 0x4D)},
    {XK_KP_Home, plain(kHome, 0x47)},
    {XK_KP_Up, plain(kUp, 0x48)},
    {XK_KP_Prior, plain(kPrior, 0x49)},
    {XK_KP_Delete, plain(kDelete, 0x53)},
    {XK_KP_Multiply, plain(kMultiply, 0x37)},
    {XK_KP_Add, plain(kAdd, 0x4E)},
    {XK_KP_Subtract, plain(kSubtract, 0x4A)},
    {XK_KP_Divide, extended(kDivide, 0x35)},
    {XK_KP_Enter, extended(kReturn, 0x1C)},
    // US punctuation, unshifted and shifted.
    {XK_semicolon, plain(kOem1, 0x27)},
    {XK_colon, plain(kOem1, 0x27)},
    {XK_equal, plain(kOemPlus, 0x0D)},
    {XK_plus, plain(kOemPlus, 0x0D)},
    {XK_comma, plain(kOemComma, 0x33)},
    {XK_minus, plain(kOemMinus, 0x0C)},
    {XK_underscore, plain(kOemMinus, 0x0C)},
    {XK_period, plain(kOemPeriod, 0x34)},
    {XK_greater, plain(kOemPeriod, 0x34)},
    {XK_slash, plain(kOem2, 0x35)},
    {XK_question, plain(kOem2, 0x35)},
    {XK_grave, plain(kOem3, 0x29)},
    {XK_asciitilde, plain(kOem3, 0x29)},
    {XK_bracketleft, plain(kOem4, 0x1A)},
    {XK_braceleft, plain(kOem4, 0x1A)},
    {XK_backslash, plain(kOem5, 0x2B)},
    {XK_bar, plain(kOem5, 0x2B)},
    {XK_bracketright, plain(kOem6, 0x1B)},
    {XK_braceright, plain(kOem6, 0x1B)},
    {XK_apostrophe, plain(kOem7, 0x28)},
    {XK_quotedbl, plain(kOem7, 0x28)},
    // At index 0 only on the extra key of 102-key keyboards.
    {XK_less, plain(kOem102, 0x56)},
    // Shifted digits.
    {XK_exclam, plain('1', 0x02)},
    {XK_at, plain('2', 0x03)},
    {XK_numbersign, plain('3', 0x04)},
    {XK_dollar, plain('4', 0x05)},
    {XK_percent, plain('5', 0x06)},
    {XK_asciicircum, plain('6', 0x07)},
    {XK_ampersand, plain('7', 0x08)},
    {XK_asterisk, plain('8', 0x09)},
    {XK_parenleft, plain('9', 0x0A)},
    {XK_parenright, plain('0', 0x0B)},
};

// Scan codes of the letter keys in alphabetical order.
constexpr uint8_t kLetterScan[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};

// Scan codes of F1-F24.
constexpr uint8_t kFunctionScan[24] = {
    0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,
    0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76,
};

// Keysyms of the publishing and technical sets (not enabled by <X11/keysym.h>) that type a
// character of Windows-1252.
struct Typed {
  unsigned long keysym;
  char32_t codePoint;
};
constexpr Typed kTypedKeysyms[] = {
    {0x20AC, 0x20AC},  // EuroSign
    {0x13BC, 0x0152}, {0x13BD, 0x0153}, {0x13BE, 0x0178},  // OE oe Ydiaeresis
    {0x01A9, 0x0160}, {0x01B9, 0x0161}, {0x01AE, 0x017D}, {0x01BE, 0x017E},  // S/Z caron
    {0x08F6, 0x0192},  // function
    {0x0AA9, 0x2014}, {0x0AAA, 0x2013}, {0x0AAE, 0x2026}, {0x0AC9, 0x2122},
    {0x0AD0, 0x2018}, {0x0AD1, 0x2019}, {0x0AD2, 0x201C}, {0x0AD3, 0x201D},
    {0x0AD5, 0x2030}, {0x0AE6, 0x2022}, {0x0AF1, 0x2020}, {0x0AF2, 0x2021},
    {0x0AFD, 0x201A}, {0x0AFE, 0x201E},
};

}  // namespace

std::optional<KeyInfo> keyFromKeysym(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) keysym -= XK_a - XK_A;
  if (keysym >= XK_A && keysym <= XK_Z) {
    const auto vk = static_cast<uint8_t>('A' + (keysym - XK_A));
    return plain(vk, kLetterScan[keysym - XK_A]);
  }
  if (keysym >= XK_0 && keysym <= XK_9) {
    const auto digit = static_cast<int>(keysym - XK_0);
    // 1 to 9 sit on scan codes 2 to 10, 0 after them on 11.
    return plain(static_cast<uint8_t>('0' + digit),
                 static_cast<uint8_t>(digit == 0 ? 0x0B : digit + 1));
  }
  if (keysym >= XK_F1 && keysym <= XK_F24) {
    const auto index = static_cast<int>(keysym - XK_F1);
    return plain(static_cast<uint8_t>(kF1 + index), kFunctionScan[index]);
  }
  const auto* found = std::find_if(std::begin(kTable), std::end(kTable),
                                   [keysym](const Entry& e) { return e.keysym == keysym; });
  if (found == std::end(kTable)) return std::nullopt;
  return found->key;
}

char32_t codePointFromKeysym(unsigned long keysym) {
  switch (keysym) {
    case XK_BackSpace: return 0x08;
    case XK_Tab: case XK_ISO_Left_Tab: return 0x09;
    case XK_Return: case XK_KP_Enter: return 0x0D;
    case XK_Escape: return 0x1B;
    case XK_KP_Space: return ' ';
    case XK_KP_Multiply: return '*';
    case XK_KP_Add: return '+';
    case XK_KP_Subtract: return '-';
    case XK_KP_Decimal: return '.';
    case XK_KP_Divide: return '/';
    case XK_KP_Equal: return '=';
    default: break;
  }
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return U'0' + static_cast<char32_t>(keysym - XK_KP_0);
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
    return static_cast<char32_t>(keysym);
  }
  // Keysyms 0x01000100 and up carry the code point directly.
  if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) return static_cast<char32_t>(keysym - 0x01000000);
  for (const Typed& t : kTypedKeysyms) {
    if (t.keysym == keysym) return t.codePoint;
  }
  return 0;
}

}  // namespace x11
