#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"
#include "../../platform/geometry/GeometryCanvas.h"

#include <string>
#include <vector>

using namespace painttest;

namespace {

constexpr COLORREF kFace = 0xC0C0C0;  // the button face of the platform, the default back colour
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kBlack = 0x000000;
// The default container 0xC0C0C0 darkened by 64 (the designer's outline) and by 32 (the
// designer's ellipse and the focus mark of shaped buttons).
constexpr COLORREF kOutline = 0x818180;
constexpr COLORREF kShade32 = 0xA1A1A0;

class HotTrackStyle : public painttest::StyleFixture {
 protected:
  explicit HotTrackStyle(bool designTime = false) : StyleFixture(5, designTime) {}
  void expectBareFace() {
    const Rings r = rings();
    expectRing(r.outer, kFace, kFace);
    expectRing(r.middle, kFace, kFace);
    expectRing(r.inner, kFace, kFace);
  }
  // The buffer as rows of '#' (the colour given) and '.' (the face); anything else is '?'.
  std::vector<std::string> picture(int width, int height, COLORREF ink) {
    unclip();
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) {
        const COLORREF c = in.buffer(x, y);
        row += c == ink ? '#' : c == kFace ? '.' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }
  // A round button leaves its face's clip region in the buffer, and pixels outside it read as
  // invalid; the next paint selects its own again.
  void unclip() { SelectClipRgn(in.BufferDC(), nullptr); }
  static ReferencePicture reference(const std::string& titleStart) {
    for (const ReferencePicture& p : loadPictures("dotted-pens.txt"))
      if (p.title.rfind(titleStart, 0) == 0) return p;
    ADD_FAILURE() << "no reference picture " << titleStart;
    return {};
  }
};

class HotTrackStyleInDesigner : public HotTrackStyle {
 protected:
  HotTrackStyleInDesigner() : HotTrackStyle(true) {}
};

TEST_F(HotTrackStyle, AtRunTimeOnlyThePointerOrThePressBringsARing) {
  b.Refresh();
  save("hottrack-normal");
  expectBareFace();
  EXPECT_EQ(in.surface(0, 0), kFace);

  in.StateFlags() |= kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("hottrack-hot");
  Rings r = rings();
  expectRing(r.outer, kWhite, kGrey);
  expectRing(r.middle, kFace, kFace);
  expectRing(r.inner, kFace, kFace);

  in.StateFlags() |= kPressed;
  b.Refresh();
  save("hottrack-pressed");
  r = rings();
  expectRing(r.outer, kGrey, kWhite);
  expectRing(r.middle, kFace, kFace);

  // Dragged off while held: the pointer flag goes and with it the ring.
  in.StateFlags() &= ~kPointerOver;
  in.Hovering() = 0;
  b.Refresh();
  save("hottrack-pressed-out");
  expectBareFace();

  // The default button under the pointer is raised like any other.
  in.StateFlags() = kDefaultFrame | kPointerOver;
  b.Refresh();
  expectRing(rings().outer, kWhite, kGrey);
}

TEST_F(HotTrackStyle, ThePointerReachesTheRingThroughRealInput) {
  namespace hl = corvane::headless;
  POINT middle{30, 12};
  ClientToScreen(b.hWnd(), &middle);
  hl::mouseMove(middle.x, middle.y);
  hl::runUntilIdle();
  expectRing(rings().outer, kWhite, kGrey);
  hl::mouseDown();
  hl::runUntilIdle();
  expectRing(rings().outer, kGrey, kWhite);
  hl::mouseUp();
  hl::mouseMove(middle.x + 200, middle.y + 200);
  hl::runFor(200);
  expectBareFace();
}

TEST_F(HotTrackStyle, ASetOptionButtonKeepsItsSunkenRingAndASolidFocusRectangle) {
  b.setMode(2);
  b.setValue(-1);
  b.Refresh();
  save("hottrack-set");
  Rings r = rings();
  expectRing(r.outer, kGrey, kWhite);
  expectRing(r.middle, in.CheckedFaceColor(), in.CheckedFaceColor());
  ASSERT_EQ(in.CheckedFaceColor(), 0xE0E0DF);  // white darkened by 32

  // While it shows the default frame: a solid black rectangle (4, 4)-(57, 21) inside the edges.
  in.StateFlags() |= kDefaultFrame;
  b.Refresh();
  save("hottrack-set-default");
  expectOutline(RECT{4, 4, 57, 21}, kBlack);
  EXPECT_EQ(in.buffer(5, 5), in.CheckedFaceColor());

  // Unset, the default button's rectangle is the dotted one and the ring is gone.
  b.setValue(0);
  b.Refresh();
  expectDottedRow(4, 4, 57, kFace);
  expectRing(rings().outer, kFace, kFace);
}

TEST_F(HotTrackStyle, ASlantedDefaultButtonMarksItsFocusInADarkerContainerShade) {
  b.setButtonShape(1);
  sizeInPixels(b, 80, 25);
  in.StateFlags() |= kDefaultFrame;
  b.Refresh();
  save("hottrack-slant-default");
  // The slanted outline runs along the top row 4 from x = 8 to the right side.
  EXPECT_EQ(in.buffer(40, 4), kShade32);
  EXPECT_EQ(in.buffer(70, 4), kShade32);
  EXPECT_EQ(in.buffer(40, 20), kShade32);
}

TEST_F(HotTrackStyle, AGradientFaceKeepsTheRing) {
  b.setGradientColor(0x0000FF);
  b.setGradientMode(1);
  in.StateFlags() |= kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("hottrack-gradient-hot");
  // Left to right from the face towards red; the hover colour follows the gradient colour, so the
  // gradient stays while hovering.
  EXPECT_EQ(in.buffer(3, 12), in.buffer(3, 6));
  EXPECT_NE(in.buffer(10, 12), in.buffer(50, 12));
  EXPECT_GT(GetRValue(in.buffer(50, 12)), GetRValue(in.buffer(10, 12)));
  expectRing(rings().outer, kWhite, kGrey);
}

TEST_F(HotTrackStyle, AnEllipseAtRunTimeShowsItsGradientEdgeOnlyUnderThePointer) {
  b.setButtonShape(4);
  sizeInPixels(b, 61, 25);
  b.Refresh();
  save("hottrack-ellipse");
  EXPECT_EQ(in.buffer(30, 0), kFace);
  EXPECT_EQ(in.buffer(30, 24), kFace);
  in.StateFlags() |= kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("hottrack-ellipse-hot");
  // The raised edge: from white at the top to grey at the bottom, the face inside it.
  unclip();
  EXPECT_EQ(in.buffer(30, 0), kWhite);
  EXPECT_LT(GetRValue(in.buffer(30, 24)), 0x84);
  EXPECT_EQ(in.buffer(30, 12), kFace);
}

TEST_F(HotTrackStyleInDesigner, ADottedOutlineInTheContainerDarkenedBy64) {
  b.Refresh();
  save("hottrack-design");
  // The outer ring's four edges are four Polyline calls with one dotted pen, then the closing
  // bottom segment: the dots Windows draws for exactly those calls.
  ReferencePicture ref = reference("five separate Polyline calls");
  ASSERT_EQ(ref.width, 61);
  ASSERT_EQ(ref.height, 25);
  // The reference was taken on an opaque background, where the closing segment's gaps paint over
  // the dots of the bottom edge drawn before it. The buffer draws text and gaps transparently, so
  // there the bottom row keeps the dots of both: 3 on 3 off from x = 60 leftwards and from x = -1
  // rightwards.
  std::string& bottom = ref.rows[24];
  for (int x = 0; x <= 60; ++x)
    if ((60 - x) % 6 < 3) bottom[static_cast<size_t>(x)] = '#';
  EXPECT_EQ(picture(61, 25, kOutline), ref.rows) << sideBySide(ref.rows, picture(61, 25, kOutline));

  // Under the pointer the ring is the raised one, drawn with the dotted outer pen.
  in.StateFlags() |= kPointerOver;
  b.Refresh();
  EXPECT_EQ(in.buffer(1, 0), kWhite);
  EXPECT_EQ(in.buffer(4, 0), kFace);
  EXPECT_EQ(in.buffer(60, 1), kGrey);
}

TEST_F(HotTrackStyleInDesigner, OnABlackContainerTheOutlineIsWhite) {
  w.setBackColor(0x000000);  // the button repaints on the container's change
  save("hottrack-design-black");
  EXPECT_EQ(in.ParentBackColor(), 0);
  EXPECT_EQ(in.buffer(0, 0), kWhite);
  EXPECT_EQ(in.buffer(60, 24), kWhite);
  EXPECT_EQ(in.buffer(3, 0), kFace);

  w.setBackColor(0x4080C0);
  EXPECT_EQ(in.buffer(0, 0), 0x004180u);  // each channel less 64, green and blue stretched first
}

TEST_F(HotTrackStyleInDesigner, AnEllipseGetsACompleteDottedEllipse) {
  b.setButtonShape(4);
  sizeInPixels(b, 20, 10);
  b.Refresh();
  save("hottrack-design-ellipse");
  // Arc(0, 0, 19, 9) with a dotted pen, started and ended at (0, 0).
  ReferencePicture ref = reference("Arc(0, 0, 19, 9");
  EXPECT_EQ(picture(20, 10, kShade32), ref.rows) << sideBySide(ref.rows, picture(20, 10, kShade32));

  b.setButtonShape(6);
  sizeInPixels(b, 40, 40);
  b.Refresh();
  save("hottrack-design-ellipse-framed");
  ref = reference("Arc(0, 0, 39, 39");
  EXPECT_EQ(picture(40, 40, kShade32), ref.rows) << sideBySide(ref.rows, picture(40, 40, kShade32));
}

TEST_F(HotTrackStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

TEST_F(HotTrackStyleInDesigner, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
