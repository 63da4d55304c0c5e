// ShellExecuteA hands documents to xdg-open; a fake xdg-open first on PATH records what it got,
// and the real one runs in a private desktop set up with or without a handler for text.
#include <gtest/gtest.h>
#include <windows.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "PrivateDesktop.h"

namespace fs = std::filesystem;

namespace {

class Shell : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvane-shell-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "bin");
    log_ = root_ / "log";
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    setenv("PATH", ((root_ / "bin").string() + ":" + savedPath_).c_str(), 1);
    setenv("FAKE_LOG", log_.c_str(), 1);
    installHandler("printf '%s\\0' \"$@\" > \"$FAKE_LOG\"\nexit \"${FAKE_EXIT:-0}\"\n");
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    unsetenv("FAKE_LOG");
    unsetenv("FAKE_EXIT");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  void installHandler(const std::string& body) {
    fs::path script = root_ / "bin" / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\n" << body;
    chmod(script.c_str(), 0755);
  }
  // The arguments the fake handler was started with, or nothing when it never ran.
  std::vector<std::string> recorded() {
    std::ifstream in(log_, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::string word;
    for (char c : raw) {
      if (c == '\0') args.push_back(word), word.clear();
      else word += c;
    }
    return args;
  }
  intptr_t open(const std::string& file, const char* verb = "Open", const char* directory = "C:\\") {
    return reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, verb, file.c_str(), "", directory, 1));
  }
  std::string touch(const std::string& name) {
    fs::path file = root_ / name;
    std::ofstream(file) << "text";
    return file.string();
  }

  fs::path root_, log_;
  std::string savedPath_;
};

TEST_F(Shell, OpensAnExistingDocumentWithItsUnixPath) {
  std::string file = touch("gpl.txt");
  std::string windowsStyle = root_.string() + "\\gpl.txt";
  EXPECT_EQ(open(windowsStyle), 42);
  EXPECT_EQ(recorded(), std::vector<std::string>{file});
  EXPECT_EQ(open(file, nullptr), 42) << "no verb means open";
  EXPECT_EQ(open(file, "open"), 42);
}

TEST_F(Shell, HostileNamesReachTheHandlerAsOneUntouchedArgument) {
  for (std::string name : {"it's \"quoted\".txt", "semi;colon.txt", "$(touch pwned).txt", "back`tick`.txt",
                           "two  spaces & more | pipe > out.txt"}) {
    std::string file = touch(name);
    std::error_code ignored;
    fs::remove(log_, ignored);
    EXPECT_EQ(open(file), 42) << name;
    EXPECT_EQ(recorded(), std::vector<std::string>{file}) << name;
  }
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_FALSE(fs::exists(root_ / "pwned"));
  EXPECT_FALSE(fs::exists(root_ / "out.txt"));
}

TEST_F(Shell, AddressesWithASchemeAreNotCheckedAsFiles) {
  EXPECT_EQ(open("http://www.example.org/a?b=c;d"), 42);
  EXPECT_EQ(recorded(), std::vector<std::string>{"http://www.example.org/a?b=c;d"});
  EXPECT_EQ(open("mailto:someone@example.org"), 42);
  EXPECT_EQ(recorded(), std::vector<std::string>{"mailto:someone@example.org"});
}

TEST_F(Shell, MissingDocumentsAndFoldersAreReportedWithoutRunningTheHandler) {
  EXPECT_EQ(open((root_ / "absent.txt").string()), SE_ERR_FNF);
  EXPECT_EQ(open((root_ / "nofolder" / "absent.txt").string()), SE_ERR_PNF);
  EXPECT_EQ(open(""), SE_ERR_FNF);
  EXPECT_TRUE(recorded().empty());
}

TEST_F(Shell, RelativeNamesUseTheDirectoryAndCannotPassAsOptions) {
  touch("-x.txt");
  EXPECT_EQ(open("-x.txt", "open", root_.c_str()), 42);
  EXPECT_EQ(recorded(), std::vector<std::string>{(root_ / "-x.txt").string()});
  std::string saved = fs::current_path().string();
  fs::current_path(root_);
  EXPECT_EQ(open("-x.txt", "open", nullptr), 42);
  EXPECT_EQ(recorded(), std::vector<std::string>{"./-x.txt"}) << "never an option of xdg-open";
  fs::current_path(saved);
}

