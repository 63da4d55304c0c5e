// The flush run from start to end on the headless screen, with a drive table in a temporary
// folder: the sequence must report the system's text, flush exactly five times and never create
// anything, whatever the argument.
#include <gtest/gtest.h>
#include <windows.h>

#include <corvane/headless.h>
#include <corvane/kernel_hooks.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/Module1.h"
#include "drivers/headless/HeadlessDriver.h"
#include "forms/frmAbout.h"
#include "forms/frmAttendere.h"
#include "forms/frmFine.h"
#include "framework/App.h"
#include "framework/media/AviClip.h"
#include "kernel/CommandLine.h"

namespace fs = std::filesystem;

namespace {

std::string capturedResult;
std::string capturedCaption;
bool resultWasVisible = false;
bool waitWindowVisibleWithResult = true;

// Once the result window is up, a user reads it and presses Alt+O.
void CALLBACK CloseResultWindow(HWND, UINT, UINT_PTR id, DWORD) {
  ResultWindow* window = frmFine.peek();
  if (window == nullptr || !window->Loaded() || !IsWindowVisible(window->hWnd())) return;
  KillTimer(nullptr, id);
  capturedResult = window->Text1.Text();
  capturedCaption = window->Caption();
  resultWasVisible = true;
  WaitWindow* wait = frmAttendere.peek();
  waitWindowVisibleWithResult = wait != nullptr && wait->Loaded() && IsWindowVisible(wait->hWnd());
  corvane::headless::altKey('O');
}

class FlushRun : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("corvane-flush-" + std::to_string(std::random_device{}()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "drives");
    // Only the top of a mounted file system is a volume; "/" is one wherever the tests run.
    fs::create_symlink("/", root_ / "drives" / "e:");
    setenv("CORVANE_DRIVES", (root_ / "drives").c_str(), 1);
    capturedResult.clear();
    capturedCaption.clear();
    resultWasVisible = false;
    waitWindowVisibleWithResult = true;
    corvane::resetVolumeCallCounts();
  }
  void TearDown() override {
    corvane::setVolumeOpenObserver({});
    fs::remove_all(root_);
    if (!clipCopy_.empty()) fs::remove(clipCopy_);
  }

  // The wait clip lies beside the program; the tests run from their own folder.
  void putClipBesideTheProgram() {
    clipCopy_ = fs::path(App.Path()) / "res.dll";
    fs::copy_file(fs::path(CORVANE_BIN_DIR) / "res.dll", clipCopy_, fs::copy_options::overwrite_existing);
  }

  // The user's part of the run: by default, read the result and press Alt+O.
  std::string run(const std::string& argument, TIMERPROC user = CloseResultWindow) {
    std::vector<std::string> args = {"corvane", argument};
    std::vector<char*> argv = {args[0].data(), args[1].data()};
    kernel::recordCommandLine(2, argv.data());
    UINT_PTR timer = SetTimer(nullptr, 0, 10, user);
    status_ = RunFlushSequence();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(resultWasVisible);
    return capturedResult;
  }

  std::vector<std::string> everythingUnder(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) names.push_back(entry.path());
    return names;
  }

  fs::path root_;
  fs::path clipCopy_;
  int status_ = -1;
};

// A path argument goes through the same sequence, which still builds its path of two characters.
TEST_F(FlushRun, AMappedLetterOrAPathIsFlushedFiveTimesAndReportsSuccess) {
  for (const std::string argument : {"E:", "/"}) {
    corvane::resetVolumeCallCounts();
    EXPECT_EQ(run(argument), "The operation completed successfully.\r\n");
    corvane::VolumeCallCounts counts = corvane::volumeCallCounts();
    EXPECT_EQ(counts.opens, 1u);
    EXPECT_EQ(counts.flushes, 5u);
    EXPECT_EQ(counts.closes, 1u);
    EXPECT_EQ(counts.lastOpenedPath, "\\\\.\\" + argument);
    EXPECT_EQ(capturedCaption, "Corvane v.1.00.0000");
  }
}

TEST_F(FlushRun, EverySpellingOfTheSameDriveOpensTheSameVolume) {
  for (const std::string argument : {"E:", "E:\\", "E:\\some\\folder", "e:"}) {
    corvane::resetVolumeCallCounts();
    EXPECT_EQ(run(argument), "The operation completed successfully.\r\n") << argument;
    EXPECT_EQ(corvane::volumeCallCounts().flushes, 5u) << argument;
  }
}

