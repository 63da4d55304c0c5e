#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <fstream>

#include "UserTestSupport.h"
#include "drivers/headless/HeadlessDriver.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A WM_PAINT that fills the whole client area with one colour, relying on the paint DC's clip.
Handler fillOnPaint(COLORREF color, RECT* painted = nullptr) {
  return [color, painted](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    if (painted) *painted = ps.rcPaint;
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  };
}

class Paint : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { handlers().clear(); }
};

TEST_F(Paint, OnlyTheUpdateRegionIsPainted) {
  HWND w = topWindow(100, 100, 100, 80);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(150, 140), kWhite);
  RECT painted{};
  handlers()[WM_PAINT] = fillOnPaint(kRed, &painted);
  RECT r{10, 10, 30, 25};
  InvalidateRect(w, &r, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.bottom, 25);
  hl::runUntilIdle();
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  EXPECT_EQ(painted.left, 10);
  EXPECT_EQ(painted.top, 10);
  EXPECT_EQ(painted.right, 30);
  EXPECT_EQ(painted.bottom, 25);
  EXPECT_EQ(hl::screenPixel(110, 110), kRed);
  EXPECT_EQ(hl::screenPixel(129, 124), kRed);
  EXPECT_EQ(hl::screenPixel(130, 124), kWhite);
  EXPECT_EQ(hl::screenPixel(129, 125), kWhite);
  EXPECT_EQ(hl::screenPixel(109, 110), kWhite);
  // Two separate rectangles make a region of two parts: the corner between them stays.
  RECT a{0, 0, 5, 5}, b{50, 50, 55, 55};
  handlers()[WM_PAINT] = fillOnPaint(kBlue);
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, FALSE);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(100, 100), kBlue);
  EXPECT_EQ(hl::screenPixel(154, 154), kBlue);
  EXPECT_EQ(hl::screenPixel(130, 130), kWhite);
  EXPECT_EQ(hl::screenPixel(110, 110), kRed);
  DestroyWindow(w);
}

TEST_F(Paint, ValidatedAreasAreNotPaintedAndPaintWaitsForAnEmptyQueue) {
  HWND w = topWindow(0, 0, 50, 50);
  hl::runUntilIdle();
  log().clear();
  InvalidateRect(w, nullptr, TRUE);
  ValidateRect(w, nullptr);
  hl::runUntilIdle();
  EXPECT_EQ(countOf(w, WM_PAINT), 0);
  InvalidateRect(w, nullptr, TRUE);
  PostMessageA(w, WM_USER, 0, 0);
  PostMessageA(w, WM_USER + 1, 0, 0);
  hl::runUntilIdle();
  EXPECT_EQ(messagesOf(w, {WM_USER, WM_USER + 1, WM_PAINT, WM_ERASEBKGND}),
            (std::vector<UINT>{WM_USER, WM_USER + 1, WM_PAINT, WM_ERASEBKGND}));
  // A peek that filters out WM_PAINT never sees it.
  InvalidateRect(w, nullptr, FALSE);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  EXPECT_EQ(m.hwnd, w);
  DestroyWindow(w);
}

TEST_F(Paint, AWindowRegionClipsPaintingAndTheScreen) {
  HWND parent = topWindow(200, 200, 120, 120);
  HWND child = childWindow(parent, 20, 20, 40, 40);
  handlers()[WM_PAINT] = [child](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    return h == child ? fillOnPaint(kBlue)(h, m, wp, lp) : DefWindowProcA(h, m, wp, lp);
  };
  EXPECT_EQ(SetWindowRgn(child, CreateEllipticRgn(0, 0, 40, 40), TRUE), 1);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(240, 240), kBlue);   // the centre
  EXPECT_EQ(hl::screenPixel(220, 220), kWhite);  // the corner, outside the ellipse
  EXPECT_EQ(hl::screenPixel(259, 259), kWhite);
  EXPECT_EQ(hl::screenPixel(221, 240), kBlue);   // the left end of the middle row
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(child, copy), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(copy, 20, 20));
  EXPECT_FALSE(PtInRegion(copy, 0, 0));
  EXPECT_EQ(SetWindowRgn(child, nullptr, TRUE), 1);
  EXPECT_EQ(GetWindowRgn(child, copy), ERROR);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(220, 220), kBlue);
  DeleteObject(copy);
  DestroyWindow(parent);
}

