// The result window's two buttons: read from the window's stored description, written back the
// same, and working from the keyboard and the mouse as a user of the window expects.
#include <gtest/gtest.h>
#include <windows.h>

#include <corvane/headless.h>

#include <map>
#include <utility>
#include <string>

#include "../button/support/ztButtonsInspector.h"
#include "FormDescriptions.h"
#include "forms/frmAbout.h"
#include "forms/frmFine.h"
#include "framework/App.h"
#include "framework/FormDescription.h"

namespace hl = corvane::headless;

namespace {

constexpr COLORREF kFocusRing = 0xE7AE8C;  // blue
constexpr COLORREF kHotRing = 0x31B2FF;    // orange

// Keys and values of a control's block, ignoring the case of keys, their order and the width of
// whole numbers.
std::map<std::string, std::string> keysAndValues(const DescriptionBlock& control) {
  std::map<std::string, std::string> out;
  for (const auto& p : control.properties) {
    std::string key = p.key;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const ValueKind kind = p.value.kind();
    if (kind == ValueKind::Integer || kind == ValueKind::Long) {
      out[key] = std::to_string(p.value.number());
      continue;
    }
    std::string written = WriteFormDescription(DescriptionBlock{"X", "x", 0, {p}, {}});
    out[key] = written.substr(written.find('=') + 1);
  }
  return out;
}

bool windowShows(HWND hwnd, COLORREF colour) {
  RECT r;
  GetClientRect(hwnd, &r);
  HDC dc = GetDC(hwnd);
  bool found = false;
  for (int y = 0; y < r.bottom && !found; ++y)
    for (int x = 0; x < r.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
  ReleaseDC(hwnd, dc);
  return found;
}

POINT centreOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ResultWindowButtons : public testing::Test {
 protected:
  void SetUp() override {
    frmFine->Show();
    settle();
  }
  void TearDown() override {
    frmFine.Unload();
    hl::mouseMove(0, 0);
    settle();
    frmFine.Release();
  }
  static void settle() {
    hl::runUntilIdle();
    DoEvents();
  }
  static int16_t flags(ztButtons_H& b) { return ztButtonsInspector(b).StateFlags(); }
};

TEST_F(ResultWindowButtons, ReadTheirStoredSettings) {
  ResultWindow& w = *frmFine.peek();
  for (ztButtons_H* b : {&w.ztButtons_H1, &w.ztButtons_H2}) {
    EXPECT_EQ(b->ButtonStyle(), 2);
    EXPECT_EQ(b->CaptionAlign(), 2);
    EXPECT_EQ(b->Mode(), 0);
    EXPECT_FALSE(b->Value());
    EXPECT_EQ(b->GradientColor(), 0);
    EXPECT_EQ(static_cast<uint32_t>(b->BackColor()), 0x8000000Fu);
    EXPECT_EQ(b->Font()->Name, "MS Sans Serif");
    EXPECT_EQ(b->Font()->Size.scaled, 82500);
    EXPECT_EQ(b->Font()->Weight, 400);
    RECT r;
    GetClientRect(b->hWnd(), &r);
    EXPECT_EQ(r.right, 61);
    EXPECT_EQ(r.bottom, 25);
  }
  EXPECT_EQ(w.ztButtons_H1.Caption(), "&Ok");
  EXPECT_EQ(w.ztButtons_H2.Caption(), "&Info...");
}

// Saving gives back what is stored; the caption alignment is stored at its default value, which
// a save leaves out.
TEST_F(ResultWindowButtons, WriteBackWhatIsStored) {
  DescriptionBlock stored = ParseFormDescription(FormDescription_frmFine);
  DescriptionBlock saved = ParseFormDescription(frmFine->SaveDescription());
  for (const char* name : {"ztButtons_H1", "ztButtons_H2"}) {
    ASSERT_NE(stored.child(name), nullptr);
    ASSERT_NE(saved.child(name), nullptr);
    auto expected = keysAndValues(*stored.child(name));
    ASSERT_EQ(expected.erase("capalign"), 1u);
    EXPECT_EQ(keysAndValues(*saved.child(name)), expected) << name;
    for (const auto& p : stored.child(name)->properties) {
      const bool placement = p.key == "Left" || p.key == "Top" || p.key == "Width" ||
                             p.key == "Height" || p.key == "TabIndex";
      if (!placement) {
        EXPECT_FALSE(std::isupper(static_cast<unsigned char>(p.key[0]))) << p.key;
      }
    }
  }
}

TEST_F(ResultWindowButtons, TabGivesEachButtonTheFocusAndTheBlueRings) {
  ResultWindow& w = *frmFine.peek();
  EXPECT_FALSE(windowShows(w.ztButtons_H1.hWnd(), kFocusRing));
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(w.ActiveControl(), &w.ztButtons_H1);
  EXPECT_TRUE(flags(w.ztButtons_H1) & ztButtonsEnums::DefaultFrame);
  EXPECT_TRUE(windowShows(w.ztButtons_H1.hWnd(), kFocusRing));
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(w.ActiveControl(), &w.ztButtons_H2);
  EXPECT_FALSE(flags(w.ztButtons_H1) & ztButtonsEnums::DefaultFrame);
  EXPECT_TRUE(flags(w.ztButtons_H2) & ztButtonsEnums::DefaultFrame);
  EXPECT_FALSE(windowShows(w.ztButtons_H1.hWnd(), kFocusRing));
  EXPECT_TRUE(windowShows(w.ztButtons_H2.hWnd(), kFocusRing));
}

TEST_F(ResultWindowButtons, ThePointerOverOkTurnsItsRingsOrangeUntilItLeaves) {
  ResultWindow& w = *frmFine.peek();
  POINT c = centreOf(w.ztButtons_H1.hWnd());
  hl::mouseMove(c.x, c.y);
  settle();
  EXPECT_TRUE(windowShows(w.ztButtons_H1.hWnd(), kHotRing));
  hl::mouseMove(c.x, c.y - 60);
  hl::runFor(200);
  settle();
  EXPECT_FALSE(windowShows(w.ztButtons_H1.hWnd(), kHotRing));
}

TEST_F(ResultWindowButtons, EnterOnFocusedOkClosesTheWindow) {
  hl::pressKey(VK_TAB);
  settle();
  hl::pressKey(VK_RETURN);
  settle();
  EXPECT_FALSE(frmFine.peek()->Loaded());
}

TEST_F(ResultWindowButtons, AClickOnOkClosesTheWindow) {
  POINT c = centreOf(frmFine->ztButtons_H1.hWnd());
  hl::click(c.x, c.y);
  settle();
  EXPECT_FALSE(frmFine.peek()->Loaded());
}

// An event handler may unload and release the window whose button raised it; the button still
// finishes its own handling of the release, so the window object must outlive that.
TEST_F(ResultWindowButtons, AHandlerThatReleasesTheWindowLeavesTheButtonSafe) {
  frmFine->ztButtons_H1.MouseUp.connect([](int16_t&, int16_t&, float&, float&) {
    frmFine.Unload();
    frmFine.Release();
  });
  POINT c = centreOf(frmFine->ztButtons_H1.hWnd());
  hl::click(c.x, c.y);
  settle();
  EXPECT_EQ(frmFine.peek(), nullptr);
}

TEST_F(ResultWindowButtons, AltOClosesTheWindowAndAltIReachesInfo) {
  int infoClicks = 0;
  frmFine->ztButtons_H2.Click.connect([&] { ++infoClicks; });
  // Info opens the About window modally: it is closed as soon as it shows.
  hl::onIdle([](int) {
    if (AboutWindow* about = frmAbout.peek(); about && about->Visible()) PostMessageA(about->hWnd(), WM_CLOSE, 0, 0);
  });
  hl::altKey('I');
  settle();
  hl::onIdle({});
  frmAbout.Release();
  EXPECT_EQ(infoClicks, 1);
  EXPECT_TRUE(frmFine.peek()->Loaded());
  hl::altKey('O');
  settle();
  EXPECT_FALSE(frmFine.peek()->Loaded());
}

// Fixed dialogs as a small utility's windows are: the result window cannot be resized or
// maximised and carries both sizes of the program's icon; the wait window has no frame at all.
TEST(UtilityWindows, TheResultWindowIsAFixedDialogWithBothIconSizes) {
  const HWND hwnd = frmFine->hWnd();
  const auto style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0u);
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0u);
  for (auto [which, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
    const auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, which, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << "icon " << which;
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  frmFine.Unload();
  frmFine.Release();
  CollectReleasedForms();
}

}  // namespace
