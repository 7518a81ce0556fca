// Step 4 of a small Direct3D 9 walk-through: a cylinder of vertices with normals, lit by one
// directional light over a dim ambient light, with a yellow material. It turns about the x axis
// while the light circles round it. Depth testing keeps its far side behind its near side.
// Built without UNICODE.
//
// For unattended runs: TUTORIAL_TIME_MS fixes the clock at that many milliseconds, and when
// TUTORIAL_FRAME_FILE names a file, the third frame is saved there as a PNG picture and the
// window closes itself.
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DVERTEXBUFFER9 g_pVB = NULL;
int g_frames = 0;
int g_exitCode = 0;

const int kSegments = 50;  // around the cylinder; two vertices each, a strip round the side

struct CUSTOMVERTEX {
  D3DXVECTOR3 position;
  D3DXVECTOR3 normal;
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZ | D3DFVF_NORMAL)

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
  g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
  return S_OK;
}

HRESULT InitGeometry() {
  if (FAILED(g_pd3dDevice->CreateVertexBuffer(2 * kSegments * sizeof(CUSTOMVERTEX), 0, D3DFVF_CUSTOMVERTEX,
                                              D3DPOOL_DEFAULT, &g_pVB, NULL)))
    return E_FAIL;
  CUSTOMVERTEX* pVertices;
  if (FAILED(g_pVB->Lock(0, 0, (void**)&pVertices, 0))) return E_FAIL;
  for (DWORD i = 0; i < kSegments; i++) {
    FLOAT theta = (2 * D3DX_PI * i) / (kSegments - 1);
    pVertices[2 * i + 0].position = D3DXVECTOR3(sinf(theta), -1.0f, cosf(theta));
    pVertices[2 * i + 0].normal = D3DXVECTOR3(sinf(theta), 0.0f, cosf(theta));
    pVertices[2 * i + 1].position = D3DXVECTOR3(sinf(theta), 1.0f, cosf(theta));
    pVertices[2 * i + 1].normal = D3DXVECTOR3(sinf(theta), 0.0f, cosf(theta));
  }
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
  D3DXMATRIX matWorld;
  D3DXMatrixRotationX(&matWorld, Now() / 500.0f);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);

  D3DXVECTOR3 vEyePt(0.0f, 3.0f, -5.0f);
  D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
  D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
  D3DXMATRIX matView;
  D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);

  D3DXMATRIX matProj;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DXToRadian(45.0f), 1.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);
}

VOID SetupLights() {
  // The material's diffuse and ambient colours both yellow: lit, it shows the light's colour
  // times yellow.
  D3DMATERIAL9 mtrl;
  ZeroMemory(&mtrl, sizeof(mtrl));
  mtrl.Diffuse.r = mtrl.Ambient.r = 1.0f;
  mtrl.Diffuse.g = mtrl.Ambient.g = 1.0f;
  mtrl.Diffuse.b = mtrl.Ambient.b = 0.0f;
  mtrl.Diffuse.a = mtrl.Ambient.a = 1.0f;
  g_pd3dDevice->SetMaterial(&mtrl);

  // A white directional light whose direction circles in the xz plane, tipped upwards.
  D3DXVECTOR3 vecDir;
  D3DLIGHT9 light;
  ZeroMemory(&light, sizeof(light));
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse.r = 1.0f;
  light.Diffuse.g = 1.0f;
  light.Diffuse.b = 1.0f;
  vecDir = D3DXVECTOR3(cosf(Now() / 350.0f), 1.0f, sinf(Now() / 350.0f));
  D3DXVec3Normalize((D3DXVECTOR3*)&light.Direction, &vecDir);
  light.Range = 1000.0f;
  g_pd3dDevice->SetLight(0, &light);
  g_pd3dDevice->LightEnable(0, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, TRUE);

  g_pd3dDevice->SetRenderState(D3DRS_AMBIENT, 0x00202020);
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFile(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    SetupLights();
    SetupMatrices();
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

INT WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, INT) {
  WNDCLASSEX wc = {sizeof(WNDCLASSEX), CS_CLASSDC, MsgProc, 0L, 0L, hInst, NULL, NULL, NULL, NULL,
                   "D3D Walkthrough", NULL};
  RegisterClassEx(&wc);

  // A client area of exactly 256 x 256: the window is that grown by its frame.
  RECT rc = {0, 0, 256, 256};
  AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hWnd = CreateWindow("D3D Walkthrough", "Step 4: Lights", WS_OVERLAPPEDWINDOW, 100, 100,
                           rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, wc.hInstance, NULL);

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
    MessageBox(NULL, "Could not set up Direct3D", "Step 4", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }
  UnregisterClass("D3D Walkthrough", wc.hInstance);
  return g_exitCode;
}
