// winmm: playing a wave sound.
#pragma once

#include "windef.h"

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010

BOOL WINAPI sndPlaySoundA(LPCSTR lpszSound, UINT fuSound);