TEST_F(Shell, OtherVerbsAndFailingOrMissingHandlersHaveNoAssociation) {
  std::string file = touch("doc.txt");
  EXPECT_EQ(open(file, "print"), SE_ERR_NOASSOC);
  EXPECT_EQ(open(file, "edit"), SE_ERR_NOASSOC);
  EXPECT_TRUE(recorded().empty());

  setenv("FAKE_EXIT", "3", 1);  // xdg-open: no tool for the type
  EXPECT_EQ(open(file), SE_ERR_NOASSOC);
  setenv("FAKE_EXIT", "4", 1);
  EXPECT_EQ(open(file), SE_ERR_NOASSOC);
  setenv("FAKE_EXIT", "2", 1);  // xdg-open: the file vanished meanwhile
  EXPECT_EQ(open(file), SE_ERR_FNF);
  unsetenv("FAKE_EXIT");

  fs::remove(root_ / "bin" / "xdg-open");
  setenv("PATH", (root_ / "bin").c_str(), 1);
  EXPECT_EQ(open(file), SE_ERR_NOASSOC);
  EXPECT_EQ(open("https://example.org"), SE_ERR_NOASSOC);
}

TEST_F(Shell, AHandlerThatKeepsRunningCountsAsStarted) {
  // The handler lets go of the test's output, so that nothing waits on it after the test ends.
  installHandler("printf '%s\\0' \"$@\" > \"$FAKE_LOG\"\nexec 2>/dev/null\nsleep 7\n");
  std::string file = touch("slow.txt");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(open(file), 42);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_GE(waited, std::chrono::seconds(4));
}

// The real xdg-open in a desktop of the test's own: no display, no session, no browser, no mailcap
// and no association unless the test writes one.
class RealXdgOpen : public Shell {
 protected:
  void SetUp() override {
    Shell::SetUp();
    ASSERT_TRUE(fs::exists("/usr/bin/xdg-open")) << "xdg-utils is missing (scripts/setup installs it)";
    UseEmptyDesktop(env_.emplace(), root_);
  }
  // The desktop goes before the fixture puts PATH back.
  void TearDown() override {
    env_.reset();
    Shell::TearDown();
  }
  // Text files open with a recorder: the association a desktop keeps in mimeapps.list.
  void associateTextWithRecorder() {
    fs::path recorder = root_ / "recorder";
    std::ofstream(recorder) << "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$FAKE_LOG\"\n";
    chmod(recorder.c_str(), 0755);
    std::ofstream(root_ / "data/applications/recorder.desktop")
        << "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" << recorder.string()
        << " %f\nMimeType=text/plain;\n";
    std::ofstream(root_ / "data/applications/mimeapps.list") << "[Default Applications]\ntext/plain=recorder.desktop\n";
    env_->set("DISPLAY", ":999");  // xdg-open looks at associations only on a desktop; nothing connects to it
  }

  std::optional<EnvironmentGuard> env_;
};

TEST_F(RealXdgOpen, NothingSetUpForTheTypeIsNoAssociation) {
  EXPECT_EQ(open(touch("licence.txt")), SE_ERR_NOASSOC);
  EXPECT_EQ(open("https://example.org/"), SE_ERR_NOASSOC);
}

TEST_F(RealXdgOpen, TheAssociatedProgramGetsTheDocumentWhateverItsName) {
  associateTextWithRecorder();
  fs::create_directories(root_ / "-dir x");
  for (std::string name : {"plain.txt", "-dir x/caf\xC3\xA9 $(touch pwned); x.txt", "-dir x/--help.txt"}) {
    std::string file = touch(name);
    std::error_code ignored;
    fs::remove(log_, ignored);
    EXPECT_GT(open(file), 32) << name;
    EXPECT_EQ(recorded(), std::vector<std::string>{file}) << name;
  }
  EXPECT_FALSE(fs::exists(root_ / "pwned"));
  EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
}

}  // namespace
