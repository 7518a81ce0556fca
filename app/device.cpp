// The Direct3D object and device: created with three tries of vertex processing, released at the stop.
#include "app/device.h"

#include "base/error_log.h"
#include "data/data_set.h"
#include "overlay/overlays.h"

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
  ReleaseDataSet();
}
