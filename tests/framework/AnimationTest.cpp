// The animation control plays on a thread of its own: frames keep reaching the screen while the
// program's thread does not pump messages, opening and closing while it plays is safe, and clips
// with odd timing or a single frame play without harm.
#include <gtest/gtest.h>

#include <corvane/headless.h>

#include "framework/Animation.h"
#include "framework/Form.h"
#include "framework/RuntimeError.h"
#include "framework/media/AviClip.h"
#include "media/SolidClip.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace hl = corvane::headless;

namespace {

const char kDescription[] = R"(Begin Form frmClip
   Caption = "Clip"
   ClientLeft = 1500
   ClientTop = 1500
   ClientWidth = 1800
   ClientHeight = 900
   Begin Animation Animation1
      BackColor = &H00808080&
      Left = 0
      Top = 0
      Width = 1800
      Height = 900
   End
End
)";

class ClipForm : public Form {
 public:
  ClipForm() : Form(kDescription) {}
  Animation Animation1{this, "Animation1"};
};

const std::vector<COLORREF> kColours = {RGB(255, 0, 0),   RGB(0, 0, 255),   RGB(0, 160, 0),
                                        RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)};

class AnimationPlayer : public testing::Test {
 protected:
  void TearDown() override {
    form.Unload();
    for (const std::string& path : written) std::remove(path.c_str());
  }
  // A clip file of this test's own: the tests of this file run as parallel processes, and two
  // runs of the suite (two working trees) may run at once.
  std::string clipFile(const std::string& bytes) {
    static const std::string run = std::to_string(std::random_device{}());
    std::string path = (std::filesystem::temp_directory_path() /
                        ("corvane-animation-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                         "-" + run + "-" + std::to_string(written.size()) + ".avi"))
                           .string();
    std::ofstream(path, std::ios::binary) << bytes;
    written.push_back(path);
    return path;
  }
  void showForm() {
    form.Load();
    form.Show();
    hl::runUntilIdle();
  }
  // The colour at a point of the control, as the screen shows it.
  COLORREF at(int x, int y) {
    POINT p{x, y};
    ClientToScreen(form.Animation1.hWnd(), &p);
    return hl::screenPixel(p.x, p.y);
  }
  COLORREF centre() { return at(60, 30); }
  // The distinct frames the screen shows in the time given while this thread pumps no message.
  std::vector<COLORREF> framesSeenWithoutPumping(int milliseconds) {
    std::vector<COLORREF> seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      COLORREF c = centre();
      if (seen.empty() || seen.back() != c) seen.push_back(c);
    }
    return seen;
  }

  ClipForm form;
  std::vector<std::string> written;
};

int indexOf(COLORREF c) {
  return static_cast<int>(std::find(kColours.begin(), kColours.end(), c) - kColours.begin());
}

TEST_F(AnimationPlayer, FramesFollowOneAnotherOnTheScreenWhileTheProgramThreadPumpsNothing) {
  showForm();
  form.Animation1.Open(clipFile(test_clips::writeClip(40, 20, kColours, 40000)));
  hl::runUntilIdle();
  EXPECT_EQ(centre(), kColours[0]) << "an open clip shows its first frame";
  form.Animation1.Play();

  std::vector<COLORREF> seen = framesSeenWithoutPumping(700);
  // 25 frames a second for 0.7 s: a loaded machine may drop some, but the clip plainly moves, in
  // its own order, and nothing but its frames shows.
  EXPECT_GE(seen.size(), 8u);
  int skipped = 0;
  for (size_t i = 1; i < seen.size(); ++i) {
    ASSERT_LT(indexOf(seen[i]), 6) << std::hex << seen[i];
    if (indexOf(seen[i]) != (indexOf(seen[i - 1]) + 1) % 6) ++skipped;
  }
  EXPECT_LE(skipped, static_cast<int>(seen.size()) / 3);

  // Once the program's thread runs again, the surface holds what the player drew, so a repaint
  // of another part of the window does not bring back an old frame.
  form.Animation1.Stop();
  const COLORREF last = centre();
  hl::runUntilIdle();
  RECT corner{0, 0, 2, 2};
  InvalidateRect(form.hWnd(), &corner, FALSE);
  hl::runUntilIdle();
  EXPECT_EQ(centre(), last);
  EXPECT_EQ(kColours[form.Animation1.currentFrame()], last);
}

TEST_F(AnimationPlayer, TheClipsBackgroundShowsTheBackColourInEveryFrame) {
  showForm();
  form.Animation1.Open(clipFile(test_clips::writeClip(40, 20, kColours, 20000)));
  hl::runUntilIdle();
  // The 40 x 20 clip sits at 40, 20 in the 120 x 60 control; its top-left pixel is its background.
  EXPECT_EQ(at(40, 20), RGB(128, 128, 128));
  EXPECT_EQ(at(41, 20), kColours[0]);
  EXPECT_EQ(at(40, 21), kColours[0]);

  form.Animation1.setBackColor(RGB(0, 200, 100));
  hl::runUntilIdle();
  EXPECT_EQ(at(0, 0), RGB(0, 200, 100));
  EXPECT_EQ(at(40, 20), RGB(0, 200, 100));

  // The player's frames, drawn while this thread pumps nothing, carry the colour as well.
  form.Animation1.Play();
  for (int i = 0; i < 200 && form.Animation1.currentFrame() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(at(40, 20), RGB(0, 200, 100));
  EXPECT_LT(indexOf(at(41, 20)), 6);
  form.Animation1.Stop();

  // A system colour is read when the frame is drawn.
  form.Animation1.setBackColor(0x8000000F);
  hl::runUntilIdle();
  EXPECT_EQ(at(40, 20), GetSysColor(COLOR_BTNFACE));
}

TEST_F(AnimationPlayer, HidingKeepsTheClipOpenAndStoppingKeepsTheFrame) {
  showForm();
  form.Animation1.Open(clipFile(test_clips::writeClip(40, 20, kColours, 20000)));
  form.Animation1.Play();
  form.setVisible(false);
  hl::runUntilIdle();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(form.Animation1.isOpen());
  EXPECT_TRUE(form.Animation1.isPlaying());
  form.Show();
  hl::runUntilIdle();
  form.Animation1.Stop();
  const int frame = form.Animation1.currentFrame();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  hl::runUntilIdle();
  EXPECT_EQ(form.Animation1.currentFrame(), frame);
  EXPECT_EQ(centre(), kColours[frame]);
  form.Animation1.Close();
  hl::runUntilIdle();
  EXPECT_EQ(centre(), RGB(128, 128, 128));
}

TEST_F(AnimationPlayer, OpeningAndClosingAThousandTimesWhilePlayingIsSafe) {
  showForm();
  const std::string fast = clipFile(test_clips::writeClip(40, 20, kColours, 1000));
  const std::string slow = clipFile(test_clips::writeClip(40, 20, {RGB(1, 2, 3), RGB(4, 5, 6)}, 10000));
  std::mt19937 random(15);
  for (int i = 0; i < 1000; ++i) {
    form.Animation1.Open(i % 2 ? fast : slow);
    form.Animation1.Play();
    // Now and then long enough for the player to draw, with the window painting as well.
    if (random() % 8 == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 15000));
      hl::runUntilIdle();
    }
    if (i % 3 == 0) form.Animation1.Stop();
    if (i % 5 != 0) form.Animation1.Close();
  }
  form.Animation1.Close();
  EXPECT_FALSE(form.Animation1.isOpen());
  // Unloading the window while the clip plays ends the player with it.
  form.Animation1.Open(fast);
  form.Animation1.Play();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  form.Unload();
  EXPECT_FALSE(form.Animation1.isPlaying());
}

