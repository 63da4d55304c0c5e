// Loop devices standing in for USB sticks and disks: opening and flushing them as volumes. They
// need root and a free loop device; every test attaches its own over an image in a private folder
// and detaches it, whatever happens.
#include <gtest/gtest.h>
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Unprivileged.h"
#include "corvane/kernel_hooks.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr uintmax_t kMiB = 1 << 20;

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string firstLineOf(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return "";
  std::array<char, 256> line{};
  std::string text = std::fgets(line.data(), line.size(), pipe) ? line.data() : "";
  pclose(pipe);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string contentsOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BlockDevices : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "attaching loop devices and mounting needs root";
    char pattern[] = "/tmp/corvane-blockdev-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    // The user nobody must reach the table in the tests that run as nobody.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::create_directories(root_ / "drives");
    setenv("CORVANE_DRIVES", (root_ / "drives").c_str(), 1);
    corvane::resetVolumeCallCounts();
  }
  void TearDown() override {
    unsetenv("CORVANE_DRIVES");
    for (auto mount = mounts_.rbegin(); mount != mounts_.rend(); ++mount) run("umount " + mount->string());
    // The read-only flag belongs to the device node and would outlive the attachment.
    for (const std::string& device : devices_) run("blockdev --setrw " + device + "; losetup -d " + device);
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }

  // A sparse image of the size, attached to a free loop device (with its partitions scanned);
  // empty, with the test skipped, where the machine has no loop device to give.
  std::string attach(const std::string& name, uintmax_t size, bool partitions = false) {
    fs::path image = root_ / name;
    { std::ofstream create(image, std::ios::binary); }
    fs::resize_file(image, size);
    std::string device =
        firstLineOf(std::string("losetup -f --show ") + (partitions ? "-P " : "") + image.string());
    struct stat info {};
    if (device.empty() || stat(device.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
      if (!device.empty()) run("losetup -d " + device);
      return "";
    }
    devices_.push_back(device);
    return device;
  }

  fs::path mount(const std::string& device, const std::string& name) {
    fs::path folder = root_ / name;
    fs::create_directories(folder);
    if (run("mkfs.ext4 -q -F " + device) != 0) return {};
    // A long commit interval keeps written data in memory until someone flushes it.
    if (run("mount -o commit=600 " + device + " " + folder.string()) != 0) return {};
    mounts_.push_back(folder);
    return folder;
  }

  void link(const std::string& name, const fs::path& to) { fs::create_symlink(to, root_ / "drives" / name); }

  HANDLE open(const char* path, DWORD access = kReadWrite) {
    SetLastError(12345);
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_FLAG_NO_BUFFERING, nullptr);
    error_ = GetLastError();
    return handle;
  }

  // Writes a file with a fresh marker into the mounted folder and makes sure that the marker is
  // still only in memory, not in the image. The kernel may write it back on its own when the
  // machine is short of memory; a new marker is then tried, and after three the test fails.
  std::string unflushedMarker(const fs::path& folder, const fs::path& image) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      std::string marker = "corvane-marker-" + std::to_string(std::random_device{}()) + "-" + std::to_string(attempt);
      std::ofstream(folder / (marker + ".txt")) << marker;
      if (contentsOf(image).find(marker) == std::string::npos) return marker;
    }
    ADD_FAILURE() << "the kernel wrote every marker back before the flush (vm.dirty_expire_centisecs is "
                  << contentsOf("/proc/sys/vm/dirty_expire_centisecs") << ")";
    return "";
  }

  fs::path root_;
  std::vector<std::string> devices_;
  std::vector<fs::path> mounts_;
  DWORD error_ = 0;
};

#define ATTACH_OR_SKIP(variable, ...)                                           \
  std::string variable = attach(__VA_ARGS__);                                   \
  if (variable.empty()) GTEST_SKIP() << "no loop device can be attached here"

