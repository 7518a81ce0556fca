#include "app/device.h"

#include <d3dx9.h>

#include "app/error_log.h"
#include "app/input.h"
#include "app/viewer_state.h"
#include "data/load_sequence.h"
#include "data/model_catalogue.h"
#include "overlay/overlays.h"

IDirect3D9* g_pD3D = nullptr;
IDirect3DDevice9* g_pd3dDevice = nullptr;
Camera camera = {};

namespace {

// Filled once before the first attempt; the fall-backs pass the same record again.
D3DPRESENT_PARAMETERS presentParameters;

struct DeviceAttempt {
  DWORD behaviorFlags;
  const char* failureMessage;
};
const DeviceAttempt kDeviceAttempts[] = {
    {D3DCREATE_HARDWARE_VERTEXPROCESSING, "Failed to create the D3D Hardware Device "},
    {D3DCREATE_MIXED_VERTEXPROCESSING, "Failed to create the D3D Mixed Device "},
    {D3DCREATE_SOFTWARE_VERTEXPROCESSING, "Failed to create the D3D Software Device "},
};

const float kFieldOfView = 0.3926991f;  // pi / 8: 22.5 degrees vertically
const float kNearPlane = 10.0f;
const float kFarPlane = 2000.0f;

}  // namespace

HRESULT InitD3D(HWND hWnd) {
  g_pD3D = Direct3DCreate9(31);
  if (!g_pD3D) {
    ErrorLog::Write("Failed to create the D3D Object ");
    return E_FAIL;
  }

  presentParameters = D3DPRESENT_PARAMETERS();
  presentParameters.BackBufferWidth = 0;  // the window's client area: the desktop
  presentParameters.BackBufferHeight = 0;
  presentParameters.BackBufferFormat = D3DFMT_UNKNOWN;
  presentParameters.BackBufferCount = 0;
  presentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  presentParameters.MultiSampleQuality = 0;
  presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  presentParameters.hDeviceWindow = nullptr;
  presentParameters.Windowed = TRUE;  // the full-screen look comes from the top-most popup window
  presentParameters.EnableAutoDepthStencil = TRUE;
  presentParameters.AutoDepthStencilFormat = D3DFMT_D16;
  presentParameters.Flags = 0;
  presentParameters.FullScreen_RefreshRateInHz = 0;
  presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

  // Always the hardware device type; only the vertex processing falls back.
  for (const DeviceAttempt& attempt : kDeviceAttempts) {
    HRESULT hr = g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, attempt.behaviorFlags,
                                      &presentParameters, &g_pd3dDevice);
    if (SUCCEEDED(hr)) return 0;
    g_pd3dDevice = nullptr;
    ErrorLog::Write(attempt.failureMessage);
  }
  return E_FAIL;
}

void SetupScene() {
  LoadDataSet();

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

void ShutdownGraphics() {
  if (g_pd3dDevice) {
    g_pd3dDevice->Release();
    g_pd3dDevice = nullptr;
  }
  if (g_pD3D) {
    g_pD3D->Release();
    g_pD3D = nullptr;
  }
  // Each resource holds its own reference to the device, so releasing them afterwards is safe.
  ReleaseDeviceResources();
}

void ResetCamera() {
  camera.eyeX = 0.0f;
  camera.eyeY = 47.0f;
  camera.eyeZ = -224.0f;
  camera.targetHeight = 47.0f;
  camera.angle2 = 5.69f;
  camera.angle1 = 6.3f;
  PollCameraKeys();  // also applies the limits and the angle wrapping
  ApplyView();
}

void ApplyView() {
  if (!g_pd3dDevice) return;
  D3DXVECTOR3 eye(camera.eyeX, camera.eyeY, camera.eyeZ);
  D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &view);
}
