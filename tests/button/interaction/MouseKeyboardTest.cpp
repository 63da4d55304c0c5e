#include <gtest/gtest.h>

#include <windows.h>

#include "InteractionFixture.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace interactiontest;

namespace {

constexpr int16_t kDefaultFrame = 0x0001;
constexpr int16_t kPressed = 0x0002;
constexpr int16_t kPointerOver = 0x0004;

class MouseKeyboard : public testing::Test {
 protected:
  void SetUp() override {
    hl::freezeClock(true);
    hl::mouseMove(outside().x, outside().y);
    w.open();
    b.setCaption("&Ok");
    b.SetFocus();
    hl::runUntilIdle();
  }
  void TearDown() override {
    disconnectEvents(w.Button1);
    disconnectEvents(w.Button2);
    hl::mouseMove(outside().x, outside().y);
    hl::runFor(200);
    hl::freezeClock(false);
  }
  void clickOn(ztButtons_H& target, hl::Button button = hl::Button::Left) {
    // Apart in time, so that two clicks never make a double click.
    hl::advanceTime(1000);
    POINT c = centre(target);
    hl::click(c.x, c.y, button);
    hl::runUntilIdle();
  }
  int16_t flags() { return in.StateFlags(); }

  TwoButtonWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(MouseKeyboard, ALeftPressShowsPressedCapturesAndItsReleaseClicks) {
  EventLog log(b);
  int16_t flagsAtDown = 0, heldAtDown = 0;
  HWND captureAtDown = nullptr;
  b.MouseDown.connect([&](int16_t&, int16_t&, float&, float&) {
    flagsAtDown = flags();
    heldAtDown = in.HeldDown();
    captureAtDown = GetCapture();
  });
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::mouseDown();
  hl::runUntilIdle();
  EXPECT_EQ(flagsAtDown & kPressed, kPressed);
  EXPECT_EQ(heldAtDown, -1);
  EXPECT_EQ(captureAtDown, b.hWnd());
  // The pointer came over first, so the press shows pushed in.
  EXPECT_EQ(flags() & (kPressed | kPointerOver), kPressed | kPointerOver);

  hl::mouseUp();
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseUp 1 0, Click");
  EXPECT_EQ(flags() & kPressed, 0);
  EXPECT_EQ(in.HeldDown(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(in.LastButton(), 1);
}

TEST_F(MouseKeyboard, OtherMouseButtonsReportButNeverPressOrClick) {
  b.setMode(1);
  EventLog log(b);
  int16_t flagsAtDown = -1;
  b.MouseDown.connect([&](int16_t&, int16_t&, float&, float&) { flagsAtDown = flags(); });
  clickOn(b, hl::Button::Right);
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 2 0, MouseUp 2 0");
  EXPECT_EQ(flagsAtDown & kPressed, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(b.Value(), 0);
  EXPECT_EQ(in.LastButton(), 2);

  log.events.clear();
  clickOn(b, hl::Button::Middle);
  EXPECT_EQ(log.joined(), "MouseDown 4 0, MouseUp 4 0");
  EXPECT_EQ(b.Value(), 0);
}

TEST_F(MouseKeyboard, CheckButtonsToggleBeforeTheirClickAndSetOptionButtonsStaySilent) {
  b.setMode(1);
  std::vector<int16_t> valueAtClick;
  b.Click.connect([&] { valueAtClick.push_back(b.Value()); });
  clickOn(b);
  clickOn(b);
  EXPECT_EQ(valueAtClick, (std::vector<int16_t>{-1, 0}));

  b.setMode(2);
  valueAtClick.clear();
  clickOn(b);
  EXPECT_EQ(valueAtClick, (std::vector<int16_t>{-1}));
  clickOn(b);  // already set: no change, no Click
  EXPECT_EQ(valueAtClick.size(), 1u);
  EXPECT_EQ(b.Value(), -1);
}

TEST_F(MouseKeyboard, ASetOptionButtonReleasedNoLongerLooksPressed) {
  auto picture = [&] {
    std::vector<COLORREF> all;
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 81; ++x) all.push_back(in.surface(x, y));
    return all;
  };
  // The rounded style shows a set option button pushed in differently while the pointer is on it.
  b.setMode(2);
  b.setValue(-1);
  b.setButtonStyle(2);
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::runUntilIdle();
  EventLog log(b);
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  const auto pressedLook = picture();
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();
  const auto shown = picture();
  b.Refresh();
  const auto fresh = picture();
  EXPECT_NE(pressedLook, fresh);  // the looks differ, so the next comparison means something
  EXPECT_EQ(shown, fresh);
  EXPECT_EQ(b.Value(), -1);
  EXPECT_EQ(log.joined(), "KeyDown 32, KeyPress 32, KeyUp 32");

  // The same with the mouse.
  hl::mouseDown();
  hl::runUntilIdle();
  hl::mouseUp();
  hl::runUntilIdle();
  const auto afterClick = picture();
  b.Refresh();
  EXPECT_EQ(afterClick, picture());
}

TEST_F(MouseKeyboard, AHandlerThatChangesTheReleasedButtonDecidesTheClick) {
  EventLog log(b);
  b.MouseUp.connect([](int16_t& button, int16_t&, float&, float&) { button = 2; });
  clickOn(b);
  EXPECT_EQ(in.LastButton(), 2);
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseUp 1 0");
}

TEST_F(MouseKeyboard, CaptureKeepsThePressWhileThePointerLeavesAndComesBack) {
  EventLog log(b);
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::mouseDown();
  hl::runUntilIdle();
  hl::mouseMove(outside().x, outside().y);
  hl::runFor(120);
  // The hover ended: not over, not held, but still pressed, and the mouse still ours.
  EXPECT_EQ(flags() & (kPressed | kPointerOver), kPressed);
  EXPECT_EQ(in.HeldDown(), 0);
  EXPECT_EQ(in.Hovering(), 0);
  EXPECT_EQ(GetCapture(), b.hWnd());

  // Released off the button: the release arrives here, and no click follows.
  hl::mouseUp();
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseOnButton off, MouseUp 1 0");
  EXPECT_EQ(flags() & kPressed, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseKeyboard, MouseMovesReachTheWindowAfterTheHoverStart) {
  EventLog log(b, true);
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::runUntilIdle();
  hl::mouseMove(c.x + 1, c.y);
  hl::runUntilIdle();
  ASSERT_GE(log.events.size(), 3u);
  EXPECT_EQ(log.events[0], "MouseOnButton on");
  EXPECT_EQ(log.events[1], "MouseMove 0");
  EXPECT_EQ(log.events[2], "MouseMove 0");
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "MouseOnButton on"), 1);
}

TEST_F(MouseKeyboard, SpaceHeldPressesOnceAndItsReleaseClicksBeforeKeyUp) {
  EventLog log(b);
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  // Pressed without the pointer: pushed in for its paint, but not left marked as over.
  EXPECT_EQ(flags() & (kPressed | kPointerOver), kPressed);
  EXPECT_EQ(in.HeldDown(), -1);
  in.HeldDown() = 0;  // a repeat must not press again, so it must not hold again either
  hl::keyDown(VK_SPACE);
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(in.HeldDown(), 0);
  EXPECT_EQ(flags() & kPressed, kPressed);
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(),
            "KeyDown 32, KeyPress 32, KeyDown 32, KeyPress 32, KeyDown 32, KeyPress 32, Click, KeyUp 32");
  EXPECT_EQ(flags() & (kPressed | kPointerOver), 0);
  EXPECT_EQ(in.LastButton(), 1);
}

TEST_F(MouseKeyboard, SpaceOnACheckButtonReportsTheKeyBeforeTheClick) {
  b.setMode(1);
  EventLog log(b);
  int16_t valueAtKeyUp = 0;
  b.KeyUp.connect([&](int16_t&, int16_t&) { valueAtKeyUp = b.Value(); });
  hl::pressKey(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "KeyDown 32, KeyPress 32, KeyUp 32, Click");
  EXPECT_EQ(valueAtKeyUp, 0);
  EXPECT_EQ(b.Value(), -1);
}

TEST_F(MouseKeyboard, SpaceWhileHoveringKeepsThePointerOver) {
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::runUntilIdle();
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(flags() & (kPressed | kPointerOver), kPressed | kPointerOver);
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(flags() & (kPressed | kPointerOver), kPointerOver);
}

// The container's own window procedure, spied on for the key-down messages posted to it.
std::vector<std::pair<WPARAM, LPARAM>> g_posted;
WNDPROC g_formProc = nullptr;
LRESULT CALLBACK SpyOnKeys(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN) g_posted.emplace_back(wp, lp);
  return CallWindowProcA(g_formProc, h, m, wp, lp);
}

TEST_F(MouseKeyboard, ArrowsGoToTheContainerWithTheirScanCodesAndAreNeverReported) {
  g_posted.clear();
  g_formProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(w.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SpyOnKeys)));
  EventLog log(b);
  for (UINT vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) hl::pressKey(vk);
  hl::runUntilIdle();
  SetWindowLongPtrA(w.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_formProc));
  EXPECT_EQ(log.joined(), "");
  const std::vector<std::pair<WPARAM, LPARAM>> expected = {
      {37, 0x004B0001}, {38, 0x00480001}, {39, 0x004D0001}, {40, 0x00500001}};
  EXPECT_EQ(g_posted, expected);
}

