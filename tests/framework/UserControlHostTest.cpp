#include <gtest/gtest.h>

#include <corvane/headless.h>

#include "framework/App.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/UserControl.h"

#include <string>
#include <vector>

namespace hl = corvane::headless;

namespace {

class Probe : public UserControlHost {
 public:
  Probe(Form* owner, std::string name) : UserControlHost(owner, std::move(name), "Probe") {}
  std::vector<std::string> log;
  Event<int16_t> DoubleClick;

  void UserControl_InitProperties() override { log.push_back("InitProperties"); }
  void UserControl_Paint() override { log.push_back("Paint"); }
  void UserControl_Resize() override {
    log.push_back("Resize " + std::to_string(static_cast<int>(UserControl.ScaleWidth())) + "x" +
                  std::to_string(static_cast<int>(UserControl.ScaleHeight())));
  }
  void UserControl_MouseDown(int16_t& b, int16_t& s, float& x, float& y) override {
    log.push_back("MouseDown " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + "," +
                  std::to_string(static_cast<int>(y)));
  }
  void UserControl_MouseUp(int16_t& b, int16_t&, float&, float&) override { log.push_back("MouseUp " + std::to_string(b)); }
  void UserControl_Click() override { log.push_back("Click"); }
  void UserControl_DblClick() override {
    log.push_back("DblClick");
    int16_t last = 1;
    RaiseEvent(DoubleClick, last);
  }
  void UserControl_KeyDown(int16_t& k, int16_t&) override { log.push_back("KeyDown " + std::to_string(k)); }
  void UserControl_KeyPress(int16_t& k) override { log.push_back("KeyPress " + std::to_string(k)); }
  void UserControl_KeyUp(int16_t& k, int16_t&) override { log.push_back("KeyUp " + std::to_string(k)); }
  std::string joined() const {
    std::string s;
    for (const auto& e : log) s += e + ";";
    return s;
  }
};

class HostForm : public Form {
 public:
  HostForm()
      : Form("Begin Form frmHost\n ClientWidth = 3000\n ClientHeight = 1500\n"
             " Begin Label Link\n  Caption = \"link\"\n  Left = 1500\n  Top = 600\n  Width = 600\n  Height = 300\n End\n"
             "End\n") {
    Probe1.DoubleClick.connect([this](int16_t& button) { doubleClickButton = button; });
    Link.Click.connect([this] { ++linkClicks; });
  }
  Probe Probe1{this, "Probe1"};
  Label Link{this, "Link"};
  int16_t doubleClickButton = 0;
  int linkClicks = 0;
};

class UserControlHostTest : public testing::Test {
 protected:
  void SetUp() override {
    form.Load();
    form.Show();
    settle();
    form.Probe1.log.clear();
  }
  void TearDown() override { form.Unload(); }
  void settle() {
    hl::runUntilIdle();
    DoEvents();
  }
  POINT screenOf(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
  }
  HostForm form;
};

TEST_F(UserControlHostTest, ANewControlGetsInitPropertiesAndTheDefaultPlace) {
  HostForm fresh;
  fresh.Load();
  ASSERT_FALSE(fresh.Probe1.log.empty());
  EXPECT_EQ(fresh.Probe1.log[0], "InitProperties");
  EXPECT_EQ(fresh.Probe1.log[1], "Resize 81x33");  // 1215 x 495 twips
  fresh.Unload();
}

TEST_F(UserControlHostTest, MouseNotificationsArriveInPixelsAndInOrder) {
  POINT p = screenOf(form.Probe1.hWnd(), 10, 7);
  hl::click(p.x, p.y);
  settle();
  EXPECT_EQ(form.Probe1.joined(), "MouseDown 1 10,7;MouseUp 1;Click;");
  form.Probe1.log.clear();
  hl::click(p.x, p.y, hl::Button::Right);
  settle();
  EXPECT_EQ(form.Probe1.joined(), "MouseDown 2 10,7;MouseUp 2;Click;");
  form.Probe1.log.clear();
  // A release outside the control is no click.
  hl::mouseMove(p.x, p.y);
  hl::mouseDown();
  SetCapture(form.Probe1.hWnd());
  hl::mouseMove(p.x + 200, p.y);
  hl::mouseUp();
  settle();
  EXPECT_EQ(form.Probe1.joined(), "MouseDown 1 10,7;MouseUp 1;");
}

TEST_F(UserControlHostTest, DoubleClickReplacesTheSecondPressAndRaisesToTheWindow) {
  POINT p = screenOf(form.Probe1.hWnd(), 5, 5);
  hl::doubleClick(p.x, p.y);
  settle();
  EXPECT_EQ(form.Probe1.joined(), "MouseDown 1 5,5;MouseUp 1;Click;DblClick;MouseUp 1;");
  EXPECT_EQ(form.doubleClickButton, 1);
}

TEST_F(UserControlHostTest, KeysReachTheFocusedControl) {
  form.Probe1.SetFocus();
  settle();
  hl::typeText("a");
  settle();
  EXPECT_EQ(form.Probe1.joined(), "KeyDown 65;KeyPress 97;KeyUp 65;");
}

TEST_F(UserControlHostTest, SizeSettersWorkInTwipsAndResize) {
  form.Probe1.UserControl.Size(1500, 600);
  settle();
  EXPECT_EQ(form.Probe1.UserControl.ScaleWidth(), 100.0f);
  EXPECT_EQ(form.Probe1.UserControl.ScaleHeight(), 40.0f);
  EXPECT_EQ(form.Probe1.UserControl.Width(), 1500);
  EXPECT_NE(form.Probe1.joined().find("Resize 100x40"), std::string::npos);
  EXPECT_FLOAT_EQ(form.Probe1.UserControl.ScaleX(2540.0f), 96.0f);
  EXPECT_FLOAT_EQ(form.Probe1.UserControl.ScaleX(100.0f, vbPixels, vbTwips), 1500.0f);
}

TEST_F(UserControlHostTest, RefreshShowsTheImageWithoutAPaintNotification) {
  RECT r{0, 0, 10, 10};
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(form.Probe1.UserControl.hDC(), &r, brush);
  DeleteObject(brush);
  form.Probe1.UserControl.Refresh();
  settle();
  POINT p = screenOf(form.Probe1.hWnd(), 5, 5);
  EXPECT_EQ(hl::screenPixel(p.x, p.y), RGB(0, 0, 255));
  EXPECT_EQ(form.Probe1.joined().find("Paint"), std::string::npos);
}

TEST_F(UserControlHostTest, HostKeepsItsValuesAndMarksChanges) {
  UserControlSurface& s = form.Probe1.UserControl;
  EXPECT_EQ(s.ForeColor(), 0x80000012u);
  EXPECT_EQ(s.Font()->Name, "MS Sans Serif");
  s.setFont(nullptr);
  EXPECT_TRUE(s.Font());
  s.setTag(std::to_string(reinterpret_cast<uintptr_t>(s.ContainerHwnd())));
  EXPECT_EQ(s.Tag(), std::to_string(reinterpret_cast<uintptr_t>(form.hWnd())));
  s.setEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(s.hWnd()));
  s.setEnabled(true);
  form.Probe1.PropertyChanged("Caption");
  form.Probe1.PropertyChanged("Caption");
  form.Probe1.PropertyChanged("cFore");
  ASSERT_EQ(form.Probe1.changedProperties().size(), 2u);
  // A form's back colour change reaches the control as an ambient change.
  EXPECT_EQ(form.Probe1.Ambient.BackColor(), 0x8000000Fu);
  form.setBackColor(0x00FF00);
  EXPECT_EQ(form.Probe1.Ambient.BackColor(), 0x00FF00u);
}

