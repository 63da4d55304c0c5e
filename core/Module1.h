// The start-up procedure: flush the volume named on the command line and report the outcome.
#pragma once

#include <cstdint>
#include <string>

// Runs the whole program once and ends the process with the status of RunFlushSequence.
[[noreturn]] void Main();

// The system's message text for an error code, exactly as the system writes it (usually ending
// in CR LF); empty when the system has no text for the code.
std::string SystemErrorText(int32_t code);

// Everything Main does before the process ends, for tests: returns when the result window closes,
// with the exit status the run ends with: 0 when the window said the operation completed
// successfully, 1 for any other result.
int RunFlushSequence();
