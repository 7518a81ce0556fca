// Lit scenes for comparing the layer with another Direct3D 9: a plain Win32 + Direct3D 9 program
// that draws a sphere under each of a set of lighting set-ups, saves every frame as
// lit-<n>.png in the working folder, and writes what the device answered to questions the
// published documentation leaves open into lit-answers.txt. Built once against the layer and
// once with mingw-w64 (run under Wine); compare.sh sets the two sets of frames side by side.
// Exit code 0 when every scene was drawn and saved.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kSize = 192;

struct Vertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR
  float x, y, z, nx, ny, nz;
  D3DCOLOR diffuse, specular;
};
const DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse, specular;
};
const DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

// A unit sphere of latitude bands as a triangle list; vertex colours vary with longitude.
std::vector<Vertex> Sphere(int bands, int segments) {
  std::vector<Vertex> out;
  const float pi = 3.14159265f;
  auto at = [&](int b, int s) {
    const float theta = pi * b / bands, phi = 2 * pi * s / segments;
    Vertex v;
    v.nx = std::sin(theta) * std::cos(phi);
    v.ny = std::cos(theta);
    v.nz = std::sin(theta) * std::sin(phi);
    v.x = v.nx;
    v.y = v.ny;
    v.z = v.nz;
    const int red = static_cast<int>(255 * (0.5f + 0.5f * std::cos(phi)));
    v.diffuse = D3DCOLOR_ARGB(255, red, 255 - red, 128);
    v.specular = D3DCOLOR_ARGB(255, 0, 0, red / 2);
    return v;
  };
  for (int b = 0; b < bands; ++b)
    for (int s = 0; s < segments; ++s) {
      const Vertex a = at(b, s), c = at(b + 1, s), d = at(b + 1, s + 1), e = at(b, s + 1);
      out.push_back(a), out.push_back(c), out.push_back(d);
      out.push_back(a), out.push_back(d), out.push_back(e);
    }
  return out;
}

D3DCOLORVALUE Rgb(float r, float g, float b) { return {r, g, b, 1.0f}; }

D3DLIGHT9 Light(D3DLIGHTTYPE type) {
  D3DLIGHT9 l;
  ZeroMemory(&l, sizeof(l));
  l.Type = type;
  l.Diffuse = Rgb(1, 1, 1);
  l.Direction.z = 1;
  l.Range = 100;
  l.Attenuation0 = 1;
  return l;
}

void Scale(D3DXMATRIX* m, float s) {
  D3DXMatrixIdentity(m);
  m->_11 = m->_22 = m->_33 = s;
}

// Puts the device back to the set-up every scene starts from.
void Reset(IDirect3DDevice9* d) {
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  d->SetTransform(D3DTS_WORLD, &m);
  D3DXVECTOR3 eye(0, 0.5f, -3.2f), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&m, &eye, &at, &up);
  d->SetTransform(D3DTS_VIEW, &m);
  D3DXMatrixPerspectiveFovLH(&m, 3.14159265f / 4, 1.0f, 0.5f, 10.0f);
  d->SetTransform(D3DTS_PROJECTION, &m);
  d->SetRenderState(D3DRS_LIGHTING, TRUE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  d->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(24, 24, 24));
  d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  d->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
  d->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
  d->SetRenderState(D3DRS_COLORVERTEX, TRUE);
  d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  D3DMATERIAL9 mat;
  ZeroMemory(&mat, sizeof(mat));
  mat.Diffuse = Rgb(0.8f, 0.6f, 0.3f);
  mat.Ambient = Rgb(1, 1, 1);
  mat.Specular = Rgb(1, 1, 1);
  mat.Power = 12;
  d->SetMaterial(&mat);
  for (DWORD i = 0; i < 4; ++i) d->LightEnable(i, FALSE);
}

