// The screen-scramble window on the headless screen. Beneath it lies a window whose every pixel
// names its own place (red and green: the low bits of x and y, blue: the high bits), so each pixel
// of the effect tells where on the desktop it came from. The effect loop yields once per block;
// the tests act at the loop's idle polls, which is how input "arrives after n passes".
#include <gtest/gtest.h>
#include <windows.h>

#include <corvane/headless.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "../platform/gdi/GdiTestSurface.h"
#include "forms/frmGraphics.h"
#include "framework/App.h"

namespace hl = corvane::headless;

namespace {

uint32_t patternAt(int x, int y) {
  return static_cast<uint32_t>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | (x >> 8) | ((y >> 8) << 4));
}

// Where a pattern pixel came from; false for a colour that the pattern does not hold.
bool placeOf(uint32_t p, SIZE screen, POINT& at) {
  at.x = static_cast<LONG>(((p >> 16) & 0xFF) | ((p & 0x0F) << 8));
  at.y = static_cast<LONG>(((p >> 8) & 0xFF) | ((p & 0xF0) << 4));
  return at.x < screen.cx && at.y < screen.cy;
}

// A 32 bpp top-down DIB section in a memory DC, with its pixels at hand.
class Dib {
 public:
  explicit Dib(SIZE size) : width_(size.cx), surface_(create(size, bits_)) {}
  HDC dc() const { return surface_.dc(); }
  uint32_t& at(int x, int y) { return bits_[static_cast<size_t>(y) * width_ + x]; }

 private:
  static HBITMAP create(SIZE size, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  }
  LONG width_;
  uint32_t* bits_ = nullptr;
  TestSurface surface_;
};

// The screen as GetDC(NULL) reads it, 0x00RRGGBB.
std::vector<uint32_t> screenPixels() {
  const SIZE s = hl::screenSize();
  Dib copy(s);
  HDC screen = GetDC(nullptr);
  BitBlt(copy.dc(), 0, 0, s.cx, s.cy, screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, screen);
  std::vector<uint32_t> out(static_cast<size_t>(s.cx) * s.cy);
  for (int y = 0; y < s.cy; ++y)
    for (int x = 0; x < s.cx; ++x) out[static_cast<size_t>(y) * s.cx + x] = copy.at(x, y) & 0xFFFFFF;
  return out;
}

class GraphicsWindowEffect : public testing::Test {
 protected:
  void SetUp() override {
    screen_ = hl::screenSize();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PatternDesktop";
    RegisterClassA(&wc);
    desktop_ = CreateWindowExA(0, "PatternDesktop", "", WS_POPUP | WS_VISIBLE, 0, 0, screen_.cx,
                               screen_.cy, nullptr, nullptr, nullptr, nullptr);
    Dib pattern(screen_);
    for (int y = 0; y < screen_.cy; ++y)
      for (int x = 0; x < screen_.cx; ++x) pattern.at(x, y) = patternAt(x, y);
    HDC dc = GetDC(desktop_);
    BitBlt(dc, 0, 0, screen_.cx, screen_.cy, pattern.dc(), 0, 0, SRCCOPY);
    ReleaseDC(desktop_, dc);
    hl::runUntilIdle();
  }
  void TearDown() override {
    hl::onIdle(nullptr);
    DestroyWindow(desktop_);
    UnregisterClassA("PatternDesktop", nullptr);
    DoEvents();
  }

  // Shows the effect with preset ef; atPoll runs at every idle poll of its loop. Returns the
  // number of the last poll. A loop that does not end fails the test instead of hanging it.
  int runEffect(int16_t ef, const std::function<void(int poll)>& atPoll) {
    int last = 0;
    hl::onIdle([&](int poll) {
      last = poll;
      if (poll == 20000) hl::typeText("x");
      // Not even a key ended it: leave the loop the only way left.
      if (poll == 20010) throw std::runtime_error("the effect did not end");
      if (atPoll) atPoll(poll);
    });
    frmGraphics.object().ef = ef;
    frmGraphics->Show(vbModal);
    hl::onIdle(nullptr);
    return last;
  }

