// Windows-1252 and UTF-8 conversions through UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::u16string wide(UINT page, const std::string& bytes, DWORD flags = 0) {
  int n = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(n), u'\0');
  if (n) MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string narrow(UINT page, const std::u16string& text, BOOL* usedDefault = nullptr) {
  int n = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<size_t>(n), '\0');
  if (n) WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, usedDefault);
  return out;
}

TEST(CodePages, Windows1252RoundTripsEveryAssignedByte) {
  EXPECT_EQ(wide(CP_ACP, "\x80\x8A\x99\x9F\xE9\xFF"), u"\u20AC\u0160\u2122\u0178\u00E9\u00FF");
  EXPECT_EQ(wide(CP_ACP, "\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  BOOL usedDefault = TRUE;
  EXPECT_EQ(narrow(CP_ACP, wide(CP_ACP, all), &usedDefault), all);
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(narrow(CP_ACP, u"a\u4E2Dz", &usedDefault), "a?z");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePages, Utf8BothWaysWithSurrogatesAndBadBytes) {
  std::string text = "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
  std::u16string expected = u"Caf\u00E9 \u20AC \U0001F600";
  EXPECT_EQ(wide(CP_UTF8, text), expected);
  EXPECT_EQ(narrow(CP_UTF8, expected), text);
  EXPECT_EQ(wide(CP_UTF8, "a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(wide(CP_UTF8, "\xC0\xAF"), u"\uFFFD") << "overlong forms are not characters";
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(narrow(CP_UTF8, std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(CodePages, LengthsTerminatorsAndBufferRules) {
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "-1 counts the terminator";
  WCHAR small[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, small, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(1250, 0, "abc", 3, nullptr, 0), 0) << "other code pages are not known";
  BOOL used = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, nullptr, &used), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  char out[8];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"hi", -1, out, sizeof out, nullptr, nullptr), 3);
  EXPECT_STREQ(out, "hi");
  EXPECT_EQ(lstrlenA("four"), 4);
  EXPECT_EQ(lstrlenA(nullptr), 0);
  char copy[4];
  EXPECT_STREQ(lstrcpynA(copy, "abcdef", 4), "abc");
}

}  // namespace
