// Text and sprites: three fonts drawn with ID3DXFont in several alignments, and the striped
// picture of stripes.bmp drawn with ID3DXSprite, whole, turned about its centre with the sprite's
// transform, and in part, twice its size and half transparent. Built for UNICODE.
//
// The fonts are named by families this system has (DejaVu Sans, Liberation Serif and Liberation
// Mono): a family the system lacks is replaced by whatever the font mapper prefers.
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
LPD3DXSPRITE g_pSprite = NULL;
LPDIRECT3DTEXTURE9 g_pTexture = NULL;
LPD3DXFONT g_pTitleFont = NULL;
LPD3DXFONT g_pTextFont = NULL;
LPD3DXFONT g_pCodeFont = NULL;
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
  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_pd3dDevice)))
    return E_FAIL;
  return S_OK;
}

HRESULT InitObjects() {
  if (FAILED(D3DXCreateTextureFromFile(g_pd3dDevice, L"stripes.bmp", &g_pTexture))) {
    MessageBox(NULL, L"Could not find stripes.bmp", L"Fonts and sprites", MB_OK | MB_ICONERROR);
    return E_FAIL;
  }
  if (FAILED(D3DXCreateSprite(g_pd3dDevice, &g_pSprite))) return E_FAIL;
  if (FAILED(D3DXCreateFont(g_pd3dDevice, 24, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"DejaVu Sans", &g_pTitleFont)))
    return E_FAIL;
  D3DXFONT_DESC desc;
  ZeroMemory(&desc, sizeof(desc));
  desc.Height = -15;
  desc.Weight = FW_NORMAL;
  desc.MipLevels = 1;
  desc.Italic = TRUE;
  desc.CharSet = DEFAULT_CHARSET;
  desc.Quality = ANTIALIASED_QUALITY;
  StringCchCopy(desc.FaceName, LF_FACESIZE, L"Liberation Serif");
  if (FAILED(D3DXCreateFontIndirect(g_pd3dDevice, &desc, &g_pTextFont))) return E_FAIL;
  if (FAILED(D3DXCreateFontA(g_pd3dDevice, 14, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, FIXED_PITCH, "Liberation Mono", &g_pCodeFont)))
    return E_FAIL;
  // Glyphs made before the first frame.
  g_pTitleFont->PreloadCharacters(32, 127);
  g_pTextFont->PreloadTextW(L"Sprites and text", -1);
  return S_OK;
}

VOID Cleanup() {
  if (g_pCodeFont != NULL) g_pCodeFont->Release();
  if (g_pTextFont != NULL) g_pTextFont->Release();
  if (g_pTitleFont != NULL) g_pTitleFont->Release();
  if (g_pSprite != NULL) g_pSprite->Release();
  if (g_pTexture != NULL) g_pTexture->Release();
  if (g_pd3dDevice != NULL) g_pd3dDevice->Release();
  if (g_pD3D != NULL) g_pD3D->Release();
  g_pCodeFont = g_pTextFont = g_pTitleFont = NULL;
  g_pSprite = NULL;
  g_pTexture = NULL;
  g_pd3dDevice = NULL;
  g_pD3D = NULL;
}

VOID DrawSprites() {
  D3DXMATRIX transform;
  g_pSprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE);

  // The whole picture, as it is.
  D3DXVECTOR3 position(20.0f, 60.0f, 0.0f);
  g_pSprite->Draw(g_pTexture, NULL, NULL, &position, D3DCOLOR_XRGB(255, 255, 255));

  // The picture turned about its centre, which is placed at (150, 92).
  D3DXMATRIX turn, move;
  D3DXMatrixRotationZ(&turn, Now() / 1000.0f);
  D3DXMatrixTranslation(&move, 150.0f, 92.0f, 0.0f);
  D3DXMatrixMultiply(&transform, &turn, &move);
  g_pSprite->SetTransform(&transform);
  D3DXVECTOR3 center(32.0f, 32.0f, 0.0f);
  g_pSprite->Draw(g_pTexture, NULL, &center, NULL, D3DCOLOR_XRGB(255, 255, 255));

  // The picture's top left quarter, twice its size, half transparent and tinted.
  D3DXMatrixScaling(&transform, 2.0f, 2.0f, 1.0f);
  g_pSprite->SetTransform(&transform);
  RECT quarter = {0, 0, 32, 32};
  D3DXVECTOR3 corner(110.0f, 30.0f, 0.0f);
  g_pSprite->Draw(g_pTexture, &quarter, NULL, &corner, D3DCOLOR_ARGB(128, 255, 255, 160));

  // Text in the same batch as the sprites.
  D3DXMatrixIdentity(&transform);
  g_pSprite->SetTransform(&transform);
  RECT caption = {20, 130, 220, 150};
  g_pTextFont->DrawText(g_pSprite, L"Sprites and text", -1, &caption, DT_LEFT | DT_TOP, D3DCOLOR_XRGB(255, 255, 0));
  g_pSprite->End();
}

VOID DrawWords(const RECT& client) {
  RECT r = client;
  g_pTitleFont->DrawText(NULL, L"Fonts and Sprites", -1, &r, DT_CENTER | DT_TOP, D3DCOLOR_XRGB(255, 255, 255));

  r = client;
  InflateRect(&r, -8, -8);
  g_pCodeFont->DrawText(NULL, L"bottom right", -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE,
                        D3DCOLOR_XRGB(160, 255, 160));

  // A paragraph broken into lines to fit its column, and its height measured first.
  const WCHAR* paragraph = L"A longer paragraph of words wraps at the edge of its column, line by line.";
  RECT column = {240, 50, 392, 200};
  RECT measured = column;
  g_pTextFont->DrawText(NULL, paragraph, -1, &measured, DT_WORDBREAK | DT_CALCRECT, 0);
  g_pTextFont->DrawText(NULL, paragraph, -1, &column, DT_WORDBREAK | DT_LEFT, D3DCOLOR_ARGB(255, 220, 220, 255));

  RECT below = {240, measured.bottom + 4, 392, measured.bottom + 40};
  g_pTextFont->DrawText(NULL, L"centred in a box", -1, &below, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                        D3DCOLOR_ARGB(200, 255, 128, 64));

  RECT code = {20, 170, 230, 240};
  g_pCodeFont->DrawTextA(NULL, "x    = 1;\ny    = x * 2;\nname = \"text\";", -1, &code, DT_LEFT,
                         D3DCOLOR_XRGB(255, 255, 255));

  // Clipped to a box narrower than its text.
  RECT clipped = {20, 250, 140, 270};
  g_pTextFont->DrawText(NULL, L"clipped at the box's right edge", -1, &clipped, DT_LEFT | DT_SINGLELINE,
                        D3DCOLOR_XRGB(255, 200, 200));
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 pBackBuffer = NULL;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, pBackBuffer, NULL, NULL);
  pBackBuffer->Release();
  return SUCCEEDED(hr);
}

VOID Render(HWND hWnd) {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(24, 32, 72), 1.0f, 0);
  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    RECT client;
    GetClientRect(hWnd, &client);
    DrawSprites();
    DrawWords(client);
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
                   L"D3D Fonts", NULL};
  RegisterClassEx(&wc);
  HWND hWnd = CreateWindow(L"D3D Fonts", L"Fonts and Sprites", WS_OVERLAPPEDWINDOW, 100, 100, 408, 327, NULL,
                           NULL, wc.hInstance, NULL);

  if (SUCCEEDED(InitD3D(hWnd)) && SUCCEEDED(InitObjects())) {
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
  UnregisterClass(L"D3D Fonts", wc.hInstance);
  return g_exitCode;
}
