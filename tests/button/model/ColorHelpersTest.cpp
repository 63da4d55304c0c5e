#include <gtest/gtest.h>

#include <windows.h>

#include "button/paint/ColorHelpers.h"

TEST(TranslateColor, SystemColourReferencesBecomeTheirRgbOthersStay) {
  EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x8000000F)), static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x8000000F)), 0xC0C0C0);
  EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x80000012)), 0x000000);
  EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x80000010)), 0x808080);  // COLOR_BTNSHADOW
  EXPECT_EQ(TranslateColor(0x00FF0000), 0x00FF0000);
  EXPECT_EQ(TranslateColor(0), 0);
}

TEST(ShadeColor, MatchesTheWorkedExamples) {
  EXPECT_EQ(ShadeColor(0xFFFFFF, -32, 0), 0xE0E0DF);
  EXPECT_EQ(ShadeColor(0x808080, 16, -1), 0x8B9190);
  EXPECT_EQ(ShadeColor(0xC0C0C0, -25, -1), 0xA8A8A7);
  // The face colours the styles derive from the button face.
  EXPECT_EQ(ShadeColor(0xC0C0C0, 48, -1), 0xF1F1F0);
  EXPECT_EQ(ShadeColor(0xF1F1F0, -32, -1), 0xCAD2D0);
  EXPECT_EQ(ShadeColor(0x808080, -16, 0), 0x717170);
  EXPECT_EQ(ShadeColor(0x808080, 12, 0), 0x8D8D8C);
}

TEST(ShadeColor, ChannelsStayInRange) {
  EXPECT_EQ(ShadeColor(0x000000, -10, 0), 0x000000);
  EXPECT_EQ(ShadeColor(0x000000, -10, -1), 0x000000);
  EXPECT_EQ(ShadeColor(0xFFFFFF, 10, 0), 0xFFFFFF);
  EXPECT_EQ(ShadeColor(0xFFFFFF, 10, -1), 0xFFFFFF);
  EXPECT_EQ(ShadeColor(0x000000, 300, 0), 0xFFFFFF);
  EXPECT_EQ(ShadeColor(0xFFFFFF, -300, -1), 0x000000);
}

TEST(ShadeColor, GreenAndBlueFrom128GrowByOneEvenWithoutAmountRedDoesNot) {
  EXPECT_EQ(ShadeColor(0x808080, 0, 0), 0x818180);
  EXPECT_EQ(ShadeColor(0x808080, 0, -1), 0x818180);
  EXPECT_EQ(ShadeColor(0x7F7F7F, 0, 0), 0x7F7F7F);
  EXPECT_EQ(ShadeColor(0x0000FF, 0, 0), 0x0000FF);
}

TEST(ShadeColor, ScaledBlueDividesTowardZero) {
  // 256 - 25600 / 192 = 256 - 133.3: truncated to 133, not floored to 134.
  EXPECT_EQ(ShadeColor(0xFF0000, -100, -1), 0x7B0000);
  // 1 - 1 / 192 stays 1: a floor would give 0.
  EXPECT_EQ(ShadeColor(0x010000, -1, -1), 0x010000);
  // Without ScaleBlue the amount is added whole.
  EXPECT_EQ(ShadeColor(0x010000, -1, 0), 0x000000);
}
