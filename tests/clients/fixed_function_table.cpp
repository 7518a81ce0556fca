// A table of the fixed-function pipeline's texture and blending maths: one small cell per case,
// drawn the same way on every device, so a frame can be set against another device's cell by
// cell. Rows: every D3DTOP_ as stage 0's colour operation; every D3DTOP_ as stage 1's colour
// operation with textures on both stages (and its own coordinates); every D3DTOP_ as stage 1's
// alpha operation (shown as grey through a third stage); the argument modifiers and other
// arguments; blend operations and factor pairs; address modes; LOD bias; eight stages at once;
// point lists; fog and texture transforms on transformed vertices.
//
// For unattended runs: when TUTORIAL_FRAME_FILE names a file, the third frame is saved there as a
// PNG picture, the cells' names and rectangles are written beside it (the same name with
// ".cells" added: "name x y width height" a line), and the window closes itself.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <stdio.h>
#include <string.h>

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_dev = NULL;
LPDIRECT3DTEXTURE9 g_tex[8] = {NULL};  // 0, 1: patterns; 2..7: plain colours for the eight stages
LPDIRECT3DTEXTURE9 g_mips = NULL;      // a level per colour, for LOD bias
int g_frames = 0;
int g_exitCode = 0;

const int kColumns = 16, kCell = 24, kPitch = 26;
const int kRows = 10;
const int kWidth = kColumns * kPitch + 2, kHeight = kRows * kPitch + 2;

struct ScreenVertex {
  FLOAT x, y, z, rhw;
  DWORD diffuse, specular;
  FLOAT u0, v0, u1, v1;
};
#define FVF_SCREEN (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2)

struct SceneVertex {
  FLOAT x, y, z;
  DWORD diffuse;
  FLOAT u, v;
};
#define FVF_SCENE (D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1)

// ---- Cells -----------------------------------------------------------------------------------
struct Placed {
  char name[48];
  int x, y;
};
Placed g_cells[kColumns * kRows];
int g_cellCount = 0;
int g_column = 0, g_row = 0;

void NewRow() {
  if (g_column != 0) {
    g_column = 0;
    ++g_row;
  }
}

// The next cell's top left corner, recorded under its name.
void NextCell(const char* name, int* x, int* y) {
  if (g_column == kColumns) NewRow();
  *x = 2 + g_column * kPitch;
  *y = 2 + g_row * kPitch;
  Placed& p = g_cells[g_cellCount++];
  strncpy(p.name, name, sizeof(p.name) - 1);
  p.name[sizeof(p.name) - 1] = '\0';
  p.x = *x;
  p.y = *y;
  ++g_column;
}

// ---- Textures --------------------------------------------------------------------------------
HRESULT MakeTexture(UINT size, UINT levels, LPDIRECT3DTEXTURE9* out, DWORD (*texel)(UINT level, UINT x, UINT y)) {
  if (FAILED(g_dev->CreateTexture(size, size, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, out, NULL)))
    return E_FAIL;
  for (UINT level = 0; level < levels; ++level) {
    D3DLOCKED_RECT r;
    if (FAILED((*out)->LockRect(level, &r, NULL, 0))) return E_FAIL;
    UINT n = size >> level;
    for (UINT y = 0; y < n; ++y) {
      DWORD* row = (DWORD*)((BYTE*)r.pBits + y * r.Pitch);
      for (UINT x = 0; x < n; ++x) row[x] = texel(level, x, y);
    }
    (*out)->UnlockRect(level);
  }
  return S_OK;
}

// Sixteen different colours with alpha from 0x10 to 0xF0.
DWORD Pattern0(UINT, UINT x, UINT y) {
  static const DWORD rgb[16] = {0xE03020, 0x20C040, 0x3050E0, 0xF0F0F0, 0x101010, 0x808080, 0xC0A000, 0x00A0C0,
                                0xA000C0, 0x406080, 0x804020, 0x20E0A0, 0xF08080, 0x8080F0, 0x60C060, 0x303060};
  UINT i = y * 4 + x;
  return ((0x10 + i * 0x0E) << 24) | rgb[i];
}

