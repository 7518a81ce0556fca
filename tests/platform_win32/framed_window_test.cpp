// Windows with frames, as small SDK-style programs make them: the client area a window of a given
// size gets, AdjustWindowRectEx's frames, and the W functions. The numbers are those measured
// under Wine with a 1024 x 768 screen, so both builds of a program get the same back buffer.
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Created {
  bool wide = false;
  std::wstring title;
  std::string narrowTitle;
  int cx = 0, cy = 0;
};
std::vector<Created> g_created;
int g_paints = 0;

LRESULT CALLBACK NarrowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(l);
    g_created.push_back({false, L"", cs->lpszName ? cs->lpszName : "", cs->cx, cs->cy});
  }
  if (m == WM_PAINT) ++g_paints;
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK WideProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(l);
    g_created.push_back({true, cs->lpszName ? cs->lpszName : L"", "", cs->cx, cs->cy});
  }
  if (m == WM_PAINT) {
    ++g_paints;
    ValidateRect(h, nullptr);
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

class FramedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    kvrtest::SetDesktopSize(1024, 768);
    g_created.clear();
    g_paints = 0;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = NarrowProc;
    wc.lpszClassName = "Framed";
    ASSERT_NE(RegisterClassExA(&wc), 0);
  }
  void TearDown() override {
    for (HWND h : windows_) DestroyWindow(h);
    UnregisterClassA("Framed", nullptr);
    kvrtest::SetDesktopSize(0, 0);
  }
  HWND Make(DWORD style, int x, int y, int w, int h, DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExA(exStyle, "Framed", "Framed window", style, x, y, w, h, nullptr, nullptr, nullptr,
                                nullptr);
    if (hwnd) windows_.push_back(hwnd);
    return hwnd;
  }
  static RECT Client(HWND h) {
    RECT r = {-1, -1, -1, -1};
    GetClientRect(h, &r);
    return r;
  }
  std::vector<HWND> windows_;
};

// Style, extended style, menu, and the window rectangle Wine gives a 300 x 300 client area.
struct FrameCase {
  DWORD style, exStyle;
  BOOL menu;
  RECT expected;
};

TEST_F(FramedWindows, AdjustWindowRectExGrowsTheClientAreaByWinesFrames) {
  const FrameCase cases[] = {
      {WS_OVERLAPPEDWINDOW, 0, FALSE, {-4, -23, 304, 304}},
      {WS_OVERLAPPEDWINDOW, 0, TRUE, {-4, -42, 304, 304}},
      {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, FALSE, {-6, -25, 306, 306}},
      {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, FALSE, {-4, -20, 304, 304}},
      {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, FALSE, {-3, -22, 303, 303}},
      {WS_POPUP, 0, FALSE, {0, 0, 300, 300}},
      {WS_POPUP | WS_BORDER, 0, FALSE, {-1, -1, 301, 301}},
      {WS_POPUP, WS_EX_DLGMODALFRAME, FALSE, {-3, -3, 303, 303}},
      {WS_THICKFRAME, 0, FALSE, {-3, -3, 303, 303}},
      {WS_THICKFRAME, WS_EX_DLGMODALFRAME, FALSE, {-4, -4, 304, 304}},
      {WS_DLGFRAME, WS_EX_CLIENTEDGE, TRUE, {-5, -24, 305, 305}},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "style " << c.style << " ex " << c.exStyle << " menu " << c.menu);
    RECT r = {0, 0, 300, 300};
    ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, c.menu, c.exStyle));
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
  }
  RECT r = {0, 0, 300, 300};
  ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
  EXPECT_EQ(r.top, -23);
  EXPECT_FALSE(AdjustWindowRectEx(nullptr, WS_OVERLAPPEDWINDOW, FALSE, 0));
}

