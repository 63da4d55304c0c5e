#include <gtest/gtest.h>

#include <corvane/headless.h>

#include "framework/App.h"
#include "framework/CommandButton.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/TextBox.h"
#include "framework/UserControl.h"

#include <string>
#include <vector>

namespace hl = corvane::headless;

namespace {

// A user control that writes down every notification it gets.
class Recorder : public UserControlHost {
 public:
  Recorder(Form* owner, std::string name) : UserControlHost(owner, std::move(name), "Recorder") {}
  std::vector<std::string> log;
  std::string caption;

  void UserControl_InitProperties() override { log.push_back("InitProperties"); }
  void UserControl_ReadProperties(PropertyBag& bag) override {
    log.push_back("ReadProperties");
    caption = bag.ReadProperty("Caption", PropertyValue("")).toText();
    UserControl.setAccessKeys(std::string(1, AccessKeyOf(caption)));
  }
  void UserControl_WriteProperties(PropertyBag& bag) override {
    bag.WriteProperty("Caption", PropertyValue(caption), PropertyValue(""));
    bag.WriteProperty("CapAlign", PropertyValue(int32_t{2}), PropertyValue(int32_t{2}));
    bag.WriteProperty("Mode", PropertyValue(int32_t{0}));
  }
  void UserControl_Resize() override { log.push_back("Resize"); }
  void UserControl_Show() override { log.push_back("Show"); }
  void UserControl_Terminate() override { log.push_back("Terminate"); }
  void UserControl_GotFocus() override { log.push_back("GotFocus"); }
  void UserControl_AmbientChanged(const std::string& name) override {
    log.push_back("AmbientChanged " + name + "=" + (Ambient.DisplayAsDefault() ? "1" : "0"));
  }
  void UserControl_KeyDown(int16_t& key, int16_t&) override { log.push_back("KeyDown " + std::to_string(key)); }
  void UserControl_AccessKeyPress(int16_t& key) override { log.push_back("AccessKeyPress " + std::to_string(key)); }
  bool saw(const std::string& entry) const {
    for (const auto& e : log)
      if (e == entry) return true;
    return false;
  }
};

const char kDescription[] = R"(Begin Form frmTest
   Caption = "Test"
   ClientWidth = 4500
   ClientHeight = 3000
   StartUpPosition = 2
   Begin TextBox Text1
      Left = 60
      Top = 60
      Width = 1500
      Height = 600
      TabIndex = 0
   End
   Begin Recorder Button1
      Left = 60
      Top = 900
      Width = 900
      Height = 375
      TabIndex = 1
      _extentx = 1588
      caption = "&Ok"
   End
   Begin Recorder Button2
      Left = 1200
      Top = 900
      Width = 900
      Height = 375
      TabIndex = 3
      caption = "&Info..."
   End
   Begin Label Label1
      Caption = "&Name"
      Left = 60
      Top = 1500
      Width = 900
      Height = 200
      TabIndex = 2
   End
   Begin CommandButton Command1
      Caption = "&Go"
      Left = 2400
      Top = 900
      Width = 900
      Height = 375
      TabIndex = 4
      Cancel = True
   End
End
)";

class TestForm : public Form {
 public:
  explicit TestForm(std::string description = kDescription) : Form(std::move(description)) {
    Command1.Click.connect([this] { ++goClicks; });
  }
  TextBox Text1{this, "Text1"};
  Recorder Button1{this, "Button1"};
  Recorder Button2{this, "Button2"};
  Label Label1{this, "Label1"};
  CommandButton Command1{this, "Command1"};
  int loads = 0, unloads = 0, paints = 0, activations = 0, goClicks = 0;

  void Form_Load() override { ++loads; }
  void Form_Unload(int16_t&) override { ++unloads; }
  void Form_Paint() override { ++paints; }
  void Form_Activate() override { ++activations; }
  void Form_KeyDown(int16_t& key, int16_t&) override {
    previewed.push_back(key);
    if (key == 'X') key = 0;
  }
  std::vector<int> previewed;
};

class FormTest : public testing::Test {
 protected:
  void TearDown() override {
    form.Unload();
    DoEvents();
  }
  void settle() {
    hl::runUntilIdle();
    DoEvents();
  }
  TestForm form;
};

TEST_F(FormTest, LoadRunsOncePerLoadAndUnloadingTwiceIsHarmless) {
  FormInstance<TestForm> instance;
  EXPECT_EQ(instance.peek(), nullptr);
  instance->setCaption("A");
  instance->setCaption(instance->Caption() + "B");
  EXPECT_EQ(instance->loads, 1);
  EXPECT_EQ(instance->Caption(), "AB");
  instance.Unload();
  instance.Unload();
  ASSERT_NE(instance.peek(), nullptr);
  EXPECT_EQ(instance.peek()->unloads, 1);
  EXPECT_FALSE(instance.peek()->Loaded());
  // Referencing it again loads it afresh, from its description.
  EXPECT_EQ(instance->Caption(), "Test");
  EXPECT_EQ(instance->loads, 2);
  instance.Unload();
  instance.Release();
  EXPECT_EQ(instance.peek(), nullptr);
}

