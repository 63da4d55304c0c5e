#include <gtest/gtest.h>

#include <windows.h>

#include "InteractionFixture.h"

#include <string>

using namespace interactiontest;

namespace {

constexpr int16_t kDisplaced = 0x0400;

struct Offset {
  int dx;
  int dy;
};

class CustomClick : public testing::Test {
 protected:
  void SetUp() override {
    hl::freezeClock(true);
    hl::mouseMove(outside().x, outside().y);
    w.open();
    b.setButtonStyle(2);
    b.setCaption("&Ok");
    hl::runUntilIdle();
  }
  void TearDown() override {
    disconnectEvents(b);
    hl::mouseUp();
    hl::mouseMove(outside().x, outside().y);
    hl::runFor(200);
    hl::freezeClock(false);
  }
  void pointAtButton() {
    POINT c = centre(b);
    hl::mouseMove(c.x, c.y);
    hl::runUntilIdle();
  }
  void press() {
    hl::mouseDown();
    hl::runUntilIdle();
  }
  void release() {
    hl::mouseUp();
    hl::runUntilIdle();
  }
  static bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  static std::string text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }

  TwoButtonWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(CustomClick, EachDirectionMovesThePressedButtonAndTheReleaseRestoresIt) {
  const Offset offsets[9] = {{0, 0}, {0, -1}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}, {1, 0}, {0, 1}, {-1, 0}};
  for (int direction = 1; direction <= 8; ++direction) {
    SCOPED_TRACE("CustomClick " + std::to_string(direction));
    b.setCustomClick(direction);
    const RECT home = placeInWindow(b);
    pointAtButton();
    press();
    const RECT moved = placeInWindow(b);
    const Offset o = offsets[direction];
    // Position and size change by the same offset.
    const RECT expected{home.left + o.dx, home.top + o.dy, home.right + 2 * o.dx, home.bottom + 2 * o.dy};
    EXPECT_TRUE(same(moved, expected)) << text(moved) << " expected " << text(expected);
    EXPECT_EQ(in.StateFlags() & kDisplaced, kDisplaced);
    release();
    EXPECT_TRUE(same(placeInWindow(b), home)) << text(placeInWindow(b)) << " expected " << text(home);
    EXPECT_EQ(in.StateFlags() & kDisplaced, 0);
    hl::advanceTime(1000);  // the next press is no double click
  }
}

TEST_F(CustomClick, APressedButtonRepaintsOnlyOnceItHasMovedIntoPlace) {
  b.setCustomClick(4);
  pointAtButton();
  press();
  // The face the window shows is the one composed before the move, copied after it.
  const COLORREF inside = GetPixel(b.UserControl.hDC(), 30, 12);
  EXPECT_EQ(inside, in.buffer(30, 12));
  release();
}

TEST_F(CustomClick, DraggingOffMovesBackAndDraggingBackOnMovesAgain) {
  b.setCustomClick(7);
  const RECT home = placeInWindow(b);
  pointAtButton();
  press();
  ASSERT_EQ(placeInWindow(b).top, home.top + 1);

  hl::mouseMove(outside().x, outside().y);
  hl::runFor(120);  // the hover poll notices that the pointer left
  EXPECT_TRUE(same(placeInWindow(b), home)) << text(placeInWindow(b));
  EXPECT_EQ(in.StateFlags() & kDisplaced, 0);

  pointAtButton();
  EXPECT_EQ(placeInWindow(b).top, home.top + 1);
  EXPECT_EQ(in.StateFlags() & kDisplaced, kDisplaced);

  release();
  EXPECT_TRUE(same(placeInWindow(b), home)) << text(placeInWindow(b));
}

TEST_F(CustomClick, CheckAndOptionButtonsAndNoMoveNeverMove) {
  for (int mode : {1, 2}) {
    SCOPED_TRACE("Mode " + std::to_string(mode));
    b.setMode(mode);
    b.setCustomClick(4);
    const RECT home = placeInWindow(b);
    pointAtButton();
    press();
    EXPECT_TRUE(same(placeInWindow(b), home)) << text(placeInWindow(b));
    EXPECT_EQ(in.StateFlags() & kDisplaced, 0);
    release();
    hl::advanceTime(1000);
  }
  b.setMode(0);
  b.setCustomClick(0);
  const RECT home = placeInWindow(b);
  pointAtButton();
  press();
  EXPECT_TRUE(same(placeInWindow(b), home));
  EXPECT_EQ(in.StateFlags() & kDisplaced, 0);
  release();
}

TEST_F(CustomClick, SpaceMovesAButtonOnlyWhileThePointerIsOverIt) {
  b.setCustomClick(6);
  b.SetFocus();
  hl::runUntilIdle();
  const RECT home = placeInWindow(b);
  // Pointer elsewhere: pressed for the paint but not over, so no move.
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_TRUE(same(placeInWindow(b), home));
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();

  pointAtButton();
  hl::keyDown(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_EQ(placeInWindow(b).left, home.left + 1);
  hl::keyUp(VK_SPACE);
  hl::runUntilIdle();
  EXPECT_TRUE(same(placeInWindow(b), home));
}

TEST_F(CustomClick, AButtonMovedBeforeItsSettingsChangedStillComesHome) {
  const RECT home = placeInWindow(b);
  // A program that changes the direction, turns the move off or makes a check box of the button
  // while it is held: the release still undoes the move that was made.
  for (int change = 0; change < 3; ++change) {
    SCOPED_TRACE("change " + std::to_string(change));
    b.setMode(0);
    b.setCustomClick(4);
    b.MouseDown.disconnectAll();
    b.MouseDown.connect([&, change](int16_t&, int16_t&, float&, float&) {
      if (change == 0) b.setCustomClick(8);
      if (change == 1) b.setCustomClick(0);
      if (change == 2) b.setMode(1);
    });
    pointAtButton();
    press();
    // Turned off, the move is undone by the very next repaint, before the release.
    if (change == 0) {
      ASSERT_EQ(placeInWindow(b).left, home.left + 1);
    }
    release();
    EXPECT_TRUE(same(placeInWindow(b), home)) << text(placeInWindow(b));
    EXPECT_EQ(in.StateFlags() & kDisplaced, 0);
    hl::advanceTime(1000);
  }
}

TEST_F(CustomClick, AShapedButtonMovesAndComesBackWithoutLeavingGdiObjects) {
  b.setButtonShape(6);
  b.setCustomClick(3);
  const RECT home = placeInWindow(b);
  pointAtButton();
  const long before = gdiObjects();
  for (int i = 0; i < 20; ++i) {
    press();
    ASSERT_EQ(placeInWindow(b).left, home.left - 1);
    release();
    ASSERT_TRUE(same(placeInWindow(b), home));
    hl::advanceTime(1000);
  }
  EXPECT_EQ(gdiObjects(), before);
}

}  // namespace
