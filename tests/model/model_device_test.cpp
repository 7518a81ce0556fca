// Texture pages and level buffers on a real headless device: sharing, failures, buffer contents,
// texture-animation steps, the three drawing paths and release at shutdown.
#include "model_fixture.h"

class PageTest : public ModelDeviceTest {};

TEST_F(PageTest, PagesAreNumberedByFirstRequestAndSharedWhateverTheLetterCase) {
  WritePlainPage("page-3.dds", 0xFFFF0000);
  WritePlainPage("other.dds", 0xFF0000FF);
  EXPECT_EQ(LoadTexturePage("page-3.dds"), 0);
  EXPECT_EQ(LoadTexturePage("other.dds"), 1);
  EXPECT_EQ(LoadTexturePage("PAGE-3.DDS"), 0);
  EXPECT_EQ(LoadTexturePage("Other.dds"), 1);
  ASSERT_EQ(TexturePageTable.size(), 2u);
  EXPECT_NE(TexturePageTable[0].texture, nullptr);
  EXPECT_NE(TexturePageTable[1].texture, nullptr);
  EXPECT_NE(TexturePageTable[0].texture, TexturePageTable[1].texture);
  EXPECT_EQ(NewTexture, TexturePageTable[1].texture);
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(PageTest, MissingPageIsLoggedOnceHoweverManyModelsNameIt) {
  WritePlainPage("there.dds", 0xFF00FF00);
  LoadModelText("a.pie", SquarePie("200", "gone.pcx"), CategoryBodies);
  LoadModelText("b.pie", SquarePie("200", "gone.pcx"), CategoryBodies);
  LoadModelText("d.pie", SquarePie("200", "there.pcx"), CategoryBodies);
  LoadModelText("c.pie", SquarePie("200", "gone.pcx"), CategoryBodies);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"duskfen\\texpages\\gone.dds",
                                                  "Failed to create texture NewTexture"}));
  ASSERT_EQ(ModelCatalogue.size(), 4u);
  EXPECT_EQ(ModelCatalogue[0].texturePage, 0);
  EXPECT_EQ(ModelCatalogue[1].texturePage, 0);
  EXPECT_EQ(ModelCatalogue[2].texturePage, 1);
  EXPECT_EQ(ModelCatalogue[3].texturePage, 0);
  EXPECT_EQ(TexturePageTable[0].texture, nullptr);
  EXPECT_NE(TexturePageTable[1].texture, nullptr);
}

TEST_F(PageTest, SelectingANumberBeyondTheTableLeavesTheBoundTextureInPlace) {
  WritePlainPage("a.dds", 0xFFFFFFFF);
  LoadTexturePage("a.dds");
  LoadTexturePage("missing.dds");
  IDirect3DBaseTexture9* bound = nullptr;
  SelectTexturePage(0);
  SelectTexturePage(7);
  ASSERT_EQ(g_pd3dDevice->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, TexturePageTable[0].texture);
  if (bound) bound->Release();
  SelectTexturePage(1);  // a page without texture binds none
  ASSERT_EQ(g_pd3dDevice->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, nullptr);
  if (bound) bound->Release();
}

TEST_F(PageTest, ShutdownReleasesEveryTextureExactlyOnce) {
  WritePlainPage("a.dds", 0xFFFFFFFF);
  WritePlainPage("b.dds", 0xFFFFFFFF);
  LoadTexturePage("a.dds");
  LoadTexturePage("b.dds");
  // The last-created release, then the whole table, in either order and more than once.
  ReleaseLastPageTexture();
  EXPECT_EQ(NewTexture, nullptr);
  EXPECT_EQ(TexturePageTable[1].texture, nullptr);
  ReleaseAllPageTextures();
  ReleaseLastPageTexture();
  ReleaseAllPageTextures();
  for (const TexturePage& page : TexturePageTable) EXPECT_EQ(page.texture, nullptr);
}

class LevelBufferTest : public ModelDeviceTest {
 protected:
  int32_t Load(const std::string& name, const std::string& text) {
    LoadModelText(name, text);
    return static_cast<int32_t>(ModelCatalogue.size()) - 1;
  }
  std::vector<PieVertex> Vertices(IDirect3DVertexBuffer9* buffer) {
    D3DVERTEXBUFFER_DESC desc = {};
    buffer->GetDesc(&desc);
    void* data = nullptr;
    std::vector<PieVertex> out;
    if (FAILED(buffer->Lock(0, 0, &data, 0))) return out;
    out.assign(static_cast<PieVertex*>(data), static_cast<PieVertex*>(data) + desc.Size / sizeof(PieVertex));
    buffer->Unlock();
    return out;
  }
  // A two-level model whose level 0 holds a strip of `frames` frames 64 x 32 and level 1 none.
  std::string StripModel(int frames) {
    return "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
           "LEVEL 1 POINTS 3 0 0 0 10 0 0 10 10 0 POLYGONS 1 4200 3 0 1 2 " +
           std::to_string(frames) +
           " 1 64 32 0 0 64 0 64 32 "
           "LEVEL 2 POINTS 3 0 0 0 10 0 0 10 10 0 POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1";
  }
};

