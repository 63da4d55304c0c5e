#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Base64.h"
#include "framework/FormDescription.h"
#include "framework/RuntimeError.h"
#include "framework/StdPicture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string data(const char* name) { return std::string(CORVANE_TEST_DATA) + "/framework/" + name; }

std::vector<uint8_t> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

bool isDibSection(HANDLE bitmap) {
  BITMAP bm{};
  return GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm && bm.bmBits != nullptr;
}

TEST(Picture, IconLoadsAsIconOfItsSize) {
  PictureRef icon = LoadPicture(data("sample32.ico"));
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Type(), vbPicTypeIcon);
  EXPECT_FALSE(icon->isCursor());
  EXPECT_EQ(icon->widthPixels(), 32);
  EXPECT_EQ(icon->heightPixels(), 32);
  EXPECT_EQ(icon->Width(), 847);  // 32 pixels in HIMETRIC at 96 dots per inch
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon->Handle()), &info));
  EXPECT_TRUE(info.fIcon);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST(Picture, CursorLoadsAsIconWithItsHotSpot) {
  PictureRef cursor = LoadPicture(data("sample32.cur"));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->Type(), vbPicTypeIcon);
  EXPECT_TRUE(cursor->isCursor());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(static_cast<HICON>(cursor->Handle()), &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 12u);
  EXPECT_EQ(info.yHotspot, 9u);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST(Picture, JpegAndBitmapBecomeDibSections) {
  PictureRef jpeg = LoadPicture(data("sample16.jpg"));
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->Type(), vbPicTypeBitmap);
  EXPECT_EQ(jpeg->widthPixels(), 16);
  EXPECT_EQ(jpeg->heightPixels(), 16);
  EXPECT_TRUE(isDibSection(jpeg->Handle()));
  PictureRef bmp = LoadPicture(data("sample48x60.bmp"));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Type(), vbPicTypeBitmap);
  EXPECT_EQ(bmp->widthPixels(), 48);
  EXPECT_EQ(bmp->heightPixels(), 60);
  EXPECT_EQ(bmp->Height(), 1588);
  EXPECT_TRUE(isDibSection(bmp->Handle()));
}

TEST(Picture, ANameWrittenTheWindowsWayLoads) {
  // As the program names its files: the application path, a backslash, the name; a doubled
  // separator, as beside a drive's root, is fine too.
  std::string path = data("sample48x60.bmp");
  std::replace(path.begin(), path.end(), '/', '\\');
  path.insert(path.rfind('\\'), "\\");
  PictureRef bmp = LoadPicture(path);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->widthPixels(), 48);
  PictureRef icon = LoadPicture(data("sample32.ico").insert(0, "\\"));
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->widthPixels(), 32);
}

TEST(Picture, BadInputIsARunTimeErrorAndAnEmptyNameIsNoPicture) {
  EXPECT_EQ(LoadPicture(""), nullptr);
  try {
    LoadPicture(data("no-such-file.ico"));
    FAIL() << "a missing file loaded";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, ErrFileNotFound);
    EXPECT_NE(e.Description.find("no-such-file.ico"), std::string::npos);
  }
  std::vector<uint8_t> junk = {'B', 'M', 1, 2, 3};
  try {
    LoadPictureFromBytes(junk);
    FAIL() << "a broken bitmap loaded";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, ErrInvalidPicture);
  }
  EXPECT_THROW(LoadPictureFromBytes({}), RuntimeError);
}

// Pictures given as bytes are decoded in memory: with no temporary folder to be had and the
// working folder watched, every kind loads as its file does, and a truncated or garbage picture
// is "Invalid picture" without a file made on the way.
TEST(Picture, PicturesFromBytesNeedNoFile) {
  const std::filesystem::path work = std::filesystem::temp_directory_path() / ("corvane-picture-test-" + std::to_string(GetTickCount64()));
  std::filesystem::create_directory(work);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(work);
  const char* saved = std::getenv("TMPDIR");
  const std::string savedTmp = saved ? saved : "";
  setenv("TMPDIR", "/nonexistent/corvane", 1);
  for (const char* name : {"sample48x60.bmp", "sample16.jpg", "sample32.ico", "sample32.cur"}) {
    const std::vector<uint8_t> bytes = bytesOf(data(name));
    PictureRef fromFile = LoadPicture(data(name));
    PictureRef fromBytes = LoadPictureFromBytes(bytes);
    ASSERT_TRUE(fromBytes) << name;
    EXPECT_EQ(fromBytes->kind(), fromFile->kind()) << name;
    EXPECT_EQ(fromBytes->widthPixels(), fromFile->widthPixels()) << name;
    EXPECT_EQ(fromBytes->heightPixels(), fromFile->heightPixels()) << name;
    for (size_t keep : {bytes.size() / 2, size_t{40}, size_t{7}}) {
      try {
        LoadPictureFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep)));
        ADD_FAILURE() << name << " cut to " << keep << " bytes loaded";
      } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, ErrInvalidPicture) << name << " cut to " << keep;
      }
    }
  }
  std::vector<uint8_t> garbage(300);
  for (size_t k = 0; k < garbage.size(); ++k) garbage[k] = static_cast<uint8_t>(k * 37 + 11);
  EXPECT_THROW(LoadPictureFromBytes(garbage), RuntimeError);
  if (saved) setenv("TMPDIR", savedTmp.c_str(), 1);
  else unsetenv("TMPDIR");
  std::filesystem::current_path(before);
  EXPECT_TRUE(std::filesystem::is_empty(work));
  std::filesystem::remove_all(work);
}

TEST(Picture, SharedPictureIsDeletedWithTheLastReference) {
  DWORD before = gdiObjects();
  PictureRef a = LoadPicture(data("sample48x60.bmp"));
  HANDLE handle = a->Handle();
  EXPECT_GT(gdiObjects(), before);
  PictureRef b = a;
  a.reset();
  EXPECT_TRUE(isDibSection(handle));  // still alive through b
  b.reset();
  EXPECT_EQ(gdiObjects(), before);
}

TEST(Picture, DescriptionKeepsTheFileBytes) {
  std::vector<uint8_t> file = bytesOf(data("sample32.ico"));
  std::string encoded = Base64Encode(file);
  std::string text = "Begin Image Image1\n BeginProperty Picture StdPicture\n";
  for (size_t i = 0; i < encoded.size(); i += 60) text += "  Data = \"" + encoded.substr(i, 60) + "\"\n";
  text += " EndProperty\nEnd\n";
  DescriptionBlock block = ParseFormDescription(text);
  PictureRef picture = block.find("picture")->toPicture();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Type(), vbPicTypeIcon);
  EXPECT_EQ(picture->sourceBytes(), file);
  DescriptionBlock again = ParseFormDescription(WriteFormDescription(block));
  EXPECT_EQ(again.find("picture")->toPicture()->sourceBytes(), file);
}

}  // namespace