TEST_F(MouseKeyboard, AnArrowReleasedOnAnUnsetOptionButtonSelectsIt) {
  b.setMode(2);
  EventLog log(b);
  hl::pressKey(VK_DOWN);
  hl::runUntilIdle();
  EXPECT_EQ(b.Value(), -1);
  EXPECT_EQ(log.joined(), "Click");
  hl::pressKey(VK_DOWN);  // set already: nothing more
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "Click");
}

TEST_F(MouseKeyboard, ShiftGoesDownButNeverUp) {
  EventLog log(b);
  hl::pressKey(VK_SHIFT);
  hl::pressKey('Q');
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "KeyDown 16, KeyDown 81, KeyPress 113, KeyUp 81");
}

TEST_F(MouseKeyboard, EnterAndEscapeClickCommandButtonsOnly) {
  b.setCancel(true);
  EventLog log(b);
  hl::pressKey(VK_RETURN);
  hl::pressKey(VK_ESCAPE);
  hl::runUntilIdle();
  // The key's release still reaches the focused button.
  EXPECT_EQ(log.joined(), "Click, KeyUp 13, Click, KeyUp 27");

  b.setMode(1);
  log.events.clear();
  hl::pressKey(VK_RETURN);
  hl::pressKey(VK_ESCAPE);
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "KeyUp 13, KeyUp 27");
  EXPECT_EQ(b.Value(), 0);
}