TEST_F(UserControlHostTest, CustomMousePointerShowsOverTheControlAndTheLabel) {
  PictureRef hand = LoadPicture(std::string(CORVANE_TEST_DATA) + "/framework/sample32.cur");
  form.Probe1.UserControl.setMouseIcon(hand);
  form.Probe1.UserControl.setMousePointer(vbCustom);
  form.Link.setMousePointer(vbCustom);
  form.Link.setMouseIcon(hand);
  POINT p = screenOf(form.Probe1.hWnd(), 5, 5);
  hl::mouseMove(p.x, p.y);
  settle();
  EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(hand->Handle()));
  POINT off = screenOf(form.hWnd(), 180, 5);
  hl::mouseMove(off.x, off.y);
  settle();
  EXPECT_NE(GetCursor(), static_cast<HCURSOR>(hand->Handle()));
  POINT link = screenOf(form.hWnd(), 110, 45);
  hl::mouseMove(link.x, link.y);
  settle();
  EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(hand->Handle()));
  hl::click(link.x, link.y);
  settle();
  EXPECT_EQ(form.linkClicks, 1);
  form.Probe1.UserControl.setMouseIcon(nullptr);
  form.Link.setMouseIcon(nullptr);
  hl::mouseMove(off.x, off.y);
  settle();
}

}  // namespace
