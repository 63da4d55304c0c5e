// The rectangle helpers. A rectangle is empty when right <= left or bottom <= top; a NULL
// argument makes every helper fail (FALSE) without touching anything, and IsRectEmpty(NULL) is
// TRUE, as on Windows.
#include <windows.h>

#include <algorithm>

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (lprc == nullptr) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) {
  if (lprc == nullptr) return FALSE;
  *lprc = RECT{0, 0, 0, 0};
  return TRUE;
}

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (lprcDst == nullptr || lprcSrc == nullptr) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (lprc == nullptr) return FALSE;
  lprc->left += dx;
  lprc->right += dx;
  lprc->top += dy;
  lprc->bottom += dy;
  return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
  if (lprc == nullptr) return FALSE;
  lprc->left -= dx;
  lprc->right += dx;
  lprc->top -= dy;
  lprc->bottom += dy;
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
  return lprc == nullptr || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr) return FALSE;
  RECT r{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
         std::min(lprcSrc1->right, lprcSrc2->right), std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
  if (IsRectEmpty(lprcSrc1) || IsRectEmpty(lprcSrc2) || IsRectEmpty(&r)) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr) return FALSE;
  bool empty1 = IsRectEmpty(lprcSrc1), empty2 = IsRectEmpty(lprcSrc2);
  if (empty1 && empty2) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (empty1) {
    *lprcDst = *lprcSrc2;
  } else if (empty2) {
    *lprcDst = *lprcSrc1;
  } else {
    *lprcDst = RECT{std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
                    std::max(lprcSrc1->right, lprcSrc2->right),
                    std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
  }
  return TRUE;
}

BOOL WINAPI SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr) return FALSE;
  if (IsRectEmpty(lprcSrc1)) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  RECT result = *lprcSrc1;
  RECT cut;
  if (IntersectRect(&cut, lprcSrc1, lprcSrc2)) {
    // Only a cut right across the rectangle leaves a rectangle; anything else keeps src1 whole.
    if (cut.left == result.left && cut.right == result.right) {
      if (cut.top == result.top) result.top = cut.bottom;
      else if (cut.bottom == result.bottom) result.bottom = cut.top;
    }
    if (cut.top == lprcSrc1->top && cut.bottom == lprcSrc1->bottom) {
      if (cut.left == result.left) result.left = cut.right;
      else if (cut.right == result.right) result.right = cut.left;
    }
  }
  if (IsRectEmpty(&result)) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = result;
  return TRUE;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  return lprc != nullptr && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top &&
         pt.y < lprc->bottom;
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
  return lprc1 != nullptr && lprc2 != nullptr && lprc1->left == lprc2->left &&
         lprc1->top == lprc2->top && lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}
