// A small data set written by the test, loaded through its manifest and drawn on the headless
// device with the viewer's camera; the frame is checked at points whose pixels are worked out
// below from the camera by hand.
#include "model_fixture.h"

namespace {

const int kWidth = 320;
const int kHeight = 240;
const D3DCOLOR kClear = 0xFF203040;

const uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
const uint32_t kHole = 0xFF00FF00;  // pure green: the colour key

// The page: four 32 x 32 quadrants, red | hole over blue | white. In the files' texels (over
// 256, whatever the page size) the quadrants split at 128.
std::vector<uint32_t> QuadrantPage() {
  std::vector<uint32_t> texels(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      texels[y * 64 + x] = y < 32 ? (x < 32 ? kRed : kHole) : (x < 32 ? kBlue : kWhite);
  return texels;
}

// "board", two levels. Level 0: a 500-unit square facing the camera with the whole page on it
// (kind 200, corners clockwise as seen from the eye); a triangle at the left wound the other way
// (one-sided: culled); the same triangle mirrored to the right as a two-sided polygon (shown,
// blue). Level 1: a white square in front of the hole quadrant, never shown without animation.
const char kBoard[] =
    "PIE 2\nTYPE 200\nTEXTURE 0 quad page.pcx 256 256\nLEVELS 2\n"
    "LEVEL 1\nPOINTS 10\n"
    "-250 250 0  250 250 0  250 -250 0  -250 -250 0\n"
    "-380 -100 0  -280 -100 0  -330 100 0\n"
    "280 -100 0  380 -100 0  330 100 0\n"
    "POLYGONS 3\n"
    "200 4 0 1 2 3  0 0 256 0 256 256 0 256\n"
    "a00 3 4 5 6  192 192 192 192 192 192\n"
    "2a00 3 7 8 9  64 192 64 192 64 192\n"
    "LEVEL 2\nPOINTS 4\n0 250 -50  250 250 -50  250 0 -50  0 0 -50\n"
    "POLYGONS 1\n200 4 0 1 2 3  192 192 192 192 192 192 192 192\n"
    "CONNECTORS 1\n0 0 0\n";

// "beacon": a 200-unit square showing frame 0 of a two-frame strip 128 wide: frame 0 is the red
// quadrant, frame 1 (128 texels to the right) the hole.
const char kBeacon[] =
    "PIE 2\nTYPE 4200\nTEXTURE 0 QUAD PAGE.bmp 256 256\nLEVELS 1\n"
    "LEVEL 1\nPOINTS 4\n-100 100 0  100 100 0  100 -100 0  -100 -100 0\n"
    "POLYGONS 1\n4200 4 0 1 2 3 2 1 128 256  0 0 128 0 128 128 0 128\n";

// Where a world point lands on the screen, from the camera alone: eye (0, 47, -224) looking at
// the origin with +y up, vertical field pi/8, aspect w/h. The view's axes are x = (1, 0, 0),
// y = (0, 224, 47) / d and z = (0, -47, 224) / d with d = |eye|, and the eye lies d behind the
// origin along z, so a point's depth is (-47 y + 224 z) / d + d.
void ScreenOf(float x, float y, float z, int& sx, int& sy) {
  const double d = std::sqrt(47.0 * 47.0 + 224.0 * 224.0);
  const double viewX = x;
  const double viewY = (224.0 * y + 47.0 * z) / d;
  const double depth = (-47.0 * y + 224.0 * z) / d + d;
  const double focal = 1.0 / std::tan(3.14159265358979 / 16.0);
  const double aspect = static_cast<double>(kWidth) / kHeight;
  sx = static_cast<int>(kWidth / 2.0 * (1.0 + viewX * focal / aspect / depth));
  sy = static_cast<int>(kHeight / 2.0 * (1.0 - viewY * focal / depth));
}

// Each channel within this of the expected colour (point sampling gives exact texels; the margin
// only covers rounding in the rasteriser).
const int kTolerance = 8;

bool Near(uint32_t actual, uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
    if (std::abs(a - e) > kTolerance) return false;
  }
  return true;
}

}  // namespace

class ModelRenderTest : public ModelDeviceTest {
 protected:
  void SetUp() override {
    ModelDeviceTest::SetUp();
    testsupport::WriteFile("duskfen/texpages/quad page.dds", ddsfile::Argb32(64, 64, QuadrantPage()));
    WriteModelFile("board.pie", kBoard);
    WriteModelFile("beacon.pie", kBeacon);
    testsupport::WriteFile("mydata/models/Structures.gam", "board\r\nbeacon\r\n");
    TeamColorsFlag = false;
    LoadStructures("mydata\\models\\");
  }

