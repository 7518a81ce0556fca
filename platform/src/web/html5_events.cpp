// The page's keyboard, mouse and wheel events as window messages, for the queue in
// win32/messages.cpp. The browser delivers them while the program yields (each Present, each wait
// for a message), and they are queued as they come. A message loop that goes on peeking without
// presenting or waiting would hold the page for good: PumpEvents yields once the program has kept
// the browser out for a quarter of a second.
// Implemented: WM_KEYDOWN/UP (WM_SYSKEYDOWN/UP with Alt; auto-repeats are further WM_KEYDOWNs
//   with the previous-state bit), WM_[LRM]BUTTONDOWN/UP, WM_MOUSEMOVE and WM_MOUSEWHEEL (one
//   notch per wheel event) in the canvas's pixels whatever size the page shows it at; the key
//   table follows. A pointer leaving the canvas without a button held comes to rest mid-canvas. Keys the program gets are kept from the browser (F5 would reload the page,
//   F1 open help, arrows scroll), except with Ctrl or Meta held, which stay the browser's.
//   kvr_page_key lets the page press a key itself (F5 after it has copied a data set in).
//   TranslateMessage makes WM_CHAR of the key presses (win32/key_characters.cpp).
// Not implemented: double clicks, the fourth and fifth buttons, horizontal wheels,
//   WM_CLOSE (closing the tab ends the page, not the program's loop).
#include <emscripten.h>
#include <emscripten/html5.h>

#include "web/html5_state.h"
#include "win32/win32_state.h"

