#include <gtest/gtest.h>

#include "UserTestSupport.h"

using namespace usertest;
namespace hl = corvane::headless;

namespace {

class WindowLifecycle : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { handlers().clear(); }
};

TEST_F(WindowLifecycle, HiddenCreationSendsCreateMessagesAndOwesSizeUntilShown) {
  HWND w = topWindow(10, 20, 200, 100, WS_OVERLAPPEDWINDOW);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(messagesOf(w), (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
  log().clear();
  ShowWindow(w, SW_SHOW);
  std::vector<UINT> shown = messagesOf(w, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE,
                                           WM_SETFOCUS, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE});
  EXPECT_EQ(shown, (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE,
                                      WM_SETFOCUS, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  log().clear();
  hl::runUntilIdle();
  EXPECT_EQ(messagesOf(w, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
            (std::vector<UINT>{WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}));
  log().clear();
  ShowWindow(w, SW_SHOW);  // already visible: no WM_SHOWWINDOW, no second WM_SIZE
  EXPECT_EQ(countOf(w, WM_SHOWWINDOW), 0);
  EXPECT_EQ(countOf(w, WM_SIZE), 0);
  DestroyWindow(w);
}

TEST_F(WindowLifecycle, SizeAndMoveReportTheClientArea) {
  HWND w = topWindow(10, 20, 200, 100, WS_OVERLAPPEDWINDOW);
  std::vector<LPARAM> sizes, moves;
  handlers()[WM_SIZE] = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) {
    sizes.push_back(lp);
    return DefWindowProcA(h, m, wp, lp);
  };
  handlers()[WM_MOVE] = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) {
    moves.push_back(lp);
    return DefWindowProcA(h, m, wp, lp);
  };
  ShowWindow(w, SW_SHOWNA);
  // An overlapped window with a thick frame: 4-pixel borders and a 19-pixel caption.
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0], MAKELPARAM(192, 73));
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0], MAKELPARAM(14, 43));
  MoveWindow(w, 30, 40, 300, 200, TRUE);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[1], MAKELPARAM(292, 173));
  EXPECT_EQ(moves.back(), MAKELPARAM(34, 63));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.bottom, 240);
  GetClientRect(w, &r);
  EXPECT_EQ(r.right, 292);
  EXPECT_EQ(r.bottom, 173);
  POINT p{0, 0};
  ClientToScreen(w, &p);
  EXPECT_EQ(p.x, 34);
  EXPECT_EQ(p.y, 63);
  ScreenToClient(w, &p);
  EXPECT_EQ(p.x, 0);
  DestroyWindow(w);
}

TEST_F(WindowLifecycle, AdjustWindowRectExMatchesTheClassicFrames) {
  RECT r{0, 0, 100, 50};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(r.left, -4);
  EXPECT_EQ(r.top, -23);
  EXPECT_EQ(r.right, 104);
  EXPECT_EQ(r.bottom, 54);
  r = RECT{0, 0, 100, 50};
  AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(r.left, -3);
  EXPECT_EQ(r.top, -22);
  r = RECT{0, 0, 100, 50};
  AdjustWindowRectEx(&r, WS_CHILD | WS_BORDER, FALSE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(r.left, -3);
  EXPECT_EQ(r.bottom, 53);
  r = RECT{0, 0, 100, 50};
  AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.bottom, 50);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), 32);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), hl::screenSize().cx);
}

TEST_F(WindowLifecycle, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND top = topWindow(0, 0, 100, 100);
  HWND a = childWindow(top, 0, 0, 10, 10);
  HWND a1 = childWindow(a, 0, 0, 5, 5);
  HWND b = childWindow(top, 20, 0, 10, 10);
  log().clear();
  EXPECT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> order;
  for (const Logged& l : log())
    if (l.message == WM_DESTROY || l.message == WM_NCDESTROY) order.emplace_back(l.hwnd, l.message);
  std::vector<std::pair<HWND, UINT>> expected{{top, WM_DESTROY}, {a, WM_DESTROY},     {a1, WM_DESTROY},
                                              {b, WM_DESTROY},   {a1, WM_NCDESTROY}, {a, WM_NCDESTROY},
                                              {b, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowLifecycle, CreateFailsWhenWmCreateReturnsMinusOne) {
  handlers()[WM_CREATE] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return -1; };
  HWND w = topWindow(0, 0, 50, 50);
  EXPECT_EQ(w, nullptr);
  ASSERT_FALSE(log().empty());
  HWND attempted = log().front().hwnd;
  EXPECT_FALSE(IsWindow(attempted));
  EXPECT_EQ(countOf(attempted, WM_DESTROY), 1);
  EXPECT_EQ(countOf(attempted, WM_NCDESTROY), 1);
  handlers().clear();
  handlers()[WM_NCCREATE] = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return FALSE; };
  EXPECT_EQ(topWindow(0, 0, 50, 50), nullptr);
}