TEST_F(MouseKeyboard, TheAccessKeyClicksFromAnywhereInTheWindow) {
  b.setMode(1);
  w.Button2.SetFocus();
  hl::runUntilIdle();
  EventLog log(b);
  hl::altKey('O');
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "Click");
  EXPECT_EQ(b.Value(), -1);
  EXPECT_EQ(in.LastButton(), 1);
}

TEST_F(MouseKeyboard, ADoubleClickIsFollowedByAMadeUpPressInPixels) {
  EventLog log(b);
  int16_t flagsAtSecondDown = 0;
  int downs = 0;
  b.MouseDown.connect([&](int16_t&, int16_t&, float&, float&) {
    if (++downs == 2) flagsAtSecondDown = flags();
  });
  // A handler's change of the reported button does not reach the button.
  b.DoubleClick.connect([](int16_t& button) { button = 2; });
  POINT c = centre(b);
  RECT r = screenRect(b);
  hl::mouseMove(c.x, c.y);
  hl::mouseDown();
  hl::mouseUp();
  hl::mouseDown();
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseUp 1 0, Click, DoubleClick 1, MouseDown 1 0");
  EXPECT_EQ(log.lastX, static_cast<float>(c.x - r.left));
  EXPECT_EQ(log.lastY, static_cast<float>(c.y - r.top));
  EXPECT_EQ(flagsAtSecondDown & kPressed, kPressed);
  EXPECT_EQ(in.LastButton(), -1);
  EXPECT_EQ(GetCapture(), b.hWnd());

  hl::mouseUp();
  hl::runUntilIdle();
  // The release of a double click makes no second Click.
  EXPECT_EQ(log.events.back(), "MouseUp 1 0");
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "Click"), 1);
  EXPECT_EQ(flags() & kPressed, 0);
}

