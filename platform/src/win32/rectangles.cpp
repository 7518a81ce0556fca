// user32's rectangle helpers.
// Implemented: SetRect, SetRectEmpty, CopyRect, InflateRect, OffsetRect, IntersectRect, UnionRect,
//   PtInRect, IsRectEmpty, EqualRect, as Windows has them: a null pointer gives FALSE (TRUE for
//   IsRectEmpty), a rectangle is empty when it has no width or no height (right <= left or
//   bottom <= top), an empty one takes no part in a union, and an intersection or union that has
//   nothing in it is left as the empty rectangle with FALSE. Coordinates wrap at 32 bits rather
//   than overflow.
#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace {

LONG Wrapped(LONG a, int b) {
  return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

extern "C" {

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left = Wrapped(lprc->left, -dx);
  lprc->top = Wrapped(lprc->top, -dy);
  lprc->right = Wrapped(lprc->right, dx);
  lprc->bottom = Wrapped(lprc->bottom, dy);
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left = Wrapped(lprc->left, dx);
  lprc->top = Wrapped(lprc->top, dy);
  lprc->right = Wrapped(lprc->right, dx);
  lprc->bottom = Wrapped(lprc->bottom, dy);
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
  return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  const RECT a = *lprcSrc1, b = *lprcSrc2;  // the destination may be one of the sources
  if (IsRectEmpty(&a) || IsRectEmpty(&b) || a.left >= b.right || b.left >= a.right || a.top >= b.bottom ||
      b.top >= a.bottom) {
    SetRectEmpty(lprcDst);
    return FALSE;
  }
  *lprcDst = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
  return TRUE;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  const RECT a = *lprcSrc1, b = *lprcSrc2;
  const bool aEmpty = IsRectEmpty(&a), bEmpty = IsRectEmpty(&b);
  if (aEmpty && bEmpty) {
    SetRectEmpty(lprcDst);
    return FALSE;
  }
  if (aEmpty) *lprcDst = b;
  else if (bEmpty) *lprcDst = a;
  else
    *lprcDst = RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
  return TRUE;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
  return lprc1 && lprc2 && lprc1->left == lprc2->left && lprc1->top == lprc2->top &&
         lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}

}  // extern "C"