TEST_F(Paint, ChildrenAreClippedOutOfTheirParentOnlyWithClipChildren) {
  for (DWORD clip : {DWORD{0}, static_cast<DWORD>(WS_CLIPCHILDREN)}) {
    HWND parent = topWindow(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | clip);
    HWND child = childWindow(parent, 10, 10, 20, 20);
    hl::runUntilIdle();
    log().clear();
    // The parent paints red everywhere its DC lets it; the child does not paint at all.
    handlers()[WM_PAINT] = [parent](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (h == parent) return fillOnPaint(kRed)(h, m, wp, lp);
      ValidateRect(h, nullptr);
      return 0;
    };
    InvalidateRect(parent, nullptr, FALSE);
    hl::runUntilIdle();
    if (clip) {
      EXPECT_EQ(hl::screenPixel(15, 15), kWhite);
      EXPECT_EQ(countOf(child, WM_PAINT), 0);
    } else {
      EXPECT_EQ(hl::screenPixel(15, 15), kRed);
      EXPECT_EQ(countOf(child, WM_PAINT), 1);  // the child is invalidated with its parent
      // The parent paints before the child it covers.
      std::vector<HWND> order;
      for (const Logged& l : log())
        if (l.message == WM_PAINT) order.push_back(l.hwnd);
      EXPECT_EQ(order, (std::vector<HWND>{parent, child}));
    }
    EXPECT_EQ(hl::screenPixel(50, 50), kRed);
    handlers().clear();
    DestroyWindow(parent);
  }
}

TEST_F(Paint, RedrawWindowUpdateNowPaintsTheWholeTreeAtOnce) {
  HWND parent = topWindow(0, 0, 312, 124, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND one = childWindow(parent, 10, 10, 61, 25);
  HWND two = childWindow(parent, 100, 10, 61, 25);
  hl::runUntilIdle();
  log().clear();
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (HWND h : {parent, one, two}) {
    EXPECT_EQ(countOf(h, WM_PAINT), 1);
    EXPECT_EQ(countOf(h, WM_ERASEBKGND), 1);
  }
  log().clear();
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  EXPECT_EQ(countOf(parent, WM_PAINT), 1);
  EXPECT_EQ(countOf(one, WM_PAINT), 0);
  EXPECT_EQ(countOf(parent, WM_ERASEBKGND), 0);
  EXPECT_EQ(hl::runUntilIdle(), 0);
  DestroyWindow(parent);
}

TEST_F(Paint, AnOwnDcKeepsItsObjectsForTheWindowsLife) {
  const char* cls = recordingClass("UserTestOwnDC", CS_OWNDC);
  DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  HWND w = topWindow(0, 0, 60, 60, WS_POPUP | WS_VISIBLE, 0, cls);
  HDC first = GetDC(w);
  ASSERT_NE(first, nullptr);
  HBRUSH brush = CreateSolidBrush(kRed);
  HGDIOBJ old = SelectObject(first, brush);
  SetTextColor(first, kBlue);
  EXPECT_EQ(ReleaseDC(w, first), 1);
  HDC second = GetDC(w);
  EXPECT_EQ(second, first);
  EXPECT_EQ(GetTextColor(second), kBlue);
  PAINTSTRUCT ps;
  InvalidateRect(w, nullptr, FALSE);
  EXPECT_EQ(BeginPaint(w, &ps), first);
  EndPaint(w, &ps);
  SelectObject(second, old);
  ReleaseDC(w, second);
  DeleteObject(brush);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 1);  // the DC itself
  DestroyWindow(w);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST_F(Paint, ACommonDcStartsFreshEveryTime) {
  HWND w = topWindow(0, 0, 60, 60);
  HDC dc = GetDC(w);
  SetTextColor(dc, kBlue);
  ReleaseDC(w, dc);
  dc = GetDC(w);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  EXPECT_EQ(ReleaseDC(w, dc), 0);  // already given back
  DestroyWindow(w);
}

TEST_F(Paint, TheScreenDcShowsTheComposedWindowsOverTheDesktop) {
  HWND w = topWindow(300, 300, 40, 40);
  handlers()[WM_PAINT] = fillOnPaint(kRed);
  hl::runUntilIdle();
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetPixel(screen, 310, 310), kRed);
  EXPECT_EQ(GetPixel(screen, 299, 310), GetSysColor(COLOR_DESKTOP));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  // A window covering it hides it; hiding the cover shows it again.
  HWND cover = topWindow(290, 290, 40, 40);
  handlers()[WM_PAINT] = [cover](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    return fillOnPaint(h == cover ? kBlue : kRed)(h, m, wp, lp);
  };
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(310, 310), kBlue);
  EXPECT_EQ(hl::screenPixel(335, 335), kRed);
  ShowWindow(cover, SW_HIDE);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(310, 310), kRed);
  DestroyWindow(cover);
  DestroyWindow(w);
}