  // Every pixel of the screen is a desktop pixel moved by the same k >= 0 in x and y (the
  // picture drifted up and left); returns the largest k seen.
  int checkDriftUpLeft(const std::vector<uint32_t>& pixels) {
    int largest = 0;
    for (int y = 0; y < screen_.cy; ++y)
      for (int x = 0; x < screen_.cx; ++x) {
        POINT from;
        const uint32_t p = pixels[static_cast<size_t>(y) * screen_.cx + x];
        if (!placeOf(p, screen_, from) || from.x - x != from.y - y || from.x < x) {
          ADD_FAILURE() << "pixel " << x << "," << y << " holds " << std::hex << p;
          return -1;
        }
        largest = std::max<int>(largest, from.x - x);
      }
    return largest;
  }

  SIZE screen_{};
  HWND desktop_ = nullptr;
};

}  // namespace

TEST(GraphicsWindowPresets, EveryPresetAndEveryOtherNumber) {
  struct Row {
    int16_t ef, spreadX, biasX, spreadY, biasY, width, height;
  };
  const Row table[] = {
      {0, 2, 1, 2, 1, 128, 128},       {1, 20, 1, 20, 1, 128, 128},     {2, 9, 1, 9, 1, 128, 128},
      {3, 0, 1, 0, 1, 128, 128},       {4, 3, 1, 3, 1, 128, 128},       {5, 5, 1, 5, 1, 128, 128},
      {6, 10000, 1, 10000, 1, 128, 128}, {7, 1000, 1, 1000, 1, 128, 128}, {8, 10, 1, 2, 1, 128, 128},
      {9, 2, 1, 10, 1, 128, 128},      {10, 0, 10, 0, 10, 128, 128},    {11, 20, 10, 10, 10, 128, 128},
      {12, 2, -100, 2, 2, 128, 128},   {13, 2, 1, 2, 1, 100, 10},       {14, 10, 1, 8, 1, 100, 10},
      {15, 50, 80, 10, 10, 1, 25},     {16, 2, 5, 10, 10, 12, 1},       {17, 1, -2, 1, 10, 1, 1},
      {18, 5, -2, 5, 10, 8, 4},        {19, 2, -2, 10, 10, 200, 4},     {20, 30, 10, 30, 10, 10, 10},
      {21, 25, 250, 25, 25, 25, 255},  {22, 0, 1, 0, 1, 128, 128},      {-1, 0, 1, 0, 1, 128, 128},
      {32767, 0, 1, 0, 1, 128, 128},   {-32768, 0, 1, 0, 1, 128, 128},
  };
  for (const Row& row : table) {
    const GraphicsWindow::EffectParameters p = EffectPreset(row.ef);
    EXPECT_EQ(p.SpreadX, row.spreadX) << "ef " << row.ef;
    EXPECT_EQ(p.BiasX, row.biasX) << "ef " << row.ef;
    EXPECT_EQ(p.SpreadY, row.spreadY) << "ef " << row.ef;
    EXPECT_EQ(p.BiasY, row.biasY) << "ef " << row.ef;
    EXPECT_EQ(p.BlockWidth, row.width) << "ef " << row.ef;
    EXPECT_EQ(p.BlockHeight, row.height) << "ef " << row.ef;
  }
}

TEST(GraphicsWindowPresets, LoadingTheWindowReadsThePresetSetBeforeIt) {
  frmGraphics.object().ef = 17;
  frmGraphics->Load();
  EXPECT_EQ(frmGraphics->Parameters().BiasX, -2);
  EXPECT_EQ(frmGraphics->Parameters().BlockWidth, 1);
  frmGraphics.Unload();
  frmGraphics.Release();
}