// Stripes across the other way, alpha falling.
DWORD Pattern1(UINT, UINT x, UINT y) {
  static const DWORD rgb[4] = {0x90E0FF, 0xFF9040, 0x40FF60, 0x6040A0};
  return ((0xF0 - (x * 4 + y) * 0x0C) << 24) | rgb[(x + 2 * y) % 4];
}

// Colours near mid grey: each stage of the eight moves the result a little its own way.
DWORD StageColour(UINT level, UINT, UINT) {
  static const DWORD rgb[8] = {0, 0, 0xA08070, 0x70A080, 0x8070A0, 0x9090A0, 0x60707F, 0x8F6F90};
  return 0xFF000000 | rgb[level];
}

DWORD MipColour(UINT level, UINT, UINT) {
  static const DWORD rgb[6] = {0xFF2020, 0x20FF20, 0x2020FF, 0xFFFF20, 0x20FFFF, 0xFF20FF};
  return 0xFF000000 | rgb[level % 6];
}

UINT g_stageColourIndex = 0;
DWORD StageTexel(UINT, UINT x, UINT y) { return StageColour(g_stageColourIndex, x, y); }

// ---- Drawing ---------------------------------------------------------------------------------
// A quad over the cell: set 0 runs 0..1 (or u0..u1), set 1 runs the other way.
void Quad(int x, int y, DWORD diffuse, FLOAT lo = 0.0f, FLOAT hi = 1.0f) {
  FLOAT x0 = (FLOAT)x, y0 = (FLOAT)y, x1 = x0 + kCell, y1 = y0 + kCell;
  // Pixel centres are on integers: the quad's edges on halves cover exactly kCell pixels.
  x0 -= 0.5f, y0 -= 0.5f, x1 -= 0.5f, y1 -= 0.5f;
  const DWORD spec = 0x80306090;
  ScreenVertex v[4] = {{x0, y0, 0.5f, 1.0f, diffuse, spec, lo, lo, 1.0f, hi},
                       {x1, y0, 0.5f, 1.0f, diffuse, spec, hi, lo, 1.0f, lo},
                       {x0, y1, 0.5f, 1.0f, diffuse, spec, lo, hi, 0.0f, hi},
                       {x1, y1, 0.5f, 1.0f, diffuse, spec, hi, hi, 0.0f, lo}};
  g_dev->SetFVF(FVF_SCREEN);
  g_dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex));
}

void Stage(DWORD s, DWORD op, DWORD a1, DWORD a2, DWORD aop, DWORD aa1, DWORD aa2) {
  g_dev->SetTextureStageState(s, D3DTSS_COLOROP, op);
  g_dev->SetTextureStageState(s, D3DTSS_COLORARG1, a1);
  g_dev->SetTextureStageState(s, D3DTSS_COLORARG2, a2);
  g_dev->SetTextureStageState(s, D3DTSS_ALPHAOP, aop);
  g_dev->SetTextureStageState(s, D3DTSS_ALPHAARG1, aa1);
  g_dev->SetTextureStageState(s, D3DTSS_ALPHAARG2, aa2);
}

