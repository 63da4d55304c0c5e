// Text crosses between the program (Windows-1252, CR LF lines) and the X desktop (UTF-8 or
// ISO-8859-1, LF lines) only through these conversions.
#pragma once

#include <string>
#include <string_view>

namespace x11 {

// The Unicode code point of a Windows-1252 byte; the five bytes the code page leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 control of the same value, as Windows does.
char32_t codePointOf1252(unsigned char byte);

// The Windows-1252 byte of a code point, or '?' when the code page has none.
unsigned char byteOf1252(char32_t codePoint);

std::string utf8From1252(std::string_view text);
// Malformed UTF-8 (bad lead or continuation bytes, overlong forms, surrogates, values above
// U+10FFFF) becomes one '?' per bad byte, so nothing of the remaining text is lost.
std::string cp1252FromUtf8(std::string_view text);

// ISO-8859-1 is the STRING target of the X selection: the bytes 0x80-0x9F of Windows-1252 that are
// printable there have no Latin-1 form and become '?'.
std::string latin1From1252(std::string_view text);
std::string cp1252FromLatin1(std::string_view text);

// Clipboard text on X uses LF; CF_TEXT uses CR LF. A lone CR is kept as it is.
std::string lfFromCrLf(std::string_view text);
std::string crLfFromLf(std::string_view text);

}  // namespace x11
