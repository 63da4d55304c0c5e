#include <gtest/gtest.h>

#include <windows.h>

#include "InteractionFixture.h"

#include <memory>
#include <string>
#include <vector>

using namespace interactiontest;

namespace {

constexpr UINT_PTR kHoverTimer = 237;

class HoverTracking : public testing::Test {
 protected:
  void SetUp() override {
    hl::freezeClock(true);
    POINT away = outside();
    hl::mouseMove(away.x, away.y);
    window.open();
  }
  void TearDown() override {
    POINT away = outside();
    hl::mouseMove(away.x, away.y);
    if (window.Loaded()) window.Unload();
    hl::runUntilIdle();
    hl::freezeClock(false);
  }
  static void moveTo(POINT p) {
    hl::mouseMove(p.x, p.y);
    hl::runUntilIdle();
  }
  static bool timerRunning(ztButtons_H& b) {
    // A timer that was running is stopped by this check, so only ask once per state.
    return KillTimer(b.hWnd(), kHoverTimer) != FALSE;
  }
  TwoButtonWindow window;
  ztButtons_H& b1 = window.Button1;
  ztButtons_H& b2 = window.Button2;
};

// The moment each MouseOnButton event arrived, on the window system's clock.
struct HoverTimes {
  explicit HoverTimes(ztButtons_H& b) {
    b.MouseOnButton.connect([this](int16_t& on) { (on ? entered : left).push_back(hl::now()); });
  }
  std::vector<DWORD> entered;
  std::vector<DWORD> left;
};

}  // namespace

TEST_F(HoverTracking, EnteringReportsOnceBeforeTheFirstMoveAndLeavingWithinOneTick) {
  EventLog log(b1, true);
  HoverTimes times(b1);
  ztButtonsInspector in(b1);
  POINT c = centre(b1);

  moveTo(c);
  moveTo(POINT{c.x + 3, c.y + 1});
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseMove 0, MouseMove 0");
  EXPECT_EQ(in.Hovering(), -1);
  EXPECT_TRUE(in.StateFlags() & ztButtons_H::PointerOver);
  EXPECT_EQ(GetPropA(b1.hWnd(), "zt_ClassID"), static_cast<HANDLE>(&b1));
  EXPECT_EQ(GetPropA(b1.hWnd(), "zt_TimerID"), reinterpret_cast<HANDLE>(kHoverTimer));

  // Ticks while the pointer stays change nothing.
  hl::runFor(500);
  EXPECT_EQ(times.left.size(), 0u);
  EXPECT_EQ(in.Hovering(), -1);

  const DWORD leftAt = hl::now();
  POINT away = outside();
  moveTo(away);
  hl::runFor(120);
  ASSERT_EQ(times.left.size(), 1u);
  EXPECT_LE(times.left[0] - leftAt, 50u);
  EXPECT_EQ(times.entered.size(), 1u);
  EXPECT_EQ(in.Hovering(), 0);
  EXPECT_FALSE(in.StateFlags() & ztButtons_H::PointerOver);
  EXPECT_FALSE(timerRunning(b1));
  // The properties stay for the next entry; they go with the button.
  EXPECT_EQ(GetPropA(b1.hWnd(), "zt_ClassID"), static_cast<HANDLE>(&b1));

  // A second entry starts it all again.
  moveTo(c);
  EXPECT_EQ(times.entered.size(), 2u);
  EXPECT_TRUE(timerRunning(b1));
}

TEST_F(HoverTracking, TheFacePaintsInTheHoverColourOnEntryAndBackOnExit) {
  b1.setHoverColorLocks(ztButtons_H::LockNone);
  b1.setHoverBackColor(0x0000FF);
  hl::runUntilIdle();
  RECT r = screenRect(b1);
  // Inside the bevel, away from the caption.
  const int x = r.left + 6;
  const int y = r.top + 6;
  EXPECT_EQ(hl::screenPixel(x, y), 0xC0C0C0u);

  moveTo(centre(b1));
  EXPECT_EQ(hl::screenPixel(x, y), 0x0000FFu);

  moveTo(outside());
  hl::runFor(60);
  EXPECT_EQ(hl::screenPixel(x, y), 0xC0C0C0u);
}

