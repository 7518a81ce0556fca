// A small Direct3D 9 program of the multitexture kind: a turning floor tile whose colour comes
// from three texture stages. Stage 0 modulates a checker by the vertex colours, stage 1 lights it
// with a light map whose coordinates a texture transform turns and stretches (MODULATE2X), and
// stage 2 adds bands whose coordinates are generated from the camera-space position and scaled
// by their own transform. The textures are made in code, so the program needs no files.
//
// For unattended runs: TUTORIAL_TIME_MS fixes the clock at that many milliseconds, and when
// TUTORIAL_FRAME_FILE names a file, the third frame is saved there as a PNG picture and the
// window closes itself.
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <stdlib.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;
LPDIRECT3DTEXTURE9 g_pTextures[3] = {NULL, NULL, NULL};
int g_frames = 0;
int g_exitCode = 0;

struct CUSTOMVERTEX {
  FLOAT x, y, z;
  DWORD color;
  FLOAT tu, tv;
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1)

DWORD Now() {
  const char* fixed = getenv("TUTORIAL_TIME_MS");
  if (fixed != NULL && fixed[0] != '\0') return (DWORD)strtoul(fixed, NULL, 10);
  return timeGetTime();
}

// The three pictures, texel by texel.
DWORD Checker(int x, int y) {
  return ((x / 8 + y / 8) & 1) ? D3DCOLOR_XRGB(230, 230, 220) : D3DCOLOR_XRGB(70, 90, 160);
}
DWORD LightMap(int x, int y) {
  // A bright spot fading to a dim rim.
  int dx = x - 32, dy = y - 32;
  int d = 255 - (dx * dx + dy * dy) / 8;
  if (d < 40) d = 40;
  return D3DCOLOR_XRGB(d / 2, d / 2, d * 2 / 5);
}
DWORD Bands(int x, int) { return (x & 16) ? D3DCOLOR_XRGB(90, 20, 0) : D3DCOLOR_XRGB(0, 0, 0); }

HRESULT MakeTexture(DWORD (*texel)(int, int), LPDIRECT3DTEXTURE9* ppTexture) {
  if (FAILED(g_pd3dDevice->CreateTexture(64, 64, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, ppTexture, NULL)))
    return E_FAIL;
  D3DLOCKED_RECT rect;
  if (FAILED((*ppTexture)->LockRect(0, &rect, NULL, 0))) return E_FAIL;
  for (int y = 0; y < 64; y++) {
    DWORD* row = (DWORD*)((BYTE*)rect.pBits + y * rect.Pitch);
    for (int x = 0; x < 64; x++) row[x] = texel(x, y);
  }
  (*ppTexture)->UnlockRect(0);
  return S_OK;
}

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;
  D3DCAPS9 caps;
  g_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  if (caps.MaxSimultaneousTextures < 3 || !(caps.TextureOpCaps & D3DTEXOPCAPS_MODULATE2X) ||
      !(caps.VertexProcessingCaps & D3DVTXPCAPS_TEXGEN))
    return E_FAIL;
  D3DPRESENT_PARAMETERS d3dpp;
  ZeroMemory(&d3dpp, sizeof(d3dpp));
  d3dpp.Windowed = TRUE;
  d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  d3dpp.BackBufferFormat = D3DFMT_UNKNOWN;
  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_pd3dDevice)))
    return E_FAIL;
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  return S_OK;
}

HRESULT InitGeometry() {
  if (FAILED(MakeTexture(Checker, &g_pTextures[0])) || FAILED(MakeTexture(LightMap, &g_pTextures[1])) ||
      FAILED(MakeTexture(Bands, &g_pTextures[2])))
    return E_FAIL;
  CUSTOMVERTEX vertices[] = {
      {-1.5f, 0.0f, -1.5f, 0xffffffff, 0.0f, 2.0f},
      {-1.5f, 0.0f, 1.5f, 0xffffd0d0, 0.0f, 0.0f},
      {1.5f, 0.0f, -1.5f, 0xffd0ffd0, 2.0f, 2.0f},
      {1.5f, 0.0f, 1.5f, 0xffd0d0ff, 2.0f, 0.0f},
  };
  if (FAILED(g_pd3dDevice->CreateVertexBuffer(sizeof(vertices), 0, D3DFVF_CUSTOMVERTEX, D3DPOOL_MANAGED, &g_pVB,
                                              NULL)))
    return E_FAIL;
  VOID* pVertices;
  if (FAILED(g_pVB->Lock(0, sizeof(vertices), &pVertices, 0))) return E_FAIL;
  memcpy(pVertices, vertices, sizeof(vertices));
  g_pVB->Unlock();
  return S_OK;
}