TEST(GraphicsWindowMoves, PresetZeroOffsetsRoundToNearestWithTiesToEven) {
  const GraphicsWindow::EffectParameters p = EffectPreset(0);
  auto dx = [&](float r) {
    const float draws[4] = {0.0f, 0.0f, r, r};
    const GraphicsWindow::BlockMove m = GraphicsWindow::NextMove(p, 1024, 768, draws);
    EXPECT_EQ(m.DX, m.DY);
    return m.DX;
  };
  EXPECT_EQ(dx(0.0f), -1);
  EXPECT_EQ(dx(0.2499999f), -1);
  EXPECT_EQ(dx(0.25f), 0);  // -0.5 goes to 0
  EXPECT_EQ(dx(0.5f), 0);
  EXPECT_EQ(dx(0.75f), 0);  // 0.5 goes to 0
  EXPECT_EQ(dx(0.7500001f), 1);
  EXPECT_EQ(dx(0.99999994f), 1);
}

TEST(GraphicsWindowMoves, BlockCornersStayWithinTheScreenLessABlock) {
  const GraphicsWindow::EffectParameters p = EffectPreset(21);
  auto corner = [&](int32_t width, int32_t height, float r) {
    const float draws[4] = {r, r, 0.5f, 0.5f};
    return GraphicsWindow::NextMove(p, width, height, draws);
  };
  const GraphicsWindow::BlockMove last = corner(1024, 768, 0.99999994f);
  EXPECT_EQ(last.X0, 1024 - 128);  // 895.99994 rounds up to the limit, never past it
  EXPECT_EQ(last.Y0, 768 - 128);
  EXPECT_EQ(corner(129, 129, 0.5f).X0, 0);   // 0.5 goes to 0
  EXPECT_EQ(corner(131, 131, 0.5f).X0, 2);   // 1.5 goes to 2
  EXPECT_EQ(corner(100, 100, 0.5f).Y0, -14);  // a screen smaller than a block
  // Preset 21 at the middle draw: 25 x 0.5 - 250 = -237.5 goes to -238; 25 x 0.5 - 25 = -12.5 to -12.
  EXPECT_EQ(last.DX, -238);
  EXPECT_EQ(last.DY, -12);
}

TEST_F(GraphicsWindowEffect, CoversTheScreenWithTheDesktopAsItWasAndNothingOfItsOwn) {
  std::vector<uint32_t> first;
  RECT rect{};
  LONG style = 0;
  runEffect(0, [&](int poll) {
    if (poll != 1) return;
    HWND hwnd = frmGraphics.peek()->hWnd();
    GetWindowRect(hwnd, &rect);
    style = GetWindowLongA(hwnd, GWL_STYLE);
    first = screenPixels();
    hl::typeText("q");
  });
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, screen_.cx);
  EXPECT_EQ(rect.bottom, screen_.cy);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
  // One block has moved by at most one pixel; everything else is the desktop in its place.
  size_t moved = 0;
  for (int y = 0; y < screen_.cy; ++y)
    for (int x = 0; x < screen_.cx; ++x) {
      POINT from;
      ASSERT_TRUE(placeOf(first[static_cast<size_t>(y) * screen_.cx + x], screen_, from)) << x << "," << y;
      ASSERT_LE(std::abs(from.x - x), 1);
      ASSERT_LE(std::abs(from.y - y), 1);
      if (from.x != x || from.y != y) ++moved;
    }
  EXPECT_LE(moved, 128u * 128u);
}

TEST_F(GraphicsWindowEffect, PresetThreeDriftsThePictureUpAndLeftBlockByBlock) {
  int largest = 0;
  runEffect(3, [&](int poll) {
    if (poll != 400) return;
    largest = checkDriftUpLeft(screenPixels());
    hl::typeText("q");
  });
  // Blocks copied over blocks already moved carry the picture further.
  EXPECT_GE(largest, 2);
}

TEST_F(GraphicsWindowEffect, ANumberOutsideThePresetsDriftsLikePresetThree) {
  int largest = 0;
  runEffect(-32768, [&](int poll) {
    if (poll != 200) return;
    largest = checkDriftUpLeft(screenPixels());
    hl::typeText("q");
  });
  EXPECT_GE(largest, 1);
}

