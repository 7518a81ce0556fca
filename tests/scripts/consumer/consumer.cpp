// A small, plain Win32 + Direct3D 9 program, written as for Windows: a window, a device, a few
// frames cleared to a colour with one pre-transformed triangle, the first of them saved as
// consumer-frame.png in the working folder, then a clean stop. It knows nothing of the layer it
// may be built on. The exit code says what failed (0: nothing).
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>

namespace {

const char kClassName[] = "Consumer Window";
const int kFramesToShow = 5;
const DWORD kGiveUpAfterMs = 20000;  // stop even if frames can't be presented

int g_failures = 0;
bool g_destroyed = false;

struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
};
const DWORD kScreenVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(hWnd);
      break;
    case WM_PAINT:
      ValidateRect(hWnd, NULL);
      break;
    case WM_DESTROY:
      g_destroyed = true;
      PostQuitMessage(0);
      break;
  }
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

void Check(bool ok) {
  if (!ok) ++g_failures;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc)) return 10;

  HWND hWnd = CreateWindowExA(0, kClassName, "Consumer", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, NULL, NULL,
                              instance, NULL);
  if (!hWnd) return 11;
  RECT client;
  if (!GetClientRect(hWnd, &client) || client.right != 320 || client.bottom != 240) return 12;

  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) return 13;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = D3DFMT_UNKNOWN;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  IDirect3DDevice9* device = NULL;
  if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                               &device))) {
    d3d->Release();
    return 14;
  }

  const ScreenVertex triangle[3] = {
      {40.0f, 200.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(255, 0, 0)},
      {160.0f, 20.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 255, 0)},
      {280.0f, 200.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 0, 255)},
  };
  IDirect3DVertexBuffer9* vb = NULL;
  void* data = NULL;
  if (FAILED(device->CreateVertexBuffer(sizeof(triangle), D3DUSAGE_WRITEONLY, kScreenVertexFvf, D3DPOOL_MANAGED,
                                        &vb, NULL)) ||
      FAILED(vb->Lock(0, 0, &data, 0)))
    return 15;
  memcpy(data, triangle, sizeof(triangle));
  vb->Unlock();

  int frames = 0;
  const DWORD start = timeGetTime();
  MSG msg = {};
  while (msg.message != WM_QUIT) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    Check(SUCCEEDED(device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(32, 64, 128), 1.0f, 0)));
    Check(SUCCEEDED(device->BeginScene()));
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetFVF(kScreenVertexFvf);
    device->SetStreamSource(0, vb, 0, sizeof(ScreenVertex));
    Check(SUCCEEDED(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1)));
    Check(SUCCEEDED(device->EndScene()));
    if (frames == 0) {
      // A screenshot as a Windows program takes one: after the scene, before Present.
      IDirect3DSurface9* back = NULL;
      Check(SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)));
      if (back) {
        Check(SUCCEEDED(D3DXSaveSurfaceToFileA("consumer-frame.png", D3DXIFF_PNG, back, NULL, NULL)));
        back->Release();
      }
    }
    Check(SUCCEEDED(device->Present(NULL, NULL, NULL, NULL)));
    // Stop the way a user would: a key press that closes the window.
    if (++frames == kFramesToShow || timeGetTime() - start > kGiveUpAfterMs) PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  }

  vb->Release();
  ULONG deviceLeft = device->Release();
  ULONG d3dLeft = d3d->Release();
  UnregisterClassA(kClassName, instance);
  if (deviceLeft != 0 || d3dLeft != 0) return 16;
  if (!g_destroyed || msg.wParam != 0) return 17;
  if (frames < kFramesToShow) return 18;
  return g_failures == 0 ? 0 : 19;
}
