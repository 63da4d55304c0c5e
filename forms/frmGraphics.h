// The screen-scramble window: a frozen copy of the desktop, smeared block by block until the user
// clicks or presses a key. The caller sets `ef` (the preset) and shows the window modally.
#pragma once

#include "framework/Form.h"

#include <cstdint>

class GraphicsWindow : public Form {
 public:
  GraphicsWindow();

  // The preset, read once when the window loads.
  int16_t ef = 0;

  // Runs the whole effect, from the copy of the screen to the unload of the window.
  void doeffect();

  // How blocks move: set from the preset at load.
  struct EffectParameters {
    int16_t SpreadX = 0;
    int16_t BiasX = 0;
    int16_t SpreadY = 0;
    int16_t BiasY = 0;
    int16_t BlockWidth = 0;
    int16_t BlockHeight = 0;
  };
  const EffectParameters& Parameters() const { return params_; }

  // One pass of the loop: where the block comes from and where it goes.
  struct BlockMove {
    int32_t X0, Y0, DX, DY;
  };
  // The move for a screen of the given size in pixels and four random numbers drawn in this
  // order: X0, Y0, DX, DY.
  static BlockMove NextMove(const EffectParameters& p, int32_t screenWidth, int32_t screenHeight,
                            const float r[4]);

  void Form_Load() override;
  void Form_Activate() override;
  void Form_Click() override;
  void Form_KeyPress(int16_t& KeyAscii) override;

 private:
  EffectParameters params_;
  int16_t running_ = 0;  // a 16-bit boolean: -1 while the loop runs
};

extern FormInstance<GraphicsWindow> frmGraphics;

// The preset's parameters; any number outside 0 to 21 leaves the defaults.
GraphicsWindow::EffectParameters EffectPreset(int16_t ef);
