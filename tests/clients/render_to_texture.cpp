// Render to texture: a spinning-triangle scene is drawn into a texture of 128x128 pixels with a
// depth buffer of its own, and that texture is then shown on a quad in the window. A stencil mask
// cut out on the back buffer shows the texture at full brightness inside a rectangle and dimmed
// outside it, and an occlusion query counts the rectangle's pixels: the bar below the picture is
// one pixel long per 200 pixels counted. Built without UNICODE: narrow strings and WinMain.
//
// For unattended runs: when the environment variable TUTORIAL_FRAME_FILE names a file, the third
// frame is saved there as a PNG picture and the window closes itself.
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <stdio.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;
LPDIRECT3DTEXTURE9 g_pRenderTexture = NULL;  // the scene is drawn into this
LPDIRECT3DSURFACE9 g_pRenderSurface = NULL;  // its top level
LPDIRECT3DSURFACE9 g_pRenderDepth = NULL;    // the depth buffer that goes with it
LPDIRECT3DQUERY9 g_pQuery = NULL;
DWORD g_pixelsCounted = 0;
int g_frames = 0;
int g_exitCode = 0;

struct SCENEVERTEX {
  FLOAT x, y, z;
  DWORD color;
};
#define D3DFVF_SCENEVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE)

struct SCREENVERTEX {
  FLOAT x, y, z, rhw;
  DWORD color;
  FLOAT tu, tv;
};
#define D3DFVF_SCREENVERTEX (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1)

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;
  D3DPRESENT_PARAMETERS d3dpp;
  ZeroMemory(&d3dpp, sizeof(d3dpp));
  d3dpp.Windowed = TRUE;
  d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  d3dpp.BackBufferFormat = D3DFMT_UNKNOWN;
  d3dpp.EnableAutoDepthStencil = TRUE;
  d3dpp.AutoDepthStencilFormat = D3DFMT_D24S8;  // the mask needs stencil bits
  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_pd3dDevice)))
    return E_FAIL;
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  return S_OK;
}

HRESULT InitTargets() {
  if (FAILED(g_pd3dDevice->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                         &g_pRenderTexture, NULL)))
    return E_FAIL;
  if (FAILED(g_pRenderTexture->GetSurfaceLevel(0, &g_pRenderSurface))) return E_FAIL;
  if (FAILED(g_pd3dDevice->CreateDepthStencilSurface(128, 128, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                     &g_pRenderDepth, NULL)))
    return E_FAIL;
  // A NULL result only asks whether the device has occlusion queries.
  if (SUCCEEDED(g_pd3dDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, NULL)))
    g_pd3dDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &g_pQuery);
  return S_OK;
}

VOID Cleanup() {
  if (g_pQuery != NULL) g_pQuery->Release();
  if (g_pRenderDepth != NULL) g_pRenderDepth->Release();
  if (g_pRenderSurface != NULL) g_pRenderSurface->Release();
  if (g_pRenderTexture != NULL) g_pRenderTexture->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pQuery = NULL;
  g_pRenderDepth = NULL;
  g_pRenderSurface = NULL;
  g_pRenderTexture = NULL;
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

// Two crossing triangles seen in perspective, and a yellow marker in the texture's top-left corner
// so that a texture shown upside down would be plain to see.
VOID RenderScene() {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 40, 100), 1.0f, 0);
  D3DXMATRIX matWorld, matView, matProj;
  D3DXMatrixRotationY(&matWorld, 0.6f);
  D3DXVECTOR3 vEye(0.0f, 1.0f, -4.0f), vAt(0.0f, 0.0f, 0.0f), vUp(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&matView, &vEye, &vAt, &vUp);
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
  g_pd3dDevice->SetTransform(D3DTS_WORLD, &matWorld);
  g_pd3dDevice->SetTransform(D3DTS_VIEW, &matView);
  g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &matProj);
  SCENEVERTEX triangles[] = {
      {-1.0f, -1.0f, 0.0f, 0xffff0000}, {0.0f, 1.2f, 0.0f, 0xff00ff00}, {1.0f, -1.0f, 0.0f, 0xff0000ff},
      {0.0f, -1.0f, -1.0f, 0xffffffff}, {0.0f, 1.0f, 0.0f, 0xffff00ff}, {0.0f, -1.0f, 1.0f, 0xff00ffff},
  };
  g_pd3dDevice->SetTexture(0, NULL);
  g_pd3dDevice->SetFVF(D3DFVF_SCENEVERTEX);
  g_pd3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, triangles, sizeof(SCENEVERTEX));
  SCREENVERTEX marker[] = {
      {4.0f, 4.0f, 0.0f, 1.0f, 0xffffff00, 0, 0},  {28.0f, 4.0f, 0.0f, 1.0f, 0xffffff00, 0, 0},
      {4.0f, 20.0f, 0.0f, 1.0f, 0xffffff00, 0, 0}, {28.0f, 20.0f, 0.0f, 1.0f, 0xffffff00, 0, 0},
  };
  g_pd3dDevice->SetFVF(D3DFVF_SCREENVERTEX);
  g_pd3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, marker, sizeof(SCREENVERTEX));
}