TEST_F(BlockDevices, ADeviceOpensDirectAndFlushesFiveTimes) {
  ATTACH_OR_SKIP(device, "disk.img", kMiB);
  link("k:", device);
  HANDLE volume = open("\\\\.\\K:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE) << error_;
  EXPECT_EQ(error_, 0u);
  SetLastError(777);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(FlushFileBuffers(volume));
  EXPECT_EQ(GetFileSize(volume, nullptr), kMiB);
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(GetLastError(), 777u) << "successful flushes and close leave the value alone";
}

// The stick's data must reach it whether the table names the whole disk or its partition. Reading
// the image file reads what the loop device wrote: its page cache is the device's medium.
TEST_F(BlockDevices, FlushingADiskOrItsPartitionWritesOutTheFileSystemMountedFromIt) {
  fs::path image = root_ / "stick.img";
  {
    // One Linux partition from sector 2048 to the end, in a hand-written partition table.
    std::ofstream create(image, std::ios::binary);
    std::array<unsigned char, 512> mbr{};
    unsigned char entry[16] = {0, 0, 0, 0, 0x83, 0, 0, 0, 0x00, 0x08, 0, 0, 0x00, 0xB8, 0x00, 0};
    std::copy(std::begin(entry), std::end(entry), mbr.begin() + 446);
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    create.write(reinterpret_cast<const char*>(mbr.data()), mbr.size());
  }
  fs::resize_file(image, 24 * kMiB);
  std::string disk = firstLineOf("losetup -f --show -P " + image.string());
  if (disk.empty()) GTEST_SKIP() << "no loop device can be attached here";
  devices_.push_back(disk);
  std::string partition = disk + "p1";
  struct stat info {};
  for (int wait = 0; wait < 50 && stat(partition.c_str(), &info) != 0; ++wait) usleep(20000);
  if (!S_ISBLK(info.st_mode)) GTEST_SKIP() << "the kernel found no partition on " << disk << " (no partition support?)";
  fs::path folder = mount(partition, "mnt");
  ASSERT_FALSE(folder.empty()) << "mkfs.ext4 or mount failed on " << partition;
  link("d:", disk);
  link("p:", partition);

  for (const char* path : {"\\\\.\\D:", "\\\\.\\P:"}) {
    std::string marker = unflushedMarker(folder, image);
    ASSERT_FALSE(marker.empty());
    HANDLE volume = open(path);
    ASSERT_NE(volume, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(FlushFileBuffers(volume)) << path;
    EXPECT_TRUE(CloseHandle(volume));
    EXPECT_NE(contentsOf(image).find(marker), std::string::npos) << path << ": the marker did not reach the image";
  }
}

TEST_F(BlockDevices, AReadOnlyDeviceIsWriteProtectedForWritersOnly) {
  ATTACH_OR_SKIP(device, "ro.img", kMiB);
  ASSERT_EQ(run("blockdev --setro " + device), 0);
  link("r:", device);
  EXPECT_EQ(open("\\\\.\\R:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_WRITE_PROTECT));
  HANDLE reader = open("\\\\.\\R:", GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE) << "reading a write-protected medium is fine";
  EXPECT_TRUE(CloseHandle(reader));
}

TEST_F(BlockDevices, ADeviceTheUserMayNotOpenIsAccessDenied) {
  ATTACH_OR_SKIP(device, "private.img", kMiB);
  // A node of its own, open to root alone, leaves the system's node as it was.
  struct stat info {};
  ASSERT_EQ(stat(device.c_str(), &info), 0);
  fs::path node = root_ / "private-node";
  ASSERT_EQ(mknod(node.c_str(), S_IFBLK | 0600, info.st_rdev), 0);
  link("u:", node);
  long code = testing_support::asUnprivileged(
      [this] { return open("\\\\.\\U:") == INVALID_HANDLE_VALUE ? error_ : ERROR_SUCCESS; });
  EXPECT_EQ(code, ERROR_ACCESS_DENIED);
}

// An unattached loop device is a drive with no medium in it.
TEST_F(BlockDevices, ADeviceWithoutAMediumIsNotReady) {
  ATTACH_OR_SKIP(device, "gone.img", kMiB);
  ASSERT_EQ(run("losetup -d " + device), 0);
  devices_.clear();
  link("n:", device);
  HANDLE volume = open("\\\\.\\N:");
  if (volume != INVALID_HANDLE_VALUE) {
    CloseHandle(volume);
    if (!firstLineOf("losetup " + device).empty()) GTEST_SKIP() << "another process attached " << device << " meanwhile";
  }
  EXPECT_EQ(volume, INVALID_HANDLE_VALUE);
  EXPECT_EQ(error_, static_cast<DWORD>(ERROR_NOT_READY));
}

// A medium pulled out under an open handle fails every flush; a detached loop device lives on
// until its last handle closes, so its flushes may still succeed; neither hangs.
TEST_F(BlockDevices, ADeviceThatGoesAwayUnderAnOpenHandleEndsCleanly) {
  ATTACH_OR_SKIP(device, "pulled.img", kMiB);
  link("g:", device);
  HANDLE volume = open("\\\\.\\G:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  fs::resize_file(root_ / "pulled.img", 0);
  ASSERT_EQ(run("losetup -c " + device), 0);
  for (int i = 0; i < 5; ++i) {
    SetLastError(0);
    EXPECT_FALSE(FlushFileBuffers(volume));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
  }
  EXPECT_TRUE(CloseHandle(volume));

  ATTACH_OR_SKIP(detached, "detached.img", kMiB);
  link("h:", detached);
  volume = open("\\\\.\\H:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE) << error_;
  ASSERT_EQ(run("losetup -d " + detached), 0);
  for (int i = 0; i < 5; ++i) {
    SetLastError(0);
    if (!FlushFileBuffers(volume)) {
      EXPECT_NE(GetLastError(), 0u) << "a failed flush names its reason";
    }
  }
  EXPECT_TRUE(CloseHandle(volume));
  EXPECT_EQ(firstLineOf("losetup -j " + (root_ / "detached.img").string()), "")
      << "the device is gone once its last handle closed";
  devices_.pop_back();
}

// A file system whose mount point another mount covers cannot be reached through the path, which
// leads to the upper one; flushing the device must say so rather than flush the wrong one.
TEST_F(BlockDevices, AFileSystemHiddenUnderAnotherMountIsReportedBusy) {
  ATTACH_OR_SKIP(device, "hidden.img", 16 * kMiB);
  fs::path folder = mount(device, "mnt");
  ASSERT_FALSE(folder.empty()) << "mkfs.ext4 or mount failed on " << device;
  link("x:", device);
  HANDLE volume = open("\\\\.\\X:");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE) << error_;
  EXPECT_TRUE(FlushFileBuffers(volume));
  ASSERT_EQ(run("mount -t tmpfs -o size=1m corvane-test " + folder.string()), 0);
  mounts_.push_back(folder);
  SetLastError(0);
  EXPECT_FALSE(FlushFileBuffers(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(volume));
}

}  // namespace