  // The scene as the frame leaves it for the model: camera, unlit, z-buffered, counter-clockwise
  // culling, texture colour and alpha as they are, alpha test above 8, blending that replaces.
  kvrtest::Image DrawFrame(int32_t model) {
    IDirect3DDevice9* dev = g_pd3dDevice;
    D3DXMATRIX view, projection, world;
    D3DXVECTOR3 eye(0.0f, 47.0f, -224.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 8, static_cast<float>(kWidth) / kHeight, 10.0f,
                               2000.0f);
    D3DXMatrixIdentity(&world);
    dev->SetTransform(D3DTS_VIEW, &view);
    dev->SetTransform(D3DTS_PROJECTION, &projection);
    dev->SetTransform(D3DTS_WORLD, &world);
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    dev->SetRenderState(D3DRS_FOGENABLE, FALSE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAREF, 8);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);

    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
    dev->BeginScene();
    DrawModel(model, world);
    dev->EndScene();
    return kvrtest::ReadBackBuffer(dev);
  }

  void ExpectAt(const kvrtest::Image& image, const char* what, float x, float y, float z,
                uint32_t expected) {
    int sx = 0, sy = 0;
    ScreenOf(x, y, z, sx, sy);
    ASSERT_TRUE(sx >= 0 && sx < image.width && sy >= 0 && sy < image.height) << what;
    EXPECT_TRUE(Near(image.At(sx, sy), expected))
        << what << " at (" << sx << ", " << sy << "): 0x" << std::hex << image.At(sx, sy)
        << ", expected 0x" << expected;
  }
};

TEST_F(ModelRenderTest, BoardShowsItsPageWithHolesCullingAndTwoSidedPolygons) {
  ASSERT_EQ(ModelCatalogue.size(), 2u);
  EXPECT_TRUE(LogLines() == (std::vector<std::string>{"board", "beacon"}));
  int32_t board = FindModelByName("board");
  ASSERT_EQ(board, 0);
  ASSERT_EQ(TexturePageTable.size(), 1u);  // "quad page" and "QUAD PAGE" share one page
  ASSERT_NE(TexturePageTable[0].texture, nullptr);

  kvrtest::Image image = DrawFrame(board);
  ASSERT_EQ(image.width, kWidth);
  kvrtest::WritePng(testsupport::OutputPath("model_board.png"), image);

  // World units are a tenth of the file's: the square spans -25..25.
  ExpectAt(image, "red quadrant", -12.5f, 12.5f, 0.0f, kRed);
  ExpectAt(image, "blue quadrant", -12.5f, -12.5f, 0.0f, kBlue);
  ExpectAt(image, "white quadrant", 12.5f, -12.5f, 0.0f, kWhite);
  // Green texels are holes, and level 1 in front of them is not drawn.
  ExpectAt(image, "hole quadrant", 12.5f, 12.5f, 0.0f, kClear);
  ExpectAt(image, "one-sided triangle wound away", -33.0f, -3.3f, 0.0f, kClear);
  ExpectAt(image, "two-sided triangle wound away", 33.0f, -3.3f, 0.0f, kBlue);
  ExpectAt(image, "above the board", 0.0f, 35.0f, 0.0f, kClear);
}

TEST_F(ModelRenderTest, StripStepMovesTheBeaconOntoTheHoleFrame) {
  int32_t beacon = FindModelByName("beacon");
  ASSERT_EQ(beacon, 1);
  ExpectAt(DrawFrame(beacon), "frame 0", 0.0f, 0.0f, 0.0f, kRed);
  AdvanceTextureAnimations();
  kvrtest::Image image = DrawFrame(beacon);
  kvrtest::WritePng(testsupport::OutputPath("model_beacon_frame1.png"), image);
  ExpectAt(image, "frame 1", 0.0f, 0.0f, 0.0f, kClear);
  AdvanceTextureAnimations();
  ExpectAt(DrawFrame(beacon), "frame 0 again", 0.0f, 0.0f, 0.0f, kRed);
}

TEST_F(ModelRenderTest, TransformAnimationTurnsAboutZTheOtherWayThenMoves) {
  // One object at one frame: 90000 thousandths of a degree about z, moved 100000 / 10000 = 10
  // units along x. The animation exists before the model loads, as in the viewer.
  Animation turn;
  turn.name = "BAR";
  turn.frameCount = 1;
  turn.objectCount = 1;
  turn.storedFrames = 1;
  Animations.assign(1, turn);
  AnimationFrames.assign(1, AnimationFrame{{100000, 0, 0}, {0, 0, 90000}, {0, 0, 0}});
  AnimationCounters.assign(1, 0);
  // A white bar from the origin 20 units along +x, 6 units high.
  LoadModelText("bar.pie", OneLevelPie("quad page.pcx", 4, "0 30 0  200 30 0  200 -30 0  0 -30 0", 1,
                                       "200 4 0 1 2 3  192 192 192 192 192 192 192 192"),
                CategoryEffects);
  int32_t bar = FindModelByName("bar");
  ASSERT_EQ(bar, 2);
  ASSERT_EQ(ModelCatalogue[bar].animation, 0);

  kvrtest::Image image = DrawFrame(bar);
  kvrtest::WritePng(testsupport::OutputPath("model_bar_turned.png"), image);
  // Turned by -1.57 about z, +x goes to -y: the bar hangs down from (10, 0), not up from it,
  // and is no longer where it would be unturned or unmoved.
  ExpectAt(image, "turned bar", 10.0f, -10.0f, 0.0f, kWhite);
  ExpectAt(image, "bar turned the wrong way", 10.0f, 10.0f, 0.0f, kClear);
  ExpectAt(image, "bar not turned", 20.0f, 0.0f, 0.0f, kClear);
  ExpectAt(image, "bar not moved", 0.0f, -10.0f, 0.0f, kClear);
}
