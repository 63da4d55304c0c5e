// Turning POSIX failures into the Win32 codes that callers of the platform see.
#pragma once

#include <windows.h>

namespace kernel {

// The Win32 code for an errno value; anything without a closer match is ERROR_GEN_FAILURE.
DWORD win32FromErrno(int error);

// Sets the thread's last-error from errno and hands back the code, for one-line failure paths.
DWORD setLastErrorFromErrno();

}  // namespace kernel