// A quad of window pixels (x0, y0)-(x1, y1), its corners at pixel edges, texture across it.
VOID DrawQuad(float x0, float y0, float x1, float y1, DWORD color) {
  SCREENVERTEX quad[] = {
      {x0 - 0.5f, y0 - 0.5f, 0.5f, 1.0f, color, 0.0f, 0.0f},
      {x1 - 0.5f, y0 - 0.5f, 0.5f, 1.0f, color, 1.0f, 0.0f},
      {x0 - 0.5f, y1 - 0.5f, 0.5f, 1.0f, color, 0.0f, 1.0f},
      {x1 - 0.5f, y1 - 0.5f, 0.5f, 1.0f, color, 1.0f, 1.0f},
  };
  g_pd3dDevice->SetFVF(D3DFVF_SCREENVERTEX);
  g_pd3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SCREENVERTEX));
}

VOID Render(HWND hWnd) {
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    // 1. The scene, into the texture.
    LPDIRECT3DSURFACE9 pBackBuffer = NULL, pBackDepth = NULL;
    g_pd3dDevice->GetRenderTarget(0, &pBackBuffer);
    g_pd3dDevice->GetDepthStencilSurface(&pBackDepth);
    g_pd3dDevice->SetRenderTarget(0, g_pRenderSurface);
    g_pd3dDevice->SetDepthStencilSurface(g_pRenderDepth);
    RenderScene();
    g_pd3dDevice->SetRenderTarget(0, pBackBuffer);
    g_pd3dDevice->SetDepthStencilSurface(pBackDepth);
    pBackBuffer->Release();
    pBackDepth->Release();

    // 2. The mask: a rectangle written into the stencil buffer only, its pixels counted.
    g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, D3DCOLOR_XRGB(24, 24, 24),
                        1.0f, 0);
    g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILREF, 1);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    g_pd3dDevice->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    g_pd3dDevice->SetTexture(0, NULL);
    if (g_pQuery != NULL) g_pQuery->Issue(D3DISSUE_BEGIN);
    DrawQuad(60.0f, 50.0f, 180.0f, 130.0f, 0xffffffff);
    if (g_pQuery != NULL) {
      g_pQuery->Issue(D3DISSUE_END);
      while (g_pQuery->GetData(&g_pixelsCounted, sizeof(DWORD), D3DGETDATA_FLUSH) == S_FALSE) {
      }
    }
    g_pd3dDevice->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);

    // 3. The texture on a quad: bright inside the mask, dimmed outside it.
    g_pd3dDevice->SetTexture(0, g_pRenderTexture);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    g_pd3dDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    g_pd3dDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    DrawQuad(40.0f, 30.0f, 168.0f, 158.0f, 0xffffffff);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    DrawQuad(40.0f, 30.0f, 168.0f, 158.0f, 0xff505050);
    g_pd3dDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    g_pd3dDevice->SetTexture(0, NULL);

    // 4. The count as a bar: one pixel per 200 pixels of the mask.
    g_pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DrawQuad(40.0f, 180.0f, 40.0f + (float)(g_pixelsCounted / 200), 190.0f, 0xffffa000);
    g_pd3dDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    g_pd3dDevice->EndScene();
  }
  const char* file = getenv("TUTORIAL_FRAME_FILE");
  if (file != NULL && file[0] != '\0' && ++g_frames == 3) {
    printf("occlusion query: %lu pixels\n", (unsigned long)g_pixelsCounted);
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
  wc.lpszClassName = "D3D Render To Texture";
  RegisterClassEx(&wc);

  HWND hWnd = CreateWindow("D3D Render To Texture", "Render to texture", WS_OVERLAPPEDWINDOW, 100, 100, 300, 300,
                           NULL, NULL, wc.hInstance, NULL);

  if (SUCCEEDED(InitD3D(hWnd)) && SUCCEEDED(InitTargets())) {
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
    MessageBox(NULL, "Could not set up Direct3D and its render target", "Render to texture", MB_OK);
    g_exitCode = 1;
    Cleanup();
  }

  UnregisterClass("D3D Render To Texture", wc.hInstance);
  return g_exitCode;
}