TEST_F(HoverTracking, AHoverStartDelayedByCodeStillPaints) {
  ztButtonsInspector in(b1);
  b1.DelayDrawing(vbTrue);
  moveTo(centre(b1));
  EXPECT_EQ(in.DrawingDelayed(), 0);
  in.DrawingDelayed() = vbTrue;
  moveTo(outside());
  hl::runFor(60);
  EXPECT_EQ(in.DrawingDelayed(), 0);
}

TEST_F(HoverTracking, EnteringWithTheLeftButtonDownLooksHeldUntilTheTickThatSeesItLeave) {
  // The window captures a press made beside the button, so the entry with the button down comes
  // as the mouse-move handler would hand it over.
  ztButtonsInspector in(b1);
  hl::mouseMove(centre(b1).x, centre(b1).y);
  in.BeginHover(1);
  EXPECT_EQ(in.Hovering(), -1);
  EXPECT_EQ(in.HeldDown(), -1);
  // Moves while hovering start nothing again, whatever the buttons.
  in.HeldDown() = vbFalse;
  in.BeginHover(1);
  EXPECT_EQ(in.HeldDown(), 0);
  in.HeldDown() = vbTrue;
  moveTo(outside());
  hl::runFor(60);
  EXPECT_EQ(in.HeldDown(), 0);

  // The same start made with another button, or none, does not hold.
  hl::mouseMove(centre(b1).x, centre(b1).y);
  in.BeginHover(2);
  EXPECT_EQ(in.Hovering(), -1);
  EXPECT_EQ(in.HeldDown(), 0);
}

TEST_F(HoverTracking, LeavingWhilePressedClearsTheHoldButKeepsThePressForTheRelease) {
  EventLog log(b1);
  ztButtonsInspector in(b1);
  POINT c = centre(b1);
  moveTo(c);
  hl::mouseDown();
  hl::runUntilIdle();
  ASSERT_TRUE(in.StateFlags() & ztButtons_H::Pressed);
  ASSERT_EQ(in.HeldDown(), -1);

  moveTo(outside());
  hl::runFor(60);
  EXPECT_EQ(in.HeldDown(), 0);
  EXPECT_FALSE(in.StateFlags() & ztButtons_H::PointerOver);
  EXPECT_TRUE(in.StateFlags() & ztButtons_H::Pressed);
  hl::mouseUp();
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseOnButton off, MouseUp 1 0");
  EXPECT_FALSE(in.StateFlags() & ztButtons_H::Pressed);
}

TEST_F(HoverTracking, ATickFindsTheButtonThroughItsWindowAndActsOnlyOnceThePointerLeft) {
  EventLog log(b1);
  ztButtonsInspector in(b1);
  moveTo(centre(b1));
  // Ticks delivered straight to the callback, as the system would, with a foreign identifier:
  // the one in the window's property is the one that gets stopped.
  HoverTimerProc(b1.hWnd(), WM_TIMER, 9999, 0);
  EXPECT_EQ(in.Hovering(), -1);
  hl::mouseMove(outside().x, outside().y);
  HoverTimerProc(b1.hWnd(), WM_TIMER, 9999, 0);
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseOnButton off");
  EXPECT_EQ(in.Hovering(), 0);
  EXPECT_FALSE(timerRunning(b1));

  // A window covering the button counts as leaving, even one of the button's own children.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "HoverCover";
  RegisterClassA(&wc);
  HWND cover = CreateWindowExA(0, "HoverCover", "", WS_CHILD | WS_VISIBLE, 0, 0, 81, 33, b1.hWnd(), nullptr,
                               nullptr, nullptr);
  ASSERT_NE(cover, nullptr);
  moveTo(centre(b1));
  in.BeginHover(0);
  EXPECT_EQ(in.Hovering(), 0);
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseOnButton off");
  DestroyWindow(cover);
}

TEST_F(HoverTracking, AStrayTimerOnAWindowThatNamesNoButtonStopsItself) {
  EventLog log(b2);
  ASSERT_NE(SetTimer(b2.hWnd(), 99, 50, HoverTimerProc), 0u);
  hl::runFor(60);
  EXPECT_EQ(KillTimer(b2.hWnd(), 99), FALSE);
  EXPECT_TRUE(log.events.empty());
}

