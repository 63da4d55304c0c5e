// File version information: none in the files of this system, the fixed part of a block made by
// a resource compiler read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A VS_VERSIONINFO block as a resource compiler lays it out: header, key, padding, fixed part.
std::vector<BYTE> versionBlock(const char* key, DWORD signature, WORD valueLength) {
  std::vector<BYTE> block(40 + sizeof(VS_FIXEDFILEINFO), 0);
  const WORD length = static_cast<WORD>(block.size());
  std::memcpy(&block[0], &length, 2);
  std::memcpy(&block[2], &valueLength, 2);
  for (size_t i = 0; key[i] && 6 + 2 * i < 38; ++i) block[6 + 2 * i] = static_cast<BYTE>(key[i]);
  VS_FIXEDFILEINFO info{};
  info.dwSignature = signature;
  info.dwStrucVersion = VS_FFI_STRUCVERSION;
  info.dwFileVersionMS = MAKELONG(7, 3);  // 3.7
  info.dwFileVersionLS = MAKELONG(0, 12);  // .12.0
  std::memcpy(&block[40], &info, sizeof info);
  return block;
}

TEST(FileVersion, FilesHereCarryNoVersionResource) {
  char self[4096];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
  DWORD handle = 99;
  SetLastError(0);
  EXPECT_EQ(GetFileVersionInfoSizeA(self, &handle), 0u);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  char buffer[64];
  EXPECT_FALSE(GetFileVersionInfoA(self, 0, sizeof buffer, buffer));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

  EXPECT_EQ(GetFileVersionInfoSizeA("/no/such/folder/program.exe", &handle), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  const std::string missing = std::string(self) + ".missing";
  EXPECT_EQ(GetFileVersionInfoSizeA(missing.c_str(), &handle), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FileVersion, TheRootOfABlockIsItsFixedFileInfo) {
  std::vector<BYTE> block = versionBlock("VS_VERSION_INFO", VS_FFI_SIGNATURE, sizeof(VS_FIXEDFILEINFO));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
  EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(value, block.data() + 40);
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(HIWORD(info->dwFileVersionMS), 3);
  EXPECT_EQ(LOWORD(info->dwFileVersionMS), 7);
  EXPECT_EQ(HIWORD(info->dwFileVersionLS), 12);
}

TEST(FileVersion, AnythingButAWellFormedRootIsNotFound) {
  void* value = nullptr;
  UINT length = 0;
  std::vector<BYTE> good = versionBlock("VS_VERSION_INFO", VS_FFI_SIGNATURE, sizeof(VS_FIXEDFILEINFO));
  EXPECT_FALSE(VerQueryValueA(good.data(), "\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
  EXPECT_FALSE(VerQueryValueA(good.data(), "\\", nullptr, &length));
  std::vector<BYTE> wrongKey = versionBlock("VS_VERSION_INFX", VS_FFI_SIGNATURE, sizeof(VS_FIXEDFILEINFO));
  EXPECT_FALSE(VerQueryValueA(wrongKey.data(), "\\", &value, &length));
  std::vector<BYTE> wrongSignature = versionBlock("VS_VERSION_INFO", 0xFEEF04BC, sizeof(VS_FIXEDFILEINFO));
  EXPECT_FALSE(VerQueryValueA(wrongSignature.data(), "\\", &value, &length));
  std::vector<BYTE> noValue = versionBlock("VS_VERSION_INFO", VS_FFI_SIGNATURE, 0);
  EXPECT_FALSE(VerQueryValueA(noValue.data(), "\\", &value, &length));
}

}  // namespace
