// The message queue, the window procedure's default handling, windows and the desktop.
#include <SDL2/SDL.h>  // tests see no SDL include path of their own
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <vector>

#include "win32/window_internal.h"

namespace {

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  g_seen.push_back({h, m, w});
  if (m == WM_DESTROY) PostQuitMessage(7);
  return DefWindowProcA(h, m, w, l);
}

std::vector<UINT> MessagesOf(UINT message) {
  std::vector<UINT> out;
  for (const Seen& s : g_seen)
    if (s.message == message) out.push_back(s.message);
  return out;
}

class Win32MessageQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    kvrtest::SetDesktopSize(0, 0);
    g_seen.clear();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Recorder";
    ASSERT_NE(RegisterClassExA(&wc), 0);
  }
  void TearDown() override {
    for (HWND h : windows_) DestroyWindow(h);
    kvrtest::ResetInput();
  }
  HWND MakeWindow(DWORD style = WS_POPUP) {
    HWND h = CreateWindowExA(WS_EX_TOPMOST, "recorder", "Title", style, 0, 0, 320, 200, GetDesktopWindow(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    if (h) windows_.push_back(h);
    return h;
  }
  // Every message waiting now, dispatched the way a program's loop does.
  std::vector<MSG> Drain() {
    std::vector<MSG> out;
    MSG m;
    while (out.size() < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      out.push_back(m);
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    return out;
  }
  std::vector<HWND> windows_;
};

TEST_F(Win32MessageQueue, ScriptedMessagesComeFirstThenPostedThenQuit) {
  HWND w = MakeWindow();
  ASSERT_NE(w, nullptr);
  PostQuitMessage(3);
  // Keys that make no character, so TranslateMessage posts nothing in between.
  PostMessageA(w, WM_KEYDOWN, VK_F3, 0);
  kvrtest::PostScriptedMessage(w, WM_KEYDOWN, VK_F2, 0);
  kvrtest::PostScriptedMessage(w, WM_KEYUP, VK_F2, 0);

  std::vector<MSG> got = Drain();
  ASSERT_GE(got.size(), 4u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(VK_F2));
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(got[2].wParam, static_cast<WPARAM>(VK_F3));
  EXPECT_EQ(got[3].message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(got[3].wParam, 3u);
  EXPECT_EQ(got[3].hwnd, nullptr);
  // The quit message went to no window procedure; the other three did.
  EXPECT_EQ(g_seen.size() - MessagesOf(WM_CREATE).size() - MessagesOf(WM_SIZE).size(), 3u);
  EXPECT_TRUE(MessagesOf(WM_QUIT).empty());
}

TEST_F(Win32MessageQueue, PeekingWithoutRemovingLeavesTheMessageAndEmptyPeeksAreCounted) {
  HWND w = MakeWindow();
  kvrtest::PostScriptedMessage(w, WM_KEYDOWN, VK_ESCAPE, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_ESCAPE));
  EXPECT_EQ(kvrtest::EmptyPeekCount(), 0);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(kvrtest::EmptyPeekCount(), 2);
}

TEST_F(Win32MessageQueue, CloseThroughTheDefaultProcedureDestroysTheWindowOnce) {
  HWND w = MakeWindow();
  kvrtest::PostScriptedMessage(w, WM_CLOSE, 0, 0);
  std::vector<MSG> got = Drain();
  EXPECT_EQ(MessagesOf(WM_CLOSE).size(), 1u);
  EXPECT_EQ(MessagesOf(WM_DESTROY).size(), 1u);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back().message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(got.back().wParam, 7u);
  RECT r;
  EXPECT_FALSE(GetClientRect(w, &r));
  EXPECT_FALSE(DestroyWindow(w));
  // Nothing addressed to the dead window reaches a procedure any more.
  g_seen.clear();
  EXPECT_FALSE(PostMessageA(w, WM_KEYDOWN, 'A', 0));
  kvrtest::PostScriptedMessage(w, WM_KEYDOWN, 'A', 0);
  Drain();
  EXPECT_TRUE(g_seen.empty());
}

TEST_F(Win32MessageQueue, WindowManagerCloseAndAltF4EndInDestroy) {
  HWND w = MakeWindow();
  SDL_Event e = {};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  e.window.windowID = SDL_GetWindowID(KvrSdlWindowFromHwnd(w));
  SDL_PushEvent(&e);
  Drain();
  EXPECT_EQ(MessagesOf(WM_DESTROY).size(), 1u);

  g_seen.clear();
  HWND v = MakeWindow();
  SDL_Event k = {};
  k.type = SDL_KEYDOWN;
  k.key.windowID = SDL_GetWindowID(KvrSdlWindowFromHwnd(v));
  k.key.keysym.scancode = SDL_SCANCODE_F4;
  k.key.keysym.sym = SDLK_F4;
  k.key.keysym.mod = KMOD_LALT;
  SDL_PushEvent(&k);
  Drain();
  EXPECT_EQ(MessagesOf(WM_SYSKEYDOWN).size(), 1u);
  EXPECT_EQ(MessagesOf(WM_CLOSE).size(), 1u);
  EXPECT_EQ(MessagesOf(WM_DESTROY).size(), 1u);
}

TEST_F(Win32MessageQueue, AVisibleWindowIsPaintedUntilValidated) {
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, w);
  // Taking WM_PAINT off the queue does not validate the window...
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  // ...ValidateRect (or the default procedure's WM_PAINT) does.
  EXPECT_TRUE(ValidateRect(w, nullptr));
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) EXPECT_NE(m.message, static_cast<UINT>(WM_PAINT));
  SDL_Event e = {};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_EXPOSED;
  e.window.windowID = SDL_GetWindowID(KvrSdlWindowFromHwnd(w));
  SDL_PushEvent(&e);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(Win32MessageQueue, WindowsHaveTheirSizeAndTheDesktopHonoursItsOverride) {
  RECT r;
  ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_GT(r.right, 0);  // a real size even without a display to ask
  EXPECT_GT(r.bottom, 0);
  kvrtest::SetDesktopSize(1280, 1024);
  ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &r));
  EXPECT_EQ(r.right, 1280);
  EXPECT_EQ(r.bottom, 1024);

  HWND w = MakeWindow();
  ASSERT_TRUE(GetClientRect(w, &r));
  EXPECT_EQ(r.right, 320);
  EXPECT_EQ(r.bottom, 200);
  SDL_Window* sdl = KvrSdlWindowFromHwnd(w);
  ASSERT_NE(sdl, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Title");
  Uint32 flags = SDL_GetWindowFlags(sdl);
  EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
  EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
  EXPECT_EQ(KvrSdlWindowFromHwnd(GetDesktopWindow()), nullptr);
}

TEST_F(Win32MessageQueue, ClassesAreUniqueByNameInAnyCaseAndOutliveNoWindow) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "RECORDER";
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(CreateWindowExA(0, "No Such Class", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  HWND w = MakeWindow();
  EXPECT_FALSE(UnregisterClassA("Recorder", GetModuleHandleA(nullptr)));  // it has a window
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("Recorder", GetModuleHandleA(nullptr)));
  EXPECT_FALSE(UnregisterClassA("Recorder", GetModuleHandleA(nullptr)));
}

TEST_F(Win32MessageQueue, ADeviceReferenceKeepsTheDrawableAfterDestroyWindow) {
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE);
  SDL_Window* sdl = KvrSdlWindowFromHwnd(w);
  KvrRetainWindow(w);
  DestroyWindow(w);
  EXPECT_EQ(KvrSdlWindowFromHwnd(w), sdl);
  EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN);
  KvrReleaseWindow(w);
  EXPECT_EQ(KvrSdlWindowFromHwnd(w), nullptr);
}

}  // namespace
