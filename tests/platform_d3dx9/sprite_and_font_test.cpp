// ID3DXSprite and ID3DXFont on a headless device: where sprites land, the state a batch leaves
// behind, calls out of order, and text measured, clipped and refused.
#include <d3dx9.h>

#include "platform_d3d9/render_helpers.h"

namespace d3d9test {
namespace {

class SpriteAndFont : public DeviceTest {
 protected:
  // A solid-coloured texture, so that filtering cannot blur its edges into the test.
  IDirect3DTexture9* Solid(UINT w, UINT h, uint32_t argb) {
    return MakeTexture(w, h, D3DFMT_A8R8G8B8, [argb](UINT, UINT) { return argb; });
  }
  ID3DXSprite* MakeSprite() {
    ID3DXSprite* sprite = nullptr;
    EXPECT_EQ(D3D_OK, D3DXCreateSprite(dev, &sprite));
    return sprite;
  }
};

TEST_F(SpriteAndFont, SpritesLandOnThePixelsTheirRectanglesCover) {
  struct Case {
    const char* name;
    RECT source;  // left == right: the whole texture
    D3DXVECTOR3 center, position;
    float scale;
    D3DCOLOR color;
    RECT expected;
    uint32_t pixel;
  };
  const Case cases[] = {
      {"whole texture at a position", {0, 0, 0, 0}, {0, 0, 0}, {10, 20, 0}, 1, 0xFFFFFFFF, {10, 20, 18, 24}, 0xFFFFFFFF},
      {"source rectangle about its centre", {2, 0, 6, 2}, {2, 1, 0}, {30, 10, 0}, 1, 0xFFFFFFFF, {28, 9, 32, 11},
       0xFFFFFFFF},
      {"through the transform, colour modulated", {0, 0, 0, 0}, {0, 0, 0}, {2, 3, 0}, 2, 0xFF808040,
       {4, 6, 20, 14}, 0xFF808040},
      {"half transparent over the clear colour", {0, 0, 0, 0}, {0, 0, 0}, {40, 30, 0}, 1, 0x80FFFFFF,
       {40, 30, 48, 34}, 0xFF808080},
  };
  IDirect3DTexture9* white = Solid(8, 4, 0xFFFFFFFF);
  ID3DXSprite* sprite = MakeSprite();
  ASSERT_NE(sprite, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTo(0xFF000000);
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, c.scale, c.scale, 1);
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    ASSERT_EQ(D3D_OK, sprite->Begin(D3DXSPRITE_ALPHABLEND));
    sprite->SetTransform(&scale);
    const bool whole = c.source.left == c.source.right;
    EXPECT_EQ(D3D_OK, sprite->Draw(white, whole ? nullptr : &c.source, &c.center, &c.position, c.color));
    EXPECT_EQ(D3D_OK, sprite->End());
    dev->EndScene();
    kvrtest::Image expected = Filled(0xFF000000);
    Fill(expected, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom, c.pixel);
    EXPECT_TRUE(MatchesImage(dev, expected, std::string("sprite-") + c.name, 1));
  }
  sprite->Release();
}

TEST_F(SpriteAndFont, EndPutsBackTheStatesBeginChanged) {
  IDirect3DTexture9* own = Solid(2, 2, 0xFF00FF00);
  IDirect3DTexture9* drawn = Solid(2, 2, 0xFFFFFFFF);
  D3DXMATRIX world;
  D3DXMatrixTranslation(&world, 1, 2, 3);
  for (DWORD flags : {DWORD{D3DXSPRITE_ALPHABLEND}, DWORD{D3DXSPRITE_ALPHABLEND | D3DXSPRITE_DONOTSAVESTATE}}) {
    SCOPED_TRACE(flags);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetRenderState(D3DRS_LIGHTING, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    dev->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    dev->SetTransform(D3DTS_WORLD, &world);
    dev->SetTexture(0, own);
    dev->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);

    ID3DXSprite* sprite = MakeSprite();
    dev->BeginScene();
    ASSERT_EQ(D3D_OK, sprite->Begin(flags));
    sprite->Draw(drawn, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    ASSERT_EQ(D3D_OK, sprite->End());
    dev->EndScene();
    sprite->Release();

    const bool saved = !(flags & D3DXSPRITE_DONOTSAVESTATE);
    DWORD v = 0;
    dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, saved ? FALSE : TRUE);
    dev->GetRenderState(D3DRS_CULLMODE, &v);
    EXPECT_EQ(v, saved ? DWORD{D3DCULL_CW} : DWORD{D3DCULL_NONE});
    dev->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, saved ? TRUE : FALSE);
    dev->GetRenderState(D3DRS_SRCBLEND, &v);
    EXPECT_EQ(v, saved ? DWORD{D3DBLEND_ONE} : DWORD{D3DBLEND_SRCALPHA});
    dev->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, saved ? DWORD{D3DTOP_ADD} : DWORD{D3DTOP_MODULATE});
    dev->GetSamplerState(0, D3DSAMP_MAGFILTER, &v);
    EXPECT_EQ(v == D3DTEXF_POINT, saved);
    D3DXMATRIX now;
    dev->GetTransform(D3DTS_WORLD, &now);
    EXPECT_EQ(now._41 == 1 && now._42 == 2 && now._43 == 3, saved);
    IDirect3DBaseTexture9* bound = nullptr;
    dev->GetTexture(0, &bound);
    EXPECT_EQ(bound == own, saved);
    if (bound) bound->Release();
    dev->GetFVF(&v);
    EXPECT_EQ(v == (D3DFVF_XYZ | D3DFVF_NORMAL), saved);
  }
}

