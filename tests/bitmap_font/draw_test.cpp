// Drawing strings: batching, pen movement, skipped bytes and the device state around each string.
#include <string>
#include <vector>

#include "bitmap_font/font_fixture.h"

namespace {

using fonttest::Box;
using fonttest::FontDeviceTest;

// Every value the font's state blocks record, read from the device.
struct RecordedStates {
  std::vector<DWORD> values;
  IDirect3DBaseTexture9* texture = nullptr;
  bool operator==(const RecordedStates& o) const { return values == o.values && texture == o.texture; }
};

const D3DRENDERSTATETYPE kRenderStates[] = {
    D3DRS_ZENABLE,   D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND,      D3DRS_DESTBLEND,
    D3DRS_ALPHATESTENABLE, D3DRS_ALPHAREF,  D3DRS_ALPHAFUNC,     D3DRS_FILLMODE,
    D3DRS_CULLMODE,  D3DRS_STENCILENABLE,   D3DRS_CLIPPING,      D3DRS_CLIPPLANEENABLE,
    D3DRS_VERTEXBLEND, D3DRS_INDEXEDVERTEXBLENDENABLE, D3DRS_FOGENABLE, D3DRS_COLORWRITEENABLE};
const D3DTEXTURESTAGESTATETYPE kStage0States[] = {
    D3DTSS_COLOROP,  D3DTSS_COLORARG1, D3DTSS_COLORARG2,     D3DTSS_ALPHAOP,
    D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2, D3DTSS_TEXCOORDINDEX, D3DTSS_TEXTURETRANSFORMFLAGS};
const D3DSAMPLERSTATETYPE kSamplerStates[] = {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER};

RecordedStates ReadRecordedStates(IDirect3DDevice9* device) {
  RecordedStates s;
  DWORD v = 0;
  for (auto rs : kRenderStates) {
    device->GetRenderState(rs, &v);
    s.values.push_back(v);
  }
  for (auto ts : kStage0States) {
    device->GetTextureStageState(0, ts, &v);
    s.values.push_back(v);
  }
  device->GetTextureStageState(1, D3DTSS_COLOROP, &v);
  s.values.push_back(v);
  device->GetTextureStageState(1, D3DTSS_ALPHAOP, &v);
  s.values.push_back(v);
  for (auto ss : kSamplerStates) {
    device->GetSamplerState(0, ss, &v);
    s.values.push_back(v);
  }
  device->GetTexture(0, &s.texture);
  if (s.texture) s.texture->Release();  // compared by identity only
  return s;
}

// A caller's state that differs from the font's in every recorded value.
void SetCallerStates(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
  device->SetTexture(0, texture);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  device->SetRenderState(D3DRS_ALPHAREF, 0x40);
  device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_CLIPPING, FALSE);
  device->SetRenderState(D3DRS_CLIPPLANEENABLE, 1);
  device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0x7);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
}

class FontDrawTest : public FontDeviceTest {
 protected:
  void SetUp() override {
    FontDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    font = std::make_unique<BitmapFont>("Arial", 12, FontBold);
    ASSERT_EQ(font->AttachDevice(device), S_OK);
    ASSERT_EQ(font->CreateDrawResources(), S_OK);
  }
  void TearDown() override {
    font.reset();
    FontDeviceTest::TearDown();
  }
  std::vector<UINT> DrawCounted(const char* text) {
    kvrtest::ResetCounters(device);
    device->BeginScene();
    font->DrawScreenText(10, 10, 0xFFFFFFFF, text, TextFiltered);
    device->EndScene();
    return kvrtest::DrawCallPrimitiveCounts(device);
  }
  Box Ink(const kvrtest::Image& image) { return fonttest::InkBox(image, 0, 0, 1024, 768, fonttest::NotBlack); }

  std::unique_ptr<BitmapFont> font;
};

TEST_F(FontDrawTest, ASpaceMovesThePenButAddsNoQuad) {
  EXPECT_EQ(DrawCounted("A B"), std::vector<UINT>{4});
  EXPECT_EQ(DrawCounted("   "), std::vector<UINT>{});

  // B lands where the widths of "A" and " " put it.
  const LONG advance = fonttest::MeasureWithGdi("A ").extent.cx;
  auto together = Frame([&] { font->DrawScreenText(50, 50, 0xFFFFFFFF, "A B", 0); });
  auto apart = Frame([&] {
    font->DrawScreenText(50, 50, 0xFFFFFFFF, "A", 0);
    font->DrawScreenText(50.0f + advance, 50, 0xFFFFFFFF, "B", 0);
  });
  EXPECT_TRUE(together.pixels == apart.pixels);
}

TEST_F(FontDrawTest, FiftyOneCharactersTakeTwoDrawsOfOneHundredAndTwoTriangles) {
  EXPECT_EQ(DrawCounted(std::string(51, 'i').c_str()), (std::vector<UINT>{100, 2}));
  EXPECT_EQ(DrawCounted(std::string(50, 'i').c_str()), (std::vector<UINT>{100}));
  // Spaces do not count towards a fill.
  EXPECT_EQ(DrawCounted((std::string(50, 'i') + "  ").c_str()), (std::vector<UINT>{100}));
  EXPECT_EQ(DrawCounted(std::string(101, 'i').c_str()), (std::vector<UINT>{100, 100, 2}));
}

