// The generated media files beside the program read back through the platform's own loaders.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "corvane/wav_file.h"

namespace {

std::string beside(const char* name) { return std::string(CORVANE_BIN_DIR) + "/" + name; }

struct IconFacts {
  bool loaded = false;
  BOOL isIcon = FALSE;
  DWORD hotX = 0, hotY = 0;
  LONG width = 0, height = 0;
};

IconFacts inspect(UINT type, int size) {
  IconFacts facts;
  std::string path = beside(type == IMAGE_ICON ? "corvane.ico" : "hand.cur");
  HANDLE image = LoadImageA(nullptr, path.c_str(), type, size, size, LR_LOADFROMFILE);
  if (!image) return facts;
  facts.loaded = true;
  ICONINFO info{};
  if (GetIconInfo(static_cast<HICON>(image), &info)) {
    facts.isIcon = info.fIcon;
    facts.hotX = info.xHotspot, facts.hotY = info.yHotspot;
    BITMAP bitmap{};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) facts.width = bitmap.bmWidth, facts.height = bitmap.bmHeight;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  if (type == IMAGE_ICON) DestroyIcon(static_cast<HICON>(image));
  else DestroyCursor(static_cast<HCURSOR>(image));
  return facts;
}

TEST(GeneratedMedia, IconHoldsBothSizes) {
  for (int size : {16, 32}) {
    IconFacts icon = inspect(IMAGE_ICON, size);
    ASSERT_TRUE(icon.loaded) << size;
    EXPECT_TRUE(icon.isIcon);
    EXPECT_EQ(icon.width, size);
    EXPECT_EQ(icon.height, size);
  }
}

TEST(GeneratedMedia, HandCursorPointsAtItsHotSpot) {
  IconFacts cursor = inspect(IMAGE_CURSOR, 0);
  ASSERT_TRUE(cursor.loaded);
  EXPECT_FALSE(cursor.isIcon);
  EXPECT_EQ(cursor.hotX, 12u);
  EXPECT_EQ(cursor.hotY, 9u);
}

TEST(GeneratedMedia, AboutPictureIs48By60) {
  HANDLE picture = LoadImageA(nullptr, beside("about.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  ASSERT_NE(picture, nullptr);
  BITMAP bitmap{};
  EXPECT_NE(GetObjectA(picture, sizeof bitmap, &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, 48);
  EXPECT_EQ(bitmap.bmHeight, 60);
  DeleteObject(picture);
}

TEST(GeneratedMedia, ChimeIsAShortCleanMonoSound) {
  corvane::WavSound sound;
  std::string error;
  ASSERT_TRUE(corvane::readWavFile(beside("vertisano.dll"), sound, error)) << error;
  EXPECT_EQ(sound.sampleRate, 22050u);
  EXPECT_EQ(sound.bitsPerSample, 16);
  EXPECT_EQ(sound.channels, 1);
  EXPECT_GT(sound.frameCount(), 22050u / 5);
  EXPECT_LT(sound.frameCount(), 22050u);
  auto sample = [&](size_t i) { return static_cast<int16_t>(sound.samples[2 * i] | (sound.samples[2 * i + 1] << 8)); };
  int peak = 0;
  for (size_t i = 0; i < sound.frameCount(); ++i) peak = std::max(peak, std::abs(int(sample(i))));
  EXPECT_GT(peak, 8000) << "audible";
  EXPECT_LT(peak, 32767) << "not clipped";
  EXPECT_LT(std::abs(int(sample(0))), 200) << "starts without a click";
  EXPECT_LT(std::abs(int(sample(sound.frameCount() - 1))), 200) << "ends without a click";
}

TEST(GeneratedMedia, LicenceTextLiesBesideTheProgram) {
  EXPECT_GT(std::filesystem::file_size(beside("gpl.txt")), 1000u);
}

}  // namespace
