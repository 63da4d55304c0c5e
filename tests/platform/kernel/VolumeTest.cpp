// Volumes through the drive table: a folder of links named after drive letters.
#include <gtest/gtest.h>
#include <windows.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "corvane/kernel_hooks.h"
#include "kernel/CommandLine.h"
#include "kernel/DriveTable.h"
#include "kernel/Volumes.h"
#include "Unprivileged.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
// A folder that is certainly the top of a mounted file system, for tests that cannot mount one.
const fs::path kRootFileSystem = "/";

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
  link("e:", kRootFileSystem);
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
  link("e:", kRootFileSystem);
  for (const char* path : {"\\\\.\\e:", "\\\\.\\E:", "//./e:", "\\\\./E:"}) {
    HANDLE volume = open(path);
    ASSERT_NE(volume, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(CloseHandle(volume));
  }
  // The table's names are lower case only: an upper-case link is not an entry.
  fs::remove(drives_ / "e:");
  link("E:", kRootFileSystem);
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
  link("e:", kRootFileSystem);
  char cwdBuffer[4096];
  ASSERT_NE(getcwd(cwdBuffer, sizeof cwdBuffer), nullptr);
  // Run from inside the temporary folder so that anything created by mistake would show.
  fs::path work = root_ / "cwd";
  fs::create_directories(work);
  ASSERT_EQ(chdir(work.c_str()), 0);
  auto before = listing(root_);
  auto targetBefore = listing(kRootFileSystem);
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
  EXPECT_EQ(listing(kRootFileSystem), targetBefore);
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
  ASSERT_EQ(mkfifo((root_ / "fifo").c_str(), 0600), 0);
  link("j:", root_ / "fifo");                         // a pipe: opening it would wait for a writer

  struct Case {
    const char* path;
    DWORD code;
  } cases[] = {{"\\\\.\\d:", ERROR_FILE_NOT_FOUND},
               {"\\\\.\\f:", ERROR_INVALID_DRIVE},
               {"\\\\.\\g:", ERROR_CANT_RESOLVE_FILENAME},
               {"\\\\.\\i:", ERROR_INVALID_DRIVE},
               {"\\\\.\\j:", ERROR_INVALID_DRIVE}};
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
  fs::create_symlink(kRootFileSystem, root_ / "config/corvane/drives/q:");
  setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  HANDLE volume = open("\\\\.\\Q:");
  if (oldConfig) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(volume));
}

TEST_F(Volumes, FlushWithoutWriteAccessIsDenied) {
  link("e:", kRootFileSystem);
  HANDLE volume = CreateFileA("\\\\.\\e:", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FlushFileBuffers(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 1u) << "a refused flush still counts as a call";
}

// A folder holds a volume only while a file system is mounted on it: flushing the file system
// it merely lies on would report someone else's success.
TEST_F(Volumes, AFolderWithNothingMountedOnItIsNotReady) {
  link("e:", target_);
  link("f:", root_);
  for (const char* path : {"\\\\.\\E:", "\\\\.\\F:"}) {
    EXPECT_EQ(open(path), INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(error_, static_cast<DWORD>(ERROR_NOT_READY)) << path;
  }
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 0u);
  if (geteuid() != 0) GTEST_SKIP() << "mounting a file system on the folder needs root";
  ASSERT_EQ(std::system(("mount -t tmpfs -o size=1m corvane-test " + target_.string()).c_str()), 0);
  HANDLE volume = open("\\\\.\\E:");
  EXPECT_NE(volume, INVALID_HANDLE_VALUE) << "a mounted folder is a volume";
  EXPECT_TRUE(FlushFileBuffers(volume));
  EXPECT_TRUE(CloseHandle(volume));
  ASSERT_EQ(std::system(("umount " + target_.string()).c_str()), 0);
  EXPECT_EQ(open("\\\\.\\E:"), INVALID_HANDLE_VALUE) << "unmounted, the folder is empty again";
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_NOT_READY));
}