TEST_F(HoverTracking, TwoButtonsHoveredInTurnRunTheirOwnTimers) {
  HoverTimes t1(b1);
  HoverTimes t2(b2);
  moveTo(centre(b1));
  const DWORD crossed = hl::now();
  moveTo(centre(b2));
  hl::runFor(60);
  ASSERT_EQ(t1.left.size(), 1u);
  EXPECT_LE(t1.left[0] - crossed, 50u);
  EXPECT_EQ(t2.entered.size(), 1u);
  EXPECT_TRUE(t2.left.empty());
  EXPECT_FALSE(timerRunning(b1));
  EXPECT_EQ(GetPropA(b2.hWnd(), "zt_ClassID"), static_cast<HANDLE>(&b2));
  moveTo(outside());
  hl::runFor(60);
  EXPECT_EQ(t2.left.size(), 1u);
}

TEST_F(HoverTracking, TheEndOfAHoveredButtonLeavesNoTimerAndNoProperty) {
  ztButtonsInspector in(b1);
  moveTo(centre(b1));
  ASSERT_EQ(in.Hovering(), -1);
  b1.UserControl_Terminate();
  EXPECT_EQ(GetPropA(b1.hWnd(), "zt_ClassID"), nullptr);
  EXPECT_EQ(GetPropA(b1.hWnd(), "zt_TimerID"), nullptr);
  EXPECT_FALSE(timerRunning(b1));
  EXPECT_EQ(in.Hovering(), 0);

  // Also when Hovering was cleared while the timer ran (the designer's borrowed hover look does).
  ztButtonsInspector in2(b2);
  moveTo(centre(b2));
  in2.Hovering() = vbFalse;
  b2.UserControl_Terminate();
  EXPECT_FALSE(timerRunning(b2));
  EXPECT_EQ(GetPropA(b2.hWnd(), "zt_ClassID"), nullptr);
}

namespace {

// A window whose button can be destroyed while the window lives on.
class DisposableButtonWindow : public Form {
 public:
  DisposableButtonWindow()
      : Form("Begin Form frmDisposable\n"
             "   ClientWidth = 3000\n"
             "   ClientHeight = 1500\n"
             "End\n") {}
  ~DisposableButtonWindow() override {
    if (Loaded()) Unload();
  }
  std::unique_ptr<ztButtons_H> button = std::make_unique<ztButtons_H>(this, "Button1");
};

}  // namespace

TEST(HoverTrackingEnd, AButtonDestroyedWhileHoveredGetsNoMoreTicks) {
  hl::freezeClock(true);
  {
    DisposableButtonWindow window;
    window.Load();
    window.button->Move(300, 300, 1215, 495);
    window.Show();
    hl::runUntilIdle();
    POINT c = centre(*window.button);
    hl::mouseMove(c.x, c.y);
    hl::runUntilIdle();
    HWND gone = window.button->hWnd();
    ASSERT_NE(GetPropA(gone, "zt_ClassID"), nullptr);
    window.button.reset();
    EXPECT_FALSE(IsWindow(gone));
    // A surviving timer would reach the freed button here (the sanitizer build reports it).
    hl::mouseMove(outside().x, outside().y);
    EXPECT_GE(hl::runFor(200), 0);
  }
  hl::runUntilIdle();
  hl::freezeClock(false);
}

TEST_F(HoverTracking, AWindowUnloadedFromTheHoverEventsEndsTheTrackingSafely) {
  ztButtonsInspector in(b1);
  b1.MouseOnButton.connect([&](int16_t& on) {
    if (on) window.Unload();
  });
  moveTo(centre(b1));
  EXPECT_FALSE(window.Loaded());
  EXPECT_EQ(in.Hovering(), 0);
  hl::runFor(200);

  // Once more, unloading on the way out.
  moveTo(outside());
  window.open();
  ztButtonsInspector in2(b2);
  int offs = 0;
  b2.MouseOnButton.connect([&](int16_t& on) {
    if (!on && ++offs == 1) window.Unload();
  });
  moveTo(centre(b2));
  ASSERT_EQ(in2.Hovering(), -1);
  moveTo(outside());
  hl::runFor(200);
  EXPECT_FALSE(window.Loaded());
  EXPECT_EQ(offs, 1);
  EXPECT_EQ(in2.Hovering(), 0);
}
