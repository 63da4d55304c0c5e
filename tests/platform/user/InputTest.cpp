#include <gtest/gtest.h>
#include <windowsx.h>

#include "UserTestSupport.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

class Input : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override {
    handlers().clear();
    hl::runUntilIdle();
  }
};

// A click at (x, y) on the screen, its messages alone in the log once they are handled.
void clickAlone(int x, int y) {
  log().clear();
  hl::click(x, y);
  hl::runUntilIdle();
}

std::vector<Logged> mouseMessages() {
  std::vector<Logged> out;
  for (const Logged& l : log())
    if ((l.message >= WM_MOUSEFIRST && l.message <= WM_MOUSELAST) || l.message == WM_CAPTURECHANGED)
      out.push_back(l);
  return out;
}

TEST_F(Input, AWindowRegionDecidesWhichWindowIsUnderThePointer) {
  HWND parent = topWindow(400, 100, 100, 100);
  HWND child = childWindow(parent, 10, 10, 60, 60);
  SetWindowRgn(child, CreateEllipticRgn(0, 0, 60, 60), TRUE);
  EXPECT_EQ(WindowFromPoint(POINT{440, 140}), child);
  EXPECT_EQ(WindowFromPoint(POINT{411, 111}), parent);
  EXPECT_EQ(WindowFromPoint(POINT{399, 111}), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(parent, POINT{11, 11}), parent);
  EXPECT_EQ(ChildWindowFromPoint(parent, POINT{40, 40}), child);
  EXPECT_EQ(ChildWindowFromPoint(parent, POINT{-1, 40}), nullptr);
  hl::runUntilIdle();
  log().clear();
  hl::click(411, 111);
  hl::click(440, 140);
  hl::runUntilIdle();
  auto m = mouseMessages();
  std::vector<std::tuple<HWND, UINT, LPARAM>> seen;
  for (const Logged& l : m)
    if (l.message != WM_MOUSEMOVE) seen.emplace_back(l.hwnd, l.message, l.lParam);
  std::vector<std::tuple<HWND, UINT, LPARAM>> expected{
      {parent, WM_LBUTTONDOWN, MAKELPARAM(11, 11)}, {parent, WM_LBUTTONUP, MAKELPARAM(11, 11)},
      {child, WM_LBUTTONDOWN, MAKELPARAM(30, 30)}, {child, WM_LBUTTONUP, MAKELPARAM(30, 30)}};
  EXPECT_EQ(seen, expected);
  // Hidden windows are not under the pointer.
  ShowWindow(child, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(POINT{440, 140}), parent);
  DestroyWindow(parent);
}