TEST_F(FramedWindows, AnOverlappedWindowsClientAreaIsItsSizeLessTheFrame) {
  HWND w = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 300);
  ASSERT_NE(w, nullptr);
  RECT client = Client(w);
  EXPECT_EQ(client.right, 292);
  EXPECT_EQ(client.bottom, 273);
  RECT outer = {};
  ASSERT_TRUE(GetWindowRect(w, &outer));
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 100);
  EXPECT_EQ(outer.right, 400);
  EXPECT_EQ(outer.bottom, 400);
  ASSERT_EQ(g_created.size(), 1u);
  EXPECT_EQ(g_created[0].cx, 300);  // WM_CREATE sees the size asked for, frame included
  // A window sized with AdjustWindowRect gets exactly the client area it asked for.
  RECT wanted = {0, 0, 256, 256};
  AdjustWindowRect(&wanted, WS_OVERLAPPEDWINDOW, FALSE);
  HWND exact = Make(WS_OVERLAPPEDWINDOW, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top);
  client = Client(exact);
  EXPECT_EQ(client.right, 256);
  EXPECT_EQ(client.bottom, 256);
  // A plain popup window has no frame: all of it is client area, as before.
  client = Client(Make(WS_POPUP, 0, 0, 320, 200));
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
}

TEST_F(FramedWindows, OverlappedWindowsTakeTheDefaultSizeAndStayWithinTheTrackingSizes) {
  // Left to the system: three quarters of the screen each way (768 x 576 on 1024 x 768).
  RECT client = Client(Make(WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT));
  EXPECT_EQ(client.right, 760);
  EXPECT_EQ(client.bottom, 549);
  // Larger than the screen and its frame: cut to the largest tracking size.
  client = Client(Make(WS_OVERLAPPEDWINDOW, 0, 0, 2000, 2000));
  EXPECT_EQ(client.right, 1028);
  EXPECT_EQ(client.bottom, 753);
  EXPECT_EQ(GetSystemMetrics(SM_CXMAXTRACK), 1036);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  // An overlapped window always has a caption, even when its style leaves it out.
  client = Client(Make(WS_OVERLAPPED, 0, 0, 300, 300));
  EXPECT_EQ(client.right, 294);
  EXPECT_EQ(client.bottom, 275);
}

TEST_F(FramedWindows, ShowWindowSaysWhatWasShownAndUpdateWindowPaintsOnlyWhenNeeded) {
  HWND w = Make(WS_OVERLAPPEDWINDOW, 0, 0, 200, 200);
  EXPECT_FALSE(ShowWindow(w, SW_SHOWDEFAULT));  // was hidden
  EXPECT_TRUE(ShowWindow(w, SW_SHOW));          // was shown
  ASSERT_TRUE(UpdateWindow(w));
  EXPECT_EQ(g_paints, 1);  // DefWindowProcA validated it
  ASSERT_TRUE(UpdateWindow(w));
  EXPECT_EQ(g_paints, 1);
  EXPECT_TRUE(ShowWindow(w, SW_HIDE));
  EXPECT_FALSE(UpdateWindow(reinterpret_cast<HWND>(0x7777)));
}

TEST_F(FramedWindows, WideClassesAndWindowsKeepTheirTextForTheWideProcedure) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WideProc;
  wc.lpszClassName = L"Fen\u00eatre";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  const wchar_t* title = L"\u00c9tape \u2461";
  HWND w = CreateWindowExW(0, L"FEN\u00eaTRE", title, WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  windows_.push_back(w);
  ASSERT_EQ(g_created.size(), 1u);
  EXPECT_TRUE(g_created[0].wide);
  EXPECT_EQ(g_created[0].title, title);
  // The same class under its UTF-8 name; it stays while it has a window.
  EXPECT_FALSE(UnregisterClassA("Fen\xc3\xaatre", nullptr));
  DestroyWindow(w);
  windows_.clear();
  EXPECT_TRUE(UnregisterClassW(L"Fen\u00eatre", nullptr));
  EXPECT_FALSE(UnregisterClassW(L"Fen\u00eatre", nullptr));
}

}  // namespace
