// The About window on the headless screen: its controls where its description puts them and as the
// screen shows them, its links handed to the shell (a fake xdg-open first on PATH records what it
// gets; the real one reports what it finds), its sound, and the signature that runs the effect.
#include <gtest/gtest.h>
#include <windows.h>

#include <corvane/headless.h>
#include <corvane/wav_file.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "PrivateDesktop.h"
#include "forms/frmAbout.h"
#include "forms/frmFine.h"
#include "forms/frmGraphics.h"
#include "framework/App.h"

namespace fs = std::filesystem;
namespace hl = corvane::headless;

namespace {

constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kFace = RGB(0xC0, 0xC0, 0xC0);

struct Box {
  std::string prompt;
  int buttons;
  std::string title;
  bool operator==(const Box&) const = default;
};

std::vector<uint8_t> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AboutWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("corvane-about-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "bin");
    log_ = root_ / "xdg-open.log";
    fs::path fake = root_ / "bin" / "xdg-open";
    std::ofstream(fake) << "#!/bin/sh\nprintf '%s\\0' \"$@\" >> \"$FAKE_LOG\"\nexit \"${FAKE_EXIT:-0}\"\n";
    fs::permissions(fake, fs::perms::owner_all);
    env_.set("PATH", (root_ / "bin").string() + ":" + std::getenv("PATH"));
    env_.set("FAKE_LOG", log_.string());
    env_.set("CORVANE_ALSA_DEVICE", "corvane_no_such_device");
    for (const char* name : {"vertisano2.dll", "vertisano.dll", "gpl.txt"}) {
      fs::copy_file(fs::path(CORVANE_BIN_DIR) / name, beside(name), fs::copy_options::overwrite_existing);
    }
    SetMsgBoxHook([this](const std::string& prompt, int buttons, const std::string& title) {
      boxes_.push_back({prompt, buttons, title});
      return vbOK;
    });
  }

  void TearDown() override {
    frmAbout.Unload();
    frmFine.Unload();
    frmAbout.Release();
    frmFine.Release();
    hl::onIdle({});
    hl::mouseMove(0, 0);
    settle();
    SetMsgBoxHook({});
    for (const char* name : {"vertisano2.dll", "vertisano.dll", "gpl.txt"}) fs::remove(beside(name));
    fs::remove_all(root_);
  }

  static fs::path beside(const std::string& name) { return fs::path(App.Path()) / name; }
  static void settle() {
    hl::runUntilIdle();
    DoEvents();
  }

  AboutWindow& showAbout() {
    frmAbout->Show(vbModeless);
    settle();
    return *frmAbout.peek();
  }

  // The centre of a control on the screen.
  static POINT centreOf(const Control& c) {
    RECT r = c.pixelRect();
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(c.Parent().hWnd(), &p);
    return p;
  }
  static void click(const Control& c) {
    POINT p = centreOf(c);
    hl::click(p.x, p.y);
    settle();
  }
  static void pressEscape() {
    hl::pressKey(VK_ESCAPE);
    settle();
  }

  // What the fake handler was started with, one entry per argument, in the order of the calls.
  std::vector<std::string> handed() {
    std::vector<uint8_t> raw = fileBytes(log_);
    std::vector<std::string> args;
    std::string word;
    for (uint8_t c : raw) {
      if (c == 0) args.push_back(word), word.clear();
      else word += static_cast<char>(c);
    }
    fs::remove(log_);
    return args;
  }
  static std::string licence() { return App.Path() + "/gpl.txt"; }

  // Counts pixels of one colour in a control's rectangle on its window.
  static int pixelsOf(const Control& c, COLORREF colour) {
    RECT r = c.pixelRect();
    HDC dc = GetDC(c.Parent().hWnd());
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += GetPixel(dc, x, y) == colour;
    ReleaseDC(c.Parent().hWnd(), dc);
    return n;
  }

  EnvironmentGuard env_;
  fs::path root_, log_;
  std::vector<Box> boxes_;
};

struct Placement {
  const char* name;
  const char* kind;
  int32_t left, top, width, height;
};