TEST_F(LevelBufferTest, VerticesAreTenthsOfPieUnitsWithTexelsOver256) {
  int32_t m = Load("m.pie", OneLevelPie("p.pcx", 3, "10 20 -35  0 0 0  -7 5 1", 1,
                                        "200 3 0 1 2  128 64  0 256  3 7"));
  ASSERT_EQ(LevelBufferTable.size(), 1u);
  IDirect3DVertexBuffer9* buffer = LevelBufferTable[0].buffer;
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(m_pPieVB, buffer);
  EXPECT_EQ(LevelBufferTable[0].model, m);
  EXPECT_EQ(LevelBufferTable[0].triangleCount, 1);
  D3DVERTEXBUFFER_DESC desc = {};
  buffer->GetDesc(&desc);
  EXPECT_EQ(desc.Size, 60u);
  EXPECT_EQ(desc.FVF, 0x102u);
  EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
  std::vector<PieVertex> v = Vertices(buffer);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_FLOAT_EQ(v[0].x, 1.0f);
  EXPECT_FLOAT_EQ(v[0].y, 2.0f);
  EXPECT_FLOAT_EQ(v[0].z, -3.5f);
  EXPECT_FLOAT_EQ(v[0].u, 0.5f);
  EXPECT_FLOAT_EQ(v[0].v, 0.25f);
  EXPECT_FLOAT_EQ(v[1].v, 1.0f);
  EXPECT_FLOAT_EQ(v[2].x, -0.7f);
  EXPECT_FLOAT_EQ(v[2].u, 3.0f / 256.0f);
}

TEST_F(LevelBufferTest, StripsStepAndWrapWhileTeamColouredModelsStayAtFrameZero) {
  TeamColorsFlag = false;
  int32_t plain = Load("plain.pie", StripModel(3));
  TeamColorsFlag = true;
  int32_t team = Load("team.pie", StripModel(3));
  ASSERT_EQ(LevelBufferTable.size(), 4u);
  IDirect3DVertexBuffer9* plainStrip = LevelBufferTable[0].buffer;
  IDirect3DVertexBuffer9* plainStill = LevelBufferTable[1].buffer;
  IDirect3DVertexBuffer9* teamStrip = LevelBufferTable[2].buffer;
  ASSERT_TRUE(plainStrip && plainStill && teamStrip);
  EXPECT_EQ(kvrtest::LockCount(plainStrip), 1u);

  const float expectedU[] = {64.0f / 256, 128.0f / 256, 0.0f};
  for (int step = 0; step < 3; ++step) {
    AdvanceTextureAnimations();
    EXPECT_EQ(ModelCatalogue[plain].frame, (step + 1) % 3);
    EXPECT_FLOAT_EQ(Vertices(plainStrip)[0].u, expectedU[step]) << step;
  }
  // Only the level holding the strip is rewritten, once per step (plus our reads).
  EXPECT_EQ(kvrtest::LockCount(plainStrip), 1u + 3u + 3u);
  EXPECT_EQ(kvrtest::LockCount(plainStill), 1u);
  EXPECT_EQ(ModelCatalogue[team].frame, 0);
  EXPECT_EQ(kvrtest::LockCount(teamStrip), 1u);
  EXPECT_FLOAT_EQ(Vertices(teamStrip)[0].u, 0.0f);
}

