#include <gtest/gtest.h>

#include "framework/App.h"
#include "framework/RuntimeError.h"

#include <stdexcept>

#include <filesystem>

namespace {

TEST(App, CommandIsTheTextAfterTheProgramName) {
  EXPECT_EQ(ArgumentsAfterProgramName("\"/opt/my dir/corvane\" E:"), "E:");
  EXPECT_EQ(ArgumentsAfterProgramName("corvane E:\\some\\folder"), "E:\\some\\folder");
  EXPECT_EQ(ArgumentsAfterProgramName("\"/bin/corvane\""), "");
  EXPECT_EQ(ArgumentsAfterProgramName("corvane"), "");
  // Quotes and inner blanks of the arguments stay as given.
  EXPECT_EQ(ArgumentsAfterProgramName("\"c\" \" E:\" x"), "\" E:\" x");
  EXPECT_EQ(ArgumentsAfterProgramName("\"unclosed"), "");
  // An argument that starts with a blank keeps it: only the one separator goes.
  EXPECT_EQ(ArgumentsAfterProgramName("\"/bin/corvane\"  E:"), " E:");
}

TEST(App, PathIsTheExecutablesFolderWithoutTrailingSeparator) {
  std::string path = App.Path();
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.back(), '/');
  EXPECT_EQ(path.find('\\'), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(App.Title, "Corvane");
  EXPECT_EQ(App.Major(), 1);
  EXPECT_EQ(App.Minor(), 0);
  EXPECT_EQ(App.Revision(), 0);
}

TEST(App, ScreenIsMeasuredInTwipsAtFifteenPerPixel) {
  EXPECT_EQ(Screen.TwipsPerPixelX(), 15.0f);
  EXPECT_EQ(Screen.TwipsPerPixelY(), 15.0f);
  EXPECT_EQ(Screen.Width(), GetSystemMetrics(SM_CXSCREEN) * 15.0f);
  EXPECT_EQ(Screen.Height(), GetSystemMetrics(SM_CYSCREEN) * 15.0f);
  EXPECT_DOUBLE_EQ(ConvertScale(915, vbTwips, vbHimetric), 915 * 2540.0 / 1440.0);
  EXPECT_DOUBLE_EQ(ConvertScale(15, vbTwips, vbPixels), 1.0);
  EXPECT_DOUBLE_EQ(ConvertScale(8.25, vbPoints, vbTwips), 165.0);
}

TEST(App, RndStaysInTheHalfOpenUnitRangeAndRepeatsForOneSeed) {
  Randomize(12.5);
  std::vector<float> first;
  for (int i = 0; i < 1000; ++i) first.push_back(Rnd());
  Randomize(12.5);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(Rnd(), first[static_cast<size_t>(i)]);
  int low = 0, high = 0;
  for (float r : first) {
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    low += r < 0.25f;
    high += r > 0.75f;
  }
  // Roughly uniform: each quarter gets its share.
  EXPECT_GT(low, 180);
  EXPECT_GT(high, 180);
  Randomize();
  float a = Rnd(), b = Rnd();
  EXPECT_NE(a, b);
}

}  // namespace

namespace {

TEST(App, UncaughtErrorsShowTheRunTimeErrorBox) {
  std::vector<std::string> shown;
  std::vector<int> styles;
  SetMsgBoxHook([&](const std::string& prompt, int buttons, const std::string& title) {
    shown.push_back(title + "|" + prompt);
    styles.push_back(buttons);
    return vbOK;
  });
  ReportRunTimeError(RuntimeError(53, "File not found: /x/res.dll"));
  ReportRunTimeError(std::runtime_error("something else"));
  SetMsgBoxHook(nullptr);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Corvane|Run-time error '53':\r\n\r\nFile not found: /x/res.dll");
  EXPECT_EQ(shown[1], "Corvane|Run-time error '440':\r\n\r\nsomething else");
  EXPECT_EQ(styles[0], vbCritical);
}

}  // namespace
