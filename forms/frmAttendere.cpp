#include "forms/frmAttendere.h"

#include "FormDescriptions.h"
#include "framework/App.h"
#include "framework/RuntimeError.h"

FormInstance<WaitWindow> frmAttendere;

WaitWindow::WaitWindow() : Form(FormDescription_frmAttendere) {}

void WaitWindow::Inizio() {
  DoEvents();
  Show(vbModeless);
  DoEvents();
  // The clip is a decoration: a missing or unreadable one must not keep the volume from being
  // flushed, so the window simply stays without it.
  try {
    Animation1.Open(App.Path() + "\\res.dll");
    Animation1.Play();
  } catch (const RuntimeError&) {
    Animation1.Close();
  }
}

void WaitWindow::Form_Unload(int16_t&) { Animation1.Close(); }
