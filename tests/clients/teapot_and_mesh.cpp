// Step 7 of a small Direct3D 9 walk-through: meshes. A teapot made by D3DXCreateTeapot and a block
// loaded with D3DXLoadMeshFromX from tiles_block.x, whose two materials (a plain gold one and one
// textured with tiles.bmp) are drawn one subset at a time. One white directional light; both turn
// with the clock. Built with the A names.
//
// For unattended runs: TUTORIAL_TIME_MS fixes the clock at that many milliseconds, and when
// TUTORIAL_FRAME_FILE names a file, the third frame is saved there as a PNG picture and the
// window closes itself.
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <d3d9.h>
#include <d3dx9.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPD3DXMESH g_pTeapot = NULL;
LPD3DXMESH g_pMesh = NULL;
const DWORD kMaxMaterials = 8;
D3DMATERIAL9 g_meshMaterials[kMaxMaterials];
LPDIRECT3DTEXTURE9 g_pMeshTextures[kMaxMaterials];
DWORD g_dwNumMaterials = 0;
int g_frames = 0;
int g_exitCode = 0;

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
  g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_AMBIENT, 0x00303030);
  return S_OK;
}

HRESULT InitGeometry() {
  if (FAILED(D3DXCreateTeapot(g_pd3dDevice, &g_pTeapot, NULL))) return E_FAIL;

  LPD3DXBUFFER pD3DXMtrlBuffer;
  if (FAILED(D3DXLoadMeshFromX("tiles_block.x", D3DXMESH_SYSTEMMEM, g_pd3dDevice, NULL, &pD3DXMtrlBuffer, NULL,
                               &g_dwNumMaterials, &g_pMesh))) {
    MessageBox(NULL, "Could not find tiles_block.x", "Meshes", MB_OK);
    return E_FAIL;
  }
  // The materials and the textures they name; ambient light takes the diffuse colour, as the
  // file gives none of its own.
  D3DXMATERIAL* d3dxMaterials = (D3DXMATERIAL*)pD3DXMtrlBuffer->GetBufferPointer();
  if (g_dwNumMaterials > kMaxMaterials) g_dwNumMaterials = kMaxMaterials;
  for (DWORD i = 0; i < g_dwNumMaterials; i++) {
    g_meshMaterials[i] = d3dxMaterials[i].MatD3D;
    g_meshMaterials[i].Ambient = g_meshMaterials[i].Diffuse;
    g_pMeshTextures[i] = NULL;
    if (d3dxMaterials[i].pTextureFilename != NULL && d3dxMaterials[i].pTextureFilename[0] != '\0') {
      if (FAILED(D3DXCreateTextureFromFileA(g_pd3dDevice, d3dxMaterials[i].pTextureFilename, &g_pMeshTextures[i]))) {
        MessageBox(NULL, "Could not find a texture of the mesh", "Meshes", MB_OK);
      }
    }
  }
  pD3DXMtrlBuffer->Release();
  return S_OK;
}

VOID Cleanup() {
  for (DWORD i = 0; i < g_dwNumMaterials; i++) {
    if (g_pMeshTextures[i] != NULL) g_pMeshTextures[i]->Release();
    g_pMeshTextures[i] = NULL;
  }
  if (g_pMesh != NULL) g_pMesh->Release();
  if (g_pTeapot != NULL) g_pTeapot->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pMesh = NULL;
  g_pTeapot = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

VOID SetupCamera() {
  D3DXVECTOR3 vEyePt(0.0f, 2.0f, -5.0f);
  D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);
  D3DXMATRIX matProj;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);
}

VOID SetupLight() {
  D3DLIGHT9 light;
  ZeroMemory(&light, sizeof(light));
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse.r = light.Diffuse.g = light.Diffuse.b = 1.0f;
  D3DXVECTOR3 vecDir(-0.5f, -1.0f, 1.0f);
  D3DXVec3Normalize((D3DXVECTOR3*)&light.Direction, &vecDir);
  g_pd3dDevice->SetLight(0, &light);
  g_pd3dDevice->LightEnable(0, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(40, 40, 80), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupCamera();
    SetupLight();
    const float angle = Now() / 1000.0f;
    D3DXMATRIX matTurn, matPlace, matWorld;

    // The teapot on the left, in a red plastic material.
    D3DXMatrixRotationY(&matTurn, angle);
    D3DXMatrixTranslation(&matPlace, -1.3f, 0.0f, 0.0f);
    D3DXMatrixMultiply(&matWorld, &matTurn, &matPlace);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
    D3DMATERIAL9 mtrl;
    ZeroMemory(&mtrl, sizeof(mtrl));
    mtrl.Diffuse.r = mtrl.Ambient.r = 0.9f;
    mtrl.Diffuse.g = mtrl.Ambient.g = 0.2f;
    mtrl.Diffuse.b = mtrl.Ambient.b = 0.2f;
    mtrl.Diffuse.a = mtrl.Ambient.a = 1.0f;
    g_pd3dDevice->SetMaterial(&mtrl);
    g_pd3dDevice->SetTexture(0, NULL);
    g_pTeapot->DrawSubset(0);

    // The block on the right, one subset per material.
    D3DXMatrixRotationYawPitchRoll(&matTurn, -angle, 0.4f, 0.0f);
    D3DXMatrixTranslation(&matPlace, 1.3f, 0.0f, 0.0f);
    D3DXMatrixMultiply(&matWorld, &matTurn, &matPlace);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
    for (DWORD i = 0; i < g_dwNumMaterials; i++) {
      g_pd3dDevice->SetMaterial(&g_meshMaterials[i]);
      g_pd3dDevice->SetTexture(0, g_pMeshTextures[i]);
      g_pMesh->DrawSubset(i);
    }
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
  UNREFERENCED_PARAMETER(hInst);
  WNDCLASSEX wc = {sizeof(WNDCLASSEX), CS_CLASSDC, MsgProc, 0L, 0L, GetModuleHandle(NULL), NULL, NULL, NULL, NULL,
                   "D3D Walkthrough", NULL};
  RegisterClassEx(&wc);
  HWND hWnd = CreateWindow("D3D Walkthrough", "Step 7: Meshes", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, NULL, NULL,
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
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClass("D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
