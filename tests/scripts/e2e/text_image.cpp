// Draws one line of text with the viewer's bitmap font, white on a background (black unless R G B
// are given), into a PNG: the picture an end-to-end script looks for on a screenshot.
// Usage: kvr_text_image TEXT OUT.png [R G B]
#include <kvrplatform_testing.h>

#include <cstdio>
#include <cstdlib>

#include "base/device.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"
#include "test_support.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 6) {
    std::fputs("usage: kvr_text_image TEXT OUT.png [R G B]\n", stderr);
    return 2;
  }
  D3DCOLOR background = 0xFF000000;
  if (argc == 6)
    background = D3DCOLOR_ARGB(255, std::atoi(argv[3]) & 255, std::atoi(argv[4]) & 255, std::atoi(argv[5]) & 255);
  auto device = testsupport::CreateTestDevice(1024, 64);
  if (!device) return 1;
  g_pd3dDevice = device->device;
  CreateScreenFont();
  g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
  g_pd3dDevice->BeginScene();
  DrawTextRgb(8, 8, argv[1], 255, 255, 255);
  g_pd3dDevice->EndScene();
  const bool written = kvrtest::WritePng(argv[2], kvrtest::ReadBackBuffer(g_pd3dDevice));
  ReleaseDeviceResources();
  g_pd3dDevice = nullptr;
  return written ? 0 : 1;
}