// Back to one textured stage, no blending, point sampling, wrapping.
void Reset() {
  for (DWORD s = 0; s < 8; ++s) {
    g_dev->SetTexture(s, NULL);
    Stage(s, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT);
    g_dev->SetTextureStageState(s, D3DTSS_COLORARG0, D3DTA_CURRENT);
    g_dev->SetTextureStageState(s, D3DTSS_ALPHAARG0, D3DTA_CURRENT);
    g_dev->SetTextureStageState(s, D3DTSS_RESULTARG, D3DTA_CURRENT);
    g_dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, s == 1 ? 1 : 0);
    g_dev->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    g_dev->SetSamplerState(s, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    g_dev->SetSamplerState(s, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    g_dev->SetSamplerState(s, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    g_dev->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    g_dev->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    FLOAT zero = 0.0f;
    g_dev->SetSamplerState(s, D3DSAMP_MIPMAPLODBIAS, *(DWORD*)&zero);
  }
  g_dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  g_dev->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  g_dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  g_dev->SetRenderState(D3DRS_FOGENABLE, FALSE);
  g_dev->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
  g_dev->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
  g_dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xA0408060);
  g_dev->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  D3DVIEWPORT9 vp = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
  g_dev->SetViewport(&vp);
}

// Back to the defaults above, with stage 0 showing the texture as it is.
void ShowTexture(LPDIRECT3DTEXTURE9 texture) {
  Reset();
  g_dev->SetTexture(0, texture);
  Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

const DWORD kDiffuse = 0x9060A0C0;
const char* kOps[] = {"", "DISABLE", "SELECTARG1", "SELECTARG2", "MODULATE", "MODULATE2X", "MODULATE4X", "ADD",
                      "ADDSIGNED", "ADDSIGNED2X", "SUBTRACT", "ADDSMOOTH", "BLENDDIFFUSEALPHA",
                      "BLENDTEXTUREALPHA", "BLENDFACTORALPHA", "BLENDTEXTUREALPHAPM", "BLENDCURRENTALPHA",
                      "PREMODULATE", "MODULATEALPHA_ADDCOLOR", "MODULATECOLOR_ADDALPHA",
                      "MODULATEINVALPHA_ADDCOLOR", "MODULATEINVCOLOR_ADDALPHA", "BUMPENVMAP",
                      "BUMPENVMAPLUMINANCE", "DOTPRODUCT3", "MULTIPLYADD", "LERP"};
const DWORD kLastOp = D3DTOP_LERP;

void StageOps() {
  char name[48];
  int x, y;
  // Stage 0: texture against the vertex colour; argument 0 is the specular colour.
  for (DWORD op = D3DTOP_DISABLE; op <= kLastOp; ++op) {
    sprintf(name, "stage0.color.%s", kOps[op]);
    NextCell(name, &x, &y);
    Reset();
    g_dev->SetTexture(0, g_tex[0]);
    Stage(0, op, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    g_dev->SetTextureStageState(0, D3DTSS_COLORARG0, D3DTA_SPECULAR);
    Quad(x, y, kDiffuse);
  }
  NewRow();
  // Stage 1: its own texture and coordinates against stage 0's result.
  for (DWORD op = D3DTOP_SELECTARG1; op <= kLastOp; ++op) {
    sprintf(name, "stage1.color.%s", kOps[op]);
    NextCell(name, &x, &y);
    ShowTexture(g_tex[0]);
    g_dev->SetTexture(1, g_tex[1]);
    Stage(1, op, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT);
    g_dev->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_DIFFUSE);
    Quad(x, y, kDiffuse);
  }
  NewRow();
  // Stage 1's alpha, shown as grey by stage 2.
  for (DWORD op = D3DTOP_SELECTARG1; op <= kLastOp; ++op) {
    if ((op >= D3DTOP_MODULATEALPHA_ADDCOLOR && op <= D3DTOP_MODULATEINVCOLOR_ADDALPHA) || op == D3DTOP_DOTPRODUCT3)
      continue;  // colour operations only
    // Left out: Wine's BLENDFACTORALPHA on alpha does not mix by the factor as its colour form
    // does, so its frame is no reference for it.
    if (op == D3DTOP_BLENDFACTORALPHA) continue;
    sprintf(name, "stage1.alpha.%s", kOps[op]);
    NextCell(name, &x, &y);
    ShowTexture(g_tex[0]);
    g_dev->SetTexture(1, g_tex[1]);
    Stage(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, op, D3DTA_TEXTURE, D3DTA_CURRENT);
    g_dev->SetTextureStageState(1, D3DTSS_ALPHAARG0, D3DTA_DIFFUSE);
    Stage(2, D3DTOP_SELECTARG1, D3DTA_CURRENT | D3DTA_ALPHAREPLICATE, D3DTA_CURRENT, D3DTOP_SELECTARG1,
          D3DTA_CURRENT, D3DTA_CURRENT);
    Quad(x, y, kDiffuse);
  }
  NewRow();
}

void Arguments() {
  struct Case {
    const char* name;
    DWORD arg1, arg2, op;
  } cases[] = {
      {"arg.TEXTURE|COMPLEMENT", D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1},
      {"arg.TEXTURE|ALPHAREPLICATE", D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1},
      {"arg.TEXTURE|COMPLEMENT|ALPHAREPLICATE", D3DTA_TEXTURE | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE,
       D3DTA_DIFFUSE, D3DTOP_SELECTARG1},
      {"arg.DIFFUSE|COMPLEMENT", D3DTA_TEXTURE, D3DTA_DIFFUSE | D3DTA_COMPLEMENT, D3DTOP_MODULATE},
      {"arg.DIFFUSE|ALPHAREPLICATE", D3DTA_TEXTURE, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, D3DTOP_ADD},
      {"arg.TFACTOR", D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_MODULATE2X},
      {"arg.SPECULAR", D3DTA_SPECULAR, D3DTA_TEXTURE, D3DTOP_ADD},
  };
  int x, y;
  for (const Case& c : cases) {
    NextCell(c.name, &x, &y);
    Reset();
    g_dev->SetTexture(0, g_tex[0]);
    Stage(0, c.op, c.arg1, c.arg2, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    Quad(x, y, kDiffuse);
  }
  // Stage 1's complement of what stage 0 made.
  NextCell("arg.stage1.CURRENT|COMPLEMENT", &x, &y);
  Reset();
  g_dev->SetTexture(0, g_tex[0]);
  g_dev->SetTexture(1, g_tex[1]);
  Stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  Stage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT | D3DTA_COMPLEMENT, D3DTOP_SELECTARG1, D3DTA_CURRENT,
        D3DTA_CURRENT);
  Quad(x, y, kDiffuse);
  // A result kept in the temporary register and read back by the next stage.
  NextCell("arg.RESULTARG.TEMP", &x, &y);
  ShowTexture(g_tex[0]);
  g_dev->SetTexture(1, g_tex[1]);
  g_dev->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
  Stage(1, D3DTOP_ADDSIGNED, D3DTA_TEMP, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT);
  Quad(x, y, kDiffuse);
  // Alpha test against the texture's alpha.
  NextCell("alphatest.GREATER", &x, &y);
  ShowTexture(g_tex[0]);
  g_dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  g_dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  g_dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
  Quad(x, y, kDiffuse);
  NewRow();
}

void Blending() {
  struct Case {
    const char* name;
    DWORD op, src, dst;
  } cases[] = {
      {"blend.ADD.ONE.ONE", D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE},
      {"blend.SUBTRACT.ONE.ONE", D3DBLENDOP_SUBTRACT, D3DBLEND_ONE, D3DBLEND_ONE},
      {"blend.REVSUBTRACT.ONE.ONE", D3DBLENDOP_REVSUBTRACT, D3DBLEND_ONE, D3DBLEND_ONE},
      {"blend.MIN", D3DBLENDOP_MIN, D3DBLEND_ONE, D3DBLEND_ONE},
      {"blend.MAX", D3DBLENDOP_MAX, D3DBLEND_ONE, D3DBLEND_ONE},
      {"blend.SRCALPHA.INVSRCALPHA", D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
      {"blend.DESTCOLOR.ZERO", D3DBLENDOP_ADD, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
      {"blend.ZERO.SRCCOLOR", D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},
      {"blend.INVDESTCOLOR.ONE", D3DBLENDOP_ADD, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE},
      {"blend.INVSRCCOLOR.SRCCOLOR", D3DBLENDOP_ADD, D3DBLEND_INVSRCCOLOR, D3DBLEND_SRCCOLOR},
      {"blend.BOTHSRCALPHA", D3DBLENDOP_ADD, D3DBLEND_BOTHSRCALPHA, D3DBLEND_ZERO},
      {"blend.BOTHINVSRCALPHA", D3DBLENDOP_ADD, D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ZERO},
      {"blend.BLENDFACTOR.INVBLENDFACTOR", D3DBLENDOP_ADD, D3DBLEND_BLENDFACTOR, D3DBLEND_INVBLENDFACTOR},
      {"blend.SRCALPHASAT.ONE", D3DBLENDOP_ADD, D3DBLEND_SRCALPHASAT, D3DBLEND_ONE},
      {"blend.SUBTRACT.SRCALPHA.ONE", D3DBLENDOP_SUBTRACT, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
  };
  int x, y;
  for (const Case& c : cases) {
    NextCell(c.name, &x, &y);
    Reset();
    // The texture underneath, then the vertex colour over it.
    g_dev->SetTexture(0, g_tex[0]);
    Stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    Quad(x, y, kDiffuse);
    g_dev->SetTexture(0, g_tex[1]);
    Stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    g_dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_dev->SetRenderState(D3DRS_BLENDOP, c.op);
    g_dev->SetRenderState(D3DRS_SRCBLEND, c.src);
    g_dev->SetRenderState(D3DRS_DESTBLEND, c.dst);
    g_dev->SetRenderState(D3DRS_BLENDFACTOR, 0x40C08020);
    Quad(x, y, 0xC0E0C0A0);
  }
  NewRow();
}

void Sampling() {
  struct Case {
    const char* name;
    DWORD address;
  } cases[] = {{"address.WRAP", D3DTADDRESS_WRAP},     {"address.MIRROR", D3DTADDRESS_MIRROR},
               {"address.CLAMP", D3DTADDRESS_CLAMP},   {"address.BORDER", D3DTADDRESS_BORDER},
               {"address.MIRRORONCE", D3DTADDRESS_MIRRORONCE}};
  int x, y;
  for (const Case& c : cases) {
    NextCell(c.name, &x, &y);
    ShowTexture(g_tex[0]);
    g_dev->SetSamplerState(0, D3DSAMP_ADDRESSU, c.address);
    g_dev->SetSamplerState(0, D3DSAMP_ADDRESSV, c.address);
    g_dev->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF40A0F0);
    Quad(x, y, kDiffuse, -1.0f, 2.0f);
  }
  // The mip level picked with the bias added: level 0 by itself, further ones with more bias.
  const FLOAT biases[] = {-1.0f, 0.0f, 1.0f, 2.0f};
  for (FLOAT bias : biases) {
    char name[48];
    sprintf(name, "lodbias.%+d", (int)bias);
    NextCell(name, &x, &y);
    ShowTexture(g_mips);
    g_dev->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    g_dev->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, *(DWORD*)&bias);
    Quad(x, y, kDiffuse);
  }
  // Eight stages, each with its own texture, alternating coordinate sets.
  NextCell("stages.eight", &x, &y);
  Reset();
  for (DWORD s = 0; s < 8; ++s) {
    g_dev->SetTexture(s, g_tex[s]);
    g_dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, s % 2);
    if (s == 0)
      Stage(s, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    else if (s == 1)
      Stage(s, D3DTOP_LERP, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT);
    else
      Stage(s, s % 2 ? D3DTOP_MODULATE2X : D3DTOP_ADDSIGNED, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1,
            D3DTA_CURRENT, D3DTA_CURRENT);
    g_dev->SetTextureStageState(s, D3DTSS_COLORARG0, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
  }
  Quad(x, y, kDiffuse);
  // Sixteen points on pixel centres.
  NextCell("points", &x, &y);
  Reset();
  ScreenVertex points[16];
  for (int i = 0; i < 16; ++i) {
    ScreenVertex& p = points[i];
    memset(&p, 0, sizeof(p));
    p.x = (FLOAT)(x + 2 + (i % 4) * 6);
    p.y = (FLOAT)(y + 2 + (i / 4) * 6);
    p.z = 0.5f;
    p.rhw = 1.0f;
    p.diffuse = 0xFF000000 | Pattern0(0, i % 4, i / 4);
  }
  g_dev->SetFVF(FVF_SCREEN);
  g_dev->DrawPrimitiveUP(D3DPT_POINTLIST, 16, points, sizeof(ScreenVertex));
  NewRow();
}

// A textured square at camera depth 3 that fills the cell's viewport. Direct3D's pixel centres lie
// on the viewport's edges, so the coordinates are shifted half a pixel to keep every sample off a
// texel's edge.
void SceneQuad(int x, int y) {
  D3DVIEWPORT9 vp = {(DWORD)x, (DWORD)y, kCell, kCell, 0.0f, 1.0f};
  g_dev->SetViewport(&vp);
  D3DXMATRIX identity, projection;
  D3DXMatrixIdentity(&identity);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.5f, 10.0f);
  g_dev->SetTransform(D3DTS_WORLD, &identity);
  g_dev->SetTransform(D3DTS_VIEW, &identity);
  g_dev->SetTransform(D3DTS_PROJECTION, &projection);
  const FLOAT lo = 0.5f / kCell, hi = 1.0f + lo;
  SceneVertex v[4] = {{-3.0f, 3.0f, 3.0f, kDiffuse, lo, lo},
                      {3.0f, 3.0f, 3.0f, kDiffuse, hi, lo},
                      {-3.0f, -3.0f, 3.0f, kDiffuse, lo, hi},
                      {3.0f, -3.0f, 3.0f, kDiffuse, hi, hi}};
  g_dev->SetFVF(FVF_SCENE);
  g_dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(SceneVertex));
}

void Transformed() {
  struct Case {
    const char* name;
    DWORD table, vertex;
  } cases[] = {
      {"fog.vertex.LINEAR", D3DFOG_NONE, D3DFOG_LINEAR}, {"fog.vertex.EXP", D3DFOG_NONE, D3DFOG_EXP},
      {"fog.vertex.EXP2", D3DFOG_NONE, D3DFOG_EXP2},     {"fog.table.LINEAR", D3DFOG_LINEAR, D3DFOG_NONE},
      {"fog.table.EXP", D3DFOG_EXP, D3DFOG_NONE},        {"fog.table.EXP2", D3DFOG_EXP2, D3DFOG_NONE},
  };
  int x, y;
  for (const Case& c : cases) {
    NextCell(c.name, &x, &y);
    Reset();
    g_dev->SetTexture(0, g_tex[0]);
    Stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    FLOAT start = 1.0f, end = 5.0f, density = 0.25f;
    g_dev->SetRenderState(D3DRS_FOGENABLE, TRUE);
    g_dev->SetRenderState(D3DRS_FOGCOLOR, 0x00F0A020);
    g_dev->SetRenderState(D3DRS_FOGTABLEMODE, c.table);
    g_dev->SetRenderState(D3DRS_FOGVERTEXMODE, c.vertex);
    g_dev->SetRenderState(D3DRS_FOGSTART, *(DWORD*)&start);
    g_dev->SetRenderState(D3DRS_FOGEND, *(DWORD*)&end);
    g_dev->SetRenderState(D3DRS_FOGDENSITY, *(DWORD*)&density);
    SceneQuad(x, y);
  }
  // Coordinates through the texture matrix: scaled twice over and moved by a quarter.
  NextCell("texturetransform.COUNT2", &x, &y);
  ShowTexture(g_tex[0]);
  D3DXMATRIX m;
  D3DXMatrixScaling(&m, 2.0f, 1.5f, 1.0f);
  m._31 = 0.25f;  // two-float coordinates take their translation from the third row
  m._32 = 0.125f;
  g_dev->SetTransform(D3DTS_TEXTURE0, &m);
  g_dev->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  SceneQuad(x, y);
  D3DXMatrixIdentity(&m);
  g_dev->SetTransform(D3DTS_TEXTURE0, &m);
  NewRow();
}

HRESULT InitD3D(HWND hWnd) {
  if (NULL == (g_pD3D = Direct3DCreate9(D3D_SDK_VERSION))) return E_FAIL;
  D3DPRESENT_PARAMETERS d3dpp;
  ZeroMemory(&d3dpp, sizeof(d3dpp));
  d3dpp.Windowed = TRUE;
  d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  d3dpp.BackBufferFormat = D3DFMT_UNKNOWN;
  d3dpp.BackBufferWidth = kWidth;
  d3dpp.BackBufferHeight = kHeight;
  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &d3dpp, &g_dev)))
    return E_FAIL;
  if (FAILED(MakeTexture(4, 1, &g_tex[0], Pattern0)) || FAILED(MakeTexture(4, 1, &g_tex[1], Pattern1)) ||
      FAILED(MakeTexture(32, 6, &g_mips, MipColour)))
    return E_FAIL;
  for (g_stageColourIndex = 2; g_stageColourIndex < 8; ++g_stageColourIndex)
    if (FAILED(MakeTexture(2, 1, &g_tex[g_stageColourIndex], StageTexel))) return E_FAIL;
  return S_OK;
}

