// What the tests of the flat styles share: one button of a given style on a window at run time or
// in the designer, samples of its three rings, the box its caption ink covers, and the screen
// around it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

namespace painttest {

constexpr int16_t kDefaultFrame = 0x0001, kPressed = 0x0002, kPointerOver = 0x0004;

// One ring's edges: left, top, right, bottom.
using Ring = std::array<COLORREF, 4>;
struct Rings {
  Ring outer, middle, inner;
};

class StyleFixture : public testing::Test {
 protected:
  StyleFixture(int32_t style, bool designTime) : style_(style) { w.setDesignMode(designTime); }
  void SetUp() override {
    w.Load();
    w.Show();
    // The shown window gives its only control the focus and with it the default frame; each
    // test sets the state it draws.
    in.StateFlags() = 0;
    b.setCaption("");
    b.setButtonStyle(style_);
    sizeInPixels(b, 61, 25);
  }
  void save(const std::string& name) {
    if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
      corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/" + name + ".png");
  }
  // The rings of a W x H rectangle, sampled at (mx, y) and (x, my) on its edges.
  Rings rings(int W = 61, int H = 25, int mx = 33, int my = 15) {
    Rings r{};
    for (int i = 0; i < 3; ++i) {
      Ring& ring = i == 0 ? r.outer : i == 1 ? r.middle : r.inner;
      ring = {in.buffer(i, my), in.buffer(mx, i), in.buffer(W - 1 - i, my), in.buffer(mx, H - 1 - i)};
    }
    return r;
  }
  static void expectRing(const Ring& ring, COLORREF topLeft, COLORREF bottomRight) {
    EXPECT_EQ(ring[0], topLeft) << "left";
    EXPECT_EQ(ring[1], topLeft) << "top";
    EXPECT_EQ(ring[2], bottomRight) << "right";
    EXPECT_EQ(ring[3], bottomRight) << "bottom";
  }
  // A solid one-pixel outline through the corners (left, top) and (right, bottom), both included.
  void expectOutline(const RECT& r, COLORREF color) {
    for (LONG x = r.left; x <= r.right; ++x) {
      EXPECT_EQ(in.buffer(x, r.top), color) << x << "," << r.top;
      EXPECT_EQ(in.buffer(x, r.bottom), color) << x << "," << r.bottom;
    }
    for (LONG y = r.top; y <= r.bottom; ++y) {
      EXPECT_EQ(in.buffer(r.left, y), color) << r.left << "," << y;
      EXPECT_EQ(in.buffer(r.right, y), color) << r.right << "," << y;
    }
  }
  // DrawFocusRect inverts every other pixel of a line: about half of the pixels of row y from x0
  // up to x1 (excluded) differ from the face.
  void expectDottedRow(int y, int x0, int x1, COLORREF face) {
    int changed = 0;
    for (int x = x0; x < x1; ++x) changed += in.buffer(x, y) != face;
    EXPECT_GE(changed, (x1 - x0) / 2 - 1) << "row " << y;
    EXPECT_LE(changed, (x1 - x0) / 2 + 1) << "row " << y;
  }
  // A one-pixel outline of the colour through the corners (left, top) and (right, bottom), both
  // included, with the pixels just inside it free of the colour.
  void expectSolidOutline(COLORREF color, int left, int top, int right, int bottom) {
    for (int x = left; x <= right; ++x) {
      EXPECT_EQ(in.buffer(x, top), color) << x << "," << top;
      EXPECT_EQ(in.buffer(x, bottom), color) << x << "," << bottom;
    }
    for (int y = top; y <= bottom; ++y) {
      EXPECT_EQ(in.buffer(left, y), color) << left << "," << y;
      EXPECT_EQ(in.buffer(right, y), color) << right << "," << y;
    }
    EXPECT_NE(in.buffer(left + 1, top + 1), color);
    EXPECT_NE(in.buffer(right - 1, bottom - 1), color);
  }
  // The smallest rectangle holding every pixel of the colour inside the area of the buffer;
  // empty (all zero) when there is none.
  RECT inkBox(COLORREF ink, const RECT& area) {
    RECT box{0, 0, 0, 0};
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        if (in.buffer(x, y) != ink) continue;
        if (IsRectEmpty(&box)) {
          box = {x, y, x + 1, y + 1};
        } else {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
      }
    return box;
  }
  // Whether any pixel of the area shows the colour.
  bool inked(COLORREF ink, const RECT& area) {
    const RECT box = inkBox(ink, area);
    return !IsRectEmpty(&box);
  }
  // The pixel of the screen at the button's client point (x, y), after everything has settled.
  COLORREF screen(int x, int y) {
    corvane::headless::runUntilIdle();
    POINT p{x, y};
    ClientToScreen(b.hWnd(), &p);
    return corvane::headless::screenPixel(p.x, p.y);
  }
  // Paints the button at sizes that leave no room for its rings, in every shape and state; the
  // container beside and below it keeps its colour on the screen. (The test main checks that
  // every GDI object comes back.)
  void paintTinyButtons() {
    constexpr COLORREF kContainer = 0x00FF00;
    w.setBackColor(kContainer);
    const SIZE sizes[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {1, 25}, {61, 1}};
    const int16_t states[] = {0, kDefaultFrame, kPointerOver, kPressed | kPointerOver, kPressed};
    for (int32_t shape = 0; shape <= 6; ++shape) {
      for (const SIZE& size : sizes) {
        b.setButtonShape(shape);
        sizeInPixels(b, size.cx, size.cy);
        for (int32_t mode = 0; mode <= 1; ++mode) {
          b.setMode(mode);
          b.setValue(static_cast<int16_t>(-mode));
          for (int16_t state : states) {
            in.StateFlags() = state;
            in.Hovering() = (state & kPointerOver) ? -1 : 0;
            in.HeldDown() = (state & kPressed) ? -1 : 0;
            b.Refresh();
          }
        }
        corvane::headless::runUntilIdle();
        RECT r;
        GetWindowRect(b.hWnd(), &r);
        const std::string where = "shape " + std::to_string(shape) + " size " + std::to_string(size.cx) + "x" +
                                  std::to_string(size.cy);
        ASSERT_EQ(corvane::headless::screenPixel(r.right, (r.top + r.bottom) / 2), kContainer) << where;
        ASSERT_EQ(corvane::headless::screenPixel((r.left + r.right) / 2, r.bottom), kContainer) << where;
        ASSERT_EQ(corvane::headless::screenPixel(r.right, r.bottom), kContainer) << where;
      }
    }
    in.StateFlags() = 0;
    in.Hovering() = in.HeldDown() = 0;
  }

  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};

 private:
  int32_t style_;
};

}  // namespace painttest
