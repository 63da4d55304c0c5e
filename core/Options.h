// The options a Linux user expects of a command: --help, -h and --version. Anything else that
// starts with "-" is a usage error; "-" alone is an argument like any other.
#pragma once

#include <optional>
#include <ostream>
#include <string>

constexpr int kExitUsage = 2;

// Acts on an option in the first word of the arguments: writes the usage or the version to `out`,
// or the complaint to `err`, and returns the exit status. Without an option returns nothing and
// writes nothing, and the program runs as ever.
std::optional<int> HandleOption(const std::string& arguments, std::ostream& out, std::ostream& err);
