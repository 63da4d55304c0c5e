// Global memory blocks as the clipboard uses them, and the plain memory copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

TEST(GlobalMemory, MovableBlocksLockUnlockAndCount) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 100u);
  auto* first = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(first, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(first[i], 0) << "zero-initialised";
  EXPECT_NE(static_cast<void*>(first), block) << "a movable handle is not the address";
  std::strcpy(reinterpret_cast<char*>(first), "clip");
  auto* second = static_cast<char*>(GlobalLock(block));
  EXPECT_EQ(static_cast<void*>(second), static_cast<void*>(first));
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  SetLastError(55);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR)) << "the last unlock reports NO_ERROR";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
  EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "clip");
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);

  SetLastError(0);
  EXPECT_EQ(GlobalLock(block), nullptr) << "a freed handle is refused";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalSize(block), 0u);
}

TEST(GlobalMemory, FixedBlocksAreTheirOwnAddress) {
  HGLOBAL block = GlobalAlloc(GPTR, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), block);
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_EQ(static_cast<unsigned char*>(block)[15], 0);
  EXPECT_EQ(GlobalFree(block), nullptr);

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_EQ(GlobalFree(empty), nullptr);

  SetLastError(0);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T(1) << 62), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(GlobalMemory, CopyMemoryHandlesOverlap) {
  char text[] = "abcdef";
  RtlMoveMemory(text + 1, text, 4);
  EXPECT_STREQ(text, "aabcdf");
  RtlMoveMemory(nullptr, nullptr, 0);
}

}  // namespace