TEST_F(FlushRun, AnUnmappedLetterReportsTheOpenFailure) {
  EXPECT_EQ(run("Q:"), "Error: 2:\r\nThe system cannot find the file specified.\r\n");
  corvane::VolumeCallCounts counts = corvane::volumeCallCounts();
  EXPECT_EQ(counts.opens, 1u);
  EXPECT_EQ(counts.flushes, 0u);
  EXPECT_EQ(counts.closes, 0u);
}

TEST_F(FlushRun, AFolderWithNothingMountedOnItReportsTheDriveNotReady) {
  fs::create_directories(root_ / "empty-stick");
  fs::create_symlink(root_ / "empty-stick", root_ / "drives" / "u:");
  EXPECT_EQ(run("U:"), "Error: 21:\r\nThe device is not ready.\r\n");
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 0u);
}

TEST_F(FlushRun, MalformedArgumentsFailTheOpenAndCreateNothing) {
  const std::vector<std::string> before = everythingUnder(root_);
  const std::vector<std::string> arguments = {"",  "E", " E:", "\"E:\"", std::string(10000, 'E'),
                                              "\xC3\xA9:", "\xFF\xFE"};
  for (const std::string& argument : arguments) {
    std::string text = run(argument);
    EXPECT_EQ(text.rfind("Error: ", 0), 0u) << argument.substr(0, 16);
    EXPECT_NE(text.find(":\r\n"), std::string::npos) << argument.substr(0, 16);
    EXPECT_EQ(corvane::volumeCallCounts().flushes, 0u);
  }
  EXPECT_EQ(everythingUnder(root_), before);
  EXPECT_FALSE(fs::exists(fs::current_path() / "E"));
}

// `corvane E: && echo done` must be able to tell: 0 only where the window says success.
TEST_F(FlushRun, TheExitStatusIsZeroOnlyWhenTheWindowSaysSuccess) {
  fs::create_directories(root_ / "empty-stick");
  fs::create_symlink(root_ / "empty-stick", root_ / "drives" / "u:");
  fs::create_symlink("/dev/null", root_ / "drives" / "n:");
  const std::string success = "The operation completed successfully.\r\n";
  struct Case {
    std::string argument;
    std::string textStart;
    int status;
  } cases[] = {{"E:", success, 0},
               {"C:", success, 0},
               {"/", success, 0},
               {"Q:", "Error: 2:", 1},
               {"U:", "Error: 21:", 1},
               {"N:", "Error: 15:", 1},
               {"/nonexistent", "Error: 2:", 1},
               {(root_ / "empty-stick").string() + "/", "Error: 21:", 1},
               {"/" + std::string(5000, 'x'), "Error: 206:", 1},
               {"-", "Error: 2:", 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.argument).rfind(c.textStart, 0), 0u) << c.argument.substr(0, 40) << ": " << capturedResult;
    EXPECT_EQ(status_, c.status) << c.argument.substr(0, 40);
  }
  // A table others could change: access is denied, and that is no success either.
  fs::permissions(root_ / "drives", fs::perms::all);
  EXPECT_EQ(run("E:"), "Error: 5:\r\nAccess is denied.\r\n");
  EXPECT_EQ(status_, 1);
  fs::permissions(root_ / "drives", fs::perms::owner_all);
}

