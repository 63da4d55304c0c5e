// sndPlaySoundA: quiet failures for missing or bad sounds and for a missing device.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Named after the test as well: the tests of this file run as parallel processes.
std::string writeFile(const std::string& name, const std::vector<unsigned char>& bytes) {
  std::string path =
      testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

// A short mono 16-bit sound: 0.05 s of silence at 8000 Hz.
std::vector<unsigned char> shortWave() {
  const unsigned samples = 400, dataBytes = samples * 2;
  std::vector<unsigned char> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                  1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a'};
  for (int i = 0; i < 4; ++i) w.push_back(static_cast<unsigned char>(dataBytes >> (8 * i)));
  w.resize(w.size() + dataBytes, 0);
  unsigned riff = static_cast<unsigned>(w.size() - 8);
  for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<unsigned char>(riff >> (8 * i));
  return w;
}

class Sound : public testing::Test {
 protected:
  void SetUp() override { setenv("CORVANE_ALSA_DEVICE", "corvane_no_such_device", 1); }
  void TearDown() override {
    sndPlaySoundA(nullptr, 0);
    unsetenv("CORVANE_ALSA_DEVICE");
  }
};

TEST_F(Sound, MissingAndBadFilesReturnFalse) {
  EXPECT_FALSE(sndPlaySoundA("/nonexistent/vertisano.dll", SND_SYNC | SND_NODEFAULT));
  EXPECT_FALSE(sndPlaySoundA("/nonexistent/vertisano.dll", SND_ASYNC));
  std::string bad = writeFile("corvane-bad-sound.dll", {'M', 'Z', 0x90, 0, 3, 0, 0, 0});
  EXPECT_FALSE(sndPlaySoundA(bad.c_str(), SND_SYNC | SND_NODEFAULT));
  std::string empty = writeFile("corvane-empty-sound.dll", {});
  EXPECT_FALSE(sndPlaySoundA(empty.c_str(), SND_SYNC | SND_NODEFAULT));
  EXPECT_FALSE(sndPlaySoundA("/tmp", SND_SYNC | SND_NODEFAULT)) << "a folder is not a sound";
  std::remove(bad.c_str());
  std::remove(empty.c_str());
}

TEST_F(Sound, NoDeviceReturnsFalseAtOnce) {
  std::string good = writeFile("corvane-good-sound.wav", shortWave());
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(sndPlaySoundA(good.c_str(), SND_SYNC | SND_NODEFAULT));
  EXPECT_FALSE(sndPlaySoundA(good.c_str(), SND_ASYNC | SND_NODEFAULT));
  std::vector<unsigned char> image = shortWave();
  EXPECT_FALSE(sndPlaySoundA(reinterpret_cast<const char*>(image.data()), SND_MEMORY | SND_SYNC));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(sndPlaySoundA(nullptr, 0)) << "stopping with nothing playing is fine";
  std::remove(good.c_str());
}

// ALSA's "null" device takes any sound without hardware, where the ALSA configuration has it.
TEST_F(Sound, PlaysThroughANullDeviceSyncAndAsync) {
  setenv("CORVANE_ALSA_DEVICE", "null", 1);
  std::string good = writeFile("corvane-good-sound.wav", shortWave());
  if (!sndPlaySoundA(good.c_str(), SND_SYNC | SND_NODEFAULT)) {
    std::remove(good.c_str());
    GTEST_SKIP() << "ALSA has no null device here";
  }
  EXPECT_TRUE(sndPlaySoundA(good.c_str(), SND_ASYNC | SND_LOOP));
  EXPECT_FALSE(sndPlaySoundA(good.c_str(), SND_ASYNC | SND_NOSTOP)) << "a looping sound is still playing";
  EXPECT_TRUE(sndPlaySoundA(nullptr, 0));
  EXPECT_TRUE(sndPlaySoundA(good.c_str(), SND_ASYNC | SND_NOSTOP)) << "nothing plays after the stop";
  std::vector<unsigned char> image = shortWave();
  EXPECT_TRUE(sndPlaySoundA(reinterpret_cast<const char*>(image.data()), SND_MEMORY | SND_SYNC));
  std::remove(good.c_str());
}

}  // namespace