TEST_F(FormTest, UserControlsReadTheirStoreAndLiveTheirLifeInOrder) {
  form.Load();
  EXPECT_EQ(form.Button1.caption, "&Ok");
  ASSERT_GE(form.Button1.log.size(), 2u);
  EXPECT_EQ(form.Button1.log[0], "ReadProperties");
  EXPECT_EQ(form.Button1.log[1], "Resize");
  EXPECT_EQ(form.Button1.UserControl.ScaleWidth(), 60.0f);
  EXPECT_EQ(form.Button1.UserControl.ScaleHeight(), 25.0f);
  EXPECT_TRUE(form.Button1.Ambient.UserMode());
  EXPECT_EQ(form.Button1.Ambient.DisplayName(), "Button1");
  EXPECT_EQ(form.Button1.UserControl.ContainerHwnd(), form.hWnd());
  EXPECT_NE(form.Button1.UserControl.hDC(), nullptr);
  EXPECT_FALSE(form.Button1.saw("Show"));
  form.Show();
  EXPECT_TRUE(form.Button1.saw("Show"));
  EXPECT_EQ(form.activations, 1);
  form.Unload();
  EXPECT_EQ(form.Button1.log.back(), "Terminate");
}

TEST_F(FormTest, ModalShowReturnsOnUnloadAndOtherWindowsTakeNoInputMeanwhile) {
  static TestForm* target;
  static bool otherEnabled;
  static HWND other;
  TestForm second;
  second.Show();
  other = second.hWnd();
  target = &form;
  form.Load();
  SetTimer(form.hWnd(), 7, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    otherEnabled = IsWindowEnabled(other) != 0;
    target->Unload();
  });
  otherEnabled = true;
  form.Show(vbModal);
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(otherEnabled);
  EXPECT_TRUE(IsWindowEnabled(other));
  second.Unload();
}

TEST_F(FormTest, ModalShowReturnsOnHide) {
  static TestForm* target;
  target = &form;
  form.Load();
  SetTimer(form.hWnd(), 8, 10, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    target->Hide();
  });
  form.Show(vbModal);
  EXPECT_TRUE(form.Loaded());
  EXPECT_FALSE(form.Visible());
}

TEST_F(FormTest, AModalWindowIsOwnedByTheActiveWindowWhileItIsModal) {
  static TestForm* target;
  static HWND ownerDuring;
  TestForm first;
  first.Show();
  ASSERT_EQ(GetActiveWindow(), first.hWnd());
  target = &form;
  form.Load();
  SetTimer(form.hWnd(), 9, 10, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    ownerDuring = GetWindow(hwnd, GW_OWNER);
    target->Hide();
  });
  ownerDuring = nullptr;
  form.Show(vbModal);
  EXPECT_EQ(ownerDuring, first.hWnd());
  // The ownership ends with the modal wait, so the owner may go first without taking it along.
  EXPECT_EQ(GetWindow(form.hWnd(), GW_OWNER), nullptr);
  first.Unload();
  EXPECT_TRUE(IsWindow(form.hWnd()));
}

TEST_F(FormTest, DoEventsPaintsAndRunsDueTimers) {
  static int ticks;
  ticks = 0;
  form.Show();
  DoEvents();
  int before = form.paints;
  InvalidateRect(form.hWnd(), nullptr, FALSE);
  DoEvents();
  EXPECT_EQ(form.paints, before + 1);
  SetTimer(form.hWnd(), 3, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  hl::advanceTime(150);
  DoEvents();
  EXPECT_EQ(ticks, 1);
  KillTimer(form.hWnd(), 3);
}

TEST_F(FormTest, TabFollowsTheTabOrderAndAccessKeysReachTheirControls) {
  form.Show();
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Text1);
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Button1);
  EXPECT_TRUE(form.Button1.saw("GotFocus"));
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Button2);  // the label is skipped
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Command1);
  hl::pressKey(VK_TAB);
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Text1);  // round again
  hl::keyDown(VK_SHIFT);
  hl::pressKey(VK_TAB);
  hl::keyUp(VK_SHIFT);
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Command1);

  hl::altKey('I');
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Button2);
  EXPECT_TRUE(form.Button2.saw("AccessKeyPress 105"));
  hl::altKey('G');
  settle();
  EXPECT_EQ(form.goClicks, 1);
  // A label's access key gives the focus to the next control in tab order.
  hl::altKey('N');
  settle();
  EXPECT_EQ(form.ActiveControl(), &form.Button2);
  // Escape reaches the cancel button.
  form.Text1.SetFocus();
  hl::pressKey(VK_ESCAPE);
  settle();
  EXPECT_EQ(form.goClicks, 2);
}