namespace {

bool g_started = false;
double g_lastYield = 0;  // the page's clock when the program last gave the browser a turn
constexpr double kLongestHold = 250;  // milliseconds

HWND FirstWindow() {
  HWND first = nullptr;
  kvrwin32::LiveWindows(&first, 1);
  return first;
}

// Canvas pixels of a point given in the page's CSS pixels (clientX, clientY), whatever size
// and place the page shows the canvas at.
void CanvasPoint(long clientX, long clientY, int* x, int* y) {
  *x = EM_ASM_INT({
    var c = document.querySelector(UTF8ToString($0));
    var r = c.getBoundingClientRect();
    return r.width > 0 ? Math.floor(($1 - r.left) * c.width / r.width) : $1;
  }, kvrweb::kCanvas, clientX);
  *y = EM_ASM_INT({
    var c = document.querySelector(UTF8ToString($0));
    var r = c.getBoundingClientRect();
    return r.height > 0 ? Math.floor(($1 - r.top) * c.height / r.height) : $1;
  }, kvrweb::kCanvas, clientY);
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void QueueKey(int vk, bool down, bool repeat, bool alt, bool ctrl) {
  kvrwin32::KeyEvent(vk, down);
  switch (vk) {  // messages carry the generic modifier codes
    case VK_LSHIFT: case VK_RSHIFT: vk = VK_SHIFT; break;
    case VK_LCONTROL: case VK_RCONTROL: vk = VK_CONTROL; break;
    case VK_LMENU: case VK_RMENU: vk = VK_MENU; break;
    default: break;
  }
  alt = alt || vk == VK_MENU;
  const bool system = (alt && !ctrl) || vk == VK_F10;
  LPARAM lParam = 1;
  if (alt) lParam |= kvrwin32::kAltDownBit;
  if (!down) lParam |= kvrwin32::kWasDownBit | kvrwin32::kReleasedBit;
  else if (repeat) lParam |= kvrwin32::kWasDownBit;
  const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  kvrwin32::QueueInput(FirstWindow(), message, static_cast<WPARAM>(vk), lParam);
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* e, void*) {
  const int vk = kvrweb::VirtualKeyOf(e->key, e->code);
  if (!vk || !FirstWindow()) return EM_FALSE;
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  QueueKey(vk, down, e->repeat != 0, e->altKey != 0, e->ctrlKey != 0);
  return (e->ctrlKey || e->metaKey) ? EM_FALSE : EM_TRUE;
}

EM_BOOL OnMouseButton(int eventType, const EmscriptenMouseEvent* e, void*) {
  const bool down = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
  int vk;
  UINT message;
  switch (e->button) {
    case 0: vk = VK_LBUTTON; message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case 1: vk = VK_MBUTTON; message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    case 2: vk = VK_RBUTTON; message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    default: return EM_FALSE;
  }
  int x = 0, y = 0;
  CanvasPoint(e->clientX, e->clientY, &x, &y);
  kvrweb::SetPointer(x, y);
  kvrwin32::KeyEvent(vk, down);
  kvrwin32::QueueInput(FirstWindow(), message, kvrwin32::MouseKeyFlags(), ClientPoint(x, y));
  return EM_TRUE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*) {
  int x = 0, y = 0;
  CanvasPoint(e->clientX, e->clientY, &x, &y);
  kvrweb::SetPointer(x, y);
  kvrwin32::QueueInput(FirstWindow(), WM_MOUSEMOVE, kvrwin32::MouseKeyFlags(), ClientPoint(x, y));
  return EM_FALSE;
}

// A pointer that leaves the canvas is over the page, not over the program: it rests in the middle,
// so that the last place it was seen (a screen edge, on its way to the page's bar) does not keep
// moving the eye. A drag goes on where it left.
EM_BOOL OnMouseLeave(int, const EmscriptenMouseEvent* e, void*) {
  if (e->buttons != 0) return EM_FALSE;
  int width = 0, height = 0;
  emscripten_get_canvas_element_size(kvrweb::kCanvas, &width, &height);
  kvrweb::SetPointer(width / 2, height / 2);
  kvrwin32::QueueInput(FirstWindow(), WM_MOUSEMOVE, kvrwin32::MouseKeyFlags(), ClientPoint(width / 2, height / 2));
  return EM_FALSE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* e, void*) {
  if (e->deltaY == 0) return EM_TRUE;
  // The page scrolls down for a positive delta; Windows' wheel turned towards the user is negative.
  const int delta = e->deltaY > 0 ? -WHEEL_DELTA : WHEEL_DELTA;
  POINT pt;
  GetCursorPos(&pt);
  kvrwin32::QueueInput(FirstWindow(), WM_MOUSEWHEEL, MAKEWPARAM(kvrwin32::MouseKeyFlags(), static_cast<WORD>(delta)),
                       ClientPoint(pt.x, pt.y));
  return EM_TRUE;
}

}  // namespace

namespace kvrweb {

void NoteYield() { g_lastYield = emscripten_get_now(); }

void StartInputEvents() {
  if (g_started) return;
  g_started = true;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_mousedown_callback(kCanvas, nullptr, EM_TRUE, OnMouseButton);
  // Releases are heard on the whole page, so a drag that ends off the canvas still ends.
  emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnMouseButton);
  emscripten_set_mousemove_callback(kCanvas, nullptr, EM_TRUE, OnMouseMove);
  emscripten_set_mouseleave_callback(kCanvas, nullptr, EM_TRUE, OnMouseLeave);
  emscripten_set_wheel_callback(kCanvas, nullptr, EM_TRUE, OnWheel);
}

}  // namespace kvrweb

namespace kvrwin32 {

void PumpEvents() {
  if (emscripten_get_now() - g_lastYield < kLongestHold) return;
  emscripten_sleep(0);
  kvrweb::NoteYield();
}

// Events arrive through callbacks while the program yields: asyncify's sleep gives the page
// control for that long.
void WaitForEvents(int milliseconds) {
  emscripten_sleep(static_cast<unsigned>(milliseconds));
  kvrweb::NoteYield();
}

}  // namespace kvrwin32

// For the page: presses and releases one key, as the keyboard would.
extern "C" EMSCRIPTEN_KEEPALIVE void kvr_page_key(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 255) return;
  QueueKey(virtualKey, true, false, false, false);
  QueueKey(virtualKey, false, false, false, false);
}
