// Step 2 of a small Direct3D 9 walk-through: a triangle of coloured vertices given straight in
// window pixels (D3DFVF_XYZRHW), so no transforms are needed. The colours blend across it.
// Built without UNICODE: narrow strings and WinMain; the loop draws whenever no message waits.
//
// For unattended runs: when the environment variable TUTORIAL_FRAME_FILE names a file, the third
// frame is saved there as a PNG picture and the window closes itself.
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;  // the triangle's vertices
int g_frames = 0;
int g_exitCode = 0;

struct CUSTOMVERTEX {
  FLOAT x, y, z, rhw;  // a position already in window pixels
  DWORD color;
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZRHW | D3DFVF_DIFFUSE)

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;
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

HRESULT InitVB() {
  CUSTOMVERTEX vertices[] = {
      {146.0f, 30.0f, 0.5f, 1.0f, 0xffff0000},
      {260.0f, 240.0f, 0.5f, 1.0f, 0xff00ff00},
      {32.0f, 240.0f, 0.5f, 1.0f, 0xff00ffff},
  };
  if (FAILED(g_pd3dDevice->CreateVertexBuffer(3 * sizeof(CUSTOMVERTEX), 0, D3DFVF_CUSTOMVERTEX, D3DPOOL_DEFAULT,
                                              &g_pVB, NULL)))
    return E_FAIL;
  VOID* pVertices;
  if (FAILED(g_pVB->Lock(0, sizeof(vertices), (void**)&pVertices, 0))) return E_FAIL;
  memcpy(pVertices, vertices, sizeof(vertices));
  g_pVB->Unlock();
  return S_OK;
}

VOID Cleanup() {
  if (g_pVB != NULL) g_pVB->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pVB = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFile(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 96), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    g_pd3dDevice->SetStreamSource(0, g_pVB, 0, sizeof(CUSTOMVERTEX));
    g_pd3dDevice->SetFVF(D3DFVF_CUSTOMVERTEX);
    g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    g_pd3dDevice->EndScene();
  }
  const char* file = getenv("TUTORIAL_FRAME_FILE");
  if (file != NULL && file[0] != '\0' && ++g_frames == 3) {
    if (!SaveFrame(file)) g_exitCode = 2;
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
  }
  return DefWindowProc(hWnd, msg, wParam, lParam);
}

INT WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrevInstance, LPSTR lpCmdLine, INT nCmdShow) {
  UNREFERENCED_PARAMETER(hPrevInstance);
  UNREFERENCED_PARAMETER(lpCmdLine);
  UNREFERENCED_PARAMETER(nCmdShow);

  WNDCLASSEX wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = CS_CLASSDC;
  wc.lpfnWndProc = MsgProc;
  wc.hInstance = hInst;
  wc.hIcon = LoadIcon(NULL, IDI_APPLICATION);
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = "D3D Walkthrough";
  RegisterClassEx(&wc);

  HWND hWnd = CreateWindow("D3D Walkthrough", "Step 2: Vertices", WS_OVERLAPPEDWINDOW, 100, 100, 300, 300, NULL,
                           NULL, wc.hInstance, NULL);

  if (SUCCEEDED(InitD3D(hWnd)) && SUCCEEDED(InitVB())) {
    ShowWindow(hWnd, SW_SHOWDEFAULT);
    UpdateWindow(hWnd);

    MSG msg;
    ZeroMemory(&msg, sizeof(msg));
    while (msg.message != WM_QUIT) {
      if (PeekMessage(&msg, NULL, 0U, 0U, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      } else {
        Render(hWnd);
      }
    }
  } else {
    MessageBox(NULL, "Could not set up Direct3D", "Step 2", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }

  UnregisterClass("D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
