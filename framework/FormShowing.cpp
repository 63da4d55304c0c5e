// Showing and hiding a window, and the modal wait with the program's other windows disabled.
#include "framework/Form.h"

#include "framework/FormRuntime.h"

using namespace formruntime;

bool Form::Visible() const { return hwnd_ && visible_; }

void Form::setVisible(bool visible) {
  if (visible) {
    Show(vbModeless);
    return;
  }
  if (!hwnd_ || !visible_) return;
  visible_ = false;
  ShowWindow(hwnd_, SW_HIDE);
  for (Control* c : controls_) c->containerShown(false);
}

void Form::Show(int16_t modal) {
  FormUse use(this);
  Load();
  if (!hwnd_) return;  // Form_Load unloaded the window again
  if (modal && visible_) throw RuntimeError(400, "Form already displayed; can't show modally");

  std::vector<HWND> disabled;
  const HWND activeBefore = modal ? GetActiveWindow() : nullptr;
  if (modal && !visible_) {
    // The window that was active when it opened owns it while it is modal, as a dialog box's
    // owner does: the window manager keeps it over that one and knows it is its dialog.
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT,
                      reinterpret_cast<LONG_PTR>(activeBefore != hwnd_ ? activeBefore : nullptr));
  }
  if (modal) {
    for (Form* f : loaded()) {
      if (f != this && f->hwnd_ && IsWindowEnabled(f->hwnd_)) {
        EnableWindow(f->hwnd_, FALSE);
        disabled.push_back(f->hwnd_);
      }
    }
  }
  if (!visible_) {
    visible_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    SetActiveWindow(hwnd_);
    if (!focus_) {
      auto order = tabOrder();
      if (!order.empty())
        order.front()->SetFocus();
      else
        ::SetFocus(hwnd_);
    } else {
      focus_->SetFocus();
    }
    for (Control* c : controls_) c->containerShown(true);
    notifyDefaultChange();
    UpdateWindow(hwnd_);
    Form_Activate();
  }
  if (modal) {
    MSG msg;
    while (hwnd_ && visible_) {
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    // An owner takes its owned windows with it when it goes; the ownership ends with the wait.
    if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, 0);
    // The window closed while the one below was still disabled, so nothing took its place:
    // the window that was active before it comes back, as below a closed dialog.
    if (!GetActiveWindow() && activeBefore && IsWindow(activeBefore) && IsWindowVisible(activeBefore))
      SetActiveWindow(activeBefore);
  }
}