TEST_F(LevelBufferTest, EveryAnimationStepLeavesTheBuffersAsAFullRebuildWould) {
  // Level 0 mixes a still quad, a two-sided strip of 64 x 32 frames (the step writes only the
  // strip's vertices, so its triangles must be found among the others), a strip of two corners
  // and one naming a point the level lacks (both make no triangle), a strip of frame width 0
  // (drawn unanimated) and a one-sided pentagon strip of 8 frames 32 wide. Level 1 holds a
  // strip only.
  TeamColorsFlag = false;
  const std::string pie =
      "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 2 "
      "LEVEL 1 POINTS 5 0 0 0 10 0 0 10 10 0 0 10 0 5 15 0 POLYGONS 6 "
      "200 4 0 1 2 3 0 0 8 0 8 8 0 8 "
      "6200 4 0 1 2 3 4 1 64 32 0 0 64 0 64 32 0 32 "
      "4200 2 0 1 4 1 64 32 0 0 1 1 "
      "4a00 3 0 1 9 4 1 64 32 0 0 1 1 2 2 "
      "4200 3 0 1 2 4 1 0 32 5 5 6 6 7 7 "
      "14200 5 0 1 2 3 4 8 1 32 32 0 224 32 224 32 255 16 255 0 255 "
      "LEVEL 2 POINTS 3 0 0 0 10 0 0 10 10 0 POLYGONS 1 6a00 3 0 1 2 4 1 64 32 0 0 64 0 64 32";
  const int32_t m = Load("mixed.pie", pie);
  ASSERT_EQ(LevelBufferTable.size(), 2u);
  for (int step = 0; step <= 9; ++step) {
    if (step > 0) AdvanceTextureAnimations();
    size_t points = static_cast<size_t>(ModelCatalogue[m].pointStart);
    size_t polygons = static_cast<size_t>(ModelCatalogue[m].polygonStart);
    for (int level = 0; level < 2; ++level) {
      TriangleList triangles;
      bool animated = false;
      size_t pointLength = 0, polygonLength = 0;
      ASSERT_TRUE(BuildLevelTriangles(ModelCatalogue[m], points, polygons, triangles, animated,
                                      pointLength, polygonLength));
      points += pointLength;
      polygons += polygonLength;
      const std::vector<PieVertex> v = Vertices(LevelBufferTable[level].buffer);
      ASSERT_EQ(v.size(), triangles.size() * 3) << level;
      for (size_t i = 0; i < v.size(); ++i) {
        const Triangle& t = triangles[i / 3];
        const size_t c = i % 3;
        EXPECT_EQ(v[i].u, static_cast<float>(t.texel[c][0]) / 256.0f) << step << " " << level << " " << i;
        EXPECT_EQ(v[i].v, static_cast<float>(t.texel[c][1]) / 256.0f) << step << " " << level << " " << i;
        EXPECT_EQ(v[i].x, t.position[c][0] / 10.0f);
      }
    }
  }
  // The pentagon's 8 frames and the strips' 4 leave frameCount 4: every frame was shown.
  EXPECT_EQ(ModelCatalogue[m].frameCount, 4);
}

TEST_F(LevelBufferTest, AFreshCatalogueAnimatesTheStripsOfItsOwnModels) {
  // The beat remembers where each level's animated polygons stand; a catalogue emptied and
  // filled again puts other polygons at the same places in the stores.
  TeamColorsFlag = false;
  Load("strip.pie", StripModel(3));
  AdvanceTextureAnimations();
  ASSERT_FLOAT_EQ(Vertices(LevelBufferTable[0].buffer)[0].u, 64.0f / 256);
  ClearLevelBufferTable();
  ClearModelCatalogue();

  // Now a still square comes first in the level and the strip (4 frames) after it.
  const int32_t m = Load("after.pie",
                         "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 1 LEVEL 1 POINTS 4 0 0 0 10 0 0 10 10 0 0 10 0 "
                         "POLYGONS 2 200 4 0 1 2 3 0 0 8 0 8 8 0 8 "
                         "4200 3 0 1 2 4 1 64 32 0 0 64 0 64 32");
  ASSERT_EQ(LevelBufferTable.size(), 1u);
  AdvanceTextureAnimations();
  EXPECT_EQ(ModelCatalogue[m].frame, 1);
  const std::vector<PieVertex> v = Vertices(LevelBufferTable[0].buffer);
  ASSERT_EQ(v.size(), 9u);
  // The square's two triangles keep their texels; the strip's moved one frame, 64 texels on.
  EXPECT_FLOAT_EQ(v[0].u, 0.0f);
  EXPECT_FLOAT_EQ(v[1].u, 8.0f / 256);
  EXPECT_FLOAT_EQ(v[6].u, 64.0f / 256);
  EXPECT_FLOAT_EQ(v[7].u, 128.0f / 256);
}

TEST_F(LevelBufferTest, FailedCreationOrLockLeavesAnEntryWithoutBuffer) {
  kvrtest::FailVertexBufferCreationAfter(0);
  Load("a.pie", SquarePie());
  kvrtest::ResetDeviceSeams();
  kvrtest::FailVertexBufferLocks(true);
  Load("b.pie", SquarePie());
  kvrtest::FailVertexBufferLocks(false);
  Load("c.pie", SquarePie());
  ASSERT_EQ(LevelBufferTable.size(), 3u);
  EXPECT_EQ(LevelBufferTable[0].buffer, nullptr);
  EXPECT_EQ(LevelBufferTable[1].buffer, nullptr);
  EXPECT_NE(LevelBufferTable[2].buffer, nullptr);
  EXPECT_EQ(LevelBufferTable[2].model, 2);
  EXPECT_EQ(LogCount("Failed to create vertex buffer m_pPieVB"), 1);
  EXPECT_EQ(LogCount("Failed to lock vertex buffer m_pPieVB"), 1);

  // A failed update keeps the old coordinates and says so.
  TeamColorsFlag = false;
  Load("strip.pie", StripModel(4));
  IDirect3DVertexBuffer9* strip = LevelBufferTable[3].buffer;
  kvrtest::FailVertexBufferLocks(true);
  AdvanceTextureAnimations();
  kvrtest::FailVertexBufferLocks(false);
  EXPECT_EQ(LogCount("Failed to lock vertex buffer PieVB[]"), 1);
  EXPECT_FLOAT_EQ(Vertices(strip)[0].u, 0.0f);

  // Drawing models without buffers draws nothing and does not stumble.
  kvrtest::ResetCounters(g_pd3dDevice);
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  DrawModel(0, world);
  DrawModel(1, world);
  DrawModel(99, world);
  EXPECT_EQ(kvrtest::GetCounters(g_pd3dDevice).drawCalls, 0u);
}

