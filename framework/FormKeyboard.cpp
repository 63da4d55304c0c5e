// The keyboard on a window: the focus and the tab order, the default and cancel buttons, access
// keys, and the window's first look at its controls' keys (KeyPreview).
#include "framework/Form.h"

#include "framework/ShiftAndButtons.h"

#include <algorithm>
#include <cctype>

std::vector<Control*> Form::tabOrder() const {
  std::vector<Control*> order;
  for (Control* c : controls_)
    if (c->canFocus() && c->hWnd() && c->Visible() && c->Enabled() && c->TabStop()) order.push_back(c);
  std::stable_sort(order.begin(), order.end(),
                   [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
  return order;
}

void Form::moveFocus(bool forward) {
  auto order = tabOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), focus_);
  size_t i;
  if (it == order.end())
    i = forward ? 0 : order.size() - 1;
  else {
    size_t cur = static_cast<size_t>(it - order.begin());
    i = forward ? (cur + 1) % order.size() : (cur + order.size() - 1) % order.size();
  }
  order[i]->SetFocus();
}

Control* Form::ActiveControl() const { return focus_; }

Control* Form::displayedDefault() const {
  if (!designMode_ && focus_ && focus_->actsAsButton() && focus_->Visible()) return focus_;
  for (Control* c : controls_)
    if (c->Default()) return c;
  return nullptr;
}

void Form::notifyDefaultChange() {
  Control* now = displayedDefault();
  Control* before = shownDefault_;
  shownDefault_ = now;
  if (before == now) return;
  if (before) before->displayAsDefaultChanged();
  if (now) now->displayAsDefaultChanged();
}

void Form::focusMovedTo(Control* c) {
  if (focus_ == c) return;
  Control* old = focus_;
  focus_ = c;
  if (old) old->focusChanged(false);
  notifyDefaultChange();
  if (c) c->focusChanged(true);
}

bool Form::navigationKey(UINT message, WPARAM key) {
  if (message == WM_KEYDOWN) {
    bool ctrlOrAlt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    if (key == VK_TAB && !ctrlOrAlt) {
      moveFocus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
    if (key == VK_RETURN && !ctrlOrAlt) {
      Control* target = displayedDefault();
      if (!target || !target->Enabled() || !target->Visible()) return false;
      target->accessKeyPressed(13);
      return true;
    }
    if (key == VK_ESCAPE && !ctrlOrAlt) {
      for (Control* c : controls_) {
        if (c->Cancel() && c->Enabled() && c->Visible()) {
          c->accessKeyPressed(27);
          return true;
        }
      }
    }
    return false;
  }
  if (message == WM_SYSKEYDOWN) {
    char ch = 0;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
      ch = static_cast<char>(std::tolower(static_cast<int>(key)));
    if (!ch) return false;
    // Labels first pass the key on to the next control in tab order that can take the focus.
    std::vector<Control*> all = controls_;
    std::stable_sort(all.begin(), all.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 0; i < all.size(); ++i) {
      Control* c = all[i];
      if (!c->Visible() || !c->Enabled() || !c->answersAccessKey(ch)) continue;
      if (c->canFocus()) {
        c->SetFocus();
        c->accessKeyPressed(static_cast<int16_t>(static_cast<unsigned char>(ch)));
        return true;
      }
      auto order = tabOrder();
      for (Control* next : order) {
        if (next->TabIndex() > c->TabIndex()) {
          next->SetFocus();
          return true;
        }
      }
      if (!order.empty()) order.front()->SetFocus();
      return true;
    }
    return false;
  }
  if (message == WM_SYSCHAR) {
    unsigned char ch = static_cast<unsigned char>(std::tolower(static_cast<int>(key & 0xFF)));
    for (Control* c : controls_)
      if (c->Visible() && c->Enabled() && c->answersAccessKey(static_cast<char>(ch))) return true;
  }
  return false;
}

bool Form::previewKey(UINT message, WPARAM key) {
  if (!keyPreview_) return false;
  int16_t shift = shiftState();
  switch (message) {
    case WM_KEYDOWN: {
      int16_t code = static_cast<int16_t>(key);
      Form_KeyDown(code, shift);
      return code == 0;
    }
    case WM_KEYUP: {
      int16_t code = static_cast<int16_t>(key);
      Form_KeyUp(code, shift);
      return code == 0;
    }
    case WM_CHAR: {
      int16_t ascii = static_cast<int16_t>(key & 0xFF);
      Form_KeyPress(ascii);
      return ascii == 0;
    }
    default:
      return false;
  }
}
