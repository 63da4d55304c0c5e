#include <gtest/gtest.h>

#include "UserTestSupport.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

class MessageQueue : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { handlers().clear(); }
};

TEST_F(MessageQueue, FiltersLeaveOtherMessagesWaitingInOrder) {
  HWND a = topWindow(0, 0, 10, 10, WS_POPUP);
  HWND b = topWindow(0, 0, 10, 10, WS_POPUP);
  HWND child = childWindow(a, 0, 0, 5, 5, WS_CHILD);
  PostMessageA(b, WM_USER, 1, 0);
  PostMessageA(child, WM_USER, 2, 0);
  PostMessageA(a, WM_USER + 5, 3, 0);
  PostMessageA(nullptr, WM_USER, 4, 0);
  MSG m;
  // A window filter takes the window's own messages and its children's.
  ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 2u);
  ASSERT_TRUE(PeekMessageA(&m, a, WM_USER + 1, WM_USER + 9, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));  // thread messages only
  EXPECT_EQ(m.wParam, 4u);
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesAndBeforePainting) {
  HWND w = topWindow(0, 0, 10, 10);
  InvalidateRect(w, nullptr, TRUE);
  PostQuitMessage(3);
  PostMessageA(w, WM_USER, 0, 0);
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  // WM_QUIT ignores the filter.
  EXPECT_EQ(GetMessageA(&m, nullptr, WM_PAINT, WM_PAINT), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  DispatchMessageA(&m);
  DestroyWindow(w);
}

TEST_F(MessageQueue, SentMessagesRunAtOnceAndPostedOnesWaitForTheLoop) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  handlers()[WM_USER] = [](HWND, UINT, WPARAM wp, LPARAM lp) -> LRESULT {
    return static_cast<LRESULT>(wp + lp);
  };
  EXPECT_EQ(SendMessageA(w, WM_USER, 2, 40), 42);
  PostMessageA(w, WM_USER, 1, 1);
  EXPECT_EQ(countOf(w, WM_USER), 1);
  EXPECT_EQ(hl::runUntilIdle(), 1);
  EXPECT_EQ(countOf(w, WM_USER), 2);
  // Messages posted to a window that is then destroyed are dropped by DispatchMessage.
  PostMessageA(w, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  DestroyWindow(w);
  log().clear();
  SetLastError(0);
  EXPECT_EQ(DispatchMessageA(&m), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_TRUE(log().empty());
}

TEST_F(MessageQueue, PointerMovesAreMergedAndCarryTimeAndPosition) {
  HWND w = topWindow(0, 0, 100, 100);
  hl::runUntilIdle();
  log().clear();
  hl::mouseMove(10, 10);
  hl::mouseMove(20, 20);
  hl::mouseMove(30, 25);
  hl::advanceTime(5);
  hl::runUntilIdle();
  ASSERT_EQ(countOf(w, WM_MOUSEMOVE), 1);
  for (const Logged& l : log())
    if (l.message == WM_MOUSEMOVE) {
      EXPECT_EQ(l.lParam, MAKELPARAM(30, 25));
    }
  DWORD pos = GetMessagePos();
  EXPECT_EQ(LOWORD(pos), 30);
  EXPECT_EQ(HIWORD(pos), 25);
  EXPECT_LE(GetMessageTime(), hl::now());
  DestroyWindow(w);
}

}  // namespace