TEST_F(WindowLifecycle, CreateStructCarriesTheArgumentsAndTheTextComesFromNcCreate) {
  int marker = 7;
  CREATESTRUCTA seen{};
  handlers()[WM_CREATE] = [&](HWND, UINT, WPARAM, LPARAM lp) -> LRESULT {
    seen = *reinterpret_cast<CREATESTRUCTA*>(lp);
    return 0;
  };
  HWND top = topWindow(0, 0, 80, 60);
  HWND c = CreateWindowExA(0, recordingClass(), "Caption", WS_CHILD, 5, 6, 30, 20, top,
                           reinterpret_cast<HMENU>(42), nullptr, &marker);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(seen.lpCreateParams, &marker);
  EXPECT_EQ(seen.hwndParent, top);
  EXPECT_EQ(seen.x, 5);
  EXPECT_EQ(seen.cy, 20);
  EXPECT_STREQ(seen.lpszName, "Caption");
  char text[16];
  EXPECT_EQ(GetWindowTextA(c, text, sizeof text), 7);
  EXPECT_STREQ(text, "Caption");
  EXPECT_EQ(GetWindowTextA(c, text, 4), 3);
  EXPECT_STREQ(text, "Cap");
  EXPECT_EQ(GetWindowTextLengthA(c), 7);
  EXPECT_TRUE(SetWindowTextA(c, "New"));
  EXPECT_EQ(GetWindowTextLengthA(c), 3);
  EXPECT_EQ(GetWindowLongPtrA(c, GWLP_ID), 42);
  EXPECT_EQ(GetParent(c), top);
  EXPECT_EQ(GetAncestor(c, GA_ROOT), top);
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsChild(top, c));
  EXPECT_FALSE(IsChild(c, top));
  EXPECT_FALSE(IsWindowVisible(c));
  char cls[64];
  EXPECT_EQ(GetClassNameA(c, cls, sizeof cls), static_cast<int>(strlen(recordingClass())));
  EXPECT_STREQ(cls, recordingClass());
  DestroyWindow(top);
}

TEST_F(WindowLifecycle, ChildrenKeepCreationOrderAndSetWindowPosRestacksThem) {
  HWND top = topWindow(0, 0, 100, 100);
  HWND a = childWindow(top, 0, 0, 10, 10);
  HWND b = childWindow(top, 0, 0, 10, 10);
  HWND c = childWindow(top, 0, 0, 10, 10);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  DestroyWindow(top);
}

TEST_F(WindowLifecycle, TopmostWindowsStayAboveTheRest) {
  HWND plain = topWindow(0, 0, 50, 50);
  HWND topmost = topWindow(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND later = topWindow(0, 0, 50, 50);
  HWND first = GetTopWindow(nullptr);
  EXPECT_EQ(first, topmost);
  EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), later);
  SetWindowPos(plain, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), plain);
  EXPECT_TRUE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(plain, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetTopWindow(nullptr), topmost);
  EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), plain);
  for (HWND h : {plain, topmost, later}) DestroyWindow(h);
}

TEST_F(WindowLifecycle, BadHandlesFailWithInvalidWindowHandle) {
  HWND w = topWindow(0, 0, 10, 10);
  DestroyWindow(w);
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234567));
  for (HWND h : {w, bogus}) {
    RECT r;
    SetLastError(0);
    EXPECT_FALSE(GetWindowRect(h, &r));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(h, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(SetPropA(h, "x", reinterpret_cast<HANDLE>(1)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(GetDC(h), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, recordingClass(), "", WS_CHILD, 0, 0, 1, 1, h, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h));
  }
  MSG m;
  EXPECT_EQ(GetMessageA(&m, bogus, 0, 0), -1);
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), 1407u);
  EXPECT_EQ(CreateWindowExA(0, recordingClass(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), 1406u);
  EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
}

TEST_F(WindowLifecycle, ClassesRegisterOnceAndCannotGoWhileWindowsExist) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "UserTestTemporary";
  ASSERT_NE(RegisterClassA(&wc), 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  HWND w = CreateWindowExA(0, "usertesttemporary", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(UnregisterClassA("UserTestTemporary", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("UserTestTemporary", nullptr));
  EXPECT_FALSE(UnregisterClassA("UserTestTemporary", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowLifecycle, WindowLongsAndSubclassing) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 1234);
  static WNDPROC previous;
  static int seen;
  seen = 0;
  previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER) ++seen;
        return CallWindowProcA(previous, h, m, wp, lp);
      })));
  EXPECT_EQ(previous, recordingProc);
  SendMessageA(w, WM_USER, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(countOf(w, WM_USER), 1);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(w, 4000), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_POPUP);
  DestroyWindow(w);
}