VOID Cleanup() {
  for (int i = 0; i < 3; i++) {
    if (g_pTextures[i] != NULL) g_pTextures[i]->Release();
    g_pTextures[i] = NULL;
  }
  if (g_pVB != NULL) g_pVB->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pVB = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

VOID SetupMatrices() {
  FLOAT fAngle = (Now() % 8000) * (2.0f * D3DX_PI) / 8000.0f;
  D3DXMATRIX matWorld;
  D3DXMatrixRotationY(&matWorld, fAngle);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
  D3DXVECTOR3 vEyePt(0.0f, 3.0f, -3.5f);
  D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);
  D3DXMATRIX matProj;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);

  // Stage 1: the light map's coordinates turned about the tile's middle and squeezed. For
  // two-component coordinates the translation sits in the third row.
  D3DXMATRIX matLight, matTurn;
  D3DXMatrixIdentity(&matLight);
  matLight._31 = -1.0f;
  matLight._32 = -1.0f;
  D3DXMatrixRotationZ(&matTurn, fAngle * 2.0f);
  D3DXMatrixMultiply(&matLight, &matLight, &matTurn);
  D3DXMATRIX matSqueeze;
  D3DXMatrixScaling(&matSqueeze, 0.6f, 0.6f, 1.0f);
  D3DXMatrixMultiply(&matLight, &matLight, &matSqueeze);
  matLight._31 += 0.5f;
  matLight._32 += 0.5f;
  g_pd3dDevice->SetTransform(D3DTS_TEXTURE1, &matLight);

  // Stage 2: camera-space positions scaled down into band coordinates.
  D3DXMATRIX matBands;
  D3DXMatrixScaling(&matBands, 0.35f, 0.35f, 1.0f);
  g_pd3dDevice->SetTransform(D3DTS_TEXTURE2, &matBands);
}

VOID SetupStages() {
  for (DWORD i = 0; i < 3; i++) {
    g_pd3dDevice->SetTexture(i, g_pTextures[i]);
    g_pd3dDevice->SetSamplerState(i, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    g_pd3dDevice->SetSamplerState(i, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  }
  g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);

  g_pd3dDevice->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
  g_pd3dDevice->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  g_pd3dDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
  g_pd3dDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  g_pd3dDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  g_pd3dDevice->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  g_pd3dDevice->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);

  g_pd3dDevice->SetTextureStageState(2, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
  g_pd3dDevice->SetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  g_pd3dDevice->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_ADD);
  g_pd3dDevice->SetTextureStageState(2, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  g_pd3dDevice->SetTextureStageState(2, D3DTSS_COLORARG2, D3DTA_CURRENT);

  g_pd3dDevice->SetTextureStageState(3, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(20, 20, 30), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupMatrices();
    SetupStages();
    g_pd3dDevice->SetStreamSource(0, g_pVB, 0, sizeof(CUSTOMVERTEX));
    g_pd3dDevice->SetFVF(D3DFVF_CUSTOMVERTEX);
    g_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
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

INT WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, INT) {
  WNDCLASSEXA wc = {sizeof(WNDCLASSEXA), CS_CLASSDC, MsgProc, 0L, 0L, hInst, NULL, NULL, NULL, NULL,
                    "D3D Multitexture", NULL};
  RegisterClassExA(&wc);
  HWND hWnd = CreateWindowA("D3D Multitexture", "Multitexture", WS_OVERLAPPEDWINDOW, 100, 100, 256, 256, NULL, NULL,
                            wc.hInstance, NULL);
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
    MessageBoxA(NULL, "Could not set up Direct3D", "Multitexture", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClassA("D3D Multitexture", wc.hInstance);
  return g_exitCode;
}
