#include <gtest/gtest.h>

#include "UserTestSupport.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

std::vector<std::pair<HWND, UINT_PTR>> ticks;

void CALLBACK recordTick(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
  EXPECT_EQ(msg, static_cast<UINT>(WM_TIMER));
  ticks.emplace_back(hwnd, id);
}

void CALLBACK killSelf(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  ticks.emplace_back(hwnd, id);
  EXPECT_TRUE(KillTimer(hwnd, id));
}

class Timers : public testing::Test {
 protected:
  void SetUp() override {
    reset();
    ticks.clear();
  }
  void TearDown() override { handlers().clear(); }
};

TEST_F(Timers, RunOnlyInsideAMessageLoop) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  EXPECT_EQ(SetTimer(w, 237, 50, recordTick), 237u);
  hl::advanceTime(200);
  EXPECT_TRUE(ticks.empty());
  hl::runUntilIdle();
  ASSERT_EQ(ticks.size(), 1u);  // a late timer fires once, not once per missed interval
  EXPECT_EQ(ticks[0], std::make_pair(w, UINT_PTR{237}));
  hl::runFor(500);
  EXPECT_EQ(ticks.size(), 11u);
  EXPECT_TRUE(KillTimer(w, 237));
  hl::runFor(500);
  EXPECT_EQ(ticks.size(), 11u);
  SetLastError(0);
  EXPECT_FALSE(KillTimer(w, 237));
  DestroyWindow(w);
}

TEST_F(Timers, ACallbackMayKillItsOwnTimer) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  SetTimer(w, 7, 20, killSelf);
  hl::runFor(300);
  EXPECT_EQ(ticks.size(), 1u);
  DestroyWindow(w);
}

TEST_F(Timers, SettingAnExistingIdentifierReplacesIt) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  SetTimer(w, 5, 10000, recordTick);
  SetTimer(w, 5, 100, nullptr);  // now no callback: WM_TIMER goes to the window
  hl::runFor(250);
  EXPECT_TRUE(ticks.empty());
  std::vector<WPARAM> ids;
  for (const Logged& l : log())
    if (l.hwnd == w && l.message == WM_TIMER) ids.push_back(l.wParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{5, 5}));
  DestroyWindow(w);
}

TEST_F(Timers, ATimerOfADestroyedWindowIsGoneAndNeverCalled) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  SetTimer(w, 1, 10, recordTick);
  hl::advanceTime(50);
  DestroyWindow(w);
  hl::runFor(100);
  EXPECT_TRUE(ticks.empty());
  SetLastError(0);
  EXPECT_FALSE(KillTimer(w, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  // A tick already taken from the queue is not run once its timer is killed.
  HWND v = topWindow(0, 0, 10, 10, WS_POPUP);
  SetTimer(v, 2, 10, recordTick);
  hl::advanceTime(20);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(v, 2);
  DispatchMessageA(&m);
  EXPECT_TRUE(ticks.empty());
  DestroyWindow(v);
}

TEST_F(Timers, ThreadTimersGetIdentifiersOfTheirOwn) {
  UINT_PTR a = SetTimer(nullptr, 0, 30, recordTick);
  UINT_PTR b = SetTimer(nullptr, 0, 30, recordTick);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(SetTimer(nullptr, a, 1000, recordTick), a);  // replaced, not added
  hl::runFor(100);
  for (auto& [hwnd, id] : ticks) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(id, b);
  }
  EXPECT_EQ(ticks.size(), 3u);
  EXPECT_TRUE(KillTimer(nullptr, a));
  EXPECT_TRUE(KillTimer(nullptr, b));
}

TEST_F(Timers, GetMessageWaitsForTheNextTimer) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  SetTimer(w, 3, 30, recordTick);
  MSG m;
  DWORD start = hl::now();
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_GE(hl::now() - start, 25u);
  DispatchMessageA(&m);
  EXPECT_EQ(ticks.size(), 1u);
  DestroyWindow(w);
}

}  // namespace