// A table the user may not read might map any letter anywhere: no letter falls back to a default.
TEST_F(Volumes, AnUnreadableTableDeniesEveryLetter) {
  link("e:", kRootFileSystem);
  fs::permissions(root_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::permissions(drives_, fs::perms::none);
  for (const char* path : {"\\\\.\\C:", "\\\\.\\E:", "\\\\.\\Q:"}) {
    long code = testing_support::asUnprivileged([this, path] {
      return open(path) == INVALID_HANDLE_VALUE ? error_ : ERROR_SUCCESS;
    });
    EXPECT_EQ(code, ERROR_ACCESS_DENIED) << path;
  }
  fs::permissions(drives_, fs::perms::owner_all);
}

// Anyone who may change the table may make a letter name any device the user can open.
TEST_F(Volumes, ATableFolderOthersCouldChangeDeniesEveryLetterAndSaysWhy) {
  link("e:", kRootFileSystem);
  fs::permissions(drives_, fs::perms::all);  // 0777
  for (const char* path : {"\\\\.\\C:", "\\\\.\\E:", "\\\\.\\Q:"}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(open(path), INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << path;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(": drive table " + drives_.string() + " is writable by others\n"), std::string::npos) << said;
  }
  fs::permissions(drives_, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_read |
                               fs::perms::others_exec);  // 0775
  EXPECT_EQ(open("\\\\.\\E:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "a group may not change it either";

  // A link to the table is judged by the folder it names, never by the link's own mode.
  const fs::path linked = root_ / "linked-table";
  fs::create_symlink(drives_, linked);
  setenv("CORVANE_DRIVES", linked.c_str(), 1);
  EXPECT_EQ(open("\\\\.\\E:"), INVALID_HANDLE_VALUE);
  fs::permissions(drives_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);  // 0755
  HANDLE volume = open("\\\\.\\E:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE) << "the user's own folder of mode 0755 is trusted";
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(corvane::volumeCallCounts().flushes, 0u);
}

TEST_F(Volumes, ATableFolderOfAnotherUserDeniesEveryLetter) {
  if (geteuid() != 0) GTEST_SKIP() << "giving the folder to another user needs root";
  link("e:", kRootFileSystem);
  ASSERT_EQ(chown(drives_.c_str(), testing_support::kNobody, testing_support::kNobody), 0);
  for (const char* path : {"\\\\.\\C:", "\\\\.\\E:"}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(open(path), INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(error_, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << path;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("belongs to another user"), std::string::npos);
  }
  // Root's own folder is trusted by every user, as /etc is.
  ASSERT_EQ(chown(drives_.c_str(), 0, 0), 0);
  fs::permissions(root_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  long code = testing_support::asUnprivileged([this] {
    HANDLE volume = open("\\\\.\\E:");
    return volume == INVALID_HANDLE_VALUE ? error_ : (CloseHandle(volume), ERROR_SUCCESS);
  });
  EXPECT_EQ(code, ERROR_SUCCESS);
}

TEST_F(Volumes, TheTrustRuleLooksAtOwnerAndWriteBitsOnly) {
  std::string why;
  EXPECT_TRUE(kernel::trustedTableFolder(1000, S_IFDIR | 0755, 1000, why));
  EXPECT_TRUE(kernel::trustedTableFolder(0, S_IFDIR | 0700, 1000, why));
  EXPECT_TRUE(kernel::trustedTableFolder(1000, S_IFDIR | 0555, 1000, why));
  EXPECT_FALSE(kernel::trustedTableFolder(1001, S_IFDIR | 0700, 1000, why));
  EXPECT_EQ(why, "belongs to another user (uid 1001)");
  EXPECT_FALSE(kernel::trustedTableFolder(1000, S_IFDIR | 0757, 1000, why));
  EXPECT_EQ(why, "is writable by others");
  EXPECT_FALSE(kernel::trustedTableFolder(1000, S_IFDIR | 01777, 1000, why)) << "sticky changes nothing";
  EXPECT_FALSE(kernel::trustedTableFolder(0, S_IFDIR | 0775, 0, why));
  EXPECT_EQ(why, "is writable by its group");
}

// The XDG rules void a relative XDG_CONFIG_HOME; CORVANE_DRIVES is taken as it stands.
TEST_F(Volumes, ARelativeXdgConfigHomeIsIgnored) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  const std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_CONFIG_HOME", "rel", 1);
  EXPECT_EQ(kernel::driveTableFolder(), drives_.string());
  unsetenv("CORVANE_DRIVES");
  EXPECT_EQ(kernel::driveTableFolder(), "/home/someone/.config/corvane/drives");
  setenv("XDG_CONFIG_HOME", "./rel", 1);
  EXPECT_EQ(kernel::driveTableFolder(), "/home/someone/.config/corvane/drives");
  setenv("XDG_CONFIG_HOME", "/etc/xdg-user", 1);
  EXPECT_EQ(kernel::driveTableFolder(), "/etc/xdg-user/corvane/drives");
  setenv("CORVANE_DRIVES", "relative/table", 1);
  EXPECT_EQ(kernel::driveTableFolder(), "relative/table");
  if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", savedHome.c_str(), 1);
}

// The program's argument, when it is a path, reaches the open as `\\.\` and its first two
// characters; the platform takes the whole argument and applies the rules of a table entry.
class PathArgument : public Volumes {
 protected:
  void TearDown() override {
    char name[] = "test";
    char* argv[] = {name};
    kernel::recordCommandLine(1, argv);
    Volumes::TearDown();
  }
  DWORD openAsArgument(const std::string& argument) {
    std::string name = "corvane", copy = argument;
    char* argv[] = {name.data(), copy.data()};
    kernel::recordCommandLine(2, argv);
    const std::string devicePath = "\\\\.\\" + argument.substr(0, 2);
    HANDLE volume = open(devicePath.c_str());
    if (volume == INVALID_HANDLE_VALUE) return error_;
    EXPECT_TRUE(FlushFileBuffers(volume)) << argument;
    EXPECT_TRUE(CloseHandle(volume)) << argument;
    return ERROR_SUCCESS;
  }
};

TEST_F(PathArgument, FollowsTheRulesOfATableEntry) {
  ASSERT_EQ(mkfifo((root_ / "fifo").c_str(), 0600), 0);
  std::FILE* file = std::fopen((root_ / "plain").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  fs::create_symlink(root_ / "loop-b", root_ / "loop-a");
  fs::create_symlink(root_ / "loop-a", root_ / "loop-b");
  fs::create_symlink("/", root_ / "to-root");
  fs::create_directories(root_ / "with space" / "\xC3\xA9t\xC3\xA9");
  struct Case {
    std::string argument;
    DWORD code;
  } cases[] = {{"/", ERROR_SUCCESS},
               {"//", ERROR_SUCCESS},
               {"/./", ERROR_SUCCESS},
               {(root_ / "to-root").string() + "/", ERROR_SUCCESS},
               {target_.string(), ERROR_NOT_READY},
               {target_.string() + "/", ERROR_NOT_READY},
               {(root_ / "with space" / "\xC3\xA9t\xC3\xA9").string(), ERROR_NOT_READY},
               {(root_ / "nonexistent").string(), ERROR_FILE_NOT_FOUND},
               {"/nonexistent/deeper", ERROR_FILE_NOT_FOUND},
               {(root_ / "plain").string(), ERROR_INVALID_DRIVE},
               {(root_ / "plain").string() + "/", ERROR_PATH_NOT_FOUND},
               {(root_ / "fifo").string(), ERROR_INVALID_DRIVE},
               {"/dev/null", ERROR_INVALID_DRIVE},
               {(root_ / "loop-a").string(), ERROR_CANT_RESOLVE_FILENAME},
               {"/" + std::string(5000, 'x'), ERROR_FILENAME_EXCED_RANGE}};
  const std::set<std::string> before = listing(root_);
  for (const Case& c : cases) EXPECT_EQ(openAsArgument(c.argument), c.code) << c.argument.substr(0, 80);
  EXPECT_EQ(listing(root_), before);
  EXPECT_EQ(fs::file_size(root_ / "plain"), 0u);
}

TEST_F(PathArgument, IsReachedOnlyThroughTheArgumentItself) {
  char name[] = "corvane", argument[] = "/";
  char* argv[] = {name, argument};
  kernel::recordCommandLine(2, argv);
  EXPECT_EQ(open("\\\\.\\/x"), INVALID_HANDLE_VALUE) << "not the start of the argument";
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  char relative[] = "media/usb";
  argv[1] = relative;
  kernel::recordCommandLine(2, argv);
  EXPECT_EQ(openAsArgument("me"), ERROR_FILE_NOT_FOUND) << "a relative path is two characters, as ever";
  EXPECT_EQ(openAsArgument("./x"), ERROR_FILE_NOT_FOUND);
}

// A stick's file systems may sit on its partitions or on what is stacked on them; sysfs links
// them as folders and links, which a made-up tree stands in for here.
TEST_F(Volumes, TheDevicesOnADiskAreItsPartitionsAndWhatIsStackedOnThem) {
  fs::path sys = root_ / "sys";
  auto device = [&](const fs::path& folder, const std::string& number) {
    fs::create_directories(folder);
    std::ofstream(folder / "dev") << number << "\n";
  };
  device(sys / "8:16", "8:16");
  device(sys / "8:16/sdb1", "8:17");
  std::ofstream(sys / "8:16/sdb1/partition") << "1\n";
  device(sys / "8:16/sdb2", "8:18");
  std::ofstream(sys / "8:16/sdb2/partition") << "2\n";
  device(sys / "8:16/queue", "9:99");  // a folder with a number that is no partition
  device(sys / "virtual/dm-0", "253:0");
  device(sys / "virtual/md0", "9:0");
  fs::create_directories(sys / "8:17/holders");
  fs::create_symlink(sys / "virtual/dm-0", sys / "8:17/holders/dm-0");
  fs::create_directories(sys / "253:0/holders");
  fs::create_symlink(sys / "virtual/md0", sys / "253:0/holders/md0");
  fs::create_directories(sys / "9:0/holders");
  fs::create_symlink(sys / "virtual/dm-0", sys / "9:0/holders/dm-0");  // a cycle ends the walk

  using Set = std::set<dev_t>;
  EXPECT_EQ(kernel::devicesStackedOn(makedev(8, 16), sys.string()),
            (Set{makedev(8, 16), makedev(8, 17), makedev(8, 18), makedev(253, 0), makedev(9, 0)}));
  EXPECT_EQ(kernel::devicesStackedOn(makedev(8, 17), sys.string()),
            (Set{makedev(8, 17), makedev(253, 0), makedev(9, 0)}));
  EXPECT_EQ(kernel::devicesStackedOn(makedev(7, 5), sys.string()), Set{makedev(7, 5)});
}

}  // namespace
