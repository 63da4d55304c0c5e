// A file system in user space that serves one image file, for the end-to-end tests that put a
// loop device on it: every write and flush of the device reaches this program, which can fail
// them on command, as a worn-out or pulled medium does.
//
//   e2e_faultfs IMAGE MOUNTPOINT &   # serves IMAGE as MOUNTPOINT/disk until unmounted
//   echo COMMAND > MOUNTPOINT/control
//
// Commands: "ok" (everything passes), "fail-writes" (writes and flushes fail with EIO, reads
// pass), "fail-all" (reads fail as well), "delay MS" (each write waits MS milliseconds first,
// faults stay as they are), "vanish" (the program ends at once, as a medium pulled out: the
// kernel then fails every request). Reading the control file gives the state and the number of
// writes seen.
#define FUSE_USE_VERSION 31
#include <fuse.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

enum Fault { None, Writes, Everything };

int imageFd = -1;
std::atomic<int> fault{None};
std::atomic<int> delayMs{0};
std::atomic<long> writes{0};

constexpr char kDisk[] = "/disk";
constexpr char kControl[] = "/control";

std::string stateText() {
  const char* names[] = {"ok", "fail-writes", "fail-all"};
  return std::string(names[fault.load()]) + " delay " + std::to_string(delayMs.load()) + " writes " +
         std::to_string(writes.load()) + "\n";
}

int getattr(const char* path, struct stat* st, fuse_file_info*) {
  std::memset(st, 0, sizeof *st);
  if (std::strcmp(path, "/") == 0) {
    st->st_mode = S_IFDIR | 0755;
    st->st_nlink = 2;
    return 0;
  }
  if (std::strcmp(path, kDisk) == 0) {
    struct stat image {};
    if (fstat(imageFd, &image) != 0) return -errno;
    st->st_mode = S_IFREG | 0600;
    st->st_nlink = 1;
    st->st_size = image.st_size;
    return 0;
  }
  if (std::strcmp(path, kControl) == 0) {
    st->st_mode = S_IFREG | 0600;
    st->st_nlink = 1;
    st->st_size = 4096;
    return 0;
  }
  return -ENOENT;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags) {
  if (std::strcmp(path, "/") != 0) return -ENOENT;
  for (const char* name : {".", "..", kDisk + 1, kControl + 1}) fill(buffer, name, nullptr, 0, FUSE_FILL_DIR_PLUS);
  return 0;
}

int open(const char* path, fuse_file_info* fi) {
  if (std::strcmp(path, kDisk) != 0 && std::strcmp(path, kControl) != 0) return -ENOENT;
  // The kernel's page cache must not hide a request from this program.
  fi->direct_io = 1;
  return 0;
}

int read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info*) {
  if (std::strcmp(path, kControl) == 0) {
    const std::string text = stateText();
    if (static_cast<size_t>(offset) >= text.size()) return 0;
    const size_t n = std::min(size, text.size() - static_cast<size_t>(offset));
    std::memcpy(buffer, text.data() + offset, n);
    return static_cast<int>(n);
  }
  if (fault == Everything) return -EIO;
  ssize_t got = pread(imageFd, buffer, size, offset);
  return got < 0 ? -errno : static_cast<int>(got);
}

int command(const std::string& text) {
  if (text == "ok") fault = None;
  else if (text == "fail-writes") fault = Writes;
  else if (text == "fail-all") fault = Everything;
  else if (text.rfind("delay ", 0) == 0) delayMs = std::atoi(text.c_str() + 6);
  else if (text == "vanish") _exit(0);
  else return -EINVAL;
  return 0;
}

int write(const char* path, const char* buffer, size_t size, off_t offset, fuse_file_info*) {
  if (std::strcmp(path, kControl) == 0) {
    std::string text(buffer, size);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    const int result = command(text);
    return result < 0 ? result : static_cast<int>(size);
  }
  ++writes;
  if (int ms = delayMs.load()) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  if (fault != None) return -EIO;
  ssize_t done = pwrite(imageFd, buffer, size, offset);
  return done < 0 ? -errno : static_cast<int>(done);
}

int fsync(const char* path, int, fuse_file_info*) {
  if (std::strcmp(path, kDisk) != 0) return 0;
  if (fault != None) return -EIO;
  return fdatasync(imageFd) == 0 ? 0 : -errno;
}

int truncate(const char* path, off_t, fuse_file_info*) {
  return std::strcmp(path, kControl) == 0 ? 0 : -EPERM;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IMAGE MOUNTPOINT\n", argv[0]);
    return 2;
  }
  imageFd = ::open(argv[1], O_RDWR | O_CLOEXEC);
  if (imageFd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  fuse_operations operations{};
  operations.getattr = getattr;
  operations.readdir = readdir;
  operations.open = open;
  operations.read = read;
  operations.write = write;
  operations.fsync = fsync;
  operations.truncate = truncate;
  // In the foreground, so the script that starts it can end it; root mounts it and the loop
  // driver reaches it with root's open file, so no one else needs a way in.
  char* args[] = {argv[0], const_cast<char*>("-f"), argv[2], const_cast<char*>("-o"),
                  const_cast<char*>("fsname=corvane-faultfs"), nullptr};
  return fuse_main(5, args, &operations, nullptr);
}
