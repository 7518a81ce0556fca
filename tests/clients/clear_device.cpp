// Step 1 of a small Direct3D 9 walk-through: create a device on a window and clear it to blue.
// Nothing is drawn yet; the window is painted whenever Windows asks for it (WM_PAINT) and the
// program otherwise waits in GetMessage. Built for UNICODE: wide strings and wWinMain.
//
// For unattended runs: when the environment variable TUTORIAL_FRAME_FILE names a file, the first
// frame is saved there as a PNG picture and the window closes itself.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <strsafe.h>

LPDIRECT3D9 g_pD3D = NULL;              // makes the device
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;  // draws
int g_exitCode = 0;

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;

  // A windowed device whose back buffer takes the window's client area (width and height 0).
  D3DPRESENT_PARAMETERS d3dpp;
  ZeroMemory(&d3dpp, sizeof(d3dpp));
  d3dpp.Windowed = TRUE;
  d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  d3dpp.BackBufferFormat = D3DFMT_UNKNOWN;

  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_pd3dDevice)))
    return E_FAIL;
  return S_OK;
}

VOID Cleanup() {
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

// Saves the back buffer when asked to; FALSE when it was asked for and could not be written.
BOOL SaveFrameIfAsked() {
  const char* file = getenv("TUTORIAL_FRAME_FILE");
  if (file == NULL || file[0] == '\0') return TRUE;
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  if (NULL == g_pd3dDevice) return;

  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    // The scene would be drawn here.
    g_pd3dDevice->EndScene();
  }

  const char* file = getenv("TUTORIAL_FRAME_FILE");
  if (file != NULL && file[0] != '\0') {
    if (!SaveFrameIfAsked()) g_exitCode = 2;
    PostMessage(hWnd, WM_CLOSE, 0, 0);
  }
  g_pd3dDevice->Present(NULL, NULL, NULL, NULL);
}

LRESULT WINAPI MsgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DESTROY:
      Cleanup();
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      Render(hWnd);
      ValidateRect(hWnd, NULL);
      return 0;
  }
  return DefWindowProc(hWnd, msg, wParam, lParam);
}

INT WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, INT) {
  UNREFERENCED_PARAMETER(hInst);

  WNDCLASSEX wc = {sizeof(WNDCLASSEX), CS_CLASSDC, MsgProc, 0L, 0L, GetModuleHandle(NULL), NULL, NULL, NULL, NULL,
                   L"D3D Walkthrough", NULL};
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  RegisterClassEx(&wc);

  WCHAR title[64];
  StringCchPrintf(title, ARRAYSIZE(title), L"Step %d: %s", 1, L"CreateDevice");
  HWND hWnd = CreateWindow(L"D3D Walkthrough", title, WS_OVERLAPPEDWINDOW, 100, 100, 300, 300, NULL, NULL,
                           wc.hInstance, NULL);

  if (SUCCEEDED(InitD3D(hWnd))) {
    ShowWindow(hWnd, SW_SHOWDEFAULT);
    UpdateWindow(hWnd);

    MSG msg;
    while (GetMessage(&msg, NULL, 0, 0)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  } else {
    MessageBox(NULL, L"Could not create a Direct3D device", L"Step 1", MB_OK | MB_ICONERROR);
    g_exitCode = 1;
    Cleanup();
  }

  UnregisterClass(L"D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