TEST_F(Input, TheCapturingWindowGetsTheReleaseOutsideIt) {
  HWND parent = topWindow(100, 100, 200, 200);
  HWND button = childWindow(parent, 10, 10, 50, 30);
  handlers()[WM_LBUTTONDOWN] = [](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
    SetCapture(h);
    return 0;
  };
  handlers()[WM_LBUTTONUP] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
    ReleaseCapture();
    return 0;
  };
  hl::runUntilIdle();
  log().clear();
  hl::mouseMove(120, 120);
  hl::mouseDown();
  hl::mouseMove(600, 500);  // far outside both windows
  hl::mouseUp();
  hl::runUntilIdle();
  auto m = mouseMessages();
  ASSERT_EQ(m.size(), 5u);
  EXPECT_EQ(m[1].hwnd, button);
  EXPECT_EQ(m[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(m[2].hwnd, button);
  EXPECT_EQ(m[2].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(m[2].wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(m[3].hwnd, button);
  EXPECT_EQ(m[3].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(m[3].lParam, MAKELPARAM(600 - 110, 500 - 110));
  EXPECT_EQ(m[3].wParam, 0u);
  EXPECT_EQ(m[4].message, static_cast<UINT>(WM_CAPTURECHANGED));
  EXPECT_EQ(GetCapture(), nullptr);
  DestroyWindow(parent);
}

TEST_F(Input, DestroyingAWindowReleasesItsCaptureAndFocus) {
  HWND parent = topWindow(0, 0, 100, 100);
  HWND child = childWindow(parent, 0, 0, 20, 20);
  SetFocus(child);
  SetCapture(child);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_EQ(GetCapture(), child);
  DestroyWindow(child);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), parent);
  HWND other = childWindow(parent, 0, 0, 20, 20);
  SetCapture(other);
  HWND third = childWindow(parent, 30, 0, 20, 20);
  log().clear();
  EXPECT_EQ(SetCapture(third), other);
  EXPECT_EQ(countOf(other, WM_CAPTURECHANGED), 1);
  DestroyWindow(parent);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(Input, FocusChangesSendKillFocusThenSetFocus) {
  HWND top = topWindow(0, 0, 100, 100);
  HWND a = childWindow(top, 0, 0, 20, 20);
  HWND b = childWindow(top, 30, 0, 20, 20);
  SetFocus(a);
  log().clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(log().size(), 2u);
  EXPECT_EQ(log()[0].hwnd, a);
  EXPECT_EQ(log()[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(log()[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(log()[1].hwnd, b);
  EXPECT_EQ(log()[1].message, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(log()[1].wParam, reinterpret_cast<WPARAM>(a));
  EnableWindow(a, FALSE);
  EXPECT_EQ(SetFocus(a), nullptr);  // a disabled window cannot take the focus
  EXPECT_EQ(GetFocus(), b);
  // Keys go to the focus window.
  log().clear();
  hl::pressKey('K');
  hl::runUntilIdle();
  EXPECT_EQ(messagesOf(b, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  DestroyWindow(top);
}

TEST_F(Input, AltOGivesSysKeyDownAndSysCharO) {
  HWND w = topWindow(0, 0, 50, 50);
  SetFocus(w);
  hl::runUntilIdle();
  log().clear();
  hl::altKey('O');
  hl::runUntilIdle();
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const Logged& l : log())
    if (l.message >= WM_KEYFIRST && l.message <= WM_KEYLAST) keys.emplace_back(l.message, l.wParam);
  std::vector<std::pair<UINT, WPARAM>> expected{{WM_SYSKEYDOWN, VK_MENU},
                                                {WM_SYSKEYDOWN, 'O'},
                                                {WM_SYSCHAR, 'o'},
                                                {WM_SYSKEYUP, 'O'},
                                                {WM_SYSKEYUP, VK_MENU}};
  EXPECT_EQ(keys, expected);
  for (const Logged& l : log())
    if (l.message == WM_SYSKEYDOWN && l.wParam == 'O') {
      EXPECT_TRUE(l.lParam & (1 << 29));
      EXPECT_EQ((l.lParam >> 16) & 0xFF, 0x18);  // the scan code of O
    }
  DestroyWindow(w);
}

TEST_F(Input, KeyMessagesCarryRepeatAndTransitionBitsAndTranslateToCharacters) {
  HWND w = topWindow(0, 0, 50, 50);
  SetFocus(w);
  hl::runUntilIdle();
  log().clear();
  hl::keyDown('A');
  EXPECT_TRUE(GetAsyncKeyState('A') & 0x8000);
  EXPECT_FALSE(GetKeyState('A') & 0x8000);  // not until the message is taken
  hl::keyDown('A');
  hl::keyUp('A');
  hl::runUntilIdle();
  EXPECT_FALSE(GetKeyState('A') & 0x8000);
  std::vector<Logged> keys;
  for (const Logged& l : log())
    if (l.message == WM_KEYDOWN || l.message == WM_KEYUP) keys.push_back(l);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(static_cast<DWORD>(keys[0].lParam), 0x001E0001u);
  EXPECT_EQ(static_cast<DWORD>(keys[1].lParam), 0x401E0001u);
  EXPECT_EQ(static_cast<DWORD>(keys[2].lParam), 0xC01E0001u);
  log().clear();
  hl::typeText("Hi!\n");
  hl::ctrlKey('C');
  hl::runUntilIdle();
  std::string typed;
  for (const Logged& l : log())
    if (l.message == WM_CHAR) typed += static_cast<char>(l.wParam);
  EXPECT_EQ(typed, std::string("Hi!\r\x03"));
  DestroyWindow(w);
}

TEST_F(Input, ADoubleClickArrivesOnlyForClassesThatAskForIt) {
  const char* dbl = recordingClass("UserTestDoubleClicks", CS_DBLCLKS);
  for (bool wants : {true, false}) {
    HWND w = topWindow(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, wants ? dbl : nullptr);
    hl::runUntilIdle();
    log().clear();
    hl::doubleClick(50, 50);
    hl::runUntilIdle();
    std::vector<UINT> buttons = messagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
    if (wants)
      EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    else
      EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    // Too slow, or too far apart, is two single clicks.
    clickAlone(50, 50);
    hl::advanceTime(GetDoubleClickTime() + 1);
    hl::click(50, 50);
    hl::click(53, 50);
    hl::runUntilIdle();
    EXPECT_EQ(countOf(w, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(countOf(w, WM_LBUTTONDOWN), 3);
    DestroyWindow(w);
  }
}

TEST_F(Input, DisabledWindowsPassClicksToTheirParentOrDropThem) {
  HWND parent = topWindow(0, 0, 100, 100);
  HWND child = childWindow(parent, 10, 10, 30, 30);
  EnableWindow(child, FALSE);
  hl::runUntilIdle();
  clickAlone(20, 20);
  EXPECT_EQ(countOf(child, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(countOf(parent, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(WindowFromPoint(POINT{20, 20}), child);
  EnableWindow(parent, FALSE);
  clickAlone(60, 60);
  EXPECT_EQ(countOf(parent, WM_LBUTTONDOWN), 0);
  // An enabled child of a disabled window is disabled with it, as the buttons of a window under a
  // modal one are.
  EnableWindow(child, TRUE);
  clickAlone(20, 20);
  EXPECT_EQ(countOf(child, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(countOf(parent, WM_LBUTTONDOWN), 0);
  // Below a disabled container inside an enabled window, the click goes to that window.
  EnableWindow(parent, TRUE);
  HWND container = childWindow(parent, 50, 50, 40, 40);
  HWND inner = childWindow(container, 5, 5, 20, 20);
  EnableWindow(container, FALSE);
  hl::runUntilIdle();
  clickAlone(60, 60);
  EXPECT_EQ(countOf(inner, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(countOf(container, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(countOf(parent, WM_LBUTTONDOWN), 1);
  DestroyWindow(parent);
}

TEST_F(Input, MouseFlagsAndTheClassCursor) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_HAND);
  wc.lpszClassName = "UserTestHandCursor";
  RegisterClassA(&wc);
  HWND w = topWindow(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, "UserTestHandCursor");
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  hl::runUntilIdle();
  log().clear();
  hl::keyDown(VK_SHIFT);
  hl::mouseMove(30, 40);
  hl::mouseDown(hl::Button::Right);
  hl::keyUp(VK_SHIFT);
  hl::mouseUp(hl::Button::Right);
  hl::runUntilIdle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_NE(LoadCursorA(nullptr, IDC_HAND), LoadCursorA(nullptr, IDC_ARROW));
  std::vector<Logged> m = mouseMessages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[1].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(m[1].wParam, static_cast<WPARAM>(MK_RBUTTON | MK_SHIFT));
  EXPECT_EQ(m[2].message, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_EQ(m[2].wParam, 0u);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(GET_X_LPARAM(static_cast<LPARAM>(GetMessagePos())), 30);
  EXPECT_EQ(countOf(w, WM_SETCURSOR), 3);
  DestroyWindow(w);
  UnregisterClassA("UserTestHandCursor", nullptr);
}

TEST_F(Input, ClickingAnotherTopLevelWindowActivatesIt) {
  HWND a = topWindow(0, 0, 100, 100);
  HWND b = topWindow(200, 0, 100, 100);
  EXPECT_EQ(GetActiveWindow(), b);
  hl::runUntilIdle();
  clickAlone(50, 50);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetTopWindow(nullptr), a);
  // The move that brings the pointer there sets the cursor first; the press activates.
  EXPECT_EQ(messagesOf(a, {WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN}),
            (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN,
                               WM_SETCURSOR}));
  EXPECT_EQ(countOf(b, WM_ACTIVATE), 1);
  DestroyWindow(a);
  EXPECT_EQ(GetActiveWindow(), b);
  DestroyWindow(b);
}

}  // namespace
