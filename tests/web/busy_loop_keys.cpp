// A program whose message loop only peeks: it draws nothing and never waits. It ends once it has
// been typed "ok" (WM_CHAR from TranslateMessage): with 42 when its 50 ms timer's WM_TIMER came
// before, 41 when not. In the browser, the page's keys reach it only if the loop gives the page
// its turn by itself.
#include <windows.h>

namespace {

int g_timers = 0;
char g_typed[3] = {};
int g_count = 0;

LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      ++g_timers;
      return 0;
    case WM_CHAR:
      if (g_count < 2) g_typed[g_count++] = static_cast<char>(wParam);
      if (g_count == 2 && g_typed[0] == 'o' && g_typed[1] == 'k') PostQuitMessage(g_timers > 0 ? 42 : 41);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProc(hWnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int) {
  WNDCLASSEXA wc = {sizeof(wc), 0, Proc, 0, 0, hInst, NULL, NULL, NULL, NULL, "BusyLoop", NULL};
  RegisterClassExA(&wc);
  HWND hWnd = CreateWindowExA(0, "BusyLoop", "Type ok", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL,
                              NULL, hInst, NULL);
  SetTimer(hWnd, 1, 50, NULL);
  MSG msg = {};
  while (msg.message != WM_QUIT) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
