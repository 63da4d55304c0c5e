// The options of the command: what each prints, where, and the status it ends with.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/Options.h"

namespace {

struct Outcome {
  std::optional<int> status;
  std::string out, err;
};

Outcome handle(const std::string& arguments) {
  std::ostringstream out, err;
  std::optional<int> status = HandleOption(arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(Options, HelpPrintsTheUsageOnStandardOutputAndEndsWithZero) {
  for (const char* option : {"--help", "-h", "--help E:", "-h /dev/sdb1"}) {
    Outcome o = handle(option);
    EXPECT_EQ(o.status, 0) << option;
    EXPECT_EQ(o.err, "") << option;
    EXPECT_EQ(o.out.rfind("Usage: corvane DRIVE:\n  or:  corvane /PATH\n", 0), 0u) << option;
    for (const char* part : {"~/.config/corvane/drives", "Exit status: 0", "2 for a wrong option", "See corvane(1).\n"})
      EXPECT_NE(o.out.find(part), std::string::npos) << option << " lacks " << part;
  }
}

TEST(Options, VersionGivesTheNumbersOfTheVersionResource) {
  Outcome o = handle("--version");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "corvane 1.00.0000\n");
  EXPECT_EQ(o.err, "");
}

TEST(Options, AnyOtherOptionIsAUsageErrorOnStandardError) {
  struct Case {
    const char* arguments;
    const char* named;
  } cases[] = {{"--bogus", "--bogus"}, {"-x", "-x"}, {"--", "--"}, {"--help=x", "--help=x"},
               {"--versio", "--versio"}, {"-hv E:", "-hv"}};
  for (const Case& c : cases) {
    Outcome o = handle(c.arguments);
    EXPECT_EQ(o.status, kExitUsage) << c.arguments;
    EXPECT_EQ(o.out, "") << c.arguments;
    EXPECT_EQ(o.err, std::string("corvane: unrecognised option '") + c.named +
                         "'\nTry 'corvane --help' for more information.\n");
  }
}

// Everything else is the flush's argument, "-" alone included, as GNU programs take it.
TEST(Options, ArgumentsThatAreNoOptionsAreLeftToTheRun) {
  for (const char* arguments : {"", "-", "- x", "E:", "/media/usb", "media/-h", " --help", "\xC3\xA9"}) {
    Outcome o = handle(arguments);
    EXPECT_FALSE(o.status.has_value()) << arguments;
    EXPECT_EQ(o.out + o.err, "") << arguments;
  }
}

}  // namespace
