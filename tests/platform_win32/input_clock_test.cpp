// The key table behind GetAsyncKeyState, key and mouse messages from SDL events, the cursor and
// the millisecond clock.
#include <SDL2/SDL.h>  // tests see no SDL include path of their own
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <mmsystem.h>
#include <windows.h>

#include <vector>

#include "win32/window_internal.h"

namespace {

class Win32Input : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "input";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    hwnd_ = CreateWindowExA(0, "input", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    id_ = SDL_GetWindowID(KvrSdlWindowFromHwnd(hwnd_));
  }
  void TearDown() override {
    DestroyWindow(hwnd_);
    kvrtest::ResetInput();
    kvrtest::UseRealClock();
  }
  void Key(SDL_Scancode sc, SDL_Keycode sym, bool down, bool repeat = false) {
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = id_;
    e.key.repeat = repeat;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = sym;
    SDL_PushEvent(&e);
  }
  void Button(Uint8 button, bool down, int x, int y) {
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = id_;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
  }
  void Motion(int x, int y) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id_;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
  }
  std::vector<MSG> Messages() {
    std::vector<MSG> out;
    MSG m;
    while (out.size() < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) out.push_back(m);
    return out;
  }
  HWND hwnd_ = nullptr;
  Uint32 id_ = 0;
};

TEST_F(Win32Input, ATapBetweenTwoPollsIsSeenOnceThroughTheLowBit) {
  Key(SDL_SCANCODE_T, SDLK_t, true);
  Key(SDL_SCANCODE_T, SDLK_t, false);
  Messages();
  EXPECT_EQ(GetAsyncKeyState('T') & 0xFFFF, 0x0001);
  EXPECT_EQ(GetAsyncKeyState('T'), 0);
}

TEST_F(Win32Input, AHeldKeyKeepsTheTopBitAndRepeatsAsKeyDownMessages) {
  Key(SDL_SCANCODE_UP, SDLK_UP, true);
  Key(SDL_SCANCODE_UP, SDLK_UP, true, true);
  Key(SDL_SCANCODE_UP, SDLK_UP, true, true);
  std::vector<MSG> got = Messages();
  ASSERT_EQ(got.size(), 3u);
  for (const MSG& m : got) {
    EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_UP));
    EXPECT_EQ(m.hwnd, hwnd_);
  }
  EXPECT_EQ(got[0].lParam & (1 << 30), 0);  // first press: the key was up before
  EXPECT_NE(got[1].lParam & (1 << 30), 0);
  EXPECT_EQ(GetAsyncKeyState(VK_UP) & 0xFFFF, 0x8001);
  EXPECT_EQ(GetAsyncKeyState(VK_UP) & 0xFFFF, 0x8000);  // repeats are no new press
  Key(SDL_SCANCODE_UP, SDLK_UP, false);
  got = Messages();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(GetAsyncKeyState(VK_UP), 0);
}

TEST_F(Win32Input, KeysCarryWindowsVirtualKeyCodes) {
  struct Case {
    SDL_Scancode sc;
    SDL_Keycode sym;
    WPARAM vk;
  } cases[] = {
      {SDL_SCANCODE_A, SDLK_a, 'A'},         {SDL_SCANCODE_R, SDLK_r, 'R'},
      {SDL_SCANCODE_7, SDLK_7, '7'},         {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE},
      {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD}, {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT},
      {SDL_SCANCODE_HOME, SDLK_HOME, VK_HOME}, {SDL_SCANCODE_END, SDLK_END, VK_END},
      {SDL_SCANCODE_INSERT, SDLK_INSERT, VK_INSERT}, {SDL_SCANCODE_DELETE, SDLK_DELETE, VK_DELETE},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT}, {SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_SHIFT},
      // A layout that prints Q where a US keyboard has A: the letter decides, as on Windows.
      {SDL_SCANCODE_A, SDLK_q, 'Q'},
  };
  for (const Case& c : cases) {
    Key(c.sc, c.sym, true);
    Key(c.sc, c.sym, false);
  }
  std::vector<MSG> got = Messages();
  ASSERT_EQ(got.size(), 2 * std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(got[2 * i].wParam, cases[i].vk) << "case " << i;
    EXPECT_EQ(got[2 * i + 1].message, static_cast<UINT>(WM_KEYUP)) << "case " << i;
  }
}

TEST_F(Win32Input, MouseButtonsAndMovesBecomeClientMessagesAndKeyStates) {
  Button(SDL_BUTTON_LEFT, true, 12, 758);
  Motion(20, 30);
  Motion(21, 31);  // a newer move replaces the one still waiting
  Button(SDL_BUTTON_RIGHT, true, 21, 31);
  std::vector<MSG> got = Messages();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(got[0].lParam, MAKELPARAM(12, 758));
  EXPECT_EQ(got[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(got[1].lParam, MAKELPARAM(21, 31));
  EXPECT_EQ(got[2].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_LT(GetAsyncKeyState(VK_RBUTTON), 0);
}

TEST_F(Win32Input, SeamsOverrideKeysAndCursorUntilReset) {
  kvrtest::SetKeyState(VK_END, true);
  EXPECT_EQ(GetAsyncKeyState(VK_END) & 0x8000, 0x8000);
  kvrtest::SetCursorPos(1023, 0);
  POINT p = {};
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 1023);
  EXPECT_EQ(p.y, 0);
  kvrtest::ResetInput();
  EXPECT_EQ(GetAsyncKeyState(VK_END), 0);
  // Headless there is no pointer to ask: it rests mid-desktop, away from the screen's edges.
  kvrtest::SetDesktopSize(1280, 1024);
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 640);
  EXPECT_EQ(p.y, 512);
  kvrtest::SetDesktopSize(0, 0);
}

TEST_F(Win32Input, ShowCursorCountsLikeWindows) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(Win32Clock, TheTestClockIsSetAdvancedAndWrapsAt32Bits) {
  kvrtest::SetTime(1000);
  EXPECT_EQ(timeGetTime(), 1000u);
  EXPECT_EQ(timeGetTime(), 1000u);  // frozen until advanced
  kvrtest::AdvanceTime(100);
  EXPECT_EQ(timeGetTime(), 1100u);
  kvrtest::SetTime(0xFFFFFFF0u);
  kvrtest::AdvanceTime(0x20);
  EXPECT_EQ(timeGetTime(), 0x10u);
  // Wrapped differences still give the elapsed time, as programs compute it.
  EXPECT_EQ(timeGetTime() - 0xFFFFFFF0u, 0x20u);
  kvrtest::UseRealClock();
  DWORD a = timeGetTime();
  SDL_Delay(5);
  DWORD b = timeGetTime();
  EXPECT_GE(b - a, 4u);
  EXPECT_LT(b - a, 5000u);
}

}  // namespace