TEST_F(AboutWindowTest, ControlsSitWhereTheDescriptionPutsThem) {
  AboutWindow& w = showAbout();
  const Placement table[] = {
      {"Image2", "Image", 60, 120, 510, 510},       {"lblVersione", "Label", 960, 120, 4995, 195},
      {"Label5", "Label", 960, 360, 1065, 195},     {"Label8", "Label", 960, 900, 3045, 195},
      {"Label7", "Label", 60, 780, 675, 675},       {"Animation1", "Animation", 120, 840, 540, 570},
      {"Image1", "Image", 60, 1860, 750, 930},      {"Label2", "Label", 900, 1860, 5115, 435},
      {"Label1", "Label", 180, 2280, 195, 195},     {"Label3", "Label", 60, 2880, 1530, 195},
      {"Label4", "Label", 5280, 2940, 600, 195}};
  ASSERT_EQ(w.Controls().size(), std::size(table));
  for (const Placement& p : table) {
    Control* c = w.control(p.name);
    ASSERT_NE(c, nullptr) << p.name;
    EXPECT_EQ(c->kind(), p.kind) << p.name;
    EXPECT_EQ(c->Left(), p.left) << p.name;
    EXPECT_EQ(c->Top(), p.top) << p.name;
    EXPECT_EQ(c->Width(), p.width) << p.name;
    EXPECT_EQ(c->Height(), p.height) << p.name;
  }
  // The clip's own window: 36 x 38 pixels at 8, 56 of the client area.
  RECT clip;
  GetWindowRect(w.Animation1.hWnd(), &clip);
  POINT corner{clip.left, clip.top};
  ScreenToClient(w.hWnd(), &corner);
  EXPECT_EQ(corner.x, 8);
  EXPECT_EQ(corner.y, 56);
  EXPECT_EQ(clip.right - clip.left, 36);
  EXPECT_EQ(clip.bottom - clip.top, 38);

  // The window: a fixed dialog frame around a 409 x 212 client area whose corner is at 156, 110.
  RECT client;
  GetClientRect(w.hWnd(), &client);
  EXPECT_EQ(client.right, 409);
  EXPECT_EQ(client.bottom, 212);
  POINT origin{0, 0};
  ClientToScreen(w.hWnd(), &origin);
  EXPECT_EQ(origin.x, 156);
  EXPECT_EQ(origin.y, 110);
  LONG style = GetWindowLongA(w.hWnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_TRUE(GetWindowLongA(w.hWnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  char title[64] = "x";
  EXPECT_EQ(GetWindowTextA(w.hWnd(), title, sizeof title), 0);
}

TEST_F(AboutWindowTest, TextsFontsAndPointersAreTheLinksAndLabelsOfTheWindow) {
  AboutWindow& w = showAbout();
  EXPECT_EQ(w.lblVersione.Caption(), "Corvane v.1.00.0000");
  EXPECT_EQ(w.lblVersione.Caption(), frmFine->Caption());
  EXPECT_EQ(w.Label5.Caption(), "English version");
  EXPECT_EQ(w.Label3.Caption(), "General public license");
  EXPECT_EQ(w.Label8.Caption(), kAuthorPage);
  const std::string notice = w.Label2.Caption();
  EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1) << "two lines";
  EXPECT_EQ(w.Label1.Caption(), "");
  EXPECT_FALSE(w.Label4.Caption().empty());
  EXPECT_EQ(w.lblVersione.Font()->Name, "MS Sans Serif");

  for (Label* link : {&w.Label8, &w.Label3, &w.Label4}) {
    SCOPED_TRACE(link->Name());
    EXPECT_EQ(link->Font()->Name, "Tahoma");
    EXPECT_EQ(link->Font()->Size.toDouble(), 8.25);
    EXPECT_TRUE(link->Font()->Underline);
    EXPECT_EQ(link->ForeColor(), 0x00FF0000u);
    // Blue text on the screen, its underline a run of blue across one row.
    EXPECT_GT(pixelsOf(*link, kLinkBlue), 10);
    // The hand, with its finger tip as the hot spot, while the pointer is over the link.
    ASSERT_TRUE(link->MouseIcon());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(link->MouseIcon()->Handle()), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 9u);
    EXPECT_EQ(link->MouseIcon()->widthPixels(), 32);
    EXPECT_EQ(link->MouseIcon()->heightPixels(), 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    POINT over = centreOf(*link);
    hl::mouseMove(over.x, over.y);
    settle();
    EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(link->MouseIcon()->Handle()));
  }
  POINT plain = centreOf(w.Label5);
  hl::mouseMove(plain.x, plain.y);
  settle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(pixelsOf(w.Label5, kLinkBlue), 0);
  EXPECT_GT(pixelsOf(w.Label5, RGB(0, 0, 0)), 10);

  // The square behind the clip and the clip's margin take the window's face.
  EXPECT_EQ(w.Label7.BackColor(), w.BackColor());
  EXPECT_EQ(w.Animation1.BackColor(), w.BackColor());
  EXPECT_TRUE(w.Animation1.isOpen());
  EXPECT_TRUE(w.Animation1.isPlaying());
}

// Each link shows its whole text on its one line: the caption fits the label in the label's font,
// and its last letters are on the screen above the underline.
TEST_F(AboutWindowTest, LinksShowTheirWholeText) {
  AboutWindow& w = showAbout();
  HDC dc = GetDC(w.hWnd());
  for (Label* link : {&w.Label8, &w.Label3, &w.Label4}) {
    SCOPED_TRACE(link->Name());
    const std::string caption = link->Caption();
    HFONT font = link->Font()->createHandle();
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text{};
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text));
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    SelectObject(dc, old);
    DeleteObject(font);
    RECT r = link->pixelRect();
    EXPECT_LE(text.cx, r.right - r.left);
    int lastLetters = 0;
    for (int y = r.top; y < r.top + tm.tmAscent; ++y)
      for (int x = r.left + text.cx - 5; x < r.left + text.cx; ++x) lastLetters += GetPixel(dc, x, y) == kLinkBlue;
    EXPECT_GT(lastLetters, 4);
  }
  ReleaseDC(w.hWnd(), dc);
}