TEST_F(LevelBufferTest, ShutdownReleasesEveryBufferExactlyOnce) {
  Load("a.pie", SquarePie());
  Load("b.pie", SquarePie("2200"));
  ReleaseLastLevelBuffer();
  EXPECT_EQ(m_pPieVB, nullptr);
  EXPECT_EQ(LevelBufferTable[1].buffer, nullptr);
  ReleaseAllLevelBuffers();
  ReleaseLastLevelBuffer();
  ReleaseAllLevelBuffers();
  for (const LevelBuffer& entry : LevelBufferTable) EXPECT_EQ(entry.buffer, nullptr);
}

class DrawModelTest : public LevelBufferTest {
 protected:
  void SetUp() override {
    LevelBufferTest::SetUp();
    // Levels of 1, 2 and 3 triangles, so each draw call tells which level it drew.
    model_ = Load("three.pie",
                  "PIE 2 TEXTURE 0 p.pcx 256 256 LEVELS 3 "
                  "LEVEL 1 POINTS 3 0 0 0 10 0 0 10 10 0 POLYGONS 1 200 3 0 1 2 0 0 1 0 1 1 "
                  "LEVEL 2 POINTS 4 0 0 0 10 0 0 10 10 0 0 10 0 POLYGONS 1 200 4 0 1 2 3 0 0 1 0 1 1 0 1 "
                  "LEVEL 3 POINTS 5 0 0 0 10 0 0 10 10 0 0 10 0 0 5 0 "
                  "POLYGONS 1 200 5 0 1 2 3 4 0 0 1 0 1 1 0 1 0 0");
    D3DXMatrixTranslation(&before_, 1.0f, 2.0f, 3.0f);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &before_);
  }
  std::vector<UINT> Draw() {
    kvrtest::ResetCounters(g_pd3dDevice);
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, 0.5f);
    g_pd3dDevice->BeginScene();
    DrawModel(model_, world);
    g_pd3dDevice->EndScene();
    D3DMATRIX after;
    g_pd3dDevice->GetTransform(D3DTS_WORLD, &after);
    EXPECT_EQ(0, std::memcmp(&after, &before_, sizeof after)) << "world transform not restored";
    return kvrtest::DrawCallPrimitiveCounts(g_pd3dDevice);
  }
  void GiveAnimation(int32_t objectCount, int32_t counter) {
    Animation a;
    a.name = "three";
    a.frameCount = 4;
    a.objectCount = objectCount;
    a.storedFrames = objectCount < 0 ? 0 : 4 * objectCount;
    AnimationFrames.assign(static_cast<size_t>(a.storedFrames), AnimationFrame{{0, 0, 0}, {0, 0, 90000}, {0, 0, 0}});
    Animations.assign(1, a);
    AnimationCounters.assign(1, counter);
    ModelCatalogue[model_].animation = 0;
  }
  int32_t model_ = -1;
  D3DXMATRIX before_;
};

TEST_F(DrawModelTest, WithoutAnimationOnlyLevelZeroIsDrawn) {
  EXPECT_EQ(Draw(), (std::vector<UINT>{1}));
}

TEST_F(DrawModelTest, FrameAnimationDrawsTheLevelOfItsCurrentFrame) {
  GiveAnimation(-1, 2);
  EXPECT_EQ(Draw(), (std::vector<UINT>{3}));
  AnimationCounters[0] = 3;  // a frame the model has no level for
  EXPECT_TRUE(Draw().empty());
}

TEST_F(DrawModelTest, TransformAnimationDrawsEveryLevelAndRestoresTheWorld) {
  GiveAnimation(3, 1);
  EXPECT_EQ(Draw(), (std::vector<UINT>{1, 2, 3}));
  GiveAnimation(2, 0);  // fewer objects than levels: the last level is drawn unmoved
  EXPECT_EQ(Draw(), (std::vector<UINT>{1, 2, 3}));
}
