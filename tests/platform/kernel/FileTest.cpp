// Ordinary files: dispositions, transfers, the file pointer, and what each failure reports.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "kernel/Errno.h"

namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvane-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(root_ / "locked", fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
  }
  // The path in Windows spelling: backslashes, with a doubled one for good measure.
  std::string windowsPath(const std::string& name) const {
    std::string path = root_.string() + "\\\\" + name;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  HANDLE create(const std::string& name, DWORD disposition, DWORD access = GENERIC_READ | GENERIC_WRITE) {
    SetLastError(4242);
    HANDLE h = CreateFileA(windowsPath(name).c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    error_ = GetLastError();
    return h;
  }
  std::string contents(const std::string& name) {
    std::ifstream in(root_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void put(const std::string& name, const std::string& text) { std::ofstream(root_ / name, std::ios::binary) << text; }

  fs::path root_;
  DWORD error_ = 0;
};

TEST_F(Files, DispositionsCreateTruncateAndReportExistingFiles) {
  HANDLE h = create("a.txt", CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, 0u);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(contents("a.txt"), "hello");

  EXPECT_EQ(create("a.txt", CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_EXISTS));

  h = create("a.txt", OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(h, nullptr), 5u) << "OPEN_ALWAYS keeps the contents";
  CloseHandle(h);

  h = create("a.txt", CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(h, nullptr), 0u) << "CREATE_ALWAYS empties an existing file";
  CloseHandle(h);

  put("a.txt", "again");
  h = create("a.txt", TRUNCATE_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, 0u);
  CloseHandle(h);
  EXPECT_EQ(contents("a.txt"), "");
  EXPECT_EQ(create("a.txt", TRUNCATE_EXISTING, GENERIC_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << "truncating needs write access";

  h = create("new.txt", OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, 0u) << "OPEN_ALWAYS that creates reports 0";
  CloseHandle(h);
  h = create("new2.txt", CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, 0u);
  CloseHandle(h);

  EXPECT_EQ(create("a.txt", 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(create("a.txt", 6), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Files, MissingFilesAndFoldersAreToldApart) {
  EXPECT_EQ(create("none.txt", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(create("nofolder\\none.txt", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(create("nofolder\\none.txt", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  put("file", "x");
  EXPECT_EQ(create("file\\below", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "ENOTDIR";
  EXPECT_EQ(create(std::string(300, 'n'), OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  SetLastError(1);
  EXPECT_EQ(CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, FoldersOpenOnlyWithBackupSemantics) {
  fs::create_directories(root_ / "sub");
  EXPECT_EQ(create("sub", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE h = CreateFileA(windowsPath("sub").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Files, ReadWriteSeekAndAccessRights) {
  put("data", "0123456789");
  HANDLE reader = create("data", OPEN_EXISTING, GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  char buffer[16] = {0};
  DWORD got = 99;
  EXPECT_TRUE(ReadFile(reader, buffer, 4, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "0123");
  EXPECT_EQ(SetFilePointer(reader, -2, nullptr, FILE_END), 8u);
  EXPECT_TRUE(ReadFile(reader, buffer, 16, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "89") << "a read stops at the end of the file";
  EXPECT_TRUE(ReadFile(reader, buffer, 16, &got, nullptr));
  EXPECT_EQ(got, 0u) << "reading at the end succeeds with nothing";
  EXPECT_EQ(SetFilePointer(reader, 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(SetFilePointer(reader, 2, nullptr, FILE_CURRENT), 5u);
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(reader, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(reader, 0, nullptr, FILE_CURRENT), 5u) << "a refused move leaves the pointer";
  EXPECT_EQ(SetFilePointer(reader, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // The end probe of FILE_END must not move the pointer when the move is refused.
  EXPECT_EQ(SetFilePointer(reader, -20, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(reader, 0, nullptr, FILE_CURRENT), 5u);
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(reader, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(high, 1);
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(reader, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER)
      << "a position past 4 GiB cannot be told without the high part";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SetFilePointer(reader, 5, nullptr, FILE_BEGIN), 5u);

  DWORD wrote = 5;
  EXPECT_FALSE(WriteFile(reader, "x", 1, &wrote, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(wrote, 0u);
  EXPECT_FALSE(FlushFileBuffers(reader));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(reader));

  HANDLE writer = create("data", OPEN_EXISTING, GENERIC_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReadFile(writer, buffer, 1, &got, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  OVERLAPPED at{};
  at.Offset = 8;
  EXPECT_TRUE(WriteFile(writer, "AB", 2, &wrote, &at));
  SetLastError(31);
  EXPECT_TRUE(FlushFileBuffers(writer));
  EXPECT_EQ(GetLastError(), 31u);
  DWORD high32 = 7;
  EXPECT_EQ(GetFileSize(writer, &high32), 10u);
  EXPECT_EQ(high32, 0u);
  EXPECT_TRUE(CloseHandle(writer));
  EXPECT_EQ(contents("data"), "01234567AB");
}

TEST_F(Files, InvalidHandlesAreRefused) {
  HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7777));
  char buffer[4];
  DWORD count = 0;
  SetLastError(0);
  EXPECT_FALSE(ReadFile(bogus, buffer, 4, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, buffer, 4, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(GetFileSize(nullptr, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(9);
  EXPECT_TRUE(CloseHandle(GetCurrentProcess())) << "the pseudo handle closes to no effect";
  EXPECT_EQ(GetLastError(), 9u);
}

TEST_F(Files, DeleteAttributesAndDeleteOnClose) {
  put("gone", "x");
  fs::create_directories(root_ / "folder");
  EXPECT_EQ(GetFileAttributesA(windowsPath("gone").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA(windowsPath("folder").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  put(".hidden", "x");
  EXPECT_TRUE(GetFileAttributesA(windowsPath(".hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  fs::permissions(root_ / "gone", fs::perms::owner_read);
  EXPECT_TRUE(GetFileAttributesA(windowsPath("gone").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(GetFileAttributesA(windowsPath("missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_FALSE(DeleteFileA(windowsPath("gone").c_str())) << "a read-only file is not deleted";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  fs::permissions(root_ / "gone", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(DeleteFileA(windowsPath("gone").c_str()));
  EXPECT_FALSE(fs::exists(root_ / "gone"));
  EXPECT_FALSE(DeleteFileA(windowsPath("gone").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA(windowsPath("folder").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(fs::exists(root_ / "folder"));

  HANDLE temp = CreateFileA(windowsPath("temp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                            nullptr);
  ASSERT_NE(temp, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(fs::exists(root_ / "temp"));
  EXPECT_TRUE(CloseHandle(temp));
  EXPECT_FALSE(fs::exists(root_ / "temp"));
}

TEST(ErrnoMapping, EachPosixFailureHasItsWin32Code) {
  struct Pair {
    int error;
    DWORD code;
  } pairs[] = {{0, 0},         {ENOENT, 2},    {ENOTDIR, 3},    {ELOOP, 3},     {EACCES, 5},
               {EPERM, 5},     {EBADF, 6},     {EROFS, 19},     {ENXIO, 21},    {ENODEV, 21},
               {ENOMEDIUM, 21}, {EBUSY, 32},   {EEXIST, 80},    {EINVAL, 87},   {ENOSPC, 112},
               {ENAMETOOLONG, 206}, {EIO, 1117}, {EMFILE, 4},   {ENOMEM, 8},    {EXDEV, 17},
               {ENOTEMPTY, 145}, {EISDIR, 5},  {EHOSTDOWN, 31}};
  for (const Pair& pair : pairs) EXPECT_EQ(kernel::win32FromErrno(pair.error), pair.code) << "errno " << pair.error;
  errno = EROFS;
  SetLastError(0);
  EXPECT_EQ(kernel::setLastErrorFromErrno(), 19u);
  EXPECT_EQ(GetLastError(), 19u);
}

TEST(TempPath, EndsWithASeparatorAndReportsTheSizeNeeded) {
  char buffer[MAX_PATH];
  setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 9u);
  EXPECT_STREQ(buffer, "/var/tmp/");
  EXPECT_EQ(GetTempPathA(9, buffer), 10u) << "too small: the size with the terminator";
  unsetenv("TMPDIR");
  EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 5u);
  EXPECT_STREQ(buffer, "/tmp/");
}

}  // namespace
