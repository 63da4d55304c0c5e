#include <gtest/gtest.h>

#include <cstring>

#include "UserTestSupport.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

class Modal : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { handlers().clear(); }
};

// A modal loop as a window framework runs it: until the window is gone or hidden, with a bound.
int runModal(HWND dialog, int bound = 10000) {
  MSG m;
  int n = 0;
  while (IsWindow(dialog) && IsWindowVisible(dialog) && n < bound && GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
    ++n;
  }
  return n;
}

TEST_F(Modal, ANestedLoopRunsTimersAndPaintsAndEndsWhenItsWindowGoes) {
  for (bool destroy : {true, false}) {
    HWND owner = topWindow(0, 0, 200, 200);
    hl::runUntilIdle();
    HWND dialog = topWindow(50, 50, 100, 80);
    EnableWindow(owner, FALSE);
    log().clear();
    int ticks = 0;
    handlers()[WM_TIMER] = [&](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
      if (++ticks == 3) {
        // While the dialog is up, a click on the disabled owner goes nowhere.
        hl::click(10, 10);
        InvalidateRect(owner, nullptr, TRUE);
      }
      if (ticks == 5) {
        KillTimer(h, 1);
        if (destroy) DestroyWindow(dialog);
        else ShowWindow(dialog, SW_HIDE);
      }
      return 0;
    };
    SetTimer(dialog, 1, 10, nullptr);
    runModal(dialog);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(IsWindow(dialog), destroy ? FALSE : TRUE);
    EXPECT_GE(countOf(owner, WM_PAINT), 1);
    EXPECT_EQ(countOf(owner, WM_LBUTTONDOWN), 0);
    EnableWindow(owner, TRUE);
    if (!destroy) DestroyWindow(dialog);
    DestroyWindow(owner);
    handlers().clear();
  }
}

struct BoxCheck {
  HWND box = nullptr;
  std::string caption;
  RECT rect{};
  bool ownerEnabled = true;
  COLORREF iconPixel = CLR_INVALID;
  std::vector<UINT> keys;
  POINT click{-1, -1};
};
BoxCheck check;

// Runs inside the message box's loop: looks at the box, then answers it as the user would.
void CALLBACK inspectAndAnswer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  check.box = GetActiveWindow();
  char text[64] = {};
  GetWindowTextA(check.box, text, sizeof text);
  check.caption = text;
  GetWindowRect(check.box, &check.rect);
  POINT client{12 + 5, 12 + 16};  // left of the "i", inside the disc
  ClientToScreen(check.box, &client);
  check.iconPixel = hl::screenPixel(client.x, client.y);
  for (UINT k : check.keys) hl::pressKey(k);
  if (check.click.x >= 0) hl::click(check.click.x, check.click.y);
}

int showBox(HWND owner, const char* text, const char* caption, UINT type, std::vector<UINT> keys) {
  check = BoxCheck{};
  check.keys = std::move(keys);
  SetTimer(nullptr, 0, 10, inspectAndAnswer);
  return MessageBoxA(owner, text, caption, type);
}

TEST_F(Modal, AMessageBoxClosesOnEnterAndReturnsOk) {
  int result = showBox(nullptr, "First line\r\nSecond line", nullptr, MB_OK | MB_ICONINFORMATION, {VK_RETURN});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(check.caption, "Error");
  EXPECT_FALSE(IsWindow(check.box));
  // Two lines of text beside a 32-pixel icon, above a row of buttons.
  EXPECT_GT(check.rect.bottom - check.rect.top, 32 + 23 + 24);
  EXPECT_EQ(check.iconPixel, RGB(0, 0, 255));  // the information icon's blue disc
  EXPECT_EQ(showBox(nullptr, "x", "Caption", MB_OK, {VK_ESCAPE}), IDOK);
  EXPECT_EQ(check.caption, "Caption");
  EXPECT_EQ(showBox(nullptr, "x", "c", MB_OK, {VK_SPACE}), IDOK);
  EXPECT_EQ(showBox(nullptr, "x", "c", MB_OKCANCEL, {VK_ESCAPE}), IDCANCEL);
  EXPECT_EQ(showBox(nullptr, "x", "c", MB_OKCANCEL, {VK_TAB, VK_RETURN}), IDCANCEL);
  EXPECT_EQ(showBox(nullptr, "x", "c", MB_YESNO | MB_ICONQUESTION, {VK_ESCAPE, 'N'}), IDNO);
  EXPECT_EQ(showBox(nullptr, "x", "c", MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}), IDNO);
}

TEST_F(Modal, AClickOnOkClosesTheBoxAndTheOwnerIsDisabledMeanwhile) {
  HWND owner = topWindow(0, 0, 300, 200);
  check = BoxCheck{};
  static HWND ownerHandle;
  ownerHandle = owner;
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    check.ownerEnabled = IsWindowEnabled(ownerHandle);
    HWND box = GetActiveWindow();
    RECT r;
    GetClientRect(box, &r);
    POINT okCentre{r.right / 2, r.bottom - 12 - 11};
    ClientToScreen(box, &okCentre);
    hl::click(okCentre.x, okCentre.y);
  });
  EXPECT_EQ(MessageBoxA(owner, "Done.", "Title", MB_OK), IDOK);
  EXPECT_FALSE(check.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  DestroyWindow(owner);
}

TEST_F(Modal, ClipboardTextMakesARoundTrip) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  SetLastError(0);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
  EXPECT_FALSE(EmptyClipboard());
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_FALSE(OpenClipboard(w));
  EXPECT_TRUE(EmptyClipboard());
  const char text[] = "Line one\r\nLine two";
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(GlobalLock(mem), text, sizeof text);
  GlobalUnlock(mem);
  EXPECT_EQ(SetClipboardData(CF_TEXT, mem), mem);
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(GetClipboardOwner(), w);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(CF_TEXT);
  ASSERT_NE(got, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(got)), text);
  GlobalUnlock(got);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  DestroyWindow(w);
}

}  // namespace
