// The shell's light-weight utilities Corvane uses: a stream over a copy of bytes in memory.
#pragma once

#include <windows.h>

#include "objidl.h"

// A new stream holding a copy of cbInit bytes from pInit (none when pInit is null), positioned at
// its start, with one reference; null when the memory cannot be had.
IStream* WINAPI SHCreateMemStream(const BYTE* pInit, UINT cbInit);
