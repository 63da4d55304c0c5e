// Lines for the person who started the program, on standard error.
#pragma once

#include <string_view>

namespace kernel {

// Writes "<program name>: <message>" and a line break to standard error in one piece, as GNU
// programs say what went wrong.
void tellUser(std::string_view message);

}  // namespace kernel
