// One frame of the viewer: the model, its name, the panels, the frame count and the overlays.
#include "app/frame.h"

#include <d3dx9.h>
#include <mmsystem.h>
#include <windows.h>

#include <cmath>
#include <string>

#include "app/category_panel.h"
#include "app/controls.h"
#include "app/facts_box.h"
#include "app/model_panel.h"
#include "app/screenshot.h"
#include "app/viewer_state.h"
#include "app/write_folders_notice.h"
#include "base/device.h"
#include "data/animations.h"
#include "data/live_reload.h"
#include "data/load_sequence.h"
#include "model/model_drawing.h"
#include "model/model_geometry.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

namespace {

// Turns per millisecond: one turn in 10 s, ten times slower while the right button is held.
constexpr float kTurnRate = 0.0001f;
constexpr float kSlowTurnRate = 0.00001f;
constexpr float kPi = 3.1415927f;

// Advances the frame clock and the frames-per-second window; returns the milliseconds since
// the previous frame (0 on the first).
float AdvanceFrameClock(ViewerState& s) {
  const uint32_t now = timeGetTime();
  if (!s.timingStarted) {
    s.timingStarted = true;
    s.lastFrameTime = now;
    s.fpsWindowStart = now;
  }
  const float elapsed = static_cast<float>(now - s.lastFrameTime);
  s.lastFrameTime = now;
  // The frame that closes a window is counted in neither window.
  if (now - s.fpsWindowStart > 1000u) {
    s.fpsWindowStart = now;
    s.fpsShown = s.framesCounted;
    s.framesCounted = 0;
  } else {
    ++s.framesCounted;
  }
  return elapsed;
}

void AdvanceRotation(ViewerState& s, float elapsed) {
  if (!s.rotate) return;  // a stopped model keeps its angle
  s.rotationPhase += elapsed * (s.rightHeld ? kSlowTurnRate : kTurnRate);
  // A long stall (a dragged window, a debugger) may add several turns at once.
  if (s.rotationPhase > 1.0f) s.rotationPhase = std::fmod(s.rotationPhase, 1.0f);
}

// The four factors are the frame's world matrix as it has always been built; with no turn about x
// or z and no move it equals the turn about y alone.
D3DXMATRIX WorldMatrix(float rotationPhase) {
  D3DXMATRIX rotX, rotY, rotZ, move, world;
  D3DXMatrixRotationX(&rotX, 0.0f);
  D3DXMatrixRotationY(&rotY, rotationPhase * kPi * 2.0f);
  D3DXMatrixRotationZ(&rotZ, 0.0f);
  D3DXMatrixTranslation(&move, 0.0f, 0.0f, 0.0f);
  D3DXMatrixMultiply(&world, &rotX, &rotY);
  D3DXMatrixMultiply(&world, &world, &rotZ);
  D3DXMatrixMultiply(&world, &world, &move);
  return world;
}

}  // namespace

void ResetTextureStages() {
  IDirect3DDevice9* d = g_pd3dDevice;
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  // Gaussian filtering is asked for as it is; a device without it picks its own fallback.
  d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_GAUSSIANQUAD);
  d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_GAUSSIANQUAD);
  d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_GAUSSIANQUAD);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  d->SetRenderState(D3DRS_LIGHTING, FALSE);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

void SetModelStates() {
  IDirect3DDevice9* d = g_pd3dDevice;
  // Two passes of states with a reset of the stages between them; several are set in both, and
  // the second pass wins. Both are kept, in their order, as the frame's fixed set of state calls.
  d->SetRenderState(D3DRS_ZENABLE, TRUE);
  d->SetRenderState(D3DRS_FOGENABLE, FALSE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  d->SetRenderState(D3DRS_LIGHTING, FALSE);
  d->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
  d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
  d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);

  ResetTextureStages();

  // Blending is switched on with the factors left at one/zero, so colours are not mixed; the
  // alpha test drops the texels whose alpha is 8 or less (the cut-out parts of a page).
  d->SetRenderState(D3DRS_ZENABLE, TRUE);
  d->SetRenderState(D3DRS_FOGENABLE, FALSE);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  d->SetRenderState(D3DRS_LIGHTING, FALSE);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  d->SetRenderState(D3DRS_ALPHAREF, 8);
  d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
}

void RenderFrame() {
  ViewerState& s = viewerState;
  IDirect3DDevice9* d = g_pd3dDevice;
  if (!d) {
    s.clickPending = false;
    return;
  }

  const float elapsed = AdvanceFrameClock(s);

  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
           D3DCOLOR_ARGB(255, s.sliderRed, s.sliderGreen, s.sliderBlue), 1.0f, 0);

  if (SUCCEEDED(d->BeginScene())) {
    // On a 100 ms beat the keyframe counters step, and the texture animations with them.
    if (TickAnimations()) AdvanceTextureAnimations();

    SetModelStates();

    AdvanceRotation(s, elapsed);
    const D3DXMATRIX world = WorldMatrix(s.rotationPhase);

    if (s.displayedModel != -1) {
      if (const char* name = NameAt(s.selectedIndex)) DrawTextYellow(400, 0, name);
      DrawModel(s.displayedModel, world);
    }

    ResetTextureStages();

    if (s.showAxes) DrawAxes();
    if (s.showCategoryPanel) {
      DrawCategoryPanel();
    } else if (s.showModelPanel) {
      DrawModelPanel();
    }
    if (s.showHelp) DrawHelp();
    if (s.showFacts) DrawFactsBox();

    if (s.startUpManifestMissing) {
      static const std::string missing = std::string("No start-up manifest ") + kStartUpManifest + " in this folder";
      DrawTextRgb(400, 20, missing.c_str(), 255, 40, 40);
    } else if (s.displayedModel != -1) {
      // The shown model's file (or its page or animation) changed and no longer reads: the last
      // good model stays on screen, with the reason under its name.
      const std::string& fault = ReloadFaultOf(s.displayedModel);
      if (!fault.empty()) DrawTextRgb(400, 20, fault.c_str(), 255, 40, 40);
    }

    DrawTextYellow(700, -2, "FPS");
    DrawNumberYellow(740, -2, static_cast<int32_t>(s.fpsShown));

    DrawColorBars();
    DrawCursor();
    // The picture is taken before the note that reports it is drawn.
    TakeRequestedScreenshot(s.lastFrameTime);
    DrawScreenshotNote(s.lastFrameTime);
    DrawWriteFoldersNotice(s.lastFrameTime);
    d->EndScene();
  }

  d->Present(nullptr, nullptr, nullptr, nullptr);
  // A click that landed on no row is dropped here.
  s.clickPending = false;
}
