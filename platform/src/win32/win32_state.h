// State shared between the files of the Win32 backend and its test seams (platform/testing).
#pragma once
#include <windows.h>

#include <cstdint>

namespace kvrwin32 {

// ---- Windows (window.cpp) --------------------------------------------------------------
// Calls the window procedure of a live window, as SendMessage would; 0 for unknown handles.
LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool IsLiveWindow(HWND hwnd);
// The live window of an SDL window id, or null.
HWND WindowFromSdlId(uint32_t sdlWindowId);
// The live windows in creation order (for events that name no window, such as SDL_QUIT).
int LiveWindows(HWND* out, int capacity);
// Paint bookkeeping: a window needs WM_PAINT from its creation (when visible) and after each
// expose, until ValidateRect or DefWindowProcA's WM_PAINT validates it.
void SetNeedsPaint(HWND hwnd, bool needs);
HWND WindowNeedingPaint();
// The window procedure of a live window, and its replacement (SetWindowLongPtr's GWLP_WNDPROC).
WNDPROC WindowProcOf(HWND hwnd);
void ReplaceWindowProc(HWND hwnd, WNDPROC proc);
// The window system resized the client area: the window learns it through WM_SIZE.
void ClientSizeChanged(HWND hwnd, int width, int height);
void SetDesktopSizeOverride(int width, int height);
void ForgetWindowClasses();

// ---- Messages (messages.cpp) -------------------------------------------------------------
void QueueScriptedMessage(const MSG& msg);
// Enters one input message for a window (dropped for a null window); a mouse move replaces a
// mouse move still waiting.
void QueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool CloseQueuedFor(HWND hwnd);
// Bits of a key message's lParam.
constexpr LPARAM kAltDownBit = LPARAM(1) << 29;
constexpr LPARAM kWasDownBit = LPARAM(1) << 30;
constexpr LPARAM kReleasedBit = LPARAM(1) << 31;

// ---- Timers (timers.cpp) -------------------------------------------------------------------
// The WM_TIMER of the timer due first among those the window filter of PeekMessage lets through
// (hwnd, message, wParam and lParam of `out` are set); with `remove`, the timer starts its next period.
bool TakeDueTimer(HWND filter, bool remove, MSG* out);
// Whether `proc` is the TIMERPROC of a live timer (hwnd, id): DispatchMessage calls nothing else.
bool IsTimerProc(HWND hwnd, UINT_PTR id, LPARAM proc);
void ResetTimers();

// ---- Characters (key_characters.cpp) --------------------------------------------------------
// The character a press of the key makes with the key table's modifiers now, 0 for none.
int CharacterOfKey(int virtualKey);

// ---- Input events (sdl_events.cpp, or web/html5_events.cpp) --------------------------------
// Translates every pending event of the windowing system into the input queue and the key table.
void PumpEvents();
// Sleeps until an event of the windowing system is pending or `milliseconds` have passed (in the
// browser: gives the page control for that long), for GetMessage.
void WaitForEvents(int milliseconds);
int EmptyPeeks();
void ResetMessageQueues();

// ---- Input (input.cpp) -------------------------------------------------------------------
// The layer's own key table, indexed by virtual-key code. A left or right modifier code also
// moves its generic code (VK_LSHIFT moves VK_SHIFT).
void KeyEvent(int virtualKey, bool down);
// Enters an SDL key event into the key table; returns the virtual-key code its message carries
// (generic codes for modifiers), 0 for keys Windows has no code for.
int TranslateSdlKey(int32_t keycode, int scancode, bool down);
// Clears the key table, the cursor override and ShowCursor's counter.
void ResetKeyTable();
void SetCursorOverride(bool active, int x, int y);
// Modifier key codes held now, for wParam of mouse messages (MK_* bits).
WPARAM MouseKeyFlags();

// ---- Clock (clock.cpp) -------------------------------------------------------------------
void SetManualTime(DWORD milliseconds);
void AdvanceManualTime(DWORD milliseconds);
void UseRealTime();

}  // namespace kvrwin32