TEST_F(FlushRun, TheWaitWindowShowsTheClipBeforeTheOpenAndHidesBeforeTheResult) {
  putClipBesideTheProgram();
  media::AviClip clip = media::AviClip::load(clipCopy_.string());
  const std::vector<uint32_t> firstFrame = clip.frame(0);
  bool checked = false;
  corvane::setVolumeOpenObserver([&](const std::string&) {
    checked = true;
    WaitWindow* wait = frmAttendere.peek();
    ASSERT_TRUE(wait != nullptr && wait->Loaded());
    EXPECT_TRUE(IsWindowVisible(wait->hWnd()));
    EXPECT_TRUE(frmFine.peek() == nullptr || !frmFine.peek()->Loaded());
    // What the screen shows at the clip's centre is the first frame's pixel there.
    HWND animation = wait->Animation1.hWnd();
    RECT client;
    GetClientRect(animation, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    POINT onScreen = centre;
    ClientToScreen(animation, &onScreen);
    int x = centre.x - (client.right - clip.width()) / 2;
    int y = centre.y - (client.bottom - clip.height()) / 2;
    uint32_t pixel = firstFrame[static_cast<size_t>(y) * clip.width() + x];
    COLORREF expected = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    EXPECT_EQ(corvane::headless::screenPixel(onScreen.x, onScreen.y), expected);
  });
  EXPECT_EQ(run("E:"), "The operation completed successfully.\r\n");
  EXPECT_TRUE(checked);
  EXPECT_FALSE(waitWindowVisibleWithResult);
}

TEST_F(FlushRun, TheClipKeepsPlayingWhileTheFlushBlocks) {
  putClipBesideTheProgram();
  // Five flushes of 300 ms each, as a device with much dirty data takes.
  setenv("CORVANE_TEST_FLUSH_DELAY_MS", "300", 1);
  std::set<std::vector<uint32_t>> frames;
  std::atomic<bool> done{false};
  std::thread watcher;
  corvane::setVolumeOpenObserver([&](const std::string&) {
    RECT area;
    GetWindowRect(frmAttendere->Animation1.hWnd(), &area);
    // The screen, read from another thread while the program's thread sits in the flushes.
    watcher = std::thread([&, area] {
      drivers::HeadlessDriver* screen = drivers::activeHeadlessDriver();
      const SIZE size = screen->screenSize();
      while (!done && corvane::volumeCallCounts().closes == 0) {
        std::vector<uint32_t> all = screen->compose();
        std::vector<uint32_t> crop;
        for (LONG y = area.top; y < area.bottom; ++y)
          crop.insert(crop.end(), all.begin() + y * size.cx + area.left, all.begin() + y * size.cx + area.right);
        frames.insert(std::move(crop));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  });
  EXPECT_EQ(run("E:"), "The operation completed successfully.\r\n");
  unsetenv("CORVANE_TEST_FLUSH_DELAY_MS");
  done = true;
  ASSERT_TRUE(watcher.joinable());
  watcher.join();
  // The clip shows ten frames a second: about fifteen during the flushes, the only time watched.
  EXPECT_GE(frames.size(), 8u);
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 5u);
}

TEST_F(FlushRun, AMissingClipStillLeadsToTheResult) {
  fs::remove(fs::path(App.Path()) / "res.dll");
  EXPECT_EQ(run("E:"), "The operation completed successfully.\r\n");
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 5u);
}

TEST_F(FlushRun, ACaptionCarriesTheVersionOnceAcrossRuns) {
  run("E:");
  EXPECT_EQ(capturedCaption, "Corvane v.1.00.0000");
  run("E:");
  EXPECT_EQ(capturedCaption, "Corvane v.1.00.0000");
}

// Alt+I opens the About window over the result window; once it is up it is closed, and Alt+O
// ends the run.
bool aboutWasVisible = false;
void CALLBACK VisitAboutThenClose(HWND, UINT, UINT_PTR id, DWORD) {
  ResultWindow* result = frmFine.peek();
  AboutWindow* about = frmAbout.peek();
  if (about != nullptr && about->Visible()) {
    aboutWasVisible = true;
    PostMessageA(about->hWnd(), WM_CLOSE, 0, 0);
  } else if (result != nullptr && result->Loaded() && IsWindowVisible(result->hWnd()) &&
             IsWindowEnabled(result->hWnd())) {
    resultWasVisible = true;
    corvane::headless::altKey(aboutWasVisible ? 'O' : 'I');
    if (aboutWasVisible) KillTimer(nullptr, id);
  }
}

TEST_F(FlushRun, TheRunEndsWithTheAboutWindowUnloadedAndReleased) {
  aboutWasVisible = false;
  run("E:", VisitAboutThenClose);
  EXPECT_TRUE(aboutWasVisible);
  // Released with its pictures: the GDI count of the test comes back to where it started.
  EXPECT_EQ(frmAbout.peek(), nullptr);
  EXPECT_EQ(frmFine.peek(), nullptr);
}

TEST(SystemErrorText, GivesTheSystemTextOrNothing) {
  EXPECT_EQ(SystemErrorText(0), "The operation completed successfully.\r\n");
  EXPECT_EQ(SystemErrorText(5), "Access is denied.\r\n");
  EXPECT_EQ(SystemErrorText(-7), "");
  EXPECT_EQ(SystemErrorText(999999), "");
}

TEST(VersionSuffix, PadsMinorToTwoAndRevisionToFourDigits) {
  EXPECT_EQ(VersionSuffix(1, 0, 0), " v.1.00.0000");
  EXPECT_EQ(VersionSuffix(12, 3, 45), " v.12.03.0045");
  EXPECT_EQ(VersionSuffix(1, 123, 12345), " v.1.123.12345");
}

}  // namespace
