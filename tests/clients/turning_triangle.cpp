// Step 3 of a small Direct3D 9 walk-through: a triangle in 3D space, turning about the y axis,
// seen through a view and a projection matrix. Its colours come from the vertices, so lighting is
// switched off; culling too, so its back shows as it turns. Built for UNICODE.
//
// For unattended runs: TUTORIAL_TIME_MS fixes the clock at that many milliseconds (so the turn
// is the same in every run), and when TUTORIAL_FRAME_FILE names a file, the third frame is saved
// there as a PNG picture and the window closes itself.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;
int g_frames = 0;
int g_exitCode = 0;

struct CUSTOMVERTEX {
  FLOAT x, y, z;  // a position in model space
  DWORD color;
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE)

// Milliseconds since start-up, or the fixed moment TUTORIAL_TIME_MS asks for.
DWORD Now() {
  const char* fixed = getenv("TUTORIAL_TIME_MS");
  if (fixed != NULL && fixed[0] != '\0') return (DWORD)strtoul(fixed, NULL, 10);
  return timeGetTime();
}

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
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  return S_OK;
}

HRESULT InitGeometry() {
  CUSTOMVERTEX vertices[] = {
      {-1.0f, -1.0f, 0.0f, 0xffff0000},
      {1.0f, -1.0f, 0.0f, 0xff0000ff},
      {0.0f, 1.0f, 0.0f, 0xffffffff},
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

VOID SetupMatrices() {
  // One full turn every second, in steps of a thousandth of one.
  D3DXMATRIX matWorld;
  UINT iTime = Now() % 1000;
  FLOAT fAngle = iTime * (2.0f * D3DX_PI) / 1000.0f;
  D3DXMatrixRotationY(&matWorld, fAngle);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);

  // The eye three units up and five back, looking at the origin with y up.
  D3DXVECTOR3 vEyePt(0.0f, 3.0f, -5.0f);
  D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);

  // A quarter turn's field of view, square pixels, nothing nearer than 1 or further than 100.
  D3DXMATRIX matProj;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupMatrices();
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

INT WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, INT) {
  UNREFERENCED_PARAMETER(hInst);
  WNDCLASSEX wc = {sizeof(WNDCLASSEX), CS_CLASSDC, MsgProc, 0L, 0L, GetModuleHandle(NULL), NULL, NULL, NULL, NULL,
                   L"D3D Walkthrough", NULL};
  RegisterClassEx(&wc);
  HWND hWnd = CreateWindow(L"D3D Walkthrough", L"Step 3: Matrices", WS_OVERLAPPEDWINDOW, 100, 100, 256, 256,
                           NULL, NULL, wc.hInstance, NULL);

  if (SUCCEEDED(InitD3D(hWnd)) && SUCCEEDED(InitGeometry())) {
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
    MessageBox(NULL, L"Could not set up Direct3D", L"Step 3", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClass(L"D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
