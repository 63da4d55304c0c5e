// What the platform does when the process ends, whether it returns from main, calls exit or
// calls ExitProcess (which runs these and nothing else: no atexit handler, no static destructor).
#pragma once

namespace kernel {

// Runs hook once when the process ends, after the hooks registered before it.
void whenProcessEnds(void (*hook)());

}  // namespace kernel
