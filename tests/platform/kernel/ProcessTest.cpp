// Command line, module, clocks, the end of the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kernel/CommandLine.h"
#include "kernel/ProcessEnd.h"

namespace {

TEST(Process, CommandLineQuotesTheProgramAndJoinsTheArguments) {
  char program[] = "/opt/corvane/bin/corvane";
  char first[] = "E:";
  char second[] = "two words";
  char* argv[] = {program, first, second};
  kernel::recordCommandLine(3, argv);
  EXPECT_STREQ(GetCommandLineA(), "\"/opt/corvane/bin/corvane\" E: two words");
  EXPECT_STREQ(kernel::commandArguments(), "E: two words");
  kernel::recordCommandLine(1, argv);
  EXPECT_STREQ(GetCommandLineA(), "\"/opt/corvane/bin/corvane\"");
  EXPECT_STREQ(kernel::commandArguments(), "");
}

TEST(Process, ModuleFileNameIsTheExecutableAndTruncatesLikeWindows) {
  char path[4096];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(path[0], '/');
  EXPECT_NE(std::string(path).find("ProcessTest"), std::string::npos);
  EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path), length);

  char small[5];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small[4], '\0');
  EXPECT_EQ(std::string(small), std::string(path, 4));

  EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  std::string own = std::string(path).substr(std::string(path).find_last_of('/') + 1);
  EXPECT_EQ(GetModuleHandleA(own.c_str()), GetModuleHandleA(nullptr));
  EXPECT_EQ(GetModuleHandleA((own + ".EXE").c_str()), GetModuleHandleA(nullptr));
}

// The platform's end-of-process work (the clipboard's hand-over) runs however the process ends,
// in the order it was asked for, once, and ExitProcess still ends with its code.
TEST(ProcessDeathTest, EndHooksRunOnceAtExitProcessAndAtExit) {
  auto first = [] {
    kernel::whenProcessEnds([] { std::fputs("first;", stderr); });
    kernel::whenProcessEnds([] {
      std::fputs("second;", stderr);
      // A hook that ends the process itself runs no hook a second time.
      ExitProcess(7);
    });
  };
  EXPECT_EXIT((first(), ExitProcess(3)), testing::ExitedWithCode(7), "^first;second;$");
  EXPECT_EXIT((kernel::whenProcessEnds([] { std::fputs("hook;", stderr); }), std::exit(4)),
              testing::ExitedWithCode(4), "^hook;$");
  EXPECT_EXIT(ExitProcess(5), testing::ExitedWithCode(5), "^$");
}

TEST(Process, ClocksAdvanceWithSleep) {
  LARGE_INTEGER frequency, before, after;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 1000000000LL);
  DWORD ticks = GetTickCount();
  ASSERT_TRUE(QueryPerformanceCounter(&before));
  Sleep(30);
  ASSERT_TRUE(QueryPerformanceCounter(&after));
  LONGLONG elapsedMs = (after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart;
  EXPECT_GE(elapsedMs, 29);
  EXPECT_LT(elapsedMs, 2000);
  EXPECT_GE(GetTickCount() - ticks, 29u);
  // One clock: the 64-bit count read between two readings of the 32-bit one lies between them,
  // however long a loaded machine keeps this thread from running.
  const DWORD first = GetTickCount();
  const ULONGLONG between = GetTickCount64();
  const DWORD last = GetTickCount();
  EXPECT_LE(first, static_cast<DWORD>(between)) << "the two tick counts share one clock";
  EXPECT_LE(static_cast<DWORD>(between), last) << "the two tick counts share one clock";
}

}  // namespace
