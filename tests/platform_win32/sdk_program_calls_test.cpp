// The calls small SDK-style programs make around their window: GetMessage, MessageBox with no
// desktop, the system's icons and cursors, stock objects.
#include <gtest/gtest.h>
#include <kvrplatform_testing.h>
#include <windows.h>

#include <chrono>
#include <string>

namespace {

int g_userMessages = 0;

LRESULT CALLBACK QuietProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) ++g_userMessages;
  if (m == WM_DESTROY) PostQuitMessage(5);
  return DefWindowProcA(h, m, w, l);
}

class ProgramLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    g_userMessages = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = QuietProc;
    wc.lpszClassName = "Loop";
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ASSERT_NE(RegisterClassA(&wc), 0);
    window_ = CreateWindowA("Loop", "Loop", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
    UnregisterClassA("Loop", nullptr);
    kvrtest::ResetInput();
  }
  HWND window_ = nullptr;
};

TEST_F(ProgramLoop, GetMessageHandsOverMessagesThenEndsTheLoopOnQuit) {
  PostMessageW(window_, WM_USER + 1, 0, 0);
  PostMessageA(window_, WM_CLOSE, 0, 0);
  MSG msg = {};
  int turns = 0;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0 && turns < 100) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++turns;
  }
  window_ = nullptr;  // WM_CLOSE destroyed it
  EXPECT_EQ(got, FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_EQ(g_userMessages, 1);
  // A filter naming a window that does not exist would wait for ever: -1 instead.
  EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x4242), 0, 0), -1);
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

// With no desktop (the tests run on SDL's offscreen driver) a message box is a line on standard
// error, answered at once as nobody pressing anything would: never agreeing to anything.
TEST(MessageBoxWithoutDesktop, WritesToStandardErrorAndAnswersWithoutWaiting) {
  struct Case {
    UINT type;
    int answer;
  } cases[] = {{MB_OK, IDOK},         {MB_OKCANCEL, IDCANCEL},         {MB_YESNO, IDNO},
               {MB_YESNOCANCEL, IDCANCEL}, {MB_ABORTRETRYIGNORE, IDABORT}, {MB_RETRYCANCEL, IDCANCEL}};
  const auto start = std::chrono::steady_clock::now();
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Could not find banana.bmp", "Textures", c.type | MB_ICONERROR), c.answer);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "Textures: error: Could not find banana.bmp\n");
  }
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, L"Fichier \u00ab x \u00bb introuvable", nullptr, MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Fichier \xc2\xab x \xc2\xbb introuvable\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SystemResources, TheSystemsIconsCursorsAndStockObjectsExistAndOnlyThey) {
  EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), nullptr);
  EXPECT_NE(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_WAIT));
  // A program's own resources are not supported, and a string is no system cursor.
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "arrow"), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);

  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  ASSERT_NE(black, nullptr);
  EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
  EXPECT_NE(GetStockObject(WHITE_BRUSH), black);
  EXPECT_TRUE(DeleteObject(black));  // a stock object outlives DeleteObject
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(STOCK_LAST + 1), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
}

}  // namespace
