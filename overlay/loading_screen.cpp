// The loading screen: the stage lines so far, redrawn and presented for each new one.
#include "overlay/loading_screen.h"

#include <d3d9.h>

#include <string>

#include "base/device.h"
#include "overlay/bitmap_font.h"

namespace {

// The load sequence sends at most ten messages: the start line and one per category pair.
const int32_t kLoadingSlots = 10;
const int32_t kLeft = 400;
const int32_t kTop = 300;
const int32_t kLineHeight = 20;

const char kHomePage[] = "http://www.kvrview.org";
const char kIssuesPage[] = "http://www.kvrview.org/issues";

// Messages are kept whole; a message past the tenth is not recorded, the list already reaches the
// bottom of its space, but the screen is still redrawn.
std::string loadingLines[kLoadingSlots];
int32_t loadingLineCount = 0;

}  // namespace

void ShowLoadingLine(const char* message) {
  if (loadingLineCount < kLoadingSlots) loadingLines[loadingLineCount++] = message ? message : "";
  if (!g_pd3dDevice) return;

  g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    for (int32_t i = 0; i < loadingLineCount; ++i)
      DrawTextYellow(kLeft, kTop + kLineHeight * i, loadingLines[i].c_str());
    DrawTextRgb(kLeft, 700, kHomePage, 255, 0, 0);
    DrawTextRgb(kLeft, 720, kIssuesPage, 255, 0, 0);
    g_pd3dDevice->EndScene();
  }
  // A failed BeginScene still presents the cleared frame.
  g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void ResetLoadingScreen() {
  for (std::string& line : loadingLines) line.clear();
  loadingLineCount = 0;
}
