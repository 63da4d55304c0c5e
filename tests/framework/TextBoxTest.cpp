#include <gtest/gtest.h>

#include <corvane/headless.h>

#include "framework/App.h"
#include "framework/Form.h"
#include "framework/TextBox.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace hl = corvane::headless;

namespace {

class TextForm : public Form {
 public:
  TextForm()
      : Form("Begin Form frmText\n ClientWidth = 3000\n ClientHeight = 1500\n"
             " Begin TextBox Text1\n  Left = 0\n  Top = 0\n  Width = 3000\n  Height = 1500\n"
             "  BackColor = &H8000000F&\n End\nEnd\n") {}
  TextBox Text1{this, "Text1"};
};

std::string clipboardText() {
  std::string s;
  if (!OpenClipboard(nullptr)) return "<no clipboard>";
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      s = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return s;
}

class TextBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    form.Text1.setText("Hello world\r\nsecond line");
    form.Show();
    form.Text1.SetFocus();
    settle();
  }
  void TearDown() override { form.Unload(); }
  void settle() {
    hl::runUntilIdle();
    DoEvents();
  }
  POINT screen(int x, int y) {
    POINT p{x, y};
    ClientToScreen(form.Text1.hWnd(), &p);
    return p;
  }
  TextForm form;
};

TEST_F(TextBoxTest, CtrlASelectsAllAndCtrlCCopiesIt) {
  hl::ctrlKey('A');
  settle();
  EXPECT_EQ(form.Text1.SelStart(), 0);
  EXPECT_EQ(form.Text1.SelLength(), static_cast<int32_t>(form.Text1.Text().size()));
  hl::ctrlKey('C');
  settle();
  EXPECT_EQ(clipboardText(), "Hello world\r\nsecond line");
}

TEST_F(TextBoxTest, ShiftArrowsExtendTheSelectionOverLineBreaks) {
  hl::keyDown(VK_SHIFT);
  for (int i = 0; i < 5; ++i) hl::pressKey(VK_RIGHT);
  hl::keyUp(VK_SHIFT);
  settle();
  EXPECT_EQ(form.Text1.SelText(), "Hello");
  hl::ctrlKey('C');
  settle();
  EXPECT_EQ(clipboardText(), "Hello");
  // Down from column 5 of the first line ends at column 5 of the second; the CR LF comes along.
  hl::keyDown(VK_SHIFT);
  hl::pressKey(VK_DOWN);
  hl::keyUp(VK_SHIFT);
  settle();
  EXPECT_EQ(form.Text1.SelText(), "Hello world\r\nsecon");
  // A plain arrow collapses the selection.
  hl::pressKey(VK_LEFT);
  settle();
  EXPECT_EQ(form.Text1.SelLength(), 0);
}

TEST_F(TextBoxTest, MouseDragSelectsAndTypingChangesNothing) {
  POINT from = screen(3, 5);
  POINT to = screen(190, 5);
  hl::mouseMove(from.x, from.y);
  hl::mouseDown();
  hl::mouseMove(to.x, to.y);
  hl::mouseUp();
  settle();
  EXPECT_EQ(form.Text1.SelStart(), 0);
  EXPECT_EQ(form.Text1.SelText(), "Hello world");
  hl::typeText("xyz");
  settle();
  EXPECT_EQ(form.Text1.Text(), "Hello world\r\nsecond line");
}

// What a middle click elsewhere on the desktop would paste; "<none>" when nothing is offered.
std::string primary() {
  std::string text;
  return hl::primarySelection(text) ? text : "<none>";
}

TEST_F(TextBoxTest, SelectedTextIsOfferedAsThePrimarySelectionUntilTheSelectionIsEmpty) {
  EXPECT_EQ(primary(), "<none>");
  hl::ctrlKey('A');
  settle();
  EXPECT_EQ(primary(), "Hello world\r\nsecond line");
  // A plain click collapses the selection: nothing is offered any more.
  POINT p = screen(30, 5);
  hl::click(p.x, p.y);
  settle();
  EXPECT_EQ(primary(), "<none>");
  // A double click selects a word, a drag a run of text; each is offered as it stands.
  p = screen(15, 20);
  hl::doubleClick(p.x, p.y);
  settle();
  EXPECT_EQ(primary(), "second");
  POINT from = screen(3, 5), to = screen(30, 5);
  hl::mouseMove(from.x, from.y);
  hl::mouseDown();
  hl::mouseMove(to.x, to.y);
  hl::mouseUp();
  settle();
  EXPECT_EQ(primary(), form.Text1.SelText());
  EXPECT_GT(form.Text1.SelLength(), 0);
  // The text other programs get is the box's text when they ask for it.
  form.Text1.setSelection(6, 5);
  EXPECT_EQ(primary(), "world");
  form.Text1.setText("other");
  EXPECT_EQ(primary(), "<none>");
}

