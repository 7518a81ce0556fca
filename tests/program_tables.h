// Puts every process-wide table of the program back as it is at start: each test program runs
// many tests in one process when started by hand, and loads must not see an earlier test's data.
#pragma once
#include "app/device.h"
#include "app/viewer_state.h"
#include "data/animations.h"
#include "data/model_catalogue.h"
#include "model/model_geometry.h"
#include "model/pie_parser.h"
#include "model/texture_pages.h"
#include "overlay/loading_screen.h"

inline void ResetProgramTables() {
  // Release what the tables still hold (each at most once; released entries are already empty).
  ReleaseAllLevelBuffers();
  ReleaseAllPageTextures();
  LevelBufferTable.clear();
  TexturePageTable.clear();
  ModelCatalogue.clear();
  PointStore.clear();
  PolygonStore.clear();
  ConnectorStore.clear();
  SetPieInput(nullptr);
  SetTeamColorsFlag(true);
  TeamNumber = 0;
  ResetAnimationTable();
  ResetLoadingScreen();
  viewerState = ViewerState{};
  camera = Camera{};
}
