#include "framework/App.h"

#include "framework/Form.h"
#include "framework/RuntimeError.h"
#include "framework/Version.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

AppObject App;
ScreenObject Screen;

std::string AppObject::Path() const {
  char buffer[4096] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n < sizeof buffer ? n : 0);
  for (char& c : path)
    if (c == '\\') c = '/';
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string AppObject::EXEName() const {
  char buffer[4096] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n < sizeof buffer ? n : 0);
  size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

namespace {

// The file version of the executable's version resource, as major, minor and revision; the
// build's own numbers where the executable carries no such resource.
struct VersionNumbers {
  int16_t major = CORVANE_VERSION_MAJOR;
  int16_t minor = CORVANE_VERSION_MINOR;
  int16_t revision = CORVANE_VERSION_PATCH;
};

VersionNumbers readVersionResource() {
  VersionNumbers v;
  char file[4096] = {};
  const DWORD n = GetModuleFileNameA(nullptr, file, sizeof file);
  if (n == 0 || n >= sizeof file) return v;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) return v;
  std::vector<char> block(size);
  void* value = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(file, handle, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
    return v;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  v.major = static_cast<int16_t>(HIWORD(info->dwFileVersionMS));
  v.minor = static_cast<int16_t>(LOWORD(info->dwFileVersionMS));
  v.revision = static_cast<int16_t>(HIWORD(info->dwFileVersionLS));
  return v;
}

const VersionNumbers& versionNumbers() {
  static const VersionNumbers v = readVersionResource();
  return v;
}

}  // namespace

int16_t AppObject::Major() const { return versionNumbers().major; }
int16_t AppObject::Minor() const { return versionNumbers().minor; }
int16_t AppObject::Revision() const { return versionNumbers().revision; }

std::string Command() {
  const char* line = GetCommandLineA();
  return line ? ArgumentsAfterProgramName(line) : std::string();
}

std::string ArgumentsAfterProgramName(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  // The program's own name: quoted, or up to the first blank.
  if (i < s.size() && s[i] == '"') {
    size_t close = s.find('"', i + 1);
    i = close == std::string::npos ? s.size() : close + 1;
  } else {
    while (i < s.size() && s[i] != ' ') ++i;
  }
  // Exactly one blank separates the name from the arguments; any further blank is the
  // argument's own and stays, as the program must see " E:" unchanged.
  if (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

float ScreenObject::Width() const { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * 15); }
float ScreenObject::Height() const { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * 15); }

namespace {
// Units per inch of each scale mode.
double perInch(int16_t mode) {
  switch (mode) {
    case vbTwips: return 1440.0;
    case vbPoints: return 72.0;
    case vbPixels: return 96.0;
    case vbInches: return 1.0;
    case vbMillimeters: return 25.4;
    case vbCentimeters: return 2.54;
    case vbHimetric: return 2540.0;
    default: return 1440.0;
  }
}
}  // namespace

double ConvertScale(double value, int16_t fromScale, int16_t toScale) {
  return value * perInch(toScale) / perInch(fromScale);
}

void DoEvents() {
  MSG msg;
  // Bounded, so that a window that keeps invalidating itself cannot hold the caller forever.
  for (int i = 0; i < 100000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CollectReleasedForms();
}

namespace {
MsgBoxHook& hook() {
  static MsgBoxHook h;
  return h;
}
}  // namespace

void SetMsgBoxHook(MsgBoxHook h) { hook() = std::move(h); }

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  const std::string& caption = title.empty() ? App.Title : title;
  if (hook()) return hook()(prompt, buttons, caption);
  HWND owner = GetActiveWindow();
  return MessageBoxA(owner, prompt.c_str(), caption.c_str(), static_cast<UINT>(buttons));
}

namespace {
// The generator of the language's Rnd: a 24-bit linear congruential sequence.
uint32_t rndState = 0x50000;
}  // namespace

void Randomize() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto ticks = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
  Randomize(static_cast<double>(ticks % 86400000000ull) / 1e6);
}

void Randomize(double seed) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof seed);
  std::memcpy(&bits, &seed, sizeof bits);
  uint32_t mixed = static_cast<uint32_t>(bits >> 32) ^ static_cast<uint32_t>(bits);
  mixed = ((mixed & 0xFFFF) ^ (mixed >> 16)) << 8;
  // The seed alone decides the sequence, so a run can be repeated.
  rndState = (0x50000u & 0xFF0000FFu) | (mixed & 0x00FFFF00u);
}

float Rnd() {
  rndState = (rndState * 1140671485u + 12820163u) & 0xFFFFFFu;
  return static_cast<float>(rndState) / 16777216.0f;
}

void ReportRunTimeError(const std::exception& error) {
  int number = 440;
  const char* description = error.what();
  if (auto* e = dynamic_cast<const RuntimeError*>(&error)) {
    number = e->Number;
    description = e->Description.c_str();
  } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    number = ErrOutOfMemory;
    description = "Out of memory";
  }
  int answer = 0;
  try {
    answer = MsgBox("Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description, vbCritical);
  } catch (const std::bad_alloc&) {
  }
  // Where not even the box can be had, the message goes where a program's last words go.
  if (answer == 0) {
    std::string name;
    try {
      name = App.EXEName() + ": ";
    } catch (const std::bad_alloc&) {
    }
    std::fprintf(stderr, "%sRun-time error '%d': %s\n", name.c_str(), number, description);
  }
}

void End(int exitStatus) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(exitStatus));
}