TEST_F(TextBoxTest, AnswersTheEditControlQueriesForItsTextAndSelection) {
  form.Text1.setSelection(6, 5);
  DWORD start = 0, end = 0;
  const LRESULT packed = SendMessageA(form.Text1.hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                      reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 6u);
  EXPECT_EQ(end, 11u);
  EXPECT_EQ(packed, (11 << 16) | 6);
  char buffer[6];
  EXPECT_EQ(SendMessageA(form.Text1.hWnd(), WM_GETTEXTLENGTH, 0, 0), 24);
  EXPECT_EQ(SendMessageA(form.Text1.hWnd(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 5);
  EXPECT_STREQ(buffer, "Hello");
}

TEST_F(TextBoxTest, LineBreakShowsAsTwoLines) {
  // Text pixels (black) appear on both the first and the second line of text.
  auto rowHasInk = [&](int y) {
    for (int x = 3; x < 150; ++x) {
      POINT p = screen(x, y);
      if (hl::screenPixel(p.x, p.y) == RGB(0, 0, 0)) return true;
    }
    return false;
  };
  bool first = false, second = false;
  for (int y = 3; y < 14; ++y) first = first || rowHasInk(y);
  for (int y = 17; y < 29; ++y) second = second || rowHasInk(y);
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
  EXPECT_FALSE(rowHasInk(60));
}

// The columns of a row of the text box where the screen shows the colour.
std::vector<int> columnsOf(TextBoxTest& t, HWND box, int y, COLORREF colour) {
  std::vector<int> found;
  RECT r;
  GetClientRect(box, &r);
  for (int x = 0; x < r.right; ++x) {
    POINT p{x, y};
    ClientToScreen(box, &p);
    if (hl::screenPixel(p.x, p.y) == colour) found.push_back(x);
  }
  return found;
}

TEST_F(TextBoxTest, TheCaretBlinksAtTheMovingEndOnlyWhileFocused) {
  hl::freezeClock(true);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF inverted = RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face));
  HWND box = form.Text1.hWnd();
  hl::pressKey(VK_END);  // after "Hello world", where there is no ink
  settle();
  const std::vector<int> caret = columnsOf(*this, box, 8, inverted);
  ASSERT_EQ(caret.size(), 1u) << "the caret is one pixel wide";
  EXPECT_GT(caret[0], 40);
  // A full line high: the top and bottom rows of the first line are inverted at that column.
  EXPECT_EQ(columnsOf(*this, box, 3, inverted), caret);
  hl::runFor(530);
  EXPECT_TRUE(columnsOf(*this, box, 8, inverted).empty()) << "the caret blinks off";
  hl::runFor(530);
  EXPECT_EQ(columnsOf(*this, box, 8, inverted), caret) << "and on again";
  // A key that moves it shows it at once, whatever the phase of the blink.
  hl::runFor(530);
  ASSERT_TRUE(columnsOf(*this, box, 8, inverted).empty());
  hl::pressKey(VK_END);
  settle();
  EXPECT_EQ(columnsOf(*this, box, 8, inverted), caret);

  ::SetFocus(form.hWnd());
  settle();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(columnsOf(*this, box, 8, inverted).empty()) << "no caret without the focus";
    hl::runFor(530);
  }
  hl::freezeClock(false);
}

// Measured under Wine with a multi-line, read-only edit control with a client edge and this
// font: margins 3 and 3, format rectangle from 4, 1; character 0 at 4, 1; the caret 1 pixel wide
// at 4, 1, a line high. All inside the 2-pixel edge, which this box draws inside its own client
// area, so 2 more here. The bitmap face (13 pixels a line) draws the E's stem one column after its
// origin and two rows below the line's top, so the caret at the origin leaves the stem whole.
TEST_F(TextBoxTest, TheTextAndTheCaretStandWhereTheEditControlPutsThem) {
  hl::freezeClock(true);
  form.Text1.setText("Error");
  settle();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF inverted = RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face));
  // The box's own pixels (what it presents), read through its device context: a whole-screen
  // read for each pixel would take seconds.
  HWND box = form.Text1.hWnd();
  HDC dc = GetDC(box);
  auto columns = [&](int y, COLORREF colour) {
    std::vector<int> found;
    for (int x = 0; x < 60; ++x)
      if (GetPixel(dc, x, y) == colour) found.push_back(x);
    return found;
  };
  int inkLeft = 1000, inkTop = 1000;
  // The frame's dark lines (row and column 1) are black too: only what lies inside counts.
  for (int y = 2; y < 20; ++y) {
    for (int x : columns(y, RGB(0, 0, 0))) {
      if (x < 2) continue;
      inkLeft = std::min(inkLeft, x);
      inkTop = std::min(inkTop, y);
    }
  }
  EXPECT_EQ(inkLeft, 2 + 4 + 1);
  EXPECT_EQ(inkTop, 2 + 3);
  const std::vector<int> caretColumn{2 + 4};
  for (int y = 2 + 1; y < 2 + 1 + 13; ++y) EXPECT_EQ(columns(y, inverted), caretColumn) << "row " << y;
  EXPECT_TRUE(columns(2, inverted).empty()) << "nothing above the line";
  EXPECT_TRUE(columns(2 + 1 + 13, inverted).empty()) << "nor below it";
  // The stem of the E stays black from its top to its foot while the caret shows.
  for (int y = inkTop; y < inkTop + 8; ++y) EXPECT_EQ(GetPixel(dc, inkLeft, y), RGB(0, 0, 0)) << "row " << y;
  ReleaseDC(box, dc);
  hl::freezeClock(false);
}

TEST_F(TextBoxTest, TheSelectionHidesWithTheFocusAndComesBackWithIt) {
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  HWND box = form.Text1.hWnd();
  hl::ctrlKey('A');
  settle();
  EXPECT_FALSE(columnsOf(*this, box, 8, highlight).empty());
  ::SetFocus(form.hWnd());
  settle();
  EXPECT_TRUE(columnsOf(*this, box, 8, highlight).empty());
  EXPECT_EQ(form.Text1.SelLength(), static_cast<int32_t>(form.Text1.Text().size())) << "kept";
  form.Text1.SetFocus();
  settle();
  EXPECT_FALSE(columnsOf(*this, box, 8, highlight).empty());
}

}  // namespace
