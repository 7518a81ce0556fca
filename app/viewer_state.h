// The viewer's state and the per-frame composition: model, name, panels, frame count, overlays.
#pragma once
#include <cstdint>

#include "data/model_catalogue.h"

struct ViewerState {
  int32_t currentCategory = 6;  // structures
  ModelNameList nameList;
  int32_t selectedIndex = 0;
  int32_t displayedModel = -1;
  int32_t firstRow = 0;
  bool showAxes = false;
  bool showCategoryPanel = false;
  bool showModelPanel = false;
  bool rotate = false;
  float rotationPhase = 0.0f;  // fraction of a full turn about +Y
  int32_t sliderRed = 0, sliderGreen = 0, sliderBlue = 0;
  int16_t mouseX = 0, mouseY = 0;
  bool leftHeld = false;
  bool rightHeld = false;
  bool clickPending = false;
  uint32_t framesCounted = 0;
  uint32_t fpsShown = 0;
  double fpsWindowStart = 0.0;  // milliseconds
  float lastFrameTime = 0.0f;   // milliseconds
  bool timingStarted = false;   // the first frame has set the two times above
};
extern ViewerState viewerState;

void RenderFrame();
void ResetTextureStages();
void DrawCategoryPanel();
void DrawModelPanel();
int32_t DrawPanelRow(const char* text, int32_t hitRight, int32_t y, bool highlighted);
void SelectCategory(int32_t category);
void SelectListEntry(int32_t position);
