#include <gtest/gtest.h>
#include <windows.h>

TEST(GuiResources, OnlyTheCurrentProcessAndKnownCountersAnswer) {
  SetLastError(0);
  EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), 7), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
