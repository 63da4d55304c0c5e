// The wait window: on screen, with its clip playing, while the volume is opened and flushed.
#pragma once

#include "framework/Animation.h"
#include "framework/Form.h"

class WaitWindow : public Form {
 public:
  WaitWindow();

  // Shows the window without blocking and starts the clip.
  void Inizio();

  Animation Animation1{this, "Animation1"};

  void Form_Unload(int16_t& Cancel) override;
};

extern FormInstance<WaitWindow> frmAttendere;