// Each scene sets what differs from Reset and draws; false when a call fails.
bool Scene(IDirect3DDevice9* d, int n, IDirect3DVertexBuffer9* sphere, UINT triangles) {
  D3DLIGHT9 l;
  D3DMATERIAL9 mat;
  D3DXMATRIX m;
  bool ok = true;
  auto set = [&](DWORD i, const D3DLIGHT9& light) {
    ok = ok && SUCCEEDED(d->SetLight(i, &light)) && SUCCEEDED(d->LightEnable(i, TRUE));
  };
  switch (n) {
    case 0:  // a directional light from the upper left, diffuse and ambient
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {1, -1, 1};
      l.Ambient = Rgb(0.1f, 0.1f, 0.2f);
      set(0, l);
      break;
    case 1:  // a point light with distance attenuation and a range that cuts the far side
      l = Light(D3DLIGHT_POINT);
      l.Position = {-1.5f, 1.0f, -1.5f};
      l.Attenuation0 = 0.2f;
      l.Attenuation1 = 0.3f;
      l.Range = 3.0f;
      l.Specular = Rgb(1, 1, 1);
      set(0, l);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      break;
    case 2:  // a spot with a soft edge and a specular highlight seen from infinity
      l = Light(D3DLIGHT_SPOT);
      l.Position = {0.3f, 0.5f, -3.0f};
      l.Direction = {-0.1f, -0.15f, 1};
      l.Theta = 0.3f;
      l.Phi = 0.7f;
      l.Falloff = 2.0f;
      l.Specular = Rgb(0.8f, 0.8f, 1);
      set(0, l);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      d->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
      break;
    case 3:  // vertex colours as diffuse and ambient material, an emissive tint, two lights
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {-1, -0.5f, 0.5f};
      set(0, l);
      l = Light(D3DLIGHT_POINT);
      l.Diffuse = Rgb(0.2f, 0.2f, 0.6f);
      l.Position = {1.5f, -1, -1};
      set(1, l);
      d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
      d->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1);
      d->GetMaterial(&mat);
      mat.Emissive = Rgb(0.1f, 0, 0);
      d->SetMaterial(&mat);
      break;
    case 4:  // a scaled world without rescaled normals, specular from the vertex's colour 2
      Scale(&m, 0.6f);
      d->SetTransform(D3DTS_WORLD, &m);
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {0.5f, -0.5f, 1};
      l.Diffuse = Rgb(0.4f, 0.4f, 0.4f);
      l.Specular = Rgb(1, 1, 1);
      set(0, l);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      d->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2);
      break;
    case 5:  // the same with NORMALIZENORMALS
      Scale(&m, 0.6f);
      d->SetTransform(D3DTS_WORLD, &m);
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {0.5f, -0.5f, 1};
      l.Diffuse = Rgb(0.4f, 0.4f, 0.4f);
      l.Specular = Rgb(1, 1, 1);
      set(0, l);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      d->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2);
      d->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
      break;
    case 6:  // a light enabled before it was ever set: the default light
      ok = ok && SUCCEEDED(d->LightEnable(3, TRUE));
      break;
    case 8:  // a world that grows: shorter normals, not rescaled
      Scale(&m, 1.3f);
      d->SetTransform(D3DTS_WORLD, &m);
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {0.5f, -0.5f, 1};
      l.Specular = Rgb(1, 1, 1);
      set(0, l);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      break;
    case 9:  // what the documentation leaves open: a point light whose attenuation sums to zero
             // (with an ambient part), a directional light without a direction
      l = Light(D3DLIGHT_POINT);
      l.Position = {-1.5f, 1.0f, -1.5f};
      l.Attenuation0 = 0;
      l.Diffuse = Rgb(0.5f, 0.25f, 0);
      l.Ambient = Rgb(0, 0, 0.1f);
      set(0, l);
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {0, 0, 0};
      set(1, l);
      break;
    case 10:  // the stage reads the lit specular colour while SPECULARENABLE is off
      l = Light(D3DLIGHT_DIRECTIONAL);
      l.Direction = {0.3f, -0.4f, 1};
      l.Specular = Rgb(1, 0.5f, 0.25f);
      set(0, l);
      d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
      d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_SPECULAR);
      break;
    case 11:  // unlit, a format without specular colour read as D3DTA_SPECULAR, SPECULARENABLE on
      d->SetRenderState(D3DRS_LIGHTING, FALSE);
      d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
      d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
      d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_SPECULAR);
      d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
      d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_SPECULAR);
      d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
      d->SetStreamSource(0, sphere, 0, sizeof(Vertex));
      return SUCCEEDED(d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles));
    case 7:  // COLORVERTEX off: the material whatever the sources say; a second, rotated view
      l = Light(D3DLIGHT_POINT);
      l.Position = {0, 2, 0};
      l.Attenuation0 = 0;
      l.Attenuation2 = 0.5f;
      set(0, l);
      d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
      d->SetRenderState(D3DRS_COLORVERTEX, FALSE);
      D3DXMatrixRotationY(&m, 0.8f);
      d->SetTransform(D3DTS_WORLD, &m);
      break;
  }
  d->SetFVF(kFvf);
  d->SetStreamSource(0, sphere, 0, sizeof(Vertex));
  ok = ok && SUCCEEDED(d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles));
  return ok;
}

