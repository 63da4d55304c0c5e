#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <cstdlib>
#include <string>

using painttest::gdiObjects;
using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

constexpr COLORREF kMarker = 0x00FF00;

class PaintPipeline : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    w.Show();
    corvane::headless::runUntilIdle();
    b.setCaption("");
    sizeInPixels(b, 60, 24);
  }
  // Paints the window's pixels directly, so that a later paint of the button shows.
  void mark() {
    RECT r{0, 0, 60, 24};
    HBRUSH brush = CreateSolidBrush(kMarker);
    FillRect(b.UserControl.hDC(), &r, brush);
    DeleteObject(brush);
  }
  bool marked() { return in.surface(30, 12) == kMarker && in.surface(0, 0) == kMarker; }
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(PaintPipeline, TheComposedPictureReachesTheWindowWhole) {
  b.setButtonStyle(2);
  b.setCaption("&Ok");
  sizeInPixels(b, 61, 25);
  in.StateFlags() |= 0x0001;
  mark();
  b.Refresh();
  if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
    corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/pipeline-ok.png");
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 61; ++x) {
      // The window region cuts the corners; everything inside it is the buffer's picture.
      if ((x < 3 || x > 57) && (y < 3 || y > 21)) continue;
      ASSERT_EQ(in.surface(x, y), in.buffer(x, y)) << x << "," << y;
    }
}

TEST_F(PaintPipeline, DelayedDrawingPaintsOnceWhenReleased) {
  b.DelayDrawing(-1);
  mark();
  b.setBackColor(0x0000FF);
  b.setCaption("Ok");
  b.setButtonStyle(2);
  b.setButtonStyle(0);
  EXPECT_TRUE(marked());
  b.DelayDrawing(0);
  EXPECT_FALSE(marked());
  EXPECT_EQ(in.surface(30, 3), 0x0000FFu);
}

TEST_F(PaintPipeline, RefreshAndTheHostsPaintRequestClearTheDelay) {
  b.DelayDrawing(-1);
  mark();
  b.Refresh();
  EXPECT_FALSE(marked());
  EXPECT_EQ(in.DrawingDelayed(), 0);

  b.DelayDrawing(-1);
  mark();
  b.UserControl_Paint();
  EXPECT_FALSE(marked());
  EXPECT_EQ(in.DrawingDelayed(), 0);
}

TEST_F(PaintPipeline, AStyleWithoutARendererLeavesTheWindowAsItWas) {
  mark();
  in.stored().ButtonStyle = 8;
  b.Refresh();
  EXPECT_TRUE(marked());
  in.stored().ButtonStyle = -1;
  b.Refresh();
  EXPECT_TRUE(marked());
  in.stored().ButtonStyle = 0;
  b.Refresh();
  EXPECT_FALSE(marked());
}

TEST_F(PaintPipeline, RepaintingCreatesNoLastingGdiObjects) {
  for (int style : {0, 2}) {
    b.setButtonStyle(style);
    b.setCaption("Ok");
    in.StateFlags() = 0x0001;
    b.Refresh();
    const long before = gdiObjects();
    for (int i = 0; i < 10000; ++i) {
      in.StateFlags() = static_cast<int16_t>(i % 8);
      in.Hovering() = static_cast<int16_t>((i & 4) ? -1 : 0);
      b.Refresh();
    }
    EXPECT_EQ(gdiObjects(), before) << "style " << style;
  }
  in.Hovering() = 0;
}

TEST(PaintPipelineLife, AButtonGivesBackEveryGdiObjectItMade) {
  corvane::headless::runUntilIdle();
  const long before = gdiObjects();
  {
    PaintWindow w;
    w.Load();
    w.Show();
    w.Button1.setButtonStyle(2);
    w.Button1.setGradientMode(3);
    sizeInPixels(w.Button1, 70, 30);
    w.Button1.setButtonShape(4);
    w.Button1.Refresh();
    corvane::headless::runUntilIdle();
    w.Unload();
  }
  corvane::headless::runUntilIdle();
  EXPECT_EQ(gdiObjects(), before);
}

TEST(PaintPipelineLife, ABufferlessButtonPaintsNothingAndLeaksNothing) {
  PaintWindow w;
  const long before = gdiObjects();
  ztButtonsInspector in(w.Button1);
  ASSERT_EQ(in.BufferDC(), nullptr);
  w.Button1.Refresh();
  in.SetDrawingTools(-1, 0, 0x123456);
  in.SetDrawingTools(-1, 1, 0x123456);
  EXPECT_EQ(gdiObjects(), before);
}

}  // namespace