VOID Cleanup() {
  for (int i = 0; i < 8; ++i)
    if (g_tex[i] != NULL) g_tex[i]->Release(), g_tex[i] = NULL;
  if (g_mips != NULL) g_mips->Release(), g_mips = NULL;
  if (g_dev != NULL) g_dev->Release(), g_dev = NULL;
  if (g_pD3D != NULL) g_pD3D->Release(), g_pD3D = NULL;
}

BOOL SaveFrame(const char* file) {
  LPDIRECT3DSURFACE9 back = NULL;
  if (FAILED(g_dev->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return FALSE;
  HRESULT hr = D3DXSaveSurfaceToFileA(file, D3DXIFF_PNG, back, NULL, NULL);
  back->Release();
  char cells[512];
  if (FAILED(hr) || strlen(file) + 7 > sizeof(cells)) return FALSE;
  sprintf(cells, "%s.cells", file);
  FILE* f = fopen(cells, "w");
  if (f == NULL) return FALSE;
  for (int i = 0; i < g_cellCount; ++i)
    fprintf(f, "%s %d %d %d %d\n", g_cells[i].name, g_cells[i].x, g_cells[i].y, kCell, kCell);
  return fclose(f) == 0;
}

VOID Render(HWND hWnd) {
  g_cellCount = g_column = g_row = 0;
  Reset();
  g_dev->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(32, 32, 32), 1.0f, 0);
  if (SUCCEEDED(g_dev->BeginScene())) {
    StageOps();
    Arguments();
    Blending();
    Sampling();
    Transformed();
    g_dev->EndScene();
  }
  const char* file = getenv("TUTORIAL_FRAME_FILE");
  if (file != NULL && file[0] != '\0' && ++g_frames == 3) {
    if (!SaveFrame(file)) g_exitCode = 2;
    PostMessage(hWnd, WM_CLOSE, 0, 0);
  }
  g_dev->Present(NULL, NULL, NULL, NULL);
}

LRESULT WINAPI MsgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    Cleanup();
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProc(hWnd, msg, wParam, lParam);
}

INT WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, INT) {
  WNDCLASSEX wc = {sizeof(WNDCLASSEX), CS_CLASSDC, MsgProc, 0L, 0L, hInst, NULL, NULL, NULL, NULL,
                   "Fixed-function table", NULL};
  RegisterClassEx(&wc);
  RECT r = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hWnd = CreateWindow("Fixed-function table", "Fixed-function table", WS_OVERLAPPEDWINDOW, 50, 50,
                           r.right - r.left, r.bottom - r.top, NULL, NULL, wc.hInstance, NULL);
  if (SUCCEEDED(InitD3D(hWnd))) {
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
  UnregisterClass("Fixed-function table", wc.hInstance);
  return g_exitCode;
}