TEST_F(AboutWindowTest, PicturesAreTheProgramsIconAndTheAboutPicture) {
  AboutWindow& w = showAbout();
  ASSERT_TRUE(w.Image1.Picture());
  ASSERT_TRUE(w.Image2.Picture());
  // The window carries the very files the build generates, so the art has one source.
  EXPECT_EQ(w.Image1.Picture()->sourceBytes(), fileBytes(fs::path(CORVANE_BIN_DIR) / "about.bmp"));
  EXPECT_EQ(w.Image2.Picture()->sourceBytes(), fileBytes(fs::path(CORVANE_BIN_DIR) / "corvane.ico"));
  EXPECT_EQ(w.Label8.MouseIcon()->sourceBytes(), fileBytes(fs::path(CORVANE_BIN_DIR) / "hand.cur"));
  EXPECT_EQ(w.Image1.Picture()->Type(), vbPicTypeBitmap);
  EXPECT_EQ(w.Image1.Picture()->widthPixels(), 48);
  EXPECT_EQ(w.Image1.Picture()->heightPixels(), 60);
  EXPECT_EQ(w.Image2.Picture()->Type(), vbPicTypeIcon);

  // Every pixel of the picture shows at the image's corner.
  HDC window = GetDC(w.hWnd());
  HDC memory = CreateCompatibleDC(window);
  HGDIOBJ old = SelectObject(memory, w.Image1.Picture()->Handle());
  RECT at = w.Image1.pixelRect();
  int differing = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 48; ++x) differing += GetPixel(memory, x, y) != GetPixel(window, at.left + x, at.top + y);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(w.hWnd(), window);
  EXPECT_EQ(differing, 0);
  // The icon draws its 32 x 32 image inside its 34 x 34 control, the rest is the face.
  EXPECT_GT(pixelsOf(w.Image2, kFace), 34 * 34 - 32 * 32);
  EXPECT_LT(pixelsOf(w.Image2, kFace), 34 * 34 - 200);

  fs::path png = fs::temp_directory_path() / "corvane-about-window.png";
  ASSERT_TRUE(hl::saveWindowPng(w.hWnd(), png.string()));
  std::printf("About window: %s\n", png.c_str());
}

TEST_F(AboutWindowTest, EscapeOpensTheLicenceExactlyAsItsLinkDoes) {
  AboutWindow& w = showAbout();
  pressEscape();
  EXPECT_EQ(handed(), std::vector<std::string>{licence()});
  click(w.Label3);
  EXPECT_EQ(handed(), std::vector<std::string>{licence()});
  click(w.Label8);
  EXPECT_EQ(handed(), std::vector<std::string>{kAuthorPage});
  // Other keys released on the window do nothing; success shows no box.
  for (UINT key : {UINT{VK_RETURN}, UINT{VK_SPACE}, UINT{'A'}, UINT{VK_F1}, UINT{VK_BACK}}) hl::pressKey(key);
  settle();
  EXPECT_TRUE(handed().empty());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(w.Loaded());
}

TEST_F(AboutWindowTest, ShellFailuresShowTheirMessageInAPlainBoxAndTheWindowStays) {
  AboutWindow& w = showAbout();
  fs::remove(beside("gpl.txt"));
  pressEscape();
  click(w.Label3);
  EXPECT_TRUE(handed().empty()) << "a missing file never reaches the handler";
  env_.set("FAKE_EXIT", "3");  // xdg-open: nothing can open the type
  fs::copy_file(fs::path(CORVANE_BIN_DIR) / "gpl.txt", beside("gpl.txt"));
  click(w.Label3);
  click(w.Label8);
  const std::vector<Box> expected = {{"File not found", vbOKOnly, "Corvane"},
                                     {"File not found", vbOKOnly, "Corvane"},
                                     {"No association for file extension", vbOKOnly, "Corvane"},
                                     {"No association for file extension", vbOKOnly, "Corvane"}};
  EXPECT_EQ(boxes_, expected);
  EXPECT_TRUE(w.Loaded() && w.Visible());
}