TEST_F(MouseKeyboard, ADoubleClickAfterAnotherButtonOnlyReportsThePress) {
  EventLog log(b);
  in.LastButton() = 2;
  b.UserControl_DblClick();
  EXPECT_EQ(log.joined(), "DoubleClick 2, MouseDown 1 0");
  EXPECT_EQ(flags() & kPressed, 0);
  EXPECT_EQ(in.LastButton(), 2);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseKeyboard, UnmatchedReleasesLeaveTheFlagsConsistent) {
  EventLog log(b);
  // A release whose press went elsewhere.
  POINT c = centre(b);
  hl::mouseMove(c.x, c.y);
  hl::mouseUp();
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseUp 1 0");
  EXPECT_EQ(flags() & kPressed, 0);
  EXPECT_EQ(in.HeldDown(), 0);

  // A key up without its key down: reported, but nothing is released or clicked.
  log.events.clear();
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "KeyUp 32");
  EXPECT_EQ(flags() & kPressed, 0);

  // A letter released while the mouse still holds the button: held no more, still pressed.
  hl::mouseDown();
  hl::runUntilIdle();
  hl::keyUp('A');
  hl::runUntilIdle();
  EXPECT_EQ(flags() & kPressed, kPressed);
  EXPECT_EQ(in.HeldDown(), 0);
  hl::mouseUp();
  hl::runUntilIdle();
  EXPECT_EQ(flags() & kPressed, 0);
}

TEST_F(MouseKeyboard, ADisabledButtonIgnoresADoubleClick) {
  b.setEnabled(0);
  EventLog log(b);
  POINT c = centre(b);
  hl::doubleClick(c.x, c.y);
  hl::runUntilIdle();
  EXPECT_EQ(log.joined(), "");
  EXPECT_EQ(flags() & (kPressed | kPointerOver), 0);
  EXPECT_EQ(in.HeldDown(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseKeyboard, AnOptionButtonTakingTheFocusSelectsItselfOnlyInAnEmptyGroup) {
  ztButtons_H& other = w.Button2;
  b.setMode(2);
  other.setMode(2);
  EventLog log(other);
  other.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(other.Value(), -1);
  EXPECT_EQ(log.joined(), "Click");

  // Now a member is set: the focus moving back does not select the first button.
  b.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(b.Value(), 0);
  EXPECT_EQ(other.Value(), -1);
}

TEST_F(MouseKeyboard, TheDefaultFrameFollowsTheWindowsHintAndShowFocusRect) {
  ztButtons_H& other = w.Button2;
  EXPECT_EQ(flags() & kDefaultFrame, kDefaultFrame);
  other.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(flags() & kDefaultFrame, 0);

  // At run time a button that hides its focus rectangle shows no frame either.
  b.setShowFocusRect(0);
  b.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(flags() & kDefaultFrame, 0);
}

TEST(MouseKeyboardDesign, InTheDesignerTheFrameFollowsTheHintAloneAndAPictureButtonBorrowsItsHover) {
  TwoButtonWindow w(true);
  w.open();
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in(b);
  buttontest::MessageRecorder boxes;
  b.setPicture(buttontest::bitmapPicture(20, 20));
  b.setButtonShape(7);
  ASSERT_EQ(b.ButtonShape(), 7);
  b.setShowFocusRect(0);
  b.setDefault(true);
  in.StateFlags() = 0;
  b.UserControl_AmbientChanged("displayasdefault");
  EXPECT_EQ(in.StateFlags() & kDefaultFrame, kDefaultFrame);
  EXPECT_EQ(in.Hovering(), 0);
  b.setDefault(false);
  w.Button2.setDefault(true);
  b.UserControl_AmbientChanged("DISPLAYASDEFAULT");
  EXPECT_EQ(in.StateFlags() & kDefaultFrame, 0);
  EXPECT_EQ(in.Hovering(), 0);
}

TEST_F(MouseKeyboard, DragAndDropNotificationsPassThroughBothWays) {
  DataObject data;
  data.SetData("payload");
  std::vector<std::string> seen;
  b.OLECompleteDrag.connect([&](int32_t& e) { seen.push_back("complete " + std::to_string(e)); e = 7; });
  b.OLEDragDrop.connect([&](DataObject& d, int32_t& e, int16_t& bt, int16_t& sh, float& x, float& y) {
    seen.push_back("drop " + d.GetData() + " " + std::to_string(e) + " " + std::to_string(bt) + " " +
                   std::to_string(sh) + " " + std::to_string(static_cast<int>(x)) + " " +
                   std::to_string(static_cast<int>(y)));
    e = 0;
  });
  b.OLEDragOver.connect([&](DataObject&, int32_t& e, int16_t&, int16_t&, float&, float&, int16_t& st) {
    seen.push_back("over " + std::to_string(e) + " " + std::to_string(st));
    e = 2;
  });
  b.OLEGiveFeedback.connect([&](int32_t& e, int16_t& def) {
    seen.push_back("feedback " + std::to_string(e) + " " + std::to_string(def));
    def = 0;
  });
  b.OLESetData.connect([&](DataObject& d, int16_t& f) {
    seen.push_back("setdata " + std::to_string(f));
    d.SetData("more", 2);
  });
  b.OLEStartDrag.connect([&](DataObject&, int32_t& allowed) {
    seen.push_back("start " + std::to_string(allowed));
    allowed = 1;
  });

  int32_t effect = 3;
  b.UserControl_OLECompleteDrag(effect);
  EXPECT_EQ(effect, 7);
  int16_t button = 1, shift = 2, state = 1, format = 2;
  float x = 4, y = 5;
  effect = 1;
  b.UserControl_OLEDragDrop(data, effect, button, shift, x, y);
  EXPECT_EQ(effect, 0);
  effect = 1;
  b.UserControl_OLEDragOver(data, effect, button, shift, x, y, state);
  EXPECT_EQ(effect, 2);
  bool defaultCursors = true;
  b.UserControl_OLEGiveFeedback(effect, defaultCursors);
  EXPECT_FALSE(defaultCursors);
  b.UserControl_OLESetData(data, format);
  EXPECT_EQ(data.GetData(2), "more");
  int32_t allowed = 3;
  b.UserControl_OLEStartDrag(data, allowed);
  EXPECT_EQ(allowed, 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"complete 3", "drop payload 1 1 2 4 5", "over 1 1", "feedback 2 -1",
                                            "setdata 2", "start 3"}));
}

