// Another thread paints a window with GetDC, SetDIBitsToDevice and ReleaseDC while the
// user-interface thread pumps nothing: the pixels reach the screen at once, only where the window
// shows, and the surface keeps them once the user-interface thread presents again.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "UserTestSupport.h"

namespace hl = corvane::headless;

namespace {

class ThreadPaint : public testing::Test {
 protected:
  void SetUp() override {
    hl::freezeClock(true);
    top = CreateWindowExA(0, usertest::recordingClass(), "top", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120,
                          nullptr, nullptr, nullptr, nullptr);
    child = CreateWindowExA(0, usertest::recordingClass(), "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10,
                            100, 60, top, nullptr, nullptr, nullptr);
    hl::runUntilIdle();
  }
  void TearDown() override {
    if (IsWindow(top)) DestroyWindow(top);
    hl::freezeClock(false);
  }

  // Fills a rectangle of the child's client area with one colour from a thread of its own, and
  // reports what the calls returned.
  struct Result {
    bool gotDC = false;
    int lines = 0;
    int released = 0;
    DWORD error = 0;
  };
  Result paintFromThread(HWND hwnd, int x, int y, int width, int height, COLORREF colour) {
    Result result;
    std::thread painter([&] {
      std::vector<uint32_t> pixels(static_cast<size_t>(width) * height,
                                   (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      bi.bmiHeader.biWidth = width;
      bi.bmiHeader.biHeight = height;  // bottom-up, as most DIBs are
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      bi.bmiHeader.biCompression = BI_RGB;
      HDC dc = GetDC(hwnd);
      result.error = GetLastError();
      result.gotDC = dc != nullptr;
      if (dc == nullptr) return;
      result.lines = SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                                       static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS);
      result.released = ReleaseDC(hwnd, dc);
    });
    painter.join();
    return result;
  }
  // The child's client point on the screen.
  COLORREF shown(int x, int y) { return hl::screenPixel(100 + 10 + x, 100 + 10 + y); }

  HWND top = nullptr, child = nullptr;
};

TEST_F(ThreadPaint, PixelsReachTheScreenWithoutTheUserInterfaceThreadAndStayInTheSurface) {
  Result r = paintFromThread(child, 5, 5, 20, 10, RGB(255, 0, 0));
  ASSERT_TRUE(r.gotDC);
  EXPECT_EQ(r.lines, 10);
  EXPECT_EQ(r.released, 1);
  // No message was pumped and nothing was painted here: the screen already shows the drawing.
  EXPECT_EQ(shown(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(shown(24, 14), RGB(255, 0, 0));
  EXPECT_EQ(shown(25, 14), RGB(255, 255, 255));
  EXPECT_EQ(shown(4, 5), RGB(255, 255, 255));

  // The user-interface thread's own DC reads it back from the surface, and presenting the whole
  // window again (two corner pixels make all of it dirty) keeps it.
  HDC dc = GetDC(child);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
  ReleaseDC(child, dc);
  HDC whole = GetDC(top);
  SetPixel(whole, 0, 0, RGB(0, 0, 0));
  SetPixel(whole, 199, 119, RGB(0, 0, 0));
  ReleaseDC(top, whole);
  hl::runUntilIdle();
  EXPECT_EQ(hl::screenPixel(100, 100), RGB(0, 0, 0));
  EXPECT_EQ(shown(5, 5), RGB(255, 0, 0));

  // The window's own paint is newer than the thread's drawing.
  InvalidateRect(child, nullptr, TRUE);
  hl::runUntilIdle();
  EXPECT_EQ(shown(5, 5), RGB(255, 255, 255));
}

TEST_F(ThreadPaint, OnlyTheVisiblePartOfTheWindowIsDrawn) {
  // A sibling above the child covers its right half.
  HWND cover = CreateWindowExA(0, usertest::recordingClass(), "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 60, 0,
                               100, 100, top, nullptr, nullptr, nullptr);
  SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  hl::runUntilIdle();
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  HDC coverDC = GetDC(cover);
  RECT all{0, 0, 100, 100};
  FillRect(coverDC, &all, blue);
  ReleaseDC(cover, coverDC);
  DeleteObject(blue);

  // The whole client area and beyond it on every side.
  paintFromThread(child, -10, -10, 130, 90, RGB(0, 200, 0));
  EXPECT_EQ(shown(0, 0), RGB(0, 200, 0));
  EXPECT_EQ(shown(49, 59), RGB(0, 200, 0));
  EXPECT_EQ(shown(50, 30), RGB(0, 0, 255)) << "drawn over the sibling above";
  EXPECT_EQ(shown(-1, 0), RGB(255, 255, 255)) << "drawn outside the child";
  EXPECT_EQ(shown(0, 60), RGB(255, 255, 255)) << "drawn below the child";
}

TEST_F(ThreadPaint, ADrawingForAPlaceTheWindowHasLeftStaysOutOfTheSurface) {
  paintFromThread(child, 5, 5, 20, 10, RGB(255, 0, 0));
  SetWindowPos(child, nullptr, 80, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  hl::runUntilIdle();
  // Where the child was, the top-level window's own white; where it is, its own white too.
  HDC dc = GetDC(top);
  EXPECT_EQ(GetPixel(dc, 10 + 5, 10 + 5), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 80 + 5, 40 + 5), RGB(255, 255, 255));
  ReleaseDC(top, dc);
  // And the thread now draws at the new place.
  paintFromThread(child, 0, 0, 4, 4, RGB(0, 0, 255));
  EXPECT_EQ(hl::screenPixel(100 + 80 + 1, 100 + 40 + 1), RGB(0, 0, 255));
}

TEST_F(ThreadPaint, HiddenAndDestroyedWindowsTakeNothing) {
  ShowWindow(top, SW_HIDE);
  Result hidden = paintFromThread(child, 0, 0, 10, 10, RGB(255, 0, 0));
  EXPECT_TRUE(hidden.gotDC);
  ShowWindow(top, SW_SHOW);
  hl::runUntilIdle();
  EXPECT_EQ(shown(2, 2), RGB(255, 255, 255));

  HWND gone = child;
  DestroyWindow(child);
  Result destroyed = paintFromThread(gone, 0, 0, 10, 10, RGB(255, 0, 0));
  EXPECT_FALSE(destroyed.gotDC);
  EXPECT_EQ(destroyed.error, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(shown(2, 2), RGB(255, 255, 255));

  // A window never painted yet has no place known to other threads.
  HWND fresh = CreateWindowExA(0, usertest::recordingClass(), "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr,
                               nullptr);
  EXPECT_FALSE(paintFromThread(fresh, 0, 0, 5, 5, RGB(255, 0, 0)).gotDC);
}

TEST_F(ThreadPaint, AThreadDCTakesNothingButDibsAndGoesOnce) {
  HDC held = nullptr;
  int fill = -1, releasedTwice = -1;
  std::thread painter([&] {
    held = GetDC(child);
    RECT r{0, 0, 5, 5};
    fill = FillRect(held, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(child, held);
    releasedTwice = ReleaseDC(child, held);
  });
  painter.join();
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(fill, 0);
  EXPECT_EQ(releasedTwice, 0);
  EXPECT_EQ(shown(1, 1), RGB(255, 255, 255));
}

}  // namespace