TEST_F(AboutWindowTest, WithNoHandlerForTheTypeTheRealXdgOpenGivesNoAssociation) {
  ASSERT_TRUE(fs::exists("/usr/bin/xdg-open")) << "xdg-utils is missing (scripts/setup installs it)";
  UseEmptyDesktop(env_, root_ / "desktop");
  AboutWindow& w = showAbout();
  click(w.Label3);
  const std::vector<Box> expected = {{"No association for file extension", vbOKOnly, "Corvane"}};
  EXPECT_EQ(boxes_, expected);
}

// Escape that closes the error box goes down in the box; its release on the About window must not
// bring the box straight back.
TEST_F(AboutWindowTest, EscapeThatClosesTheErrorBoxDoesNotOpenItAgain) {
  SetMsgBoxHook({});
  AboutWindow& w = showAbout();
  fs::remove(beside("gpl.txt"));
  std::vector<std::string> shown;
  hl::onIdle([&](int) {
    HWND active = GetActiveWindow();
    if (!active || active == w.hWnd()) return;
    char text[64] = {};
    GetWindowTextA(active, text, sizeof text);
    shown.push_back(text);
    hl::keyDown(VK_ESCAPE);  // closes the box
  });
  hl::keyDown(VK_ESCAPE);
  hl::keyUp(VK_ESCAPE);  // opens the licence: the file is missing, the box comes
  settle();
  hl::onIdle({});
  hl::keyUp(VK_ESCAPE);  // the release of the Escape that closed the box
  settle();
  EXPECT_EQ(shown, std::vector<std::string>{"Corvane"});
  EXPECT_EQ(GetActiveWindow(), w.hWnd());
}

TEST_F(AboutWindowTest, NamesThatReachTheShellArriveWhole) {
  AboutWindow& w = showAbout();
  fs::path odd = root_ / "-dash folder" / "caf\xC3\xA9 $(touch pwned); x.txt";
  fs::create_directories(odd.parent_path());
  std::ofstream(odd) << "text";
  EXPECT_GT(w.StartDoc(odd.string()), 32);
  EXPECT_EQ(handed(), std::vector<std::string>{odd.string()});
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_EQ(w.StartDoc("-x.txt"), 2) << "a relative name is looked up in C:\\, never passed as an option";
  const std::string longAddress = "https://example.org/?q=" + std::string(100000, 'a');
  EXPECT_GT(w.StartDoc(longAddress), 32);
  EXPECT_EQ(handed(), std::vector<std::string>{longAddress});
  // Past what one argument may hold: a table message rather than anything else.
  const int32_t tooLong = w.StartDoc("https://example.org/?q=" + std::string(300000, 'a'));
  EXPECT_LE(tooLong, 32);
  EXPECT_EQ(w.StartDoc(std::string(5000, 'x') + ".txt"), 2);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AboutWindowTest, TheSoundPlaysToItsEndBeforeTheClickReturns) {
  corvane::WavSound sound;
  std::string error;
  ASSERT_TRUE(corvane::readWavFile(beside("vertisano.dll").string(), sound, error)) << error;
  // The device is a pipe that nobody opens for a while: a click that plays the sound itself
  // cannot return before the reader comes, and the reader then gets every sample.
  fs::path pipe = root_ / "device";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  env_.set("CORVANE_ALSA_DEVICE", "file:'" + pipe.string() + "',raw");
  AboutWindow& w = showAbout();
  std::atomic<size_t> received{0};
  const auto start = std::chrono::steady_clock::now();
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int fd = open(pipe.c_str(), O_RDONLY);
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0;) received += static_cast<size_t>(n);
    if (fd >= 0) close(fd);
  });
  click(w.Label1);
  auto took = std::chrono::steady_clock::now() - start;
  reader.join();
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_EQ(received.load(), sound.samples.size());
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AboutWindowTest, AMissingOrBrokenSoundPlaysNothingAndSaysNothing) {
  fs::path output = root_ / "played.raw";
  env_.set("CORVANE_ALSA_DEVICE", "file:'" + output.string() + "',raw");
  AboutWindow& w = showAbout();
  fs::remove(beside("vertisano.dll"));
  click(w.Label1);
  std::ofstream(beside("vertisano.dll"), std::ios::binary) << "RIFF\x10\0\0\0WAVEfmt junk";
  click(w.Label1);
  EXPECT_FALSE(fs::exists(output));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(w.Loaded() && w.Visible());
}

