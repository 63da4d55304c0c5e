// The process entry of a Win32 program on POSIX: it records the command line and hands WinMain
// the arguments after the program's name, joined by single blanks, as lpCmdLine.
#include <windows.h>

#include <string>

#include "CommandLine.h"  // beside this file: programs do not see the private include path

int main(int argc, char** argv) {
  kernel::recordCommandLine(argc, argv);
  std::string arguments = kernel::commandArguments();
  return WinMain(GetModuleHandleA(nullptr), nullptr, arguments.data(), SW_SHOWNORMAL);
}
