// ViewerState: the one record of what the viewer shows, which the frame reads and input writes.
#pragma once
#include <cstdint>

#include "model/model_catalogue.h"

struct ViewerState {
  int32_t currentCategory = 6;  // structures
  ModelNameList nameList;       // names of the current category's models, catalogue order
  int32_t selectedIndex = 0;    // position in nameList of the selected model
  int32_t displayedModel = -1;  // catalogue index drawn each frame, -1: none
  int32_t firstRow = 0;         // position in nameList of the model panel's top row
  bool showAxes = false;
  bool showCategoryPanel = false;
  bool showModelPanel = false;
  bool rotate = false;
  bool showHelp = false;  // F1's list of the keys and mouse actions
  bool showFacts = false; // I's box of facts about the shown model
  float rotationPhase = 0.0f;  // fraction of a full turn about +Y, 0..1
  int32_t sliderRed = 0, sliderGreen = 0, sliderBlue = 0;  // 0..255
  int16_t mouseX = 0, mouseY = 0;  // screen pixels; x never above 1022
  bool leftHeld = false;
  bool rightHeld = false;
  bool clickPending = false;  // a left click no panel row has taken yet
  bool dragTurning = false;   // the left button was pressed off the panels and sliders: it turns
  int16_t dragLastX = 0;      // pointer x the drag has turned the model up to
  uint32_t framesCounted = 0;  // frames in the running one-second window
  uint32_t fpsShown = 0;       // frames in the last finished window
  // Millisecond counter readings. They stay unsigned 32-bit so that differences are exact at
  // any uptime and across the counter's wrap after 49.7 days; a float reading of a counter that
  // runs since boot would lose whole milliseconds after a few hours.
  uint32_t fpsWindowStart = 0;
  uint32_t lastFrameTime = 0;
  bool timingStarted = false;  // the first frame has set the two readings above
  bool startUpManifestMissing = false;  // the folder holds no start-up manifest: say so on screen
};
extern ViewerState viewerState;