TEST_F(FontDrawTest, ANewlineStartsTheNextLineOneCellLowerAtTheLineStart) {
  auto twoLines = Frame([&] { font->DrawScreenText(40, 30, 0xFFFFFFFF, "AW\nB", 0); });
  auto separate = Frame([&] {
    font->DrawScreenText(40, 30, 0xFFFFFFFF, "AW", 0);
    font->DrawScreenText(40, 30 + 17, 0xFFFFFFFF, "B", 0);  // the space's cell is 17 high
  });
  EXPECT_TRUE(twoLines.pixels == separate.pixels);
  EXPECT_EQ(DrawCounted("A\nB"), std::vector<UINT>{4});
}

TEST_F(FontDrawTest, ControlCharactersAndHighBytesAreSkippedWithoutMovingThePen) {
  auto clean = Frame([&] { font->DrawScreenText(40, 30, 0xFFFFFFFF, "ABC", 0); });
  auto noisy = Frame([&] { font->DrawScreenText(40, 30, 0xFFFFFFFF, "A\t\x7F" "B\x01\xC9\xFF" "C", 0); });
  EXPECT_TRUE(clean.pixels == noisy.pixels);
  EXPECT_FALSE(Ink(clean).Empty());
}

TEST_F(FontDrawTest, EveryRecordedStateIsTheCallersAgainAfterEveryString) {
  IDirect3DTexture9* callerTexture = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &callerTexture, nullptr), S_OK);
  SetCallerStates(device, callerTexture);
  const RecordedStates before = ReadRecordedStates(device);
  ASSERT_EQ(before.texture, callerTexture);

  const std::string longText(120, 'x');
  const char* strings[] = {"", "Hello", longText.c_str(), "a\nb", " "};
  device->BeginScene();
  for (const char* text : strings) {
    for (DWORD flags : {DWORD{0}, TextFiltered}) {
      SCOPED_TRACE(std::string("text \"") + text + "\" flags " + std::to_string(flags));
      font->DrawScreenText(5, 5, 0xFF00FF00, text, flags);
      EXPECT_TRUE(ReadRecordedStates(device) == before);
    }
  }
  // The empty string still locks and unlocks the buffer once, and draws nothing.
  kvrtest::ResetCounters(device);
  EXPECT_EQ(font->DrawScreenText(10, 10, 0xFFFFFFFF, "", TextFiltered), S_OK);
  EXPECT_EQ(kvrtest::GetCounters(device).vertexBufferLocks, 1u);
  EXPECT_EQ(kvrtest::GetCounters(device).drawCalls, 0u);
  EXPECT_TRUE(ReadRecordedStates(device) == before);
  device->EndScene();
  callerTexture->Release();
}

TEST_F(FontDrawTest, AFailedLockDrawsNothingAndRestoresTheCallersState) {
  const RecordedStates before = ReadRecordedStates(device);
  kvrtest::FailVertexBufferLocks(true);
  kvrtest::ResetCounters(device);
  device->BeginScene();
  EXPECT_TRUE(FAILED(font->DrawScreenText(5, 5, 0xFFFFFFFF, "Hello", 0)));
  device->EndScene();
  EXPECT_EQ(kvrtest::GetCounters(device).drawCalls, 0u);
  EXPECT_TRUE(ReadRecordedStates(device) == before);
}

TEST_F(FontDeviceTest, AScreenFontWithoutDrawResourcesDrawsNothingAndTouchesNoState) {
  g_pd3dDevice = device;
  kvrtest::FailVertexBufferCreationAfter(0);
  CreateScreenFont();
  kvrtest::ResetDeviceSeams();
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  const RecordedStates before = ReadRecordedStates(device);
  kvrtest::ResetCounters(device);
  auto image = Frame([] {
    DrawTextYellow(10, 10, "FPS");
    DrawNumberYellow(10, 30, 42);
    DrawTextRgb(10, 50, "Bodies", 255, 0, 0);
  });
  const kvrtest::DeviceCounters counters = kvrtest::GetCounters(device);
  EXPECT_EQ(counters.vertexBufferLocks, 0u);
  EXPECT_EQ(counters.drawCalls, 0u);
  EXPECT_TRUE(ReadRecordedStates(device) == before);
  DWORD fvf = 0;
  device->GetFVF(&fvf);
  EXPECT_EQ(fvf, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_DIFFUSE));

  // Without any screen font the free functions are harmless too.
  DestroyScreenFont();
  DestroyScreenFont();
  DrawTextYellow(10, 10, "FPS");
  DrawNumberYellow(10, 30, 42);
}

TEST_F(FontDeviceTest, TheFreeFunctionsDrawInTheirColoursAndFormatNumbers) {
  g_pd3dDevice = device;
  CreateScreenFont();
  auto red = Frame([] { DrawTextRgb(10, 10, "IIII", 255, 0, 0); });
  bool opaqueRed = false;
  for (uint32_t p : red.pixels) {
    EXPECT_EQ(p & 0x0000FFFF, 0u);
    opaqueRed |= (p & 0x00FFFFFF) == 0x00FF0000;
  }
  EXPECT_TRUE(opaqueRed);

  auto number = Frame([] { DrawNumberYellow(10, 10, -12); });
  auto text = Frame([] { DrawTextYellow(10, 10, "-12"); });
  EXPECT_TRUE(number.pixels == text.pixels);
  EXPECT_FALSE(fonttest::InkBox(number, 0, 0, 100, 40, fonttest::NotBlack).Empty());
}

}  // namespace