// ---- A window that unloads itself from the button's events ----

class UnloadingHandlers : public MouseKeyboard {};

TEST_F(UnloadingHandlers, AClickThatUnloadsTheWindowEndsTheHandlersSafely) {
  const long before = gdiObjects();
  EventLog log(b);
  b.Click.connect([this] { w.Unload(); });
  clickOn(b);
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(log.joined(), "MouseOnButton on, MouseDown 1 0, MouseUp 1 0, Click");
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_LE(gdiObjects(), before);
}

TEST_F(UnloadingHandlers, SpaceThatUnloadsTheWindowReportsNoKeyUpAfterwards) {
  EventLog log(b);
  b.Click.connect([this] { w.Unload(); });
  hl::pressKey(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(log.joined(), "KeyDown 32, KeyPress 32, Click");
}

TEST_F(UnloadingHandlers, ACheckButtonsKeyUpThatUnloadsTheWindowClicksNoMore) {
  b.setMode(1);
  EventLog log(b);
  b.KeyUp.connect([this](int16_t&, int16_t&) { w.Unload(); });
  hl::pressKey(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(log.joined(), "KeyDown 32, KeyPress 32, KeyUp 32");
}

TEST_F(UnloadingHandlers, ADoubleClickThatUnloadsTheWindowMakesUpNoPress) {
  EventLog log(b);
  b.DoubleClick.connect([this](int16_t&) { w.Unload(); });
  POINT c = centre(b);
  hl::doubleClick(c.x, c.y);
  hl::runUntilIdle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(log.events.back(), "DoubleClick 1");
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UnloadingHandlers, AMouseDownThatUnloadsTheWindowLeavesNoCapture) {
  b.MouseDown.connect([this](int16_t&, int16_t&, float&, float&) { w.Unload(); });
  POINT c = centre(b);
  hl::click(c.x, c.y);
  hl::runUntilIdle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
