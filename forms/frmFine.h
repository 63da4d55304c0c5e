// The result window: shows the outcome of the flush; Ok ends the run.
#pragma once

#include "button/ztButtons_H.h"
#include "framework/Form.h"
#include "framework/TextBox.h"

class ResultWindow : public Form {
 public:
  ResultWindow();

  TextBox Text1{this, "Text1"};
  ztButtons_H ztButtons_H1{this, "ztButtons_H1"};
  ztButtons_H ztButtons_H2{this, "ztButtons_H2"};

  void Form_Load() override;
  void ztButtons_H1_Click();
  void ztButtons_H2_Click();
};

extern FormInstance<ResultWindow> frmFine;

// major + "." + minor as "00" + "." + revision as "0000", as the program states its version.
std::string VersionText(int major, int minor, int revision);

// " v." + the version text, for the result window's caption.
std::string VersionSuffix(int major, int minor, int revision);
