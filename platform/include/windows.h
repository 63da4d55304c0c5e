// The Win32 subset Corvane uses, for POSIX. Programs include this header and nothing below it.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "shellapi.h"
#include "mmsystem.h"