// A pre-transformed quad with a specular colour, lighting on: never lit; the specular adds.
bool PretransformedScene(IDirect3DDevice9* d, IDirect3DVertexBuffer9* quad) {
  d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  d->SetFVF(kScreenFvf);
  d->SetStreamSource(0, quad, 0, sizeof(ScreenVertex));
  return SUCCEEDED(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
}

void Answers(IDirect3DDevice9* d, FILE* f) {
  D3DCAPS9 caps;
  d->GetDeviceCaps(&caps);
  std::fprintf(f, "MaxActiveLights %u\n", static_cast<unsigned>(caps.MaxActiveLights));
  D3DLIGHT9 l;
  std::fprintf(f, "GetLight never set: %08x\n", static_cast<unsigned>(d->GetLight(40, &l)));
  BOOL on = 7;
  std::fprintf(f, "GetLightEnable never set: %08x\n", static_cast<unsigned>(d->GetLightEnable(40, &on)));
  d->LightEnable(41, TRUE);
  d->GetLightEnable(41, &on);
  std::fprintf(f, "GetLightEnable enabled: %d\n", on);
  d->GetLight(41, &l);
  std::fprintf(f, "default light: type %d diffuse %g %g %g %g direction %g %g %g range %g a0 %g\n", l.Type,
               l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a, l.Direction.x, l.Direction.y, l.Direction.z,
               l.Range, l.Attenuation0);
  struct Case {
    const char* name;
    D3DLIGHT9 light;
  };
  std::vector<Case> cases;
  l = Light(D3DLIGHT_DIRECTIONAL);
  l.Direction = {0, 0, 0};
  cases.push_back({"directional, zero direction", l});
  l = Light(D3DLIGHT_DIRECTIONAL);
  l.Range = -1;
  l.Attenuation0 = -1;
  cases.push_back({"directional, negative range and attenuation", l});
  l = Light(D3DLIGHT_POINT);
  l.Range = -1;
  cases.push_back({"point, negative range", l});
  l = Light(D3DLIGHT_POINT);
  l.Range = 2e19f;
  cases.push_back({"point, range past sqrt(FLT_MAX)", l});
  l = Light(D3DLIGHT_POINT);
  l.Attenuation1 = -1;
  cases.push_back({"point, negative attenuation", l});
  l = Light(D3DLIGHT_POINT);
  l.Attenuation0 = 0;
  cases.push_back({"point, attenuation all zero", l});
  l = Light(D3DLIGHT_SPOT);
  l.Theta = 1.0f;
  l.Phi = 0.5f;
  cases.push_back({"spot, theta over phi", l});
  l = Light(D3DLIGHT_SPOT);
  l.Phi = 4.0f;
  cases.push_back({"spot, phi over pi", l});
  l = Light(static_cast<D3DLIGHTTYPE>(0));
  cases.push_back({"type 0", l});
  l = Light(static_cast<D3DLIGHTTYPE>(4));
  cases.push_back({"type 4", l});
  for (const Case& c : cases)
    std::fprintf(f, "SetLight %s: %08x\n", c.name, static_cast<unsigned>(d->SetLight(50, &c.light)));
  HRESULT ninth = D3D_OK;
  for (DWORD i = 0; i < caps.MaxActiveLights + 1; ++i) ninth = d->LightEnable(60 + i, TRUE);
  std::fprintf(f, "LightEnable past MaxActiveLights: %08x\n", static_cast<unsigned>(ninth));
  for (DWORD i = 0; i < caps.MaxActiveLights + 1; ++i) d->LightEnable(60 + i, FALSE);
  d->LightEnable(41, FALSE);
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ValidateRect(hWnd, NULL);
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "Lit Scenes";
  if (!RegisterClassExA(&wc)) return 10;
  HWND hWnd = CreateWindowExA(0, "Lit Scenes", "Lit Scenes", WS_POPUP | WS_VISIBLE, 0, 0, kSize, kSize, NULL, NULL,
                              instance, NULL);
  if (!hWnd) return 11;
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) return 12;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferWidth = kSize;
  pp.BackBufferHeight = kSize;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  IDirect3DDevice9* d = NULL;
  if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &d)))
    return 13;

  const std::vector<Vertex> sphere = Sphere(24, 32);
  IDirect3DVertexBuffer9* vb = NULL;
  void* data = NULL;
  const UINT bytes = static_cast<UINT>(sphere.size() * sizeof(Vertex));
  if (FAILED(d->CreateVertexBuffer(bytes, 0, kFvf, D3DPOOL_MANAGED, &vb, NULL)) || FAILED(vb->Lock(0, 0, &data, 0)))
    return 14;
  memcpy(data, sphere.data(), bytes);
  vb->Unlock();
  const ScreenVertex quad[4] = {{20, 20, 0.5f, 1, 0xFF204080, 0xFF402010},
                                {170, 20, 0.5f, 1, 0xFF204080, 0xFF000000},
                                {20, 170, 0.5f, 1, 0xFF204080, 0xFF808080},
                                {170, 170, 0.5f, 1, 0xFF204080, 0xFF0000FF}};
  IDirect3DVertexBuffer9* qb = NULL;
  if (FAILED(d->CreateVertexBuffer(sizeof(quad), 0, kScreenFvf, D3DPOOL_MANAGED, &qb, NULL)) ||
      FAILED(qb->Lock(0, 0, &data, 0)))
    return 15;
  memcpy(data, quad, sizeof(quad));
  qb->Unlock();

  FILE* answers = std::fopen("lit-answers.txt", "w");
  if (answers) {
    Answers(d, answers);
    std::fclose(answers);
  }

  int failures = 0;
  const int kScenes = 13;
  for (int n = 0; n < kScenes; ++n) {
    Reset(d);
    d->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(40, 40, 48), 1.0f, 0);
    d->BeginScene();
    const bool ok = n < kScenes - 1 ? Scene(d, n, vb, static_cast<UINT>(sphere.size() / 3)) : PretransformedScene(d, qb);
    if (!ok) ++failures;
    d->EndScene();
    IDirect3DSurface9* back = NULL;
    char name[32];
    std::snprintf(name, sizeof(name), "lit-%d.png", n);
    if (FAILED(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) ||
        FAILED(D3DXSaveSurfaceToFileA(name, D3DXIFF_PNG, back, NULL, NULL)))
      ++failures;
    if (back) back->Release();
    d->Present(NULL, NULL, NULL, NULL);
  }
  qb->Release();
  vb->Release();
  d->Release();
  d3d->Release();
  DestroyWindow(hWnd);
  return failures == 0 ? 0 : 20;
}
