// Which driver the window system runs on, chosen once at first use from the environment.
#include <cstdlib>
#include <memory>
#include <string>

#include "gdi/RealizedFont.h"
#include "kernel/Diagnostics.h"
#include "kernel/ProcessEnd.h"
#include "user/Driver.h"
#include "user/WindowSystem.h"

namespace drivers {

namespace {

[[noreturn]] void refuse(const std::string& message) {
  kernel::tellUser(message);
  std::exit(1);
}

// A program with windows that nobody can see would run on and wait for input that never comes,
// so a missing display ends it at once; the in-memory screen is only ever asked for by name.
std::unique_ptr<Driver> chosenDriver() {
  const char* choice = std::getenv("CORVANE_DRIVER");
  const std::string name = choice != nullptr ? choice : "";
  if (name == "headless") return createHeadlessDriver();
  if (!name.empty() && name != "x11")
    refuse("unknown window driver \"" + name + "\" in CORVANE_DRIVER (use x11 or headless)");
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0')
    refuse("cannot open display: DISPLAY is not set");
#if __has_include("drivers/x11/X11Driver.cpp")
  std::string error;
  std::unique_ptr<Driver> x11 = createX11Driver(error);
  if (!x11) refuse(error);
  return x11;
#else
  refuse(std::string("cannot open display ") + display + ": this build has no X11 driver");
#endif
}

std::unique_ptr<Driver>& driverSlot() {
  static auto* slot = new std::unique_ptr<Driver>;
  return *slot;
}

// Windows draw text long after the display is open, and with the fewest descriptors a program can
// start with, the display's connection takes the last one: the font files come in before it.
void start(std::unique_ptr<Driver> (*make)()) {
  gdi::loadFontFiles();
  auto& slot = driverSlot();
  slot = make();
  user::attachOnce(*slot);
}

}  // namespace

Driver& currentDriver() {
  auto& slot = driverSlot();
  if (!slot) {
    start(chosenDriver);
    // Text copied in the program outlives it, as on Windows.
    kernel::whenProcessEnds([] { driverSlot()->handOverClipboard(); });
  }
  return *slot;
}

void chooseHeadlessUnlessChosen() {
  if (!driverSlot()) start(createHeadlessDriver);
}

}  // namespace drivers
