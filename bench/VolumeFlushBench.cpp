// A whole flush of a mounted stick, as the program does it: open the volume, flush five times,
// close; each time with 1,000 small files freshly written and still in memory. The stick is an
// ext4 image on a loop device (root only); the table names the device (argument 0) or the mount
// point (argument 1).
#include <benchmark/benchmark.h>
#include <windows.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 1000;

int quietly(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// The loop device, its mount and the drive table; all of it goes when the benchmark ends.
class Stick {
 public:
  Stick() {
    char pattern[] = "/tmp/corvane-flush-bench-XXXXXX";
    if (!mkdtemp(pattern)) return;
    root_ = pattern;
    fs::path image = root_ / "stick.img";
    { std::ofstream create(image, std::ios::binary); }
    fs::resize_file(image, 256u << 20);
    std::FILE* pipe = popen(("losetup -f --show " + image.string() + " 2>/dev/null").c_str(), "r");
    std::array<char, 256> line{};
    if (pipe && std::fgets(line.data(), line.size(), pipe)) device_ = line.data();
    if (pipe) pclose(pipe);
    while (!device_.empty() && device_.back() == '\n') device_.pop_back();
    fs::create_directories(root_ / "mnt");
    fs::create_directories(root_ / "drives");
    ready_ = !device_.empty() && quietly("mkfs.ext4 -q -F " + device_) == 0 &&
             quietly("mount -o commit=600 " + device_ + " " + (root_ / "mnt").string()) == 0;
    mounted_ = ready_;
  }
  ~Stick() {
    if (mounted_) quietly("umount " + (root_ / "mnt").string());
    if (!device_.empty()) quietly("losetup -d " + device_);
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }
  bool ready() const { return ready_; }

  void nameInTable(bool mountPoint) {
    fs::path entry = root_ / "drives" / "e:";
    fs::remove(entry);
    fs::create_symlink(mountPoint ? (root_ / "mnt").string() : device_, entry);
    setenv("CORVANE_DRIVES", (root_ / "drives").c_str(), 1);
  }

  void writeSmallFiles(int round) {
    for (int i = 0; i < kFiles; ++i)
      std::ofstream(root_ / "mnt" / ("f" + std::to_string(i))) << "round " << round << " file " << i << '\n';
  }

 private:
  fs::path root_;
  std::string device_;
  bool ready_ = false;
  bool mounted_ = false;
};

void BM_FlushMountedStickWith1000DirtyFiles(benchmark::State& state) {
  if (geteuid() != 0) {
    state.SkipWithError("attaching a loop device and mounting need root");
    return;
  }
  Stick stick;
  if (!stick.ready()) {
    state.SkipWithError("no loop device could be attached, formatted and mounted");
    return;
  }
  stick.nameInTable(state.range(0) == 1);
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    stick.writeSmallFiles(++round);
    state.ResumeTiming();
    HANDLE volume = CreateFileA("\\\\.\\E:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_FLAG_NO_BUFFERING, nullptr);
    bool flushed = volume != INVALID_HANDLE_VALUE;
    for (int i = 0; i < 5 && flushed; ++i) flushed = FlushFileBuffers(volume);
    if (volume != INVALID_HANDLE_VALUE) CloseHandle(volume);
    if (!flushed) {
      state.SkipWithError("the volume could not be opened or flushed");
      break;
    }
  }
  unsetenv("CORVANE_DRIVES");
}
BENCHMARK(BM_FlushMountedStickWith1000DirtyFiles)->ArgName("mount_point")->Arg(0)->Arg(1)
    ->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
