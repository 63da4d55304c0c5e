// A text box: multi-line, word-wrapped text with CR LF line breaks in a sunken frame. It takes
// the focus; its text can be selected with the mouse, Shift with the arrow, Home and End keys,
// and Ctrl+A, and copied with Ctrl+C. The user cannot change the text (the program can). While it
// has the focus a caret blinks at the moving end of the selection; without the focus the
// selection is not shown (it is kept), as an edit control without ES_NOHIDESEL does.
#pragma once

#include "framework/Control.h"
#include "framework/ControlWindow.h"
#include "framework/Event.h"
#include "framework/StdFont.h"

#include <vector>

class TextBox : public WindowedControl {
 public:
  TextBox(Form* owner, std::string name) : WindowedControl(owner, std::move(name), "TextBox") {}
  // A window going away without unloading first must not leave this box's window behind.
  ~TextBox() override { destroy(); }

  std::string Text() const { return text_; }
  void setText(const std::string& text);
  OLE_COLOR BackColor() const { return backColor_; }
  void setBackColor(OLE_COLOR c);
  OLE_COLOR ForeColor() const { return foreColor_; }
  void setForeColor(OLE_COLOR c);
  FontRef Font() const { return font_; }
  void setFont(FontRef font);
  // The selection: start and length in characters.
  int32_t SelStart() const { return selStart_ < caret_ ? selStart_ : caret_; }
  int32_t SelLength() const { return selStart_ < caret_ ? caret_ - selStart_ : selStart_ - caret_; }
  std::string SelText() const { return text_.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength())); }
  void setSelection(int32_t start, int32_t length);
  // Puts the selected text on the clipboard as CF_TEXT; false when nothing is selected or the
  // clipboard cannot be had.
  bool copySelection();

  Event<> Change;
  Event<> Click;

  bool applyProperty(const std::string& key, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  void create(HWND parent) override;
  void destroy() override;

 private:
  struct Line {
    size_t start;
    size_t length;
  };
  CORVANE_ROUTED_CONTROL;
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void layout(HDC dc);
  void paint(HDC dc);
  int32_t indexAt(POINT p);
  void moveCaret(int32_t to, bool extend);
  // Shows the caret and starts its blinking over (focus gained, caret moved).
  void restartBlink();
  // The caret's rectangle in client coordinates, from the layout of the last paint.
  RECT caretRect() const;
  int lineOf(int32_t index) const;

  std::string text_;
  OLE_COLOR backColor_ = 0x80000005;
  OLE_COLOR foreColor_ = 0x80000008;
  FontRef font_ = NewFont();
  bool locked_ = true;
  bool multiLine_ = true;
  int16_t borderStyle_ = 1;
  int32_t selStart_ = 0;  // the anchor
  int32_t caret_ = 0;     // the moving end
  bool dragging_ = false;
  bool focused_ = false;
  bool caretOn_ = false;  // the blink phase
  int caretX_ = 0;        // where the last paint put the caret, client coordinates
  int caretY_ = 0;
  std::vector<Line> lines_;
  int lineHeight_ = 13;
};
