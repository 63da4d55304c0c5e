// A file system counts as mounted from a device when the mount table gives it the device's number
// or names as its source a device node with that number (btrfs numbers its mounts anonymously);
// one syncfs per file system is enough however often it is mounted; a mount point hidden under a
// later mount cannot be reached through its path and counts as busy; a device whose size query
// fails in a way that says nothing about the medium is taken to have one.
#include "kernel/Volumes.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "kernel/Errno.h"
#include "kernel/MountTable.h"

namespace fs = std::filesystem;

namespace kernel {

namespace {

// Guards the walk through sysfs against a listing that never ends.
constexpr size_t kMostStackedDevices = 4096;

bool readOnly(int fd) {
  int flag = 0;
  return ioctl(fd, BLKROGET, &flag) == 0 && flag != 0;
}

int mediumError(int fd) {
  uint64_t size = 0;
  if (ioctl(fd, BLKGETSIZE64, &size) != 0)
    return errno == ENOMEDIUM || errno == ENXIO || errno == ENODEV ? errno : 0;
  return size == 0 ? ENOMEDIUM : 0;
}

std::vector<fs::path> entriesOf(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  return entries;
}

bool readDeviceNumber(const fs::path& file, dev_t& device) {
  std::ifstream in(file);
  unsigned major = 0, minor = 0;
  char colon = 0;
  if (!(in >> major >> colon >> minor) || colon != ':') return false;
  device = makedev(major, minor);
  return true;
}

bool mountedFrom(const Mount& mount, const std::set<dev_t>& devices) {
  if (devices.count(mount.device)) return true;
  if (mount.source.rfind("/dev/", 0) != 0) return false;
  struct stat source {};
  return stat(mount.source.c_str(), &source) == 0 && S_ISBLK(source.st_mode) && devices.count(source.st_rdev);
}

// Syncs the file system of one mount: 0, or errno; `reached` says whether syncfs ran at all.
int syncMount(const Mount& mount, bool& reached) {
  reached = false;
  int fd = open(mount.mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct statx where {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &where) == 0 && (where.stx_mask & STATX_MNT_ID) &&
      where.stx_mnt_id != static_cast<uint64_t>(mount.id)) {
    close(fd);
    return EBUSY;
  }
  reached = true;
  int result = syncfs(fd) == 0 ? 0 : errno;
  close(fd);
  return result;
}

}  // namespace

std::set<dev_t> devicesStackedOn(dev_t device, const std::string& blockFolder) {
  std::set<dev_t> found{device};
  std::vector<dev_t> pending{device};
  while (!pending.empty() && found.size() < kMostStackedDevices) {
    dev_t next = pending.back();
    pending.pop_back();
    fs::path folder = blockFolder + "/" + std::to_string(major(next)) + ":" + std::to_string(minor(next));
    std::vector<fs::path> related = entriesOf(folder / "holders");
    std::error_code ignored;
    for (const fs::path& entry : entriesOf(folder))
      if (fs::exists(entry / "partition", ignored)) related.push_back(entry);
    for (const fs::path& entry : related) {
      dev_t number = 0;
      if (readDeviceNumber(entry / "dev", number) && found.insert(number).second) pending.push_back(number);
    }
  }
  return found;
}

DWORD blockDeviceOpenError(int fd, bool write) {
  if (int error = mediumError(fd)) return win32FromErrno(error);
  if (write && readOnly(fd)) return ERROR_WRITE_PROTECT;
  return ERROR_SUCCESS;
}

DWORD blockDeviceRefusal(const char* path, int error) {
  if (error == EACCES || error == EPERM) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      bool writeProtected = readOnly(fd);
      close(fd);
      if (writeProtected) return ERROR_WRITE_PROTECT;
    }
  }
  return win32FromErrno(error);
}

bool isMountRoot(int fd) {
  struct statx self {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &self) == 0 &&
      (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
    return (self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  // Older kernels: the top of a file system sits on another device than its parent, or is "/".
  struct stat here {}, parent {};
  if (fstat(fd, &here) != 0 || fstatat(fd, "..", &parent, 0) != 0) return false;
  return here.st_dev != parent.st_dev || here.st_ino == parent.st_ino;
}

int flushBlockDevice(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return errno;
  // A medium that went away since the open has nothing left to write to.
  if (int error = mediumError(fd)) return error;
  std::set<dev_t> devices = devicesStackedOn(info.st_rdev);
  int failure = 0;
  std::set<dev_t> done;
  std::map<dev_t, int> unreached;  // file systems no mount point has led to yet, with the reason
  for (const Mount& mount : readMountTable()) {
    if (done.count(mount.device) || !mountedFrom(mount, devices)) continue;
    bool reached = false;
    int error = syncMount(mount, reached);
    if (reached) {
      done.insert(mount.device);
      unreached.erase(mount.device);
      if (error && !failure) failure = error;
    } else {
      unreached.emplace(mount.device, error);
    }
  }
  if (!failure && !unreached.empty()) failure = unreached.begin()->second;
  if (fsync(fd) != 0 && !failure) failure = errno;
  return failure;
}

}  // namespace kernel
