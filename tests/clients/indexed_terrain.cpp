// A small Direct3D 9 program of the terrain kind: a height field of 33 x 33 vertices coloured by
// height, drawn from a vertex buffer through 16-bit indices in one DrawIndexedPrimitive, with
// linear fog swallowing the far side; a beacon above it is drawn from the program's own memory
// through 32-bit indices with DrawIndexedPrimitiveUP. Built for ANSI.
//
// For unattended runs: when TUTORIAL_FRAME_FILE names a file, the third frame is saved there as
// a PNG picture and the window closes itself.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>
#include <stdlib.h>

#define GRID 33                 // vertices along each side
#define CELLS (GRID - 1)
#define FOG_COLOR D3DCOLOR_XRGB(150, 170, 200)

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;
LPDIRECT3DINDEXBUFFER9 g_pIB = NULL;
int g_frames = 0;
int g_exitCode = 0;

struct TERRAINVERTEX {
  FLOAT x, y, z;
  DWORD color;
};
#define D3DFVF_TERRAINVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE)

// Rolling hills: a few waves over the plane, from 0 to about 3 units high.
FLOAT Height(FLOAT x, FLOAT z) {
  return 1.5f + 0.9f * sinf(x * 0.35f) * cosf(z * 0.28f) + 0.6f * sinf((x + z) * 0.21f);
}

DWORD HeightColor(FLOAT h) {
  // Green valleys, brown slopes, white tops.
  if (h < 1.2f) return D3DCOLOR_XRGB(40, 120 + (int)(h * 40.0f), 40);
  if (h < 2.4f) return D3DCOLOR_XRGB(110 + (int)(h * 20.0f), 90, 50);
  return D3DCOLOR_XRGB(235, 235, 240);
}

DWORD FloatBits(FLOAT f) { return *((DWORD*)&f); }

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;
  D3DCAPS9 caps;
  if (FAILED(g_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return E_FAIL;
  // The grid needs no more than 16-bit indices, but the beacon uses 32-bit ones.
  if (caps.MaxVertexIndex <= 0xFFFF) return E_FAIL;
  if (!(caps.RasterCaps & D3DPRASTERCAPS_FOGTABLE)) return E_FAIL;
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
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  // Linear fog by depth, from 12 to 38 units before the eye.
  g_pd3dDevice->SetRenderState(D3DRS_FOGENABLE, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_FOGCOLOR, FOG_COLOR);
  g_pd3dDevice->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  g_pd3dDevice->SetRenderState(D3DRS_FOGSTART, FloatBits(12.0f));
  g_pd3dDevice->SetRenderState(D3DRS_FOGEND, FloatBits(38.0f));
  return S_OK;
}

HRESULT InitGeometry() {
  if (FAILED(g_pd3dDevice->CreateVertexBuffer(GRID * GRID * sizeof(TERRAINVERTEX), D3DUSAGE_WRITEONLY,
                                              D3DFVF_TERRAINVERTEX, D3DPOOL_MANAGED, &g_pVB, NULL)))
    return E_FAIL;
  TERRAINVERTEX* pVertices;
  if (FAILED(g_pVB->Lock(0, 0, (void**)&pVertices, 0))) return E_FAIL;
  for (int z = 0; z < GRID; z++) {
    for (int x = 0; x < GRID; x++) {
      TERRAINVERTEX* v = &pVertices[z * GRID + x];
      v->x = (FLOAT)(x - CELLS / 2);
      v->z = (FLOAT)(z - CELLS / 2);
      v->y = Height(v->x, v->z);
      v->color = HeightColor(v->y);
    }
  }
  g_pVB->Unlock();

  // Two triangles per cell.
  if (FAILED(g_pd3dDevice->CreateIndexBuffer(CELLS * CELLS * 6 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                             D3DPOOL_MANAGED, &g_pIB, NULL)))
    return E_FAIL;
  WORD* pIndices;
  if (FAILED(g_pIB->Lock(0, 0, (void**)&pIndices, 0))) return E_FAIL;
  for (int z = 0; z < CELLS; z++) {
    for (int x = 0; x < CELLS; x++) {
      WORD corner = (WORD)(z * GRID + x);
      *pIndices++ = corner;
      *pIndices++ = (WORD)(corner + GRID);
      *pIndices++ = (WORD)(corner + 1);
      *pIndices++ = (WORD)(corner + 1);
      *pIndices++ = (WORD)(corner + GRID);
      *pIndices++ = (WORD)(corner + GRID + 1);
    }
  }
  g_pIB->Unlock();
  return S_OK;
}

VOID Cleanup() {
  if (g_pIB != NULL) g_pIB->Release();
  if (g_pVB != NULL) g_pVB->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pIB = NULL;
  g_pVB = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

VOID SetupMatrices() {
  D3DXMATRIX matWorld;
  D3DXMatrixRotationY(&matWorld, 0.6f);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
  D3DXVECTOR3 vEyePt(0.0f, 9.0f, -22.0f);
  D3DXVECTOR3 vLookatPt(0.0f, 1.0f, 2.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);
  D3DXMATRIX matProj;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);
}

// A four-sided beacon standing on the hills, drawn straight from this array.
VOID DrawBeacon() {
  const FLOAT bx = 3.0f, bz = -4.0f, by = Height(bx, bz);
  TERRAINVERTEX beacon[5] = {
      {bx, by + 4.0f, bz, D3DCOLOR_XRGB(255, 40, 40)},
      {bx - 1.0f, by, bz - 1.0f, D3DCOLOR_XRGB(255, 220, 0)},
      {bx + 1.0f, by, bz - 1.0f, D3DCOLOR_XRGB(255, 160, 0)},
      {bx + 1.0f, by, bz + 1.0f, D3DCOLOR_XRGB(255, 220, 0)},
      {bx - 1.0f, by, bz + 1.0f, D3DCOLOR_XRGB(255, 160, 0)},
  };
  DWORD indices[12] = {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 1};
  g_pd3dDevice->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 5, 4, indices, D3DFMT_INDEX32, beacon,
                                       sizeof(TERRAINVERTEX));
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, FOG_COLOR, 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupMatrices();
    g_pd3dDevice->SetStreamSource(0, g_pVB, 0, sizeof(TERRAINVERTEX));
    g_pd3dDevice->SetIndices(g_pIB);
    g_pd3dDevice->SetFVF(D3DFVF_TERRAINVERTEX);
    if (FAILED(g_pd3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, GRID * GRID, 0, CELLS * CELLS * 2)))
      g_exitCode = 3;
    DrawBeacon();
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
                    "D3D Terrain", NULL};
  RegisterClassExA(&wc);
  HWND hWnd = CreateWindowA("D3D Terrain", "Indexed terrain", WS_OVERLAPPEDWINDOW, 100, 100, 256, 256, NULL, NULL,
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
    MessageBoxA(NULL, "Could not set up Direct3D", "Indexed terrain", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClassA("D3D Terrain", wc.hInstance);
  return g_exitCode;
}
