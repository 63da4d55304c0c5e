// CP_ACP (and CP_OEMCP) is Windows-1252, whose five unassigned bytes map to the C1 controls of
// the same value as Windows maps them; invalid UTF-8 becomes U+FFFD unless MB_ERR_INVALID_CHARS
// is given, and an unpaired surrogate becomes U+FFFD in UTF-8 output.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t fromAnsi(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
}

// The Windows-1252 byte of a code point, or -1 when the page has none.
int toAnsi(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == code) return 0x80 + i;
  return -1;
}

bool knownPage(UINT page) { return page == CP_ACP || page == CP_OEMCP || page == CP_UTF8; }

// Decodes UTF-8 into UTF-16; false on an invalid sequence when strict.
bool decodeUtf8(const unsigned char* in, size_t length, bool strict, std::u16string& out) {
  size_t i = 0;
  while (i < length) {
    unsigned char lead = in[i];
    char32_t code = 0;
    size_t extra = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
      if (strict) return false;
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= extra && i + j < length && (in[i + j] & 0xC0) == 0x80; ++j) code = (code << 6) | (in[i + j] & 0x3F);
    bool complete = j == extra + 1;
    if (!complete || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      if (strict) return false;
      out.push_back(0xFFFD);
      i += j;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += j;
  }
  return true;
}

void appendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

int failWith(DWORD code) {
  SetLastError(code);
  return 0;
}

}  // namespace

int WINAPI lstrlenA(LPCSTR lpString) { return lpString ? static_cast<int>(std::strlen(lpString)) : 0; }

LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
  if (!lpString1 || iMaxLength <= 0) return lpString1;
  int i = 0;
  if (lpString2)
    for (; i < iMaxLength - 1 && lpString2[i]; ++i) lpString1[i] = lpString2[i];
  lpString1[i] = '\0';
  return lpString1;
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  if (!knownPage(CodePage) || !lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr))
    return failWith(ERROR_INVALID_PARAMETER);
  // A length of -1 means the text up to and including its terminating zero.
  size_t length = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  std::u16string wide;
  if (CodePage == CP_UTF8) {
    if (!decodeUtf8(bytes, length, (dwFlags & MB_ERR_INVALID_CHARS) != 0, wide))
      return failWith(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    for (size_t i = 0; i < length; ++i) wide.push_back(fromAnsi(bytes[i]));
  }
  int needed = static_cast<int>(wide.size());
  if (cchWideChar == 0) return needed;
  if (needed > cchWideChar) return failWith(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
  return needed;
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
  if (!knownPage(CodePage) || !lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr))
    return failWith(ERROR_INVALID_PARAMETER);
  // UTF-8 has no default character, so asking for one is a caller's mistake, as on Windows.
  if (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar)) return failWith(ERROR_INVALID_PARAMETER);
  size_t length = 0;
  if (cchWideChar == -1) {
    while (lpWideCharStr[length]) ++length;
    ++length;
  } else {
    length = static_cast<size_t>(cchWideChar);
  }
  std::string out;
  bool usedDefault = false;
  char fallback = lpDefaultChar ? *lpDefaultChar : '?';
  for (size_t i = 0; i < length; ++i) {
    char32_t code = lpWideCharStr[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && lpWideCharStr[i + 1] >= 0xDC00 &&
        lpWideCharStr[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (lpWideCharStr[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (CodePage == CP_UTF8) {
      appendUtf8(code, out);
    } else {
      int byte = toAnsi(code);
      if (byte < 0) {
        usedDefault = true;
        out.push_back(fallback);
      } else {
        out.push_back(static_cast<char>(byte));
      }
    }
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  int needed = static_cast<int>(out.size());
  if (cbMultiByte == 0) return needed;
  if (needed > cbMultiByte) return failWith(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpMultiByteStr, out.data(), out.size());
  return needed;
}
