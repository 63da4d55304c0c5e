#include "forms/frmGraphics.h"

#include "FormDescriptions.h"
#include "framework/App.h"

#include <cmath>

FormInstance<GraphicsWindow> frmGraphics;

namespace {

// The copy loop picks block corners as if every block were this wide and high, whatever the
// preset's block size, so that presets with bigger blocks reach past the screen's edges.
constexpr int32_t kPlacementBlock = 128;

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// A whole number times a single-precision draw fits a double exactly; the rounding mode of the
// default environment takes halves to the even neighbour.
int32_t nearest(double value) { return static_cast<int32_t>(std::nearbyint(value)); }

}  // namespace

GraphicsWindow::EffectParameters EffectPreset(int16_t ef) {
  GraphicsWindow::EffectParameters p;
  p.BlockWidth = 128;
  p.BlockHeight = 128;
  p.BiasX = 1;
  p.BiasY = 1;
  auto spread = [&p](int16_t x, int16_t y) {
    p.SpreadX = x;
    p.SpreadY = y;
  };
  auto bias = [&p](int16_t x, int16_t y) {
    p.BiasX = x;
    p.BiasY = y;
  };
  auto block = [&p](int16_t width, int16_t height) {
    p.BlockWidth = width;
    p.BlockHeight = height;
  };
  switch (ef) {
    case 0: spread(2, 2); break;
    case 1: spread(20, 20); break;
    case 2: spread(9, 9); break;
    case 3: spread(0, 0); break;
    case 4: spread(3, 3); break;
    case 5: spread(5, 5); break;
    case 6: spread(10000, 10000); break;
    case 7: spread(1000, 1000); break;
    case 8: spread(10, 2); break;
    case 9: spread(2, 10); break;
    case 10: bias(10, 10); break;
    case 11: spread(20, 10); bias(10, 10); break;
    case 12: spread(2, 2); bias(-100, 2); break;
    case 13: spread(2, 2); block(100, 10); break;
    case 14: spread(10, 8); block(100, 10); break;
    case 15: spread(50, 10); bias(80, 10); block(1, 25); break;
    case 16: spread(2, 10); bias(5, 10); block(12, 1); break;
    case 17: spread(1, 1); bias(-2, 10); block(1, 1); break;
    case 18: spread(5, 5); bias(-2, 10); block(8, 4); break;
    case 19: spread(2, 10); bias(-2, 10); block(200, 4); break;
    case 20: spread(30, 30); bias(10, 10); block(10, 10); break;
    case 21: spread(25, 25); bias(250, 25); block(25, 255); break;
    default: break;
  }
  return p;
}

GraphicsWindow::GraphicsWindow() : Form(FormDescription_frmGraphics) {}

void GraphicsWindow::Form_Load() { params_ = EffectPreset(ef); }

void GraphicsWindow::Form_Activate() { doeffect(); }

void GraphicsWindow::Form_Click() { running_ = kFalse; }

void GraphicsWindow::Form_KeyPress(int16_t&) { running_ = kFalse; }

GraphicsWindow::BlockMove GraphicsWindow::NextMove(const EffectParameters& p, int32_t screenWidth,
                                                   int32_t screenHeight, const float r[4]) {
  BlockMove m;
  m.X0 = nearest(static_cast<double>(screenWidth - kPlacementBlock) * r[0]);
  m.Y0 = nearest(static_cast<double>(screenHeight - kPlacementBlock) * r[1]);
  m.DX = nearest(static_cast<double>(p.SpreadX) * r[2] - p.BiasX);
  m.DY = nearest(static_cast<double>(p.SpreadY) * r[3] - p.BiasY);
  return m;
}

void GraphicsWindow::doeffect() {
  const int32_t width = nearest(static_cast<double>(Screen.Width()) / Screen.TwipsPerPixelX());
  const int32_t height = nearest(static_cast<double>(Screen.Height()) / Screen.TwipsPerPixelY());
  Move(0, 0, static_cast<int32_t>(Screen.Width()), static_cast<int32_t>(Screen.Height()));

  HDC screen = GetDC(nullptr);
  BitBlt(hDC(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
  // From here the blocks go straight to the window; the retained image keeps the untouched
  // desktop, which is what a repaint shows.
  setAutoRedraw(false);

  Randomize();
  running_ = kTrue;
  // A window closed under the loop (by the window manager, say) ends it as a click would: there
  // is nothing left to draw on.
  while (running_ && Loaded()) {
    float r[4];
    for (float& draw : r) draw = Rnd();
    const BlockMove m = NextMove(params_, width, height, r);
    HDC dc = hDC();
    BitBlt(dc, m.X0 + m.DX, m.Y0 + m.DY, params_.BlockWidth, params_.BlockHeight, dc, m.X0, m.Y0,
           SRCCOPY);
    DoEvents();
  }

  frmGraphics.Release();
  ReleaseDC(nullptr, screen);
  Unload();
}