TEST_F(AnimationPlayer, ClipsWithOddTimingOrOneFramePlayAndFailedOpensLeaveTheControlWorking) {
  showForm();
  // No time, a negative one, and a million frames a second in the main header: each plays at the
  // stream's own five frames a second.
  for (uint32_t microseconds : {0u, 0xFFFFFFF0u, 1u}) {
    form.Animation1.Open(clipFile(test_clips::writeClip(40, 20, kColours, microseconds)));
    const auto start = std::chrono::steady_clock::now();
    form.Animation1.Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // A loaded machine may let the player start late: the test then looks a while longer.
    int frame = 0;
    while ((frame = form.Animation1.currentFrame()) == 0 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(frame, 1) << microseconds;
    // Five frames a second: one frame each 200 ms, and a late one may follow at once.
    EXPECT_LE(frame, elapsed / std::chrono::milliseconds(200) + 1) << microseconds;
    form.Animation1.Close();
  }

  // One frame: shown, and nothing more to do.
  form.Animation1.Open(clipFile(test_clips::writeClip(40, 20, {RGB(0, 0, 255)}, 1000)));
  form.Animation1.Play();
  hl::runUntilIdle();
  EXPECT_TRUE(form.Animation1.isPlaying());
  EXPECT_EQ(centre(), RGB(0, 0, 255));

  // A clip cut off in its third frame does not open, and the one before is let go.
  std::string whole = test_clips::writeClip(40, 20, kColours, 40000);
  std::string cut = whole.substr(0, whole.size() * 2 / 5);
  EXPECT_THROW(form.Animation1.Open(clipFile(cut)), RuntimeError);
  EXPECT_FALSE(form.Animation1.isOpen());
  hl::runUntilIdle();
  EXPECT_EQ(centre(), RGB(128, 128, 128));
  EXPECT_THROW(form.Animation1.Play(), RuntimeError);

  // The control still plays a good clip, named the Windows way.
  std::string path = clipFile(test_clips::writeClip(40, 20, kColours, 20000));
  std::replace(path.begin(), path.end(), '/', '\\');
  form.Animation1.Open(path);
  form.Animation1.Play();
  // The clip loops every 120 ms: a single look after a fixed wait may meet frame 0 again, or a
  // player a loaded machine has not yet let run. So the test looks until the clip has moved on.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int frame = 0;
  while ((frame = form.Animation1.currentFrame()) == 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GT(frame, 0);
}

}  // namespace
