// A sample window with a label, an image, a text box and a playing animation, photographed by the
// headless driver and checked pixel by pixel. The PNG stays in the build folder for people to see.
#include <gtest/gtest.h>

#include <corvane/headless.h>

#include "framework/Animation.h"
#include "framework/App.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/TextBox.h"
#include "media/SolidClip.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace hl = corvane::headless;

namespace {

const char kDescription[] = R"(Begin Form frmSample
   Caption = "Sample"
   ClientLeft = 1500
   ClientTop = 1500
   ClientWidth = 6000
   ClientHeight = 3000
   Begin Label Label1
      Caption = "&Sample label"
      BackColor = &H0000FFFF&
      Left = 120
      Top = 120
      Width = 2400
      Height = 300
   End
   Begin Image Image1
      Left = 120
      Top = 600
      Width = 480
      Height = 480
   End
   Begin TextBox Text1
      Text = "First line" & vbCrLf & "Second line"
      BackColor = &H8000000F&
      Left = 2700
      Top = 120
      Width = 3000
      Height = 1200
      TabIndex = 0
   End
   Begin Animation Animation1
      BackColor = &H00808080&
      Left = 120
      Top = 1500
      Width = 1500
      Height = 900
   End
End
)";

class SampleForm : public Form {
 public:
  SampleForm() : Form(kDescription) {}
  Label Label1{this, "Label1"};
  Image Image1{this, "Image1"};
  TextBox Text1{this, "Text1"};
  Animation Animation1{this, "Animation1"};
};

class SampleWindow : public testing::Test {
 protected:
  void SetUp() override {
    // Each test its own file: the tests of this file run as parallel processes, and two runs of
    // the suite (two working trees) may run at once.
    clipPath = (std::filesystem::temp_directory_path() /
                (std::string("corvane-sample-clip-") + testing::UnitTest::GetInstance()->current_test_info()->name() +
                 "-" + std::to_string(std::random_device{}()) + ".avi"))
                   .string();
    std::ofstream(clipPath, std::ios::binary) << test_clips::writeClip(40, 20, {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 160, 0)});
  }
  void TearDown() override {
    form.Unload();
    std::remove(clipPath.c_str());
  }
  COLORREF at(int x, int y) {
    POINT p{x, y};
    ClientToScreen(form.hWnd(), &p);
    return hl::screenPixel(p.x, p.y);
  }
  std::string clipPath;
  SampleForm form;
};

TEST_F(SampleWindow, ShowsLabelImageTextAndAPlayingClip) {
  form.Load();
  form.Image1.setPicture(LoadPicture(std::string(CORVANE_TEST_DATA) + "/framework/sample32.ico"));
  form.Show();
  hl::runUntilIdle();
  // The clip plays in real time from here.
  form.Animation1.Open(clipPath);
  form.Animation1.Play();
  hl::runUntilIdle();
  // The clip, 40 x 20 centred in the 100 x 60 control on grey: the first frame is red.
  EXPECT_EQ(at(8 + 50, 100 + 30), RGB(255, 0, 0));
  EXPECT_EQ(at(8 + 5, 100 + 5), RGB(128, 128, 128));

  // The label's opaque yellow back, the icon's blue frame and yellow centre.
  EXPECT_EQ(at(158, 9), RGB(255, 255, 0));
  EXPECT_EQ(at(10, 42), RGB(32, 80, 192));
  EXPECT_EQ(at(24, 56), RGB(255, 255, 0));
  // The text box: button-face back inside its sunken frame.
  EXPECT_EQ(at(180 + 100, 8 + 60), RGB(192, 192, 192));
  EXPECT_EQ(at(180, 8), RGB(128, 128, 128));
  EXPECT_EQ(at(180 + 199, 8 + 79), RGB(255, 255, 255));
  ASSERT_TRUE(hl::saveWindowPng(form.hWnd(), std::string(CORVANE_BIN_DIR) + "/framework-sample-window.png"));

  // The clip plays frame after frame and starts over, each frame shown as it comes; it plays on
  // a thread of its own, so real time passes here, and nothing but its frames shows.
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 160, 0)};
  std::vector<int> seen{0};
  for (int step = 0; step < 100 && seen.size() < 5; ++step) {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    hl::runUntilIdle();
    const COLORREF shown = at(8 + 50, 100 + 30);
    const int frame = static_cast<int>(std::find(std::begin(colours), std::end(colours), shown) - std::begin(colours));
    ASSERT_LT(frame, 3) << std::hex << shown;
    if (frame != seen.back()) seen.push_back(frame);
  }
  // Their order, under any load, is the animation tests' business.
  ASSERT_EQ(seen.size(), 5u);
  form.Animation1.Close();
  hl::runUntilIdle();
  EXPECT_EQ(at(8 + 50, 100 + 30), RGB(128, 128, 128));
}

TEST_F(SampleWindow, AClipThatCannotBeOpenedIsARunTimeErrorNamingTheFile) {
  form.Load();
  try {
    form.Animation1.Open(std::string(CORVANE_BIN_DIR) + "/missing-clip.dll");
    FAIL() << "a missing clip opened";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, ErrAnimationOpen);
    EXPECT_NE(e.Description.find("missing-clip.dll"), std::string::npos) << e.Description;
  }
  EXPECT_FALSE(form.Animation1.isOpen());
}

}  // namespace
