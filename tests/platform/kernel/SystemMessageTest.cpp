// FormatMessageA from the system table: exact texts, the buffer rules and the failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

std::string message(DWORD code, DWORD language = 0) {
  char buffer[2560];
  std::fill(std::begin(buffer), std::end(buffer), '\0');
  DWORD count = FormatMessageA(kFlags, nullptr, code, language, buffer, sizeof buffer, nullptr);
  return std::string(buffer, count);
}

TEST(SystemMessages, TextsAreWindowsOwnWithTheClosingLineBreak) {
  struct Case {
    DWORD code;
    const char* text;
  } cases[] = {
      {0, "The operation completed successfully.\r\n"},
      {1, "Incorrect function.\r\n"},
      {2, "The system cannot find the file specified.\r\n"},
      {3, "The system cannot find the path specified.\r\n"},
      {5, "Access is denied.\r\n"},
      {6, "The handle is invalid.\r\n"},
      {15, "The system cannot find the drive specified.\r\n"},
      {19, "The media is write protected.\r\n"},
      {21, "The device is not ready.\r\n"},
      {31, "A device attached to the system is not functioning.\r\n"},
      {32, "The process cannot access the file because it is being used by another process.\r\n"},
      {80, "The file exists.\r\n"},
      {87, "The parameter is incorrect.\r\n"},
      {112, "There is not enough space on the disk.\r\n"},
      {122, "The data area passed to a system call is too small.\r\n"},
      {183, "Cannot create a file when that file already exists.\r\n"},
      {206, "The filename or extension is too long.\r\n"},
      {1117, "The request could not be performed because of an I/O device error.\r\n"},
      {1921, "The name of the file cannot be resolved by the system.\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(message(c.code), c.text) << c.code;
}

TEST(SystemMessages, EveryCodeTheKernelSetsHasAText) {
  const DWORD codes[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_TOO_MANY_OPEN_FILES, ERROR_ACCESS_DENIED,
                         ERROR_INVALID_HANDLE, ERROR_NOT_ENOUGH_MEMORY, ERROR_BAD_FORMAT, ERROR_INVALID_DRIVE,
                         ERROR_NOT_SAME_DEVICE, ERROR_WRITE_PROTECT, ERROR_NOT_READY, ERROR_GEN_FAILURE,
                         ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, ERROR_NOT_SUPPORTED, ERROR_FILE_EXISTS,
                         ERROR_INVALID_PARAMETER, ERROR_BROKEN_PIPE, ERROR_DISK_FULL, ERROR_CALL_NOT_IMPLEMENTED,
                         ERROR_INSUFFICIENT_BUFFER, ERROR_MOD_NOT_FOUND, ERROR_NEGATIVE_SEEK, ERROR_SEEK_ON_DEVICE,
                         ERROR_DIR_NOT_EMPTY, ERROR_NOT_LOCKED, ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE,
                         ERROR_ARITHMETIC_OVERFLOW, ERROR_OPERATION_ABORTED,
                         ERROR_NOACCESS, ERROR_NO_UNICODE_TRANSLATION, ERROR_IO_DEVICE, ERROR_TIMEOUT,
                         ERROR_UNRECOGNIZED_MEDIA, ERROR_RESOURCE_LANG_NOT_FOUND, ERROR_CANT_RESOLVE_FILENAME};
  for (DWORD code : codes) {
    std::string text = message(code);
    ASSERT_GE(text.size(), 3u) << code;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << code;
    EXPECT_EQ(text.find('%'), std::string::npos) << code;
  }
}

TEST(SystemMessages, UnknownCodesReturnZeroAndSayWhy) {
  char buffer[64] = "untouched";
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(kFlags, nullptr, 0x0FFFFFFF, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(message(static_cast<DWORD>(-1)), "");
  EXPECT_EQ(message(99999), "");
}

TEST(SystemMessages, BufferMustHoldTheTextAndItsTerminator) {
  const std::string expected = "Access is denied.\r\n";  // 19 characters
  char buffer[32];
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(kFlags, nullptr, 5, 0, buffer, 19, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessageA(kFlags, nullptr, 5, 0, buffer, 20, nullptr), 19u);
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_EQ(FormatMessageA(kFlags, nullptr, 5, 0, buffer, 0, nullptr), 0u);

  char* allocated = nullptr;
  DWORD count = FormatMessageA(kFlags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 5, 0, reinterpret_cast<LPSTR>(&allocated),
                               0, nullptr);
  ASSERT_EQ(count, 19u);
  ASSERT_NE(allocated, nullptr);
  EXPECT_EQ(std::string(allocated), expected);
  EXPECT_EQ(LocalFree(allocated), nullptr);
}

TEST(SystemMessages, FlagsLanguagesAndWrappedCodes) {
  EXPECT_EQ(message(2, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(message(2, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), "The system cannot find the file specified.\r\n");
  char buffer[256];
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(kFlags, nullptr, 2, MAKELANGID(0x07, 0x01), buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
  // An HRESULT carrying a Win32 code reads as the code.
  EXPECT_EQ(message(0x80070005), "Access is denied.\r\n");
  // Without FROM_SYSTEM there is no table to look in.
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 2, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // The maximum-width mask drops the line break for a blank.
  DWORD count = FormatMessageA(kFlags | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr, 0, 0, buffer, sizeof buffer, nullptr);
  EXPECT_EQ(std::string(buffer, count), "The operation completed successfully. ");
}

}  // namespace
