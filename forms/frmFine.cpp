#include "forms/frmFine.h"

#include "FormDescriptions.h"
#include "forms/frmAbout.h"
#include "framework/App.h"

#include <cstdio>

FormInstance<ResultWindow> frmFine;

std::string VersionText(int major, int minor, int revision) {
  char text[48];
  std::snprintf(text, sizeof text, "%d.%02d.%04d", major, minor, revision);
  return text;
}

std::string VersionSuffix(int major, int minor, int revision) { return " v." + VersionText(major, minor, revision); }

ResultWindow::ResultWindow() : Form(FormDescription_frmFine) {
  ztButtons_H1.Click.connect([this] { ztButtons_H1_Click(); });
  ztButtons_H2.Click.connect([this] { ztButtons_H2_Click(); });
}

void ResultWindow::Form_Load() {
  setCaption(Caption() + VersionSuffix(App.Major(), App.Minor(), App.Revision()));
}

void ResultWindow::ztButtons_H1_Click() { Unload(); }

void ResultWindow::ztButtons_H2_Click() { frmAbout->Show(vbModal); }
