#include "forms/frmAbout.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "FormDescriptions.h"
#include "forms/frmFine.h"
#include "forms/frmGraphics.h"
#include "framework/App.h"
#include <exception>

FormInstance<AboutWindow> frmAbout;

const char kAuthorPage[] = "https://corvane.example.org";

namespace {
constexpr int16_t kEscape = 27;
}  // namespace

std::string ShellErrorMessage(int32_t code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 5: return "Access denied";
    case 8: return "Out of memory";
    case 11: return "Invalid EXE file or error in EXE image";
    case 26: return "A sharing violation occurred";
    case 27: return "Incomplete or invalid file association";
    case 28: return "DDE Time out";
    case 29: return "DDE transaction failed";
    case 30: return "DDE busy";
    case 31: return "No association for file extension";
    case 32: return "DLL not found";
    default: return "Unknown error";
  }
}

AboutWindow::AboutWindow() : Form(FormDescription_frmAbout) {
  Label1.Click.connect([this] { Label1_Click(); });
  Label3.Click.connect([this] { Label3_Click(); });
  Label4.Click.connect([this] { Label4_Click(); });
  Label8.Click.connect([this] { Label8_Click(); });
}

void AboutWindow::Form_Load() {
  escapeHeld_ = false;
  lblVersione.setCaption(frmFine->Caption());
  Animation1.setBackColor(BackColor());
  Label7.setBackColor(BackColor());
  // The clip is a decoration: whatever keeps it from playing, the window opens all the same, as
  // the wait window does, rather than ending the program.
  try {
    Animation1.Open(App.Path() + "\\vertisano2.dll");
    Animation1.Play();
  } catch (const std::exception&) {
    Animation1.Close();
  }
}

int32_t AboutWindow::StartDoc(const std::string& DocName) {
  HINSTANCE result =
      ShellExecuteA(GetDesktopWindow(), "Open", DocName.c_str(), "", "C:\\", SW_SHOWNORMAL);
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(result));
}

void AboutWindow::OpenLink(const std::string& document) {
  int32_t result = StartDoc(document);
  if (result <= 32) MsgBox(ShellErrorMessage(result), vbOKOnly, App.Title);
}

// Escape that closes a message box goes down in the box and comes up here; opening the licence
// for it again would bring the same box straight back.
void AboutWindow::Form_KeyDown(int16_t& KeyCode, int16_t&) {
  if (KeyCode == kEscape) escapeHeld_ = true;
}

void AboutWindow::Form_KeyUp(int16_t& KeyCode, int16_t&) {
  if (KeyCode != kEscape || !escapeHeld_) return;
  escapeHeld_ = false;
  Label3_Click();
}

void AboutWindow::Label1_Click() {
  sndPlaySoundA((App.Path() + "\\vertisano.dll").c_str(), SND_SYNC | SND_NODEFAULT);
}

void AboutWindow::Label3_Click() { OpenLink(App.Path() + "\\gpl.txt"); }

void AboutWindow::Label8_Click() { OpenLink(kAuthorPage); }

void AboutWindow::Label4_Click() {
  frmGraphics.object().ef = 0;  // set before the load step reads it
  frmGraphics->Show(vbModal);
  Unload();
}
