#include "framework/TextBox.h"

#include <windowsx.h>

#include "framework/Form.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
constexpr char kTextBoxClass[] = "CorvaneTextBox";
constexpr int kBorder = 2;  // the sunken frame
// Where a multi-line edit control with a sunken client edge puts its text inside that edge: its
// margin of 3 and one column more from the left (and as much from the right), 1 from the top.
constexpr int kTextLeft = kBorder + 4;
constexpr int kTextTop = kBorder + 1;
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkMs = 530;  // the caret blink time Windows starts with
}  // namespace

void TextBox::setText(const std::string& t) {
  text_ = t;
  selStart_ = caret_ = 0;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  Change.raise();
}

void TextBox::setBackColor(OLE_COLOR c) { backColor_ = c; if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE); }
void TextBox::setForeColor(OLE_COLOR c) { foreColor_ = c; if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE); }
void TextBox::setFont(FontRef f) { if (f) font_ = std::move(f); if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE); }

void TextBox::setSelection(int32_t start, int32_t length) {
  int32_t n = static_cast<int32_t>(text_.size());
  start = std::clamp(start, 0, n);
  length = std::clamp(length, 0, n - start);
  selStart_ = start;
  caret_ = start + length;
  restartBlink();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool TextBox::copySelection() {
  std::string s = SelText();
  if (s.empty()) return false;
  if (!OpenClipboard(hwnd_)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  bool ok = false;
  if (mem) {
    if (void* p = GlobalLock(mem)) {
      std::memcpy(p, s.c_str(), s.size() + 1);
      GlobalUnlock(mem);
      // The clipboard owns the memory once it has taken it.
      ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    }
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

bool TextBox::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "text") text_ = v.toText();
  else if (k == "backcolor") backColor_ = static_cast<OLE_COLOR>(v.toLong());
  else if (k == "forecolor") foreColor_ = static_cast<OLE_COLOR>(v.toLong());
  else if (k == "font") { if (auto f = v.toFont()) font_ = f; }
  else if (k == "locked") locked_ = v.toBool();
  else if (k == "multiline") multiLine_ = v.toBool();
  else if (k == "borderstyle") borderStyle_ = v.toInteger();
  else return Control::applyProperty(k, v);
  return true;
}

void TextBox::saveProperties(DescriptionBlock& b) const {
  b.set("Text", PropertyValue(text_));
  Control::saveProperties(b);
  if (backColor_ != 0x80000005) b.set("BackColor", PropertyValue(backColor_));
  if (foreColor_ != 0x80000008) b.set("ForeColor", PropertyValue(foreColor_));
  b.set("Font", PropertyValue(font_));
  b.set("MultiLine", PropertyValue(VbBoolean(multiLine_)));
  b.set("Locked", PropertyValue(VbBoolean(locked_)));
  if (borderStyle_ != 1) b.set("BorderStyle", PropertyValue(borderStyle_));
}

void TextBox::create(HWND parent) {
  RegisterControlClass<TextBox>(kTextBoxClass, CS_DBLCLKS, IDC_IBEAM);
  createWindow(this, parent, kTextBoxClass, "", "the text box");
}

void TextBox::destroy() {
  if (!hwnd_) return;
  focused_ = caretOn_ = false;
  destroyWindow();
}

// Lines break at CR LF (a lone CR or LF too) and wrap at blanks to fit the width.
void TextBox::layout(HDC dc) {
  lines_.clear();
  RECT client;
  GetClientRect(hwnd_, &client);
  int width = client.right - 2 * kTextLeft;
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  lineHeight_ = tm.tmHeight > 0 ? tm.tmHeight : 13;
  auto fits = [&](size_t start, size_t len) {
    SIZE sz{};
    GetTextExtentPoint32A(dc, text_.c_str() + start, static_cast<int>(len), &sz);
    return sz.cx <= width;
  };
  size_t i = 0, n = text_.size();
  while (true) {
    size_t end = i;
    while (end < n && text_[end] != '\r' && text_[end] != '\n') ++end;
    // Wrap the paragraph [i, end).
    size_t start = i;
    while (multiLine_ && end - start > 0 && !fits(start, end - start)) {
      size_t len = end - start;
      size_t cut = 0;
      for (size_t k = len; k > 0; --k) {
        if (text_[start + k - 1] == ' ' && fits(start, k - 1)) {
          cut = k;
          break;
        }
      }
      if (!cut) {
        // No blank fits: break inside the word, keeping at least one character.
        cut = 1;
        while (cut < len && fits(start, cut + 1)) ++cut;
      }
      size_t shown = cut;
      while (shown > 0 && text_[start + shown - 1] == ' ') --shown;
      lines_.push_back({start, shown});
      start += cut;
    }
    lines_.push_back({start, end - start});
    if (end >= n) break;
    i = end + ((text_[end] == '\r' && end + 1 < n && text_[end + 1] == '\n') ? 2 : 1);
  }
}

int TextBox::lineOf(int32_t index) const {
  for (size_t l = lines_.size(); l-- > 0;)
    if (static_cast<size_t>(index) >= lines_[l].start) return static_cast<int>(l);
  return 0;
}

void TextBox::paint(HDC dc) {
  const RECT client = FillClient(hwnd_, dc, TranslateOleColor(backColor_));
  if (borderStyle_ == 1) {
    // The classic sunken edge: grey and black above and left, white and light grey below and right.
    auto line = [&](int x0, int y0, int x1, int y1, COLORREF c) {
      HPEN pen = CreatePen(PS_SOLID, 1, c);
      HGDIOBJ old = SelectObject(dc, pen);
      MoveToEx(dc, x0, y0, nullptr);
      LineTo(dc, x1, y1);
      SelectObject(dc, old);
      DeleteObject(pen);
    };
    int r = client.right - 1, b = client.bottom - 1;
    line(0, b, 0, 0, GetSysColor(COLOR_BTNSHADOW));
    line(0, 0, r, 0, GetSysColor(COLOR_BTNSHADOW));
    line(1, b - 1, 1, 1, GetSysColor(COLOR_3DDKSHADOW));
    line(1, 1, r - 1, 1, GetSysColor(COLOR_3DDKSHADOW));
    line(0, b, r + 1, b, GetSysColor(COLOR_BTNHIGHLIGHT));
    line(r, 0, r, b, GetSysColor(COLOR_BTNHIGHLIGHT));
    line(1, b - 1, r, b - 1, GetSysColor(COLOR_BTNFACE));
    line(r - 1, 1, r - 1, b - 1, GetSysColor(COLOR_BTNFACE));
  }
  HFONT font = font_->createHandle();
  HGDIOBJ oldFont = SelectObject(dc, font);
  layout(dc);
  // Without the focus the selection is kept but not shown.
  int selA = SelStart(), selB = focused_ ? SelStart() + SelLength() : SelStart();
  int x0 = kTextLeft;
  int y = kTextTop;
  COLORREF fore = Enabled() ? TranslateOleColor(foreColor_) : GetSysColor(COLOR_GRAYTEXT);
  const int caretLine = lineOf(caret_);
  for (const Line& l : lines_) {
    if (y >= client.bottom) break;
    int x = x0;
    if (&l == &lines_[static_cast<size_t>(caretLine)]) {
      SIZE before{};
      GetTextExtentPoint32A(dc, text_.c_str() + l.start, caret_ - static_cast<int32_t>(l.start), &before);
      caretX_ = x0 + before.cx;
      caretY_ = y;
    }
    // Three runs: before, inside and after the selection.
    size_t cuts[4] = {l.start, l.start, l.start + l.length, l.start + l.length};
    cuts[1] = std::clamp<size_t>(static_cast<size_t>(selA), l.start, l.start + l.length);
    cuts[2] = std::clamp<size_t>(static_cast<size_t>(selB), cuts[1], l.start + l.length);
    for (int run = 0; run < 3; ++run) {
      size_t a = cuts[run], b = cuts[run + 1];
      if (b <= a) continue;
      bool selected = run == 1;
      SetBkMode(dc, selected ? OPAQUE : TRANSPARENT);
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : fore);
      TextOutA(dc, x, y, text_.c_str() + a, static_cast<int>(b - a));
      SIZE sz{};
      GetTextExtentPoint32A(dc, text_.c_str() + a, static_cast<int>(b - a), &sz);
      x += sz.cx;
    }
    y += lineHeight_;
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  // The caret inverts what is under it, one pixel wide and a line high, as the system caret does.
  if (focused_ && caretOn_) {
    RECT c = caretRect();
    PatBlt(dc, c.left, c.top, c.right - c.left, c.bottom - c.top, DSTINVERT);
  }
}

// The caret stands at the origin of the character it precedes, as the edit control's does; the
// bitmap face's letters keep a blank column there, so the stem of an E stays whole.
RECT TextBox::caretRect() const { return RECT{caretX_, caretY_, caretX_ + 1, caretY_ + lineHeight_}; }

void TextBox::restartBlink() {
  if (!hwnd_ || !focused_) return;
  caretOn_ = true;
  SetTimer(hwnd_, kBlinkTimer, kBlinkMs, nullptr);
}

int32_t TextBox::indexAt(POINT p) {
  HDC dc = GetDC(hwnd_);
  HFONT font = font_->createHandle();
  HGDIOBJ old = SelectObject(dc, font);
  layout(dc);
  int row = (p.y - kTextTop) / (lineHeight_ > 0 ? lineHeight_ : 1);
  row = std::clamp(row, 0, static_cast<int>(lines_.size()) - 1);
  const Line& l = lines_[static_cast<size_t>(row)];
  int32_t index = static_cast<int32_t>(l.start + l.length);
  int x = p.x - kTextLeft;
  for (size_t k = 0; k < l.length; ++k) {
    SIZE a{}, b{};
    GetTextExtentPoint32A(dc, text_.c_str() + l.start, static_cast<int>(k), &a);
    GetTextExtentPoint32A(dc, text_.c_str() + l.start, static_cast<int>(k + 1), &b);
    if (x < (a.cx + b.cx) / 2) {
      index = static_cast<int32_t>(l.start + k);
      break;
    }
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(hwnd_, dc);
  return index;
}

void TextBox::moveCaret(int32_t to, bool extend) {
  caret_ = std::clamp(to, 0, static_cast<int32_t>(text_.size()));
  if (!extend) selStart_ = caret_;
  restartBlink();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT TextBox::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto answer = PaintWholeClient(hwnd_, msg, [this](HDC dc) { paint(dc); })) return *answer;
  switch (msg) {
    case WM_SETFOCUS:
      focused_ = true;
      restartBlink();
      InvalidateRect(hwnd_, nullptr, FALSE);
      Parent().focusMovedTo(this);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      caretOn_ = false;
      KillTimer(hwnd_, kBlinkTimer);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (wParam != kBlinkTimer) break;
      caretOn_ = !caretOn_;
      {
        RECT c = caretRect();
        InvalidateRect(hwnd_, &c, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd_) ::SetFocus(hwnd_);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      moveCaret(indexAt(p), (wParam & MK_SHIFT) != 0);
      dragging_ = true;
      SetCapture(hwnd_);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_ && (wParam & MK_LBUTTON)) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        moveCaret(indexAt(p), true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        Click.raise();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      // A double click selects the word under the pointer.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int32_t i = indexAt(p), a = i, b = i;
      auto word = [&](int32_t k) {
        return k >= 0 && k < static_cast<int32_t>(text_.size()) && !std::isspace(static_cast<unsigned char>(text_[static_cast<size_t>(k)]));
      };
      while (word(a - 1)) --a;
      while (word(b)) ++b;
      selStart_ = a;
      caret_ = b;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      if (Parent().navigationKey(msg, wParam)) return 0;
      if (msg == WM_SYSKEYDOWN) break;
      if (Parent().previewKey(msg, wParam)) return 0;
      bool shift = GetKeyState(VK_SHIFT) < 0;
      bool ctrl = GetKeyState(VK_CONTROL) < 0;
      if (ctrl && wParam == 'A') {
        setSelection(0, static_cast<int32_t>(text_.size()));
        return 0;
      }
      if (ctrl && (wParam == 'C' || wParam == VK_INSERT)) {
        copySelection();
        return 0;
      }
      HDC dc = GetDC(hwnd_);
      HFONT font = font_->createHandle();
      HGDIOBJ old = SelectObject(dc, font);
      layout(dc);
      SelectObject(dc, old);
      DeleteObject(font);
      ReleaseDC(hwnd_, dc);
      int row = lineOf(caret_);
      const Line& l = lines_[static_cast<size_t>(row)];
      int32_t col = caret_ - static_cast<int32_t>(l.start);
      switch (wParam) {
        case VK_LEFT: {
          int32_t to = caret_ - 1;
          // Step over a CR LF pair as one break.
          if (to > 0 && text_[static_cast<size_t>(to)] == '\n' && text_[static_cast<size_t>(to - 1)] == '\r') --to;
          moveCaret(to, shift);
          break;
        }
        case VK_RIGHT: {
          int32_t to = caret_ + 1;
          if (caret_ < static_cast<int32_t>(text_.size()) && text_[static_cast<size_t>(caret_)] == '\r' &&
              to < static_cast<int32_t>(text_.size()) && text_[static_cast<size_t>(to)] == '\n')
            ++to;
          moveCaret(to, shift);
          break;
        }
        case VK_UP:
        case VK_DOWN: {
          int target = row + (wParam == VK_UP ? -1 : 1);
          if (target < 0) { moveCaret(0, shift); break; }
          if (target >= static_cast<int>(lines_.size())) { moveCaret(static_cast<int32_t>(text_.size()), shift); break; }
          const Line& t = lines_[static_cast<size_t>(target)];
          moveCaret(static_cast<int32_t>(t.start) + std::min<int32_t>(col, static_cast<int32_t>(t.length)), shift);
          break;
        }
        case VK_HOME: moveCaret(ctrl ? 0 : static_cast<int32_t>(l.start), shift); break;
        case VK_END:
          moveCaret(ctrl ? static_cast<int32_t>(text_.size()) : static_cast<int32_t>(l.start + l.length), shift);
          break;
        default: break;
      }
      return 0;
    }
    case WM_SYSCHAR:
      if (Parent().navigationKey(msg, wParam)) return 0;
      break;
    // As an edit control answers them, so the system can hand the selected text to others.
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      const size_t n = std::min(text_.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buffer, text_.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case EM_GETSEL: {
      const auto start = static_cast<DWORD>(SelStart());
      const auto end = static_cast<DWORD>(SelStart() + SelLength());
      if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = end;
      if (end > 0xFFFF) return -1;
      return static_cast<LRESULT>(start | (end << 16));
    }
    case WM_CHAR:
    case WM_KEYUP:
      Parent().previewKey(msg, wParam);
      return 0;  // the text is the program's: typing changes nothing
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}