// Taking the screen DC reads nothing: a DC asked for only to make compatible DCs and bitmaps costs
// no read of the screen. The screen is read when the DC's pixels are first used, and from then on
// the DC keeps what it read, with whatever is drawn on it.
TEST_F(Paint, TheScreenDcReadsTheScreenWhenItsPixelsAreFirstUsed) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  HWND w = topWindow(200, 200, 30, 30);
  handlers()[WM_PAINT] = fillOnPaint(kRed);
  hl::runUntilIdle();
  EXPECT_EQ(GetPixel(screen, 210, 210), kRed);  // shown after the DC was taken
  ShowWindow(w, SW_HIDE);
  hl::runUntilIdle();
  EXPECT_EQ(GetPixel(screen, 210, 210), kRed);  // read once
  SetPixel(screen, 205, 205, kBlue);
  EXPECT_EQ(GetPixel(screen, 205, 205), kBlue);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  // A new screen DC reads the screen anew, without the window.
  screen = GetDC(nullptr);
  SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 4, 4, screen, 208, 208, SRCCOPY);
  EXPECT_EQ(GetPixel(memory, 2, 2), GetSysColor(COLOR_DESKTOP));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  DeleteDC(memory);
  DeleteObject(bitmap);
  DestroyWindow(w);
}

// One pixel of the screen is what the whole composed screen holds there: over overlapping
// windows, a shaped one, a hidden one and one that has presented nothing yet.
TEST_F(Paint, OneScreenPixelIsTheComposedScreens) {
  HWND low = topWindow(20, 20, 60, 50);
  HWND shaped = topWindow(50, 30, 50, 40);
  HWND hidden = topWindow(30, 60, 40, 30, WS_POPUP);
  handlers()[WM_PAINT] = [shaped](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    return fillOnPaint(h == shaped ? kBlue : kRed)(h, m, wp, lp);
  };
  SetWindowRgn(shaped, CreateEllipticRgn(0, 0, 50, 40), TRUE);
  hl::runUntilIdle();
  HWND blank = topWindow(90, 10, 20, 20);  // shown, never painted
  const std::vector<uint32_t> screen = drivers::activeHeadlessDriver()->compose();
  const SIZE size = hl::screenSize();
  int differing = 0, blue = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 130; ++x) {
      const uint32_t p = screen[static_cast<size_t>(y) * size.cx + x];
      const COLORREF composed = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      differing += hl::screenPixel(x, y) != composed;
      blue += composed == kBlue;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(blue, 1000);  // the shaped window is on the screen
  EXPECT_EQ(hl::screenPixel(51, 31), kRed);  // outside the ellipse, the window below
  for (HWND w : {low, shaped, hidden, blank}) DestroyWindow(w);
}

