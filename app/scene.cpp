// The scene: loading the data set behind the loading screen, then the first selection and transforms.
#include "app/scene.h"

#include <d3dx9.h>
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "app/camera.h"
#include "app/model_panel.h"
#include "app/viewer_state.h"
#include "base/device.h"
#include "base/error_log.h"
#include "base/load_bounds.h"
#include "data/data_set.h"
#include "data/live_reload.h"
#include "data/load_sequence.h"
#include "model/model_catalogue.h"
#include "overlay/bitmap_font.h"
#include "overlay/loading_screen.h"
#include "overlay/overlays.h"

namespace {

const float kNearPlane = 10.0f;
const float kFarPlane = 2000.0f;

// How often the window's messages are handled while the data set loads.
const DWORD kLoadPumpMilliseconds = 30;
DWORD lastLoadPump = 0;

// While the data set loads, the window keeps answering: its waiting messages are handled every few
// tens of milliseconds. Escape (or a request to close) gives the load up, and the program ends as
// soon as the load has stopped; other keys and clicks meant for the viewer are dropped, since
// nothing is on screen to act on yet.
bool PumpWhileLoading() {
  const DWORD now = timeGetTime();
  if (now - lastLoadPump < kLoadPumpMilliseconds) return true;
  lastLoadPump = now;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    const bool escape = message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE;
    if (escape || message.message == WM_QUIT) {
      ErrorLog::Write("Loading given up");
      PostQuitMessage(0);
      return false;
    }
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    if (input) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

// The start-up manifest and its categories, the window answering meanwhile.
bool ReadStartUpManifestAnswering() {
  lastLoadPump = timeGetTime();
  KeepLoading = PumpWhileLoading;
  const bool read = ReadStartUpManifest(ShowLoadingLine);
  KeepLoading = nullptr;
  return read;
}

}  // namespace

void LoadDataSet() {
  ResetLoadingScreen();
  CreateScreenFont();
  ShowLoadingLine("Brennick starting up");
  // Discards whatever the device creation wrote: the log of a run starts with its data set.
  ErrorLog::Start();
  CreateCursor();
  ResetCamera();
  CreateAxes();
  // The frame names the missing manifest on screen; the load has already logged it.
  viewerState.startUpManifestMissing = !ReadStartUpManifestAnswering();
}

void ReloadDataSet() {
  ViewerState& s = viewerState;
  const char* shown = s.displayedModel != -1 ? NameAt(s.selectedIndex) : nullptr;
  const std::string selected = shown ? shown : "";

  ReleaseDataSet();
  ResetLoadingScreen();
  ShowLoadingLine("Reloading the data set");
  ErrorLog::Write("Reloading the data set");
  s.startUpManifestMissing = !ReadStartUpManifestAnswering();
  StartWatchingDataSet();

  ListModelsOfCategory(s.nameList, s.currentCategory);
  int32_t position = 0;
  for (size_t i = 0; i < s.nameList.size(); ++i) {
    if (s.nameList[i] == selected) {
      position = static_cast<int32_t>(i);
      break;
    }
  }
  SelectListEntry(position);
  if (s.firstRow > LastFirstRow()) s.firstRow = LastFirstRow();
  if (s.selectedIndex < s.firstRow || s.selectedIndex >= s.firstRow + kModelPanelRows)
    s.firstRow = s.selectedIndex < LastFirstRow() ? s.selectedIndex : LastFirstRow();
  s.clickPending = false;
}

void SetupScene() {
  LoadDataSet();
  StartWatchingDataSet();

  SetColorBar(viewerState.sliderRed, 0);
  SetColorBar(viewerState.sliderGreen, 1);
  SetColorBar(viewerState.sliderBlue, 2);

  ListModelsOfCategory(viewerState.nameList, viewerState.currentCategory);
  viewerState.displayedModel = -1;
  if (viewerState.selectedIndex >= 0 &&
      static_cast<size_t>(viewerState.selectedIndex) < viewerState.nameList.size())
    viewerState.displayedModel = FindModelByName(viewerState.nameList[viewerState.selectedIndex].c_str());

  viewerState.leftHeld = false;
  viewerState.rightHeld = false;
  viewerState.clickPending = false;

  if (!g_pd3dDevice) return;

  D3DMATERIAL9 material = {};
  material.Diffuse = {0.1f, 0.1f, 0.1f, 0.0f};
  material.Ambient = {0.1f, 0.1f, 0.1f, 0.0f};
  g_pd3dDevice->SetMaterial(&material);

  RECT desktop = {};
  GetClientRect(GetDesktopWindow(), &desktop);
  float aspect = 1.0f;
  if (desktop.right > 0 && desktop.bottom > 0)
    aspect = 1.0f / (static_cast<float>(desktop.bottom) / static_cast<float>(desktop.right));
  D3DXMATRIX projection;
  D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, aspect, kNearPlane, kFarPlane);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &projection);

  ApplyView();

  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
}
