// The process entry: an error the program raises and does not catch ends the run with the
// run-time error box, and the process ends there with status 1, as any result but success does.
// On Linux the options of a command come first and end the run without a window.
#include <windows.h>

#include <exception>
#include <iostream>

#include "core/Module1.h"
#include "core/Options.h"
#include "framework/App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
#ifndef _WIN32
  if (std::optional<int> status = HandleOption(Command(), std::cout, std::cerr)) End(*status);
#endif
  try {
    Main();
  } catch (const std::exception& error) {
    ReportRunTimeError(error);
  }
  End(1);
}
