// Window frames and the system metrics they are made of.
// Implemented: AdjustWindowRect, AdjustWindowRectEx (borders, resize border, caption, small
//   caption of tool windows, menu bar, client edge), GetSystemMetrics for the screen, frame,
//   caption, icon, cursor, tracking and mouse metrics. The numbers are the default ones of Wine's
//   Windows emulation without a theme (measured there: a 300 x 300 WS_OVERLAPPEDWINDOW window has
//   a client area of 292 x 273), so the same program has the same client area in both builds.
// Not implemented: scroll bars' widths in AdjustWindowRectEx, themes, per-monitor DPI; any other
//   GetSystemMetrics index returns 0, as Windows does for an index it does not know.
#include "win32/window_frame.h"

#include "win32/window_internal.h"

namespace {

constexpr int kBorder = 1;         // SM_CXBORDER: a thin line
constexpr int kDialogFrame = 3;    // SM_CXDLGFRAME: the frame of a window that can't be resized
constexpr int kSizingFrame = 4;    // SM_CXFRAME: the frame of one that can
constexpr int kEdge = 2;           // SM_CXEDGE: a 3D edge
constexpr int kCaption = 19;       // SM_CYCAPTION
constexpr int kSmallCaption = 16;  // SM_CYSMCAPTION (tool windows)
constexpr int kMenu = 19;          // SM_CYMENU
constexpr int kMinTrackWidth = 112;
constexpr int kMinTrackHeight = 27;

int ScreenSide(bool width) {
  int w = 0, h = 0;
  KvrWindowClientSize(GetDesktopWindow(), &w, &h);
  return width ? w : h;
}

}  // namespace

void KvrAddFrame(RECT* rect, DWORD style, bool menu, DWORD exStyle) {
  // The outer frame: a 3D edge round anything that has a thick or dialog frame.
  int frame = 0;
  if ((exStyle & WS_EX_STATICEDGE) && !(exStyle & WS_EX_DLGMODALFRAME))
    frame = kBorder;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    frame = kEdge;
  // A resizable window's frame is wider by what the sizing frame has over the dialog frame.
  if (style & WS_THICKFRAME) frame += kSizingFrame - kDialogFrame;
  // And the line inside it.
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) frame += kBorder;
  rect->left -= frame;
  rect->top -= frame;
  rect->right += frame;
  rect->bottom += frame;
  if ((style & WS_CAPTION) == WS_CAPTION) rect->top -= (exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
  if (menu) rect->top -= kMenu;
  if (exStyle & WS_EX_CLIENTEDGE) {
    rect->left -= kEdge;
    rect->top -= kEdge;
    rect->right += kEdge;
    rect->bottom += kEdge;
  }
}

bool KvrFrameTracksSize(DWORD style) { return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD)); }

DWORD KvrEffectiveStyle(DWORD style) {
  if (!(style & (WS_POPUP | WS_CHILD))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  return style;
}

extern "C" {

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  KvrAddFrame(lpRect, dwStyle, bMenu != FALSE, dwExStyle);
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXFULLSCREEN: return ScreenSide(true);
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return ScreenSide(false);
    // The screen less a caption: what a maximised window's client area can have.
    case SM_CYFULLSCREEN: return ScreenSide(false) - kCaption;
    case SM_CXBORDER: case SM_CYBORDER: return kBorder;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return kDialogFrame;
    case SM_CXFRAME: case SM_CYFRAME: return kSizingFrame;
    case SM_CXEDGE: case SM_CYEDGE: return kEdge;
    case SM_CYCAPTION: return kCaption;
    case SM_CYSMCAPTION: return kSmallCaption;
    case SM_CYMENU: return kMenu;
    case SM_CXSIZE: case SM_CYSIZE: return kCaption - 1;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CXMIN: case SM_CXMINTRACK: return kMinTrackWidth;
    case SM_CYMIN: case SM_CYMINTRACK: return kMinTrackHeight;
    // A maximised window's frame hangs over the screen's edges.
    case SM_CXMAXTRACK: return ScreenSide(true) + 2 * (kSizingFrame + kEdge);
    case SM_CYMAXTRACK: return ScreenSide(false) + 2 * (kSizingFrame + kEdge);
    case SM_CXVSCROLL: case SM_CYHSCROLL: return 16;
    case SM_MOUSEPRESENT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CMONITORS: return 1;
    default: return 0;
  }
}

}  // extern "C"
