// The headless commands' device.
#include "app/headless.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/device.h"
#include "base/error_log.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

namespace {

const char kClassName[] = "Kvr MMORTS headless";
HWND window = nullptr;

void DropLine(const std::string&) {}

}  // namespace

bool StartHeadless(int32_t width, int32_t height) {
  ErrorLog::Divert(DropLine);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_GLOBALCLASS;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);
  // Never shown: the device draws into its back buffer, which is read back, never presented.
  window = CreateWindowExA(0, kClassName, "kvrview", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           instance, nullptr);
  if (!window || FAILED(InitD3D(window))) {
    std::fputs("kvrview: no Direct3D device could be made\n", stderr);
    StopHeadless();
    return false;
  }
  CreateScreenFont();
  CreateAxes();  // also the colour bars' buffer
  return true;
}

void StopHeadless() {
  ShutdownGraphics();
  if (window) DestroyWindow(window);
  window = nullptr;
  UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
  ErrorLog::Divert(nullptr);
}
