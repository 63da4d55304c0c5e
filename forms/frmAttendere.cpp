#include "forms/frmAttendere.h"

#include "FormDescriptions.h"
#include "framework/App.h"

#include <exception>

FormInstance<WaitWindow> frmAttendere;

WaitWindow::WaitWindow() : Form(FormDescription_frmAttendere) {}

void WaitWindow::Inizio() {
  DoEvents();
  Show(vbModeless);
  DoEvents();
  // The clip is a decoration: one that cannot be played for any reason (a missing or unreadable
  // file, no memory, no thread to play it on) must not keep the volume from being flushed, so the
  // window simply stays without it.
  try {
    Animation1.Open(App.Path() + "\\res.dll");
    Animation1.Play();
  } catch (const std::exception&) {
    Animation1.Close();
  }
}

void WaitWindow::Form_Unload(int16_t&) { Animation1.Close(); }
