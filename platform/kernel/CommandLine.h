// The command line as the process entry received it.
#pragma once

namespace kernel {

// Called once by the process entry before WinMain; later calls replace the record.
void recordCommandLine(int argc, char** argv);

// The text after the program's name: the arguments joined by single blanks, unquoted.
const char* commandArguments();

}  // namespace kernel