TEST_F(FormTest, DisplayAsDefaultFollowsTheFocusedButton) {
  form.Show();
  settle();
  EXPECT_FALSE(form.Button1.Ambient.DisplayAsDefault());
  form.Button1.SetFocus();
  settle();
  EXPECT_TRUE(form.Button1.Ambient.DisplayAsDefault());
  EXPECT_TRUE(form.Button1.saw("AmbientChanged DisplayAsDefault=1"));
  form.Button2.SetFocus();
  settle();
  EXPECT_TRUE(form.Button1.saw("AmbientChanged DisplayAsDefault=0"));
  EXPECT_TRUE(form.Button2.Ambient.DisplayAsDefault());
  // Enter goes to the displayed default as access key 13.
  hl::pressKey(VK_RETURN);
  settle();
  EXPECT_TRUE(form.Button2.saw("AccessKeyPress 13"));
  EXPECT_FALSE(form.Button1.saw("AccessKeyPress 13"));
  // Back in the text box, no button shows as default.
  form.Text1.SetFocus();
  settle();
  EXPECT_FALSE(form.Button2.Ambient.DisplayAsDefault());
}

TEST_F(FormTest, RetainedImageSurvivesAnExposeAfterAutoRedrawIsOff) {
  form.Show();
  settle();
  form.setAutoRedraw(true);
  RECT box{240, 140, 260, 160};  // clear of every control
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(form.hDC(), &box, red);
  DeleteObject(red);
  form.setAutoRedraw(false);
  settle();
  POINT p{250, 150};
  ClientToScreen(form.hWnd(), &p);
  EXPECT_EQ(hl::screenPixel(p.x, p.y), RGB(255, 0, 0));
  // Drawing now goes straight to the window ...
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(form.hDC(), &box, green);
  DeleteObject(green);
  settle();
  EXPECT_EQ(hl::screenPixel(p.x, p.y), RGB(0, 255, 0));
  // ... and a repaint shows the retained image again.
  InvalidateRect(form.hWnd(), nullptr, TRUE);
  settle();
  EXPECT_EQ(hl::screenPixel(p.x, p.y), RGB(255, 0, 0));
}

TEST_F(FormTest, DesignModeHostsControlsWithoutUserModeAndSavesRoundTrip) {
  std::vector<std::string> boxes;
  SetMsgBoxHook([&](const std::string& prompt, int, const std::string& title) {
    boxes.push_back(title + ": " + prompt);
    return vbOK;
  });
  form.setDesignMode(true);
  form.Load();
  EXPECT_FALSE(form.Button1.Ambient.UserMode());
  MsgBox("Only at design time", vbInformation);
  SetMsgBoxHook(nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Corvane: Only at design time");

  std::string saved = form.SaveDescription();
  DescriptionBlock root = ParseFormDescription(saved);
  const DescriptionBlock* b1 = root.child("Button1");
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->find("caption")->toText(), "&Ok");
  EXPECT_EQ(b1->find("capalign"), nullptr);  // equal to its default
  EXPECT_EQ(b1->find("mode")->toLong(), 0);
  EXPECT_EQ(b1->find("_extentx")->toLong(), 1588);  // 900 twips
  for (const auto& p : b1->properties) {
    if (p.key[0] == '_' || p.key == "caption" || p.key == "mode") {
      EXPECT_EQ(p.key, PropertyBag::foldKey(p.key));
    }
  }
  // A window loaded from the saved text saves the same text.
  TestForm fromSaved(saved);
  fromSaved.setDesignMode(true);
  fromSaved.Load();
  EXPECT_TRUE(fromSaved.Button1.saw("ReadProperties"));
  EXPECT_EQ(fromSaved.SaveDescription(), saved);
  fromSaved.Unload();
}

TEST_F(FormTest, KeyPreviewShowsControlsKeysToTheWindowFirst) {
  form.Show();
  form.Button1.SetFocus();
  settle();
  hl::pressKey('Y');
  settle();
  EXPECT_TRUE(form.previewed.empty());  // preview is off
  EXPECT_TRUE(form.Button1.saw("KeyDown 89"));
  form.setKeyPreview(true);
  hl::pressKey('X');
  hl::pressKey('Z');
  settle();
  EXPECT_EQ(form.previewed, (std::vector<int>{'X', 'Z'}));
  EXPECT_FALSE(form.Button1.saw("KeyDown 88"));  // cancelled by the window
  EXPECT_TRUE(form.Button1.saw("KeyDown 90"));
}

TEST_F(FormTest, MalformedDescriptionNamesTheLineWhenLoading) {
  struct Broken : Form {
    Broken() : Form("Begin Form f\n  Caption = \"x\"\n  Begin Label Nowhere\n  End\nEnd\n") {}
  } broken;
  try {
    broken.Load();
    FAIL() << "loaded a description naming a control the window lacks";
  } catch (const FormDescriptionError& e) {
    EXPECT_EQ(e.Line, 3);
  }
  EXPECT_FALSE(broken.Loaded());
}

}  // namespace

namespace {

TEST(FormLifetime, AWindowDestroyedWhileLoadedTakesItsControlsWindowsAlong) {
  HWND text = nullptr, button = nullptr;
  {
    TestForm form;
    form.Show();
    text = form.Text1.hWnd();
    button = form.Command1.hWnd();
    ASSERT_TRUE(IsWindow(text));
  }
  EXPECT_FALSE(IsWindow(text));
  EXPECT_FALSE(IsWindow(button));
  DoEvents();
}

}  // namespace
