// Test seams of kvrplatform, built into the kvrplatform_testing library. Tests, benchmarks and
// fuzz targets include this header and link that library; the program does neither.
//
// Everything here changes how the layer behaves for the rest of the process (or until reset),
// so a test sets what it needs and resets it in its tear-down.
#pragma once
#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvrtest {

// ---- Clock ------------------------------------------------------------------------------
// Replaces the millisecond counter that timeGetTime reads. UseRealClock goes back to it.
void SetTime(DWORD milliseconds);
void AdvanceTime(DWORD milliseconds);
void UseRealClock();

// ---- Window and input -------------------------------------------------------------------
// Desktop size reported by GetClientRect(GetDesktopWindow()) and used for new windows;
// (0, 0) goes back to the display's own size.
void SetDesktopSize(int width, int height);
// Queues a message as if the system had sent it; PeekMessageA hands it over in order,
// before any message from real events.
void PostScriptedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Overrides the key table that GetAsyncKeyState reads: down sets the top bit.
void SetKeyState(int virtualKey, bool down);
// Overrides what GetCursorPos returns until ClearCursorOverride.
void SetCursorPos(int x, int y);
void ClearCursorOverride();
// Forgets scripted, posted and quit messages, the key table, the cursor override, ShowCursor's
// counter, the empty-peek count and window classes. Windows stay: destroy them yourself.
void ResetInput();
// Number of IdleTick-style iterations is the program's business; this counts PeekMessageA
// calls that found nothing to hand over.
int EmptyPeekCount();

// ---- Files ------------------------------------------------------------------------------
// Limits of the cache of folder listings behind names in other letter case: how many names in
// all and how many folders it keeps before it starts again; a folder with more names than that
// is read again for each name. Empties the cache. (0, 0) restores the layer's own limits.
void SetFolderCacheLimits(size_t names, size_t folders);

// ---- Device -----------------------------------------------------------------------------
// CreateDevice fails for any behaviour flag in this mask (D3DCREATE_*_VERTEXPROCESSING bits).
void FailDeviceCreation(DWORD behaviorFlagsMask);
// Direct3DCreate9 returns null while set.
void FailDirect3DCreate(bool fail);
// GetDeviceCaps reports at most this MaxTextureWidth/Height (0 restores the real limit).
void SetMaxTextureSize(UINT size);
// CreateVertexBuffer fails after this many more successful creations (-1: never).
void FailVertexBufferCreationAfter(int successes);
// Lock of vertex buffers fails while set.
void FailVertexBufferLocks(bool fail);
// While set, every draw applies all of its state to GL again (no dirty bits, no GL state shadow,
// no remembered uniforms): what the shadow saves must never change a pixel.
void DisableStateShadow(bool disable);
// Restores every device seam above to normal behaviour.
void ResetDeviceSeams();

// Counters kept per device since its creation or the last ResetCounters.
struct DeviceCounters {
  uint64_t drawCalls = 0;      // DrawPrimitive calls that drew
  uint64_t primitives = 0;     // primitives in those calls
  uint64_t clears = 0;
  uint64_t presents = 0;
  uint64_t vertexBufferLocks = 0;
  uint64_t textureLocks = 0;
};
DeviceCounters GetCounters(IDirect3DDevice9* device);
void ResetCounters(IDirect3DDevice9* device);
// Locks taken on one vertex buffer or texture since its creation.
uint64_t LockCount(IDirect3DResource9* resource);
// Primitive counts of the draw calls since the last ResetCounters, in order; only the first 4096
// are kept, so the record stays bounded in a program that never resets it.
std::vector<UINT> DrawCallPrimitiveCounts(IDirect3DDevice9* device);

// ---- GDI --------------------------------------------------------------------------------
// The face file fontconfig chose for a GDI font, its names and its size in pixels; empty for a
// handle that is not a live font.
struct FontDescription {
  std::string file;
  std::string family;  // as the file names it, e.g. "Liberation Sans"
  std::string style;   // e.g. "Bold"
  int pixelsPerEm = 0;
  int ascent = 0;   // pixels of the cell above the baseline
  int descent = 0;  // pixels below it
  bool syntheticBold = false;    // the file is not bold; FreeType emboldens it
  bool syntheticItalic = false;  // likewise slanted
};
FontDescription DescribeFont(HFONT font);

// ---- Read-back --------------------------------------------------------------------------
// The back buffer as 0xAARRGGBB pixels, top row first; read before Present (the frame just drawn)
// or after it (the frame last presented).
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Image ReadBackBuffer(IDirect3DDevice9* device);
// Waits until the device has carried out everything asked of it. Without a screen, a Present
// need not wait for anything, so a benchmark that times frames calls this after each.
void FinishDrawing(IDirect3DDevice9* device);
bool WritePng(const std::string& path, const Image& image);
bool ReadPng(const std::string& path, Image& image);

}  // namespace kvrtest
