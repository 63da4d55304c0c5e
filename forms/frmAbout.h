// The About window: the version, a clip, links to the licence and to the author's page, a hidden
// spot that plays a sound, and the signature that starts the screen-scramble effect.
#pragma once

#include "framework/Animation.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"

#include <cstdint>
#include <string>

class AboutWindow : public Form {
 public:
  AboutWindow();

  Image Image2{this, "Image2"};
  Label lblVersione{this, "lblVersione"};
  Label Label5{this, "Label5"};
  Label Label8{this, "Label8"};
  Label Label7{this, "Label7"};
  Animation Animation1{this, "Animation1"};
  Image Image1{this, "Image1"};
  Label Label2{this, "Label2"};
  Label Label1{this, "Label1"};
  Label Label3{this, "Label3"};
  Label Label4{this, "Label4"};

  // Hands a file or a web address to the shell's "Open"; the shell's result, above 32 when the
  // document was handed over.
  int32_t StartDoc(const std::string& DocName);

  void Form_Load() override;
  void Form_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
  void Form_KeyUp(int16_t& KeyCode, int16_t& Shift) override;
  void Label1_Click();
  void Label3_Click();
  void Label4_Click();
  void Label8_Click();

 private:
  void OpenLink(const std::string& document);

  // Escape went down on this window: only then does its release open the licence.
  bool escapeHeld_ = false;
};

extern FormInstance<AboutWindow> frmAbout;

// The author's web page: Label8's caption and what a click on it opens.
extern const char kAuthorPage[];

// What the message box says for a shell result of 32 or less.
std::string ShellErrorMessage(int32_t code);
