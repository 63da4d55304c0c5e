// The process entry: an error the program raises and does not catch ends the run with the
// run-time error box, and the process ends there.
#include <windows.h>

#include <exception>

#include "core/Module1.h"
#include "framework/App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Main();
  } catch (const std::exception& error) {
    ReportRunTimeError(error);
  }
  End();
}
