// Pictures when memory runs out: each allocation of a decode is made to fail in turn. A picture
// that memory cannot be had for is run-time error 7, never "Invalid picture", and gives back every
// GDI object; a damaged picture stays "Invalid picture"; a window description whose picture
// memory cannot be had for loads without that picture instead of failing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "FailingAllocations.h"
#include "framework/Base64.h"
#include "framework/FormDescription.h"
#include "framework/RuntimeError.h"
#include "framework/StdPicture.h"

namespace {

constexpr int kLoaded = 0;
constexpr int kOtherException = -1;

std::vector<uint8_t> bytesOf(const char* name) {
  std::ifstream in(std::string(CORVANE_TEST_DATA) + "/framework/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// kLoaded, the run-time error's number, or kOtherException; the picture is released at once.
int load(const std::vector<uint8_t>& bytes) {
  try {
    return LoadPictureFromBytes(bytes) ? kLoaded : kOtherException;
  } catch (const RuntimeError& e) {
    return e.Number;
  } catch (...) {
    return kOtherException;
  }
}

TEST(PictureOutOfMemory, APictureMemoryCannotBeHadForIsOutOfMemory) {
  for (const char* name : {"sample32.ico", "sample32.cur", "sample48x60.bmp", "sample16.jpg"}) {
    const std::vector<uint8_t> bytes = bytesOf(name);
    const DWORD before = gdiObjects();
    long outOfMemory = 0;
    long failing = allocation::eachAllocationFailing([&] { return load(bytes); }, [&](int outcome, bool failed, long n) {
      if (failed && outcome == ErrOutOfMemory) ++outOfMemory;
      // An allocation whose failure is met by another way of doing the same may still load it.
      if (failed && outcome != kLoaded) {
        EXPECT_EQ(outcome, ErrOutOfMemory) << name << ", allocation " << n;
      } else if (!failed) {
        EXPECT_EQ(outcome, kLoaded) << name;
      }
      EXPECT_EQ(gdiObjects(), before) << name << ", allocation " << n;
    });
    EXPECT_GT(failing, 3) << name;
    EXPECT_GT(outOfMemory, 3) << name;
  }
}

TEST(PictureOutOfMemory, ADamagedPictureStaysInvalidWhateverFails) {
  std::vector<uint8_t> bytes = bytesOf("sample32.ico");
  bytes.resize(bytes.size() / 2);
  allocation::eachAllocationFailing([&] { return load(bytes); }, [&](int outcome, bool failed, long n) {
    // An error that cannot itself be made arrives as the allocation's own failure, which the top
    // level tells as error 7.
    if (failed && (outcome == ErrOutOfMemory || outcome == kOtherException)) return;
    EXPECT_EQ(outcome, ErrInvalidPicture) << "allocation " << n;
  });
}

// kLoaded with the picture, 1 without it, the error's number, or kOtherException (memory the
// description's own reading could not have, which reaches the top as error 7).
int parse(const std::string& text) {
  try {
    DescriptionBlock block = ParseFormDescription(text);
    const PropertyValue* picture = block.find("picture");
    return picture != nullptr && picture->toPicture() ? kLoaded : 1;
  } catch (const RuntimeError& e) {
    return e.Number;
  } catch (...) {
    return kOtherException;
  }
}

TEST(PictureOutOfMemory, AWindowsPictureMemoryCannotBeHadForIsLeftOut) {
  const std::string encoded = Base64Encode(bytesOf("sample32.ico"));
  std::string text = "Begin Image Image1\n BeginProperty Picture StdPicture\n";
  for (size_t i = 0; i < encoded.size(); i += 60) text += "  Data = \"" + encoded.substr(i, 60) + "\"\n";
  text += " EndProperty\n Stretch = -1\nEnd\n";
  long leftOut = 0;
  allocation::eachAllocationFailing([&] { return parse(text); }, [&](int outcome, bool failed, long n) {
    if (outcome == 1) ++leftOut;
    if (failed) {
      EXPECT_TRUE(outcome == kLoaded || outcome == 1 || outcome == kOtherException) << "allocation " << n << ": " << outcome;
    } else {
      EXPECT_EQ(outcome, kLoaded);
    }
  });
  EXPECT_GT(leftOut, 3);
}

}  // namespace
