// The Win32 helpers small SDK-style programs lean on: rectangles, code-page conversions, timers
// through the message loop, WM_CHAR, WM_SIZE, window values and window device contexts.
#include <SDL2/SDL.h>  // tests see no SDL include path of their own
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win32/window_internal.h"

namespace {

// ---- Rectangles ---------------------------------------------------------------------------

struct RectCase {
  const char* what;
  BOOL (*op)(RECT* out);
  BOOL result;
  RECT expected;
};

const RECT kA = {0, 0, 10, 10};
const RECT kB = {5, 5, 20, 15};
const RECT kFar = {30, 30, 40, 40};
const RECT kEmpty = {7, 7, 7, 20};  // no width

TEST(Rectangles, BehaveAsWindowsDefinesThem) {
  const RectCase cases[] = {
      {"SetRect", [](RECT* r) { return SetRect(r, 1, 2, 3, 4); }, TRUE, {1, 2, 3, 4}},
      {"SetRectEmpty", [](RECT* r) { return SetRectEmpty(r); }, TRUE, {0, 0, 0, 0}},
      {"CopyRect", [](RECT* r) { return CopyRect(r, &kB); }, TRUE, kB},
      {"InflateRect", [](RECT* r) { *r = kA; return InflateRect(r, 2, -3); }, TRUE, {-2, 3, 12, 7}},
      {"OffsetRect", [](RECT* r) { *r = kA; return OffsetRect(r, -4, 6); }, TRUE, {-4, 6, 6, 16}},
      {"IntersectRect overlapping", [](RECT* r) { return IntersectRect(r, &kA, &kB); }, TRUE, {5, 5, 10, 10}},
      {"IntersectRect apart", [](RECT* r) { *r = kA; return IntersectRect(r, &kA, &kFar); }, FALSE, {0, 0, 0, 0}},
      {"IntersectRect edge to edge",
       [](RECT* r) { const RECT c = {10, 0, 20, 10}; return IntersectRect(r, &kA, &c); }, FALSE, {0, 0, 0, 0}},
      {"IntersectRect with an empty one", [](RECT* r) { *r = kA; return IntersectRect(r, &kA, &kEmpty); }, FALSE,
       {0, 0, 0, 0}},
      {"IntersectRect into a source", [](RECT* r) { *r = kA; return IntersectRect(r, r, &kB); }, TRUE, {5, 5, 10, 10}},
      {"UnionRect", [](RECT* r) { return UnionRect(r, &kA, &kFar); }, TRUE, {0, 0, 40, 40}},
      {"UnionRect leaves out an empty one", [](RECT* r) { return UnionRect(r, &kEmpty, &kB); }, TRUE, kB},
      {"UnionRect of two empty ones", [](RECT* r) { *r = kA; return UnionRect(r, &kEmpty, &kEmpty); }, FALSE,
       {0, 0, 0, 0}},
      {"null destination", [](RECT*) { return IntersectRect(nullptr, &kA, &kB); }, FALSE, {9, 9, 9, 9}},
      {"null source", [](RECT* r) { return CopyRect(r, nullptr); }, FALSE, {9, 9, 9, 9}},
  };
  for (const RectCase& c : cases) {
    RECT r = {9, 9, 9, 9};
    EXPECT_EQ(c.op(&r), c.result) << c.what;
    EXPECT_TRUE(r.left == c.expected.left && r.top == c.expected.top && r.right == c.expected.right &&
                r.bottom == c.expected.bottom)
        << c.what << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(Rectangles, PointsEmptinessAndEquality) {
  // Left and top edges are inside, right and bottom outside.
  EXPECT_TRUE(PtInRect(&kA, POINT{0, 0}));
  EXPECT_FALSE(PtInRect(&kA, POINT{10, 5}));
  EXPECT_FALSE(PtInRect(&kA, POINT{5, 10}));
  EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
  const RECT inverted = {10, 10, 0, 0};
  EXPECT_TRUE(IsRectEmpty(&kEmpty));
  EXPECT_TRUE(IsRectEmpty(&inverted));
  EXPECT_TRUE(IsRectEmpty(nullptr));
  EXPECT_FALSE(IsRectEmpty(&kA));
  EXPECT_TRUE(EqualRect(&kA, &kA));
  EXPECT_FALSE(EqualRect(&kA, &kB));
  EXPECT_FALSE(EqualRect(&kA, nullptr));
}

// ---- Code pages ---------------------------------------------------------------------------

struct ToWideCase {
  const char* what;
  UINT page;
  DWORD flags;
  std::string bytes;
  int length;      // cbMultiByte: -1 for the terminated string
  int capacity;    // cchWideChar
  int result;
  std::wstring text;  // what lands in the buffer when it succeeds
  DWORD error;        // GetLastError when it fails
};

TEST(CodePages, MultiByteToWideCharKeepsTheWindowsContract) {
  const std::wstring fffd(1, wchar_t(0xFFFD));
  const ToWideCase cases[] = {
      {"terminated, null included", CP_UTF8, 0, "abc", -1, 8, 4, std::wstring(L"abc") + L'\0', 0},
      {"counted, no null", CP_UTF8, 0, "h\xC3\xA9", 3, 8, 2, L"h\u00E9", 0},
      {"the ANSI page is UTF-8", CP_ACP, MB_PRECOMPOSED, "h\xC3\xA9", 3, 8, 2, L"h\u00E9", 0},
      {"beyond the BMP, one unit", CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, 8, 1, std::wstring(1, wchar_t(0x1F600)), 0},
      {"cut sequence: one U+FFFD", CP_UTF8, 0, "\xE2\x82x", 3, 8, 2, fffd + L"x", 0},
      {"overlong: one U+FFFD a byte", CP_UTF8, 0, "\xC0\x80", 2, 8, 2, fffd + fffd, 0},
      {"encoded surrogate", CP_UTF8, 0, "\xED\xA0\x80", 3, 8, 3, fffd + fffd + fffd, 0},
      {"size asked", CP_UTF8, 0, "abcd", 4, 0, 4, L"", 0},
      {"buffer one short", CP_UTF8, 0, "abcd", 4, 3, 0, L"", ERROR_INSUFFICIENT_BUFFER},
      {"null needs room too", CP_UTF8, 0, "ab", -1, 2, 0, L"", ERROR_INSUFFICIENT_BUFFER},
      {"refusing ill-formed bytes", CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, 8, 0, L"", ERROR_NO_UNICODE_TRANSLATION},
      {"flag UTF-8 does not take", CP_UTF8, MB_PRECOMPOSED, "a", 1, 8, 0, L"", ERROR_INVALID_FLAGS},
      {"no input", CP_UTF8, 0, "a", 0, 8, 0, L"", ERROR_INVALID_PARAMETER},
      {"length below -1", CP_UTF8, 0, "a", -2, 8, 0, L"", ERROR_INVALID_PARAMETER},
  };
  for (const ToWideCase& c : cases) {
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    SetLastError(0);
    const int got = MultiByteToWideChar(c.page, c.flags, c.bytes.c_str(), c.length, c.capacity ? buffer : nullptr,
                                        c.capacity);
    EXPECT_EQ(got, c.result) << c.what;
    if (c.result > 0 && c.capacity > 0) {
      EXPECT_EQ(std::wstring(buffer, got), c.text) << c.what;
    }
    if (c.result == 0) {
      EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
  }
}

struct ToBytesCase {
  const char* what;
  UINT page;
  DWORD flags;
  std::wstring text;
  int length;
  int capacity;
  const char* defaultChar;
  int result;
  std::string bytes;
  DWORD error;
  BOOL usedDefault;
};

TEST(CodePages, WideCharToMultiByteKeepsTheWindowsContract) {
  const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
  const std::wstring lone = {L'a', wchar_t(0xD800), L'b'};
  const ToBytesCase cases[] = {
      {"terminated, null included", CP_UTF8, 0, L"h\u00E9", -1, 8, nullptr, 4, std::string("h\xC3\xA9", 3) + '\0',
       0, FALSE},
      {"a surrogate pair is joined", CP_UTF8, 0, pair, 2, 8, nullptr, 4, "\xF0\x9F\x98\x80", 0, FALSE},
      {"a lone surrogate becomes U+FFFD", CP_UTF8, 0, lone, 3, 8, nullptr, 5, "a\xEF\xBF\xBD" "b", 0, FALSE},
      {"past U+10FFFF too", CP_UTF8, 0, std::wstring(1, wchar_t(0x110000)), 1, 8, nullptr, 3, "\xEF\xBF\xBD", 0, FALSE},
      {"refusing a lone surrogate", CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, 8, nullptr, 0, "",
       ERROR_NO_UNICODE_TRANSLATION, FALSE},
      {"size asked", CP_UTF8, 0, L"\u00E9\u00E9", 2, 0, nullptr, 4, "", 0, FALSE},
      {"no half characters", CP_UTF8, 0, L"a\u00E9", 2, 2, nullptr, 0, "", ERROR_INSUFFICIENT_BUFFER, FALSE},
      {"UTF-8 takes no default character", CP_UTF8, 0, L"a", 1, 8, "?", 0, "", ERROR_INVALID_PARAMETER, FALSE},
      {"the ANSI page's default character", CP_ACP, 0, lone, 3, 8, "?", 3, "a?b", 0, TRUE},
      {"no input", CP_UTF8, 0, L"a", 0, 8, nullptr, 0, "", ERROR_INVALID_PARAMETER, FALSE},
  };
  for (const ToBytesCase& c : cases) {
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    BOOL used = 7;
    SetLastError(0);
    const int got = WideCharToMultiByte(c.page, c.flags, c.text.c_str(), c.length, c.capacity ? buffer : nullptr,
                                        c.capacity, c.defaultChar, c.page == CP_UTF8 && !c.defaultChar ? nullptr : &used);
    EXPECT_EQ(got, c.result) << c.what;
    if (c.result > 0 && c.capacity > 0) {
      EXPECT_EQ(std::string(buffer, got), c.bytes) << c.what;
    }
    if (c.result == 0) {
      EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    if (c.result > 0 && c.page != CP_UTF8) {
      EXPECT_EQ(used, c.usedDefault) << c.what;
    }
  }
}

// ---- Windows, messages and timers ---------------------------------------------------------

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK Recorder(HWND h, UINT m, WPARAM w, LPARAM l) {
  g_seen.push_back({m, w, l, timeGetTime()});
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK OtherRecorder(HWND h, UINT m, WPARAM w, LPARAM l) {
  g_seen.push_back({m + 0x10000, w, l, timeGetTime()});  // marked as seen by this procedure
  return DefWindowProcA(h, m, w, l);
}

VOID CALLBACK ThreadTimerProc(HWND, UINT message, UINT_PTR id, DWORD) {
  g_seen.push_back({message, id + 1000, 0, timeGetTime()});
}

class Win32Helpers : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    kvrtest::SetTime(1000);
    g_seen.clear();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Recorder;
    wc.lpszClassName = "Helpers";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    window_ = CreateWindowExA(0, "Helpers", "t", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    kvrtest::ResetInput();
    kvrtest::UseRealClock();
  }
  void Drain() {
    MSG m;
    for (int i = 0; i < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  std::vector<Seen> Only(UINT message) const {
    std::vector<Seen> out;
    for (const Seen& s : g_seen)
      if (s.message == message) out.push_back(s);
    return out;
  }
  HWND window_ = nullptr;
};

TEST_F(Win32Helpers, CreationTellsTheClientSizeThroughWmSize) {
  const std::vector<Seen> sizes = Only(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_EQ(sizes[0].lParam, MAKELPARAM(320, 200));
  EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_CREATE));  // after WM_CREATE
}

TEST_F(Win32Helpers, AResizedFrameTellsTheNewClientSize) {
  HWND framed = CreateWindowExA(0, "Helpers", "t", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                nullptr);
  ASSERT_NE(framed, nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(KvrSdlWindowFromHwnd(framed)) & SDL_WINDOW_RESIZABLE);
  g_seen.clear();
  SDL_SetWindowSize(KvrSdlWindowFromHwnd(framed), 500, 350);  // as the window manager would
  Drain();
  const std::vector<Seen> sizes = Only(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].lParam, MAKELPARAM(500, 350));
  RECT client, outer;
  ASSERT_TRUE(GetClientRect(framed, &client));
  ASSERT_TRUE(GetWindowRect(framed, &outer));
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(outer.right - outer.left - client.right, 300 - 292);  // the frame keeps its width
  DestroyWindow(framed);
}

TEST_F(Win32Helpers, TimersDeliverWmTimerInDueOrderThroughTheLoop) {
  EXPECT_EQ(SetTimer(window_, 7, 100, nullptr), 7u);
  EXPECT_NE(SetTimer(window_, 9, 250, nullptr), 0u);
  const UINT_PTR thread = SetTimer(nullptr, 0, 1, ThreadTimerProc);  // raised to USER_TIMER_MINIMUM
  ASSERT_NE(thread, 0u);
  g_seen.clear();
  for (int step = 0; step < 30; ++step) {  // 1000 .. 1300 ms in 10 ms steps
    kvrtest::AdvanceTime(10);
    Drain();
  }
  std::vector<std::pair<WPARAM, DWORD>> fired;
  for (const Seen& s : Only(WM_TIMER))
    if (s.wParam != thread + 1000) fired.push_back({s.wParam, s.time});
  const std::vector<std::pair<WPARAM, DWORD>> expected = {{7, 1100}, {7, 1200}, {9, 1250}, {7, 1300}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(Only(WM_TIMER).size() - fired.size(), 30u);  // the thread timer, every 10 ms, to its procedure

  // Nobody taking them for a long while: one WM_TIMER each, the longest overdue first.
  ASSERT_TRUE(KillTimer(nullptr, thread));
  kvrtest::AdvanceTime(1000);
  g_seen.clear();
  Drain();
  std::vector<WPARAM> ids;
  for (const Seen& s : Only(WM_TIMER)) ids.push_back(s.wParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{7, 9}));  // 7 was due at 1400, 9 at 1500

  ASSERT_TRUE(KillTimer(window_, 7));
  EXPECT_FALSE(KillTimer(window_, 7));
  kvrtest::AdvanceTime(5000);
  g_seen.clear();
  Drain();
  ASSERT_EQ(Only(WM_TIMER).size(), 1u);
  EXPECT_EQ(Only(WM_TIMER)[0].wParam, 9u);
}

TEST_F(Win32Helpers, APostedWmTimerCallsNoAddressItNames) {
  PostMessageA(window_, WM_TIMER, 3, reinterpret_cast<LPARAM>(&ThreadTimerProc));
  Drain();
  EXPECT_TRUE(Only(WM_TIMER).empty());
}

TEST_F(Win32Helpers, TranslateMessageMakesTheCharactersOfAUsKeyboard) {
  struct Press {
    bool shift;
    int vk;
    int character;  // 0: none
  };
  const Press presses[] = {
      {false, 'A', 'a'}, {true, 'A', 'A'},   {false, '1', '1'},          {true, '1', '!'},
      {true, VK_OEM_2, '?'}, {false, VK_SPACE, ' '}, {false, VK_RETURN, '\r'}, {false, VK_NUMPAD7, '7'},
      {false, VK_F1, 0},  {false, VK_LEFT, 0},
  };
  for (const Press& p : presses) {
    kvrtest::SetKeyState(VK_LSHIFT, p.shift);
    g_seen.clear();
    kvrtest::PostScriptedMessage(window_, WM_KEYDOWN, static_cast<WPARAM>(p.vk), 1);
    Drain();
    const std::vector<Seen> chars = Only(WM_CHAR);
    if (p.character == 0) {
      EXPECT_TRUE(chars.empty()) << p.vk;
    } else {
      ASSERT_EQ(chars.size(), 1u) << p.vk;
      EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(p.character)) << p.vk;
      EXPECT_EQ(chars[0].lParam, 1);  // the key message's repeat count and bits
    }
  }
  kvrtest::SetKeyState(VK_LSHIFT, false);
  // Caps Lock on: letters turn upper case, Shift turns them back.
  kvrtest::SetKeyState(VK_CAPITAL, true);
  kvrtest::SetKeyState(VK_CAPITAL, false);
  BYTE keys[256];
  ASSERT_TRUE(GetKeyboardState(keys));
  EXPECT_EQ(keys[VK_CAPITAL], 1);  // toggled, not down
  g_seen.clear();
  kvrtest::PostScriptedMessage(window_, WM_KEYDOWN, 'Q', 1);
  Drain();
  ASSERT_EQ(Only(WM_CHAR).size(), 1u);
  EXPECT_EQ(Only(WM_CHAR)[0].wParam, static_cast<WPARAM>('Q'));
}

TEST_F(Win32Helpers, WindowValuesAndDeviceContexts) {
  EXPECT_EQ(GetWindowLongPtrA(window_, GWLP_USERDATA), 0);
  EXPECT_EQ(SetWindowLongPtrA(window_, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtrW(window_, GWLP_USERDATA), 1234);
  const LONG_PTR old = SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherRecorder));
  EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(&Recorder));
  g_seen.clear();
  PostMessageA(window_, WM_USER, 0, 0);
  Drain();
  ASSERT_EQ(g_seen.size(), 1u);
  EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_USER + 0x10000));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(reinterpret_cast<HWND>(0x99990), GWLP_USERDATA), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));

  HDC dc = GetDC(window_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_FALSE(DeleteDC(dc));            // a window's context goes back through ReleaseDC
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);  // ... with its own window
  EXPECT_EQ(ReleaseDC(window_, dc), 1);
  EXPECT_EQ(ReleaseDC(window_, dc), 0);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x99990)), nullptr);

  POINT p = {50, 60};
  ASSERT_TRUE(ClientToScreen(window_, &p));
  ASSERT_TRUE(ScreenToClient(window_, &p));
  EXPECT_TRUE(p.x == 50 && p.y == 60);
  EXPECT_TRUE(SetWindowTextA(window_, "new title"));
  EXPECT_FALSE(SetWindowTextW(reinterpret_cast<HWND>(0x99990), L"x"));
}

}  // namespace
