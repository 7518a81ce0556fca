// Step 5 of a small Direct3D 9 walk-through: the cylinder again, now wrapped in a texture loaded
// from stripes.bmp beside the program, its texels modulated by white vertex colours. Lighting
// is off: the colours are the texture's own. Built for UNICODE.
//
// For unattended runs: TUTORIAL_TIME_MS fixes the clock at that many milliseconds, and when
// TUTORIAL_FRAME_FILE names a file, the third frame is saved there as a PNG picture and the
// window closes itself.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <mmsystem.h>
#include <strsafe.h>
#include <d3d9.h>
#include <d3dx9.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;
LPDIRECT3DTEXTURE9 g_pTexture = NULL;
int g_frames = 0;
int g_exitCode = 0;

const int kSegments = 50;

struct CUSTOMVERTEX {
  D3DXVECTOR3 position;
  D3DCOLOR color;
  FLOAT tu, tv;  // texture coordinates
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1)

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
  d3dpp.EnableAutoDepthStencil = TRUE;
  d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_pd3dDevice)))
    return E_FAIL;
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
  return S_OK;
}

HRESULT InitGeometry() {
  if (FAILED(D3DXCreateTextureFromFile(g_pd3dDevice, L"stripes.bmp", &g_pTexture))) {
    WCHAR message[128];
    StringCchPrintf(message, ARRAYSIZE(message), L"Could not find %s", L"stripes.bmp");
    MessageBox(NULL, message, L"Step 5", MB_OK | MB_ICONERROR);
    return E_FAIL;
  }

  if (FAILED(g_pd3dDevice->CreateVertexBuffer(2 * kSegments * sizeof(CUSTOMVERTEX), 0, D3DFVF_CUSTOMVERTEX,
                                              D3DPOOL_DEFAULT, &g_pVB, NULL)))
    return E_FAIL;
  CUSTOMVERTEX* pVertices;
  if (FAILED(g_pVB->Lock(0, 0, (void**)&pVertices, 0))) return E_FAIL;
  for (DWORD i = 0; i < kSegments; i++) {
    FLOAT theta = (2 * D3DX_PI * i) / (kSegments - 1);
    pVertices[2 * i + 0].position = D3DXVECTOR3(sinf(theta), -1.0f, cosf(theta));
    pVertices[2 * i + 0].color = 0xffffffff;
    pVertices[2 * i + 0].tu = ((FLOAT)i) / (kSegments - 1);
    pVertices[2 * i + 0].tv = 1.0f;
    pVertices[2 * i + 1].position = D3DXVECTOR3(sinf(theta), 1.0f, cosf(theta));
    pVertices[2 * i + 1].color = 0xff808080;
    pVertices[2 * i + 1].tu = ((FLOAT)i) / (kSegments - 1);
    pVertices[2 * i + 1].tv = 0.0f;
  }
  g_pVB->Unlock();
  return S_OK;
}

VOID Cleanup() {
  if (g_pTexture != NULL) g_pTexture->Release();
  if (g_pVB != NULL) g_pVB->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pTexture = NULL;
  g_pVB = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

VOID SetupMatrices() {
  D3DXMATRIX matWorld;
  D3DXMatrixRotationX(&matWorld, Now() / 1000.0f);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);

  D3DXVECTOR3 vEyePt(0.0f, 3.0f, -5.0f);
  D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);

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
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupMatrices();
    // The texel times the vertex colour; alpha plays no part.
    g_pd3dDevice->SetTexture(0, g_pTexture);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

    g_pd3dDevice->SetStreamSource(0, g_pVB, 0, sizeof(CUSTOMVERTEX));
    g_pd3dDevice->SetFVF(D3DFVF_CUSTOMVERTEX);
    g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2 * kSegments - 2);
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
  HWND hWnd = CreateWindow(L"D3D Walkthrough", L"Step 5: Textures", WS_OVERLAPPEDWINDOW, 100, 100, 300, 300,
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
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClass(L"D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
