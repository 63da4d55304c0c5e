// Image files, icons and cursors: LoadImageA and the icon calls. On Windows these come from
// winuser.h. Constants that another part of the platform may also define (the IMAGE_ and LR_
// values that CopyImage shares) are guarded so the two definitions never clash.
#pragma once

#include "../wingdi.h"

#ifndef IMAGE_BITMAP
#define IMAGE_BITMAP 0
#endif
#ifndef IMAGE_ICON
#define IMAGE_ICON 1
#endif
#ifndef IMAGE_CURSOR
#define IMAGE_CURSOR 2
#endif

#ifndef LR_DEFAULTCOLOR
#define LR_DEFAULTCOLOR 0x00000000
#endif
#ifndef LR_MONOCHROME
#define LR_MONOCHROME 0x00000001
#endif
#ifndef LR_COLOR
#define LR_COLOR 0x00000002
#endif
#ifndef LR_COPYRETURNORG
#define LR_COPYRETURNORG 0x00000004
#endif
#ifndef LR_COPYDELETEORG
#define LR_COPYDELETEORG 0x00000008
#endif
#ifndef LR_LOADFROMFILE
#define LR_LOADFROMFILE 0x00000010
#endif
#ifndef LR_LOADTRANSPARENT
#define LR_LOADTRANSPARENT 0x00000020
#endif
#ifndef LR_DEFAULTSIZE
#define LR_DEFAULTSIZE 0x00000040
#endif
#ifndef LR_VGACOLOR
#define LR_VGACOLOR 0x00000080
#endif
#ifndef LR_LOADMAP3DCOLORS
#define LR_LOADMAP3DCOLORS 0x00001000
#endif
#ifndef LR_CREATEDIBSECTION
#define LR_CREATEDIBSECTION 0x00002000
#endif
#ifndef LR_COPYFROMRESOURCE
#define LR_COPYFROMRESOURCE 0x00004000
#endif
#ifndef LR_SHARED
#define LR_SHARED 0x00008000
#endif

#ifndef DI_MASK
#define DI_MASK 0x0001
#endif
#ifndef DI_IMAGE
#define DI_IMAGE 0x0002
#endif
#ifndef DI_NORMAL
#define DI_NORMAL 0x0003
#endif
#ifndef DI_COMPAT
#define DI_COMPAT 0x0004
#endif
#ifndef DI_DEFAULTSIZE
#define DI_DEFAULTSIZE 0x0008
#endif
#ifndef DI_NOMIRROR
#define DI_NOMIRROR 0x0010
#endif

typedef struct _ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
} ICONINFO, *PICONINFO;

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);

HICON WINAPI CreateIconIndirect(PICONINFO piconinfo);
BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO piconinfo);
HICON WINAPI CopyIcon(HICON hIcon);
BOOL WINAPI DestroyIcon(HICON hIcon);
BOOL WINAPI DestroyCursor(HCURSOR hCursor);
BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                       UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
HICON WINAPI CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer,
                                      int cxDesired, int cyDesired, UINT Flags);
int WINAPI LookupIconIdFromDirectoryEx(PBYTE presbits, BOOL fIcon, int cxDesired, int cyDesired,
                                       UINT Flags);
