// Loses memory on purpose, through the layer, while a device is open: a vertex buffer is made and
// its last reference dropped without Release. Under LeakSanitizer this program must fail, with
// the layer's CreateVertexBuffer in the report: the suppressions for the graphics stack
// (lsan.supp) must never hide a leak that has frames of ours. expect_leaks.sh runs it.
#include <windows.h>
#include <d3d9.h>

static LRESULT WINAPI Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = "leak";
  if (!RegisterClassA(&wc)) return 2;
  HWND hWnd = CreateWindowA("leak", "leak", WS_POPUP, 0, 0, 64, 64, NULL, NULL, instance, NULL);
  if (!hWnd) return 2;
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) return 2;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = D3DFMT_UNKNOWN;
  IDirect3DDevice9* device = NULL;
  if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                               &pp, &device)))
    return 2;
  // Something is drawn first, so that the driver has compiled and allocated what it keeps.
  device->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
  device->Present(NULL, NULL, NULL, NULL);

  IDirect3DVertexBuffer9* lost = NULL;
  if (FAILED(device->CreateVertexBuffer(3 * 16, 0, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_MANAGED, &lost, NULL)))
    return 2;
  lost = NULL;  // the leak

  device->Release();
  d3d->Release();
  DestroyWindow(hWnd);
  return 0;
}
