// Volumes through the drive table: a folder of links named after drive letters.
#include <gtest/gtest.h>
#include <windows.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "corvane/kernel_hooks.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

std::set<std::string> listing(const fs::path& folder) {
  std::set<std::string> names;
  for (auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

class Volumes : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvane-volumes-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    drives_ = root_ / "drives";
    target_ = root_ / "target";
    fs::create_directories(drives_);
    fs::create_directories(target_);
    setenv("CORVANE_DRIVES", drives_.c_str(), 1);
    corvane::resetVolumeCallCounts();
  }
  void TearDown() override {
    unsetenv("CORVANE_DRIVES");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void link(const std::string& name, const fs::path& to) { fs::create_symlink(to, drives_ / name); }

  // Opens as the flush sequence does and reports the handle and the last-error right after.
  HANDLE open(const char* path, DWORD disposition = OPEN_ALWAYS) {
    SetLastError(12345);
    HANDLE handle = CreateFileA(path, kReadWrite, FILE_SHARE_READ, nullptr, disposition, FILE_FLAG_NO_BUFFERING, nullptr);
    error_ = GetLastError();
    return handle;
  }

  fs::path root_, drives_, target_;
  DWORD error_ = 0;
};

TEST_F(Volumes, MountPointOpensFlushesFiveTimesAndCloses) {
  link("e:", target_);
  HANDLE volume = open("\\\\.\\E:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, 0u) << "a successful open sets the last-error to 0";
  SetLastError(777);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(FlushFileBuffers(volume));
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(GetLastError(), 777u) << "successful flushes and close leave the value alone";

  corvane::VolumeCallCounts counts = corvane::volumeCallCounts();
  EXPECT_EQ(counts.opens, 1u);
  EXPECT_EQ(counts.flushes, 5u);
  EXPECT_EQ(counts.closes, 1u);
  EXPECT_EQ(counts.lastOpenedPath, "\\\\.\\E:");

  EXPECT_FALSE(CloseHandle(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FlushFileBuffers(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Volumes, LetterCaseDoesNotMatterAndSlashesWork) {
  link("e:", target_);
  for (const char* path : {"\\\\.\\e:", "\\\\.\\E:", "//./e:", "\\\\./E:"}) {
    HANDLE volume = open(path);
    ASSERT_NE(volume, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(CloseHandle(volume));
  }
  // The table's names are lower case only: an upper-case link is not an entry.
  fs::remove(drives_ / "e:");
  link("E:", target_);
  EXPECT_EQ(open("\\\\.\\E:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Volumes, UnmappedLettersFailExceptDriveC) {
  EXPECT_EQ(open("\\\\.\\F:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(open("\\\\.\\z:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  HANDLE root = open("\\\\.\\C:");
  ASSERT_NE(root, INVALID_HANDLE_VALUE) << "c: without an entry is the root file system";
  EXPECT_EQ(error_, 0u);
  EXPECT_TRUE(FlushFileBuffers(root));
  EXPECT_TRUE(CloseHandle(root));

  // An entry for c: wins over the default.
  link("c:", root_ / "missing");
  EXPECT_EQ(open("\\\\.\\c:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Volumes, MalformedDevicePathsFailWithFileNotFoundAndCreateNothing) {
  link("e:", target_);
  char cwdBuffer[4096];
  ASSERT_NE(getcwd(cwdBuffer, sizeof cwdBuffer), nullptr);
  // Run from inside the temporary folder so that anything created by mistake would show.
  fs::path work = root_ / "cwd";
  fs::create_directories(work);
  ASSERT_EQ(chdir(work.c_str()), 0);
  auto before = listing(root_);
  auto targetBefore = listing(target_);
  auto tableBefore = listing(drives_);

  const char* paths[] = {"\\\\.\\", "\\\\.\\EE:", "\\\\.\\1:", "\\\\.\\E", "\\\\.\\E:\\x", "\\\\.\\ E:",
                         "\\\\.\\E:\\", "\\\\.\\:", "\\\\.\\\xC9:", "\\\\.\\PhysicalDrive0"};
  for (const char* path : paths) {
    for (DWORD disposition : {OPEN_ALWAYS, CREATE_ALWAYS, CREATE_NEW, OPEN_EXISTING, TRUNCATE_EXISTING}) {
      EXPECT_EQ(open(path, disposition), INVALID_HANDLE_VALUE) << path;
      EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << path;
    }
  }
  // A good device path with a creating disposition opens the volume and creates nothing either.
  for (DWORD disposition : {CREATE_ALWAYS, CREATE_NEW, TRUNCATE_EXISTING}) {
    HANDLE volume = open("\\\\.\\e:", disposition);
    ASSERT_NE(volume, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error_, 0u);
    CloseHandle(volume);
  }

  EXPECT_TRUE(fs::is_empty(work));
  EXPECT_EQ(listing(root_), before);
  EXPECT_EQ(listing(target_), targetBefore);
  EXPECT_EQ(listing(drives_), tableBefore);
  ASSERT_EQ(chdir(cwdBuffer), 0);
  EXPECT_EQ(corvane::volumeCallCounts().opens, 10u * 5u + 3u);
}

TEST_F(Volumes, BrokenTableEntriesFailWithTheirOwnCodes) {
  link("d:", root_ / "nowhere");                      // dangling
  link("f:", "/dev/null");                            // character device
  link("g:", drives_ / "h:");                         // a loop of links
  link("h:", drives_ / "g:");
  std::FILE* file = std::fopen((root_ / "plain").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  link("i:", root_ / "plain");                        // regular file

  struct Case {
    const char* path;
    DWORD code;
  } cases[] = {{"\\\\.\\d:", ERROR_FILE_NOT_FOUND},
               {"\\\\.\\f:", ERROR_INVALID_DRIVE},
               {"\\\\.\\g:", ERROR_CANT_RESOLVE_FILENAME},
               {"\\\\.\\i:", ERROR_INVALID_DRIVE}};
  for (const Case& c : cases) {
    EXPECT_EQ(open(c.path), INVALID_HANDLE_VALUE) << c.path;
    EXPECT_EQ(error_, c.code) << c.path;
  }
  EXPECT_EQ(fs::file_size(root_ / "plain"), 0u) << "the regular file was not touched";
}

TEST_F(Volumes, DriveTableFolderFallsBackToXdgConfigHome) {
  unsetenv("CORVANE_DRIVES");
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  std::string saved = oldConfig ? oldConfig : "";
  fs::create_directories(root_ / "config/corvane/drives");
  fs::create_symlink(target_, root_ / "config/corvane/drives/q:");
  setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  HANDLE volume = open("\\\\.\\Q:");
  if (oldConfig) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(volume));
}

TEST_F(Volumes, FlushWithoutWriteAccessIsDenied) {
  link("e:", target_);
  HANDLE volume = CreateFileA("\\\\.\\e:", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FlushFileBuffers(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 1u) << "a refused flush still counts as a call";
}

// A real block device: a loop device over a small file, where the machine lets us attach one.
TEST_F(Volumes, BlockDeviceOpensDirectAndFlushesWithFsync) {
  if (geteuid() != 0) GTEST_SKIP() << "attaching a loop device needs root";
  fs::path image = root_ / "disk.img";
  {
    std::FILE* file = std::fopen(image.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::vector<char> zeros(1 << 20, 0);
    std::fwrite(zeros.data(), 1, zeros.size(), file);
    std::fclose(file);
  }
  std::string command = "losetup -f --show " + image.string() + " 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char device[256] = {0};
  bool attached = std::fgets(device, sizeof device, pipe) != nullptr;
  int status = pclose(pipe);
  if (!attached || status != 0) GTEST_SKIP() << "no loop device can be attached here (losetup failed)";
  std::string loop = device;
  while (!loop.empty() && (loop.back() == '\n' || loop.back() == ' ')) loop.pop_back();

  struct stat info {};
  bool isBlock = stat(loop.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
  if (isBlock) {
    link("k:", loop);
    HANDLE volume = open("\\\\.\\K:");
    EXPECT_NE(volume, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error_, 0u);
    // Direct I/O needs sector-aligned buffers; the open's success shows O_DIRECT was accepted.
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(FlushFileBuffers(volume));
    EXPECT_EQ(GetFileSize(volume, nullptr), 1u << 20);
    EXPECT_TRUE(CloseHandle(volume));
  }
  std::system(("losetup -d " + loop + " 2>/dev/null").c_str());
  if (!isBlock) GTEST_SKIP() << loop << " is not a block device in this container";
}

}  // namespace