TEST_F(AboutWindowTest, AMissingOrBrokenClipLeavesTheWindowWithoutItsAnimation) {
  for (bool present : {false, true}) {
    SCOPED_TRACE(present ? "a broken clip" : "no clip");
    fs::remove(beside("vertisano2.dll"));
    if (present) std::ofstream(beside("vertisano2.dll"), std::ios::binary) << "RIFF\x04\0\0\0AVI ";
    AboutWindow& w = showAbout();
    EXPECT_TRUE(w.Visible());
    EXPECT_FALSE(w.Animation1.isOpen());
    EXPECT_EQ(w.lblVersione.Caption(), "Corvane v.1.00.0000");
    pressEscape();
    EXPECT_EQ(handed(), std::vector<std::string>{licence()});
    frmAbout.Unload();
  }
}

TEST_F(AboutWindowTest, WithoutPicturesOrPointerTheWindowStillWorks) {
  AboutWindow& w = showAbout();
  w.Image1.setPicture(nullptr);
  w.Image2.setPicture(nullptr);
  w.Label3.setMouseIcon(nullptr);
  settle();
  POINT over = centreOf(w.Label3);
  hl::mouseMove(over.x, over.y);
  settle();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(pixelsOf(w.Image1, kFace), 50 * 62);
  click(w.Label3);
  EXPECT_EQ(handed(), std::vector<std::string>{licence()});
}

TEST_F(AboutWindowTest, TheSignatureRunsTheEffectWithPresetZeroThenClosesTheWindow) {
  AboutWindow& w = showAbout();
  bool sawEffect = false;
  hl::onIdle([&](int poll) {
    GraphicsWindow* effect = frmGraphics.peek();
    if (!effect || !effect->Visible()) return;
    if (poll == 5) {
      sawEffect = true;
      EXPECT_EQ(effect->ef, 0);
      const auto p = effect->Parameters();
      const auto zero = EffectPreset(0);
      EXPECT_EQ(std::tie(p.SpreadX, p.BiasX, p.SpreadY, p.BiasY, p.BlockWidth, p.BlockHeight),
                std::tie(zero.SpreadX, zero.BiasX, zero.SpreadY, zero.BiasY, zero.BlockWidth, zero.BlockHeight));
      RECT r;
      GetWindowRect(effect->hWnd(), &r);
      EXPECT_EQ(r.right - r.left, hl::screenSize().cx);
      EXPECT_EQ(r.bottom - r.top, hl::screenSize().cy);
      EXPECT_TRUE(w.Loaded()) << "the About window waits below the effect";
      hl::pressKey('Q');
    }
  });
  click(w.Label4);
  hl::onIdle({});
  EXPECT_TRUE(sawEffect);
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(frmGraphics.peek() == nullptr || !frmGraphics.peek()->Loaded());
}

// Info opens the About window over the result window; the signature and a key close both the
// effect and the About window, and the result window takes the keyboard again.
TEST_F(AboutWindowTest, InfoOpensItModallyAndTheResultWindowIsActiveAgainAfterIt) {
  frmFine->Show(vbModeless);
  settle();
  int step = 0;
  hl::onIdle([&](int) {
    AboutWindow* about = frmAbout.peek();
    GraphicsWindow* effect = frmGraphics.peek();
    if (step == 0 && about && about->Visible()) {
      step = 1;
      EXPECT_FALSE(IsWindowEnabled(frmFine->hWnd())) << "the result window waits below";
      EXPECT_EQ(about->lblVersione.Caption(), frmFine->Caption());
      POINT signature = centreOf(about->Label4);
      hl::click(signature.x, signature.y);
    } else if (step == 1 && effect && effect->Visible()) {
      step = 2;
      hl::pressKey(VK_ESCAPE);
    }
  });
  hl::altKey('I');
  settle();
  hl::onIdle({});
  EXPECT_EQ(step, 2);
  EXPECT_FALSE(frmAbout.peek()->Loaded());
  EXPECT_TRUE(handed().empty()) << "the Escape that ended the effect opened nothing";
  EXPECT_EQ(GetActiveWindow(), frmFine->hWnd());
  hl::altKey('O');
  settle();
  EXPECT_FALSE(frmFine.peek()->Loaded());
}

}  // namespace