TEST_F(Paint, TheHeadlessFrameShowsTheCaptionOfTheActiveWindow) {
  HWND w = topWindow(40, 40, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  hl::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(hl::screenPixel(40 + 100, 40 + 4 + 2), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(hl::screenPixel(40 + 100, 40 + 4 + 19 + 5), kWhite);  // the client area
  std::string path = testing::TempDir() + "user_paint_window.png";
  ASSERT_TRUE(hl::saveWindowPng(w, path));
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  std::remove(path.c_str());
  EXPECT_FALSE(hl::saveWindowPng(w, "/nonexistent-folder/x.png"));
  DestroyWindow(w);
  EXPECT_FALSE(hl::saveWindowPng(w, path));
}

TEST_F(Paint, GetDCExChoosesTheAreaAndTheClipping) {
  HWND parent = topWindow(0, 0, 100, 100);
  HWND below = childWindow(parent, 10, 10, 40, 40, WS_CHILD | WS_VISIBLE | WS_BORDER);
  HWND above = childWindow(parent, 30, 30, 40, 40);
  SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  hl::runUntilIdle();
  HBRUSH red = CreateSolidBrush(kRed);
  // DCX_CLIPSIBLINGS keeps the drawing of the lower child off the child above it.
  HDC dc = GetDCEx(below, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  RECT all{0, 0, 100, 100};
  FillRect(dc, &all, red);
  ReleaseDC(below, dc);
  EXPECT_EQ(hl::screenPixel(20, 20), kRed);
  EXPECT_EQ(hl::screenPixel(40, 40), kWhite);  // inside the upper sibling
  EXPECT_EQ(hl::screenPixel(10, 10), RGB(0, 0, 0));  // the border is not client area
  // A window DC reaches the border.
  dc = GetWindowDC(below);
  FillRect(dc, &all, red);
  ReleaseDC(below, dc);
  EXPECT_EQ(hl::screenPixel(10, 10), kRed);
  EXPECT_EQ(hl::screenPixel(60, 60), kWhite);  // never past the window rectangle
  // Without DCX_CLIPSIBLINGS the sibling is painted over.
  dc = GetDCEx(below, nullptr, DCX_CACHE);
  FillRect(dc, &all, red);
  ReleaseDC(below, dc);
  EXPECT_EQ(hl::screenPixel(40, 40), kRed);
  EXPECT_EQ(WindowFromDC(dc), nullptr);
  DeleteObject(red);
  DestroyWindow(parent);
}

TEST_F(Paint, ResizingRepaintsWhatIsNewOrEverythingWithRedrawStyles) {
  const char* redraw = recordingClass("UserTestRedraw", CS_HREDRAW | CS_VREDRAW);
  for (const char* cls : {recordingClass(), redraw}) {
    HWND w = topWindow(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, 0, cls);
    RECT painted{};
    handlers()[WM_PAINT] = fillOnPaint(kRed, &painted);
    hl::runUntilIdle();
    SetWindowPos(w, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER);
    hl::runUntilIdle();
    EXPECT_EQ(painted.left, cls == redraw ? 0 : 50);
    EXPECT_EQ(painted.right, 80);
    // Shrinking exposes nothing new.
    painted = RECT{-1, -1, -1, -1};
    SetWindowPos(w, nullptr, 0, 0, 60, 50, SWP_NOMOVE | SWP_NOZORDER);
    hl::runUntilIdle();
    EXPECT_EQ(painted.left, cls == redraw ? 0 : -1);
    handlers().clear();
    DestroyWindow(w);
  }
}

TEST_F(Paint, WindowPosChangingMayAlterTheMove) {
  HWND w = topWindow(0, 0, 50, 50);
  handlers()[WM_WINDOWPOSCHANGING] = [](HWND, UINT, WPARAM, LPARAM lp) -> LRESULT {
    auto* wp = reinterpret_cast<WINDOWPOS*>(lp);
    if (!(wp->flags & SWP_NOSIZE)) wp->cx = std::min(wp->cx, 70);
    return 0;
  };
  MoveWindow(w, 5, 6, 200, 90, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.right, 75);
  EXPECT_EQ(r.bottom, 96);
  WINDOWPOS changed{};
  handlers()[WM_WINDOWPOSCHANGED] = [&changed](HWND h, UINT m, WPARAM wp, LPARAM lp) {
    changed = *reinterpret_cast<WINDOWPOS*>(lp);
    return DefWindowProcA(h, m, wp, lp);
  };
  MoveWindow(w, 5, 6, 70, 90, TRUE);  // no change at all
  EXPECT_TRUE(changed.flags & SWP_NOMOVE);
  EXPECT_TRUE(changed.flags & SWP_NOSIZE);
  DestroyWindow(w);
}

}  // namespace
