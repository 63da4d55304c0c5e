// GetCommandLineA gives the program name in double quotes followed by the arguments joined by
// single blanks, unquoted (a program's own code drops the first token); the module of the program
// is a fixed HINSTANCE and its file name is the Unix path of the executable; the tick count and
// the performance counter run on CLOCK_MONOTONIC, the counter in nanoseconds. ExitProcess runs
// the platform's own end-of-process work (kernel/ProcessEnd.h), flushes the C streams and ends
// the process at once.
#include <windows.h>

#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/CommandLine.h"
#include "kernel/ProcessEnd.h"

namespace {

std::mutex commandLock;
bool recorded = false;
std::string fullLine;
std::string arguments;

void build(const std::vector<std::string>& words) {
  fullLine = "\"" + (words.empty() ? std::string() : words[0]) + "\"";
  arguments.clear();
  for (size_t i = 1; i < words.size(); ++i) {
    if (i > 1) arguments += ' ';
    arguments += words[i];
  }
  if (words.size() > 1) fullLine += " " + arguments;
  recorded = true;
}

// Programs started without the platform's entry (tests, tools) still answer from the kernel's
// record of this process.
void recordFromProc() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> words;
  std::string word;
  for (char c : raw) {
    if (c == '\0') {
      words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  build(words);
}

std::string executablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

const HMODULE kProgramModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));

uint64_t monotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000ull + static_cast<uint64_t>(now.tv_nsec);
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

namespace kernel {

void recordCommandLine(int argc, char** argv) {
  std::vector<std::string> words;
  for (int i = 0; i < argc; ++i) words.emplace_back(argv[i] ? argv[i] : "");
  std::lock_guard lock(commandLock);
  build(words);
}

const char* commandArguments() {
  std::lock_guard lock(commandLock);
  if (!recorded) recordFromProc();
  return arguments.c_str();
}

}  // namespace kernel

LPSTR WINAPI GetCommandLineA(void) {
  std::lock_guard lock(commandLock);
  if (!recorded) recordFromProc();
  return fullLine.data();
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return kProgramModule;
  std::string wanted = lpModuleName;
  auto cut = wanted.find_last_of("\\/");
  if (cut != std::string::npos) wanted = wanted.substr(cut + 1);
  std::string own = executablePath();
  cut = own.find_last_of('/');
  if (cut != std::string::npos) own = own.substr(cut + 1);
  if (sameNameIgnoringCase(wanted, own) || sameNameIgnoringCase(wanted, own + ".exe")) return kProgramModule;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (hModule && hModule != kProgramModule) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = executablePath();
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() + 1 > nSize) {
    // Truncated and terminated, returning the buffer size, as Windows does since XP.
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

void WINAPI Sleep(DWORD dwMilliseconds) {
  timespec wait{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(monotonicNanoseconds() / 1000000ull); }

ULONGLONG WINAPI GetTickCount64(void) { return monotonicNanoseconds() / 1000000ull; }

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  lpPerformanceCount->QuadPart = static_cast<LONGLONG>(monotonicNanoseconds());
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  lpFrequency->QuadPart = 1000000000LL;
  return TRUE;
}

namespace kernel {
namespace {

std::vector<void (*)()>& endHooks() {
  static auto* hooks = new std::vector<void (*)()>;
  return *hooks;
}

void runEndHooks() {
  // Each runs once, even when a hook ends the process itself.
  std::vector<void (*)()> hooks;
  hooks.swap(endHooks());
  for (auto hook : hooks) hook();
}

}  // namespace

void whenProcessEnds(void (*hook)()) {
  static const bool registered = std::atexit(runEndHooks) == 0;
  (void)registered;
  endHooks().push_back(hook);
}

}  // namespace kernel

void WINAPI ExitProcess(UINT uExitCode) {
  kernel::runEndHooks();
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(uExitCode));
}