TEST_F(SpriteAndFont, CallsOutOfOrderAreRefusedAndQueuedTexturesAreLetGo) {
  IDirect3DTexture9* texture = Solid(2, 2, 0xFFFFFFFF);
  ID3DXSprite* sprite = MakeSprite();
  EXPECT_EQ(D3DERR_INVALIDCALL, sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF));
  EXPECT_EQ(D3DERR_INVALIDCALL, sprite->Flush());
  EXPECT_EQ(D3DERR_INVALIDCALL, sprite->End());
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateSprite(nullptr, &sprite));
  ASSERT_EQ(D3D_OK, sprite->Begin(0));
  EXPECT_EQ(D3DERR_INVALIDCALL, sprite->Begin(0));
  EXPECT_EQ(D3DERR_INVALIDCALL, sprite->Draw(nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFF));
  texture->AddRef();
  const ULONG before = texture->Release();
  for (int i = 0; i < 3; ++i) sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
  texture->AddRef();
  EXPECT_EQ(texture->Release(), before + 3);  // held while queued
  sprite->Release();                          // released with its queue undrawn
  texture->AddRef();
  EXPECT_EQ(texture->Release(), before);
}

TEST_F(SpriteAndFont, TextIsMeasuredAsGdiMeasuresItAndClippedToItsRectangle) {
  ID3DXFont* font = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCreateFontA(dev, 16, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    ANTIALIASED_QUALITY, DEFAULT_PITCH, "DejaVu Sans", &font));
  D3DXFONT_DESCA desc;
  ASSERT_EQ(D3D_OK, font->GetDescA(&desc));
  EXPECT_EQ(desc.Height, 16);
  EXPECT_STREQ(desc.FaceName, "DejaVu Sans");
  SIZE extent = {0, 0};
  ASSERT_TRUE(GetTextExtentPoint32A(font->GetDC(), "Wide text", 9, &extent));

  RECT r = {5, 6, 5, 6};
  EXPECT_EQ(font->DrawTextA(nullptr, "Wide text", -1, &r, DT_CALCRECT, 0), extent.cy);
  EXPECT_EQ(r.right - r.left, extent.cx);
  EXPECT_EQ(r.bottom - r.top, extent.cy);
  r = {5, 6, 5, 6};
  EXPECT_EQ(font->DrawTextW(nullptr, L"Wide text\nWide", -1, &r, DT_CALCRECT, 0), 2 * extent.cy);
  EXPECT_EQ(r.right - r.left, extent.cx);

  // Clipped: nothing outside the rectangle; unclipped: the same text reaches past it.
  for (DWORD clip : {DWORD{0}, DWORD{DT_NOCLIP}}) {
    SCOPED_TRACE(clip);
    ClearTo(0xFF000000);
    RECT box = {10, 10, 30, 40};
    dev->BeginScene();
    EXPECT_GT(font->DrawTextA(nullptr, "WWWWWWWW", -1, &box, DT_LEFT | clip, 0xFFFFFFFF), 0);
    dev->EndScene();
    const kvrtest::Image frame = kvrtest::ReadBackBuffer(dev);
    int inside = 0, outside = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) {
        const bool lit = (frame.At(x, y) & 0xFF) > 0;
        const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
        (in ? inside : outside) += lit;
      }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside > 0, clip == DT_NOCLIP);
  }
  font->Release();
}

TEST_F(SpriteAndFont, HostileFontsAndTextNeitherCrashNorHang) {
  ID3DXFont* font = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateFontIndirectA(dev, nullptr, &font));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateFontA(nullptr, 16, 0, 0, 1, 0, 0, 0, 0, 0, "x", &font));
  // A face name that fills the field without a terminating null, and a huge height.
  D3DXFONT_DESCA desc = {};
  desc.Height = 1 << 30;
  std::memset(desc.FaceName, 'Z', sizeof(desc.FaceName));
  if (SUCCEEDED(D3DXCreateFontIndirectA(dev, &desc, &font))) {
    RECT r = {0, 0, 50, 50};
    dev->BeginScene();
    font->DrawTextA(nullptr, "big", -1, &r, 0, 0xFFFFFFFF);
    dev->EndScene();
    EXPECT_EQ(D3D_OK, font->PreloadCharacters(0, 0xFFFFFFFF));
    font->Release();
  }
  ASSERT_EQ(D3D_OK, D3DXCreateFontW(dev, -12, 0, 0, 1, 0, 0, 0, 0, 0, L"DejaVu Sans Mono", &font));
  EXPECT_EQ(D3D_OK, font->PreloadCharacters(0, 0xFFFFFFFF));  // every code point, bounded work
  EXPECT_EQ(0, font->DrawTextA(nullptr, nullptr, -1, nullptr, 0, 0));
  EXPECT_EQ(0, font->DrawTextW(nullptr, L"", -1, nullptr, 0, 0));
  // Ill-formed UTF-8, characters GDI has no glyph for, and a long unbroken word.
  std::string text = "\xff\xfe\xc3 \xe2\x82 \xf0\x9f\x98\x80";
  text += std::string(100000, 'w');
  RECT r = {0, 0, 60, 40};
  dev->BeginScene();
  EXPECT_GT(font->DrawTextA(nullptr, text.c_str(), static_cast<INT>(text.size()), &r, DT_WORDBREAK, 0xFFFFFFFF), 0);
  dev->EndScene();
  font->Release();
}

}  // namespace
}  // namespace d3d9test