TEST_F(GraphicsWindowEffect, ARepaintShowsTheFrozenDesktopAgain) {
  std::vector<uint32_t> repainted;
  runEffect(10, [&](int poll) {
    if (poll == 300) InvalidateRect(frmGraphics.peek()->hWnd(), nullptr, FALSE);
    // The repaint happens within the same yield, before the next block.
    if (poll == 301) {
      repainted = screenPixels();
      hl::typeText("q");
    }
  });
  ASSERT_EQ(repainted.size(), static_cast<size_t>(screen_.cx) * screen_.cy);
  for (int y = 0; y < screen_.cy; ++y)
    for (int x = 0; x < screen_.cx; ++x)
      ASSERT_EQ(repainted[static_cast<size_t>(y) * screen_.cx + x], patternAt(x, y)) << x << "," << y;
}

TEST_F(GraphicsWindowEffect, BlocksPastTheEdgesAreClippedByThePlatform) {
  for (int16_t ef : {6, 7, 12, 19, 21}) {
    bool allFromTheDesktop = true;
    runEffect(ef, [&](int poll) {
      if (poll != 300) return;
      const std::vector<uint32_t> pixels = screenPixels();
      POINT from;
      for (uint32_t p : pixels) allFromTheDesktop = allFromTheDesktop && placeOf(p, screen_, from);
      hl::typeText("q");
    });
    EXPECT_TRUE(allFromTheDesktop) << "ef " << ef;
    EXPECT_EQ(frmGraphics.peek(), nullptr);
  }
}

TEST_F(GraphicsWindowEffect, AClickOrAKeyThatTypesEndsItAtOnce) {
  const std::vector<std::function<void()>> inputs = {
      [] { hl::click(300, 200); },
      [] { hl::typeText("a"); },
      [] { hl::pressKey(VK_RETURN); },
      [] { hl::pressKey(VK_ESCAPE); },
      [] { hl::pressKey(VK_BACK); },
  };
  for (size_t i = 0; i < inputs.size(); ++i) {
    const int last = runEffect(0, [&](int poll) {
      if (poll == 5) inputs[i]();
    });
    // The input's own yield empties the queue once more; no block follows it.
    EXPECT_EQ(last, 6) << "input " << i;
    EXPECT_EQ(frmGraphics.peek(), nullptr);
  }
}

TEST_F(GraphicsWindowEffect, KeysThatTypeNothingLeaveItRunning) {
  const int last = runEffect(0, [&](int poll) {
    if (poll == 5) hl::pressKey(VK_F5);
    if (poll == 7) hl::pressKey(VK_SHIFT);
    if (poll == 9) hl::mouseMove(40, 40);
    if (poll == 30) hl::typeText("z");
  });
  EXPECT_EQ(last, 31);
}

TEST_F(GraphicsWindowEffect, AWindowClosedUnderTheLoopEndsIt) {
  const int last = runEffect(0, [&](int poll) {
    if (poll == 5) PostMessageA(frmGraphics.peek()->hWnd(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(last, 6);
  EXPECT_EQ(frmGraphics.peek(), nullptr);
}

TEST_F(GraphicsWindowEffect, GivesBackTheScreenAndEveryObject) {
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  DWORD gdiDuring = 0;
  runEffect(0, [&](int poll) {
    if (poll == 3) {
      gdiDuring = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
      hl::typeText("q");
    }
  });
  DoEvents();
  EXPECT_GT(gdiDuring, gdi);  // the screen's DC and the retained image, while it runs
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

TEST_F(GraphicsWindowEffect, EachShowingStartsFromFreshParameters) {
  GraphicsWindow::EffectParameters seen{};
  runEffect(21, [&](int poll) {
    if (poll == 2) hl::typeText("q");
  });
  EXPECT_EQ(frmGraphics.peek(), nullptr);
  // Shown again without setting the preset: a fresh window, preset 0 and its defaults.
  hl::onIdle([&](int poll) {
    if (poll == 2) {
      seen = frmGraphics.peek()->Parameters();
      hl::typeText("q");
    }
  });
  frmGraphics->Show(vbModal);
  hl::onIdle(nullptr);
  EXPECT_EQ(seen.SpreadX, 2);
  EXPECT_EQ(seen.BiasX, 1);
  EXPECT_EQ(seen.BlockWidth, 128);
  EXPECT_EQ(seen.BlockHeight, 128);
}