TEST_F(WindowLifecycle, AProcedureMayDestroyItsOwnWindowInsideAnyMessage) {
  for (UINT msg : {WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATE, WM_SETFOCUS,
                   WM_SIZE, WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_DESTROY, WM_NCDESTROY, WM_USER}) {
    handlers().clear();
    handlers()[msg] = [](HWND h, UINT m, WPARAM wp, LPARAM lp) {
      DestroyWindow(h);
      return m == WM_NCCREATE ? FALSE : DefWindowProcA(h, m, wp, lp);
    };
    HWND w = topWindow(0, 0, 40, 40, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    if (w != nullptr) {
      PostMessageA(w, WM_USER, 0, 0);
      hl::runUntilIdle(100);
      if (IsWindow(w)) DestroyWindow(w);
    }
    EXPECT_FALSE(IsWindow(w)) << "message " << msg;
  }
  handlers().clear();
}

TEST_F(WindowLifecycle, PropertiesGoWithTheirWindow) {
  HWND w = topWindow(0, 0, 10, 10, WS_POPUP);
  EXPECT_TRUE(SetPropA(w, "zt_ClassID", reinterpret_cast<HANDLE>(99)));
  EXPECT_TRUE(SetPropA(w, "zt_TimerID", reinterpret_cast<HANDLE>(237)));
  EXPECT_EQ(GetPropA(w, "ZT_CLASSID"), reinterpret_cast<HANDLE>(99));
  EXPECT_TRUE(SetPropA(w, "zt_ClassID", reinterpret_cast<HANDLE>(100)));
  EXPECT_EQ(GetPropA(w, "zt_ClassID"), reinterpret_cast<HANDLE>(100));
  static std::vector<std::string> names;
  names.clear();
  EnumPropsA(w, [](HWND, LPCSTR name, HANDLE) -> BOOL {
    names.push_back(name);
    return TRUE;
  });
  EXPECT_EQ(names, (std::vector<std::string>{"zt_ClassID", "zt_TimerID"}));
  EXPECT_EQ(RemovePropA(w, "zt_TimerID"), reinterpret_cast<HANDLE>(237));
  EXPECT_EQ(GetPropA(w, "zt_TimerID"), nullptr);
  EXPECT_EQ(RemovePropA(w, "zt_TimerID"), nullptr);
  DestroyWindow(w);
  HWND again = topWindow(0, 0, 10, 10, WS_POPUP);
  EXPECT_EQ(GetPropA(again, "zt_ClassID"), nullptr);
  EXPECT_EQ(GetPropA(w, "zt_ClassID"), nullptr);
  DestroyWindow(again);
}

TEST_F(WindowLifecycle, EnableWindowReportsThePreviousStateAndSendsWmEnable) {
  HWND w = topWindow(0, 0, 10, 10);
  SetFocus(w);
  EXPECT_FALSE(EnableWindow(w, FALSE));
  EXPECT_FALSE(IsWindowEnabled(w));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(EnableWindow(w, FALSE));
  EXPECT_TRUE(EnableWindow(w, TRUE));
  EXPECT_TRUE(IsWindowEnabled(w));
  std::vector<std::pair<UINT, WPARAM>> enables;
  for (const Logged& l : log())
    if (l.hwnd == w && l.message == WM_ENABLE) enables.emplace_back(l.message, l.wParam);
  EXPECT_EQ(enables, (std::vector<std::pair<UINT, WPARAM>>{{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}}));
  DestroyWindow(w);
}

TEST_F(WindowLifecycle, ParentsHearOfTheirChildrenUnlessTheyOptOut) {
  DWORD windowsBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  HWND top = topWindow(0, 0, 100, 100);
  HWND mid = childWindow(top, 10, 10, 80, 80);
  log().clear();
  HWND leaf = childWindow(mid, 5, 5, 20, 20, WS_CHILD | WS_VISIBLE, nullptr, 9);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), windowsBefore + 3);
  std::vector<std::pair<HWND, WPARAM>> notes;
  for (const Logged& l : log())
    if (l.message == WM_PARENTNOTIFY) notes.emplace_back(l.hwnd, l.wParam);
  EXPECT_EQ(notes, (std::vector<std::pair<HWND, WPARAM>>{{mid, MAKEWPARAM(WM_CREATE, 9)},
                                                          {top, MAKEWPARAM(WM_CREATE, 9)}}));
  hl::runUntilIdle();
  log().clear();
  hl::click(20, 20);  // on the leaf: each parent gets the point in its own client area
  hl::runUntilIdle();
  std::vector<std::tuple<HWND, WPARAM, LPARAM>> clicks;
  for (const Logged& l : log())
    if (l.message == WM_PARENTNOTIFY) clicks.emplace_back(l.hwnd, l.wParam, l.lParam);
  EXPECT_EQ(clicks, (std::vector<std::tuple<HWND, WPARAM, LPARAM>>{
                        {mid, WM_LBUTTONDOWN, MAKELPARAM(10, 10)}, {top, WM_LBUTTONDOWN, MAKELPARAM(20, 20)}}));
  SetWindowLongA(mid, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
  log().clear();
  DestroyWindow(leaf);
  EXPECT_EQ(countOf(mid, WM_PARENTNOTIFY), 1);
  EXPECT_EQ(countOf(top, WM_PARENTNOTIFY), 0);
  DestroyWindow(top);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), windowsBefore);
}

}  // namespace
