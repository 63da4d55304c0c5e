// The Win32 subset Corvane uses, for POSIX. Programs include this header and nothing below it.
// The declarations are grouped by the part of the platform that implements them; on Windows they
// all come from the SDK's own headers.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wingdi.h"
#include "win32/regions_and_shapes.h"
#include "win32/text.h"
#include "win32/images_and_icons.h"
#include "winuser.h"
#include "shellapi.h"
#include "mmsystem.h"
#include "winver.h"
